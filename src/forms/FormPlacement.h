#pragma once

// A window's outer rectangle in screen pixels, right and bottom edges excluded (as Windows'
// RECT). A second monitor may lie left of or above the primary one, so edges can be negative.
struct ScreenRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    friend bool operator==(const ScreenRect&, const ScreenRect&) = default;
};

// Where a form of width x height goes when it is centred on `around` (the screen, or its owner
// window) and must be seen whole on the monitor whose work area is `workArea`: moved in where it
// would stick out. One larger than the work area (a scaled form on a small screen) would lose its
// title bar or its buttons: a sizeable form is made as small as the work area, and a fixed one
// keeps its size with its top-left corner at the work area's, so its title bar stays in reach.
// Centring halves with truncation, as Windows' own dialog centring does.
ScreenRect PlaceCentred(const ScreenRect& around, int width, int height, const ScreenRect& workArea, bool sizeable);
