#pragma once
// The 24-bit buffer contract, run against every kind of bitmap: the memory bitmap everywhere,
// the GDI bitmap under Wine. A kind provides Make (a bitmap holding given pixels) and Grab
// (its pixels), both independent of the transfers under test.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "Pictures.h"
#include "imaging/DIB.h"
#include "platform/AppError.h"

template <class Kind>
class DIBContract : public testing::Test {};
TYPED_TEST_SUITE_P(DIBContract);

namespace dib_suite {

inline const uint8_t* PixelAt(const DibInfo& info, const uint8_t* bits, int x, int y) {
    const int stride = DibStride(info.bmiHeader.biWidth);
    return bits + static_cast<size_t>(info.bmiHeader.biHeight - 1 - y) * stride + static_cast<size_t>(x) * 3;
}

}  // namespace dib_suite

TYPED_TEST_P(DIBContract, StridesAndHeaderFollowTheWidth) {
    struct Case {
        int width;
        int stride;
    };
    for (const Case c : {Case{1, 4}, Case{2, 8}, Case{3, 12}, Case{4, 12}, Case{5, 16}, Case{6, 20}}) {
        SCOPED_TRACE(c.width);
        EXPECT_EQ(DibStride(c.width), c.stride);
        auto bitmap = TypeParam::Make(FilledPicture(c.width, 3, kBlue));
        DibInfo info{};
        // Fields that reading does not set keep whatever the record held.
        info.bmiHeader.biXPelsPerMeter = 11;
        info.bmiHeader.biYPelsPerMeter = 12;
        info.bmiHeader.biClrUsed = 13;
        info.bmiHeader.biClrImportant = 14;
        DibBits bits;
        ASSERT_TRUE(ReadDIB24(*bitmap, info, bits));
        ASSERT_TRUE(bits);
        const DibHeader& h = info.bmiHeader;
        EXPECT_EQ(h.biSize, 40u);
        EXPECT_EQ(h.biWidth, c.width);
        EXPECT_EQ(h.biHeight, 3);
        EXPECT_EQ(h.biPlanes, 1);
        EXPECT_EQ(h.biBitCount, 24);
        EXPECT_EQ(h.biCompression, 0u);
        EXPECT_EQ(h.biSizeImage, static_cast<uint32_t>(c.stride * 3));
        EXPECT_EQ(h.biXPelsPerMeter, 11);
        EXPECT_EQ(h.biYPelsPerMeter, 12);
        EXPECT_EQ(h.biClrUsed, 13u);
        EXPECT_EQ(h.biClrImportant, 14u);
        // Each row starts a whole stride after the one before.
        for (int row = 0; row < 3; ++row) {
            const uint8_t* p = bits.get() + row * c.stride;
            EXPECT_EQ(p[0], 255);  // blue
            EXPECT_EQ(p[2], 0);    // red
            EXPECT_EQ(p[(c.width - 1) * 3], 255);
        }
    }
}

TYPED_TEST_P(DIBContract, OneByOneGivesBlueGreenRed) {
    auto bitmap = TypeParam::Make(FilledPicture(1, 1, Color{10, 20, 30}));
    DibInfo info{};
    DibBits bits;
    ASSERT_TRUE(ReadDIB24(*bitmap, info, bits));
    EXPECT_EQ(info.bmiHeader.biSizeImage, 4u);
    EXPECT_EQ(bits[0], 30);
    EXPECT_EQ(bits[1], 20);
    EXPECT_EQ(bits[2], 10);
}

TYPED_TEST_P(DIBContract, TopRowIsLastInMemoryInBlueGreenRedOrder) {
    const MemoryBitmap f = FPicture();
    auto bitmap = TypeParam::Make(f);
    DibInfo info{};
    DibBits bits;
    ASSERT_TRUE(ReadDIB24(*bitmap, info, bits));
    ASSERT_EQ(info.bmiHeader.biSizeImage, 20u * 5);
    // The F's top bar is in the last row of memory, its foot in the first.
    const uint8_t* lastRow = bits.get() + 4 * 20;
    const uint8_t* firstRow = bits.get();
    const uint8_t topRow[18] = {255, 0, 0, 0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0, 255, 255, 0, 0};
    const uint8_t bottomRow[18] = {255, 0, 0, 0, 0, 255, 255, 0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0};
    EXPECT_EQ(std::vector<uint8_t>(lastRow, lastRow + 18), std::vector<uint8_t>(topRow, topRow + 18));
    EXPECT_EQ(std::vector<uint8_t>(firstRow, firstRow + 18), std::vector<uint8_t>(bottomRow, bottomRow + 18));
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 6; ++x) {
            const Color c = MemoryBitmap::Unpack(f.Pixel(x, y));
            const uint8_t* p = dib_suite::PixelAt(info, bits.get(), x, y);
            EXPECT_EQ((Color{p[2], p[1], p[0]}), c) << x << "," << y;
        }
    }
}

TYPED_TEST_P(DIBContract, WritingPutsTheBufferIntoTheBitmap) {
    // The F, built byte by byte in the buffer, lands upright in a blank bitmap.
    const MemoryBitmap f = FPicture();
    auto bitmap = TypeParam::Make(FilledPicture(6, 5, kWhite));
    DibInfo info{};
    DibBits bits;
    ASSERT_TRUE(ReadDIB24(*bitmap, info, bits));
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 6; ++x) {
            const Color c = MemoryBitmap::Unpack(f.Pixel(x, y));
            uint8_t* p = const_cast<uint8_t*>(dib_suite::PixelAt(info, bits.get(), x, y));
            p[0] = c.blue;
            p[1] = c.green;
            p[2] = c.red;
        }
    }
    ASSERT_TRUE(WriteDIB24(*bitmap, info, bits.get()));
    EXPECT_EQ(TypeParam::Grab(*bitmap), f);
}

TYPED_TEST_P(DIBContract, WritingRefusesEveryOtherBitCountAndChangesNothing) {
    const MemoryBitmap f = FPicture();
    auto bitmap = TypeParam::Make(f);
    DibInfo info{};
    DibBits bits;
    ASSERT_TRUE(ReadDIB24(*bitmap, info, bits));
    std::memset(bits.get(), 0x77, info.bmiHeader.biSizeImage);
    for (const uint16_t count : {0, 1, 4, 8, 16, 32, 48}) {
        SCOPED_TRACE(count);
        DibInfo other = info;
        other.bmiHeader.biBitCount = count;
        EXPECT_FALSE(WriteDIB24(*bitmap, other, bits.get()));
        EXPECT_EQ(TypeParam::Grab(*bitmap), f);
    }
}

TYPED_TEST_P(DIBContract, ReadingAndWritingBackLeavesEveryPixel) {
    std::mt19937 random(7);
    for (const auto& [w, h] : {std::pair{1, 1}, std::pair{2, 3}, std::pair{5, 4}, std::pair{13, 7}, std::pair{33, 9}}) {
        SCOPED_TRACE(w);
        const MemoryBitmap original = RandomPicture(random, w, h);
        auto bitmap = TypeParam::Make(original);
        DibInfo info{};
        DibBits bits;
        ASSERT_TRUE(ReadDIB24(*bitmap, info, bits));
        ASSERT_TRUE(WriteDIB24(*bitmap, info, bits.get()));
        EXPECT_EQ(TypeParam::Grab(*bitmap), original);
        // And through a second bitmap: the buffer alone carries the picture.
        auto copy = TypeParam::Make(FilledPicture(w, h, kBlack));
        ASSERT_TRUE(WriteDIB24(*copy, info, bits.get()));
        EXPECT_EQ(TypeParam::Grab(*copy), original);
    }
}

TYPED_TEST_P(DIBContract, WritingWithoutABufferIsAnErrorNotACrash) {
    const MemoryBitmap f = FPicture();
    auto bitmap = TypeParam::Make(f);
    DibInfo info{};
    DibBits bits;
    ASSERT_TRUE(ReadDIB24(*bitmap, info, bits));
    EXPECT_THROW(WriteDIB24(*bitmap, info, nullptr), AppError);
    EXPECT_EQ(TypeParam::Grab(*bitmap), f);
}

TYPED_TEST_P(DIBContract, AnEmptyBitmapReadsAsAnEmptyBuffer) {
    auto bitmap = TypeParam::Make(MemoryBitmap());
    DibInfo info{};
    DibBits bits;
    ASSERT_TRUE(ReadDIB24(*bitmap, info, bits));
    EXPECT_TRUE(bits);
    EXPECT_EQ(info.bmiHeader.biWidth, 0);
    EXPECT_EQ(info.bmiHeader.biHeight, 0);
    EXPECT_EQ(info.bmiHeader.biSizeImage, 0u);
}

TYPED_TEST_P(DIBContract, AnEmptyBitmapOfTheSameKindCanBeSizedAndDrawnOn) {
    auto original = TypeParam::Make(FPicture());
    auto made = original->CreateEmpty();
    EXPECT_EQ(made->Width(), 0);
    EXPECT_EQ(made->Height(), 0);
    made->SetSize(4, 3);
    EXPECT_EQ(made->Width(), 4);
    EXPECT_EQ(made->Height(), 3);
    {
        auto canvas = made->CreateCanvas();
        canvas->SetPen(kRed, PenMode::Copy, 1);
        canvas->MoveTo({0, 1});
        canvas->LineTo({4, 1});
    }
    const MemoryBitmap pixels = TypeParam::Grab(*made);
    for (int x = 0; x < 4; ++x) EXPECT_EQ(pixels.Pixel(x, 1), MemoryBitmap::Pack(kRed));
    // The canvas is gone, so the pixels can cross again.
    DibInfo info{};
    DibBits bits;
    ASSERT_TRUE(ReadDIB24(*made, info, bits));
    const uint8_t* p = dib_suite::PixelAt(info, bits.get(), 3, 1);
    EXPECT_EQ((Color{p[2], p[1], p[0]}), kRed);
}

REGISTER_TYPED_TEST_SUITE_P(DIBContract, StridesAndHeaderFollowTheWidth, OneByOneGivesBlueGreenRed,
                            TopRowIsLastInMemoryInBlueGreenRedOrder, WritingPutsTheBufferIntoTheBitmap,
                            WritingRefusesEveryOtherBitCountAndChangesNothing, ReadingAndWritingBackLeavesEveryPixel,
                            WritingWithoutABufferIsAnErrorNotACrash, AnEmptyBitmapReadsAsAnEmptyBuffer,
                            AnEmptyBitmapOfTheSameKindCanBeSizedAndDrawnOn);
