// The main window's tests share these: a window showing a known picture, and the view's picture
// read back through the DIB calls.
#pragma once
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/MemoryBitmap.h"
#include "win32/Controls.h"
#include "win32/Handles.h"

namespace mainform_test {

// A borderless window of this process showing a known picture: its outer rectangle is its
// picture, so a capture of it can be compared pixel for pixel.
class PatternPopup {
public:
    PatternPopup(int x, int y, const MemoryBitmap& pixels) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = pixels.Width();
        info.bmiHeader.biHeight = -pixels.Height();
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        bitmap_.Reset(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        for (int row = 0; row < pixels.Height(); ++row) {
            std::copy_n(pixels.Row(row), pixels.Width(), static_cast<uint32_t*>(bits) + row * pixels.Width());
        }
        WNDCLASSW wc{};
        wc.lpfnWndProc = Proc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"MainFormTestPattern";
        ::RegisterClassW(&wc);
        hwnd_ = ::CreateWindowExW(WS_EX_TOOLWINDOW, wc.lpszClassName, L"", WS_POPUP, x, y, pixels.Width(),
                                  pixels.Height(), nullptr, nullptr, wc.hInstance, nullptr);
        ::SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(bitmap_.Get()));
        ::ShowWindow(hwnd_, SW_SHOW);
        ::UpdateWindow(hwnd_);
    }
    ~PatternPopup() { ::DestroyWindow(hwnd_); }
    PatternPopup(const PatternPopup&) = delete;
    PatternPopup& operator=(const PatternPopup&) = delete;
    HWND Handle() const { return hwnd_; }

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
        if (msg != WM_PAINT) return ::DefWindowProcW(hwnd, msg, wp, lp);
        PAINTSTRUCT ps;
        HDC dc = ::BeginPaint(hwnd, &ps);
        HDC memory = ::CreateCompatibleDC(dc);
        HGDIOBJ old = ::SelectObject(memory, reinterpret_cast<HBITMAP>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA)));
        RECT rc;
        ::GetClientRect(hwnd, &rc);
        ::BitBlt(dc, 0, 0, rc.right, rc.bottom, memory, 0, 0, SRCCOPY);
        ::SelectObject(memory, old);
        ::DeleteDC(memory);
        ::EndPaint(hwnd, &ps);
        return 0;
    }
    UniqueBitmap bitmap_;
    HWND hwnd_ = nullptr;
};

// The view's picture, read through the DIB calls.
inline MemoryBitmap PictureOf(Image& image) {
    const SIZE size = image.PictureSize();
    MemoryBitmap result(size.cx, size.cy);
    if (size.cx == 0 || size.cy == 0) return result;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = size.cx;
    info.bmiHeader.biHeight = -size.cy;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    std::vector<uint32_t> bits(static_cast<size_t>(size.cx) * size.cy);
    HDC screen = ::GetDC(nullptr);
    ::GetDIBits(screen, image.PictureHandle(), 0, size.cy, bits.data(), &info, DIB_RGB_COLORS);
    ::ReleaseDC(nullptr, screen);
    for (int y = 0; y < size.cy; ++y) {
        for (int x = 0; x < size.cx; ++x) result.SetPixel(x, y, bits[static_cast<size_t>(y) * size.cx + x] & 0xFFFFFF);
    }
    return result;
}

inline LPARAM At(int x, int y) { return MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)); }

}  // namespace mainform_test
