// The printer object against real print queues: a private CUPS server with cups-pdf printers
// (tests/e2e/cups-pdf), reached through Wine's printing like any Windows program's jobs.
//
// PrintJobs.* runs with the queues "CUPS-PDF" (the default), "CUPS-PDF2" and "CUPS-REFUSING",
// which refuses every job. Each job it prints is described by one line of
// CUPS_PDF_OUT/jobs.txt (the queue, the picture, where the layout put it, the page's
// geometry); print-check.py then finds the PDF files and checks them against those lines:
// one PDF of one page per line, in the named queue, nothing else, the picture where the
// layout says with the right colours.
// NoPrinter.* runs with no queue at all.
#include <windows.h>

#include <commdlg.h>
#include <gtest/gtest.h>
#include <winspool.h>

#include <functional>
#include <string>
#include <vector>

#include "Printing_win.h"
#include "app/PrintLayout.h"
#include "app/Printer_win.h"
#include "imaging/BitmapDib_win.h"
#include "platform/AppError.h"

namespace {

const char16_t kDefaultQueue[] = u"CUPS-PDF";
const char16_t kSecondQueue[] = u"CUPS-PDF2";
const char16_t kRefusingQueue[] = u"CUPS-REFUSING";
const char kNoPrinterText[] = "プリンタがインストールされていません。";

std::string Narrow(const std::u16string& text) { return std::string(text.begin(), text.end()); }

// A picture with four coloured quadrants, so a flip, a mirror or swapped red and blue show:
// red top left, green top right, blue bottom left, yellow bottom right.
class Quadrants {
public:
    // depth 0: a bitmap compatible with the screen, as a capture makes; 24: a DIB section.
    Quadrants(int width, int height, int depth) : width_(width), height_(height) {
        if (depth == 0) {
            HDC screen = ::GetDC(nullptr);
            bitmap_ = ::CreateCompatibleBitmap(screen, width, height);
            ::ReleaseDC(nullptr, screen);
        } else {
            BITMAPINFO info{};
            info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
            info.bmiHeader.biWidth = width;
            info.bmiHeader.biHeight = height;
            info.bmiHeader.biPlanes = 1;
            info.bmiHeader.biBitCount = static_cast<WORD>(depth);
            void* bits = nullptr;
            bitmap_ = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        }
        HDC dc = ::CreateCompatibleDC(nullptr);
        HGDIOBJ previous = ::SelectObject(dc, bitmap_);
        Fill(dc, 0, 0, width / 2, height / 2, RGB(255, 0, 0));
        Fill(dc, width / 2, 0, width, height / 2, RGB(0, 255, 0));
        Fill(dc, 0, height / 2, width / 2, height, RGB(0, 0, 255));
        Fill(dc, width / 2, height / 2, width, height, RGB(255, 255, 0));
        ::SelectObject(dc, previous);
        ::DeleteDC(dc);
    }
    ~Quadrants() { ::DeleteObject(bitmap_); }
    Quadrants(const Quadrants&) = delete;
    Quadrants& operator=(const Quadrants&) = delete;
    HBITMAP Handle() const { return bitmap_; }
    int Width() const { return width_; }
    int Height() const { return height_; }

private:
    static void Fill(HDC dc, int left, int top, int right, int bottom, COLORREF colour) {
        HBRUSH brush = ::CreateSolidBrush(colour);
        RECT area{left, top, right, bottom};
        ::FillRect(dc, &area, brush);
        ::DeleteObject(brush);
    }
    int width_;
    int height_;
    HBITMAP bitmap_ = nullptr;
};

void RecordJob(const std::u16string& queue, const Quadrants& picture, const PrintLayout& layout,
               const e2e::PageGeometry& page) {
    e2e::RecordPrintJob(Narrow(queue), picture.Width(), picture.Height(), layout, page);
}

// What the Print command does with the printer: page size, layout, one page, the picture.
void PrintPicture(const Quadrants& picture) {
    Printer& printer = ThePrinter();
    const std::u16string queue = printer.DeviceName();
    const PrintLayout layout =
        CalcPrintLayout(printer.PageWidth(), printer.PageHeight(), picture.Width(), picture.Height());
    PrintDocument document = printer.BeginDoc();
    ASSERT_NE(document.Handle(), nullptr);
    EXPECT_TRUE(printer.Printing());
    const e2e::PageGeometry page = e2e::PageOf(document.Handle());
    DrawBitmapDib(document.Handle(), layout.X, layout.Y, layout.DW, layout.DH, picture.Handle());
    document.EndDoc();
    EXPECT_EQ(document.Handle(), nullptr);
    EXPECT_FALSE(printer.Printing());
    RecordJob(queue, picture, layout, page);
}

std::string ErrorText(const std::function<void()>& action) {
    try {
        action();
    } catch (const AppError& error) {
        return error.what();
    }
    return "(no error)";
}

class PrintJobs : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(e2e::PrintOutFolder().empty()) << "run under tests/e2e/cups-pdf";
        ThePrinter().ForgetChoice();
    }
    void TearDown() override { ThePrinter().ForgetChoice(); }
};

TEST_F(PrintJobs, TheDefaultPrinterPrintsAScreenPictureWhereTheLayoutSays) {
    ASSERT_EQ(ThePrinter().DeviceName(), kDefaultQueue);
    const Quadrants picture(300, 200, 0);
    PrintPicture(picture);
}

TEST_F(PrintJobs, AChosenPrinterGetsTheNextJobAndForgettingItGoesBackToTheDefault) {
    ThePrinter().Choose(kSecondQueue);
    ASSERT_EQ(ThePrinter().DeviceName(), kSecondQueue);
    const Quadrants picture(200, 400, 24);
    PrintPicture(picture);
    EXPECT_EQ(ThePrinter().DeviceName(), kSecondQueue);  // it lasts
    ThePrinter().ForgetChoice();
    EXPECT_EQ(ThePrinter().DeviceName(), kDefaultQueue);
}

TEST_F(PrintJobs, ThePageSizeIsAskedOfThePrinterWithTheChosenPageSettings) {
    const int width = ThePrinter().PageWidth();
    const int height = ThePrinter().PageHeight();
    ASSERT_GT(width, 0);
    ASSERT_GT(height, width);  // A4 upright

    HANDLE handle = nullptr;
    std::u16string name = kSecondQueue;
    ASSERT_TRUE(::OpenPrinterW(reinterpret_cast<wchar_t*>(name.data()), &handle, nullptr));
    const LONG size =
        ::DocumentPropertiesW(nullptr, handle, reinterpret_cast<wchar_t*>(name.data()), nullptr, nullptr, 0);
    ASSERT_GT(size, 0);
    std::vector<unsigned char> block(static_cast<size_t>(size));
    auto* mode = reinterpret_cast<DEVMODEW*>(block.data());
    ASSERT_EQ(
        ::DocumentPropertiesW(nullptr, handle, reinterpret_cast<wchar_t*>(name.data()), mode, nullptr, DM_OUT_BUFFER),
        IDOK);
    ::ClosePrinter(handle);
    mode->dmFields |= DM_ORIENTATION;
    mode->dmOrientation = DMORIENT_LANDSCAPE;

    ThePrinter().Choose(kSecondQueue, mode);
    mode->dmOrientation = DMORIENT_PORTRAIT;  // the printer keeps its own copy
    EXPECT_EQ(ThePrinter().PageWidth(), height);
    EXPECT_EQ(ThePrinter().PageHeight(), width);
    ThePrinter().Choose(kSecondQueue);
    EXPECT_EQ(ThePrinter().PageWidth(), width);
    EXPECT_EQ(ThePrinter().PageHeight(), height);
}

// Drives the printer setup dialog of this thread from a timer its modal loop dispatches.
struct DialogScript {
    static inline std::u16string printer;  // to pick, or empty to cancel
    static inline bool done = false;
    static inline int ticks = 0;

    static BOOL CALLBACK FindDialog(HWND window, LPARAM found) {
        wchar_t className[16] = {};
        ::GetClassNameW(window, className, 16);
        if (std::wstring(className) == L"#32770" && ::IsWindowVisible(window)) {
            *reinterpret_cast<HWND*>(found) = window;
            return FALSE;
        }
        return TRUE;
    }
    static BOOL CALLBACK FindCombo(HWND child, LPARAM found) {
        wchar_t className[16] = {};
        ::GetClassNameW(child, className, 16);
        if (std::wstring(className) == L"ComboBox" &&
            ::SendMessageW(child, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                           reinterpret_cast<LPARAM>(printer.c_str())) != CB_ERR) {
            *reinterpret_cast<HWND*>(found) = child;
            return FALSE;
        }
        return TRUE;
    }
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        if (done) return;
        HWND dialog = nullptr;
        ::EnumThreadWindows(::GetCurrentThreadId(), FindDialog, reinterpret_cast<LPARAM>(&dialog));
        if (!dialog) {
            if (++ticks > 250) done = true;  // five seconds: the test then fails on the result
            return;
        }
        done = true;
        if (printer.empty()) {
            ::PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
            return;
        }
        HWND combo = nullptr;
        ::EnumChildWindows(dialog, FindCombo, reinterpret_cast<LPARAM>(&combo));
        if (combo) {
            const LRESULT index = ::SendMessageW(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                                 reinterpret_cast<LPARAM>(printer.c_str()));
            ::SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
            ::SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(combo), CBN_SELCHANGE),
                           reinterpret_cast<LPARAM>(combo));
        }
        ::PostMessageW(dialog, WM_COMMAND, combo ? IDOK : IDCANCEL, 0);
    }
    static bool Run(const std::u16string& pick) {
        printer = pick;
        done = false;
        ticks = 0;
        const UINT_PTR timer = ::SetTimer(nullptr, 0, 20, Tick);
        const bool confirmed = ThePrinter().ShowSetupDialog(nullptr);
        ::KillTimer(nullptr, timer);
        return confirmed;
    }
};

TEST_F(PrintJobs, TheSetupDialogsConfirmedChoiceBecomesTheCurrentPrinterAndACancelChangesNothing) {
    EXPECT_TRUE(DialogScript::Run(kSecondQueue));
    EXPECT_EQ(ThePrinter().DeviceName(), kSecondQueue);
    // The dialog opens on the chosen printer: confirming it unchanged keeps it.
    EXPECT_TRUE(DialogScript::Run(kSecondQueue));
    EXPECT_EQ(ThePrinter().DeviceName(), kSecondQueue);
    EXPECT_FALSE(DialogScript::Run(u""));
    EXPECT_EQ(ThePrinter().DeviceName(), kSecondQueue);
    EXPECT_TRUE(DialogScript::Run(kDefaultQueue));
    EXPECT_EQ(ThePrinter().DeviceName(), kDefaultQueue);
}

TEST_F(PrintJobs, ADocumentDroppedWithoutEndDocPrintsNothingAndFreesThePrinter) {
    const Quadrants picture(40, 30, 0);
    {
        PrintDocument document = ThePrinter().BeginDoc();
        DrawBitmapDib(document.Handle(), 100, 100, 400, 300, picture.Handle());
        EXPECT_TRUE(ThePrinter().Printing());
    }
    EXPECT_FALSE(ThePrinter().Printing());
    PrintDocument again = ThePrinter().BeginDoc();  // no "still printing" left behind
    EXPECT_NE(again.Handle(), nullptr);
}

TEST_F(PrintJobs, OnlyOneDocumentIsOpenAtATime) {
    PrintDocument document = ThePrinter().BeginDoc();
    EXPECT_EQ(ErrorText([] { ThePrinter().BeginDoc(); }), "前の印刷がまだ終わっていません。");
    EXPECT_TRUE(ThePrinter().Printing());
    // While printing, the page size is the open document's.
    EXPECT_EQ(ThePrinter().PageWidth(), ::GetDeviceCaps(document.Handle(), HORZRES));
}

int handledByListener = 0;

LRESULT CALLBACK ListenerProc(HWND window, UINT message, WPARAM w, LPARAM l) {
    if (message == WM_APP + 7) ++handledByListener;
    return ::DefWindowProcW(window, message, w, l);
}

// Under Wine the abort procedure is called while the page opens.
TEST_F(PrintJobs, TheAbortProcedureLetsWaitingMessagesBeHandled) {
    handledByListener = 0;
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = ListenerProc;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"PrintProbeListener";
    ::RegisterClassW(&windowClass);
    HWND window = ::CreateWindowW(L"PrintProbeListener", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  windowClass.hInstance, nullptr);
    ASSERT_NE(window, nullptr);
    ::PostMessageW(window, WM_APP + 7, 0, 0);
    {
        PrintDocument document = ThePrinter().BeginDoc();
        EXPECT_EQ(handledByListener, 1);
    }
    ::DestroyWindow(window);
}

TEST_F(PrintJobs, AJobThePrinterRefusesFailsAtTheEndAndLeavesThePrinterFree) {
    ThePrinter().Choose(kRefusingQueue);
    const Quadrants picture(40, 30, 24);
    PrintDocument document = ThePrinter().BeginDoc();
    DrawBitmapDib(document.Handle(), 100, 100, 400, 300, picture.Handle());
    const std::string text = ErrorText([&document] { document.EndDoc(); });
    EXPECT_EQ(text.rfind("印刷を終了できません。", 0), 0u) << text;
    EXPECT_EQ(document.Handle(), nullptr);
    EXPECT_FALSE(ThePrinter().Printing());
}

TEST_F(PrintJobs, APrinterThatIsNotThereCannotBeReached) {
    ThePrinter().Choose(u"NoSuchPrinter");
    const std::string expected = "プリンタ \"NoSuchPrinter\" に接続できません。";
    EXPECT_EQ(ErrorText([] { ThePrinter().PageWidth(); }), expected);
    EXPECT_EQ(ErrorText([] { ThePrinter().BeginDoc(); }), expected);
    EXPECT_FALSE(ThePrinter().Printing());
}

TEST(NoPrinter, EveryUseOfThePrinterSaysThatNoPrinterIsInstalled) {
    ThePrinter().ForgetChoice();
    EXPECT_EQ(ErrorText([] { ThePrinter().DeviceName(); }), kNoPrinterText);
    EXPECT_EQ(ErrorText([] { ThePrinter().PageWidth(); }), kNoPrinterText);
    EXPECT_EQ(ErrorText([] { ThePrinter().PageHeight(); }), kNoPrinterText);
    EXPECT_EQ(ErrorText([] { ThePrinter().BeginDoc(); }), kNoPrinterText);
    EXPECT_EQ(ErrorText([] { DialogScript::Run(u""); }), kNoPrinterText);  // a dialog shown would be cancelled
    EXPECT_FALSE(ThePrinter().Printing());
}

}  // namespace
