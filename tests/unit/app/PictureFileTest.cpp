#include "app/PictureFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "imaging/JpegWriter.h"

namespace {

// A 5 x 3 picture whose every byte differs, as 24-bit rows and as 32-bit rows (a fourth byte
// that must be left out).
struct Rows {
    std::vector<uint8_t> bits;
    BmpImage image;
};

Rows Picture(uint16_t bitCount) {
    Rows rows;
    const int32_t width = 5, height = 3;
    const int32_t stride = (width * bitCount + 31) / 32 * 4;
    rows.bits.assign(static_cast<size_t>(stride * height), 0);
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            uint8_t* pixel = rows.bits.data() + y * stride + x * (bitCount / 8);
            for (int c = 0; c < 3 && c < bitCount / 8; ++c) pixel[c] = static_cast<uint8_t>(40 * c + 13 * x + 71 * y);
            if (bitCount == 32) pixel[3] = 0xA5;
        }
    }
    rows.image.width = width;
    rows.image.height = height;
    rows.image.bitCount = bitCount;
    rows.image.bits = rows.bits.data();
    rows.image.stride = stride;
    return rows;
}

std::string JpegOf24(const Rows& rows) {
    DibInfo info{};
    DibBits bits;
    AllocateDIB24(rows.image.width, rows.image.height, info, bits);
    std::copy(rows.bits.begin(), rows.bits.end(), bits.get());
    return EncodeJpeg(info, bits.get());
}

TEST(EncodePictureFile, AJpegNameGivesTheJpegOfTheSamePixelsAtEitherDepth) {
    const Rows rows24 = Picture(24);
    const Rows rows32 = Picture(32);
    const std::string expected = JpegOf24(rows24);
    EXPECT_EQ(EncodePictureFile("a.jpg", rows24.image), expected);
    EXPECT_EQ(EncodePictureFile("C:\\pics\\a.JPEG", rows32.image), expected);
}

TEST(EncodePictureFile, AnyOtherNameGivesABitmapFileAtThePicturesOwnDepth) {
    const Rows rows32 = Picture(32);
    EXPECT_EQ(EncodePictureFile("a.bmp", rows32.image), EncodeBmp(rows32.image));
    EXPECT_EQ(EncodePictureFile("a.png", rows32.image), EncodeBmp(rows32.image));
    EXPECT_EQ(EncodePictureFile("a", rows32.image), EncodeBmp(rows32.image));
}

TEST(EncodePictureFile, AJpegOfASixteenBitPictureIsLeftToTheCaller) {
    const Rows rows16 = Picture(16);
    EXPECT_EQ(EncodePictureFile("a.jpg", rows16.image), std::nullopt);
    EXPECT_EQ(EncodePictureFile("a.bmp", rows16.image), EncodeBmp(rows16.image));
}

}  // namespace
