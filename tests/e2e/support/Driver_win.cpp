#include "Driver_win.h"

#include <cstdint>
#include <stdexcept>

namespace e2e {

namespace {

// The drivers see the screen as Framlet does, in physical pixels: a program that is not DPI
// aware gets a scaled-down screen on a scaled display (at 150 %, 683 x 512 of 1024 x 768), so
// its pattern window, its screen reads and its pointer positions would not be the real ones.
// Per monitor where this Windows knows it (Wine 8 has no version 2), system aware before.
bool MakeDpiAware() {
    HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
    using SetContextFunction = BOOL(WINAPI*)(HANDLE);
    const auto setContext = reinterpret_cast<SetContextFunction>(
        reinterpret_cast<void*>(::GetProcAddress(user32, "SetProcessDpiAwarenessContext")));
    if (setContext) {
        // DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2 and _PER_MONITOR_AWARE; the headers hide
        // them below Windows 10.
        for (const intptr_t context : {-4, -3}) {
            if (setContext(reinterpret_cast<HANDLE>(context))) return true;
        }
    }
    return ::SetProcessDPIAware() != FALSE;
}

const bool dpiAware = MakeDpiAware();

}  // namespace

bool IsDpiAware() { return dpiAware; }

bool WaitUntil(const std::function<bool()>& condition, int timeoutMs) {
    const ULONGLONG deadline = ::GetTickCount64() + static_cast<ULONGLONG>(timeoutMs);
    for (;;) {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        if (condition()) return true;
        if (::GetTickCount64() >= deadline) return false;
        ::Sleep(20);
    }
}

std::wstring ExeFolder() {
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    return folder.substr(0, folder.find_last_of(L"\\/") + 1);
}

Program::Program(const std::wstring& exePath) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    std::wstring commandLine = L"\"" + exePath + L"\"";
    const std::wstring folder = exePath.substr(0, exePath.find_last_of(L"\\/") + 1);
    if (!::CreateProcessW(exePath.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                          &startup, &info_)) {
        throw std::runtime_error("CreateProcess failed: " + std::to_string(::GetLastError()));
    }
}

Program::~Program() {
    if (Running()) {
        ::TerminateProcess(info_.hProcess, 99);
        ::WaitForSingleObject(info_.hProcess, 5000);
    }
    ::CloseHandle(info_.hThread);
    ::CloseHandle(info_.hProcess);
}

bool Program::Running() const { return ::WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT; }

bool Program::WaitForExit(int timeoutMs, DWORD* exitCode) {
    const bool ended = WaitUntil([&] { return !Running(); }, timeoutMs);
    if (ended && exitCode) ::GetExitCodeProcess(info_.hProcess, exitCode);
    return ended;
}

namespace {
struct FindTop {
    DWORD pid;
    const wchar_t* className;
    const wchar_t* title;
    HWND found;
};

BOOL CALLBACK FindTopProc(HWND hwnd, LPARAM lp) {
    auto* find = reinterpret_cast<FindTop*>(lp);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hwnd, &pid);
    if (pid != find->pid) return TRUE;
    wchar_t cls[256] = {};
    ::GetClassNameW(hwnd, cls, 256);
    if (find->className && ::lstrcmpW(cls, find->className) != 0) return TRUE;
    if (find->title && WindowText(hwnd) != find->title) return TRUE;
    find->found = hwnd;
    return FALSE;
}

struct FindChild {
    const std::wstring* text;
    const wchar_t* className;
    HWND found;
};

BOOL CALLBACK FindChildProc(HWND hwnd, LPARAM lp) {
    auto* find = reinterpret_cast<FindChild*>(lp);
    if (find->className) {
        wchar_t cls[256] = {};
        ::GetClassNameW(hwnd, cls, 256);
        if (::lstrcmpiW(cls, find->className) != 0) return TRUE;
    }
    if (WindowText(hwnd) != *find->text) return TRUE;
    find->found = hwnd;
    return FALSE;
}
}  // namespace

HWND Program::FindTopWindow(const wchar_t* className, const wchar_t* title) const {
    FindTop find{info_.dwProcessId, className, title, nullptr};
    ::EnumWindows(FindTopProc, reinterpret_cast<LPARAM>(&find));
    return find.found;
}

HWND Program::WaitForTopWindow(const wchar_t* className, const wchar_t* title, int timeoutMs) const {
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindTopWindow(className, title)) != nullptr; }, timeoutMs);
    return found;
}

std::wstring WindowText(HWND hwnd) {
    // WM_GETTEXT works across processes for every control, unlike GetWindowText.
    const LRESULT length = ::SendMessageW(hwnd, WM_GETTEXTLENGTH, 0, 0);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const LRESULT got = ::SendMessageW(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(got));
    return text;
}

HWND FindChildByText(HWND parent, const std::wstring& text, const wchar_t* className) {
    FindChild find{&text, className, nullptr};
    ::EnumChildWindows(parent, FindChildProc, reinterpret_cast<LPARAM>(&find));
    return find.found;
}

namespace {
INPUT MouseInput(int x, int y, DWORD flags) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    const int w = ::GetSystemMetrics(SM_CXSCREEN);
    const int h = ::GetSystemMetrics(SM_CYSCREEN);
    // Absolute coordinates are 0..65535 across the primary screen; aim at the pixel's centre.
    input.mi.dx = static_cast<LONG>((x * 65536LL + 32768) / w);
    input.mi.dy = static_cast<LONG>((y * 65536LL + 32768) / h);
    input.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
    return input;
}

void Send(INPUT input) {
    ::SendInput(1, &input, sizeof input);
    // Let the target see each step before the next, as a person's hand would.
    WaitUntil([] { return false; }, 30);
}
}  // namespace

void MoveMouse(int x, int y) { Send(MouseInput(x, y, 0)); }

void MouseButton(int x, int y, bool down, bool right) {
    const DWORD flag = right ? (down ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_RIGHTUP)
                             : (down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP);
    Send(MouseInput(x, y, flag));
}

void Click(int x, int y, bool right) {
    MoveMouse(x, y);
    MouseButton(x, y, true, right);
    MouseButton(x, y, false, right);
}

void DoubleClick(int x, int y) {
    MoveMouse(x, y);
    for (int i = 0; i < 2; ++i) {
        INPUT down = MouseInput(x, y, MOUSEEVENTF_LEFTDOWN);
        INPUT up = MouseInput(x, y, MOUSEEVENTF_LEFTUP);
        ::SendInput(1, &down, sizeof down);
        ::SendInput(1, &up, sizeof up);
    }
    WaitUntil([] { return false; }, 50);
}

void Drag(const std::vector<POINT>& path, bool right) {
    if (path.empty()) return;
    MoveMouse(path.front().x, path.front().y);
    MouseButton(path.front().x, path.front().y, true, right);
    for (size_t i = 1; i < path.size(); ++i) MoveMouse(path[i].x, path[i].y);
    MouseButton(path.back().x, path.back().y, false, right);
}

void PressKey(WORD vk, bool alt) {
    std::vector<INPUT> inputs;
    auto key = [&](WORD code, bool up) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = code;
        input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        inputs.push_back(input);
    };
    if (alt) key(VK_MENU, false);
    key(vk, false);
    key(vk, true);
    if (alt) key(VK_MENU, true);
    ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    WaitUntil([] { return false; }, 50);
}

void PressKeys(const std::vector<WORD>& held, WORD vk) {
    std::vector<INPUT> inputs;
    auto add = [&](WORD code, bool up) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = code;
        input.ki.wScan = static_cast<WORD>(::MapVirtualKeyW(code, MAPVK_VK_TO_VSC));
        input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        inputs.push_back(input);
    };
    for (WORD k : held) add(k, false);
    add(vk, false);
    add(vk, true);
    for (auto it = held.rbegin(); it != held.rend(); ++it) add(*it, true);
    ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    WaitUntil([] { return false; }, 60);
}

void ClickOn(HWND hwnd, bool right) {
    RECT r;
    ::GetWindowRect(hwnd, &r);
    wchar_t name[32] = {};
    ::GetClassNameW(hwnd, name, 32);
    // A drop-down list's window includes its list: aim at the closed box.
    const int bottom = ::lstrcmpiW(name, L"ComboBox") == 0 ? r.top + 20 : r.bottom;
    Click((r.left + r.right) / 2, (r.top + bottom) / 2, right);
}

void TypeText(const std::wstring& text) {
    for (const wchar_t c : text) {
        INPUT input[2]{};
        for (int i = 0; i < 2; ++i) {
            input[i].type = INPUT_KEYBOARD;
            input[i].ki.wScan = c;
            input[i].ki.dwFlags = KEYEVENTF_UNICODE | (i ? KEYEVENTF_KEYUP : 0);
        }
        ::SendInput(2, input, sizeof(INPUT));
        WaitUntil([] { return false; }, 20);
    }
}

ScreenShot CaptureRect(const RECT& r) {
    ScreenShot shot;
    shot.width = r.right - r.left;
    shot.height = r.bottom - r.top;
    if (shot.width <= 0 || shot.height <= 0) return shot;
    shot.pixels.resize(static_cast<size_t>(shot.width) * shot.height);
    HDC screen = ::GetDC(nullptr);
    HDC memory = ::CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = shot.width;
    info.bmiHeader.biHeight = -shot.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP dib = ::CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = ::SelectObject(memory, dib);
    ::BitBlt(memory, 0, 0, shot.width, shot.height, screen, r.left, r.top, SRCCOPY);
    ::GdiFlush();
    const auto* source = static_cast<const uint32_t*>(bits);
    for (size_t i = 0; i < shot.pixels.size(); ++i) shot.pixels[i] = source[i] & 0xFFFFFF;
    ::SelectObject(memory, old);
    ::DeleteObject(dib);
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);
    return shot;
}

ScreenShot CaptureScreen() {
    return CaptureRect(RECT{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)});
}

uint32_t PatternPixel(int x, int y) {
    // Different in every direction and at every small offset, so a shifted, mirrored or
    // channel-swapped picture never matches by chance.
    const uint32_t red = static_cast<uint32_t>(x * 3 + y) & 0xFF;
    const uint32_t green = static_cast<uint32_t>(y * 5 + (x >> 4)) & 0xFF;
    const uint32_t blue = static_cast<uint32_t>((x ^ y) * 7) & 0xFF;
    return (red << 16) | (green << 8) | blue;
}

namespace {
LRESULT CALLBACK PatternProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = ::BeginPaint(hwnd, &ps);
        auto bitmap = reinterpret_cast<HBITMAP>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        HDC memory = ::CreateCompatibleDC(dc);
        HGDIOBJ old = ::SelectObject(memory, bitmap);
        ::BitBlt(dc, 0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN), memory, 0, 0, SRCCOPY);
        ::SelectObject(memory, old);
        ::DeleteDC(memory);
        ::EndPaint(hwnd, &ps);
        return 0;
    }
    return ::DefWindowProcW(hwnd, msg, wp, lp);
}
}  // namespace

PatternWindow::PatternWindow() {
    const int w = ::GetSystemMetrics(SM_CXSCREEN);
    const int h = ::GetSystemMetrics(SM_CYSCREEN);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    bitmap_ = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    auto* pixels = static_cast<uint32_t*>(bits);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) pixels[static_cast<size_t>(y) * w + x] = PatternPixel(x, y);
    }
    WNDCLASSW wc{};
    wc.lpfnWndProc = PatternProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = L"FramletTestPattern";
    ::RegisterClassW(&wc);
    hwnd_ = ::CreateWindowExW(WS_EX_TOOLWINDOW, wc.lpszClassName, L"pattern", WS_POPUP, 0, 0, w, h, nullptr, nullptr,
                              wc.hInstance, nullptr);
    ::SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(bitmap_));
    ::ShowWindow(hwnd_, SW_SHOW);
    ::UpdateWindow(hwnd_);
    // Wait until the pattern really is on the screen.
    WaitUntil(
        [] {
            return CaptureRect(RECT{10, 20, 12, 21}).pixels ==
                   std::vector<uint32_t>{PatternPixel(10, 20), PatternPixel(11, 20)};
        },
        5000);
}

PatternWindow::~PatternWindow() {
    ::DestroyWindow(hwnd_);
    ::DeleteObject(bitmap_);
}

}  // namespace e2e
