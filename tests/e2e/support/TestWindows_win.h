#pragma once
// Ordinary windows of a test, with a title bar and borders, for captures of the foreground
// window to take.
#include <windows.h>

#include <cstdint>

#include "platform/MemoryBitmap.h"

namespace e2e {

// A window at (x, y) of the given outer size whose client area shows eight coloured bands.
class TargetWindow {
public:
    TargetWindow(int x, int y, int width, int height);
    ~TargetWindow();
    TargetWindow(const TargetWindow&) = delete;
    TargetWindow& operator=(const TargetWindow&) = delete;
    HWND Handle() const { return hwnd_; }

private:
    HWND hwnd_ = nullptr;
};

// A window at (x, y) whose client area (width x height) shows four coloured quadrants, so a
// flip, a mirror or swapped red and blue show: red top left, green top right, blue bottom
// left, yellow bottom right.
class QuadrantWindow {
public:
    static constexpr uint32_t kColours[4] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00};
    QuadrantWindow(int x, int y, int width, int height);
    ~QuadrantWindow();
    QuadrantWindow(const QuadrantWindow&) = delete;
    QuadrantWindow& operator=(const QuadrantWindow&) = delete;
    HWND Handle() const { return hwnd_; }

    // What the client area shows.
    static MemoryBitmap Picture(int width, int height);

private:
    HWND hwnd_ = nullptr;
};

}  // namespace e2e
