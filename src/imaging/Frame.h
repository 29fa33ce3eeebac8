#pragma once
#include <cstdint>

#include "imaging/DIB.h"

// The black frame: four lines of pen width frameSize (> 0) through the bitmap's canvas,
// painting its frameSize outermost rows and columns.
void DrawFrame(Bitmap& destination, int32_t frameSize);
