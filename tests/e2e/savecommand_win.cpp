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
#include "TestSupport.h"
#include "Tray_win.h"
#include "app/MainLayout.h"
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

namespace {

std::wstring Wide(const std::u16string& text) { return std::wstring(text.begin(), text.end()); }
std::wstring FromAnsi(const std::string& ansi) { return Wide(AnsiToUtf16(ansi)); }
std::wstring FromUtf8(const std::string& utf8) { return Wide(Utf8ToUtf16(utf8)); }
std::string ToAnsi(const std::wstring& text) { return Utf16ToAnsi(std::u16string(text.begin(), text.end())); }

struct FindById {
    int id;
    HWND found;
};

BOOL CALLBACK FindByIdProc(HWND hwnd, LPARAM lp) {
    auto* find = reinterpret_cast<FindById*>(lp);
    if (::GetDlgCtrlID(hwnd) != find->id) return TRUE;
    find->found = hwnd;
    return FALSE;
}

// A control of the main window by its name: the toolkit gives each control the id 100 plus
// its row in the layout table.
HWND ControlOf(HWND main, std::string_view name) {
    FindById find{0, nullptr};
    for (size_t row = 0; row < kMainFormLayout.controls.size(); ++row) {
        if (name == kMainFormLayout.controls[row].name) find.id = 100 + static_cast<int>(row);
    }
    ::EnumChildWindows(main, FindByIdProc, reinterpret_cast<LPARAM>(&find));
    return find.found;
}

POINT CentreOf(HWND hwnd) {
    RECT rc;
    ::GetWindowRect(hwnd, &rc);
    return POINT{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
}

// The screen as the pattern window shows it: what a whole-screen capture holds.
MemoryBitmap ScreenPattern() {
    MemoryBitmap picture(::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN));
    for (int y = 0; y < picture.Height(); ++y) {
        for (int x = 0; x < picture.Width(); ++x) picture.SetPixel(x, y, e2e::PatternPixel(x, y));
    }
    return picture;
}

MemoryBitmap FromShot(const e2e::ScreenShot& shot) {
    MemoryBitmap picture(shot.width, shot.height);
    for (int y = 0; y < shot.height; ++y) {
        for (int x = 0; x < shot.width; ++x) picture.SetPixel(x, y, shot.At(x, y));
    }
    return picture;
}

// What the Save command makes of a picture: the trim pipeline with the settings file's values.
MemoryBitmap Trimmed(const MemoryBitmap& picture, const Rect& rect, const std::string& settingsFile) {
    const TFLConfig config(settingsFile);
    const SoftwareBitmap source{MemoryBitmap(picture)};
    SoftwareBitmap result;
    TrimImage(source, result, rect, config);
    return result.Pixels();
}

// The JPEG file the program must write for a picture: the same encoder on the same pixels.
std::string JpegOf(const MemoryBitmap& picture) {
    const SoftwareBitmap bitmap{MemoryBitmap(picture)};
    DibInfo info{};
    DibBits bits;
    if (!ReadDIB24(bitmap, info, bits)) return {};
    return EncodeJpeg(info, bits.get());
}

struct FoundWindow {
    DWORD process;
    const wchar_t* className;
    HWND found;
};

BOOL CALLBACK FindVisibleTopProc(HWND hwnd, LPARAM lp) {
    auto* find = reinterpret_cast<FoundWindow*>(lp);
    DWORD process = 0;
    ::GetWindowThreadProcessId(hwnd, &process);
    wchar_t name[64] = {};
    ::GetClassNameW(hwnd, name, 64);
    if (process != find->process || !::IsWindowVisible(hwnd) || std::wstring_view(name) != find->className) return TRUE;
    find->found = hwnd;
    return FALSE;
}

BOOL CALLBACK CollectTextProc(HWND hwnd, LPARAM lp) {
    wchar_t name[64] = {};
    ::GetClassNameW(hwnd, name, 64);
    *reinterpret_cast<std::wstring*>(lp) += L"|" + std::wstring(name) + L":" + e2e::WindowText(hwnd);
    return TRUE;
}

// The dialog's child windows as class:text, for a failure message.
std::string ChildTexts(HWND dialog) {
    std::wstring texts;
    ::EnumChildWindows(dialog, CollectTextProc, reinterpret_cast<LPARAM>(&texts));
    return ToAnsi(texts);
}

class Commands : public ::testing::Test {
protected:
    void Install(const std::string& settings) {
        folder_ = FromAnsi(dir_.Path()) + L"\\";
        for (const wchar_t* file : {L"Framlet.exe", L"Trellin.dll"}) {
            const std::wstring from = e2e::ExeFolder() + file;
            if (::GetFileAttributesW(from.c_str()) != INVALID_FILE_ATTRIBUTES) {
                ASSERT_TRUE(::CopyFileW(from.c_str(), (folder_ + file).c_str(), FALSE)) << "copying " << file;
            }
        }
        WriteTestFile(SettingsFile(), settings);
    }

    // The program starts into the tray, its window hidden.
    void Launch() {
        program_ = std::make_unique<e2e::Program>(folder_ + L"Framlet.exe");
        main_ = program_->WaitForTopWindow(L"TfmMain");
        ASSERT_NE(main_, nullptr) << "no main window";
        ASSERT_TRUE(e2e::WaitUntil([&] { return e2e::TrayIcons().size() == 1 && !::IsWindowVisible(main_); }))
            << "not in the tray";
        e2e::MoveTrayAside();
        thread_ = ::GetWindowThreadProcessId(main_, nullptr);
    }

    // Closing the window asks first: the answer OK ends the program.
    void TearDown() override {
        if (!program_ || !program_->Running()) return;
        ::PostMessageW(main_, WM_CLOSE, 0, 0);
        HWND box = e2e::WaitForMessageBox(program_->Id(), 5000);
        EXPECT_NE(box, nullptr) << "no close question";
        if (box) e2e::CloseMessageBox(box, IDOK);
        DWORD exitCode = 1;
        EXPECT_TRUE(program_->WaitForExit(5000, &exitCode));
        EXPECT_EQ(exitCode, 0u);
        program_.reset();
    }

    std::string SettingsFile() const { return dir_.File("Framlet.ini"); }
    std::string Folder() const { return dir_.Path(); }
    HWND Control(std::string_view name) const { return ControlOf(main_, name); }
    HWND Focused() const {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        ::GetGUIThreadInfo(thread_, &info);
        return info.hwndFocus;
    }
    // A visible top-level window of the program with the class ("#32770": a dialog or message box).
    HWND ProgramWindow(const wchar_t* className) const {
        FoundWindow find{program_->Id(), className, nullptr};
        ::EnumWindows(FindVisibleTopProc, reinterpret_cast<LPARAM>(&find));
        return find.found;
    }
    HWND WaitForDialog() const {
        HWND dialog = nullptr;
        e2e::WaitUntil([&] { return (dialog = ProgramWindow(L"#32770")) != nullptr; });
        return dialog;
    }

    void ClickToFocus(HWND control) {
        const POINT at = CentreOf(control);
        e2e::Click(at.x, at.y);
        ASSERT_TRUE(e2e::WaitUntil([&] { return Focused() == control; })) << "no focus";
    }
    void ClickButton(std::string_view name) {
        const POINT at = CentreOf(Control(name));
        e2e::Click(at.x, at.y);
    }

    void Minimise() {
        ::PostMessageW(main_, WM_SYSCOMMAND, SC_MINIMIZE, 0);
        ASSERT_TRUE(e2e::WaitUntil([&] { return !::IsWindowVisible(main_) && e2e::TrayIcons().size() == 1; }))
            << "not in the tray";
        e2e::MoveTrayAside();
    }

    // As a capture key pressed while the program waits minimised. The pattern window must
    // cover the screen.
    void CaptureScreen() {
        RECT was;
        ::GetWindowRect(main_, &was);
        if (::IsWindowVisible(main_)) Minimise();
        ASSERT_TRUE(e2e::WaitUntil([&] {
            const e2e::ScreenShot shot = e2e::CaptureRect(was);
            for (int y = 0; y < shot.height; y += 3) {
                for (int x = 0; x < shot.width; x += 3) {
                    if (shot.At(x, y) != e2e::PatternPixel(was.left + x, was.top + y)) return false;
                }
            }
            return true;
        })) << "the pattern did not come back";
        ::PostMessageW(main_, WM_CAPTURE_SCREEN, 0, 0);
        ASSERT_TRUE(e2e::WaitUntil([&] { return ::IsWindowVisible(main_) && ::GetForegroundWindow() == main_; }));
        ASSERT_TRUE(e2e::WaitUntil([&] { return ViewSize().cx == ::GetSystemMetrics(SM_CXSCREEN); }));
    }

    SIZE ViewSize() const {
        RECT rc;
        ::GetClientRect(Control("imgCapture"), &rc);
        return SIZE{rc.right, rc.bottom};
    }
    POINT PictureOrigin() const {
        POINT origin{0, 0};
        ::ClientToScreen(Control("imgCapture"), &origin);
        return origin;
    }
    void PointerTo(int x, int y) {
        const POINT o = PictureOrigin();
        e2e::MoveMouse(o.x + x, o.y + y);
    }
    void Button(int x, int y, bool down) {
        const POINT o = PictureOrigin();
        e2e::MouseButton(o.x + x, o.y + y, down);
    }
    // A selection drawn with the real mouse, finished once the unselect button is enabled.
    void Select(int x1, int y1, int x2, int y2) {
        PointerTo(x1, y1);
        Button(x1, y1, true);
        PointerTo((x1 + x2) / 2, (y1 + y2) / 2);
        PointerTo(x2, y2);
        Button(x2, y2, false);
        ASSERT_TRUE(e2e::WaitUntil([&] { return ::IsWindowEnabled(Control("btnUnSelect")) != FALSE; }));
    }
    void DoubleClickPicture(int x, int y) {
        const POINT o = PictureOrigin();
        e2e::DoubleClick(o.x + x, o.y + y);
    }

    // The view's picture, read from the screen: the top-left part that the scroll box shows.
    ::testing::AssertionResult ViewStartsWith(const MemoryBitmap& picture) const {
        const POINT o = PictureOrigin();
        const int w = std::min(picture.Width(), 100), h = std::min(picture.Height(), 60);
        const RECT part{o.x, o.y, o.x + w, o.y + h};
        const e2e::ScreenShot shot = e2e::CaptureRect(part);
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                if (shot.At(x, y) != picture.Pixel(x, y)) {
                    char text[96];
                    std::snprintf(text, sizeof text, "view pixel %d,%d shows %06X instead of %06X", x, y, shot.At(x, y),
                                  picture.Pixel(x, y));
                    return ::testing::AssertionFailure() << text;
                }
            }
        }
        return ::testing::AssertionSuccess();
    }

    TempDir dir_;
    std::wstring folder_;
    std::unique_ptr<e2e::Program> program_;
    HWND main_ = nullptr;
    DWORD thread_ = 0;
};

std::string AutoSettings(const std::string& folder, const std::string& more = "") {
    return "[Trim]\r\nType=2\r\n[Effect]\r\nReverse=1\r\nReverseType=0\r\n[Option]\r\nIsDefaultFolder=1\r\nDefaultFolder=" +
           folder + "\r\nIsAutoFileName=1\r\nIsNoUseDialog=1\r\n" + more;
}

bool Exists(const std::string& path) { return ::GetFileAttributesW(FromAnsi(path).c_str()) != INVALID_FILE_ATTRIBUTES; }

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
    ASSERT_TRUE(Exists(file1));
    EXPECT_EQ(ReadTestFile(file1).value_or(""), JpegOf(first)) << "not the final picture's JPEG";
    EXPECT_EQ(ViewSize().cx, first.Width());
    EXPECT_EQ(ViewSize().cy, first.Height());
    EXPECT_EQ(ProgramWindow(L"#32770"), nullptr) << "a dialog was shown";

    // Again, as the double click asks: the final picture once more through the pipeline, whole.
    const MemoryBitmap second = Trimmed(first, Rect{0, 0, first.Width() - 1, first.Height() - 1}, SettingsFile());
    ::PostMessageW(main_, WM_SAVE_REQUEST, 0, 0);
    const std::string file2 = out + "\\Capture_0002.jpg";
    ASSERT_TRUE(e2e::WaitUntil([&] { return Exists(file2) && ReadTestFile(file2).value_or("").size() > 100; }));
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
    EXPECT_NE(::SendMessageTimeoutW(main_, WM_SAVE_REQUEST, 0, 0, SMTO_NORMAL, 5000, &result), 0) << "Save did not return";
    EXPECT_EQ(ProgramWindow(L"#32770"), nullptr);
    EXPECT_FALSE(Exists(Folder() + "\\Capture_0001.jpg"));
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
        HWND dialog = WaitForDialog();
        ASSERT_NE(dialog, nullptr) << "no dialog";
        ASSERT_TRUE(e2e::WaitUntil([&] { return ::GetForegroundWindow() == dialog; }));
        EXPECT_TRUE(::IsWindowVisible(main_)) << "minimised before the choice";
        // The proposed name and the filter entry shown.
        HWND nameBox = e2e::FindChildByText(dialog, L"Capture_0001.jpg", L"Edit");
        EXPECT_NE(nameBox, nullptr) << "the proposed name is not shown: " << ChildTexts(dialog);
        EXPECT_NE(e2e::FindChildByText(dialog, L"pics", L"ComboBox"), nullptr) << "not on the folder: " << ChildTexts(dialog);
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

TEST_F(Save, AWriteIntoAMissingFolderShowsTheErrorAndTheProgramGoesOn) {
    e2e::PatternWindow pattern;
    Install(AutoSettings(Folder(), "PrefixOfFileName=missing\\cap_\r\n"));
    Launch();
    CaptureScreen();
    ClickButton("btnSave");
    HWND box = WaitForDialog();
    ASSERT_NE(box, nullptr) << "no error message box";
    EXPECT_EQ(e2e::WindowText(box), L"Framlet");
    EXPECT_TRUE(::IsWindowVisible(main_)) << "minimised after a failed write";
    e2e::PressKey(VK_RETURN);
    ASSERT_TRUE(e2e::WaitUntil([&] { return ProgramWindow(L"#32770") == nullptr; }));
    EXPECT_FALSE(Exists(Folder() + "\\missing"));
    EXPECT_TRUE(program_->Running());
    // Still working: a new capture arrives.
    CaptureScreen();
    EXPECT_TRUE(::IsWindowVisible(main_));
}

// An ordinary window whose client area (width x height) shows four coloured quadrants, so a flip, a mirror
// or swapped red and blue show on paper: red top left, green top right, blue bottom left,
// yellow bottom right.
class QuadrantWindow {
public:
    static constexpr uint32_t kColours[4] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00};
    QuadrantWindow(int x, int y, int width, int height) {
        WNDCLASSW wc{};
        wc.lpfnWndProc = Proc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"FramletTestQuadrants";
        ::RegisterClassW(&wc);
        RECT outer{0, 0, width, height};
        ::AdjustWindowRectEx(&outer, WS_OVERLAPPEDWINDOW, FALSE, 0);
        hwnd_ = ::CreateWindowExW(0, wc.lpszClassName, L"Quadrants", WS_OVERLAPPEDWINDOW, x, y, outer.right - outer.left,
                                  outer.bottom - outer.top, nullptr, nullptr, wc.hInstance, nullptr);
        ::ShowWindow(hwnd_, SW_SHOW);
        ::UpdateWindow(hwnd_);
    }
    ~QuadrantWindow() { ::DestroyWindow(hwnd_); }
    QuadrantWindow(const QuadrantWindow&) = delete;
    QuadrantWindow& operator=(const QuadrantWindow&) = delete;
    HWND Handle() const { return hwnd_; }

    static MemoryBitmap Picture(int width, int height) {
        MemoryBitmap picture(width, height);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) picture.SetPixel(x, y, kColours[(x >= width / 2 ? 1 : 0) + (y >= height / 2 ? 2 : 0)]);
        }
        return picture;
    }

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
        if (msg != WM_PAINT) return ::DefWindowProcW(hwnd, msg, wp, lp);
        PAINTSTRUCT ps;
        HDC dc = ::BeginPaint(hwnd, &ps);
        RECT rc;
        ::GetClientRect(hwnd, &rc);
        for (int q = 0; q < 4; ++q) {
            const uint32_t c = kColours[q];
            HBRUSH brush = ::CreateSolidBrush(RGB(c >> 16, (c >> 8) & 0xFF, c & 0xFF));
            const RECT part{q % 2 ? rc.right / 2 : 0, q / 2 ? rc.bottom / 2 : 0, q % 2 ? rc.right : rc.right / 2,
                            q / 2 ? rc.bottom : rc.bottom / 2};
            ::FillRect(dc, &part, brush);
            ::DeleteObject(brush);
        }
        ::EndPaint(hwnd, &ps);
        return 0;
    }
    HWND hwnd_ = nullptr;
};

// The folder the print queues write into, as Wine sees it (drive Z: is the Linux root).
std::string OutFolder() {
    const char* out = std::getenv("CUPS_PDF_OUT");
    if (!out || !*out) return {};
    std::string path = std::string("Z:") + out;
    for (char& c : path) c = c == '/' ? '\\' : c;
    return path;
}

// One line of the job list that print-check.py compares the PDF files with: the queue, the
// final picture's size, where the layout puts it, and the default printer's page geometry.
void RecordJob(int width, int height) {
    wchar_t name[256] = {};
    DWORD size = 256;
    ASSERT_TRUE(::GetDefaultPrinterW(name, &size)) << "no default printer";
    HDC dc = ::CreateDCW(L"WINSPOOL", name, nullptr, nullptr);
    ASSERT_NE(dc, nullptr);
    const PrintLayout layout = CalcPrintLayout(::GetDeviceCaps(dc, HORZRES), ::GetDeviceCaps(dc, VERTRES), width, height);
    std::ofstream jobs(OutFolder() + "\\jobs.txt", std::ios::app);
    jobs << "queue=" << ToAnsi(name) << " width=" << width << " height=" << height << " x=" << layout.X
         << " y=" << layout.Y << " dw=" << layout.DW << " dh=" << layout.DH << " dpix=" << ::GetDeviceCaps(dc, LOGPIXELSX)
         << " dpiy=" << ::GetDeviceCaps(dc, LOGPIXELSY) << " offx=" << ::GetDeviceCaps(dc, PHYSICALOFFSETX)
         << " offy=" << ::GetDeviceCaps(dc, PHYSICALOFFSETY) << " physw=" << ::GetDeviceCaps(dc, PHYSICALWIDTH)
         << " physh=" << ::GetDeviceCaps(dc, PHYSICALHEIGHT) << "\n";
    ::DeleteDC(dc);
    ASSERT_TRUE(jobs.good()) << "cannot write the job list in " << OutFolder();
}

using PrintCommand = Commands;

// Runs under tests/e2e/cups-pdf; print-check.py then checks the PDF files against the jobs.
TEST_F(PrintCommand, PrintsTheSelectionOnOnePageAndAgainReducedOnceMore) {
    ASSERT_FALSE(OutFolder().empty()) << "run it under tests/e2e/cups-pdf";
    Install("[Trim]\r\nType=1\r\nScale=50\r\n");
    Launch();
    constexpr int kWidth = 160, kHeight = 120;
    int left = 0, top = 0;  // of the quadrants in the captured picture
    {
        // A window capture of an ordinary window of the test whose client area holds the quadrants.
        Minimise();
        QuadrantWindow quadrants(60, 40, kWidth, kHeight);
        ::SetForegroundWindow(quadrants.Handle());
        ASSERT_TRUE(e2e::WaitUntil([&] { return ::GetForegroundWindow() == quadrants.Handle(); }));
        RECT outer;
        ::GetWindowRect(quadrants.Handle(), &outer);
        POINT client{0, 0};
        ::ClientToScreen(quadrants.Handle(), &client);
        left = client.x - outer.left;
        top = client.y - outer.top;
        const RECT area{client.x, client.y, client.x + kWidth, client.y + kHeight};
        ASSERT_TRUE(e2e::WaitUntil([&] { return FromShot(e2e::CaptureRect(area)) == QuadrantWindow::Picture(kWidth, kHeight); }))
            << "the quadrants are not on the screen";
        ::PostMessageW(main_, WM_CAPTURE_WINDOW, 0, 0);
        ASSERT_TRUE(e2e::WaitUntil([&] { return ::IsWindowVisible(main_) && ViewSize().cx == outer.right - outer.left; }));
    }
    ASSERT_TRUE(e2e::WaitUntil([&] { return ::GetForegroundWindow() == main_; })) << "not in front";
    ClickToFocus(Control("edtWidth"));  // the program takes input again
    Select(left, top, left + kWidth - 1, top + kHeight - 1);
    const MemoryBitmap first = Trimmed(QuadrantWindow::Picture(kWidth, kHeight), Rect{0, 0, kWidth - 1, kHeight - 1}, SettingsFile());
    ClickButton("btnPrint");
    ASSERT_TRUE(e2e::WaitUntil([&] { return !::IsWindowVisible(main_) || ProgramWindow(L"#32770"); }, 30000));
    ASSERT_EQ(ProgramWindow(L"#32770"), nullptr) << "an error: " << ChildTexts(ProgramWindow(L"#32770"));
    ASSERT_EQ(ViewSize().cx, kWidth / 2);
    ASSERT_EQ(ViewSize().cy, kHeight / 2);
    RecordJob(kWidth / 2, kHeight / 2);

    // Shown again: the view holds the final picture, and a second Print reduces it once more.
    ::ShowWindow(main_, SW_SHOW);
    ASSERT_TRUE(e2e::WaitUntil([&] { return static_cast<bool>(ViewStartsWith(first)); })) << ViewStartsWith(first).message();
    ClickButton("btnPrint");
    ASSERT_TRUE(e2e::WaitUntil([&] { return !::IsWindowVisible(main_); }, 30000)) << "not minimised";
    ASSERT_EQ(ViewSize().cx, kWidth / 4);
    ASSERT_EQ(ViewSize().cy, kHeight / 4);
    RecordJob(kWidth / 4, kHeight / 4);
}

// Runs under tests/e2e/cups-pdf --no-queues.
TEST_F(PrintCommand, WithNoPrinterTheErrorIsShownAndTheProgramGoesOn) {
    e2e::PatternWindow pattern;
    Install("[Trim]\r\nType=3\r\n");
    Launch();

    CaptureScreen();
    ClickButton("btnPrint");
    HWND box = WaitForDialog();
    ASSERT_NE(box, nullptr) << "no error message box";
    EXPECT_EQ(e2e::WindowText(box), L"Framlet");
    EXPECT_NE(e2e::FindChildByText(box, FromUtf8("プリンタがインストールされていません。")), nullptr) << ChildTexts(box);
    EXPECT_TRUE(::IsWindowVisible(main_)) << "minimised after a failed print";
    e2e::PressKey(VK_RETURN);
    ASSERT_TRUE(e2e::WaitUntil([&] { return ProgramWindow(L"#32770") == nullptr; }));
    EXPECT_TRUE(program_->Running());
    CaptureScreen();
    EXPECT_TRUE(::IsWindowVisible(main_));
}

}  // namespace
