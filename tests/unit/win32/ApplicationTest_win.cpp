#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "TestLayouts.h"
#include "Win32TestSupport.h"
#include "platform/AppError.h"
#include "platform/Text.h"
#include "win32/Application.h"
#include "win32/Form.h"

namespace {

class MainForm : public Form {
public:
    MainForm() { Create(kTestLayout); }
    // The test's own messages (WM_APP and up; the system uses some of WM_USER's), as a form of
    // the program reads its own in its switch.
    std::function<void(UINT msg)> OnPrivateMessage;

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg >= WM_APP && msg < 0xC000 && OnPrivateMessage) {
            OnPrivateMessage(msg);
            return 0;
        }
        return Form::HandleMessage(msg, wp, lp);
    }
};

// Minimise and restore act on the application's main form; each test makes its own.
class ApplicationTest : public ::testing::Test {
protected:
    void SetUp() override {
        app.ResetTerminated();
        form = std::make_unique<MainForm>();
        app.SetMainForm(form.get());
        form->Show();
        Pump();
        app.OnMinimize = [this] { log.push_back("minimize:" + std::string(Shown() ? "shown" : "hidden")); };
        app.OnRestore = [this] { log.push_back("restore:" + std::string(Shown() ? "shown" : "hidden")); };
    }
    void TearDown() override {
        app.OnMinimize = nullptr;
        app.OnRestore = nullptr;
        if (app.Minimized()) app.Restore();
        form.reset();
        Pump();
        app.ResetTerminated();
    }
    bool Shown() const { return ::IsWindowVisible(form->Handle()); }

    Application& app = TheApplication();
    std::unique_ptr<MainForm> form;
    std::vector<std::string> log;
};

TEST_F(ApplicationTest, MinimiseHidesTheMainWindowThenRaisesTheEventOnce) {
    app.Minimize();
    EXPECT_TRUE(app.Minimized());
    EXPECT_FALSE(Shown());
    app.Minimize();  // already minimised: nothing more
    EXPECT_EQ(log, std::vector<std::string>{"minimize:hidden"});
    app.Restore();
    EXPECT_FALSE(app.Minimized());
    EXPECT_TRUE(Shown());
    EXPECT_FALSE(::IsIconic(form->Handle()));
    app.Restore();
    EXPECT_EQ(log, (std::vector<std::string>{"minimize:hidden", "restore:shown"}));
}

TEST_F(ApplicationTest, HandlersChainAndThePreviousOnesCanBePutBack) {
    // What a window does when it hangs itself on the events: keep, call first, restore later.
    const auto previousMinimize = app.OnMinimize;
    const auto previousRestore = app.OnRestore;
    app.OnMinimize = [&, previousMinimize] {
        if (previousMinimize) previousMinimize();
        log.push_back("chained minimize");
    };
    app.OnRestore = [&, previousRestore] {
        if (previousRestore) previousRestore();
        log.push_back("chained restore");
    };
    app.Minimize();
    app.Restore();
    EXPECT_EQ(log,
              (std::vector<std::string>{"minimize:hidden", "chained minimize", "restore:shown", "chained restore"}));
    app.OnMinimize = previousMinimize;
    app.OnRestore = previousRestore;
    log.clear();
    app.Minimize();
    app.Restore();
    EXPECT_EQ(log, (std::vector<std::string>{"minimize:hidden", "restore:shown"}));
}

TEST_F(ApplicationTest, AnErrorInAHandlerReachesTheErrorHandlerAndTheProgramGoesOn) {
    CapturedErrors errors;
    auto& save = form->Get<Button>("btnSave");
    int clicks = 0;
    save.OnClick = [&](Control&) {
        ++clicks;
        throw AppError("ファイルを作成できません");
    };
    ::SendMessageW(save.Handle(), BM_CLICK, 0, 0);
    ::SendMessageW(save.Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(clicks, 2);
    EXPECT_EQ(CapturedErrors::texts(),
              (std::vector<std::string>{"ファイルを作成できません", "ファイルを作成できません"}));

    // From a key handled in the message loop, from a private message, from the creation of a
    // form, from a mouse event of a picture, and an error that is not a std::exception.
    CapturedErrors::texts().clear();
    form->SetKeyPreview(true);
    form->OnKeyDown = [](unsigned&, ShiftState) { throw AppError("key"); };
    form->Get<Edit>("edtWidth").SetFocus();
    PostKey(form->Get<Edit>("edtWidth").Handle(), VK_ESCAPE);
    form->OnPrivateMessage = [](UINT) { throw AppError("posted"); };
    ::PostMessageW(form->Handle(), WM_APP + 1, 0, 0);
    form->Get<Image>("imgCapture").OnMouseDown = [](Control&, MouseButton, ShiftState, int, int) { throw 42; };
    ::PostMessageW(form->Get<Image>("imgCapture").Handle(), WM_LBUTTONDOWN, MK_LBUTTON, 0);
    Pump();
    ::ReleaseCapture();
    ASSERT_EQ(CapturedErrors::texts().size(), 3u);
    EXPECT_EQ(CapturedErrors::texts()[0], "key");
    EXPECT_EQ(CapturedErrors::texts()[1], "posted");
    EXPECT_FALSE(CapturedErrors::texts()[2].empty());

    // The window still works.
    form->OnKeyDown = nullptr;
    save.OnClick = [&](Control&) { ++clicks; };
    ::SendMessageW(save.Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(clicks, 3);
}

TEST_F(ApplicationTest, AVetoingCloseHandlerThatFailsKeepsTheWindow) {
    CapturedErrors errors;
    form->OnCloseQuery = [](bool&) { throw AppError("close"); };
    ::SendMessageW(form->Handle(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(::IsWindow(form->Handle()));
    EXPECT_EQ(CapturedErrors::texts(), std::vector<std::string>{"close"});
}

// The standard handler shows the text in a message box and returns when the user closes it.
TEST(StandardErrorHandler, ShowsTheUtf8TextInAMessageBoxCaptionedWithTheTitle) {
    Application& app = TheApplication();
    const std::u16string oldTitle = app.Title();
    app.SetTitle(u"Framlet テスト");
    std::atomic<bool> found{false};
    std::u16string text;
    std::u16string caption;
    std::thread closer([&] {
        for (int i = 0; i < 500 && !found; ++i) {
            HWND box = ::FindWindowW(L"#32770", L"Framlet テスト");
            if (box) {
                wchar_t buffer[256] = {};
                // The text of a message box is its static control with the id 0xFFFF.
                ::GetDlgItemTextW(box, 0xFFFF, buffer, 256);
                text = reinterpret_cast<const char16_t*>(buffer);
                ::GetWindowTextW(box, buffer, 256);
                caption = reinterpret_cast<const char16_t*>(buffer);
                found = true;
                ::PostMessageW(box, WM_COMMAND, IDOK, 0);
                return;
            }
            ::Sleep(10);
        }
    });
    app.InstallErrorHandler();
    ReportError(AppError("画像を保存できません: C:\\写真\\a.jpg"));
    SetErrorReporter(nullptr);
    closer.join();
    app.SetTitle(oldTitle);
    ASSERT_TRUE(found);
    EXPECT_EQ(text, u"画像を保存できません: C:\\写真\\a.jpg");
    EXPECT_EQ(caption, u"Framlet テスト");
}

// A handler of a message sent from another thread runs inside the GetMessage of the loop,
// which goes on waiting for a posted message when the handler returns. A quit that the
// handler's own ProcessMessages took must still end that loop.
TEST_F(ApplicationTest, AQuitTakenInsideASentMessagesHandlerStillEndsTheWaitingLoop) {
    constexpr UINT kSent = WM_APP + 9, kWakeUp = WM_APP + 10;
    bool handled = false;
    form->OnPrivateMessage = [&](UINT msg) {
        if (msg != kSent) return;
        handled = true;
        app.Terminate();
        app.ProcessMessages();
    };
    std::atomic<bool> done = false, wokenUp = false;
    std::thread sender([&] {
        ::SendNotifyMessageW(form->Handle(), kSent, 0, 0);
        // Only if the loop missed its end: wake it with a posted message, so the test fails
        // instead of hanging.
        for (int i = 0; i < 250 && !done; ++i) ::Sleep(20);
        if (!done) {
            wokenUp = true;
            ::PostMessageW(form->Handle(), kWakeUp, 0, 0);
        }
    });
    app.Run();
    done = true;
    sender.join();
    EXPECT_TRUE(handled);
    EXPECT_TRUE(app.Terminated());
    EXPECT_FALSE(wokenUp) << "the loop went on waiting after the quit";
}

TEST(ApplicationLoop, ProcessMessagesHandlesWhatIsQueuedAndStopsAtQuit) {
    Application& app = TheApplication();
    app.ResetTerminated();
    MainForm form;
    int seen = 0;
    form.OnPrivateMessage = [&](UINT msg) {
        if (msg == WM_APP + 7) ++seen;
    };
    for (int i = 0; i < 3; ++i) ::PostMessageW(form.Handle(), WM_APP + 7, 0, 0);
    app.ProcessMessages();
    EXPECT_EQ(seen, 3);
    app.Terminate();
    ::PostMessageW(form.Handle(), WM_APP + 7, 0, 0);
    app.ProcessMessages();
    EXPECT_TRUE(app.Terminated());
    app.Run();  // returns at once: the loop has ended
    app.ResetTerminated();
    Pump();
    EXPECT_EQ(seen, 4);
}

}  // namespace
