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
    penWidth_ = width < 1 ? 1 : width;
    penColor_ = ToColorRef(color);
    penMode_ = mode;
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
    ::SetROP2(dc_, mode == PenMode::Not ? R2_NOT : R2_COPYPEN);
}

void GdiCanvas::SetBrush(Color color) { SelectNewBrush(::CreateSolidBrush(ToColorRef(color))); }

void GdiCanvas::Polyline(std::span<const Point> points) {
    if (points.size() < 2) return;
    std::vector<POINT> gdiPoints(points.size());
    for (size_t i = 0; i < points.size(); ++i) gdiPoints[i] = POINT{points[i].x, points[i].y};
    ::Polyline(dc_, gdiPoints.data(), static_cast<int>(gdiPoints.size()));
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
