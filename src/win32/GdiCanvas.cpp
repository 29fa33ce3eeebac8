#include "win32/GdiCanvas.h"

#include <vector>

namespace {
COLORREF ToColorRef(Color c) { return RGB(c.red, c.green, c.blue); }
}  // namespace

GdiCanvas::GdiCanvas(HDC dc) : dc_(dc) {
    originalRop2_ = ::GetROP2(dc_);
    SetPen(kBlack, PenMode::Copy, 1);
    SetBrush(kWhite);
}

GdiCanvas::~GdiCanvas() {
    if (originalPen_) ::SelectObject(dc_, originalPen_);
    if (originalBrush_) ::SelectObject(dc_, originalBrush_);
    ::SetROP2(dc_, originalRop2_);
    if (pen_) ::DeleteObject(pen_);
    if (brush_) ::DeleteObject(brush_);
}

void GdiCanvas::SelectNewPen(HPEN pen) {
    HGDIOBJ previous = ::SelectObject(dc_, pen);
    if (!originalPen_) originalPen_ = previous;
    if (pen_) ::DeleteObject(pen_);
    pen_ = pen;
}

void GdiCanvas::SelectNewBrush(HBRUSH brush) {
    HGDIOBJ previous = ::SelectObject(dc_, brush);
    if (!originalBrush_) originalBrush_ = previous;
    if (brush_) ::DeleteObject(brush_);
    brush_ = brush;
}

void GdiCanvas::SetPen(Color color, PenMode mode, int width) {
    const int newWidth = width < 1 ? 1 : width;
    const COLORREF newColor = ToColorRef(color);
    penMode_ = mode;
    ::SetROP2(dc_, mode == PenMode::Not ? R2_NOT : R2_COPYPEN);
    // The selection sets the same pen twice on every pointer move; keep the one we have.
    if (pen_ && newWidth == penWidth_ && newColor == penColor_) return;
    penWidth_ = newWidth;
    penColor_ = newColor;
    HPEN pen;
    if (penWidth_ == 1) {
        pen = ::CreatePen(PS_SOLID, 1, penColor_);
    } else {
        // Square ends: a wide line reaches past its ends by the same half-width as it
        // reaches across, which is the band rule of the canvas contract.
        LOGBRUSH logBrush{BS_SOLID, penColor_, 0};
        pen = ::ExtCreatePen(PS_GEOMETRIC | PS_SOLID | PS_ENDCAP_SQUARE | PS_JOIN_MITER, static_cast<DWORD>(penWidth_),
                             &logBrush, 0, nullptr);
    }
    SelectNewPen(pen);
}

void GdiCanvas::SetBrush(Color color) {
    const COLORREF newColor = ToColorRef(color);
    if (brush_ && newColor == brushColor_) return;
    brushColor_ = newColor;
    SelectNewBrush(::CreateSolidBrush(newColor));
}

void GdiCanvas::Polyline(std::span<const Point> points) {
    if (points.size() < 2) return;
    // A pointer move draws two five-point outlines: short polylines go through a buffer on the
    // stack, so drawing them allocates nothing. Longer ones (nothing draws them yet) take the
    // heap rather than being split, since a split would change the joins of a wide pen.
    constexpr size_t kOnStack = 32;
    POINT onStack[kOnStack];
    std::vector<POINT> onHeap;
    POINT* gdiPoints = onStack;
    if (points.size() > kOnStack) {
        onHeap.resize(points.size());
        gdiPoints = onHeap.data();
    }
    for (size_t i = 0; i < points.size(); ++i) gdiPoints[i] = POINT{points[i].x, points[i].y};
    ::Polyline(dc_, gdiPoints, static_cast<int>(points.size()));
}

void GdiCanvas::Rectangle(int left, int top, int right, int bottom) {
    // Rectangles always outline with a one-pixel pen (the contract); keep the wide one aside.
    if (penWidth_ > 1) {
        HPEN thin = ::CreatePen(PS_SOLID, 1, penColor_);
        HGDIOBJ wide = ::SelectObject(dc_, thin);
        ::Rectangle(dc_, left, top, right, bottom);
        ::SelectObject(dc_, wide);
        ::DeleteObject(thin);
        return;
    }
    ::Rectangle(dc_, left, top, right, bottom);
}

void GdiCanvas::MoveTo(Point p) { ::MoveToEx(dc_, p.x, p.y, nullptr); }

void GdiCanvas::LineTo(Point p) { ::LineTo(dc_, p.x, p.y); }
