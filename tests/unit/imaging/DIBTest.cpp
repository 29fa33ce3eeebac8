#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "DIBSuite.h"
#include "imaging/DIB.h"
#include "platform/AppError.h"

INSTANTIATE_TYPED_TEST_SUITE_P(MemoryBitmap, DIBContract, SoftwareBitmapKind);

namespace {

// A bitmap whose platform transfers fail, to see that the failure is reported.
class FailingBitmap final : public Bitmap {
public:
    int Width() const override { return 3; }
    int Height() const override { return 2; }
    void SetSize(int, int) override {}
    bool ExportDIB24(const DibInfo&, uint8_t*) const override { return false; }
    bool ImportDIB24(const DibInfo&, const uint8_t*) override { return false; }
    std::unique_ptr<Canvas> CreateCanvas() override { return nullptr; }
    std::unique_ptr<Bitmap> CreateEmpty() const override { return std::make_unique<FailingBitmap>(); }
};

TEST(DIB, AFailedReadIsAnErrorAndLeavesNoBuffer) {
    FailingBitmap bitmap;
    DibInfo info{};
    DibBits bits(AllocatePixelMemory(4));
    EXPECT_THROW(ReadDIB24(bitmap, info, bits), AppError);
    EXPECT_FALSE(bits);
}

TEST(DIB, AFailedWriteIsAnError) {
    FailingBitmap bitmap;
    DibInfo info{};
    DibBits bits;
    AllocateDIB24(3, 2, info, bits);
    EXPECT_THROW(WriteDIB24(bitmap, info, bits.get()), AppError);
}

TEST(DIB, SizesWhoseStrideOrImageSizeOverflowAreRefused) {
    constexpr int64_t kMax = std::numeric_limits<int32_t>::max();
    struct Case {
        int64_t width;
        int64_t height;
        bool fits;
    };
    const Case cases[] = {
        {0, 0, true},              // empty
        {3840, 2160, true},        // a 4K screen
        {715827881, 1, true},      // stride 2147483644: the widest that fits
        {715827882, 1, false},     // stride 2^31, one past the largest 32-bit signed value
        {2000000000, 1, false},    // w x 24 overflows 32 bits before the division
        {30000, 30000, false},     // the stride fits, stride x height does not
        {23170, 30890, true},      // just under 2^31 bytes in all
        {1, kMax / 4 + 1, false},  // one column, too many rows
        {-1, 5, false},            // negative width
        {5, -1, false},            // negative height
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height));
        if (c.fits) {
            EXPECT_NO_THROW(CheckDib24Size(c.width, c.height));
        } else {
            EXPECT_THROW(CheckDib24Size(c.width, c.height), AppError);
        }
    }
}

TEST(DIB, ResizingForOverwriteKeepsTheSizeAndAPlainResizeStillClears) {
    MemoryBitmap pixels = FilledPicture(40, 30, kWhite);
    pixels.SetSizeForOverwrite(41, 29);
    EXPECT_EQ(pixels.Width(), 41);
    EXPECT_EQ(pixels.Height(), 29);
    for (int y = 0; y < 29; ++y) {
        for (int x = 0; x < 41; ++x) pixels.SetPixel(x, y, 0xABCDEF);
    }
    pixels.SetSize(41, 29);
    EXPECT_EQ(pixels, MemoryBitmap(41, 29));
    EXPECT_EQ(pixels.Pixel(40, 28), 0u);
    EXPECT_THROW(pixels.SetSizeForOverwrite(2000000000, 2), AppError);
    EXPECT_EQ(pixels.Width(), 41);
}

TEST(DIB, AllocationDescribesTheBufferAsReadingWould) {
    DibInfo info{};
    DibBits bits;
    AllocateDIB24(7, 3, info, bits);
    ASSERT_TRUE(bits);
    EXPECT_EQ(info.bmiHeader.biWidth, 7);
    EXPECT_EQ(info.bmiHeader.biHeight, 3);
    EXPECT_EQ(info.bmiHeader.biBitCount, 24);
    EXPECT_EQ(info.bmiHeader.biSizeImage, 24u * 3);
    EXPECT_THROW(AllocateDIB24(2000000000, 1, info, bits), AppError);
    EXPECT_FALSE(bits);
}

}  // namespace
