#include "forms/FormScaling.h"

#include <cstdint>

int ScaleForDpi(int value, int dpi) {
    if (dpi <= 0) dpi = kDesignDpi;
    // 64-bit: a 32-bit product overflows for coordinates the int range still holds.
    const int64_t product = static_cast<int64_t>(value) * dpi;
    const int64_t half = kDesignDpi / 2;
    const int64_t scaled = product >= 0 ? (product + half) / kDesignDpi : -((-product + half) / kDesignDpi);
    return static_cast<int>(scaled);
}

LayoutRect ScalePlace(const ControlLayout& row, int dpi) {
    const LayoutRect& place = row.place;
    LayoutRect scaled{ScaleForDpi(place.left, dpi), ScaleForDpi(place.top, dpi), ScaleForDpi(place.width, dpi),
                      ScaleForDpi(place.height, dpi)};
    if (row.kind == ControlKind::Image && !(row.flags & kTransparent)) {
        scaled.width = place.width;
        scaled.height = place.height;
    }
    return scaled;
}

ScaledFormLayout::ScaledFormLayout(const FormLayout& design, int dpi)
    : controls_(design.controls.begin(), design.controls.end()), layout_(design) {
    for (ControlLayout& row : controls_) {
        row.place = ScalePlace(row, dpi);
    }
    layout_.controls = controls_;
    layout_.width = ScaleForDpi(design.width, dpi);
    layout_.height = ScaleForDpi(design.height, dpi);
    layout_.fontHeight = ScaleForDpi(design.fontHeight, dpi);
    layout_.minWidth = ScaleForDpi(design.minWidth, dpi);
}
