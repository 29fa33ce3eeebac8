// The program entry. Until the main form exists this shows a plain window over the settings.
#include <windows.h>

#include "platform/AppError.h"
#include "platform/Text.h"
#include "settings/FLConfig.h"

namespace {
void ShowError(const std::exception& error) {
    const std::u16string text = Utf8ToUtf16(error.what());
    ::MessageBoxW(nullptr, reinterpret_cast<const wchar_t*>(text.c_str()), L"Framlet", MB_OK | MB_ICONERROR);
}

LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_DESTROY) {
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcW(hwnd, msg, wp, lp);
}
}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    SetErrorReporter(ShowError);
    TFLConfig config;
    WNDCLASSW wc{};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.hCursor = ::LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = L"TfmMain";
    ::RegisterClassW(&wc);
    HWND hwnd = ::CreateWindowExW(0, L"TfmMain", L"Framlet 1.4", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 760,
                                  569, nullptr, nullptr, instance, nullptr);
    ::ShowWindow(hwnd, show);
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return 0;
}
