#pragma once
#include <windows.h>

#include <cstddef>

#include "win32/Handles.h"

// The device-independent form of a bitmap in the bitmap's own pixel depth: a header block
// (BITMAPINFOHEADER, then the colour table that depths up to 8 bits need) and a pixel block
// (bottom-up rows padded to four bytes), each in its own zero-filled GlobalAlloc block, filled
// with GetDIBits as DIB_RGB_COLORS. A depth with no such form (2 bits, planar) is read as
// 24 bits. The bitmap must not be selected into a device context.
class BitmapDib {
public:
    explicit BitmapDib(HBITMAP bitmap);  // throws AppError
    BitmapDib(const BitmapDib&) = delete;
    BitmapDib& operator=(const BitmapDib&) = delete;

    const BITMAPINFO* Info() const { return static_cast<const BITMAPINFO*>(header_.Get()); }
    const void* Bits() const { return bits_.Get(); }
    size_t HeaderSize() const { return headerSize_; }
    size_t BitsSize() const { return bitsSize_; }
    int Width() const { return Info()->bmiHeader.biWidth; }
    int Height() const { return Info()->bmiHeader.biHeight; }
    int Depth() const { return Info()->bmiHeader.biBitCount; }

private:
    // A fixed GlobalAlloc block.
    struct BlockTraits {
        using Handle = void*;
        static constexpr void* Invalid() { return nullptr; }
        static void Close(void* block) { ::GlobalFree(block); }
    };

    Unique<BlockTraits> header_;
    Unique<BlockTraits> bits_;
    size_t headerSize_ = 0;
    size_t bitsSize_ = 0;
};

// Draws bitmap's device-independent form on dc with its top-left corner at (x, y), stretched
// to width x height: StretchDIBits of the whole bitmap with DIB_RGB_COLORS and SRCCOPY, in
// the device's own stretch mode. Throws AppError when the bitmap cannot be read or drawn;
// the blocks are freed either way.
void DrawBitmapDib(HDC dc, int x, int y, int width, int height, HBITMAP bitmap);
