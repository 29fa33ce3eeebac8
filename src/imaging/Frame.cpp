#include "imaging/Frame.h"

#include <algorithm>

#include "platform/Canvas.h"

void DrawFrame(Bitmap& destination, int32_t frameSize) {
    const int32_t width = destination.Width();
    const int32_t height = destination.Height();
    // A pen at least as wide as the picture already blackens all of it; the narrower pen keeps
    // the halvings below and the platform's pen within range.
    frameSize = std::min(frameSize, std::max({width, height, 1}));
    const int32_t h = frameSize / 2;
    const int32_t k = (frameSize + 1) / 2;
    auto canvas = destination.CreateCanvas();
    canvas->SetPen(kBlack, PenMode::Copy, frameSize);
    // Each line runs from one pixel outside one end of its edge to one pixel outside the
    // other, so a line primitive that leaves out its last point still covers the edge. A band
    // of w pixels covers offsets -(w div 2) .. w - 1 - (w div 2) across its line (Canvas.h), so
    // lines at h from the top and left and at size - k from the right and bottom paint exactly
    // the w outermost rows and columns, for even widths too. GDI's geometric pens with square
    // ends lay their bands the same way; the frame tests check it under Wine for widths 1-16.
    canvas->MoveTo({-1, h});
    canvas->LineTo({width, h});
    canvas->MoveTo({width - k, -1});
    canvas->LineTo({width - k, height});
    canvas->MoveTo({width, height - k});
    canvas->LineTo({-1, height - k});
    canvas->MoveTo({h, height});
    canvas->LineTo({h, -1});
}
