#include "TestWindows_win.h"

namespace e2e {

namespace {

void Fill(HDC dc, const RECT& box, uint32_t rgb) {
    HBRUSH brush = ::CreateSolidBrush(RGB(rgb >> 16, (rgb >> 8) & 0xFF, rgb & 0xFF));
    ::FillRect(dc, &box, brush);
    ::DeleteObject(brush);
}

void PaintBands(HDC dc, const RECT& client) {
    for (int band = 0; band < 8; ++band) {
        const uint32_t rgb = static_cast<uint32_t>(band * 30) << 16 | static_cast<uint32_t>(255 - band * 25) << 8 |
                             static_cast<uint32_t>((band * 77) & 0xFF);
        Fill(dc, RECT{client.right * band / 8, 0, client.right * (band + 1) / 8, client.bottom}, rgb);
    }
}

void PaintQuadrants(HDC dc, const RECT& client) {
    const int w = client.right, h = client.bottom;
    for (int q = 0; q < 4; ++q) {
        Fill(dc, RECT{q % 2 ? w / 2 : 0, q / 2 ? h / 2 : 0, q % 2 ? w : w / 2, q / 2 ? h : h / 2},
             QuadrantWindow::kColours[q]);
    }
}

template <void (*Paint)(HDC, const RECT&)>
LRESULT CALLBACK PaintingProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg != WM_PAINT) return ::DefWindowProcW(hwnd, msg, wp, lp);
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(hwnd, &ps);
    RECT client;
    ::GetClientRect(hwnd, &client);
    Paint(dc, client);
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
    : hwnd_(ShowNewWindow(PaintingProc<PaintBands>, L"FramletTestTarget", L"Target", x, y, width, height)) {}

TargetWindow::~TargetWindow() { ::DestroyWindow(hwnd_); }

QuadrantWindow::QuadrantWindow(int x, int y, int width, int height) {
    RECT outer{0, 0, width, height};
    ::AdjustWindowRectEx(&outer, WS_OVERLAPPEDWINDOW, FALSE, 0);
    hwnd_ = ShowNewWindow(PaintingProc<PaintQuadrants>, L"FramletTestQuadrants", L"Quadrants", x, y,
                          outer.right - outer.left, outer.bottom - outer.top);
}

QuadrantWindow::~QuadrantWindow() { ::DestroyWindow(hwnd_); }

MemoryBitmap QuadrantWindow::Picture(int width, int height) {
    MemoryBitmap picture(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            picture.SetPixel(x, y, kColours[(x >= width / 2 ? 1 : 0) + (y >= height / 2 ? 2 : 0)]);
    }
    return picture;
}

}  // namespace e2e
