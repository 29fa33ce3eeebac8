#pragma once
// Framlet.exe as the end-to-end tests meet it: a copy of the program in a folder of its own,
// started into the tray, its main window's controls found by name, its view read from the
// screen, the picture worked with the real mouse. Shared by the tests that drive the program.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <string_view>

#include "Driver_win.h"
#include "TestSupport.h"
#include "forms/FormLayout.h"
#include "platform/MemoryBitmap.h"

namespace e2e {

// Text as the tests need it: ANSI bytes (code page 932) and UTF-8 literals to window text, and back.
std::wstring FromAnsi(const std::string& ansi);
std::wstring FromUtf8(const std::string& utf8);
std::string ToAnsi(const std::wstring& text);

bool FileExists(const std::string& ansiPath);

POINT CentreOf(HWND hwnd);
// A control of a form of the program by its name: the toolkit gives each control the id
// 100 plus its row in the form's layout table.
HWND ControlOf(HWND form, const FormLayout& layout, std::string_view name);
// The same for the main window.
HWND MainControl(HWND main, std::string_view name);
// The child windows of a window as |class:text..., for a failure message.
std::string ChildTexts(HWND parent);

// The screen as PatternWindow shows it: what a whole-screen capture holds.
MemoryBitmap ScreenPattern();
MemoryBitmap FromShot(const ScreenShot& shot);
// A bitmap file's pixels (an empty bitmap when it cannot be read).
MemoryBitmap LoadPictureFile(const std::string& ansiPath);

class FramletFixture : public ::testing::Test {
protected:
    // Framlet.exe (and Trellin.dll, where it is beside the test) in a fresh folder with the
    // given settings file and Resource.ini (ANSI bytes); an empty text writes no file.
    void Install(const std::string& settings = "", const std::string& resourceIni = "");
    // Starts the installed program and waits until it waits in the tray, its window hidden.
    void StartIntoTray();
    // Closing the window asks first: the answer OK ends the program, with exit code 0.
    void CloseWithOk();
    // Closes a program still running with OK.
    void TearDown() override;

    std::string SettingsFile() const { return dir_.File("Framlet.ini"); }
    std::string Folder() const { return dir_.Path(); }
    HWND Control(std::string_view name) const { return MainControl(main_, name); }
    HWND Focused() const;
    // The window is shown and in front.
    bool Shown() const { return ::IsWindowVisible(main_) && ::GetForegroundWindow() == main_; }

    // Clicks a control and waits until it has the focus: every input sent before has then
    // been handled too.
    void ClickToFocus(HWND control);
    void ClickButton(std::string_view name);
    // Minimises by the window's command and waits for the icon; the tray is put aside.
    void Minimise();
    // As a capture key pressed while the program waits minimised: the picture is taken (the
    // pattern window, where one covers the screen, back where the window was), then the
    // window comes back in front.
    void CaptureFromTray(UINT message);

    SIZE ViewSize() const;
    // The screen position of the picture's top-left pixel.
    POINT PictureOrigin() const;
    // The part of the picture the scroll box shows, in screen coordinates.
    RECT VisiblePart() const;
    // Whether every pixel the view shows is the given picture's.
    ::testing::AssertionResult ViewShows(const MemoryBitmap& picture) const;
    ::testing::AssertionResult ViewComesToShow(const MemoryBitmap& picture, int timeoutMs = 5000) const;
    // The view's top-left part (up to 100 x 60) is the picture's.
    ::testing::AssertionResult ViewStartsWith(const MemoryBitmap& picture) const;

    // Real pointer input at picture coordinates.
    void PointerTo(int x, int y);
    void Button(int x, int y, bool down, bool right = false);
    void DragOnPicture(int x1, int y1, int x2, int y2, bool right = false);
    // A selection dragged with the real mouse, finished once the unselect button is enabled.
    void Select(int x1, int y1, int x2, int y2);
    void DoubleClickPicture(int x, int y);

    TempDir dir_;
    std::wstring folder_;
    std::unique_ptr<Program> program_;
    HWND main_ = nullptr;
    DWORD thread_ = 0;
};

}  // namespace e2e
