#pragma once
#include "platform/Canvas.h"
#include "platform/MemoryBitmap.h"

// The canvas contract of Canvas.h over a memory bitmap, pixel for pixel as GDI draws.
// Holds a reference: the bitmap must outlive the canvas.
class SoftwareCanvas final : public Canvas {
public:
    explicit SoftwareCanvas(MemoryBitmap& bitmap) : bitmap_(bitmap) {}

    void SetPen(Color color, PenMode mode, int width) override;
    void SetBrush(Color color) override;
    void Polyline(std::span<const Point> points) override;
    void Rectangle(int left, int top, int right, int bottom) override;
    void MoveTo(Point p) override { position_ = p; }
    void LineTo(Point p) override;

private:
    void Touch(int x, int y, uint32_t color);
    void FillBlock(int left, int top, int right, int bottom, uint32_t color);  // right, bottom exclusive
    void Segment(Point from, Point to);
    // A one-pixel line from `from` up to, not including, `to`, pixel for pixel as GDI draws it.
    void OnePixelLine(Point from, Point to);

    MemoryBitmap& bitmap_;
    uint32_t penColor_ = 0;
    PenMode penMode_ = PenMode::Copy;
    int penWidth_ = 1;
    uint32_t brushColor_ = 0xFFFFFF;
    Point position_{};
};
