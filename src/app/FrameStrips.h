#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

class TSelectArea;

// A box of picture pixels, right and bottom edges excluded (as InvalidateRect takes it).
struct PixelBox {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
    friend bool operator==(const PixelBox&, const PixelBox&) = default;
};

// The pixels the selection's frame covers in its current state, clipped to a picture of the
// given size: the four one-pixel sides of the outline while a rectangle is drawn, adjusted or
// selected, and the eight grip boxes while it is selected. Drawing or erasing that frame changes
// no pixel outside these boxes, so a view that repaints the boxes of the state before and after
// an operation shows the picture exactly without repainting the rest of it. Empty boxes (the
// parts outside the picture) are left out.
class FrameStrips {
public:
    FrameStrips(const TSelectArea& area, int32_t pictureWidth, int32_t pictureHeight);

    std::span<const PixelBox> Boxes() const { return {boxes_.data(), count_}; }
    // Pixels covered, counting overlaps once per box.
    int64_t Area() const;

private:
    void Add(int64_t left, int64_t top, int64_t right, int64_t bottom);

    std::array<PixelBox, 12> boxes_{};
    size_t count_ = 0;
    int32_t width_;
    int32_t height_;
};
