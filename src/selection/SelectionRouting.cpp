#include "selection/SelectionRouting.h"

CursorShape CursorForHit(int hit) {
    switch (hit) {
        case 0:
        case 5: return CursorShape::crSizeNWSE;
        case 1:
        case 4: return CursorShape::crSizeWE;
        case 2:
        case 3: return CursorShape::crSizeNESW;
        case 6:
        case 7: return CursorShape::crSizeNS;
        case TSelectArea::kHitMove: return CursorShape::crHandPoint;
        default: return CursorShape::crArrow;
    }
}

PointerOutcome SelectionMouseDown(TSelectArea& area, int32_t X, int32_t Y, Canvas& canvas, const TFLConfig& settings) {
    if (area.State == TSelectArea::kStateNone) area.BeginDraw(X, Y, canvas, settings);
    if (area.State == TSelectArea::kStateSelected) area.BeginAdjust(X, Y, canvas, settings);
    return {};
}

PointerOutcome SelectionMouseMove(TSelectArea& area, int32_t X, int32_t Y, Canvas& canvas, const TFLConfig& settings) {
    PointerOutcome outcome;
    switch (area.State) {
        case TSelectArea::kStateDrawing: area.DragDraw(X, Y, canvas, settings); break;
        case TSelectArea::kStateAdjusting: area.DragAdjust(X, Y, canvas, settings); break;
        case TSelectArea::kStateSelected: outcome.cursor = CursorForHit(area.HitTest(X, Y)); break;
        default: break;
    }
    return outcome;
}

PointerOutcome SelectionMouseUp(TSelectArea& area, int32_t X, int32_t Y, Canvas& canvas, const TFLConfig& settings) {
    PointerOutcome outcome;
    if (area.State == TSelectArea::kStateDrawing) {
        area.EndDraw(X, Y, canvas, settings);
        outcome.finishedNewRectangle = true;
    }
    if (area.State == TSelectArea::kStateAdjusting) area.EndAdjust(X, Y, canvas, settings);
    return outcome;
}
