#pragma once
// The files the program must write, made independently: the trim pipeline and the encoder on
// known pixels, and bitmap files decoded by the system.
#include <string>

#include "platform/Geom.h"
#include "platform/MemoryBitmap.h"

namespace e2e {

// What Save makes of a picture: the trim pipeline with the settings file's values.
MemoryBitmap Trimmed(const MemoryBitmap& picture, const Rect& rect, const std::string& settingsFile);
// The JPEG file the program must write for a picture: the same encoder on the same pixels.
std::string JpegOf(const MemoryBitmap& picture);
// A bitmap file's pixels as the system decodes it; empty when it cannot.
MemoryBitmap LoadBitmapFile(const std::string& path);

}  // namespace e2e
