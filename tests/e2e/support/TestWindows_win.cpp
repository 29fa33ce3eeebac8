#include "TestWindows_win.h"

namespace e2e {

namespace {

LRESULT CALLBACK BandsProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg != WM_PAINT) return ::DefWindowProcW(hwnd, msg, wp, lp);
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(hwnd, &ps);
    RECT rc;
    ::GetClientRect(hwnd, &rc);
    for (int band = 0; band < 8; ++band) {
        HBRUSH brush = ::CreateSolidBrush(RGB(band * 30, 255 - band * 25, (band * 77) & 0xFF));
        RECT strip{rc.right * band / 8, 0, rc.right * (band + 1) / 8, rc.bottom};
        ::FillRect(dc, &strip, brush);
        ::DeleteObject(brush);
    }
    ::EndPaint(hwnd, &ps);
    return 0;
}

LRESULT CALLBACK QuadrantsProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg != WM_PAINT) return ::DefWindowProcW(hwnd, msg, wp, lp);
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(hwnd, &ps);
    RECT rc;
    ::GetClientRect(hwnd, &rc);
    for (int q = 0; q < 4; ++q) {
        const uint32_t c = QuadrantWindow::kColours[q];
        HBRUSH brush = ::CreateSolidBrush(RGB(c >> 16, (c >> 8) & 0xFF, c & 0xFF));
        const RECT part{q % 2 ? rc.right / 2 : 0, q / 2 ? rc.bottom / 2 : 0, q % 2 ? rc.right : rc.right / 2,
                        q / 2 ? rc.bottom : rc.bottom / 2};
        ::FillRect(dc, &part, brush);
        ::DeleteObject(brush);
    }
    ::EndPaint(hwnd, &ps);
    return 0;
}

HWND ShowNewWindow(WNDPROC proc, const wchar_t* className, const wchar_t* title, int x, int y, int width, int height) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = proc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.hCursor = ::LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.lpszClassName = className;
    ::RegisterClassW(&wc);  // fails harmlessly from the second window on
    HWND hwnd = ::CreateWindowExW(0, className, title, WS_OVERLAPPEDWINDOW, x, y, width, height, nullptr, nullptr,
                                  wc.hInstance, nullptr);
    ::ShowWindow(hwnd, SW_SHOW);
    ::UpdateWindow(hwnd);
    return hwnd;
}

}  // namespace

TargetWindow::TargetWindow(int x, int y, int width, int height)
    : hwnd_(ShowNewWindow(BandsProc, L"FramletTestTarget", L"Target", x, y, width, height)) {}

TargetWindow::~TargetWindow() { ::DestroyWindow(hwnd_); }

QuadrantWindow::QuadrantWindow(int x, int y, int width, int height) {
    RECT outer{0, 0, width, height};
    ::AdjustWindowRectEx(&outer, WS_OVERLAPPEDWINDOW, FALSE, 0);
    hwnd_ = ShowNewWindow(QuadrantsProc, L"FramletTestQuadrants", L"Quadrants", x, y, outer.right - outer.left,
                          outer.bottom - outer.top);
}

QuadrantWindow::~QuadrantWindow() { ::DestroyWindow(hwnd_); }

MemoryBitmap QuadrantWindow::Picture(int width, int height) {
    MemoryBitmap picture(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) picture.SetPixel(x, y, kColours[(x >= width / 2 ? 1 : 0) + (y >= height / 2 ? 2 : 0)]);
    }
    return picture;
}

}  // namespace e2e
