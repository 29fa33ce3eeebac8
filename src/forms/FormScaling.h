#pragma once
#include <vector>

#include "forms/FormLayout.h"

// Form tables are designed in pixels at 96 DPI (100 %). The program tells Windows that it is
// DPI aware per monitor, so Windows scales none of its windows: each form scales its own layout
// by its window's DPI instead. Captured pictures are never scaled; they are screen pixels.
inline constexpr int kDesignDpi = 96;

// value * dpi / 96 rounded to the nearest integer, halves away from zero: the same rounding as
// Windows' MulDiv(value, dpi, 96), so a place computed here and one computed by Windows agree.
// A dpi of 0 or less (no DPI known) counts as 96.
int ScaleForDpi(int value, int dpi);

// A table row's place at a DPI. Every field is scaled, so a 0 (sized to its text, or docked)
// stays 0. Image rows keep their width and height, as their picture is shown pixel for pixel,
// except transparent ones: those are decorations drawn to the size of their control, and
// grow with the controls they belong to.
LayoutRect ScalePlace(const ControlLayout& row, int dpi);

// A form's layout at a DPI: the rows' places and minimum heights, the form's size, minimum
// width and font height scaled; names, texts and flags are the design's own. At 96 DPI it is
// equal to the design, field for field. It owns the scaled rows that Layout().controls views,
// so it is neither copied nor moved.
class ScaledFormLayout {
public:
    ScaledFormLayout(const FormLayout& design, int dpi);
    ScaledFormLayout(const ScaledFormLayout&) = delete;
    ScaledFormLayout& operator=(const ScaledFormLayout&) = delete;

    const FormLayout& Layout() const { return layout_; }

private:
    std::vector<ControlLayout> controls_;
    FormLayout layout_;
};
