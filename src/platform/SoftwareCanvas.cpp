#include "platform/SoftwareCanvas.h"

#include <algorithm>
#include <cstdlib>

void SoftwareCanvas::SetPen(Color color, PenMode mode, int width) {
    penColor_ = MemoryBitmap::Pack(color);
    penMode_ = mode;
    penWidth_ = std::max(width, 1);
}

void SoftwareCanvas::SetBrush(Color color) { brushColor_ = MemoryBitmap::Pack(color); }

void SoftwareCanvas::Touch(int x, int y, uint32_t color) {
    if (!bitmap_.Contains(x, y)) return;
    uint32_t& pixel = bitmap_.Row(y)[x];
    pixel = penMode_ == PenMode::Not ? (~pixel & 0xFFFFFFu) : color;
}

void SoftwareCanvas::FillBlock(int left, int top, int right, int bottom, uint32_t color) {
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right, bitmap_.Width());
    bottom = std::min(bottom, bitmap_.Height());
    for (int y = top; y < bottom; ++y) {
        uint32_t* row = bitmap_.Row(y);
        if (penMode_ == PenMode::Not) {
            for (int x = left; x < right; ++x) row[x] = ~row[x] & 0xFFFFFFu;
        } else {
            std::fill(row + std::max(left, 0), row + std::max(right, left), color);
        }
    }
}

void SoftwareCanvas::Segment(Point from, Point to) {
    if (from == to) return;
    if (penWidth_ > 1) {
        const int before = penWidth_ / 2;
        const int after = penWidth_ - 1 - before;
        if (from.y == to.y || from.x == to.x) {
            const int left = std::min(from.x, to.x) - before;
            const int right = std::max(from.x, to.x) + after;
            const int top = std::min(from.y, to.y) - before;
            const int bottom = std::max(from.y, to.y) + after;
            FillBlock(left, top, right + 1, bottom + 1, penColor_);
            return;
        }
    }
    // Bresenham from `from`, leaving out `to`, as GDI's line drawing does.
    const int dx = std::abs(to.x - from.x);
    const int dy = -std::abs(to.y - from.y);
    const int sx = from.x < to.x ? 1 : -1;
    const int sy = from.y < to.y ? 1 : -1;
    int error = dx + dy;
    Point p = from;
    while (p != to) {
        if (penWidth_ > 1) {
            const int before = penWidth_ / 2;
            FillBlock(p.x - before, p.y - before, p.x - before + penWidth_, p.y - before + penWidth_, penColor_);
        } else {
            Touch(p.x, p.y, penColor_);
        }
        const int twice = 2 * error;
        if (twice >= dy) {
            error += dy;
            p.x += sx;
        }
        if (twice <= dx) {
            error += dx;
            p.y += sy;
        }
    }
}

void SoftwareCanvas::Polyline(std::span<const Point> points) {
    for (size_t i = 1; i < points.size(); ++i) Segment(points[i - 1], points[i]);
}

void SoftwareCanvas::LineTo(Point p) {
    Segment(position_, p);
    position_ = p;
}

void SoftwareCanvas::Rectangle(int left, int top, int right, int bottom) {
    if (left > right) std::swap(left, right);
    if (top > bottom) std::swap(top, bottom);
    if (right - left < 1 || bottom - top < 1) return;
    if (penMode_ == PenMode::Not) {
        FillBlock(left, top, right, bottom, 0);
        return;
    }
    // The outline with the pen colour, the inside with the brush.
    FillBlock(left, top, right, bottom, penColor_);
    FillBlock(left + 1, top + 1, right - 1, bottom - 1, brushColor_);
}
