// Framlet.exe driven as a user drives it, under Wine: each scenario copies the program into a
// folder of its own with the settings (and texts) it needs, starts it, and works it with real
// mouse and keyboard input. Capture requests are posted as the hook library would send them.
// What is checked is what a user would see: the screen's pixels, the controls' texts and
// states, and the settings file.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "Driver_win.h"
#include "TestSupport.h"
#include "Tray_win.h"
#include "app/MainLayout.h"
#include "app/Messages.h"
#include "platform/MemoryBitmap.h"
#include "platform/Text.h"
#include "selection/SelectionTestSupport.h"
#include "settings/IniFile.h"
#include "settings/OptionLayout.h"

namespace {

std::wstring Wide(const std::u16string& text) { return std::wstring(text.begin(), text.end()); }
std::wstring FromAnsi(const std::string& ansi) { return Wide(AnsiToUtf16(ansi)); }
std::wstring FromUtf8(const std::string& utf8) { return Wide(Utf8ToUtf16(utf8)); }

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

// A control of the main window by its name. The toolkit gives each control the id 100 plus its
// row in the layout table.
HWND ControlOf(HWND main, std::string_view name) {
    FindById find{0, nullptr};
    for (size_t row = 0; row < kMainFormLayout.controls.size(); ++row) {
        if (name == kMainFormLayout.controls[row].name) find.id = 100 + static_cast<int>(row);
    }
    ::EnumChildWindows(main, FindByIdProc, reinterpret_cast<LPARAM>(&find));
    return find.found;
}

// The texts of the visible child windows, each after a '|'.
BOOL CALLBACK CollectTextProc(HWND hwnd, LPARAM lp) {
    if (::IsWindowVisible(hwnd)) *reinterpret_cast<std::wstring*>(lp) += L"|" + e2e::WindowText(hwnd);
    return TRUE;
}

POINT CentreOf(HWND hwnd) {
    RECT rc;
    ::GetWindowRect(hwnd, &rc);
    return POINT{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
}

bool Checked(HWND button) { return ::SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED; }

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

// An ordinary window of the test, title bar and borders included, showing a picture of its own.
class TargetWindow {
public:
    TargetWindow(int x, int y, int width, int height) {
        WNDCLASSW wc{};
        wc.lpfnWndProc = Proc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.hCursor = ::LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
        wc.lpszClassName = L"FramletTestTarget";
        ::RegisterClassW(&wc);
        hwnd_ = ::CreateWindowExW(0, wc.lpszClassName, L"Target", WS_OVERLAPPEDWINDOW, x, y, width, height, nullptr,
                                  nullptr, wc.hInstance, nullptr);
        ::ShowWindow(hwnd_, SW_SHOW);
        ::UpdateWindow(hwnd_);
    }
    ~TargetWindow() { ::DestroyWindow(hwnd_); }
    TargetWindow(const TargetWindow&) = delete;
    TargetWindow& operator=(const TargetWindow&) = delete;
    HWND Handle() const { return hwnd_; }

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
        if (msg != WM_PAINT) return ::DefWindowProcW(hwnd, msg, wp, lp);
        PAINTSTRUCT ps;
        HDC dc = ::BeginPaint(hwnd, &ps);
        RECT rc;
        ::GetClientRect(hwnd, &rc);
        for (int band = 0; band < 8; ++band) {
            HBRUSH brush = ::CreateSolidBrush(RGB(band * 30, 255 - band * 25, (band * 77) & 0xFF));
            RECT strip{rc.right * band / 8, 0, rc.right * (band + 1) / 8, rc.bottom};
            ::FillRect(dc, &strip, brush);
            ::DeleteObject(brush);
        }
        ::EndPaint(hwnd, &ps);
        return 0;
    }
    HWND hwnd_ = nullptr;
};

// A bitmap file's pixels.
MemoryBitmap LoadPictureFile(const std::string& path) {
    HBITMAP bitmap = static_cast<HBITMAP>(
        ::LoadImageW(nullptr, FromAnsi(path).c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
    BITMAP bm{};
    if (!bitmap || !::GetObjectW(bitmap, sizeof bm, &bm)) return MemoryBitmap();
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = bm.bmWidth;
    info.bmiHeader.biHeight = -bm.bmHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    MemoryBitmap picture(bm.bmWidth, bm.bmHeight);
    std::vector<uint32_t> bits(static_cast<size_t>(bm.bmWidth) * bm.bmHeight);
    HDC screen = ::GetDC(nullptr);
    ::GetDIBits(screen, bitmap, 0, bm.bmHeight, bits.data(), &info, DIB_RGB_COLORS);
    ::ReleaseDC(nullptr, screen);
    ::DeleteObject(bitmap);
    for (int y = 0; y < bm.bmHeight; ++y) {
        for (int x = 0; x < bm.bmWidth; ++x) picture.SetPixel(x, y, bits[static_cast<size_t>(y) * bm.bmWidth + x] & 0xFFFFFF);
    }
    return picture;
}

// Whether the picture, its background colour left out, is somewhere in the shot.
bool Shows(const e2e::ScreenShot& shot, const MemoryBitmap& picture) {
    const uint32_t background = picture.Pixel(0, picture.Height() - 1);
    for (int top = 0; top + picture.Height() <= shot.height; ++top) {
        for (int left = 0; left + picture.Width() <= shot.width; ++left) {
            bool all = true;
            for (int y = 0; y < picture.Height() && all; ++y) {
                for (int x = 0; x < picture.Width() && all; ++x) {
                    const uint32_t p = picture.Pixel(x, y);
                    all = p == background || shot.At(left + x, top + y) == p;
                }
            }
            if (all) return true;
        }
    }
    return false;
}

class MainWindow : public ::testing::Test {
protected:
    // Framlet.exe (and Trellin.dll, once built) in a fresh folder with the given settings file
    // and Resource.ini (ANSI bytes); an empty text writes no file.
    void Install(const std::string& settings, const std::string& resourceIni = "") {
        folder_ = FromAnsi(dir_.Path()) + L"\\";
        for (const wchar_t* file : {L"Framlet.exe", L"Trellin.dll"}) {
            const std::wstring from = e2e::ExeFolder() + file;
            if (::GetFileAttributesW(from.c_str()) != INVALID_FILE_ATTRIBUTES) {
                ASSERT_TRUE(::CopyFileW(from.c_str(), (folder_ + file).c_str(), FALSE)) << "copying " << file;
            }
        }
        if (!settings.empty()) WriteTestFile(SettingsFile(), settings);
        if (!resourceIni.empty()) WriteTestFile(dir_.File("Resource.ini"), resourceIni);
    }

    // The program starts into the tray; a capture request brings its window back, as the
    // capture key would.
    void Launch() {
        program_ = std::make_unique<e2e::Program>(folder_ + L"Framlet.exe");
        main_ = program_->WaitForTopWindow(L"TfmMain");
        ASSERT_NE(main_, nullptr) << "no main window";
        ASSERT_TRUE(e2e::WaitUntil([&] { return e2e::TrayIcons().size() == 1 && !::IsWindowVisible(main_); }))
            << "not in the tray";
        e2e::MoveTrayAside();
        ::PostMessageW(main_, WM_CAPTURE_SCREEN, 0, 0);
        ASSERT_TRUE(e2e::WaitUntil([&] { return ::IsWindowVisible(main_) && ::GetForegroundWindow() == main_; }));
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
    HWND Control(std::string_view name) const { return ControlOf(main_, name); }
    HWND Focused() const {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        ::GetGUIThreadInfo(thread_, &info);
        return info.hwndFocus;
    }

    // Clicks a control and waits until it has the focus: every input sent before has then
    // been handled too.
    void ClickToFocus(HWND control) {
        const POINT at = CentreOf(control);
        e2e::Click(at.x, at.y);
        ASSERT_TRUE(e2e::WaitUntil([&] { return Focused() == control; })) << "no focus";
    }

    void Minimise() {
        ::PostMessageW(main_, WM_SYSCOMMAND, SC_MINIMIZE, 0);
        ASSERT_TRUE(e2e::WaitUntil([&] { return !::IsWindowVisible(main_) && e2e::TrayIcons().size() == 1; }))
            << "not in the tray";
        e2e::MoveTrayAside();
    }

    // As a capture key pressed while the program waits minimised: the picture is taken, then
    // the window comes back in front.
    // The pattern window must cover the screen.
    void CaptureFromMinimised(UINT message) {
        RECT was;
        ::GetWindowRect(main_, &was);
        Minimise();
        // The pattern has to be back where the window was before the screen is taken.
        ASSERT_TRUE(e2e::WaitUntil([&] {
            const e2e::ScreenShot shot = e2e::CaptureRect(was);
            for (int y = 0; y < shot.height; y += 3) {
                for (int x = 0; x < shot.width; x += 3) {
                    if (shot.At(x, y) != e2e::PatternPixel(was.left + x, was.top + y)) return false;
                }
            }
            return true;
        })) << "the pattern did not come back";
        ::PostMessageW(main_, message, 0, 0);
        ASSERT_TRUE(e2e::WaitUntil([&] { return ::IsWindowVisible(main_) && ::GetForegroundWindow() == main_; }));
    }

    SIZE ViewSize() const {
        RECT rc;
        ::GetClientRect(Control("imgCapture"), &rc);
        return SIZE{rc.right, rc.bottom};
    }
    // The screen position of the picture's top-left pixel.
    POINT PictureOrigin() const {
        POINT origin{0, 0};
        ::ClientToScreen(Control("imgCapture"), &origin);
        return origin;
    }
    // The part of the picture the scroll box shows, in screen coordinates.
    RECT VisiblePart() const {
        HWND box = Control("sbxCanvas");
        RECT client;
        ::GetClientRect(box, &client);
        ::MapWindowPoints(box, nullptr, reinterpret_cast<POINT*>(&client), 2);
        RECT picture;
        ::GetWindowRect(Control("imgCapture"), &picture);
        RECT visible;
        ::IntersectRect(&visible, &client, &picture);
        return visible;
    }

    // Whether every pixel the view shows is the given picture's.
    ::testing::AssertionResult ViewShows(const MemoryBitmap& picture) const {
        const RECT visible = VisiblePart();
        const POINT origin = PictureOrigin();
        if (visible.right - visible.left < 100 || visible.bottom - visible.top < 100) {
            return ::testing::AssertionFailure() << "the view shows almost nothing";
        }
        const e2e::ScreenShot shot = e2e::CaptureRect(visible);
        int wrong = 0;
        std::string first;
        for (int y = 0; y < shot.height; ++y) {
            for (int x = 0; x < shot.width; ++x) {
                const int px = visible.left + x - origin.x, py = visible.top + y - origin.y;
                if (shot.At(x, y) == picture.Pixel(px, py)) continue;
                if (wrong++ == 0) {
                    char text[96];
                    std::snprintf(text, sizeof text, "picture pixel %d,%d shows %06X instead of %06X", px, py,
                                  shot.At(x, y), picture.Pixel(px, py));
                    first = text;
                }
            }
        }
        if (wrong == 0) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << wrong << " pixels differ; " << first;
    }
    ::testing::AssertionResult ViewComesToShow(const MemoryBitmap& picture, int timeoutMs = 5000) const {
        if (e2e::WaitUntil([&] { return static_cast<bool>(ViewShows(picture)); }, timeoutMs)) {
            return ::testing::AssertionSuccess();
        }
        return ViewShows(picture);
    }

    // Real pointer input at picture coordinates.
    void PointerTo(int x, int y) {
        const POINT o = PictureOrigin();
        e2e::MoveMouse(o.x + x, o.y + y);
    }
    void Button(int x, int y, bool down, bool right = false) {
        const POINT o = PictureOrigin();
        e2e::MouseButton(o.x + x, o.y + y, down, right);
    }
    void DragOnPicture(int x1, int y1, int x2, int y2, bool right = false) {
        PointerTo(x1, y1);
        Button(x1, y1, true, right);
        PointerTo((x1 + x2) / 2, (y1 + y2) / 2);
        PointerTo(x2, y2);
        Button(x2, y2, false, right);
    }

    TempDir dir_;
    std::wstring folder_;
    std::unique_ptr<e2e::Program> program_;
    HWND main_ = nullptr;
    DWORD thread_ = 0;
};

TEST_F(MainWindow, AScreenCaptureGivesAViewTheSizeOfTheScreenShowingIt) {
    e2e::PatternWindow pattern;
    Install("[Trim]\r\nType=3\r\n");
    Launch();
    CaptureFromMinimised(WM_CAPTURE_SCREEN);
    EXPECT_EQ(ViewSize().cx, ::GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(ViewSize().cy, ::GetSystemMetrics(SM_CYSCREEN));
    EXPECT_TRUE(ViewComesToShow(ScreenPattern()));
}

TEST_F(MainWindow, AWindowCaptureGivesTheForegroundWindowAtItsOuterSize) {
    Install("[Trim]\r\nType=3\r\n");
    Launch();
    Minimise();
    TargetWindow target(40, 30, 330, 240);
    ::SetForegroundWindow(target.Handle());
    ASSERT_TRUE(e2e::WaitUntil([&] { return ::GetForegroundWindow() == target.Handle(); }));
    RECT outer;
    ::GetWindowRect(target.Handle(), &outer);
    const MemoryBitmap expected = FromShot(e2e::CaptureRect(outer));
    ::PostMessageW(main_, WM_CAPTURE_WINDOW, 0, 0);
    ASSERT_TRUE(e2e::WaitUntil([&] { return ::IsWindowVisible(main_) && ::GetForegroundWindow() == main_; }));
    EXPECT_EQ(ViewSize().cx, outer.right - outer.left);
    EXPECT_EQ(ViewSize().cy, outer.bottom - outer.top);
    // The whole window is in the view: compare it all.
    const POINT origin = PictureOrigin();
    const RECT shown{origin.x, origin.y, origin.x + expected.Width(), origin.y + expected.Height()};
    EXPECT_TRUE(e2e::WaitUntil([&] { return FromShot(e2e::CaptureRect(shown)) == expected; }))
        << "the view does not show the window as it was";
}

TEST_F(MainWindow, ADragDrawsTheInvertedOutlineAndTheReleaseTheGrips) {
    e2e::PatternWindow pattern;
    Install("[Trim]\r\nType=2\r\n");
    Launch();
    CaptureFromMinimised(WM_CAPTURE_SCREEN);
    const MemoryBitmap original = ScreenPattern();
    ASSERT_TRUE(ViewComesToShow(original));
    HWND unselect = Control("btnUnSelect");

    PointerTo(30, 40);
    Button(30, 40, true);
    PointerTo(120, 90);
    EXPECT_TRUE(ViewComesToShow(WithFrame(original, {30, 40, 120, 90}, false)));
    PointerTo(220, 160);  // the old outline goes, the new one follows the pointer
    EXPECT_TRUE(ViewComesToShow(WithFrame(original, {30, 40, 220, 160}, false)));
    EXPECT_FALSE(::IsWindowEnabled(unselect));
    Button(220, 160, false);
    EXPECT_TRUE(ViewComesToShow(WithFrame(original, {30, 40, 220, 160}, true)));
    EXPECT_TRUE(e2e::WaitUntil([&] { return ::IsWindowEnabled(unselect) != FALSE; }));
}

TEST_F(MainWindow, ARightButtonPressStartsARectangleToo) {
    e2e::PatternWindow pattern;
    Install("[Trim]\r\nType=3\r\n");
    Launch();
    CaptureFromMinimised(WM_CAPTURE_SCREEN);
    const MemoryBitmap original = ScreenPattern();
    ASSERT_TRUE(ViewComesToShow(original));
    DragOnPicture(200, 150, 60, 70, true);
    EXPECT_TRUE(ViewComesToShow(WithFrame(original, {60, 70, 200, 150}, true)));
    EXPECT_TRUE(e2e::WaitUntil([&] { return ::IsWindowEnabled(Control("btnUnSelect")) != FALSE; }));
}

TEST_F(MainWindow, APressOutsideTheRectangleDoesNothingAndEscInAnEditBoxClearsIt) {
    e2e::PatternWindow pattern;
    Install("[Trim]\r\nType=2\r\n");
    Launch();
    CaptureFromMinimised(WM_CAPTURE_SCREEN);
    const MemoryBitmap original = ScreenPattern();
    ASSERT_TRUE(ViewComesToShow(original));
    DragOnPicture(40, 50, 150, 120);
    const MemoryBitmap selected = WithFrame(original, {40, 50, 150, 120}, true);
    ASSERT_TRUE(ViewComesToShow(selected));

    DragOnPicture(300, 300, 360, 380);
    ClickToFocus(Control("edtWidth"));  // the drag has been handled once the click has
    EXPECT_TRUE(ViewShows(selected));
    EXPECT_TRUE(::IsWindowEnabled(Control("btnUnSelect")));

    e2e::PressKey(VK_ESCAPE);
    EXPECT_TRUE(ViewComesToShow(original));  // every pixel of the view is the capture again
    EXPECT_TRUE(e2e::WaitUntil([&] { return !::IsWindowEnabled(Control("btnUnSelect")); }));
    EXPECT_EQ(Focused(), Control("edtWidth"));
}

TEST_F(MainWindow, ANewCaptureWhileARectangleIsSelectedShowsNoRectangle) {
    e2e::PatternWindow pattern;
    Install("[Trim]\r\nType=2\r\n");
    Launch();
    CaptureFromMinimised(WM_CAPTURE_SCREEN);
    const MemoryBitmap original = ScreenPattern();
    ASSERT_TRUE(ViewComesToShow(original));
    DragOnPicture(40, 50, 150, 120);
    ASSERT_TRUE(ViewComesToShow(WithFrame(original, {40, 50, 150, 120}, true)));

    CaptureFromMinimised(WM_CAPTURE_SCREEN);
    EXPECT_TRUE(ViewComesToShow(original));
    // Nothing is selected any more: a press anywhere starts a new rectangle.
    DragOnPicture(250, 200, 300, 260);
    EXPECT_TRUE(ViewComesToShow(WithFrame(original, {250, 200, 300, 260}, true)));
}

TEST_F(MainWindow, TheSettingsFileFillsTheControlsAndIsNotWrittenAtStartButAClickWritesAtOnce) {
    const std::string settings = "[Trim]\r\nType=1\r\nWidth=300\r\n";
    Install(settings);
    const std::string file = SettingsFile();
    WIN32_FILE_ATTRIBUTE_DATA before{};
    ::GetFileAttributesExW(FromAnsi(file).c_str(), GetFileExInfoStandard, &before);
    Launch();
    EXPECT_EQ(e2e::WindowText(Control("rbtnScaling")), FromUtf8("倍率"));
    EXPECT_TRUE(Checked(Control("rbtnScaling")));
    EXPECT_FALSE(Checked(Control("rbtnProportion")));
    EXPECT_EQ(e2e::WindowText(Control("edtWidth")), L"300");
    EXPECT_EQ(e2e::WindowText(Control("edtHeight")), L"180");
    WIN32_FILE_ATTRIBUTE_DATA after{};
    ::GetFileAttributesExW(FromAnsi(file).c_str(), GetFileExInfoStandard, &after);
    EXPECT_EQ(ReadTestFile(file), settings);
    EXPECT_EQ(::CompareFileTime(&before.ftLastWriteTime, &after.ftLastWriteTime), 0);

    const POINT ratio = CentreOf(Control("rbtnProportion"));
    e2e::Click(ratio.x, ratio.y);
    EXPECT_TRUE(e2e::WaitUntil([&] { return IniFile(file).ReadInteger("Trim", "Type", -1) == 0; }))
        << ReadTestFile(file).value_or("(no file)");
    EXPECT_TRUE(Checked(Control("rbtnProportion")));
    EXPECT_EQ(IniFile(file).ReadInteger("Trim", "Width", -1), 300);
}

TEST_F(MainWindow, TheWidthBoxDiscardsLettersRefusesAFifthDigitAndGetsItsValueBackWhenEmptied) {
    Install("[Trim]\r\nWidth=300\r\n");
    Launch();
    HWND width = Control("edtWidth");
    ClickToFocus(width);
    e2e::PressKey(VK_END);
    for (int i = 0; i < 4; ++i) e2e::PressKey(VK_BACK);
    ASSERT_TRUE(e2e::WaitUntil([&] { return e2e::WindowText(width).empty(); }));
    e2e::TypeText(L"a1b-2 c3.d4e5F");
    ClickToFocus(Control("edtHeight"));
    EXPECT_EQ(e2e::WindowText(width), L"1234");
    EXPECT_TRUE(e2e::WaitUntil([&] { return IniFile(SettingsFile()).ReadInteger("Trim", "Width", 0) == 1234; }));

    ClickToFocus(width);
    e2e::PressKey(VK_END);
    for (int i = 0; i < 4; ++i) e2e::PressKey(VK_BACK);
    ASSERT_TRUE(e2e::WaitUntil([&] { return e2e::WindowText(width).empty(); }));
    ClickToFocus(Control("edtScaling"));
    EXPECT_TRUE(e2e::WaitUntil([&] { return e2e::WindowText(width) == L"1234"; })) << "still empty";
}

TEST_F(MainWindow, ResourceIniTextsAppearOnTheRealControls) {
    Install("", Utf8ToAnsi("[fmMain]\r\nfmMain_caption=画面キャプチャ\r\nbtnSave_caption=保存する\r\n"
                           "rbtnScaling_caption= 拡大率 \r\ngbxEffect_caption=効果\r\nlblPercent_caption=パーセント\r\n"
                           "btnUnSelect_caption=選択解除\r\nedtHeight_text=240\r\n"));
    Launch();
    EXPECT_EQ(e2e::WindowText(main_), FromUtf8("画面キャプチャ"));
    EXPECT_EQ(e2e::WindowText(Control("btnSave")), FromUtf8("保存する"));
    EXPECT_EQ(e2e::WindowText(Control("rbtnScaling")), FromUtf8("拡大率"));
    EXPECT_EQ(e2e::WindowText(Control("gbxEffect")), FromUtf8("効果"));
    EXPECT_EQ(e2e::WindowText(Control("lblPercent")), FromUtf8("パーセント"));
    EXPECT_EQ(e2e::WindowText(Control("btnUnSelect")), FromUtf8("選択解除"));
    EXPECT_EQ(e2e::WindowText(Control("edtHeight")), L"240");
    EXPECT_EQ(e2e::WindowText(Control("btnPrint")), FromUtf8("印刷"));  // no key: the design text stays
}

TEST_F(MainWindow, TheEnglishResourceIniMakesTheWholeWindowEnglish) {
    const std::string english = ReadTestFile(std::string(FRAMLET_SOURCE_DIR) + "\\resources\\en\\Resource.ini").value();
    Install("", english);
    Launch();
    const IniFile texts(dir_.File("Resource.ini"));
    int checked = 0;
    for (const std::string& key : texts.ReadSectionKeys("fmMain")) {
        const size_t suffix = key.rfind("_caption");
        if (suffix == std::string::npos || suffix + 8 != key.size()) continue;
        const std::string name = key.substr(0, suffix);
        HWND hwnd = name == "fmMain" ? main_ : Control(name);
        ASSERT_NE(hwnd, nullptr) << name;
        EXPECT_EQ(e2e::WindowText(hwnd), FromAnsi(texts.ReadString("fmMain", key, ""))) << name;
        ++checked;
    }
    EXPECT_GT(checked, 20);
    // Nothing Japanese is left anywhere on the window.
    std::wstring all = e2e::WindowText(main_);
    ::EnumChildWindows(main_, CollectTextProc, reinterpret_cast<LPARAM>(&all));
    for (const wchar_t c : all) EXPECT_LT(static_cast<unsigned>(c), 0x80u) << "in " << Utf16ToUtf8(std::u16string(all.begin(), all.end()));
}

// The options dialog as the main window's button opens it; the dialog itself is checked in
// optiondialog_win.cpp.
TEST_F(MainWindow, TheOptionButtonOpensTheOptionsOverTheWindowAndOkSavesAtOnce) {
    Install("[Option]\r\nPrefixOfFileName=Shot_\r\n");
    Launch();
    const auto optionControl = [](HWND dialog, std::string_view name) {
        FindById find{0, nullptr};
        for (size_t row = 0; row < kOptionFormLayout.controls.size(); ++row) {
            if (name == kOptionFormLayout.controls[row].name) find.id = 100 + static_cast<int>(row);
        }
        ::EnumChildWindows(dialog, FindByIdProc, reinterpret_cast<LPARAM>(&find));
        return find.found;
    };
    const auto open = [&] {
        const POINT button = CentreOf(Control("btnOption"));
        e2e::Click(button.x, button.y);
        HWND dialog = program_->WaitForTopWindow(L"TfmOption");
        EXPECT_TRUE(dialog && e2e::WaitUntil([&] { return ::IsWindowVisible(dialog) != FALSE; }));
        return dialog;
    };

    HWND dialog = open();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(::GetWindow(dialog, GW_OWNER), main_);
    EXPECT_FALSE(::IsWindowEnabled(main_));  // modal
    RECT own, main;
    ::GetWindowRect(dialog, &own);
    ::GetWindowRect(main_, &main);
    EXPECT_NEAR(own.left + own.right, main.left + main.right, 1);
    EXPECT_NEAR(own.top + own.bottom, main.top + main.bottom, 1);
    EXPECT_EQ(e2e::WindowText(optionControl(dialog, "edtPrefixOfFileName")), L"Shot_");

    const POINT prefix = CentreOf(optionControl(dialog, "edtPrefixOfFileName"));
    e2e::Click(prefix.x, prefix.y);
    e2e::PressKey(VK_END);
    e2e::TypeText(L"X");
    const POINT ok = CentreOf(optionControl(dialog, "btnOk"));
    e2e::Click(ok.x, ok.y);
    EXPECT_TRUE(e2e::WaitUntil([&] { return !::IsWindow(dialog); })) << "the dialog was not released";
    EXPECT_TRUE(e2e::WaitUntil([&] { return ::IsWindowEnabled(main_) != FALSE; }));
    EXPECT_EQ(IniFile(SettingsFile()).ReadString("Option", "PrefixOfFileName", ""), "Shot_X");

    // Esc discards: the file stays as OK left it.
    const auto written = ReadTestFile(SettingsFile());
    dialog = open();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(e2e::WindowText(optionControl(dialog, "edtPrefixOfFileName")), L"Shot_X");
    const POINT prefixAgain = CentreOf(optionControl(dialog, "edtPrefixOfFileName"));
    e2e::Click(prefixAgain.x, prefixAgain.y);
    e2e::TypeText(L"Y");
    e2e::PressKey(VK_ESCAPE);
    EXPECT_TRUE(e2e::WaitUntil([&] { return !::IsWindow(dialog); })) << "the dialog was not released";
    EXPECT_EQ(ReadTestFile(SettingsFile()), written);
}

// The pictures of the window are shown: each picture file's pixels, its background colour
// (the bottom-left pixel) left out, appear on the screen somewhere in its control.
TEST_F(MainWindow, TheButtonGlyphsAndTheBracketAreShown) {
    Install("");
    Launch();
    for (const auto& [control, file] : {std::pair{"btnSave", "GlyphSave.bmp"}, std::pair{"btnPrint", "GlyphPrint.bmp"},
                                        std::pair{"imgTogether", "Together.bmp"}}) {
        const MemoryBitmap picture = LoadPictureFile(std::string(FRAMLET_SOURCE_DIR) + "\\resources\\" + file);
        ASSERT_GT(picture.Width(), 0) << file;
        RECT rc;
        ::GetWindowRect(Control(control), &rc);
        EXPECT_TRUE(e2e::WaitUntil([&] { return Shows(e2e::CaptureRect(rc), picture); })) << control;
    }
}

// Not a check: the picture of the main window for the README. Run it on its own with
// --gtest_also_run_disabled_tests and FRAMLET_SCREENSHOT naming the .bmp file to write.
TEST_F(MainWindow, DISABLED_ScreenshotWithACaptureAndASelection) {
    const char* target = std::getenv("FRAMLET_SCREENSHOT");
    ASSERT_NE(target, nullptr);
    Install("[Trim]\r\nType=2\r\n[Effect]\r\nEmphasis=1\r\n");
    Launch();
    Minimise();
    const std::wstring note = folder_ + L"note.txt";
    WriteTestFile(dir_.File("note.txt"), Utf8ToAnsi("Framlet 1.4\r\n\r\nPrint Screen: 画面全体をキャプチャ\r\n"
                                                    "Alt+Print Screen: 前面のウィンドウをキャプチャ\r\n\r\n"
                                                    "ドラッグで範囲を選択し、保存または印刷します。\r\n"));
    std::wstring commandLine = L"notepad.exe \"" + note + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                                 &process));
    HWND editor = nullptr;
    e2e::WaitUntil([&] { return (editor = ::FindWindowW(L"Notepad", nullptr)) != nullptr; });
    ASSERT_NE(editor, nullptr);
    ::SetWindowPos(editor, nullptr, 30, 30, 480, 300, SWP_NOZORDER);
    ::SetForegroundWindow(editor);
    ASSERT_TRUE(e2e::WaitUntil([&] { return ::GetForegroundWindow() == editor; }));
    e2e::WaitUntil([] { return false; }, 500);
    ::PostMessageW(main_, WM_CAPTURE_WINDOW, 0, 0);
    ASSERT_TRUE(e2e::WaitUntil([&] { return ::IsWindowVisible(main_) && ::GetForegroundWindow() == main_; }));
    DragOnPicture(14, 60, 330, 150);
    PointerTo(420, 400);
    e2e::WaitUntil([] { return false; }, 500);
    RECT window;
    ::GetWindowRect(main_, &window);
    const e2e::ScreenShot shot = e2e::CaptureRect(window);
    const int stride = (shot.width * 3 + 3) / 4 * 4;
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = shot.width;
    info.biHeight = shot.height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + static_cast<DWORD>(stride) * shot.height;
    std::string bytes(reinterpret_cast<const char*>(&file), sizeof file);
    bytes.append(reinterpret_cast<const char*>(&info), sizeof info);
    for (int y = shot.height - 1; y >= 0; --y) {
        std::string row(static_cast<size_t>(stride), '\0');
        for (int x = 0; x < shot.width; ++x) {
            const uint32_t p = shot.At(x, y);
            row[x * 3] = static_cast<char>(p & 0xFF);
            row[x * 3 + 1] = static_cast<char>((p >> 8) & 0xFF);
            row[x * 3 + 2] = static_cast<char>((p >> 16) & 0xFF);
        }
        bytes += row;
    }
    WriteTestFile(target, bytes);
    ::TerminateProcess(process.hProcess, 0);
    ::WaitForSingleObject(process.hProcess, 5000);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
}

}  // namespace
