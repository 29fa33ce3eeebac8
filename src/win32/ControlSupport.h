#pragma once
#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

#include "platform/Text.h"
#include "win32/Controls.h"
#include "win32/Handles.h"
#include "win32/Window.h"

// Small helpers the control families share (Controls.cpp, Buttons.cpp, TextControls.cpp,
// Containers.cpp, ImageView.cpp); not for use outside the toolkit.

inline HBRUSH ButtonFaceBrush() { return ::GetSysColorBrush(COLOR_BTNFACE); }

inline ShiftState MouseShiftState(WPARAM wp) {
    ShiftState shift = 0;
    if (wp & MK_SHIFT) shift |= kShift;
    if (wp & MK_CONTROL) shift |= kCtrl;
    if (wp & MK_LBUTTON) shift |= kLeftButton;
    if (wp & MK_RBUTTON) shift |= kRightButton;
    if (wp & MK_MBUTTON) shift |= kMiddleButton;
    if (::GetKeyState(VK_MENU) < 0) shift |= kAlt;
    return shift;
}

inline HFONT FontOf(HWND hwnd) { return reinterpret_cast<HFONT>(::SendMessageW(hwnd, WM_GETFONT, 0, 0)); }

// Size of a text drawn in a window's font, with '&' marking a mnemonic as controls show it.
inline SIZE MeasureText(HWND hwnd, const std::u16string& text, UINT extraFormat = 0) {
    WindowDC dc(hwnd);
    SelectGuard font(dc.Get(), FontOf(hwnd));
    RECT rc{0, 0, 0, 0};
    if (text.empty()) {
        TEXTMETRICW metrics{};
        ::GetTextMetricsW(dc.Get(), &metrics);
        return SIZE{0, metrics.tmHeight};
    }
    ::DrawTextW(dc.Get(), Wide(text), static_cast<int>(text.size()), &rc, DT_CALCRECT | DT_EXPANDTABS | extraFormat);
    return SIZE{rc.right - rc.left, rc.bottom - rc.top};
}

inline std::vector<std::u16string> SplitItems(const char* items) {
    std::vector<std::u16string> out;
    if (!items || !*items) return out;
    std::string_view rest(items);
    while (true) {
        const size_t end = rest.find('\n');
        out.push_back(Utf8ToUtf16(rest.substr(0, end)));
        if (end == std::string_view::npos) break;
        rest.remove_prefix(end + 1);
    }
    return out;
}
