// The main window on the paths that go wrong: input that arrives while a capture is handled,
// files that cannot be written, a session end that does not happen, a shell without a tray,
// and GDI allocations that fail. Each test drives the real window in this process.
#include <windows.h>

#include <shellapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "MainFormTestSupport_win.h"
#include "TestSupport.h"
#include "app/MainForm_win.h"
#include "app/Messages.h"
#include "platform/AppError.h"
#include "platform/MemoryBitmap.h"
#include "selection/SelectArea.h"
#include "selection/SelectionTestSupport.h"
#include "settings/FLConfig.h"
#include "win32/Application.h"
#include "win32/Win32TestSupport.h"

namespace {

using mainform_test::At;
using mainform_test::PatternPopup;
using mainform_test::PictureOf;

class MainFormFaults : public ::testing::Test {
protected:
    std::string SettingsFile() const { return dir.File("Framlet.ini"); }

    // As the main form, minimising hides the window as in the program.
    void Start(const std::string& settings = "", bool asMainForm = false) {
        if (!settings.empty()) WriteTestFile(SettingsFile(), settings);
        TheApplication().ResetTerminated();
        TheApplication().Restore();
        form = MakeForm<TfmMain>(MainWindowFiles{SettingsFile(), dir.Path() + "\\"});
        if (asMainForm) TheApplication().SetMainForm(form.get());
        form->Show();
        ::SetForegroundWindow(form->Handle());
        Pump();
        ::SetWindowPos(form->Handle(), nullptr, 300, 150, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    void TearDown() override {
        TheApplication().SetMainForm(nullptr);
        if (form) TheApplication().Restore();
        form.reset();
        TheApplication().ResetTerminated();
        Pump();
    }

    // A window capture of a pattern popup in the foreground; returns the pattern. What
    // beforeCapture queues is still waiting when the capture starts.
    MemoryBitmap CapturePattern(int width, int height, uint32_t seed = 0,
                                const std::function<void()>& beforeCapture = nullptr) {
        MemoryBitmap pattern = SelectionPattern(width, height);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) pattern.SetPixel(x, y, pattern.Pixel(x, y) ^ seed);
        }
        PatternPopup popup(0, 0, pattern);
        ::SetForegroundWindow(popup.Handle());
        Pump();
        if (beforeCapture) beforeCapture();
        form->CaptureImage(TfmMain::kCaptureWindow);
        return pattern;
    }

    Image& View() { return form->imgCapture(); }
    void Mouse(UINT msg, int x, int y, WPARAM keys = 0) { ::SendMessageW(View().Handle(), msg, keys, At(x, y)); }
    void PostMouse(UINT msg, int x, int y, WPARAM keys = 0) { ::PostMessageW(View().Handle(), msg, keys, At(x, y)); }

    TempDir dir;
    std::unique_ptr<TfmMain> form;
};

// Moves and the release of a drag in progress that are queued when a capture arrives reach the
// view while the capture lets the message loop run: they must not draw the old frame into the
// new picture.
TEST_F(MainFormFaults, ACaptureDuringADragEndsItBeforeQueuedMovesAndTheReleaseArrive) {
    Start("[Trim]\r\nType=2\r\n");
    CapturePattern(160, 120);
    Mouse(WM_LBUTTONDOWN, 30, 20, MK_LBUTTON);
    Mouse(WM_MOUSEMOVE, 80, 70, MK_LBUTTON);
    ASSERT_EQ(form->SelectArea()->State, TSelectArea::kStateDrawing);
    ASSERT_EQ(::GetCapture(), View().Handle());

    const MemoryBitmap fresh = CapturePattern(150, 110, 0x00FFFF, [&] {
        PostMouse(WM_MOUSEMOVE, 100, 90, MK_LBUTTON);
        PostMouse(WM_MOUSEMOVE, 120, 100, MK_LBUTTON);
        PostMouse(WM_LBUTTONUP, 120, 100);
    });
    EXPECT_EQ(form->SelectArea()->State, TSelectArea::kStateNone);
    EXPECT_NE(::GetCapture(), View().Handle());
    EXPECT_TRUE(PictureOf(View()) == fresh);
    // Moves and a release that come later still find nothing to draw.
    Mouse(WM_MOUSEMOVE, 130, 105, MK_LBUTTON);
    Mouse(WM_LBUTTONUP, 130, 105);
    EXPECT_TRUE(PictureOf(View()) == fresh);
    EXPECT_FALSE(form->Get<Button>("btnUnSelect").Enabled());
    // The next press starts a rectangle of its own.
    Mouse(WM_LBUTTONDOWN, 10, 10, MK_LBUTTON);
    EXPECT_EQ(form->SelectArea()->State, TSelectArea::kStateDrawing);
    Mouse(WM_LBUTTONUP, 10, 10);
}

// The same for a rectangle being moved (adjusting), with its grips in the old picture.
TEST_F(MainFormFaults, ACaptureWhileARectangleIsMovedLeavesTheNewPictureUntouched) {
    Start("[Trim]\r\nType=2\r\n");
    CapturePattern(160, 120);
    Mouse(WM_LBUTTONDOWN, 30, 20, MK_LBUTTON);
    Mouse(WM_MOUSEMOVE, 80, 70, MK_LBUTTON);
    Mouse(WM_LBUTTONUP, 80, 70);
    Mouse(WM_LBUTTONDOWN, 50, 40, MK_LBUTTON);
    ASSERT_EQ(form->SelectArea()->State, TSelectArea::kStateAdjusting);

    const MemoryBitmap fresh = CapturePattern(150, 110, 0xFF00FF, [&] {
        PostMouse(WM_MOUSEMOVE, 60, 50, MK_LBUTTON);
        PostMouse(WM_LBUTTONUP, 60, 50);
    });
    EXPECT_EQ(form->SelectArea()->State, TSelectArea::kStateNone);
    EXPECT_NE(::GetCapture(), View().Handle());
    EXPECT_TRUE(PictureOf(View()) == fresh);
}

// Another program holds the settings file open without letting it be replaced.
class HeldOpen {
public:
    explicit HeldOpen(const std::string& path)
        : handle_(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr)) {}
    ~HeldOpen() {
        if (handle_ != INVALID_HANDLE_VALUE) ::CloseHandle(handle_);
    }
    HeldOpen(const HeldOpen&) = delete;
    HeldOpen& operator=(const HeldOpen&) = delete;
    bool Held() const { return handle_ != INVALID_HANDLE_VALUE; }

private:
    HANDLE handle_;
};

TEST_F(MainFormFaults, ASettingsFileThatCannotBeWrittenAtTheEndIsReportedOnce) {
    const std::string settings = "[Trim]\r\nWidth=300\r\n";
    Start(settings);
    form->Get<Edit>("edtWidth").SetText("321");  // never left, so stored only at the end
    const HeldOpen lock(SettingsFile());
    ASSERT_TRUE(lock.Held());
    const CapturedErrors errors;
    ::DestroyWindow(form->Handle());
    form.reset();
    ASSERT_EQ(CapturedErrors::texts().size(), 1u);
    EXPECT_NE(CapturedErrors::texts()[0].find("Framlet.ini"), std::string::npos) << CapturedErrors::texts()[0];
    EXPECT_EQ(ReadTestFile(SettingsFile()).value_or(""), settings);
}

HWND answeredBox = nullptr;

// A timer's answer to a message box of this thread: Cancel.
void CALLBACK AnswerCancel(HWND, UINT, UINT_PTR, DWORD) {
    HWND box = ::FindWindowW(L"#32770", nullptr);
    if (box && ::GetWindowThreadProcessId(box, nullptr) == ::GetCurrentThreadId()) {
        answeredBox = box;
        ::PostMessageW(box, WM_COMMAND, IDCANCEL, 0);
    }
}

TEST_F(MainFormFaults, ACancelledLogOffLeavesTheCloseQuestionAsking) {
    Start();
    ASSERT_EQ(::SendMessageW(form->Handle(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), TRUE);
    bool canClose = false;
    form->FormCloseQuery(canClose);
    ASSERT_TRUE(canClose);
    // Another program refused: the session goes on.
    ::SendMessageW(form->Handle(), WM_ENDSESSION, FALSE, ENDSESSION_LOGOFF);
    EXPECT_TRUE(::IsWindow(form->Handle()));
    // The user's close asks again; the question box is answered Cancel from a timer.
    answeredBox = nullptr;
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 100, AnswerCancel);
    canClose = true;
    form->FormCloseQuery(canClose);
    ::KillTimer(nullptr, timer);
    EXPECT_NE(answeredBox, nullptr) << "no question was asked";
    EXPECT_FALSE(canClose);
    // A log-off that does happen still needs no question.
    ASSERT_EQ(::SendMessageW(form->Handle(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), TRUE);
    form->FormCloseQuery(canClose);
    EXPECT_TRUE(canClose);
}

// A shell tray that is not ready: the first window of the tray's class, which takes no icon.
class RefusingTray {
public:
    RefusingTray() {
        WNDCLASSW wc{};
        wc.lpfnWndProc = Proc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"Shell_TrayWnd";
        ::RegisterClassW(&wc);
        hwnd_ = ::CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, wc.lpszClassName, L"", WS_POPUP, 0, 0, 1, 1,
                                  nullptr, nullptr, wc.hInstance, nullptr);
    }
    ~RefusingTray() {
        ::DestroyWindow(hwnd_);
        ::UnregisterClassW(L"Shell_TrayWnd", ::GetModuleHandleW(nullptr));
    }
    RefusingTray(const RefusingTray&) = delete;
    RefusingTray& operator=(const RefusingTray&) = delete;
    // Whether the shell now refuses an icon: tried with an icon of this window.
    bool Refuses() const {
        NOTIFYICONDATAW probe{};
        probe.cbSize = sizeof probe;
        probe.hWnd = hwnd_;
        probe.uID = 7;
        probe.uFlags = NIF_TIP;
        if (!::Shell_NotifyIconW(NIM_ADD, &probe)) return true;
        ::Shell_NotifyIconW(NIM_DELETE, &probe);
        return false;
    }

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
        if (msg == WM_COPYDATA) return FALSE;
        return ::DefWindowProcW(hwnd, msg, wp, lp);
    }
    HWND hwnd_ = nullptr;
};

TEST_F(MainFormFaults, WithoutATrayTheWindowKeepsATaskbarButtonUntilATimerGetsTheIconIn) {
    auto tray = std::make_unique<RefusingTray>();
    ASSERT_TRUE(tray->Refuses());
    Start("", true);
    ASSERT_TRUE(TheApplication().Minimized());
    EXPECT_FALSE(form->InTray());
    EXPECT_TRUE(::IsWindowVisible(form->Handle()));
    EXPECT_TRUE(::IsIconic(form->Handle()));
    // Still no tray a while later: still reachable, still no icon.
    Pump();
    EXPECT_TRUE(::IsWindowVisible(form->Handle()));
    // The shell gets ready: the icon goes in and the window into the tray, without a message.
    tray.reset();
    EXPECT_TRUE(PumpUntil([&] { return form->InTray(); }, 5000));
    EXPECT_FALSE(::IsWindowVisible(form->Handle()));
    EXPECT_TRUE(TheApplication().Minimized());
    // And it works as always: restoring takes the icon away.
    TheApplication().Restore();
    EXPECT_FALSE(form->InTray());
    EXPECT_TRUE(::IsWindowVisible(form->Handle()));
}

TEST_F(MainFormFaults, WithoutATrayTaskbarCreatedGetsTheIconInAtOnce) {
    auto tray = std::make_unique<RefusingTray>();
    ASSERT_TRUE(tray->Refuses());
    Start("", true);
    ASSERT_FALSE(form->InTray());
    tray.reset();
    ::SendMessageW(form->Handle(), ::RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    EXPECT_TRUE(form->InTray());
    EXPECT_FALSE(::IsWindowVisible(form->Handle()));
}

TEST_F(MainFormFaults, ATaskbarButtonKeptForAMissingTrayRestoresTheProgram) {
    auto tray = std::make_unique<RefusingTray>();
    ASSERT_TRUE(tray->Refuses());
    Start("", true);
    ASSERT_TRUE(::IsIconic(form->Handle()));
    // What a click on the taskbar button does.
    ::SendMessageW(form->Handle(), WM_SYSCOMMAND, SC_RESTORE, 0);
    EXPECT_FALSE(TheApplication().Minimized());
    EXPECT_TRUE(::IsWindowVisible(form->Handle()));
    EXPECT_FALSE(::IsIconic(form->Handle()));
    // Shown, the program wants no icon: a tray that comes now gets none.
    tray.reset();
    Pump();
    PumpUntil([] { return false; }, 1500);
    EXPECT_FALSE(form->InTray());
    EXPECT_TRUE(::IsWindowVisible(form->Handle()));
}

// Takes every GDI handle the process can still get (small bitmaps) while alive.
class GdiHoard {
public:
    GdiHoard() {
        while (held_.size() < 200000) {
            HBITMAP bitmap = ::CreateBitmap(1, 1, 1, 1, nullptr);
            if (!bitmap) break;
            held_.push_back(bitmap);
        }
    }
    ~GdiHoard() { Free(); }
    GdiHoard(const GdiHoard&) = delete;
    GdiHoard& operator=(const GdiHoard&) = delete;
    bool Exhausted() const { return held_.size() < 200000; }
    void Free() {
        for (HBITMAP bitmap : held_) ::DeleteObject(bitmap);
        held_.clear();
    }

private:
    std::vector<HBITMAP> held_;
};

TEST_F(MainFormFaults, ACaptureWithoutGdiMemoryReportsOnceAndKeepsTheViewAsItWas) {
    Start("[Trim]\r\nType=2\r\n");
    const MemoryBitmap first = CapturePattern(160, 120);
    Mouse(WM_LBUTTONDOWN, 30, 20, MK_LBUTTON);
    Mouse(WM_MOUSEMOVE, 80, 70, MK_LBUTTON);
    Mouse(WM_LBUTTONUP, 80, 70);
    const MemoryBitmap selected = PictureOf(View());
    ASSERT_FALSE(selected == first);  // the frame is in it
    {
        const CapturedErrors errors;
        GdiHoard hoard;
        ASSERT_TRUE(hoard.Exhausted());
        ::SendMessageW(form->Handle(), WM_CAPTURE_SCREEN, 0, 0);
        hoard.Free();
        ASSERT_EQ(CapturedErrors::texts().size(), 1u);
        EXPECT_NE(CapturedErrors::texts()[0].find("メモリが足りません"), std::string::npos)
            << CapturedErrors::texts()[0];
    }
    EXPECT_EQ(View().Width(), 160);
    EXPECT_EQ(View().Height(), 120);
    EXPECT_TRUE(PictureOf(View()) == selected);
    EXPECT_EQ(form->SelectArea()->State, TSelectArea::kStateSelected);
    // The selection still works on it, and a capture with memory again replaces it.
    form->btnUnSelectClick(nullptr);
    EXPECT_TRUE(PictureOf(View()) == first);
    const MemoryBitmap next = CapturePattern(150, 110, 0x00FFFF);
    EXPECT_TRUE(PictureOf(View()) == next);
}

TEST_F(MainFormFaults, AViewCopyWithoutGdiMemoryThrowsAndKeepsThePicture) {
    Start();
    const MemoryBitmap shown = CapturePattern(160, 120);
    UniqueBitmap other(::CreateBitmap(40, 30, 1, 32, nullptr));
    ASSERT_TRUE(other);
    {
        GdiHoard hoard;
        ASSERT_TRUE(hoard.Exhausted());
        bool thrown = false;
        try {
            View().AssignPicture(other.Get());
        } catch (const AppError&) {
            thrown = true;
        }
        hoard.Free();
        EXPECT_TRUE(thrown);
    }
    EXPECT_TRUE(View().HasPicture());
    EXPECT_TRUE(PictureOf(View()) == shown);
}

}  // namespace
