#include "forms/FormPlacement.h"

#include <algorithm>

namespace {

// The start of a span of length `size` centred on [from, to) and kept within [low, high); where
// it does not fit, it starts at low.
int CentredStart(int from, int to, int size, int low, int high) {
    const int start = from + (to - from - size) / 2;
    return std::max(low, std::min(start, high - size));
}

}  // namespace

ScreenRect PlaceCentred(const ScreenRect& around, int width, int height, const ScreenRect& workArea, bool sizeable) {
    if (sizeable) {
        width = std::min(width, workArea.right - workArea.left);
        height = std::min(height, workArea.bottom - workArea.top);
    }
    const int left = CentredStart(around.left, around.right, width, workArea.left, workArea.right);
    const int top = CentredStart(around.top, around.bottom, height, workArea.top, workArea.bottom);
    return ScreenRect{left, top, left + width, top + height};
}
