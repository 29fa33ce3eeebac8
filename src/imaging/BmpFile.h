#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "imaging/DIB.h"
#include "platform/MemoryBitmap.h"

// Windows bitmap files: file header, BITMAPINFOHEADER, the colour table where the depth needs
// one, bottom-up pixel rows padded to 4 bytes.

// A picture at any depth a bitmap file holds, as rows in memory.
struct BmpImage {
    int32_t width = 0;
    int32_t height = 0;      // rows bottom-up
    uint16_t bitCount = 24;  // 1, 4, 8 (with a colour table), 16 (5-5-5), 24 or 32
    const uint8_t* bits = nullptr;
    int32_t stride = 0;                    // bytes from one row to the next in `bits`; at least the row's used bytes
    std::span<const DibColor> colorTable;  // 1 to 2^bitCount entries for depths up to 8, else empty
};

// The whole file. Padding bytes are written as 0 whatever `bits` holds there. Throws AppError
// for a description that no bitmap file can carry.
std::string EncodeBmp(const BmpImage& image);

// The whole file at 24 bits per pixel from a DIB24 buffer.
std::string EncodeBmp24(const DibInfo& info, const uint8_t* bits);

// Where the pixels of an uncompressed 24- or 32-bit bitmap file lie.
struct BmpLayout {
    int32_t width = 0;
    int32_t height = 0;
    bool topDown = false;
    uint16_t bitCount = 0;
    size_t offset = 0;  // of the first row in the file
    size_t stride = 0;  // bytes per row in the file
};
// Throws AppError with the reason when the bytes are not such a file or are cut short.
BmpLayout ReadBmpLayout(std::string_view bytes);

// Reads an uncompressed 24- or 32-bit bitmap file (bottom-up or top-down rows). Throws AppError
// with the reason when the bytes are not such a file.
MemoryBitmap DecodeBmp(std::string_view bytes);
