#pragma once
#include <cstddef>
#include <span>
#include <vector>

#include "forms/FormLayout.h"

// Rules a form table implies beyond its rows, kept apart from the windows so they can be
// checked on any platform.

// Controls that can take the keyboard focus.
bool IsFocusable(ControlKind kind);
// Controls that hold other controls.
bool IsContainer(ControlKind kind);

// The order Tab walks the controls: depth first from the form, each parent's children by
// their tabOrder (ties and -1 after the numbered ones, in table order). Only rows that can be
// tab stops are listed (focusable, tabOrder >= 0, not kNoTabStop); a container's place in
// its parent's order decides where its children come. Indices are rows of the table.
std::vector<size_t> TabSequence(std::span<const ControlLayout> controls);

// The radio group of each row, or -1 for rows that are not radio buttons. Radio buttons with
// the same parent form one group; kGroupStart begins a new one among them (table order).
std::vector<int> RadioGroups(std::span<const ControlLayout> controls);

// Places of docked children inside a parent's client area, in the order of alignment:
// top-docked rows first (each below the previous), then bottom, then right, then the client
// row filling what is left. Rows without a docking flag keep their place. Sizes never go
// below 0.
struct DockRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    friend bool operator==(const DockRect&, const DockRect&) = default;
};
std::vector<DockRect> DockPlaces(int clientWidth, int clientHeight, std::span<const uint32_t> flags,
                                 std::span<const DockRect> places);
