#include "app/PictureFile.h"

#include <cstring>

#include "app/SaveNaming.h"
#include "imaging/DIB.h"
#include "imaging/JpegWriter.h"
#include "platform/FileSystem.h"

namespace {

// The rows as the JPEG encoder takes them (24 bits, bottom-up, DibStride apart): the picture's
// own where they already lie so, else a copy; empty for another depth.
std::optional<std::string> EncodeJpegOf(const BmpImage& picture) {
    if (picture.bitCount != 24 && picture.bitCount != 32) return std::nullopt;
    DibInfo info{};
    const int32_t stride = DibStride(picture.width);
    if (picture.bitCount == 24 && picture.stride == stride) {
        DescribeDIB24(picture.width, picture.height, info);
        return EncodeJpeg(info, picture.bits);
    }
    DibBits bits;
    AllocateDIB24(picture.width, picture.height, info, bits);
    const int bytesPerPixel = picture.bitCount / 8;
    for (int32_t y = 0; y < picture.height; ++y) {
        const uint8_t* from = picture.bits + static_cast<size_t>(y) * static_cast<size_t>(picture.stride);
        uint8_t* to = bits.get() + static_cast<size_t>(y) * static_cast<size_t>(stride);
        if (bytesPerPixel == 3) {
            std::memcpy(to, from, static_cast<size_t>(picture.width) * 3);
            continue;
        }
        for (int32_t x = 0; x < picture.width; ++x) std::memcpy(to + x * 3, from + x * bytesPerPixel, 3);
    }
    return EncodeJpeg(info, bits.get());
}

}  // namespace

std::optional<std::string> EncodePictureFile(std::string_view name, const BmpImage& picture) {
    if (IsJpegFileName(name)) return EncodeJpegOf(picture);
    return EncodeBmp(picture);
}

void WritePictureFile(const std::string& path, const Bitmap& picture) {
    DibInfo info{};
    DibBits bits;
    // The picture's own rows where it keeps them at 24 bits, read in place.
    BmpImage image;
    image.bits = DIB24PixelsOf(picture, info, bits);
    image.width = info.bmiHeader.biWidth;
    image.height = info.bmiHeader.biHeight;
    image.stride = DibStride(image.width);
    const std::string file = *EncodePictureFile(path, image);
    bits.reset();
    ReplaceFileAtomically(path, file);
}
