#include "app/PictureFile.h"

#include <cstring>

#include "app/SaveNaming.h"
#include "imaging/DIB.h"
#include "imaging/JpegWriter.h"

namespace {

// The rows as the JPEG encoder takes them (24 bits, bottom-up); empty for another depth.
std::optional<std::string> EncodeJpegOf(const BmpImage& picture) {
    if (picture.bitCount != 24 && picture.bitCount != 32) return std::nullopt;
    DibInfo info{};
    DibBits bits;
    AllocateDIB24(picture.width, picture.height, info, bits);
    const int32_t stride = DibStride(picture.width);
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
