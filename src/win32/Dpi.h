#pragma once
#include <windows.h>

// The DPI a window is shown at: its monitor's under per-monitor awareness. Windows before 10
// (1607) lack GetDpiForWindow; there the screen's LOGPIXELSX, the system DPI, is the answer.
int WindowDpi(HWND hwnd);

// The outer size of a window whose client area is client, with the frame metrics of dpi
// (AdjustWindowRectExForDpi where Windows has it, AdjustWindowRectEx before).
SIZE OuterSizeForClient(SIZE client, DWORD style, DWORD exStyle, int dpi);
