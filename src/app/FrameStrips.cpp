#include "app/FrameStrips.h"

#include <algorithm>

#include "selection/SelectArea.h"

FrameStrips::FrameStrips(const TSelectArea& area, int32_t pictureWidth, int32_t pictureHeight)
    : width_(std::max(pictureWidth, 0)), height_(std::max(pictureHeight, 0)) {
    if (area.State == TSelectArea::kStateNone) return;
    // 64-bit edges: a rectangle near the ends of the 32-bit range still gives its true strips.
    const int64_t left = area.Rect.Left;
    const int64_t top = area.Rect.Top;
    const int64_t right = area.Rect.Right;
    const int64_t bottom = area.Rect.Bottom;
    Add(left, top, right + 1, top + 1);        // top side
    Add(left, bottom, right + 1, bottom + 1);  // bottom side
    Add(left, top + 1, left + 1, bottom);      // left side between the corners
    Add(right, top + 1, right + 1, bottom);    // right side between the corners
    if (area.State != TSelectArea::kStateSelected) return;
    for (const ::Rect& grip : area.Grips) {
        // The canvas orders a reversed box before drawing it; so does this.
        Add(std::min(grip.Left, grip.Right), std::min(grip.Top, grip.Bottom), std::max(grip.Left, grip.Right),
            std::max(grip.Top, grip.Bottom));
    }
}

void FrameStrips::Add(int64_t left, int64_t top, int64_t right, int64_t bottom) {
    left = std::clamp<int64_t>(left, 0, width_);
    right = std::clamp<int64_t>(right, 0, width_);
    top = std::clamp<int64_t>(top, 0, height_);
    bottom = std::clamp<int64_t>(bottom, 0, height_);
    if (left >= right || top >= bottom) return;
    boxes_[count_++] = PixelBox{static_cast<int32_t>(left), static_cast<int32_t>(top), static_cast<int32_t>(right),
                                static_cast<int32_t>(bottom)};
}

int64_t FrameStrips::Area() const {
    int64_t total = 0;
    for (const PixelBox& box : Boxes()) total += int64_t{box.right - box.left} * (box.bottom - box.top);
    return total;
}
