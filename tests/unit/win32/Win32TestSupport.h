#pragma once
#include <windows.h>

#include <chrono>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "forms/FormLayout.h"
#include "platform/AppError.h"
#include "win32/Application.h"

// Handles this thread's messages through the application (so key routing applies) until the
// condition holds or the time is up. Returns the condition's last value.
inline bool PumpUntil(const std::function<bool()>& done, int milliseconds = 2000) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (true) {
        TheApplication().ProcessMessages();
        if (done()) return true;
        if (std::chrono::steady_clock::now() >= end) return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

inline void Pump() {
    PumpUntil([] { return false; }, 50);
}

#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif

// What Windows sends a window moved to a monitor of another scale. Wine runs at 96 DPI, so
// this message is the only way to see a form at another DPI here.
inline void ChangeDpi(HWND window, int dpi, RECT suggested) {
    ::SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
}

// A key press as the keyboard would queue it, for the focused window.
inline void PostKey(HWND target, UINT vk) {
    ::PostMessageW(target, WM_KEYDOWN, vk, 1);
    ::PostMessageW(target, WM_KEYUP, vk, static_cast<LPARAM>(0xC0000001u));
}

inline void PostChars(HWND target, const std::u16string& text) {
    for (char16_t ch : text) ::PostMessageW(target, WM_CHAR, ch, 1);
}

// Holds a key down in this thread's key state (what GetKeyState reads) while alive.
class HeldKey {
public:
    explicit HeldKey(BYTE vk) : vk_(vk) { Set(0x80); }
    ~HeldKey() { Set(0); }
    HeldKey(const HeldKey&) = delete;
    HeldKey& operator=(const HeldKey&) = delete;

private:
    void Set(BYTE state) {
        BYTE keys[256];
        ::GetKeyboardState(keys);
        keys[vk_] = state;
        ::SetKeyboardState(keys);
    }
    BYTE vk_;
};

// Collects what reaches the standard error handler while alive.
class CapturedErrors {
public:
    CapturedErrors() {
        texts().clear();
        SetErrorReporter([](const std::exception& e) { texts().push_back(e.what()); });
    }
    ~CapturedErrors() { SetErrorReporter(nullptr); }
    CapturedErrors(const CapturedErrors&) = delete;
    CapturedErrors& operator=(const CapturedErrors&) = delete;
    static std::vector<std::string>& texts() {
        static std::vector<std::string> collected;
        return collected;
    }
};

// Real mouse input at a screen position (SendInput, absolute coordinates).
inline void SendMouse(int x, int y, DWORD buttonFlags) {
    const int width = ::GetSystemMetrics(SM_CXSCREEN);
    const int height = ::GetSystemMetrics(SM_CYSCREEN);
    INPUT input{};
    input.type = INPUT_MOUSE;
    // Rounded up: the system maps back with a truncating division.
    input.mi.dx = static_cast<LONG>((x * 65536 + width - 1) / width);
    input.mi.dy = static_cast<LONG>((y * 65536 + height - 1) / height);
    input.mi.dwFlags = MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE | buttonFlags;
    ::SendInput(1, &input, sizeof input);
}

inline std::u16string ClassOf(HWND hwnd) {
    wchar_t name[64] = {};
    const int length = ::GetClassNameW(hwnd, name, 64);
    return std::u16string(reinterpret_cast<const char16_t*>(name), static_cast<size_t>(length));
}

struct ChildById {
    int id;
    HWND found;
};

// CALLBACK: a lambda would have the wrong calling convention on 32 bits.
inline BOOL CALLBACK FindChildById(HWND hwnd, LPARAM lp) {
    auto* find = reinterpret_cast<ChildById*>(lp);
    if (::GetDlgCtrlID(hwnd) != find->id) return TRUE;
    find->found = hwnd;
    return FALSE;
}

// A control of a form by its name in the form's layout table: the toolkit gives each control
// the id 100 plus its row. Null when the table has no such row or the form no such window.
inline HWND LayoutControl(HWND form, const FormLayout& layout, std::string_view name) {
    for (size_t row = 0; row < layout.controls.size(); ++row) {
        if (name != layout.controls[row].name) continue;
        ChildById find{100 + static_cast<int>(row), nullptr};
        ::EnumChildWindows(form, FindChildById, reinterpret_cast<LPARAM>(&find));
        return find.found;
    }
    return nullptr;
}
