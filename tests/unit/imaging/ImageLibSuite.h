#pragma once
// The trim pipeline through the bitmap seam, run against every kind of bitmap (see DIBSuite.h
// for what a kind provides).
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "Pictures.h"
#include "TrimReference.h"
#include "imaging/ImageLib.h"
#include "platform/AppError.h"

template <class Kind>
class TrimPipeline : public testing::Test {
protected:
    static MemoryBitmap Run(const MemoryBitmap& picture, const Rect& rect, const TrimSettings& settings) {
        auto source = Kind::Make(picture);
        auto destination = source->CreateEmpty();
        TrimImage(*source, *destination, rect, settings);
        EXPECT_EQ(Kind::Grab(*source), picture) << "the source picture changed";
        return Kind::Grab(*destination);
    }
};
TYPED_TEST_SUITE_P(TrimPipeline);

namespace trim_suite {

inline TrimSettings Settings(uint8_t trimType, int32_t width = 150, int32_t height = 180, int32_t scale = 100) {
    TrimSettings s;
    s.TrimType = trimType;
    s.Width = width;
    s.Height = height;
    s.Scale = scale;
    return s;
}

inline Color Grey(uint8_t v) { return Color{v, v, v}; }

inline Color At(const MemoryBitmap& picture, int x, int y) { return MemoryBitmap::Unpack(picture.Pixel(x, y)); }

inline MemoryBitmap Crop(const MemoryBitmap& picture, const Rect& r) {
    MemoryBitmap out(r.Right - r.Left + 1, r.Bottom - r.Top + 1);
    for (int y = r.Top; y <= r.Bottom; ++y) {
        for (int x = r.Left; x <= r.Right; ++x) out.SetPixel(x - r.Left, y - r.Top, picture.Pixel(x, y));
    }
    return out;
}

// A 2 x 2 picture: three pixels of one colour and the bottom-right one of another.
inline MemoryBitmap ThreeAndOne(Color three, Color one) {
    MemoryBitmap picture = FilledPicture(2, 2, three);
    picture.SetPixel(1, 1, MemoryBitmap::Pack(one));
    return picture;
}

}  // namespace trim_suite

TYPED_TEST_P(TrimPipeline, NoReductionReproducesTheCutOut) {
    std::mt19937 random(3);
    const MemoryBitmap picture = RandomPicture(random, 20, 15);
    const Rect rect{3, 2, 14, 11};
    EXPECT_EQ(this->Run(picture, rect, trim_suite::Settings(3)), trim_suite::Crop(picture, rect));
}

TYPED_TEST_P(TrimPipeline, ColumnRangesOfTheWorkedExamples) {
    using trim_suite::Grey;
    struct Case {
        int sourceWidth;
        int outWidth;
        std::vector<int> expected;  // averages of the boxes the ranges give
    };
    // Columns hold 10, 20, 30, ...; ranges 10->4: 0-2, 2-4, 5-6, 8-9; 3->2: 0, 2; 5->2: 0-2, 2-4;
    // 2->5: 0, 0, 1, 1 and the white position right of the cut-out.
    const Case cases[] = {
        {10, 4, {20, 40, 65, 95}},
        {3, 2, {10, 30}},
        {5, 2, {20, 40}},
        {2, 5, {10, 10, 20, 20, 255}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.sourceWidth) + " -> " + std::to_string(c.outWidth));
        MemoryBitmap picture(c.sourceWidth, 1);
        for (int x = 0; x < c.sourceWidth; ++x)
            picture.SetPixel(x, 0, MemoryBitmap::Pack(Grey(static_cast<uint8_t>(10 * (x + 1)))));
        // Two rows because the caller widens a one-row selection; the second is white.
        const MemoryBitmap out =
            this->Run(picture, Rect{0, 0, c.sourceWidth - 1, 1}, trim_suite::Settings(0, c.outWidth, 2));
        ASSERT_EQ(out.Width(), c.outWidth);
        for (int x = 0; x < c.outWidth; ++x) {
            EXPECT_EQ(trim_suite::At(out, x, 0), Grey(static_cast<uint8_t>(c.expected[static_cast<size_t>(x)]))) << x;
            EXPECT_EQ(trim_suite::At(out, x, 1), kWhite) << x;
        }
    }
}

TYPED_TEST_P(TrimPipeline, BoxAveragesWithAndWithoutEmphasis) {
    // Three white and one black pixel: 765 div 4 = 191; black weighs four times: 765 div 7 = 109.
    const MemoryBitmap picture = trim_suite::ThreeAndOne(kWhite, kBlack);
    TrimSettings s = trim_suite::Settings(0, 1, 1);
    EXPECT_EQ(trim_suite::At(this->Run(picture, Rect{0, 0, 1, 1}, s), 0, 0), trim_suite::Grey(191));
    s.EffectFlags = TrimSettings::kEmphasis;
    EXPECT_EQ(trim_suite::At(this->Run(picture, Rect{0, 0, 1, 1}, s), 0, 0), trim_suite::Grey(109));
}

TYPED_TEST_P(TrimPipeline, EmphasisLooksAtTheColourAfterInversion) {
    struct Case {
        Color three;
        Color one;
        uint8_t reverseType;
        uint8_t expected;
    };
    const Case cases[] = {
        // White turns black and weighs 4: 255 div (12 + 1) = 19.
        {kWhite, kBlack, 1, 19},
        {kWhite, kBlack, 0, 19},
        // Black turns white and weighs 1, the one white turns black: 765 div 7 = 109.
        {kBlack, kWhite, 1, 109},
        {kBlack, kWhite, 0, 109},
        // Type 1 leaves 128 alone and the black turns white: (3 x 128 + 255) div 4 = 159.
        {trim_suite::Grey(128), kBlack, 1, 159},
        // Type 0 makes 128 into 127 and the white black with weight 4: 381 div 7 = 54.
        {trim_suite::Grey(128), kWhite, 0, 54},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.expected));
        TrimSettings s = trim_suite::Settings(0, 1, 1);
        s.EffectFlags = TrimSettings::kReverse | TrimSettings::kEmphasis;
        s.ReverseType = c.reverseType;
        EXPECT_EQ(trim_suite::At(this->Run(trim_suite::ThreeAndOne(c.three, c.one), Rect{0, 0, 1, 1}, s), 0, 0),
                  trim_suite::Grey(c.expected));
    }
}

TYPED_TEST_P(TrimPipeline, AlmostBlackGetsNoExtraWeight) {
    TrimSettings s = trim_suite::Settings(0, 1, 1);
    s.EffectFlags = TrimSettings::kEmphasis;
    // (0, 0, 1) is not pure black: weight 4, not 7.
    const Color c =
        trim_suite::At(this->Run(trim_suite::ThreeAndOne(kWhite, Color{0, 0, 1}), Rect{0, 0, 1, 1}, s), 0, 0);
    EXPECT_EQ(c, (Color{191, 191, 191}));
}

TYPED_TEST_P(TrimPipeline, InversionTypesAndPositionsOutsideThePicture) {
    MemoryBitmap picture(3, 1);
    picture.SetPixel(0, 0, MemoryBitmap::Pack(trim_suite::Grey(128)));
    picture.SetPixel(1, 0, MemoryBitmap::Pack(kWhite));
    picture.SetPixel(2, 0, MemoryBitmap::Pack(kBlack));
    const Rect rect{0, 0, 3, 1};  // column 3 and row 1 lie outside
    struct Case {
        uint8_t effects;
        uint8_t reverseType;
        Color expected[3];
    };
    const Case cases[] = {
        {0, 0, {trim_suite::Grey(128), kWhite, kBlack}},
        {TrimSettings::kReverse, 0, {trim_suite::Grey(127), kBlack, kWhite}},
        {TrimSettings::kReverse, 1, {trim_suite::Grey(128), kBlack, kWhite}},
        {TrimSettings::kReverse, 2, {trim_suite::Grey(128), kBlack, kWhite}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.effects) + "/" + std::to_string(c.reverseType));
        TrimSettings s = trim_suite::Settings(3);
        s.EffectFlags = c.effects;
        s.ReverseType = c.reverseType;
        const MemoryBitmap out = this->Run(picture, rect, s);
        ASSERT_EQ(out.Width(), 4);
        ASSERT_EQ(out.Height(), 2);
        for (int x = 0; x < 3; ++x) EXPECT_EQ(trim_suite::At(out, x, 0), c.expected[x]) << x;
        for (int x = 0; x < 4; ++x) EXPECT_EQ(trim_suite::At(out, x, 1), kWhite) << x;
        EXPECT_EQ(trim_suite::At(out, 3, 0), kWhite);
    }
}

TYPED_TEST_P(TrimPipeline, LastColumnWidenedByTheCallerEndsInWhite) {
    std::mt19937 random(5);
    const MemoryBitmap picture = RandomPicture(random, 5, 3);
    const MemoryBitmap out = this->Run(picture, Rect{4, 0, 5, 2}, trim_suite::Settings(3));
    ASSERT_EQ(out.Width(), 2);
    ASSERT_EQ(out.Height(), 3);
    for (int y = 0; y < 3; ++y) {
        EXPECT_EQ(out.Pixel(0, y), picture.Pixel(4, y));
        EXPECT_EQ(trim_suite::At(out, 1, y), kWhite);
    }
}

TYPED_TEST_P(TrimPipeline, FramePaintsExactlyTheOutermostRowsAndColumns) {
    // FrameSize 3 on 10 x 8: rows 0-2 and 5-7, columns 0-2 and 7-9. Then every width on a few
    // shapes, even widths included, up to widths that cover the whole picture.
    struct Shape {
        int width;
        int height;
    };
    for (const Shape shape : {Shape{10, 8}, Shape{7, 9}, Shape{3, 3}, Shape{1, 1}, Shape{2, 5}, Shape{31, 20}}) {
        for (const int frame : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 15, 16, 40}) {
            SCOPED_TRACE(std::to_string(shape.width) + "x" + std::to_string(shape.height) + " frame " +
                         std::to_string(frame));
            TrimSettings s = trim_suite::Settings(3);
            s.IsFrame = true;
            s.FrameSize = frame;
            const MemoryBitmap out = this->Run(FilledPicture(shape.width, shape.height, kWhite),
                                               Rect{0, 0, shape.width - 1, shape.height - 1}, s);
            int wrong = 0;
            for (int y = 0; y < shape.height; ++y) {
                for (int x = 0; x < shape.width; ++x) {
                    const bool edge = x < frame || y < frame || x >= shape.width - frame || y >= shape.height - frame;
                    if (trim_suite::At(out, x, y) != (edge ? kBlack : kWhite)) ++wrong;
                }
            }
            EXPECT_EQ(wrong, 0);
        }
    }
}

TYPED_TEST_P(TrimPipeline, NoFrameWhenSwitchedOffOrNotPositive) {
    const MemoryBitmap white = FilledPicture(6, 4, kWhite);
    struct Case {
        bool on;
        int size;
    };
    for (const Case c : {Case{false, 3}, Case{true, 0}, Case{true, -2}}) {
        TrimSettings s = trim_suite::Settings(3);
        s.IsFrame = c.on;
        s.FrameSize = c.size;
        EXPECT_EQ(this->Run(white, Rect{0, 0, 5, 3}, s), white) << c.on << " " << c.size;
    }
}

TYPED_TEST_P(TrimPipeline, TwoRunsDoNotDependOnEachOther) {
    std::mt19937 random(11);
    const MemoryBitmap picture = RandomPicture(random, 30, 20);
    TrimSettings first = trim_suite::Settings(0, 7, 5);
    first.EffectFlags = 3;
    first.ReverseType = 0;
    first.IsFrame = true;
    first.FrameSize = 2;
    const TrimSettings second = trim_suite::Settings(2, 12, 40);
    auto source = TypeParam::Make(picture);
    auto destination = source->CreateEmpty();
    TrimImage(*source, *destination, Rect{-3, 2, 25, 30}, first);
    TrimImage(*source, *destination, Rect{1, 1, 20, 10}, second);
    EXPECT_EQ(TypeParam::Grab(*destination), this->Run(picture, Rect{1, 1, 20, 10}, second));
    EXPECT_EQ(TypeParam::Grab(*destination), reference::Trim(picture, Rect{1, 1, 20, 10}, second));
}

TYPED_TEST_P(TrimPipeline, ImpossibleOutputSizesAreRefusedBeforeAnythingChanges) {
    std::mt19937 random(13);
    const MemoryBitmap picture = RandomPicture(random, 8, 6);
    const MemoryBitmap before = RandomPicture(random, 4, 4);
    const TrimSettings cases[] = {
        trim_suite::Settings(0, 2000000000, 1),           // stride overflows 32 bits
        trim_suite::Settings(0, 30000, 30000),            // stride x height overflows
        trim_suite::Settings(1, 150, 180, 2000000000),    // scaling: 8 x 2e9 div 100 columns
        trim_suite::Settings(2, 2000000000, 2000000000),  // free, width pinned
        trim_suite::Settings(0, 0, 5),                    // sizes the command guard keeps out
        trim_suite::Settings(1, 150, 180, -5),
    };
    for (const TrimSettings& s : cases) {
        SCOPED_TRACE(std::to_string(s.TrimType) + " " + std::to_string(s.Width) + "x" + std::to_string(s.Height) + " " +
                     std::to_string(s.Scale));
        auto source = TypeParam::Make(picture);
        auto destination = TypeParam::Make(before);
        const Rect rect{0, 0, 7, 5};
        EXPECT_THROW(TrimImage(*source, *destination, rect, s), AppError);
        EXPECT_EQ(TypeParam::Grab(*destination), before);
        EXPECT_EQ(TypeParam::Grab(*source), picture);
        EXPECT_EQ(rect, (Rect{0, 0, 7, 5}));
    }
}

TYPED_TEST_P(TrimPipeline, AHugeSelectionAveragesTheOutsideAsWhite) {
    // 6001 x 4001 positions in one box, twelve of them inside the picture: wide sums needed.
    std::mt19937 random(17);
    const MemoryBitmap picture = RandomPicture(random, 4, 3);
    const Rect rect{-3000, -2000, 3000, 2000};
    const MemoryBitmap out = this->Run(picture, rect, trim_suite::Settings(0, 1, 1));
    const int64_t count = int64_t{6001} * 4001;
    int64_t red = 255 * (count - 12), green = red, blue = red;
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 4; ++x) {
            const Color c = trim_suite::At(picture, x, y);
            red += c.red;
            green += c.green;
            blue += c.blue;
        }
    }
    EXPECT_EQ(trim_suite::At(out, 0, 0), (Color{static_cast<uint8_t>(red / count), static_cast<uint8_t>(green / count),
                                                static_cast<uint8_t>(blue / count)}));
}

TYPED_TEST_P(TrimPipeline, LargeBoxesAverageExactly) {
    // Boxes of a few thousand positions, on both sides of 4104, where the division by the weight
    // changes method, with and without effects.
    std::mt19937 random(23);
    const MemoryBitmap picture = RandomPicture(random, 130, 70);
    struct Case {
        Rect rect;
        int outWidth;
        int outHeight;
    };
    const Case cases[] = {
        {Rect{0, 0, 63, 63}, 1, 1},       // 4096 positions
        {Rect{0, 0, 64, 63}, 1, 1},       // 4160
        {Rect{3, 2, 128, 67}, 2, 1},      // 63 x 66 = 4158 each
        {Rect{-40, -30, 129, 69}, 1, 1},  // 17000, mostly inside
        {Rect{0, 0, 129, 69}, 3, 2},
    };
    for (const Case& c : cases) {
        for (const uint8_t effects : {0, 1, 2, 3}) {
            SCOPED_TRACE(std::to_string(c.rect.Right) + " effects " + std::to_string(effects));
            TrimSettings s = trim_suite::Settings(0, c.outWidth, c.outHeight);
            s.EffectFlags = effects;
            s.ReverseType = 0;
            EXPECT_EQ(this->Run(picture, c.rect, s), reference::Trim(picture, c.rect, s));
        }
    }
    // Boxes taller than 257 rows, whose column sums no longer fit in 16 bits.
    // Mostly white, so that the sums pass 65535.
    MemoryBitmap tall = FilledPicture(12, 300, kWhite);
    for (int i = 0; i < 200; ++i)
        tall.SetPixel(static_cast<int>(random() % 12), static_cast<int>(random() % 300), random() & 0xFFFFFF);
    for (const int outWidth : {1, 2, 5}) {
        const TrimSettings s = trim_suite::Settings(0, outWidth, 1);
        EXPECT_EQ(this->Run(tall, Rect{0, -5, 11, 299}, s), reference::Trim(tall, Rect{0, -5, 11, 299}, s)) << outWidth;
    }
    // Flat areas, common in screen captures, give sums that are exact multiples of the weight.
    const Color flat{200, 101, 7};
    for (const Rect rect : {Rect{0, 0, 63, 63}, Rect{0, 0, 64, 63}, Rect{0, 0, 99, 69}}) {
        const MemoryBitmap out = this->Run(FilledPicture(130, 70, flat), rect, trim_suite::Settings(0, 1, 1));
        EXPECT_EQ(trim_suite::At(out, 0, 0), flat) << rect.Right << "x" << rect.Bottom;
    }
}

TYPED_TEST_P(TrimPipeline, AgreesWithTheReferenceOnRandomInputs) {
    std::mt19937 random(20240601);
    auto pick = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    int compared = 0;
    for (int i = 0; i < TypeParam::kRandomCases; ++i) {
        const int width = pick(1, 24);
        const int height = pick(1, 24);
        const MemoryBitmap picture = RandomPicture(random, width, height);
        Rect rect;
        rect.Left = pick(-8, width + 3);
        rect.Top = pick(-8, height + 3);
        rect.Right = rect.Left + pick(0, width + 12);
        rect.Bottom = rect.Top + pick(0, height + 12);
        TrimSettings s;
        s.TrimType = static_cast<uint8_t>(pick(0, 5));
        s.Width = pick(1, 40);
        s.Height = pick(1, 40);
        s.Scale = pick(1, 250);
        s.EffectFlags = static_cast<uint8_t>(pick(0, 3));
        s.ReverseType = static_cast<uint8_t>(pick(0, 2));
        s.IsFrame = pick(0, 1) == 1;
        s.FrameSize = pick(-1, 7);
        SCOPED_TRACE("case " + std::to_string(i));
        const MemoryBitmap expected = reference::Trim(picture, rect, s);
        const MemoryBitmap actual = this->Run(picture, rect, s);
        ASSERT_EQ(actual, expected) << "picture " << width << "x" << height << " rect " << rect.Left << "," << rect.Top
                                    << "," << rect.Right << "," << rect.Bottom << " type " << int{s.TrimType} << " "
                                    << s.Width << "x" << s.Height << " scale " << s.Scale << " effects "
                                    << int{s.EffectFlags} << "/" << int{s.ReverseType} << " frame " << s.IsFrame << "/"
                                    << s.FrameSize;
        ++compared;
    }
    EXPECT_EQ(compared, TypeParam::kRandomCases);
}

REGISTER_TYPED_TEST_SUITE_P(TrimPipeline, NoReductionReproducesTheCutOut, ColumnRangesOfTheWorkedExamples,
                            BoxAveragesWithAndWithoutEmphasis, EmphasisLooksAtTheColourAfterInversion,
                            AlmostBlackGetsNoExtraWeight, InversionTypesAndPositionsOutsideThePicture,
                            LastColumnWidenedByTheCallerEndsInWhite, FramePaintsExactlyTheOutermostRowsAndColumns,
                            NoFrameWhenSwitchedOffOrNotPositive, TwoRunsDoNotDependOnEachOther,
                            ImpossibleOutputSizesAreRefusedBeforeAnythingChanges,
                            AHugeSelectionAveragesTheOutsideAsWhite, LargeBoxesAverageExactly,
                            AgreesWithTheReferenceOnRandomInputs);
