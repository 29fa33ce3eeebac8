// Framlet.exe on the paths that go wrong, under Wine, driven with real input: a capture key
// pressed in the middle of a drag, and two copies started at the same instant.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
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
        // A first capture brings the window up where it stays; the tray is aside by then.
        ::PostMessageW(main_, WM_CAPTURE_SCREEN, 0, 0);
        ASSERT_TRUE(e2e::WaitUntil([&] { return Shown(); }));
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

// Starts the program twice, both processes released at the same moment.
struct Twins {
    PROCESS_INFORMATION process[2]{};
    explicit Twins(const std::wstring& exe) {
        const std::wstring folder = exe.substr(0, exe.find_last_of(L'\\'));
        for (PROCESS_INFORMATION& p : process) {
            STARTUPINFOW startup{};
            startup.cb = sizeof startup;
            std::wstring commandLine = L"\"" + exe + L"\"";
            if (!::CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr,
                                  folder.c_str(), &startup, &p)) {
                throw std::runtime_error("cannot start the program");
            }
        }
        for (PROCESS_INFORMATION& p : process) ::ResumeThread(p.hThread);
    }
    ~Twins() {
        for (PROCESS_INFORMATION& p : process) {
            if (!p.hProcess) continue;
            if (::WaitForSingleObject(p.hProcess, 0) == WAIT_TIMEOUT) ::TerminateProcess(p.hProcess, 1);
            ::CloseHandle(p.hThread);
            ::CloseHandle(p.hProcess);
        }
    }
    bool Ended(int i) const { return ::WaitForSingleObject(process[i].hProcess, 0) == WAIT_OBJECT_0; }
};

struct FindMain {
    DWORD processId;
    HWND found = nullptr;
};

BOOL CALLBACK FindMainProc(HWND hwnd, LPARAM lp) {
    auto* search = reinterpret_cast<FindMain*>(lp);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(hwnd, &owner);
    wchar_t name[32] = {};
    ::GetClassNameW(hwnd, name, 32);
    if (owner == search->processId && std::wstring(name) == L"TfmMain") {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

HWND MainWindowOf(DWORD processId) {
    FindMain search{processId};
    ::EnumWindows(FindMainProc, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

TEST_F(Faults, OfTwoCopiesStartedTogetherExactlyOneStaysEachTime) {
    Install();
    for (int round = 1; round <= 20; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        Twins twins(folder_ + L"Framlet.exe");
        // One ends at once; the other reaches the tray and stays there.
        ASSERT_TRUE(e2e::WaitUntil([&] { return twins.Ended(0) || twins.Ended(1); }, 15000)) << "neither copy ended";
        const int survivor = twins.Ended(0) ? 1 : 0;
        DWORD code = 1;
        ::GetExitCodeProcess(twins.process[1 - survivor].hProcess, &code);
        EXPECT_EQ(code, 0u);
        HWND main = nullptr;
        ASSERT_TRUE(e2e::WaitUntil(
            [&] {
                main = MainWindowOf(twins.process[survivor].dwProcessId);
                return main && !::IsWindowVisible(main) && e2e::TrayIcons().size() == 1;
            },
            15000))
            << "the other copy did not reach the tray";
        EXPECT_FALSE(twins.Ended(survivor));
        EXPECT_EQ(e2e::TrayIcons().size(), 1u);
        // The end of the session closes it without a question, so the next round starts clean.
        ::SendMessageW(main, WM_QUERYENDSESSION, 0, 0);
        ::SendMessageW(main, WM_ENDSESSION, TRUE, 0);
        ASSERT_TRUE(e2e::WaitUntil([&] { return twins.Ended(survivor); }, 15000)) << "the copy did not end";
        ASSERT_TRUE(e2e::WaitUntil([&] { return e2e::TrayIcons().empty(); }, 5000)) << "an icon stayed behind";
    }
}

}  // namespace
