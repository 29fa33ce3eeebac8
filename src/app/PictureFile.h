#pragma once
#include <optional>
#include <string>
#include <string_view>

#include "imaging/BmpFile.h"

// The bytes of the file Save writes, chosen by the name's extension (IsJpegFileName): a JPEG,
// or a bitmap file at the picture's own depth. Both are encoded from the same rows, which the
// caller has read once from the picture. A JPEG needs 24 or 32 bits per pixel: for a picture of
// any other depth the result is empty, and the caller reads the picture at 24 bits for it.
// Throws AppError as the encoders do.
std::optional<std::string> EncodePictureFile(std::string_view name, const BmpImage& picture);

// Writes the picture as the file its name asks for, read once at 24 bits and replacing the
// target only when complete, so a failure leaves an existing file untouched. Throws AppError.
void WritePictureFile(const std::string& path, const Bitmap& picture);
