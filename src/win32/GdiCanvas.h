#pragma once
#include <windows.h>

#include "platform/Canvas.h"

// The canvas contract of platform/Canvas.h over a GDI device context. The context is
// borrowed: the caller keeps it alive and releases it. Pens and brushes the canvas creates
// are its own; the context's original pen, brush and mix mode are put back on destruction.
class GdiCanvas final : public Canvas {
public:
    explicit GdiCanvas(HDC dc);
    ~GdiCanvas() override;
    GdiCanvas(const GdiCanvas&) = delete;
    GdiCanvas& operator=(const GdiCanvas&) = delete;

    void SetPen(Color color, PenMode mode, int width) override;
    void SetBrush(Color color) override;
    void Polyline(std::span<const Point> points) override;
    void Rectangle(int left, int top, int right, int bottom) override;
    void MoveTo(Point p) override;
    void LineTo(Point p) override;

    HDC Handle() const { return dc_; }

private:
    void SelectNewPen(HPEN pen);
    void SelectNewBrush(HBRUSH brush);

    HDC dc_;
    HPEN pen_ = nullptr;
    HBRUSH brush_ = nullptr;
    HGDIOBJ originalPen_ = nullptr;
    HGDIOBJ originalBrush_ = nullptr;
    int originalRop2_ = R2_COPYPEN;
    int penWidth_ = 1;
    COLORREF penColor_ = RGB(0, 0, 0);
    COLORREF brushColor_ = RGB(255, 255, 255);
    PenMode penMode_ = PenMode::Copy;
};
