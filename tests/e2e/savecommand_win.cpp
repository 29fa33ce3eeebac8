// The Save and Print commands of Framlet.exe driven as a user drives them, under Wine: capture a
// known screen, select with the real mouse, save or print, and check the files, the page, the
// view and the window. The expected final pictures are computed here with the same trim
// pipeline on the known screen's pixels, so a file must match them exactly.
#include <windows.h>

#include <gtest/gtest.h>
#include <winspool.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Driver_win.h"
#include "Framlet_win.h"
#include "Pictures_win.h"
#include "Printing_win.h"
#include "TestSupport.h"
#include "TestWindows_win.h"
#include "Tray_win.h"
#include "app/Messages.h"
#include "app/PrintLayout.h"
#include "imaging/BmpFile.h"
#include "imaging/DIB.h"
#include "imaging/ImageLib.h"
#include "imaging/JpegWriter.h"
#include "imaging/SoftwareBitmap.h"
#include "platform/MemoryBitmap.h"
#include "platform/Text.h"
#include "settings/FLConfig.h"
#include "settings/IniFile.h"
#include "settings/OptionLayout.h"

namespace {

using e2e::FileExists;
using e2e::FromAnsi;
using e2e::FromShot;
using e2e::FromUtf8;
using e2e::JpegOf;
using e2e::ScreenPattern;
using e2e::ToAnsi;
using e2e::Trimmed;

class Commands : public e2e::FramletFixture {
protected:
    // The program starts into the tray, its window hidden.
    void Launch() {
        StartIntoTray();
        e2e::MoveTrayAside();
    }

    // A dialog or message box of the program.
    HWND ProgramDialog() const { return e2e::FindMessageBox(program_->Id()); }

    // As the capture key pressed while the program waits minimised. The pattern window must
    // cover the screen.
    void CaptureScreen() {
        CaptureFromTray(WM_CAPTURE_SCREEN);
        if (HasFatalFailure()) return;
        ASSERT_TRUE(e2e::WaitUntil([&] { return ViewSize().cx == ::GetSystemMetrics(SM_CXSCREEN); }));
    }
};

std::string AutoSettings(const std::string& folder, const std::string& more = "") {
    return "[Trim]\r\nType=2\r\n[Effect]\r\nReverse=1\r\nReverseType=0\r\n[Option]\r\nIsDefaultFolder="
           "1\r\nDefaultFolder=" +
           folder + "\r\nIsAutoFileName=1\r\nIsNoUseDialog=1\r\n" + more;
}

using Save = Commands;

TEST_F(Save, ADoubleClickWritesNumberedJpegFilesWithoutADialogAndMinimises) {
    e2e::PatternWindow pattern;
    const std::string out = dir_.File("out");
    std::filesystem::create_directory(out);
    Install(AutoSettings(out));
    Launch();
    CaptureScreen();
    Select(40, 50, 150, 120);
    const MemoryBitmap first = Trimmed(ScreenPattern(), Rect{40, 50, 150, 120}, SettingsFile());
    DoubleClickPicture(90, 80);

    const std::string file1 = out + "\\Capture_0001.jpg";
    ASSERT_TRUE(e2e::WaitUntil([&] { return !::IsWindowVisible(main_); })) << "not minimised";
    ASSERT_TRUE(FileExists(file1));
    EXPECT_EQ(ReadTestFile(file1).value_or(""), JpegOf(first)) << "not the final picture's JPEG";
    EXPECT_EQ(ViewSize().cx, first.Width());
    EXPECT_EQ(ViewSize().cy, first.Height());
    EXPECT_EQ(ProgramDialog(), nullptr) << "a dialog was shown";

    // Again, as the double click asks: the final picture once more through the pipeline, whole.
    const MemoryBitmap second = Trimmed(first, Rect{0, 0, first.Width() - 1, first.Height() - 1}, SettingsFile());
    ::PostMessageW(main_, WM_SAVE_REQUEST, 0, 0);
    const std::string file2 = out + "\\Capture_0002.jpg";
    ASSERT_TRUE(e2e::WaitUntil([&] { return FileExists(file2) && ReadTestFile(file2).value_or("").size() > 100; }));
    EXPECT_EQ(ReadTestFile(file2).value_or(""), JpegOf(second));
    EXPECT_EQ(ReadTestFile(file1).value_or(""), JpegOf(first)) << "the first file was touched";
    EXPECT_FALSE(::IsWindowVisible(main_));
}

TEST_F(Save, ABitmapIsWrittenAtTheDisplayDepthWithTheFinalPixelsAndTheViewShowsThem) {
    e2e::PatternWindow pattern;
    Install("[Trim]\r\nType=1\r\nScale=50\r\n[Option]\r\nIsDefaultFolder=1\r\nDefaultFolder=" + Folder() +
            "\\\r\nIsAutoFileName=1\r\nIsNoUseDialog=1\r\nDefaultFormatType=1\r\nPrefixOfFileName=shot-\r\n");
    Launch();
    CaptureScreen();
    // A one-pixel-wide selection is used two pixels wide.
    Select(30, 40, 30, 140);
    const MemoryBitmap expected = Trimmed(ScreenPattern(), Rect{30, 40, 31, 140}, SettingsFile());
    ClickButton("btnSave");
    const std::string file = Folder() + "\\shot-0001.bmp";
    ASSERT_TRUE(e2e::WaitUntil([&] { return !::IsWindowVisible(main_); })) << "not minimised";
    const std::string bytes = ReadTestFile(file).value_or("");
    ASSERT_GT(bytes.size(), 54u);
    HDC screen = ::GetDC(nullptr);
    const int depth = ::GetDeviceCaps(screen, BITSPIXEL);
    ::ReleaseDC(nullptr, screen);
    EXPECT_EQ(static_cast<uint8_t>(bytes[28]) | static_cast<uint8_t>(bytes[29]) << 8, depth);
    EXPECT_EQ(DecodeBmp(bytes), expected);
    EXPECT_EQ(ViewSize().cx, expected.Width());
    EXPECT_EQ(ViewSize().cy, expected.Height());
    // Shown again, the view holds the final picture.
    ::ShowWindow(main_, SW_SHOW);
    EXPECT_TRUE(e2e::WaitUntil([&] { return static_cast<bool>(ViewStartsWith(expected)); }));
}

TEST_F(Save, SaveBeforeAnyCaptureDoesNothing) {
    Install(AutoSettings(Folder()));
    Launch();
    // As the double click asks, but answered at once: a dialog would keep it waiting.
    DWORD_PTR result = 0;
    EXPECT_NE(::SendMessageTimeoutW(main_, WM_SAVE_REQUEST, 0, 0, SMTO_NORMAL, 5000, &result), 0)
        << "Save did not return";
    EXPECT_EQ(ProgramDialog(), nullptr);
    EXPECT_FALSE(FileExists(Folder() + "\\Capture_0001.jpg"));
    EXPECT_EQ(ViewSize().cx, 0);
    EXPECT_EQ(e2e::TrayIcons().size(), 1u);
}

TEST_F(Save, TheDialogOpensOnTheFolderWithTheProposedNameAndWritesByTheTypedExtension) {
    e2e::PatternWindow pattern;
    const std::string pics = dir_.File("pics");
    std::filesystem::create_directory(pics);
    Install("[Trim]\r\nType=3\r\n[Option]\r\nIsDefaultFolder=1\r\nDefaultFolder=" + pics + "\r\nIsAutoFileName=1\r\n");
    Launch();
    const struct {
        const wchar_t* typed;  // null: cancel
        const char* magic;
    } cases[] = {{L"picture.JPEG", "\xFF\xD8\xFF"}, {L"picture.png", "BM"}, {nullptr, nullptr}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed ? ToAnsi(c.typed) : "cancel");
        CaptureScreen();
        ClickButton("btnSave");
        HWND dialog = e2e::WaitForMessageBox(program_->Id());
        ASSERT_NE(dialog, nullptr) << "no dialog";
        ASSERT_TRUE(e2e::WaitUntil([&] { return ::GetForegroundWindow() == dialog; }));
        EXPECT_TRUE(::IsWindowVisible(main_)) << "minimised before the choice";
        // The proposed name and the filter entry shown.
        HWND nameBox = e2e::FindChildByText(dialog, L"Capture_0001.jpg", L"Edit");
        EXPECT_NE(nameBox, nullptr) << "the proposed name is not shown: " << e2e::ChildTexts(dialog);
        EXPECT_NE(e2e::FindChildByText(dialog, L"pics", L"ComboBox"), nullptr)
            << "not on the folder: " << e2e::ChildTexts(dialog);
        HWND readOnly = e2e::FindChildByText(dialog, FromUtf8("読み取り専用ファイルとして開く(&R)"));
        EXPECT_TRUE(readOnly == nullptr || !::IsWindowVisible(readOnly)) << "a read-only box is shown";
        EXPECT_NE(e2e::FindChildByText(dialog, FromUtf8("JPEG イメージファイル (*.jpg)")), nullptr) << "filter entry";
        if (c.typed) {
            // A bare name goes into the folder the dialog opened on.
            ASSERT_NE(nameBox, nullptr);
            ::SendMessageW(nameBox, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(c.typed));
            e2e::PressKey(VK_RETURN);
            const std::string file = pics + "\\" + ToAnsi(c.typed);
            ASSERT_TRUE(e2e::WaitUntil([&] { return !::IsWindowVisible(main_); })) << "not minimised";
            const std::string bytes = ReadTestFile(file).value_or("");
            EXPECT_EQ(bytes.substr(0, std::string_view(c.magic).size()), c.magic);
            ::DeleteFileW(FromAnsi(file).c_str());
        } else {
            e2e::PressKey(VK_ESCAPE);
            ASSERT_TRUE(e2e::WaitUntil([&] { return !::IsWindowVisible(main_); })) << "not minimised after cancel";
        }
        EXPECT_TRUE(std::filesystem::is_empty(pics)) << "left files behind";
    }
}

// The dialog is modal and the message loop runs while it is open: a capture that arrives then
// replaces the view's picture, and the file gets the picture the view holds when the dialog
// closes (here the whole new capture, not the half-size final picture).
TEST_F(Save, ACaptureWhileTheDialogIsOpenIsThePictureWritten) {
    e2e::PatternWindow pattern;
    const std::string pics = dir_.File("pics");
    std::filesystem::create_directory(pics);
    Install("[Trim]\r\nType=1\r\nScale=50\r\n[Option]\r\nIsDefaultFolder=1\r\nDefaultFolder=" + pics +
            "\r\nIsAutoFileName=1\r\nDefaultFormatType=1\r\n");
    Launch();
    CaptureScreen();
    const int screenWidth = ::GetSystemMetrics(SM_CXSCREEN);
    ClickButton("btnSave");
    HWND dialog = e2e::WaitForMessageBox(program_->Id());
    ASSERT_NE(dialog, nullptr) << "no dialog";
    EXPECT_EQ(ViewSize().cx, screenWidth / 2) << "the view does not show the final picture";
    ::PostMessageW(main_, WM_CAPTURE_SCREEN, 0, 0);
    ASSERT_TRUE(e2e::WaitUntil([&] { return ViewSize().cx == screenWidth; })) << "the capture was not handled";
    ASSERT_TRUE(::IsWindow(dialog));
    // The dialog's own OK: the capture took the foreground, which Wine does not always give back.
    ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(dialog, IDOK)));
    const std::string file = pics + "\\Capture_0001.bmp";
    ASSERT_TRUE(e2e::WaitUntil([&] { return !::IsWindowVisible(main_); })) << "not minimised";
    const std::string bytes = ReadTestFile(file).value_or("");
    ASSERT_FALSE(bytes.empty()) << "nothing written";
    const BmpLayout layout = ReadBmpLayout(bytes);
    EXPECT_EQ(layout.width, screenWidth);
    EXPECT_EQ(layout.height, ::GetSystemMetrics(SM_CYSCREEN));
}

TEST_F(Save, AWriteIntoAMissingFolderShowsTheErrorAndTheProgramGoesOn) {
    e2e::PatternWindow pattern;
    Install(AutoSettings(Folder(), "PrefixOfFileName=missing\\cap_\r\n"));
    Launch();
    CaptureScreen();
    ClickButton("btnSave");
    HWND box = e2e::WaitForMessageBox(program_->Id());
    ASSERT_NE(box, nullptr) << "no error message box";
    EXPECT_EQ(e2e::WindowText(box), L"Framlet");
    EXPECT_TRUE(::IsWindowVisible(main_)) << "minimised after a failed write";
    e2e::PressKey(VK_RETURN);
    ASSERT_TRUE(e2e::WaitUntil([&] { return ProgramDialog() == nullptr; }));
    EXPECT_FALSE(FileExists(Folder() + "\\missing"));
    EXPECT_TRUE(program_->Running());
    // Still working: a new capture arrives, and once the folder is there the same Save writes.
    CaptureScreen();
    EXPECT_TRUE(::IsWindowVisible(main_));
    ASSERT_TRUE(std::filesystem::create_directory(Folder() + "\\missing"));
    ClickButton("btnSave");
    ASSERT_TRUE(e2e::WaitUntil([&] { return !::IsWindowVisible(main_) || ProgramDialog(); }));
    EXPECT_EQ(ProgramDialog(), nullptr) << e2e::ChildTexts(ProgramDialog());
    EXPECT_TRUE(FileExists(Folder() + "\\missing\\cap_0001.jpg"));
}

// A default folder that is not there is not an error: the names go into the current folder
// (the program's own, where it was started), and "." is what the settings keep.
TEST_F(Save, AMissingDefaultFolderBecomesTheCurrentFolderWithoutAMessage) {
    e2e::PatternWindow pattern;
    const std::string gone = dir_.File("gone");
    Install(AutoSettings(gone));
    Launch();
    CaptureScreen();
    ClickButton("btnSave");
    ASSERT_TRUE(e2e::WaitUntil([&] { return !::IsWindowVisible(main_) || ProgramDialog(); }));
    EXPECT_EQ(ProgramDialog(), nullptr) << e2e::ChildTexts(ProgramDialog());
    EXPECT_TRUE(FileExists(Folder() + "\\Capture_0001.jpg"));
    EXPECT_FALSE(FileExists(gone));
    CloseWithOk();
    EXPECT_EQ(IniFile(SettingsFile()).ReadString("Option", "DefaultFolder", ""), ".");
}

// One line of the job list that print-check.py compares the PDF files with: the queue, the
// final picture's size, where the layout puts it, and the queue's page geometry.
void RecordJob(const std::wstring& queue, int width, int height) {
    HDC dc = ::CreateDCW(L"WINSPOOL", queue.c_str(), nullptr, nullptr);
    ASSERT_NE(dc, nullptr);
    const PrintLayout layout =
        CalcPrintLayout(::GetDeviceCaps(dc, HORZRES), ::GetDeviceCaps(dc, VERTRES), width, height);
    const e2e::PageGeometry page = e2e::PageOf(dc);
    ::DeleteDC(dc);
    e2e::RecordPrintJob(ToAnsi(queue), width, height, layout, page);
}

// The same for the default printer.
void RecordJob(int width, int height) {
    wchar_t name[256] = {};
    DWORD size = 256;
    ASSERT_TRUE(::GetDefaultPrinterW(name, &size)) << "no default printer";
    RecordJob(name, width, height);
}

constexpr int kQuadrantsWidth = 160, kQuadrantsHeight = 120;

class PrintCommand : public Commands {
protected:
    // A window capture of an ordinary window of the test whose client area holds the quadrants
    // print-check.py looks for; then the quadrants are selected with the real mouse.
    void CaptureAndSelectQuadrants() {
        int left = 0, top = 0;  // of the quadrants in the captured picture
        {
            Minimise();
            e2e::QuadrantWindow quadrants(60, 40, kQuadrantsWidth, kQuadrantsHeight);
            ::SetForegroundWindow(quadrants.Handle());
            ASSERT_TRUE(e2e::WaitUntil([&] { return ::GetForegroundWindow() == quadrants.Handle(); }));
            RECT outer;
            ::GetWindowRect(quadrants.Handle(), &outer);
            POINT client{0, 0};
            ::ClientToScreen(quadrants.Handle(), &client);
            left = client.x - outer.left;
            top = client.y - outer.top;
            const RECT area{client.x, client.y, client.x + kQuadrantsWidth, client.y + kQuadrantsHeight};
            ASSERT_TRUE(e2e::WaitUntil([&] {
                return FromShot(e2e::CaptureRect(area)) ==
                       e2e::QuadrantWindow::Picture(kQuadrantsWidth, kQuadrantsHeight);
            })) << "the quadrants are not on the screen";
            ::PostMessageW(main_, WM_CAPTURE_WINDOW, 0, 0);
            ASSERT_TRUE(
                e2e::WaitUntil([&] { return ::IsWindowVisible(main_) && ViewSize().cx == outer.right - outer.left; }));
        }
        ASSERT_TRUE(e2e::WaitUntil([&] { return ::GetForegroundWindow() == main_; })) << "not in front";
        ClickToFocus(Control("edtWidth"));  // the program takes input again
        Select(left, top, left + kQuadrantsWidth - 1, top + kQuadrantsHeight - 1);
    }

    // Print, and the program back in the tray without an error.
    void PrintAndWaitForTheTray() {
        ClickButton("btnPrint");
        ASSERT_TRUE(e2e::WaitUntil([&] { return !::IsWindowVisible(main_) || ProgramDialog(); }, 30000));
        ASSERT_EQ(ProgramDialog(), nullptr) << "an error: " << e2e::ChildTexts(ProgramDialog());
    }
};

// Runs under tests/e2e/cups-pdf; print-check.py then checks the PDF files against the jobs.
TEST_F(PrintCommand, PrintsTheSelectionOnOnePageAndAgainReducedOnceMore) {
    ASSERT_FALSE(e2e::PrintOutFolder().empty()) << "run it under tests/e2e/cups-pdf";
    Install("[Trim]\r\nType=1\r\nScale=50\r\n");
    Launch();
    constexpr int kWidth = kQuadrantsWidth, kHeight = kQuadrantsHeight;
    ASSERT_NO_FATAL_FAILURE(CaptureAndSelectQuadrants());
    const MemoryBitmap first =
        Trimmed(e2e::QuadrantWindow::Picture(kWidth, kHeight), Rect{0, 0, kWidth - 1, kHeight - 1}, SettingsFile());
    ASSERT_NO_FATAL_FAILURE(PrintAndWaitForTheTray());
    ASSERT_EQ(ViewSize().cx, kWidth / 2);
    ASSERT_EQ(ViewSize().cy, kHeight / 2);
    RecordJob(kWidth / 2, kHeight / 2);

    // Shown again: the view holds the final picture, and a second Print reduces it once more.
    ::ShowWindow(main_, SW_SHOW);
    ASSERT_TRUE(e2e::WaitUntil([&] { return static_cast<bool>(ViewStartsWith(first)); }))
        << ViewStartsWith(first).message();
    ClickButton("btnPrint");
    ASSERT_TRUE(e2e::WaitUntil([&] { return !::IsWindowVisible(main_); }, 30000)) << "not minimised";
    ASSERT_EQ(ViewSize().cx, kWidth / 4);
    ASSERT_EQ(ViewSize().cy, kHeight / 4);
    RecordJob(kWidth / 4, kHeight / 4);
}

// Runs under tests/e2e/cups-pdf with the queues CUPS-PDF (the default) and CUPS-PDF2.
TEST_F(PrintCommand, APrinterChosenInTheOptionsGetsTheNextPrintAndANewStartUsesTheDefaultAgain) {
    ASSERT_FALSE(e2e::PrintOutFolder().empty()) << "run it under tests/e2e/cups-pdf";
    const std::string settings = "[Trim]\r\nType=3\r\n";
    Install(settings);
    Launch();
    ASSERT_NO_FATAL_FAILURE(CaptureAndSelectQuadrants());

    // Options, the printer button, the second queue chosen in the print setup dialog.
    ClickButton("btnOption");
    HWND options = program_->WaitForTopWindow(L"TfmOption");
    ASSERT_NE(options, nullptr) << "no options dialog";
    ASSERT_TRUE(e2e::WaitUntil([&] { return ::IsWindowVisible(options) != FALSE; }));
    const POINT setPrinter = e2e::CentreOf(e2e::ControlOf(options, kOptionFormLayout, "btnSetPrinter"));
    e2e::Click(setPrinter.x, setPrinter.y);
    HWND setup = nullptr;
    ASSERT_TRUE(e2e::WaitUntil([&] {
        setup = ProgramDialog();
        return setup && ::GetWindow(setup, GW_OWNER) == options;
    })) << "no print setup dialog";
    HWND list = nullptr;
    ASSERT_TRUE(e2e::WaitUntil([&] { return (list = e2e::PrinterSetupList(setup)) != nullptr; }))
        << e2e::ChildTexts(setup);
    EXPECT_EQ(e2e::WindowText(list), L"CUPS-PDF");
    ASSERT_EQ(e2e::ChoosePrinterInSetup(setup, L"CUPS-PDF2"), L"CUPS-PDF2");
    e2e::ClickOn(::GetDlgItem(setup, IDOK));
    // The options dialog closes by itself, as with Cancel: nothing stored.
    ASSERT_TRUE(e2e::WaitUntil([&] { return !::IsWindow(options); })) << "the options dialog stayed";
    ASSERT_TRUE(e2e::WaitUntil([&] { return ::IsWindowEnabled(main_) != FALSE; }));
    EXPECT_EQ(ReadTestFile(SettingsFile()), settings);

    // The selection is still there: Print goes to the chosen queue.
    ASSERT_TRUE(::IsWindowEnabled(Control("btnUnSelect")));
    ASSERT_NO_FATAL_FAILURE(PrintAndWaitForTheTray());
    ASSERT_EQ(ViewSize().cx, kQuadrantsWidth);
    RecordJob(L"CUPS-PDF2", kQuadrantsWidth, kQuadrantsHeight);

    // The choice is not a setting: the program started anew prints on the default queue.
    CloseWithOk();
    ASSERT_EQ(ReadTestFile(SettingsFile()).value_or("").find("CUPS"), std::string::npos);
    ASSERT_NO_FATAL_FAILURE(StartIntoTray());
    e2e::MoveTrayAside();
    ASSERT_NO_FATAL_FAILURE(CaptureAndSelectQuadrants());
    ASSERT_NO_FATAL_FAILURE(PrintAndWaitForTheTray());
    RecordJob(L"CUPS-PDF", kQuadrantsWidth, kQuadrantsHeight);
}

// Runs under tests/e2e/cups-pdf --no-queues.
TEST_F(PrintCommand, WithNoPrinterTheErrorIsShownAndTheProgramGoesOn) {
    e2e::PatternWindow pattern;
    Install("[Trim]\r\nType=3\r\n");
    Launch();

    CaptureScreen();
    ClickButton("btnPrint");
    HWND box = e2e::WaitForMessageBox(program_->Id());
    ASSERT_NE(box, nullptr) << "no error message box";
    EXPECT_EQ(e2e::WindowText(box), L"Framlet");
    EXPECT_NE(e2e::FindChildByText(box, FromUtf8("プリンタがインストールされていません。")), nullptr)
        << e2e::ChildTexts(box);
    EXPECT_TRUE(::IsWindowVisible(main_)) << "minimised after a failed print";
    e2e::PressKey(VK_RETURN);
    ASSERT_TRUE(e2e::WaitUntil([&] { return ProgramDialog() == nullptr; }));
    EXPECT_TRUE(program_->Running());
    CaptureScreen();
    EXPECT_TRUE(::IsWindowVisible(main_));
}

}  // namespace
