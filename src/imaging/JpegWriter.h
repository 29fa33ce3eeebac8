#pragma once
#include <string>

#include "imaging/DIB.h"

// Baseline JFIF at quality 90: libjpeg's defaults and standard tables, luminance sampled 2 x 2,
// chroma 1 x 1, floating-point DCT, JFIF 1.01 with density unit 0 and 1 x 1, no Adobe
// marker, one sequential scan.

// Encodes a 24-bit buffer (DIB24 layout, bottom-up rows) into a whole JPEG file in memory.
// Throws AppError("JPEG エラー #<code>") with libjpeg's message code when the library fails.
std::string EncodeJpeg(const DibInfo& info, const uint8_t* bits);
