#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <type_traits>

#include "SelectionTestSupport.h"
#include "platform/SoftwareCanvas.h"
#include "selection/SelectArea.h"

namespace {

constexpr int kProportion = 0, kScaling = 1, kFree = 2, kNoReduction = 3;

// A selection over a patterned picture; every step can be checked against the picture.
struct Scene {
    explicit Scene(int trimType = kFree, int32_t width = 150, int32_t height = 180, int pictureWidth = 400,
                   int pictureHeight = 360)
        : settings(trimType, width, height),
          original(SelectionPattern(pictureWidth, pictureHeight)),
          picture(original),
          canvas(picture) {}

    void Draw(Point from, Point to) {
        area.BeginDraw(from.x, from.y, canvas, settings);
        area.DragDraw(to.x, to.y, canvas, settings);
        area.EndDraw(to.x, to.y, canvas, settings);
    }
    void Adjust(Point from, Point to) {
        ASSERT_TRUE(area.BeginAdjust(from.x, from.y, canvas, settings));
        area.DragAdjust(to.x, to.y, canvas, settings);
        area.EndAdjust(to.x, to.y, canvas, settings);
    }
    ::testing::AssertionResult FramePresentOnce() const {
        if (picture == Expected(original, area)) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "the picture does not hold exactly the frame of state "
                                             << int{area.State} << " and rectangle " << Describe(area.Rect);
    }

    TestSettings settings;
    MemoryBitmap original;
    MemoryBitmap picture;
    SoftwareCanvas canvas;
    TSelectArea area;
};

TEST(SelectArea, ANewSelectionIsNoneWithEveryFieldZero) {
    const TSelectArea area;
    EXPECT_EQ(area.State, TSelectArea::kStateNone);
    EXPECT_EQ(area.Rect, Rect{});
    for (const Rect& grip : area.Grips) EXPECT_EQ(grip, Rect{});
    EXPECT_EQ(area.Anchor, Point{});
    EXPECT_EQ(area.DragKind, 0);
    EXPECT_EQ(area.HitTest(0, 0), 9);
}

TEST(SelectArea, FieldsKeepTheirPublishedWidths) {
    static_assert(sizeof(TSelectArea::State) == 1 && sizeof(TSelectArea::DragKind) == 1);
    static_assert(sizeof(TSelectArea::Rect) == 16 && sizeof(TSelectArea::Grips) == 8 * 16 &&
                  sizeof(TSelectArea::Anchor) == 8);
    static_assert(std::is_same_v<decltype(Rect::Left), int32_t> && std::is_same_v<decltype(Point::x), int32_t>);
    SUCCEED();
}

TEST(SelectArea, GripCentresFollowTheTableWithMidpointsTruncatedTowardZero) {
    struct Case {
        Rect rect;
        Point expected[8];
    };
    const Case cases[] = {
        {{10, 20, 31, 41}, {{10, 20}, {10, 30}, {10, 41}, {31, 20}, {31, 30}, {31, 41}, {20, 20}, {20, 41}}},
        // (-5 + -2) / 2 is -3 (toward zero), not -4.
        {{-5, -5, -2, -2}, {{-5, -5}, {-5, -3}, {-5, -2}, {-2, -5}, {-2, -3}, {-2, -2}, {-3, -5}, {-3, -2}}},
        {{7, 7, 7, 7}, {{7, 7}, {7, 7}, {7, 7}, {7, 7}, {7, 7}, {7, 7}, {7, 7}, {7, 7}}},
    };
    for (const Case& c : cases) {
        TSelectArea area;
        area.Rect = c.rect;
        area.SetState(TSelectArea::kStateSelected);
        for (int i = 0; i < 8; ++i) {
            SCOPED_TRACE(Describe(c.rect) + " grip " + std::to_string(i));
            EXPECT_EQ(area.GetGripPoint(i), c.expected[i]);
            const Point centre = c.expected[i];
            EXPECT_EQ(area.Grips[i], (Rect{centre.x - 3, centre.y - 3, centre.x + 3, centre.y + 3}));
        }
        EXPECT_EQ(area.GetGripPoint(8), Point{});
        EXPECT_EQ(area.GetGripPoint(-1), Point{});
    }
}

TEST(SelectArea, GripPointsAreZeroWhileNoneAndGripsAreComputedOnlyOnEnteringSelected) {
    TSelectArea area;
    area.Rect = {10, 20, 30, 40};
    EXPECT_EQ(area.GetGripPoint(5), Point{});
    for (uint8_t state : {TSelectArea::kStateNone, TSelectArea::kStateDrawing, TSelectArea::kStateAdjusting}) {
        area.SetState(state);
        EXPECT_EQ(area.State, state);
        EXPECT_EQ(area.Grips[0], Rect{}) << "state " << int{state};
    }
    area.SetState(TSelectArea::kStateSelected);
    EXPECT_EQ(area.Grips[5], (Rect{27, 37, 33, 43}));
    // Leaving selected keeps the boxes as they were.
    area.Rect = {0, 0, 1, 1};
    area.SetState(TSelectArea::kStateNone);
    EXPECT_EQ(area.Grips[5], (Rect{27, 37, 33, 43}));
}

TEST(SelectArea, HitTestPrefersGripsInNumberOrderThenTheRectangle) {
    TSelectArea area;
    area.Rect = {100, 100, 200, 160};  // midX 150, midY 130
    area.SetState(TSelectArea::kStateSelected);
    struct Case {
        Point p;
        int hit;
        const char* why;
    };
    const Case cases[] = {
        {{100, 100}, 0, "the top-left corner"},
        {{97, 97}, 0, "3 pixels outside, diagonally next to grip 0"},
        {{96, 100}, 9, "4 pixels outside"},
        {{100, 133}, 1, "3 pixels below the left grip's centre"},
        {{100, 134}, 8, "on the left edge below grip 1's box"},
        {{203, 163}, 5, "3 pixels outside the bottom-right corner"},
        {{150, 97}, 6, "3 pixels above the top grip"},
        {{150, 163}, 7, "3 pixels below the bottom grip"},
        {{203, 130}, 4, "3 pixels right of the right grip"},
        {{150, 130}, 8, "the middle"},
        {{200, 140}, 8, "on the right edge between grips"},
        {{201, 140}, 9, "just outside the right edge between grips"},
        {{120, 99}, 9, "just above the top edge between grips"},
    };
    for (const Case& c : cases) EXPECT_EQ(area.HitTest(c.p.x, c.p.y), c.hit) << c.why;

    // A small rectangle: the boxes overlap and the lower number wins.
    area.Rect = {10, 10, 14, 12};  // midX 12, midY 11
    area.SetState(TSelectArea::kStateSelected);
    EXPECT_EQ(area.HitTest(12, 11), 0);  // in the boxes of all eight grips
    EXPECT_EQ(area.HitTest(16, 11), 3);  // in boxes 3, 4, 5 (and 6, 7)
    EXPECT_EQ(area.HitTest(12, 15), 2);  // below: boxes 2, 5, 7 and more
    EXPECT_EQ(area.HitTest(17, 15), 5);  // only grip 5 reaches there
    area.SetState(TSelectArea::kStateNone);
    EXPECT_EQ(area.HitTest(12, 11), 9);
}

TEST(SelectArea, APressAndReleaseAtOnePointSelectsThatPoint) {
    Scene s;
    s.area.BeginDraw(50, 60, s.canvas, s.settings);
    EXPECT_TRUE(s.FramePresentOnce());
    EXPECT_EQ(s.picture, s.original) << "an outline on one point draws nothing";
    s.area.EndDraw(50, 60, s.canvas, s.settings);
    EXPECT_EQ(s.area.State, TSelectArea::kStateSelected);
    EXPECT_EQ(s.area.Rect, (Rect{50, 60, 50, 60}));
    for (const Rect& grip : s.area.Grips) EXPECT_EQ(grip, (Rect{47, 57, 53, 63}));
    EXPECT_TRUE(s.FramePresentOnce());

    // A press within 3 pixels hits grip 0; its opposite grip 5 lies on the same point.
    EXPECT_EQ(s.area.HitTest(53, 57), 0);
    ASSERT_TRUE(s.area.BeginAdjust(53, 57, s.canvas, s.settings));
    EXPECT_EQ(s.area.DragKind, 5);
    EXPECT_EQ(s.area.Anchor, (Point{50, 60}));
    EXPECT_EQ(s.area.Rect, (Rect{50, 57, 53, 60}));
    EXPECT_TRUE(s.FramePresentOnce());
}

TEST(SelectArea, ProportionModeFitsANewRectangleToTheRatio) {
    struct Case {
        Point to;
        Rect expected;
        const char* why;
    };
    const Case cases[] = {
        {{250, 150}, {100, 100, 250, 280}, "flatter than the ratio: the height is enlarged"},
        {{110, 300}, {100, 100, 266, 300}, "steeper: the width is enlarged, 200 * 150 / 180 truncated"},
        {{40, 90}, {40, 28, 100, 100}, "up and to the left of the anchor"},
        {{300, 340}, {100, 100, 300, 340}, "the ratio already holds exactly"},
        {{250, 100}, {100, 100, 250, 100}, "a horizontal line takes no ratio"},
        {{100, 30}, {100, 30, 100, 100}, "a vertical line takes no ratio"},
        {{90, 130}, {75, 100, 100, 130}, "steeper, down and to the left: the width is 30 * 150 / 180 = 25"},
        {{90, 110}, {90, 100, 100, 112}, "flatter, down and to the left: the height is 10 * 180 / 150 = 12"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        Scene s(kProportion, 150, 180);
        s.area.BeginDraw(100, 100, s.canvas, s.settings);
        s.area.DragDraw(c.to.x, c.to.y, s.canvas, s.settings);
        EXPECT_EQ(s.area.Rect, c.expected);
        EXPECT_TRUE(s.FramePresentOnce());
        s.area.EndDraw(c.to.x, c.to.y, s.canvas, s.settings);
        EXPECT_EQ(s.area.Rect, c.expected);
        EXPECT_EQ(s.area.Anchor, (Point{100, 100}));
        EXPECT_TRUE(s.FramePresentOnce());
    }
}

TEST(SelectArea, ARatioWithAZeroSideIsSwitchedOff) {
    for (auto [width, height] : {std::pair{0, 180}, std::pair{150, 0}}) {
        Scene s(kProportion, width, height);
        s.Draw({100, 100}, {250, 150});
        EXPECT_EQ(s.area.Rect, (Rect{100, 100, 250, 150})) << width << " x " << height;
    }
}

TEST(SelectArea, OutsideProportionModeTheRectangleFollowsThePointerFreely) {
    for (int mode : {kScaling, kFree, kNoReduction, 7}) {
        Scene s(mode);
        s.Draw({100, 100}, {250, 150});
        EXPECT_EQ(s.area.Rect, (Rect{100, 100, 250, 150})) << "mode " << mode;
        s.area.Clear(s.canvas);
        s.area.SetState(TSelectArea::kStateNone);
        s.Draw({100, 100}, {40, 90});
        EXPECT_EQ(s.area.Rect, (Rect{40, 90, 100, 100})) << "mode " << mode;
    }
}

TEST(SelectArea, SideGripsDoNothingInProportionModeButStillPassThroughAdjusting) {
    // Rect (100, 100, 250, 280): grips 1 (100, 190), 4 (250, 190), 6 (175, 100), 7 (175, 280).
    const Point sideGrips[] = {{100, 190}, {250, 190}, {175, 100}, {175, 280}};
    for (Point grip : sideGrips) {
        Scene s(kProportion, 150, 180);
        s.Draw({100, 100}, {250, 150});
        ASSERT_EQ(s.area.Rect, (Rect{100, 100, 250, 280}));
        ASSERT_TRUE(s.area.BeginAdjust(grip.x, grip.y, s.canvas, s.settings));
        EXPECT_EQ(s.area.State, TSelectArea::kStateAdjusting);
        s.area.DragAdjust(grip.x - 60, grip.y + 70, s.canvas, s.settings);
        EXPECT_EQ(s.area.Rect, (Rect{100, 100, 250, 280}));
        EXPECT_TRUE(s.FramePresentOnce());
        s.area.EndAdjust(grip.x - 60, grip.y + 70, s.canvas, s.settings);
        EXPECT_EQ(s.area.State, TSelectArea::kStateSelected);
        EXPECT_EQ(s.area.Rect, (Rect{100, 100, 250, 280}));
        EXPECT_TRUE(s.FramePresentOnce());
    }
}

TEST(SelectArea, ProportionModeFitsACornerDragToTheRatioFromTheOppositeCorner) {
    Scene s(kProportion, 150, 180);
    s.Draw({100, 100}, {250, 150});  // (100, 100, 250, 280)
    // Grip 5 (bottom-right) dragged; grip 0 at (100, 100) stays.
    s.Adjust({250, 280}, {400, 300});
    EXPECT_EQ(s.area.DragKind, 0);
    EXPECT_EQ(s.area.Rect, (Rect{100, 100, 400, 460}));
    EXPECT_TRUE(s.FramePresentOnce());
}

TEST(SelectArea, OtherModesLetTheRightGripCrossTheLeftEdge) {
    for (int mode : {kScaling, kFree, kNoReduction}) {
        Scene s(mode);
        s.Draw({100, 100}, {200, 160});  // grip 4 at (200, 130)
        ASSERT_TRUE(s.area.BeginAdjust(200, 130, s.canvas, s.settings));
        EXPECT_EQ(s.area.DragKind, 1);
        EXPECT_EQ(s.area.Anchor, (Point{100, 130}));
        s.area.DragAdjust(60, 20, s.canvas, s.settings);
        EXPECT_EQ(s.area.Rect, (Rect{60, 100, 100, 160})) << "mode " << mode;
        EXPECT_TRUE(s.FramePresentOnce());
        s.area.EndAdjust(60, 20, s.canvas, s.settings);
        EXPECT_EQ(s.area.Rect, (Rect{60, 100, 100, 160}));
        EXPECT_TRUE(s.FramePresentOnce());
    }
}

TEST(SelectArea, APressOnAGripAtOnceMovesThatCornerOrSideToThePoint) {
    Scene s(kFree);
    s.Draw({100, 100}, {200, 160});
    // 2 pixels outside the top-right corner (grip 3): the opposite corner (100, 160) stays.
    ASSERT_TRUE(s.area.BeginAdjust(202, 98, s.canvas, s.settings));
    EXPECT_EQ(s.area.DragKind, 2);
    EXPECT_EQ(s.area.Rect, (Rect{100, 98, 202, 160}));
    EXPECT_TRUE(s.FramePresentOnce());
    s.area.EndAdjust(202, 98, s.canvas, s.settings);

    // The bottom grip 7 at (151, 160), pressed 2 pixels below its centre.
    ASSERT_TRUE(s.area.BeginAdjust(151, 162, s.canvas, s.settings));
    EXPECT_EQ(s.area.DragKind, 6);
    EXPECT_EQ(s.area.Rect, (Rect{100, 98, 202, 162}));
    // Dragged above the top edge the rectangle turns over; the anchor stays.
    s.area.DragAdjust(140, 50, s.canvas, s.settings);
    EXPECT_EQ(s.area.Rect, (Rect{100, 50, 202, 98}));
    EXPECT_EQ(s.area.Anchor, (Point{151, 98}));
    EXPECT_TRUE(s.FramePresentOnce());
}

TEST(SelectArea, MovingKeepsTheSizeAndIsNeverClampedToThePicture) {
    Scene s(kFree);
    s.Draw({100, 110}, {180, 150});
    ASSERT_TRUE(s.area.BeginAdjust(120, 130, s.canvas, s.settings));
    EXPECT_EQ(s.area.DragKind, 8);
    EXPECT_EQ(s.area.Anchor, (Point{120, 130}));
    EXPECT_EQ(s.area.Rect, (Rect{100, 110, 180, 150})) << "a press inside changes nothing until a move";
    s.area.DragAdjust(110, 120, s.canvas, s.settings);
    EXPECT_EQ(s.area.Anchor, (Point{110, 120})) << "the anchor follows the pointer";
    s.area.EndAdjust(100, 100, s.canvas, s.settings);
    EXPECT_EQ(s.area.Rect, (Rect{80, 80, 160, 120}));
    EXPECT_TRUE(s.FramePresentOnce());

    // Past the top-left edge of the picture, then far past the bottom-right.
    s.Adjust({100, 100}, {-50, -60});
    EXPECT_EQ(s.area.Rect, (Rect{-70, -80, 10, -40}));
    EXPECT_TRUE(s.FramePresentOnce());
    s.Adjust({0, -50}, {900, 800});
    EXPECT_EQ(s.area.Rect, (Rect{830, 770, 910, 810}));
    EXPECT_TRUE(s.FramePresentOnce());
    EXPECT_EQ(s.picture, s.original) << "a frame wholly outside touches no pixel";
}

TEST(SelectArea, ApplyRatioRefitsFromTheTopLeftCornerInProportionModeOnly) {
    Scene s(kProportion, 150, 180);
    s.area.Rect = {10, 10, 110, 20};
    s.area.SetState(TSelectArea::kStateSelected);
    s.area.DrawFrame(s.canvas);
    s.area.ApplyRatio(s.canvas, s.settings);
    EXPECT_EQ(s.area.Rect, (Rect{10, 10, 110, 130}));
    EXPECT_EQ(s.area.Anchor, (Point{10, 10}));
    EXPECT_EQ(s.area.DragKind, 0);
    EXPECT_EQ(s.area.Grips[5], (Rect{107, 127, 113, 133})) << "the grips are recomputed";
    EXPECT_EQ(s.area.State, TSelectArea::kStateSelected);
    EXPECT_TRUE(s.FramePresentOnce());
    s.area.ApplyRatio(s.canvas, s.settings);
    EXPECT_EQ(s.area.Rect, (Rect{10, 10, 110, 130})) << "a rectangle that fits stays";

    // Zero width: nothing changes.
    Scene line(kProportion, 150, 180);
    line.Draw({30, 40}, {30, 90});
    line.area.ApplyRatio(line.canvas, line.settings);
    EXPECT_EQ(line.area.Rect, (Rect{30, 40, 30, 90}));
    EXPECT_TRUE(line.FramePresentOnce());

    // Any other mode: nothing at all, not even a redraw.
    for (int mode : {kScaling, kFree, kNoReduction}) {
        TestSettings settings(mode, 150, 180);
        TSelectArea area;
        area.Rect = {10, 10, 110, 20};
        area.Anchor = {1, 2};
        area.DragKind = 3;
        area.SetState(TSelectArea::kStateSelected);
        RecordingCanvas recorder;
        area.ApplyRatio(recorder, settings);
        EXPECT_EQ(area.Rect, (Rect{10, 10, 110, 20}));
        EXPECT_EQ(area.Anchor, (Point{1, 2}));
        EXPECT_EQ(area.DragKind, 3);
        EXPECT_TRUE(recorder.calls.empty());
    }
}

TEST(SelectArea, ApplyRatioWhileDrawingKeepsDrawing) {
    Scene s(kProportion, 100, 100);
    s.area.BeginDraw(10, 10, s.canvas, s.settings);
    s.area.DragDraw(50, 20, s.canvas, s.settings);  // fitted already: (10, 10, 50, 50)
    s.area.Rect = {10, 10, 50, 20};                 // as if the ratio had changed meanwhile
    s.picture = Expected(s.original, s.area);
    s.area.ApplyRatio(s.canvas, s.settings);
    EXPECT_EQ(s.area.State, TSelectArea::kStateDrawing);
    EXPECT_EQ(s.area.Rect, (Rect{10, 10, 50, 50}));
    EXPECT_TRUE(s.FramePresentOnce());
}

TEST(SelectArea, APressOutsideTheSelectionAndItsGripsDoesNothing) {
    Scene s(kFree);
    s.Draw({100, 100}, {200, 160});
    const TSelectArea before = s.area;
    const MemoryBitmap picture = s.picture;
    EXPECT_FALSE(s.area.BeginAdjust(300, 300, s.canvas, s.settings));
    EXPECT_FALSE(s.area.BeginAdjust(96, 100, s.canvas, s.settings));
    EXPECT_EQ(s.area.State, TSelectArea::kStateSelected);
    EXPECT_EQ(s.area.Rect, before.Rect);
    EXPECT_EQ(s.area.Anchor, before.Anchor);
    EXPECT_EQ(s.area.DragKind, before.DragKind);
    EXPECT_EQ(s.picture, picture);
}

TEST(SelectArea, ClearRestoresEveryPixelAndKeepsTheRectangle) {
    for (uint8_t stopIn : {TSelectArea::kStateDrawing, TSelectArea::kStateSelected, TSelectArea::kStateAdjusting}) {
        Scene s(kFree);
        s.area.BeginDraw(30, 40, s.canvas, s.settings);
        s.area.DragDraw(90, 70, s.canvas, s.settings);
        if (stopIn != TSelectArea::kStateDrawing) s.area.EndDraw(90, 70, s.canvas, s.settings);
        if (stopIn == TSelectArea::kStateAdjusting) {
            ASSERT_TRUE(s.area.BeginAdjust(90, 70, s.canvas, s.settings));
            s.area.DragAdjust(120, 95, s.canvas, s.settings);
        }
        ASSERT_EQ(s.area.State, stopIn);
        const Rect last = s.area.Rect;
        const Point anchor = s.area.Anchor;
        s.area.Clear(s.canvas);
        EXPECT_EQ(s.area.State, TSelectArea::kStateNone);
        EXPECT_EQ(s.area.Rect, last);
        EXPECT_EQ(s.area.Anchor, anchor);
        EXPECT_EQ(s.picture, s.original) << "state " << int{stopIn};
    }
}

TEST(SelectArea, OperationsInTheWrongStateDoNothing) {
    TestSettings settings(kProportion, 150, 180);
    for (uint8_t state : {TSelectArea::kStateNone, TSelectArea::kStateDrawing, TSelectArea::kStateSelected,
                          TSelectArea::kStateAdjusting}) {
        struct Op {
            const char* name;
            uint8_t actsIn;  // the one state it acts in; kActsUnlessNone for "not none"
            std::function<void(TSelectArea&, Canvas&)> run;
        };
        constexpr uint8_t kActsUnlessNone = 255;
        const Op ops[] = {
            {"BeginDraw", TSelectArea::kStateNone,
             [&](TSelectArea& a, Canvas& c) { a.BeginDraw(60, 60, c, settings); }},
            {"DragDraw", TSelectArea::kStateDrawing,
             [&](TSelectArea& a, Canvas& c) { a.DragDraw(60, 60, c, settings); }},
            {"EndDraw", TSelectArea::kStateDrawing, [&](TSelectArea& a, Canvas& c) { a.EndDraw(60, 60, c, settings); }},
            {"BeginAdjust", TSelectArea::kStateSelected,
             [&](TSelectArea& a, Canvas& c) { EXPECT_FALSE(a.BeginAdjust(22, 25, c, settings)); }},
            {"DragAdjust", TSelectArea::kStateAdjusting,
             [&](TSelectArea& a, Canvas& c) { a.DragAdjust(60, 60, c, settings); }},
            {"EndAdjust", TSelectArea::kStateAdjusting,
             [&](TSelectArea& a, Canvas& c) { a.EndAdjust(60, 60, c, settings); }},
            {"ApplyRatio", kActsUnlessNone, [&](TSelectArea& a, Canvas& c) { a.ApplyRatio(c, settings); }},
            {"Clear", kActsUnlessNone, [&](TSelectArea& a, Canvas& c) { a.Clear(c); }},
            {"DrawFrame", kActsUnlessNone, [&](TSelectArea& a, Canvas& c) { a.DrawFrame(c); }},
        };
        for (const Op& op : ops) {
            const bool acts = op.actsIn == kActsUnlessNone ? state != TSelectArea::kStateNone : op.actsIn == state;
            if (acts) continue;
            SCOPED_TRACE(std::string(op.name) + " in state " + std::to_string(state));
            TSelectArea area;
            area.Rect = {20, 25, 40, 45};
            area.SetState(TSelectArea::kStateSelected);
            area.SetState(state);
            area.Anchor = {20, 25};
            area.DragKind = 8;
            const TSelectArea before = area;
            RecordingCanvas recorder;
            op.run(area, recorder);
            EXPECT_EQ(area.State, before.State);
            EXPECT_EQ(area.Rect, before.Rect);
            EXPECT_EQ(area.Grips, before.Grips);
            EXPECT_EQ(area.Anchor, before.Anchor);
            EXPECT_EQ(area.DragKind, before.DragKind);
            EXPECT_TRUE(recorder.calls.empty());
        }
    }
    TSelectArea none;
    RecordingCanvas recorder;
    EXPECT_FALSE(none.BeginAdjust(0, 0, recorder, settings));
}

TEST(SelectArea, TheFrameIsOneInvertingOutlineAndWhenSelectedEightGripRectangles) {
    TSelectArea area;
    area.Rect = {10, 20, 31, 41};
    area.SetState(TSelectArea::kStateDrawing);
    RecordingCanvas drawing;
    area.DrawFrame(drawing);
    const std::vector<Point> outline{{10, 20}, {31, 20}, {31, 41}, {10, 41}, {10, 20}};
    ASSERT_EQ(drawing.calls.size(), 3u);
    EXPECT_EQ(drawing.calls[0].what, "SetPen 0,0,0 not 1");
    EXPECT_EQ(drawing.calls[1].what, "SetBrush 0,0,0");
    EXPECT_EQ(drawing.calls[2], (RecordingCanvas::Call{"Polyline", outline}));

    area.SetState(TSelectArea::kStateSelected);
    RecordingCanvas selected;
    area.DrawFrame(selected);
    ASSERT_EQ(selected.calls.size(), 11u);
    EXPECT_EQ(selected.calls[2], (RecordingCanvas::Call{"Polyline", outline}));
    for (int i = 0; i < 8; ++i) {
        const Point c = area.GetGripPoint(i);
        EXPECT_EQ(selected.calls[3 + i],
                  (RecordingCanvas::Call{"Rectangle", {{c.x - 3, c.y - 3}, {c.x + 3, c.y + 3}}}));
    }
}

TEST(SelectArea, APointerMoveCostsTwoOutlineDrawingsAndNothingElse) {
    TestSettings settings(kFree, 150, 180);
    TSelectArea area;
    RecordingCanvas recorder;
    area.BeginDraw(10, 10, recorder, settings);
    recorder.calls.clear();
    area.DragDraw(50, 40, recorder, settings);
    EXPECT_EQ(recorder.Count("Polyline"), 2u);
    EXPECT_EQ(recorder.Count("Rectangle"), 0u);
    area.EndDraw(50, 40, recorder, settings);
    ASSERT_TRUE(area.BeginAdjust(30, 30, recorder, settings));
    recorder.calls.clear();
    area.DragAdjust(35, 38, recorder, settings);
    EXPECT_EQ(recorder.Count("Polyline"), 2u);
    EXPECT_EQ(recorder.Count("Rectangle"), 0u);
}

TEST(SelectArea, EveryStepLeavesExactlyOneFrameOfItsStateInThePicture) {
    Scene s(kFree, 150, 180, 120, 90);
    auto check = [&](const char* step) { EXPECT_TRUE(s.FramePresentOnce()) << step; };
    s.area.BeginDraw(20, 15, s.canvas, s.settings);
    check("BeginDraw");
    s.area.DragDraw(70, 50, s.canvas, s.settings);
    check("DragDraw");
    s.area.DragDraw(5, 80, s.canvas, s.settings);
    check("DragDraw across the anchor");
    s.area.EndDraw(60, 40, s.canvas, s.settings);
    check("EndDraw");
    ASSERT_TRUE(s.area.BeginAdjust(40, 30, s.canvas, s.settings));
    check("BeginAdjust (move)");
    s.area.DragAdjust(110, 85, s.canvas, s.settings);
    check("DragAdjust past the picture's corner");
    s.area.EndAdjust(110, 85, s.canvas, s.settings);
    check("EndAdjust");
    s.area.Clear(s.canvas);
    EXPECT_EQ(s.picture, s.original);
}

TEST(SelectArea, ExtremeCoordinatesWrapAroundInsteadOfFailing) {
    Scene s(kFree);
    s.Draw({INT32_MAX - 1, INT32_MIN + 1}, {INT32_MAX, INT32_MIN});
    EXPECT_EQ(s.area.Rect, (Rect{INT32_MAX - 1, INT32_MIN, INT32_MAX, INT32_MIN + 1}));
    // The grip boxes wrap as 32-bit integers do.
    EXPECT_EQ(s.area.Grips[5].Right, INT32_MIN + 2);
    EXPECT_EQ(s.area.GetGripPoint(6).x, -1) << "(INT32_MAX - 1 + INT32_MAX) wraps to -3, halved toward zero";
    s.area.Clear(s.canvas);
    EXPECT_EQ(s.picture, s.original);

    Scene ratio(kProportion, INT32_MAX, 3);
    ratio.Draw({0, 0}, {1000, 7});  // steeper than 3 : INT32_MAX; 7 * INT32_MAX wraps
    EXPECT_LE(ratio.area.Rect.Left, ratio.area.Rect.Right);
    EXPECT_LE(ratio.area.Rect.Top, ratio.area.Rect.Bottom);
}

}  // namespace
