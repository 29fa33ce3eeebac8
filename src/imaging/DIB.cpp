#include "imaging/DIB.h"

#include <cstdint>
#include <limits>
#include <string>

#include "platform/AppError.h"

namespace {
int64_t WideStride(int64_t width) { return (width * 24 + 31) / 32 * 4; }

}  // namespace

int32_t DibStride(int32_t width) { return static_cast<int32_t>(WideStride(width)); }

void CheckDib24Size(int64_t width, int64_t height) {
    constexpr int64_t kLimit = std::numeric_limits<int32_t>::max();
    // The width test first keeps the stride computation itself from overflowing.
    if (width < 0 || height < 0 || width > kLimit || height > kLimit || WideStride(width) > kLimit ||
        WideStride(width) * height > kLimit) {
        throw PictureTooLarge(width, height);
    }
}

void DescribeDIB24(int width, int height, DibInfo& info) {
    CheckDib24Size(width, height);
    DibHeader& header = info.bmiHeader;
    header.biSize = sizeof(DibHeader);
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = kBiRgb;
    header.biSizeImage = static_cast<uint32_t>(DibStride(width) * height);
}

void AllocateDIB24(int width, int height, DibInfo& info, DibBits& bits) {
    bits.reset();
    DescribeDIB24(width, height, info);
    const DibHeader& header = info.bmiHeader;

    // Left uninitialised: a transfer or the pipeline writes every byte that holds a pixel, and
    // clearing a screen-sized block first would cost as much again.
    bits.reset(AllocatePixelMemory(header.biSizeImage));
    if (!bits) throw OutOfPictureMemory(width, height);
}

bool ReadDIB24(const Bitmap& bitmap, DibInfo& info, DibBits& bits) {
    const int width = bitmap.Width();
    const int height = bitmap.Height();
    DibBits buffer;
    AllocateDIB24(width, height, info, buffer);
    bits.reset();
    if (height > 0 && width > 0 && !bitmap.ExportDIB24(info, buffer.get())) {
        throw AppError("画像の画素を読み出せません" + PictureSizeText(width, height));
    }
    bits = std::move(buffer);
    return true;
}

const uint8_t* DIB24PixelsOf(const Bitmap& bitmap, DibInfo& info, DibBits& bits) {
    if (const uint8_t* own = bitmap.DIB24Pixels()) {
        bits.reset();
        DescribeDIB24(bitmap.Width(), bitmap.Height(), info);
        return own;
    }
    ReadDIB24(bitmap, info, bits);
    return bits.get();
}

bool WriteDIB24(Bitmap& bitmap, const DibInfo& info, const uint8_t* bits) {
    const DibHeader& header = info.bmiHeader;
    if (header.biBitCount != 24) return false;
    if (!bits) throw AppError("画像の画素がありません");
    if (header.biHeight == 0 || header.biWidth == 0) return true;
    if (!bitmap.ImportDIB24(info, bits)) {
        throw AppError("画像の画素を書き込めません" + PictureSizeText(header.biWidth, header.biHeight));
    }
    return true;
}
