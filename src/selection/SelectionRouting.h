#pragma once
#include <cstdint>
#include <optional>

#include "platform/Canvas.h"
#include "selection/SelectArea.h"

class TFLConfig;

// How pointer input over the picture drives the selection. The main window's mouse handlers
// and the developer console both call these, so the two cannot drift apart.

// The pointer shapes the picture shows while a rectangle is selected.
enum class CursorShape : uint8_t { crArrow, crSizeNWSE, crSizeWE, crSizeNESW, crSizeNS, crHandPoint };

// Pointer shape for a HitTest result: the corner and side grips their sizing arrows (side grips
// also in proportion mode, where they change nothing), inside the hand, anywhere else the arrow.
CursorShape CursorForHit(int hit);

struct PointerOutcome {
    bool finishedNewRectangle = false;  // EndDraw ran: the unselect command becomes available
    std::optional<CursorShape> cursor;  // set while selected; unchanged while drawing or adjusting
};

// Press, whatever the button: BeginDraw when nothing is selected; then, looking at the state
// anew, BeginAdjust when selected. One press therefore never does both.
PointerOutcome SelectionMouseDown(TSelectArea& area, int32_t X, int32_t Y, Canvas& canvas, const TFLConfig& settings);
// Move: DragDraw while drawing, DragAdjust while adjusting, HitTest (for the cursor) while selected.
PointerOutcome SelectionMouseMove(TSelectArea& area, int32_t X, int32_t Y, Canvas& canvas, const TFLConfig& settings);
// Release, whatever the button: EndDraw when drawing; then, looking anew, EndAdjust when adjusting.
PointerOutcome SelectionMouseUp(TSelectArea& area, int32_t X, int32_t Y, Canvas& canvas, const TFLConfig& settings);
