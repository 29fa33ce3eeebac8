#include "platform/SoftwareCanvas.h"

#include <algorithm>
#include <cstdint>
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
    if (penWidth_ == 1) {
        OnePixelLine(from, to);
        return;
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
    if (int64_t{right} - left < 1 || int64_t{bottom} - top < 1) return;
    // As GDI draws it: the outline is a closed one-pixel path through the corners of
    // left..right-1 x top..bottom-1, and the brush fills what lies inside that path. A rectangle
    // one pixel wide is therefore traced down and back up: in Not mode only its two end pixels
    // change, and a 1 x 1 rectangle draws nothing at all.
    const Point corners[5] = {
        {right - 1, top}, {left, top}, {left, bottom - 1}, {right - 1, bottom - 1}, {right - 1, top}};
    for (int i = 1; i < 5; ++i) OnePixelLine(corners[i - 1], corners[i]);
    FillBlock(left + 1, top + 1, right - 1, bottom - 1, brushColor_);
}

namespace {
int ClampToInt(int64_t value, int low, int high) { return static_cast<int>(std::clamp<int64_t>(value, low, high)); }
// Rounds up; the divisor is positive.
int64_t CeilDiv(int64_t numerator, int64_t divisor) {
    return numerator >= 0 ? (numerator + divisor - 1) / divisor : -((-numerator) / divisor);
}
}  // namespace

void SoftwareCanvas::OnePixelLine(Point from, Point to) {
    const int width = bitmap_.Width(), height = bitmap_.Height();
    const int64_t dx = int64_t{to.x} - from.x;
    const int64_t dy = int64_t{to.y} - from.y;
    if (dx == 0 && dy == 0) return;
    // Straight lines as spans, clipped before touching anything, so a line of any length costs
    // only the pixels it shows.
    if (dy == 0) {
        // From the start up to, not including, the end point, in either direction.
        const int64_t first = std::min<int64_t>(from.x, int64_t{to.x} + 1);
        const int64_t last = std::max<int64_t>(from.x, int64_t{to.x} - 1);
        FillBlock(ClampToInt(first, 0, width), ClampToInt(from.y, -1, height), ClampToInt(last + 1, 0, width),
                  ClampToInt(int64_t{from.y} + 1, -1, height), penColor_);
        return;
    }
    if (dx == 0) {
        const int64_t first = std::min<int64_t>(from.y, int64_t{to.y} + 1);
        const int64_t last = std::max<int64_t>(from.y, int64_t{to.y} - 1);
        FillBlock(ClampToInt(from.x, -1, width), ClampToInt(first, 0, height),
                  ClampToInt(int64_t{from.x} + 1, -1, width), ClampToInt(last + 1, 0, height), penColor_);
        return;
    }
    // GDI refuses coordinates beyond 27 bits; the arithmetic below needs them to fit too.
    constexpr int64_t kLimit = int64_t{1} << 27;
    for (int64_t c : {int64_t{from.x}, int64_t{from.y}, int64_t{to.x}, int64_t{to.y}}) {
        if (c > kLimit || c < -kLimit) return;
    }

    // GDI's own Bresenham line: step along the major axis; the minor coordinate advances when
    // the error term plus a bias is positive. The bias (1 in the octants numbered 3, 5, 6 and 8
    // clockwise from the positive x axis, y downwards) decides exact ties, so the pixels chosen
    // depend on the direction in which a line is drawn, exactly as on Windows.
    int octant;
    if (dy > 0) {
        octant = dx > 0 ? (dx > dy ? 1 : 2) : (-dx > dy ? 4 : 3);
    } else {
        octant = dx < 0 ? (-dx > -dy ? 5 : 6) : (dx > -dy ? 8 : 7);
    }
    const int bias = (octant == 3 || octant == 5 || octant == 6 || octant == 8) ? 1 : 0;
    const bool xMajor = octant == 1 || octant == 4 || octant == 5 || octant == 8;
    const int64_t major = xMajor ? std::abs(dx) : std::abs(dy);
    const int64_t minor = xMajor ? std::abs(dy) : std::abs(dx);
    const int majorStep = (xMajor ? dx : dy) > 0 ? 1 : -1;
    const int minorStep = (xMajor ? dy : dx) > 0 ? 1 : -1;
    const int64_t majorStart = xMajor ? from.x : from.y;
    const int64_t minorStart = xMajor ? from.y : from.x;
    const int64_t majorSize = xMajor ? width : height;

    // Only the steps whose major coordinate lies on the picture; the minor position and the
    // error term at the first of them follow in closed form from the error's invariant
    // 2*minor >= err + bias > 2*minor - 2*major.
    int64_t firstStep = 0, lastStep = major - 1;
    if (majorStep > 0) {
        firstStep = std::max(firstStep, -majorStart);
        lastStep = std::min(lastStep, majorSize - 1 - majorStart);
    } else {
        firstStep = std::max(firstStep, majorStart - (majorSize - 1));
        lastStep = std::min(lastStep, majorStart);
    }
    if (firstStep > lastStep) return;
    int64_t minorDone = CeilDiv(2 * firstStep * minor - major + bias, 2 * major);
    int64_t error = 2 * minor - major + 2 * firstStep * minor - 2 * minorDone * major;
    for (int64_t step = firstStep; step <= lastStep; ++step) {
        const int64_t a = majorStart + step * majorStep;
        const int64_t b = minorStart + minorDone * minorStep;
        if (xMajor) {
            if (b >= 0 && b < height) Touch(static_cast<int>(a), static_cast<int>(b), penColor_);
        } else {
            if (b >= 0 && b < width) Touch(static_cast<int>(b), static_cast<int>(a), penColor_);
        }
        if (error + bias > 0) {
            ++minorDone;
            error += 2 * minor - 2 * major;
        } else {
            error += 2 * minor;
        }
    }
}
