#include "selection/SelectArea.h"

#include <algorithm>

#include "settings/FLConfig.h"

namespace {

// Coordinates are 32-bit integers that wrap on overflow, as the program's integer type always
// has; forming sums in 64 bits and truncating keeps that without undefined behaviour.
int32_t Wrap(int64_t value) { return static_cast<int32_t>(static_cast<uint32_t>(value)); }
int32_t Add(int32_t a, int32_t b) { return Wrap(int64_t{a} + b); }
int32_t Sub(int32_t a, int32_t b) { return Wrap(int64_t{a} - b); }
int32_t Abs(int32_t a) { return Wrap(a < 0 ? -int64_t{a} : int64_t{a}); }
int32_t Half(int32_t a, int32_t b) { return Add(a, b) / 2; }  // truncates toward zero

// a * b / c in 32-bit arithmetic: the product wraps, the division truncates toward zero.
// The one quotient that does not fit (INT32_MIN / -1) wraps as well instead of trapping.
int32_t MulDivTruncated(int32_t a, int32_t b, int32_t c) {
    const int32_t product = Wrap(int64_t{a} * b);
    return Wrap(int64_t{product} / c);
}

constexpr uint8_t kOpposite[8] = {5, 4, 3, 2, 1, 0, 7, 6};

}  // namespace

uint8_t TSelectArea::OppositeGrip(int grip) { return kOpposite[grip]; }

bool TSelectArea::PointInRect(int32_t x, int32_t y, const ::Rect& r) {
    return r.Left <= x && x <= r.Right && r.Top <= y && y <= r.Bottom;
}

void TSelectArea::SetState(uint8_t newState) {
    State = newState;
    if (State != kStateSelected) return;
    for (int i = 0; i < 8; ++i) {
        const ::Point c = GetGripPoint(i);
        Grips[i] = ::Rect{Sub(c.x, kGripReach), Sub(c.y, kGripReach), Add(c.x, kGripReach), Add(c.y, kGripReach)};
    }
}

::Point TSelectArea::GetGripPoint(int grip) const {
    if (State == kStateNone) return {};
    const int32_t midX = Half(Rect.Left, Rect.Right);
    const int32_t midY = Half(Rect.Top, Rect.Bottom);
    switch (grip) {
        case 0: return {Rect.Left, Rect.Top};
        case 1: return {Rect.Left, midY};
        case 2: return {Rect.Left, Rect.Bottom};
        case 3: return {Rect.Right, Rect.Top};
        case 4: return {Rect.Right, midY};
        case 5: return {Rect.Right, Rect.Bottom};
        case 6: return {midX, Rect.Top};
        case 7: return {midX, Rect.Bottom};
        default: return {};
    }
}

int TSelectArea::HitTest(int32_t X, int32_t Y) const {
    if (State == kStateNone) return kHitNothing;
    for (int i = 0; i < 8; ++i) {
        if (PointInRect(X, Y, Grips[i])) return i;
    }
    return PointInRect(X, Y, Rect) ? kHitMove : kHitNothing;
}

void TSelectArea::FitToRatio(int32_t& X, int32_t& Y, const TFLConfig& Settings) const {
    int32_t dx = Abs(Sub(Anchor.x, X));
    int32_t dy = Abs(Sub(Anchor.y, Y));
    const int32_t width = Settings.Width();
    const int32_t height = Settings.Height();
    if (dx == 0 || dy == 0 || width == 0 || height == 0) return;
    // Divided at extended precision, then stored as doubles: rounding twice can differ in the
    // last bit from a direct double division, and the equality test below sees that bit.
    const double rs = static_cast<double>(static_cast<long double>(height) / width);
    const double rd = static_cast<double>(static_cast<long double>(dy) / dx);
    if (rs == rd) return;
    if (rs > rd) {
        dy = MulDivTruncated(dx, height, width);  // flatter than the ratio: make it taller
    } else {
        dx = MulDivTruncated(dy, width, height);  // steeper: make it wider
    }
    X = Anchor.x < X ? Add(Anchor.x, dx) : Sub(Anchor.x, dx);
    Y = Anchor.y < Y ? Add(Anchor.y, dy) : Sub(Anchor.y, dy);
}

::Rect TSelectArea::CalcRect(int32_t X, int32_t Y, const TFLConfig& Settings) {
    const bool proportion = Settings.TrimType() == 0;
    switch (DragKind) {
        case 0:
        case 2:
        case 3:
        case 5:
            if (proportion) FitToRatio(X, Y, Settings);
            return {std::min(Anchor.x, X), std::min(Anchor.y, Y), std::max(Anchor.x, X), std::max(Anchor.y, Y)};
        case 1:
        case 4:
            if (proportion) return Rect;  // side grips would break the ratio
            return {std::min(Anchor.x, X), Rect.Top, std::max(Anchor.x, X), Rect.Bottom};
        case 6:
        case 7:
            if (proportion) return Rect;
            return {Rect.Left, std::min(Anchor.y, Y), Rect.Right, std::max(Anchor.y, Y)};
        default: {
            const int32_t dx = Sub(X, Anchor.x);
            const int32_t dy = Sub(Y, Anchor.y);
            Anchor = {X, Y};
            return {Add(Rect.Left, dx), Add(Rect.Top, dy), Add(Rect.Right, dx), Add(Rect.Bottom, dy)};
        }
    }
}

void TSelectArea::BeginDraw(int32_t X, int32_t Y, Canvas& canvas, const TFLConfig& Settings) {
    if (State != kStateNone) return;
    SetState(kStateDrawing);
    Anchor = {X, Y};
    DragKind = 0;
    Rect = CalcRect(X, Y, Settings);
    DrawFrame(canvas);
}

// Erases the frame, takes the rectangle the pointer now makes and the next state, and draws the
// frame of that state (a selected frame has grips).
void TSelectArea::MoveFrame(int32_t X, int32_t Y, Canvas& canvas, const TFLConfig& Settings, uint8_t nextState) {
    DrawFrame(canvas);
    Rect = CalcRect(X, Y, Settings);
    SetState(nextState);
    DrawFrame(canvas);
}

void TSelectArea::DragDraw(int32_t X, int32_t Y, Canvas& canvas, const TFLConfig& Settings) {
    if (State == kStateDrawing) MoveFrame(X, Y, canvas, Settings, State);
}

void TSelectArea::EndDraw(int32_t X, int32_t Y, Canvas& canvas, const TFLConfig& Settings) {
    if (State == kStateDrawing) MoveFrame(X, Y, canvas, Settings, kStateSelected);
}

bool TSelectArea::BeginAdjust(int32_t X, int32_t Y, Canvas& canvas, const TFLConfig& Settings) {
    if (State != kStateSelected) return false;
    const int hit = HitTest(X, Y);
    if (hit == kHitNothing) return false;
    DragKind = hit == kHitMove ? kDragMove : OppositeGrip(hit);
    Anchor = DragKind == kDragMove ? ::Point{X, Y} : GetGripPoint(DragKind);
    MoveFrame(X, Y, canvas, Settings, kStateAdjusting);
    return true;
}

void TSelectArea::DragAdjust(int32_t X, int32_t Y, Canvas& canvas, const TFLConfig& Settings) {
    if (State == kStateAdjusting) MoveFrame(X, Y, canvas, Settings, State);
}

void TSelectArea::EndAdjust(int32_t X, int32_t Y, Canvas& canvas, const TFLConfig& Settings) {
    if (State == kStateAdjusting) MoveFrame(X, Y, canvas, Settings, kStateSelected);
}

void TSelectArea::ApplyRatio(Canvas& canvas, const TFLConfig& Settings) {
    if (State == kStateNone || Settings.TrimType() != 0) return;
    DrawFrame(canvas);
    DragKind = 0;
    Anchor = {Rect.Left, Rect.Top};
    Rect = CalcRect(Rect.Right, Rect.Bottom, Settings);
    SetState(State);
    DrawFrame(canvas);
}

void TSelectArea::Clear(Canvas& canvas) {
    if (State == kStateNone) return;
    DrawFrame(canvas);
    SetState(kStateNone);
}

std::array<::Point, 5> TSelectArea::OutlinePoints() const {
    return {::Point{Rect.Left, Rect.Top}, ::Point{Rect.Right, Rect.Top}, ::Point{Rect.Right, Rect.Bottom},
            ::Point{Rect.Left, Rect.Bottom}, ::Point{Rect.Left, Rect.Top}};
}

void TSelectArea::DrawFrame(Canvas& canvas) const {
    if (State == kStateNone) return;
    canvas.SetPen(kBlack, PenMode::Not, 1);
    canvas.SetBrush(kBlack);
    const std::array<::Point, 5> outline = OutlinePoints();
    canvas.Polyline(outline);
    if (State != kStateSelected) return;
    // Rectangle leaves out the right and bottom edges: each grip shows 6 x 6 of its 7 x 7 box.
    for (const ::Rect& grip : Grips) canvas.Rectangle(grip.Left, grip.Top, grip.Right, grip.Bottom);
}
