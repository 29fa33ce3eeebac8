#include "Tray_win.h"

#include "Driver_win.h"

namespace e2e {

namespace {

bool HasClass(HWND hwnd, const wchar_t* className) {
    wchar_t name[64] = {};
    ::GetClassNameW(hwnd, name, 64);
    return std::wstring(name) == className;
}

BOOL CALLBACK CollectIcon(HWND hwnd, LPARAM lp) {
    if (HasClass(hwnd, L"__winex11_tray_icon")) reinterpret_cast<std::vector<HWND>*>(lp)->push_back(hwnd);
    return TRUE;
}

BOOL CALLBACK CollectTray(HWND hwnd, LPARAM lp) {
    if (HasClass(hwnd, L"__winex11_standalone_tray")) reinterpret_cast<std::vector<HWND>*>(lp)->push_back(hwnd);
    return TRUE;
}

// Wine may make a new tray window after the last icon went: look in every one.
std::vector<HWND> TrayWindows() {
    std::vector<HWND> trays;
    ::EnumWindows(CollectTray, reinterpret_cast<LPARAM>(&trays));
    return trays;
}

struct BoxSearch {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK FindBox(HWND hwnd, LPARAM lp) {
    auto* search = reinterpret_cast<BoxSearch*>(lp);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(hwnd, &owner);
    if (owner != search->processId || !HasClass(hwnd, L"#32770") || !::IsWindowVisible(hwnd)) return TRUE;
    search->found = hwnd;
    return FALSE;
}

BOOL CALLBACK FindText(HWND hwnd, LPARAM lp) {
    wchar_t name[16] = {};
    ::GetClassNameW(hwnd, name, 16);
    if (_wcsicmp(name, L"Static") != 0) return TRUE;
    const std::wstring text = WindowText(hwnd);
    if (text.empty()) return TRUE;
    *reinterpret_cast<std::wstring*>(lp) = text;
    return FALSE;
}

struct TipSearch {
    HWND icon;
    HWND found;
};

BOOL CALLBACK FindShownTip(HWND hwnd, LPARAM lp) {
    auto* search = reinterpret_cast<TipSearch*>(lp);
    // A pop-up made with a child window as its parent is owned by that window's top-level window.
    if (!HasClass(hwnd, L"tooltips_class32") || ::GetWindow(hwnd, GW_OWNER) != ::GetAncestor(search->icon, GA_ROOT)) {
        return TRUE;
    }
    if (!::IsWindowVisible(hwnd)) return TRUE;
    search->found = hwnd;
    return FALSE;
}

}  // namespace

std::wstring TrayIconTip(HWND icon, int timeoutMs) {
    RECT rc;
    ::GetWindowRect(icon, &rc);
    const int x = (rc.left + rc.right) / 2, y = (rc.top + rc.bottom) / 2;
    // The tooltip starts its wait with a move over the icon: come from outside it. Only the
    // icon under the pointer shows its tip, so the tray's other icons do not answer.
    MoveMouse(x, rc.bottom + 40);
    MoveMouse(x, y);
    TipSearch search{icon, nullptr};
    std::wstring tip;
    WaitUntil(
        [&] {
            search.found = nullptr;
            ::EnumWindows(FindShownTip, reinterpret_cast<LPARAM>(&search));
            return search.found && !(tip = WindowText(search.found)).empty();
        },
        timeoutMs);
    return tip;
}

std::vector<HWND> TrayIcons() {
    std::vector<HWND> icons;
    for (HWND tray : TrayWindows()) ::EnumChildWindows(tray, CollectIcon, reinterpret_cast<LPARAM>(&icons));
    return icons;
}

void MoveTrayAside() {
    const int width = ::GetSystemMetrics(SM_CXSCREEN), height = ::GetSystemMetrics(SM_CYSCREEN);
    for (HWND tray : TrayWindows()) {
        ::SetWindowPos(tray, HWND_BOTTOM, width - 120, height - 60, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
    }
}

void MoveTrayOffScreen() {
    const int x = ::GetSystemMetrics(SM_XVIRTUALSCREEN) - 2000, y = ::GetSystemMetrics(SM_YVIRTUALSCREEN) - 2000;
    for (HWND tray : TrayWindows()) ::SetWindowPos(tray, HWND_BOTTOM, x, y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
}

HWND FindMessageBox(DWORD processId) {
    BoxSearch search{processId, nullptr};
    ::EnumWindows(FindBox, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND WaitForMessageBox(DWORD processId, int timeoutMs) {
    HWND box = nullptr;
    WaitUntil([&] { return (box = FindMessageBox(processId)) != nullptr; }, timeoutMs);
    return box;
}

std::wstring MessageBoxText(HWND box) {
    std::wstring text;
    ::EnumChildWindows(box, FindText, reinterpret_cast<LPARAM>(&text));
    return text;
}

bool AnswerMessageBox(HWND box, int buttonId) {
    HWND button = ::GetDlgItem(box, buttonId);
    if (!button) return false;
    RECT rc;
    ::GetWindowRect(button, &rc);
    ::SetForegroundWindow(box);
    Click((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
    return WaitUntil([&] { return !::IsWindow(box) || !::IsWindowVisible(box); }, 5000);
}

void CloseMessageBox(HWND box, int buttonId) {
    if (!AnswerMessageBox(box, buttonId)) ::PostMessageW(box, WM_COMMAND, buttonId, 0);
}

}  // namespace e2e
