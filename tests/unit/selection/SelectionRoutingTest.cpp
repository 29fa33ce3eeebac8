#include <gtest/gtest.h>

#include "SelectionTestSupport.h"
#include "selection/SelectionRouting.h"

namespace {

TEST(SelectionRouting, APressStartsARectangleAndNeverAlsoAnAdjustment) {
    TestSettings settings(2, 150, 180);
    TSelectArea area;
    RecordingCanvas canvas;
    SelectionMouseDown(area, 40, 50, canvas, settings);
    // BeginDraw leaves the state drawing, so the second look does not call BeginAdjust.
    EXPECT_EQ(area.State, TSelectArea::kStateDrawing);
    EXPECT_EQ(area.Rect, (Rect{40, 50, 40, 50}));
    EXPECT_EQ(canvas.Count("Polyline"), 1u);
}

TEST(SelectionRouting, AReleaseFinishesARectangleAndNeverAlsoAnAdjustment) {
    TestSettings settings(2, 150, 180);
    TSelectArea area;
    RecordingCanvas canvas;
    SelectionMouseDown(area, 40, 50, canvas, settings);
    SelectionMouseMove(area, 90, 80, canvas, settings);
    const PointerOutcome up = SelectionMouseUp(area, 90, 80, canvas, settings);
    EXPECT_TRUE(up.finishedNewRectangle);
    EXPECT_EQ(area.State, TSelectArea::kStateSelected);
    EXPECT_EQ(area.Rect, (Rect{40, 50, 90, 80}));
    EXPECT_EQ(area.DragKind, 0);
}

TEST(SelectionRouting, APressOnASelectionAdjustsItAndTheReleaseEndsThat) {
    TestSettings settings(2, 150, 180);
    TSelectArea area;
    RecordingCanvas canvas;
    SelectionMouseDown(area, 40, 50, canvas, settings);
    SelectionMouseUp(area, 90, 80, canvas, settings);
    SelectionMouseDown(area, 60, 60, canvas, settings);
    EXPECT_EQ(area.State, TSelectArea::kStateAdjusting);
    EXPECT_EQ(area.DragKind, 8);
    const PointerOutcome move = SelectionMouseMove(area, 70, 65, canvas, settings);
    EXPECT_FALSE(move.cursor.has_value()) << "the cursor stays as it was while adjusting";
    const PointerOutcome up = SelectionMouseUp(area, 70, 65, canvas, settings);
    EXPECT_FALSE(up.finishedNewRectangle) << "only a new rectangle enables the unselect command";
    EXPECT_EQ(area.State, TSelectArea::kStateSelected);
    EXPECT_EQ(area.Rect, (Rect{50, 55, 100, 85}));

    // A press outside does nothing, and neither does its release.
    SelectionMouseDown(area, 300, 300, canvas, settings);
    EXPECT_EQ(area.State, TSelectArea::kStateSelected);
    EXPECT_FALSE(SelectionMouseUp(area, 300, 300, canvas, settings).finishedNewRectangle);
    EXPECT_EQ(area.Rect, (Rect{50, 55, 100, 85}));
}

TEST(SelectionRouting, MovesWithoutASelectionDoNothing) {
    TestSettings settings(2, 150, 180);
    TSelectArea area;
    RecordingCanvas canvas;
    const PointerOutcome move = SelectionMouseMove(area, 10, 10, canvas, settings);
    EXPECT_FALSE(move.cursor.has_value());
    EXPECT_FALSE(SelectionMouseUp(area, 10, 10, canvas, settings).finishedNewRectangle);
    EXPECT_TRUE(canvas.calls.empty());
    EXPECT_EQ(area.State, TSelectArea::kStateNone);
}

TEST(SelectionRouting, TheCursorOverASelectionFollowsTheHitTest) {
    const struct {
        int hit;
        CursorShape cursor;
    } table[] = {
        {0, CursorShape::crSizeNWSE}, {5, CursorShape::crSizeNWSE}, {1, CursorShape::crSizeWE},
        {4, CursorShape::crSizeWE},   {2, CursorShape::crSizeNESW}, {3, CursorShape::crSizeNESW},
        {6, CursorShape::crSizeNS},   {7, CursorShape::crSizeNS},   {8, CursorShape::crHandPoint},
        {9, CursorShape::crArrow},
    };
    for (const auto& row : table) EXPECT_EQ(CursorForHit(row.hit), row.cursor) << "hit " << row.hit;

    // Side grips show their sizing arrow also in proportion mode, where dragging them does nothing.
    TestSettings settings(0, 150, 180);
    TSelectArea area;
    RecordingCanvas canvas;
    area.Rect = {100, 100, 200, 160};
    area.SetState(TSelectArea::kStateSelected);
    const struct {
        Point p;
        CursorShape cursor;
    } places[] = {
        {{100, 130}, CursorShape::crSizeWE},    {{150, 160}, CursorShape::crSizeNS},
        {{203, 97}, CursorShape::crSizeNESW},   {{97, 163}, CursorShape::crSizeNESW},
        {{150, 130}, CursorShape::crHandPoint}, {{250, 130}, CursorShape::crArrow},
    };
    for (const auto& place : places) {
        const PointerOutcome move = SelectionMouseMove(area, place.p.x, place.p.y, canvas, settings);
        ASSERT_TRUE(move.cursor.has_value());
        EXPECT_EQ(*move.cursor, place.cursor) << place.p.x << "," << place.p.y;
    }
    EXPECT_TRUE(canvas.calls.empty()) << "choosing a cursor draws nothing";
}

}  // namespace
