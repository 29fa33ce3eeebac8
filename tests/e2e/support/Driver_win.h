#pragma once
// A Windows-side driver for end-to-end tests: starts the program, finds its windows, moves the
// real mouse and keyboard with SendInput, reads the screen, and puts a known picture on it.
// Every wait polls with a deadline; nothing sleeps a fixed time and hopes.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace e2e {

// Every driver makes itself DPI aware before main: true if that worked.
bool IsDpiAware();

// Polls `condition` every 20 ms, pumping this thread's messages, until it holds or the time is up.
bool WaitUntil(const std::function<bool()>& condition, int timeoutMs = 10000);

// The folder of the running test executable, with a trailing backslash.
std::wstring ExeFolder();

class Program {
public:
    // Starts exe with its own folder as the current folder. Throws std::runtime_error on failure.
    explicit Program(const std::wstring& exePath);
    ~Program();  // ends the process if it still runs
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    DWORD Id() const { return info_.dwProcessId; }
    HANDLE Handle() const { return info_.hProcess; }
    bool Running() const;
    // Waits for the process to end; false if it still runs after the timeout.
    bool WaitForExit(int timeoutMs, DWORD* exitCode = nullptr);
    // The first top-level window of this process with the class (and title, if given), or null.
    HWND FindTopWindow(const wchar_t* className, const wchar_t* title = nullptr) const;
    HWND WaitForTopWindow(const wchar_t* className, const wchar_t* title = nullptr, int timeoutMs = 10000) const;

private:
    PROCESS_INFORMATION info_{};
};

// A descendant window of parent whose window text equals text (and class, if given).
HWND FindChildByText(HWND parent, const std::wstring& text, const wchar_t* className = nullptr);
std::wstring WindowText(HWND hwnd);

// Real input.
void MoveMouse(int x, int y);
void MouseButton(int x, int y, bool down, bool right = false);
void Click(int x, int y, bool right = false);
void DoubleClick(int x, int y);
// Press at the first point, move through the others, release at the last.
void Drag(const std::vector<POINT>& path, bool right = false);
void PressKey(WORD vk, bool alt = false);
// The key vk pressed while the keys in held are held down (pressed in order, released in
// reverse), with their scan codes, as a keyboard sends them.
void PressKeys(const std::vector<WORD>& held, WORD vk);
// A click at the centre of the window; on a drop-down list, at the centre of its closed box.
void ClickOn(HWND hwnd, bool right = false);
void TypeText(const std::wstring& text);

// The screen's pixels as 0x00RRGGBB, top-down.
struct ScreenShot {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
    uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};
ScreenShot CaptureScreen();
ScreenShot CaptureRect(const RECT& screenRect);

// The known picture PatternWindow shows at screen position (x, y).
uint32_t PatternPixel(int x, int y);

// A borderless window covering the whole primary screen with the known pattern.
class PatternWindow {
public:
    PatternWindow();
    ~PatternWindow();
    PatternWindow(const PatternWindow&) = delete;
    PatternWindow& operator=(const PatternWindow&) = delete;
    HWND Handle() const { return hwnd_; }

private:
    HWND hwnd_ = nullptr;
    HBITMAP bitmap_ = nullptr;
};

}  // namespace e2e
