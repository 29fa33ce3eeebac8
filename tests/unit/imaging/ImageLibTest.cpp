#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "ImageLibSuite.h"
#include "TestSupport.h"
#include "imaging/ImageLib.h"
#include "platform/AppError.h"
#include "settings/FLConfig.h"

INSTANTIATE_TYPED_TEST_SUITE_P(MemoryBitmap, TrimPipeline, SoftwareBitmapKind);

namespace {

using trim_suite::Settings;

std::vector<BoxRange> Ranges(int sourceWidth, int outWidth) {
    TrimContext context;
    CalcOutputSize(context, Rect{0, 0, sourceWidth - 1, 0}, Settings(0, outWidth, 1));
    std::vector<BoxRange> ranges;
    for (int x = 0; x < outWidth; ++x) ranges.push_back(SampleRange(context.ScaleX, x));
    return ranges;
}

std::string Text(const std::vector<BoxRange>& ranges) {
    std::string text;
    for (const BoxRange& r : ranges) text += std::to_string(r.first) + "-" + std::to_string(r.last) + " ";
    return text;
}

TEST(TrimRanges, WorkedExamplesRoundHalfToEven) {
    struct Case {
        int sourceWidth;
        int outWidth;
        const char* ranges;
    };
    const Case cases[] = {
        {10, 4, "0-2 2-4 5-6 8-9 "},     // column 2 in two boxes, column 7 in none
        {3, 2, "0-0 2-2 "},              // column 1 unused
        {5, 2, "0-2 2-4 "},              // rounded(1.5) is 2, rounded(2.5) is 2
        {2, 5, "0-0 0-0 1-1 1-1 2-2 "},  // the last reads just right of the cut-out
        {4, 4, "0-0 1-1 2-2 3-3 "},
        {7, 2, "0-2 4-6 "},      // 3.5: rounded(2.5) = 2, rounded(3.5) = 4
        {1, 3, "0-0 0-0 1-1 "},  // 1/3 and 2/3
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Text(Ranges(c.sourceWidth, c.outWidth)), c.ranges) << c.sourceWidth << " -> " << c.outWidth;
    }
}

TEST(TrimRanges, EveryBoxHoldsAtLeastOnePosition) {
    for (int source = 1; source <= 64; ++source) {
        for (int out = 1; out <= 64; ++out) {
            for (const BoxRange& r : Ranges(source, out)) ASSERT_LE(r.first, r.last) << source << " -> " << out;
        }
    }
}

TEST(TrimOutputSize, FollowsTheTrimMode) {
    struct Case {
        int sourceWidth, sourceHeight;
        TrimSettings settings;
        int outWidth, outHeight;
        long double scaleX, scaleY;
    };
    const Case cases[] = {
        {300, 100, Settings(0, 150, 180), 150, 180, 2.0L, 100.0L / 180},  // proportion stretches
        {50, 120, Settings(1, 150, 180, 1), 1, 1, 50.0L, 120.0L},         // 50 div 100 is 0, raised to 1
        {3, 2, Settings(1, 150, 180, 250), 7, 5, 3.0L / 7, 2.0L / 5},
        {300, 360, Settings(2, 150, 180), 150, 180, 2.0L, 2.0L},  // equal ratios pin the width
        {400, 100, Settings(2, 150, 180), 150, 37, 400.0L / 150, 100.0L / 37},
        {1, 300, Settings(2, 150, 180), 1, 180, 1.0L, 300.0L / 180},      // 1 x 180 div 300 is 0, raised to 1
        {10, 10, Settings(2, 150, 180), 150, 150, 1.0L / 15, 1.0L / 15},  // free mode enlarges to fit
        {100, 300, Settings(2, 150, 180), 60, 180, 100.0L / 60, 300.0L / 180},
        {37, 12, Settings(3), 37, 12, 1.0L, 1.0L},
        {37, 12, Settings(4), 37, 12, 1.0L, 1.0L},  // outside 0-3: no reduction
        {37, 12, Settings(255), 37, 12, 1.0L, 1.0L},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.sourceWidth) + "x" + std::to_string(c.sourceHeight) + " type " +
                     std::to_string(c.settings.TrimType));
        TrimContext context;
        CalcOutputSize(context, Rect{5, -7, 5 + c.sourceWidth - 1, -7 + c.sourceHeight - 1}, c.settings);
        EXPECT_EQ(context.SourceWidth, c.sourceWidth);
        EXPECT_EQ(context.SourceHeight, c.sourceHeight);
        EXPECT_EQ(context.OutWidth, c.outWidth);
        EXPECT_EQ(context.OutHeight, c.outHeight);
        EXPECT_EQ(context.ScaleX, static_cast<double>(c.scaleX));
        EXPECT_EQ(context.ScaleY, static_cast<double>(c.scaleY));
    }
}

TEST(TrimOutputSize, RefusesWhatNoBufferCanHold) {
    const Rect rect{0, 0, 99, 99};
    for (const TrimSettings& s : {Settings(0, 2000000000, 1), Settings(0, 1, 2000000000), Settings(0, 46341, 46341),
                                  Settings(1, 1, 1, 2000000000), Settings(0, -1, 5), Settings(2, 0, 5),
                                  Settings(2, 5, 0), Settings(1, 150, 180, 0), Settings(1, 150, 180, -5)}) {
        TrimContext context;
        EXPECT_THROW(CalcOutputSize(context, rect, s), AppError) << s.Width << "x" << s.Height << " " << s.Scale;
    }
    TrimContext context;
    EXPECT_THROW(CalcOutputSize(context, Rect{5, 0, 4, 3}, Settings(3)), AppError);  // not normalised
    EXPECT_THROW(CalcOutputSize(context, Rect{-2000000000, 0, 2000000000, 3}, Settings(3)), AppError);
}

TEST(TrimSteps, SampleBoxAgreesWithTheReferencePixelByPixel) {
    std::mt19937 random(99);
    for (int i = 0; i < 40; ++i) {
        const MemoryBitmap picture = RandomPicture(random, 9, 7);
        const Rect rect{-2, -1, 10, 8};
        TrimSettings s = Settings(static_cast<uint8_t>(i % 4), 5 + i % 3, 4 + i % 5, 40 + 10 * (i % 7));
        s.EffectFlags = static_cast<uint8_t>(i % 4);
        s.ReverseType = static_cast<uint8_t>(i % 2);
        const MemoryBitmap expected = reference::Trim(picture, rect, s);

        const SoftwareBitmap source(picture);
        SoftwareBitmap destination;
        TrimContext context;
        CalcOutputSize(context, rect, s);
        destination.SetSize(context.OutWidth, context.OutHeight);
        OpenBuffers(context, source, destination);
        PrepareBoxes(context, rect);
        for (int y = 0; y < context.OutHeight; ++y) {
            for (int x = 0; x < context.OutWidth; ++x) StorePixel(context, x, y, SampleBox(context, x, y, s));
        }
        CloseBuffers(context, destination);
        EXPECT_FALSE(context.SourceBits);
        EXPECT_FALSE(context.DestBits);
        ASSERT_EQ(destination.Pixels(), expected) << "case " << i;
    }
}

TEST(TrimSteps, HalvingAgreesWithTheReferenceInsideAndAtThePicturesEdges) {
    // Boxes two columns wide side by side take a shorter way when a row's boxes are all inside;
    // boxes that reach past the bottom or the right edge take the general one.
    std::mt19937 random(31);
    const MemoryBitmap picture = RandomPicture(random, 64, 41);
    const Rect rects[] = {{0, 0, 63, 39}, {2, 1, 61, 40}, {0, 30, 63, 45}, {10, 0, 69, 39}, {0, 0, 63, 40}};
    for (const int32_t scale : {50, 25, 10}) {
        for (const Rect& rect : rects) {
            const TrimSettings s = trim_suite::Settings(1, 150, 180, scale);
            SoftwareBitmap out;
            TrimImage(SoftwareBitmap(picture), out, rect, s);
            EXPECT_EQ(out.Pixels(), reference::Trim(picture, rect, s))
                << scale << "% of " << rect.Left << "," << rect.Top << "," << rect.Right << "," << rect.Bottom;
        }
    }
}

TEST(TrimSteps, StorePixelWritesBlueGreenRedIntoTheBottomUpBuffer) {
    TrimContext context;
    CalcOutputSize(context, Rect{0, 0, 2, 1}, Settings(3));
    SoftwareBitmap destination;
    destination.SetSize(3, 2);
    const SoftwareBitmap source(FilledPicture(3, 2, kWhite));
    OpenBuffers(context, source, destination);
    StorePixel(context, 2, 0, Color{1, 2, 3});
    const uint8_t* p = context.DestBits.get() + 1 * context.DestStride + 2 * 3;  // top row is the last
    EXPECT_EQ(p[0], 3);
    EXPECT_EQ(p[1], 2);
    EXPECT_EQ(p[2], 1);
    EXPECT_EQ(context.DestStride, 12);
    EXPECT_EQ(context.SourceStride, 12);
    EXPECT_EQ(context.PictureWidth, 3);
    EXPECT_EQ(context.PictureHeight, 2);
}

TEST(TrimSettingsFromConfig, ReadsTheEightFieldsOfTheSettingsFile) {
    TempDir dir;
    WriteTestFile(dir.File("f.ini"),
                  "[Trim]\r\nType=2\r\nWidth=64\r\nHeight=48\r\nScale=33\r\n"
                  "[Effect]\r\nReverse=1\r\nEmphasis=1\r\nReverseType=0\r\nIsFrame=1\r\nFrameSize=4\r\n");
    const TFLConfig config(dir.File("f.ini"));
    const TrimSettings s = config.Trim();
    EXPECT_EQ(s.TrimType, 2);
    EXPECT_EQ(s.Width, 64);
    EXPECT_EQ(s.Height, 48);
    EXPECT_EQ(s.Scale, 33);
    EXPECT_EQ(s.EffectFlags, 3);
    EXPECT_EQ(s.ReverseType, 0);
    EXPECT_TRUE(s.IsFrame);
    EXPECT_EQ(s.FrameSize, 4);

    // The TFLConfig entry gives the same picture as the plain settings.
    std::mt19937 random(1);
    const SoftwareBitmap source(RandomPicture(random, 20, 10));
    SoftwareBitmap viaConfig, viaSettings;
    TrimImage(source, viaConfig, Rect{1, 1, 18, 8}, config);
    TrimImage(source, viaSettings, Rect{1, 1, 18, 8}, s);
    EXPECT_EQ(viaConfig.Pixels(), viaSettings.Pixels());
    EXPECT_EQ(viaConfig.Width(), 64);  // free mode: 18 x 8 fitted into 64 x 48
    EXPECT_EQ(viaConfig.Height(), 28);
}

}  // namespace
