// Framlet.exe on the paths that go wrong, under Wine, driven with real input.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "Driver_win.h"
#include "Framlet_win.h"
#include "TestSupport.h"
#include "Tray_win.h"
#include "app/Messages.h"
#include "platform/MemoryBitmap.h"
#include "selection/SelectionTestSupport.h"

namespace {

using e2e::ScreenPattern;

class Faults : public e2e::FramletFixture {
protected:
    // The program shown with the known pattern captured into its view.
    void StartOnThePattern(const std::string& settings) {
        pattern_ = std::make_unique<e2e::PatternWindow>();
        Install(settings);
        StartIntoTray();
        if (HasFatalFailure()) return;
        e2e::MoveTrayAside();
        CaptureFromTray(WM_CAPTURE_SCREEN);
        if (HasFatalFailure()) return;
        ASSERT_TRUE(ViewComesToShow(ScreenPattern()));
    }
    void TearDown() override {
        pattern_.reset();
        e2e::FramletFixture::TearDown();
    }
    std::unique_ptr<e2e::PatternWindow> pattern_;
};

// The capture key in the middle of a drag: the moves and the release that follow, handled
// while the capture lets the message loop run, must leave the new picture exactly as the
// screen was. The program's thread is held while the request (posted, as the hook library
// posts it for the key) and the real input after it are queued, so that they meet in that loop
// every time: a posted message is taken before input.
TEST_F(Faults, TheCaptureKeyInTheMiddleOfADragGivesAnExactPictureOfTheScreen) {
    ASSERT_NO_FATAL_FAILURE(StartOnThePattern("[Trim]\r\nType=2\r\n"));
    // A radio button with the focus: no caret blinks in the screen the capture takes.
    ASSERT_NO_FATAL_FAILURE(ClickToFocus(Control("rbtnFree")));
    const MemoryBitmap original = ScreenPattern();

    PointerTo(40, 50);
    Button(40, 50, true);
    PointerTo(90, 100);
    PointerTo(120, 130);
    ASSERT_TRUE(ViewComesToShow(WithFrame(original, {40, 50, 120, 130}, false)));
    const MemoryBitmap screen = e2e::FromShot(e2e::CaptureScreen());

    HANDLE thread = ::OpenThread(THREAD_SUSPEND_RESUME, FALSE, thread_);
    ASSERT_NE(thread, nullptr);
    ASSERT_NE(::SuspendThread(thread), static_cast<DWORD>(-1));
    ::PostMessageW(main_, WM_CAPTURE_SCREEN, 0, 0);
    PointerTo(150, 160);
    PointerTo(170, 190);
    PointerTo(200, 220);
    Button(200, 220, false);
    ::ResumeThread(thread);
    ::CloseHandle(thread);
    PointerTo(210, 230);

    EXPECT_TRUE(ViewComesToShow(screen));
    // Nothing is selected: the unselect button was never enabled, and a new drag draws afresh.
    EXPECT_FALSE(::IsWindowEnabled(Control("btnUnSelect")));
    DragOnPicture(250, 200, 300, 260);
    EXPECT_TRUE(ViewComesToShow(WithFrame(screen, {250, 200, 300, 260}, true)));
}

}  // namespace
