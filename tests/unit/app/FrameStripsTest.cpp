#include "app/FrameStrips.h"

#include <gtest/gtest.h>

#include <climits>
#include <random>
#include <vector>

#include "platform/SoftwareCanvas.h"
#include "selection/SelectArea.h"
#include "selection/SelectionTestSupport.h"

namespace {

constexpr int kWidth = 80, kHeight = 60;

TSelectArea AreaOf(uint8_t state, Rect r) {
    TSelectArea area;
    area.Rect = r;
    area.SetState(state);
    return area;
}

bool Covered(const FrameStrips& strips, int x, int y) {
    for (const PixelBox& b : strips.Boxes()) {
        if (x >= b.left && x < b.right && y >= b.top && y < b.bottom) return true;
    }
    return false;
}

// Draws the frame of the area's state once and returns which pixels it changed.
std::vector<Point> ChangedByFrame(const TSelectArea& area) {
    const MemoryBitmap original = SelectionPattern(kWidth, kHeight);
    MemoryBitmap picture = original;
    SoftwareCanvas canvas(picture);
    area.DrawFrame(canvas);
    std::vector<Point> changed;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            if (picture.Pixel(x, y) != original.Pixel(x, y)) changed.push_back({x, y});
        }
    }
    return changed;
}

TEST(FrameStrips, NothingIsSelectedNothingToRepaint) {
    const FrameStrips strips(AreaOf(TSelectArea::kStateNone, {10, 10, 40, 30}), kWidth, kHeight);
    EXPECT_TRUE(strips.Boxes().empty());
}

TEST(FrameStrips, AnOutlineIsFourOnePixelSidesAndTheGripsComeOnlyWhenSelected) {
    const Rect r{10, 20, 40, 35};
    const FrameStrips drawing(AreaOf(TSelectArea::kStateDrawing, r), kWidth, kHeight);
    const std::vector<PixelBox> outline{{10, 20, 41, 21}, {10, 35, 41, 36}, {10, 21, 11, 35}, {40, 21, 41, 35}};
    EXPECT_EQ(std::vector<PixelBox>(drawing.Boxes().begin(), drawing.Boxes().end()), outline);

    const FrameStrips adjusting(AreaOf(TSelectArea::kStateAdjusting, r), kWidth, kHeight);
    EXPECT_EQ(adjusting.Boxes().size(), 4u);

    const FrameStrips selected(AreaOf(TSelectArea::kStateSelected, r), kWidth, kHeight);
    ASSERT_EQ(selected.Boxes().size(), 12u);
    // Grip 0 around (10, 20) and grip 7 around the bottom middle (25, 35), as the canvas fills them.
    EXPECT_EQ(selected.Boxes()[4], (PixelBox{7, 17, 13, 23}));
    EXPECT_EQ(selected.Boxes()[11], (PixelBox{22, 32, 28, 38}));
}

TEST(FrameStrips, PartsOutsideThePictureAreCutOffOrLeftOut) {
    // Every side lies outside; of the grips only the right middle one, around (-2, 30), reaches
    // the picture's first column.
    const FrameStrips strips(AreaOf(TSelectArea::kStateSelected, {-30, -10, -2, 70}), kWidth, kHeight);
    ASSERT_EQ(strips.Boxes().size(), 1u);
    EXPECT_EQ(strips.Boxes()[0], (PixelBox{0, 27, 1, 33}));
    // A side that leaves the picture is cut at its edge.
    const FrameStrips cut(AreaOf(TSelectArea::kStateDrawing, {50, 40, 200, 100}), kWidth, kHeight);
    ASSERT_EQ(cut.Boxes().size(), 2u);
    EXPECT_EQ(cut.Boxes()[0], (PixelBox{50, 40, kWidth, 41}));
    EXPECT_EQ(cut.Boxes()[1], (PixelBox{50, 41, 51, kHeight}));
}

TEST(FrameStrips, RectanglesAtTheEndsOfTheIntegerRangeNeitherOverflowNorVanish) {
    const FrameStrips strips(AreaOf(TSelectArea::kStateDrawing, {INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX}), kWidth,
                             kHeight);
    EXPECT_TRUE(strips.Boxes().empty());  // all four sides lie far outside
    const FrameStrips around(AreaOf(TSelectArea::kStateDrawing, {INT32_MIN, 5, INT32_MAX, 9}), kWidth, kHeight);
    ASSERT_EQ(around.Boxes().size(), 2u);
    EXPECT_EQ(around.Boxes()[0], (PixelBox{0, 5, kWidth, 6}));
    EXPECT_EQ(around.Boxes()[1], (PixelBox{0, 9, kWidth, 10}));
}

// The property the view relies on: whatever the rectangle, drawing its frame changes no pixel
// outside the strips, and the strips stay a thin frame rather than the picture.
TEST(FrameStrips, EveryPixelTheFrameChangesLiesInTheStrips) {
    std::mt19937 random(20240611);
    auto coordinate = [&](int size) { return static_cast<int32_t>(random() % static_cast<uint32_t>(size + 40)) - 20; };
    for (int round = 0; round < 600; ++round) {
        int32_t x1 = coordinate(kWidth), x2 = coordinate(kWidth), y1 = coordinate(kHeight), y2 = coordinate(kHeight);
        if (round % 7 == 0) x2 = x1;  // lines and points too
        if (round % 11 == 0) y2 = y1;
        const Rect r{std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)};
        for (uint8_t state : {TSelectArea::kStateDrawing, TSelectArea::kStateSelected, TSelectArea::kStateAdjusting}) {
            const TSelectArea area = AreaOf(state, r);
            const FrameStrips strips(area, kWidth, kHeight);
            for (const Point& p : ChangedByFrame(area)) {
                ASSERT_TRUE(Covered(strips, p.x, p.y))
                    << "pixel " << p.x << "," << p.y << " of " << Describe(r) << " in state " << int{state};
            }
            const int64_t thin = 2 * (int64_t{kWidth} + kHeight) + 4 + 8 * 36;
            EXPECT_LE(strips.Area(), thin) << Describe(r);
        }
    }
}

// And no pixel more than needed: a whole outline inside the picture changes every strip pixel.
TEST(FrameStrips, AnOutlineInsideThePictureRepaintsOnlyWhatItChanged) {
    for (const Rect& r : {Rect{5, 5, 6, 6}, Rect{10, 20, 40, 35}, Rect{0, 0, kWidth - 1, kHeight - 1}}) {
        const TSelectArea area = AreaOf(TSelectArea::kStateDrawing, r);
        const FrameStrips strips(area, kWidth, kHeight);
        EXPECT_EQ(strips.Area(), static_cast<int64_t>(ChangedByFrame(area).size())) << Describe(r);
    }
}

}  // namespace
