#include <gtest/gtest.h>

#include <random>

#include "SelectionTestSupport.h"
#include "platform/SoftwareCanvas.h"
#include "selection/SelectionRouting.h"

namespace {

// Random presses, moves and releases, routed as the main window routes them, with the settings'
// refit, the unselect command and new captures mixed in. After every step the selection's
// invariants must hold and the picture must hold exactly one frame of the current state.
struct Mode {
    int trimType;
    int32_t width, height;
};

// Adds to adjustedBy the drag kinds seen while adjusting, one bit each.
void RunRandomSession(const Mode& mode, uint32_t seed, unsigned& adjustedBy) {
    constexpr int kWidth = 64, kHeight = 48;
    // The session starts in the mode under test; now and then the user changes the trim
    // settings, after which the main window refits the rectangle and later events use them.
    const TestSettings own(mode.trimType, mode.width, mode.height), tall(0, 150, 180), wide(0, 16, 9),
        free(2, 150, 180);
    const TFLConfig* const choices[] = {&own.Get(), &tall.Get(), &wide.Get(), &free.Get()};
    const TFLConfig* current = &own.Get();
    const MemoryBitmap original = SelectionPattern(kWidth, kHeight);
    MemoryBitmap picture = original;
    SoftwareCanvas canvas(picture);
    TSelectArea area;
    std::mt19937 random(seed);
    auto below = [&](int n) { return static_cast<int>(random() % static_cast<uint32_t>(n)); };

    // Points mostly on and around the picture, often right at a grip or the rectangle's edge so
    // that adjustments of every kind happen.
    auto point = [&]() -> Point {
        if (area.State != TSelectArea::kStateNone && below(2) == 0) {
            const Point c = area.GetGripPoint(below(8));
            return {c.x + below(9) - 4, c.y + below(9) - 4};
        }
        return {below(kWidth + 60) - 30, below(kHeight + 60) - 30};
    };

    bool pressed = false;
    for (int step = 0; step < 400; ++step) {
        std::string what;
        const int roll = below(100);
        if (roll < 3) {
            const int choice = below(4) == 0 ? below(4) : 0;
            current = choices[choice];
            what = "settings " + std::to_string(choice) + ", ratio";
            area.ApplyRatio(canvas, *current);
        } else if (roll < 6) {
            what = "clear";
            area.Clear(canvas);
            ASSERT_EQ(picture, original) << "step " << step << ": Clear must restore every pixel";
        } else if (roll < 8) {
            what = "capture";
            area.SetState(TSelectArea::kStateNone);
            picture = original;
        } else {
            const Point p = point();
            // Mostly a realistic press, drag and release; sometimes a stray event.
            const int kind = below(10) == 0 ? below(3) : (pressed ? (below(4) == 0 ? 2 : 1) : (below(3) == 0 ? 1 : 0));
            const MemoryBitmap before = picture;
            const uint8_t stateBefore = area.State;
            if (kind == 0) {
                what = "down";
                SelectionMouseDown(area, p.x, p.y, canvas, *current);
                pressed = true;
            } else if (kind == 1) {
                what = "move";
                const PointerOutcome outcome = SelectionMouseMove(area, p.x, p.y, canvas, *current);
                if (stateBefore == TSelectArea::kStateSelected) {
                    EXPECT_EQ(picture, before) << "a move over a selected rectangle only chooses the cursor";
                    ASSERT_TRUE(outcome.cursor.has_value());
                    EXPECT_EQ(*outcome.cursor, CursorForHit(area.HitTest(p.x, p.y)));
                } else {
                    EXPECT_FALSE(outcome.cursor.has_value());
                }
            } else {
                what = "up";
                const PointerOutcome outcome = SelectionMouseUp(area, p.x, p.y, canvas, *current);
                EXPECT_EQ(outcome.finishedNewRectangle, stateBefore == TSelectArea::kStateDrawing);
                pressed = false;
            }
            what += " " + std::to_string(p.x) + "," + std::to_string(p.y);
        }
        SCOPED_TRACE("step " + std::to_string(step) + ": " + what + " -> state " + std::to_string(area.State) + " " +
                     Describe(area.Rect));
        ASSERT_LE(area.State, TSelectArea::kStateAdjusting);
        ASSERT_LE(area.DragKind, 8);
        ASSERT_LE(area.Rect.Left, area.Rect.Right);
        ASSERT_LE(area.Rect.Top, area.Rect.Bottom);
        if (area.State == TSelectArea::kStateSelected) {
            for (int i = 0; i < 8; ++i) {
                const Point c = area.GetGripPoint(i);
                ASSERT_EQ(area.Grips[i], (Rect{c.x - 3, c.y - 3, c.x + 3, c.y + 3}));
            }
        }
        ASSERT_EQ(picture, Expected(original, area)) << "the frame of the current state must be present exactly once";
        if (area.State == TSelectArea::kStateNone) {
            ASSERT_EQ(picture, original);
        }
        if (area.State == TSelectArea::kStateAdjusting) adjustedBy |= 1u << area.DragKind;
    }
    area.Clear(canvas);
    EXPECT_EQ(picture, original);
}

TEST(SelectAreaProperties, RandomPointerSessionsKeepTheInvariantsInEveryMode) {
    const Mode modes[] = {
        {0, 150, 180}, {0, 1, 1},     {0, 16, 9},    {0, 0, 5}, {0, 7, 0},  // proportion, including switched off
        {1, 150, 180}, {2, 150, 180}, {3, 150, 180},
    };
    for (const Mode& mode : modes) {
        unsigned adjustedBy = 0;
        for (uint32_t seed = 1; seed <= 6; ++seed) {
            SCOPED_TRACE("mode " + std::to_string(mode.trimType) + " " + std::to_string(mode.width) + "x" +
                         std::to_string(mode.height) + " seed " + std::to_string(seed));
            RunRandomSession(mode, seed, adjustedBy);
            if (HasFailure()) return;
        }
        // The sessions must really have moved the rectangle and dragged every grip.
        EXPECT_EQ(adjustedBy, 0x1FFu) << "mode " << mode.trimType;
    }
}

TEST(SelectAreaProperties, InProportionModeEveryFinishedCornerDragHoldsTheRatio) {
    // The fitted rectangle keeps Height:Width between its side lengths, enlarging the smaller
    // side by a truncated product, so the lengths lie within one pixel of the exact ratio.
    TestSettings settings(0, 150, 180);
    std::mt19937 random(99);
    std::uniform_int_distribution<int> coordinate(-500, 500);
    for (int round = 0; round < 2000; ++round) {
        RecordingCanvas canvas;
        TSelectArea area;
        const Point a{coordinate(random), coordinate(random)}, b{coordinate(random), coordinate(random)};
        area.BeginDraw(a.x, a.y, canvas, settings);
        area.EndDraw(b.x, b.y, canvas, settings);
        const int64_t w = int64_t{area.Rect.Right} - area.Rect.Left, h = int64_t{area.Rect.Bottom} - area.Rect.Top;
        SCOPED_TRACE(Describe(area.Rect));
        // The rectangle reaches at least as far as the pointer on both axes, from the anchor.
        EXPECT_GE(w, std::abs(b.x - a.x));
        EXPECT_GE(h, std::abs(b.y - a.y));
        EXPECT_TRUE(area.Rect.Left == a.x || area.Rect.Right == a.x);
        EXPECT_TRUE(area.Rect.Top == a.y || area.Rect.Bottom == a.y);
        if (w == 0 || h == 0) continue;
        EXPECT_LE(std::abs(h * 150 - w * 180), 180) << "h/w must be 180/150 up to truncation";
        EXPECT_TRUE(w == std::abs(b.x - a.x) || h == std::abs(b.y - a.y)) << "only the smaller side grows";
    }
}

}  // namespace
