#pragma once
#include <array>
#include <cstdint>

#include "platform/Canvas.h"
#include "platform/Geom.h"

class TFLConfig;

// The rubber-band selection over the captured picture: one rectangle in picture pixels, shown
// by inverting the picture's own pixels (outline while drawing or adjusting; outline and eight
// grips while selected). It knows nothing of windows: the pointer position, the picture's canvas
// and the settings come in on every call, and nothing is kept of them.
//
// Whenever State is not none, the frame of the current state is in the picture exactly once.
// Every operation that takes a canvas erases the old frame by drawing it again, changes the
// fields, and draws the new one; Clear only erases. SetState draws nothing: it is called from
// outside only when the picture itself has been replaced.
//
// Nothing clamps Rect to the picture; coordinates may be negative or beyond its size. Arithmetic
// is 32-bit and wraps as the original integer type does, so no input is undefined behaviour.
//
// Pointer moves (DragDraw, DragAdjust, HitTest) allocate nothing: a move costs two frame drawings.
class TSelectArea {
public:
    enum : uint8_t { kStateNone = 0, kStateDrawing = 1, kStateSelected = 2, kStateAdjusting = 3 };
    static constexpr uint8_t kDragMove = 8;  // DragKind while the whole rectangle moves
    static constexpr int kHitMove = 8;       // HitTest: inside the rectangle
    static constexpr int kHitNothing = 9;    // HitTest: outside the rectangle and its grips
    static constexpr int kGripReach = 3;     // a grip box reaches this far around its centre

    // Fields in their published order; every one is read by the main window or the commands.
    uint8_t State = kStateNone;
    ::Rect Rect{};                  // all four edges inclusive; Left <= Right, Top <= Bottom
    std::array<::Rect, 8> Grips{};  // grip boxes, meaningful only while selected
    ::Point Anchor{};               // fixed point of the drag; while moving, the last position
    uint8_t DragKind = 0;           // 0..7: grip whose centre stays fixed; 8: moving

    // Sets State; entering selected computes the grip boxes from Rect. Draws nothing.
    void SetState(uint8_t newState);
    // Centre of grip 0..7 from Rect; (0, 0) while State is none or for any other number.
    ::Point GetGripPoint(int grip) const;
    // 0..7 the first grip box holding the point (lower number wins where boxes overlap),
    // 8 inside Rect, 9 elsewhere or while State is none.
    int HitTest(int32_t X, int32_t Y) const;
    // The rectangle a pointer at (X, Y) makes for the current DragKind and Anchor. A move also
    // advances Anchor to (X, Y). Meaningful only while State is not none.
    ::Rect CalcRect(int32_t X, int32_t Y, const TFLConfig& Settings);
    // Moves (X, Y) away from Anchor until Height:Width holds between the distances, enlarging
    // the smaller one; leaves it alone when either distance or either setting is 0.
    void FitToRatio(int32_t& X, int32_t& Y, const TFLConfig& Settings) const;

    void BeginDraw(int32_t X, int32_t Y, Canvas& canvas, const TFLConfig& Settings);
    void DragDraw(int32_t X, int32_t Y, Canvas& canvas, const TFLConfig& Settings);
    void EndDraw(int32_t X, int32_t Y, Canvas& canvas, const TFLConfig& Settings);
    // True when the press hit the rectangle or a grip and an adjustment started; a press
    // anywhere else changes nothing.
    bool BeginAdjust(int32_t X, int32_t Y, Canvas& canvas, const TFLConfig& Settings);
    void DragAdjust(int32_t X, int32_t Y, Canvas& canvas, const TFLConfig& Settings);
    void EndAdjust(int32_t X, int32_t Y, Canvas& canvas, const TFLConfig& Settings);
    // Proportion mode only: refits Rect from its top-left corner.
    void ApplyRatio(Canvas& canvas, const TFLConfig& Settings);
    // Erases the frame and drops to none; Rect and the other fields keep their values.
    void Clear(Canvas& canvas);
    // Inverts the frame of the current state (leaving the canvas's pen black, "not", 1 pixel,
    // and its brush black). Drawing it twice restores every pixel.
    void DrawFrame(Canvas& canvas) const;

    // All four edges count.
    static bool PointInRect(int32_t x, int32_t y, const ::Rect& r);
    // The closed outline (Left, Top), (Right, Top), (Right, Bottom), (Left, Bottom), (Left, Top).
    std::array<::Point, 5> OutlinePoints() const;
    // The grip whose centre lies opposite grip 0..7.
    static uint8_t OppositeGrip(int grip);

private:
    void MoveFrame(int32_t X, int32_t Y, Canvas& canvas, const TFLConfig& Settings, uint8_t nextState);
};
