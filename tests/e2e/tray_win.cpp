// Framlet.exe as a resident program, under Wine: one copy only, the tray icon, the capture keys
// through the keyboard hook, the way back to the tray, and the ways the program ends. Input is
// real (SendInput) wherever a user would press or click.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <string_view>

#include "Driver_win.h"
#include "Framlet_win.h"
#include "TestSupport.h"
#include "TestWindows_win.h"
#include "Tray_win.h"
#include "app/Messages.h"
#include "platform/Text.h"
#include "settings/IniFile.h"

namespace {

using e2e::CentreOf;
using e2e::FromAnsi;

class Resident : public e2e::FramletFixture {
protected:
    void InstallWithTexts() {
        Install("", ReadTestFile(std::string(FRAMLET_SOURCE_DIR) + "\\resources\\Resource.ini").value());
    }

    // Starts the program and waits until it has gone to the tray.
    void Launch() {
        ASSERT_TRUE(e2e::TrayIcons().empty()) << "an icon is left from before";
        StartIntoTray();
    }

    void TearDown() override {
        e2e::FramletFixture::TearDown();
        program_.reset();
        // Whatever the program did, the next scenario starts with an empty tray.
        EXPECT_TRUE(e2e::WaitUntil([] { return e2e::TrayIcons().empty(); }, 5000)) << "the icon outlived the program";
    }

    bool WaitShown() {
        return e2e::WaitUntil([&] { return Shown(); });
    }
    bool WaitInTray() {
        return e2e::WaitUntil([&] { return !::IsWindowVisible(main_) && e2e::TrayIcons().size() == 1; });
    }
    // Once the window has come forward, Wine settles its focus with the X server a little
    // later; a click in that moment can be lost, so the pointer comes first and rests.
    void ClickControl(std::string_view name) {
        const POINT at = CentreOf(Control(name));
        e2e::MoveMouse(at.x, at.y);
        e2e::WaitUntil([] { return false; }, 400);
        e2e::Click(at.x, at.y);
    }
    void DoubleClickTrayIcon() {
        const std::vector<HWND> icons = e2e::TrayIcons();
        ASSERT_EQ(icons.size(), 1u);
        const POINT at = CentreOf(icons.front());
        e2e::DoubleClick(at.x, at.y);
    }
    std::wstring CloseAndReadQuestion(HWND& box) {
        ::PostMessageW(main_, WM_CLOSE, 0, 0);
        box = e2e::WaitForMessageBox(program_->Id());
        if (!box) return L"(no message box)";
        EXPECT_EQ(e2e::WindowText(box), L"Framlet");
        EXPECT_NE(::GetDlgItem(box, IDOK), nullptr);
        EXPECT_NE(::GetDlgItem(box, IDCANCEL), nullptr);
        EXPECT_EQ(::GetDlgItem(box, IDYES), nullptr);
        return e2e::MessageBoxText(box);
    }
};

TEST_F(Resident, AFreshStartEndsInTheTrayWithItsWindowHidden) {
    Install();
    Launch();
    EXPECT_FALSE(::IsWindowVisible(main_));
    EXPECT_EQ(e2e::FindMessageBox(program_->Id()), nullptr);  // the hook is in: no complaint
    // No other window of the program is on the screen either (no taskbar button to be had).
    EXPECT_EQ(program_->FindTopWindow(L"TfmMain"), main_);
}

TEST_F(Resident, ASecondCopyEndsAtOnceWithoutAWindowAnIconOrAMessage) {
    Install();
    Launch();
    e2e::Program second(folder_ + L"Framlet.exe");
    DWORD exitCode = 1;
    ASSERT_TRUE(second.WaitForExit(5000, &exitCode)) << "the second copy keeps running";
    EXPECT_EQ(exitCode, 0u);
    EXPECT_EQ(second.FindTopWindow(nullptr), nullptr);
    EXPECT_EQ(e2e::TrayIcons().size(), 1u);
    EXPECT_EQ(e2e::FindMessageBox(second.Id()), nullptr);
    EXPECT_EQ(e2e::FindMessageBox(program_->Id()), nullptr);
    // The first copy is undisturbed and still answers the capture key.
    EXPECT_FALSE(::IsWindowVisible(main_));
    e2e::PressKey(VK_SNAPSHOT);
    EXPECT_TRUE(WaitShown());
}

TEST_F(Resident, PrintScreenCapturesTheScreenAndShowsTheWindowWithoutTheIcon) {
    Install();
    Launch();
    e2e::PressKey(VK_SNAPSHOT);
    ASSERT_TRUE(WaitShown());
    EXPECT_TRUE(e2e::WaitUntil([] { return e2e::TrayIcons().empty(); }));
    EXPECT_EQ(ViewSize().cx, ::GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(ViewSize().cy, ::GetSystemMetrics(SM_CYSCREEN));
}

TEST_F(Resident, AltPrintScreenCapturesTheForegroundWindow) {
    Install();
    Launch();
    e2e::TargetWindow target(60, 40, 310, 220);
    ::SetForegroundWindow(target.Handle());
    ASSERT_TRUE(e2e::WaitUntil([&] { return ::GetForegroundWindow() == target.Handle(); }));
    RECT outer;
    ::GetWindowRect(target.Handle(), &outer);
    e2e::PressKey(VK_SNAPSHOT, true);
    ASSERT_TRUE(WaitShown());
    EXPECT_EQ(ViewSize().cx, outer.right - outer.left);
    EXPECT_EQ(ViewSize().cy, outer.bottom - outer.top);
    EXPECT_TRUE(e2e::WaitUntil([] { return e2e::TrayIcons().empty(); }));
}

TEST_F(Resident, ADoubleClickOnTheIconRestoresAndCancelGoesBackToTheTray) {
    Install();
    Launch();
    DoubleClickTrayIcon();
    ASSERT_TRUE(WaitShown());
    EXPECT_TRUE(e2e::WaitUntil([] { return e2e::TrayIcons().empty(); }));
    ClickControl("btnCancel");
    EXPECT_TRUE(WaitInTray());
    // A single click is not enough.
    ASSERT_EQ(e2e::TrayIcons().size(), 1u);
    const POINT at = CentreOf(e2e::TrayIcons().front());
    e2e::Click(at.x, at.y);
    e2e::WaitUntil([] { return false; }, 600);
    EXPECT_FALSE(::IsWindowVisible(main_));
    DoubleClickTrayIcon();
    EXPECT_TRUE(WaitShown());
    ClickControl("btnCancel");
    EXPECT_TRUE(WaitInTray());
}

TEST_F(Resident, TheIconsTipIsTheProgramsName) {
    Install();
    Launch();
    const std::vector<HWND> icons = e2e::TrayIcons();
    ASSERT_EQ(icons.size(), 1u);
    EXPECT_EQ(e2e::TrayIconTip(icons.front()), L"VEDivavov");
}

// Wine's tray tells the program of a click on its icon with a sent message (SendNotifyMessage),
// which the program handles inside its wait for the next message; the double click's handler
// then lets waiting messages run, and a close request may be among them. Answered OK, the
// question must end the program: the loop that waits outside must not miss the end.
TEST_F(Resident, OkToACloseRequestHandledInsideTheIconsDoubleClickEndsTheProgram) {
    Install();
    for (int round = 1; round <= 3; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        ASSERT_NO_FATAL_FAILURE(Launch());
        // Sent as the tray sends, and in this order: the close request reaches the program
        // while the double click's handler runs.
        ::SendNotifyMessageW(main_, WM_TRAY_NOTIFY, 1, WM_LBUTTONDBLCLK);
        ::SendNotifyMessageW(main_, WM_CLOSE, 0, 0);
        HWND box = e2e::WaitForMessageBox(program_->Id());
        ASSERT_NE(box, nullptr) << "no close question";
        ASSERT_TRUE(e2e::AnswerMessageBox(box, IDOK));
        DWORD exitCode = 1;
        ASSERT_TRUE(program_->WaitForExit(5000, &exitCode)) << "still running after OK";
        EXPECT_EQ(exitCode, 0u);
        program_.reset();
        ASSERT_TRUE(e2e::WaitUntil([] { return e2e::TrayIcons().empty(); }, 5000));
    }
}

// The same with a real double click on the icon and the close request right after it.
TEST_F(Resident, OkRightAfterARealDoubleClickOnTheIconEndsTheProgram) {
    Install();
    for (int round = 1; round <= 3; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        ASSERT_NO_FATAL_FAILURE(Launch());
        DoubleClickTrayIcon();
        ASSERT_TRUE(WaitShown());
        ::PostMessageW(main_, WM_CLOSE, 0, 0);
        HWND box = e2e::WaitForMessageBox(program_->Id());
        ASSERT_NE(box, nullptr) << "no close question";
        ASSERT_TRUE(e2e::AnswerMessageBox(box, IDOK));
        ASSERT_TRUE(program_->WaitForExit(5000)) << "still running after OK";
        program_.reset();
        ASSERT_TRUE(e2e::WaitUntil([] { return e2e::TrayIcons().empty(); }, 5000));
    }
}

TEST_F(Resident, MinimisingTwiceAddsOneIconAndRestoringTwiceTakesItAway) {
    Install();
    Launch();
    ::PostMessageW(main_, WM_TRAY_NOTIFY, 1, WM_LBUTTONDBLCLK);
    ASSERT_TRUE(WaitShown());
    ::PostMessageW(main_, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ::PostMessageW(main_, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ASSERT_TRUE(WaitInTray());
    ::SendMessageW(main_, WM_NULL, 0, 0);  // both minimise requests have been handled
    EXPECT_EQ(e2e::TrayIcons().size(), 1u);
    ::PostMessageW(main_, WM_TRAY_NOTIFY, 1, WM_LBUTTONDBLCLK);
    ::PostMessageW(main_, WM_TRAY_NOTIFY, 1, WM_LBUTTONDBLCLK);
    ASSERT_TRUE(WaitShown());
    ::SendMessageW(main_, WM_NULL, 0, 0);
    EXPECT_TRUE(e2e::WaitUntil([] { return e2e::TrayIcons().empty(); }));
    // And the next minimise still puts the icon in.
    ::PostMessageW(main_, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_TRUE(WaitInTray());
}

TEST_F(Resident, ClosingAsksAndCancelKeepsTheProgram) {
    InstallWithTexts();
    Launch();
    e2e::PressKey(VK_SNAPSHOT);
    ASSERT_TRUE(WaitShown());
    HWND box = nullptr;
    const std::wstring question = CloseAndReadQuestion(box);
    const IniFile texts(dir_.File("Resource.ini"));
    const std::wstring expected = L"Framlet" + FromAnsi(texts.ReadString("message", "fmMain_Close_1", "")) + L"\r" +
                                  FromAnsi(texts.ReadString("message", "fmMain_Close_2", "")) + L"\r" +
                                  FromAnsi(texts.ReadString("message", "fmMain_Close_3", ""));
    EXPECT_EQ(question, expected);
    EXPECT_EQ(question.rfind(L"Framlet", 0), 0u);
    ASSERT_TRUE(box);
    ASSERT_TRUE(e2e::AnswerMessageBox(box, IDCANCEL));
    e2e::WaitUntil([] { return false; }, 300);
    EXPECT_TRUE(program_->Running());
    EXPECT_TRUE(::IsWindowVisible(main_));
    // Still itself: the capture key works.
    ClickControl("btnCancel");
    ASSERT_TRUE(WaitInTray());
    e2e::PressKey(VK_SNAPSHOT);
    EXPECT_TRUE(WaitShown());
}

TEST_F(Resident, ClosingWithOkEndsTheProgramAndKeepsTheControlsValues) {
    InstallWithTexts();
    Launch();
    e2e::PressKey(VK_SNAPSHOT);
    ASSERT_TRUE(WaitShown());
    // Changed without leaving the box or clicking: only the end of the program stores them.
    ::SendMessageW(Control("edtWidth"), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"432"));
    ::SendMessageW(Control("cbxEmphasis"), BM_SETCHECK, BST_CHECKED, 0);
    HWND box = nullptr;
    CloseAndReadQuestion(box);
    ASSERT_TRUE(box);
    ASSERT_TRUE(e2e::AnswerMessageBox(box, IDOK));
    DWORD exitCode = 1;
    ASSERT_TRUE(program_->WaitForExit(5000, &exitCode));
    EXPECT_EQ(exitCode, 0u);
    const IniFile settings(dir_.File("Framlet.ini"));
    EXPECT_EQ(settings.ReadInteger("Trim", "Width", 0), 432);
    EXPECT_TRUE(settings.ReadBool("Effect", "Emphasis", false));
    EXPECT_TRUE(e2e::WaitUntil([] { return e2e::TrayIcons().empty(); }));
}

TEST_F(Resident, WithoutResourceIniTheQuestionNamesTheMissingFile) {
    Install();
    Launch();
    HWND box = nullptr;
    const std::wstring question = CloseAndReadQuestion(box);
    const std::wstring missing = L"Massage File is not found. (" + folder_ + L"Resource.ini)";
    EXPECT_EQ(question, L"Framlet" + missing + L"\r" + missing + L"\r" + missing);
    ASSERT_TRUE(box);
    ASSERT_TRUE(e2e::AnswerMessageBox(box, IDOK));
    EXPECT_TRUE(program_->WaitForExit(5000));
}

TEST_F(Resident, TheEndOfTheSessionEndsTheProgramWithoutAQuestion) {
    InstallWithTexts();
    Launch();
    DWORD_PTR answer = 0;
    ASSERT_TRUE(::SendMessageTimeoutW(main_, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 5000, &answer))
        << "the program did not answer (a question box waits?)";
    EXPECT_EQ(answer, static_cast<DWORD_PTR>(TRUE));
    EXPECT_EQ(e2e::FindMessageBox(program_->Id()), nullptr);
    ::SendMessageTimeoutW(main_, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 5000, &answer);
    EXPECT_TRUE(program_->WaitForExit(5000));
    EXPECT_TRUE(e2e::WaitUntil([] { return e2e::TrayIcons().empty(); }));
}

}  // namespace
