#pragma once
#include <cstdint>
#include <memory>

#include "platform/Canvas.h"
#include "platform/PixelMemory.h"

// 24-bit pixel buffers: rows bottom-up, 3 bytes per pixel in the order blue, green, red,
// each row padded to a multiple of 4 bytes. Bitmaps of any device format cross into and out
// of this one format, so that all pixel work runs on plain memory.

// The Windows BITMAPINFOHEADER, field for field (40 bytes).
struct DibHeader {
    uint32_t biSize = 0;
    int32_t biWidth = 0;
    int32_t biHeight = 0;
    uint16_t biPlanes = 0;
    uint16_t biBitCount = 0;
    uint32_t biCompression = 0;
    uint32_t biSizeImage = 0;
    int32_t biXPelsPerMeter = 0;
    int32_t biYPelsPerMeter = 0;
    uint32_t biClrUsed = 0;
    uint32_t biClrImportant = 0;
};

// The Windows RGBQUAD.
struct DibColor {
    uint8_t rgbBlue = 0;
    uint8_t rgbGreen = 0;
    uint8_t rgbRed = 0;
    uint8_t rgbReserved = 0;
};

// The Windows BITMAPINFO with its one colour-table entry, which 24-bit pixels do not use.
struct DibInfo {
    DibHeader bmiHeader;
    DibColor bmiColors[1];
};
static_assert(sizeof(DibHeader) == 40 && sizeof(DibInfo) == 44);

inline constexpr uint32_t kBiRgb = 0;

// A pixel buffer owned by whoever received it from ReadDIB24 (a fixed block, GlobalAlloc on
// Windows), freed with it.
using DibBits = std::unique_ptr<uint8_t[], PixelMemoryDeleter>;

// A picture with a drawing surface: the memory bitmap natively and in tests, a GDI bitmap in
// the program. The transfers move every pixel at once in the 24-bit buffer format; the
// bitmap converts to and from its own format.
class Bitmap {
public:
    virtual ~Bitmap() = default;

    virtual int Width() const = 0;
    virtual int Height() const = 0;
    // Gives the bitmap a new size; its pixels are then undefined. Throws AppError when the
    // platform cannot make a bitmap that large.
    virtual void SetSize(int width, int height) = 0;

    // Copies all rows into `bits`, laid out as `info` describes (the bitmap's own size,
    // 24 bits). False when the platform fails to transfer them.
    virtual bool ExportDIB24(const DibInfo& info, uint8_t* bits) const = 0;
    // Copies `info`'s height worth of rows from `bits` (24 bits, `info`'s width) into the
    // bitmap, converting to its own format. `info` normally has the bitmap's own size; where it
    // does not, the placement is the platform's (the memory bitmap aligns the top-left pixels
    // and leaves out what does not fit). False on a failed transfer.
    virtual bool ImportDIB24(const DibInfo& info, const uint8_t* bits) = 0;

    // A drawing surface over the bitmap; no transfer may run while it exists.
    virtual std::unique_ptr<Canvas> CreateCanvas() = 0;
    // A new, empty (0 x 0) bitmap of the same kind, as the trim pipeline's callers need for
    // its destination.
    virtual std::unique_ptr<Bitmap> CreateEmpty() const = 0;

    // Where a bitmap already keeps its pixels in memory in the 24-bit buffer layout (its own
    // size, bottom-up rows DibStride(Width()) bytes apart), those pixels, so that a reader can
    // use them in place instead of copying a whole picture; otherwise null. The padding bytes
    // at the end of each row are not the picture's and may hold anything. Valid until the
    // bitmap is next changed.
    virtual const uint8_t* DIB24Pixels() const { return nullptr; }
    // Takes `bits` (a buffer laid out as `info` describes, of the bitmap's own size, 24 bits)
    // as the bitmap's pixels instead of copying them in, leaving `bits` empty. False, with
    // `bits` and the bitmap unchanged, where the bitmap cannot keep such a buffer.
    virtual bool AdoptDIB24(const DibInfo& info, DibBits& bits) {
        static_cast<void>(info);
        static_cast<void>(bits);
        return false;
    }
};

// Bytes per row of a 24-bit buffer w pixels wide: ((w * 24 + 31) div 32) * 4. Valid for widths
// that pass CheckDib24Size.
int32_t DibStride(int32_t width);

// Throws AppError unless a 24-bit buffer of width x height has a stride and a size
// (stride x height) that fit in 32-bit signed integers. Negative sizes are refused too.
void CheckDib24Size(int64_t width, int64_t height);

// Describes the bitmap in `info` (size, 24 bits, bottom-up; fields not listed keep their
// values), allocates a buffer of its image size into `bits` and copies every pixel into it.
// Returns true. Throws AppError when the buffer cannot be allocated or the transfer fails;
// `bits` then holds no buffer.
bool ReadDIB24(const Bitmap& bitmap, DibInfo& info, DibBits& bits);

// The bitmap's pixels in the 24-bit buffer layout, described in `info`: in place where the
// bitmap keeps them that way (DIB24Pixels), otherwise read into `bits` as ReadDIB24 does, so
// that a reader never copies a picture only to read it once. Throws AppError as ReadDIB24 does.
const uint8_t* DIB24PixelsOf(const Bitmap& bitmap, DibInfo& info, DibBits& bits);

// Describes a width x height buffer in `info` exactly as ReadDIB24 would, without allocating
// anything. Throws AppError for a size no buffer can have.
void DescribeDIB24(int width, int height, DibInfo& info);

// Describes a width x height buffer exactly as ReadDIB24 would and allocates it, without
// reading any pixels (its bytes are undefined). Throws AppError as ReadDIB24 does.
void AllocateDIB24(int width, int height, DibInfo& info, DibBits& bits);

// When `info`'s bit count is not 24, returns false and leaves the bitmap unchanged. Otherwise
// copies `info`'s rows from `bits` into the bitmap and returns true. Neither frees nor keeps
// `bits`. Throws AppError for a missing buffer or a failed transfer.
bool WriteDIB24(Bitmap& bitmap, const DibInfo& info, const uint8_t* bits);
