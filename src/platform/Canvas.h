#pragma once
#include <span>

#include "platform/Geom.h"

// How a pen or brush changes the pixels it touches.
//   Copy: the pixel takes the pen's (or brush's) colour.
//   Not:  the pixel becomes its bitwise inverse, whatever the colour; every touch inverts,
//         so touching a pixel twice restores it.
enum class PenMode { Copy, Not };

// A drawing surface with GDI's rules, implemented by the software canvas (over a memory
// bitmap) and by the GDI canvas (over a device context) with identical pixel results.
// Coordinates are pixels; drawing outside the surface is clipped, never an error.
//
//   Polyline: each segment touches its pixels once, from its first point up to, but not
//     including, its last point. A one-point polyline draws nothing; an outline that runs back
//     over itself touches the shared pixels twice (in Not mode they end unchanged), so a closed
//     outline of zero width or height changes only its two end pixels and one on a single point
//     changes nothing. Sloped one-pixel lines pick GDI's pixels (Bresenham with GDI's tie rule:
//     a line and the same line drawn back cover the same pixels apart from the left-out ends).
//     Coordinates beyond 2^27 in a sloped line draw nothing, as GDI refuses them.
//   MoveTo / LineTo: LineTo draws one such segment from the current position and moves there.
//   Rectangle: covers left..right-1 and top..bottom-1 (right and bottom edges left out); the
//     outermost ring takes the pen, the inside the brush; in Not mode every covered pixel is
//     inverted exactly once, whatever the colours. Left > right or top > bottom are swapped
//     first. As in GDI the ring is a closed one-pixel path through the corners: a rectangle one
//     pixel wide or high is traced there and back (the whole line in Copy mode, only its two
//     end pixels in Not mode), and a 1 x 1 or empty one draws nothing.
//   A pen wider than one pixel paints a band of `width` pixels across an axis-aligned line:
//     offsets -(width div 2) .. width - 1 - (width div 2) from the line, and the same extension
//     past both ends (a frame drawn from one pixel outside each end along an edge at offset
//     width div 2 therefore paints exactly the `width` outermost rows or columns).
//     Wide pens are used in Copy mode only; rectangles always outline with a 1-pixel pen.
class Canvas {
public:
    virtual ~Canvas() = default;
    virtual void SetPen(Color color, PenMode mode, int width) = 0;
    virtual void SetBrush(Color color) = 0;
    virtual void Polyline(std::span<const Point> points) = 0;
    virtual void Rectangle(int left, int top, int right, int bottom) = 0;
    virtual void MoveTo(Point p) = 0;
    virtual void LineTo(Point p) = 0;
};
