// Framlet.exe on displays as users have them. ScaledDisplay runs in a prefix at 120 or 144 DPI
// (winerun --dpi; FRAMLET_TEST_DPI names it): both forms lay out at that scale, the button
// pictures and the ratio bracket are stretched with them, and Print Screen still takes the
// physical screen pixel for pixel. TwoMonitors runs with two monitors side by side (winerun
// --two-monitors): Print Screen takes the primary monitor, Alt+Print Screen a window on the
// second monitor or across both, and the windows open where they can be seen. That the texts
// fit at these scales is TextFit's (part of wine.unit).
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "Driver_win.h"
#include "Framlet_win.h"
#include "Pictures_win.h"
#include "TestWindows_win.h"
#include "Tray_win.h"
#include "app/MainLayout.h"
#include "forms/FormScaling.h"
#include "platform/MemoryBitmap.h"
#include "settings/OptionLayout.h"

namespace {

using e2e::FromShot;
using e2e::ScreenPattern;

RECT WindowRect(HWND hwnd) {
    RECT rc{};
    ::GetWindowRect(hwnd, &rc);
    return rc;
}

RECT WorkAreaOf(HMONITOR monitor) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    ::GetMonitorInfoW(monitor, &info);
    return info.rcWork;
}

std::string Describe(const RECT& rc) {
    return std::to_string(rc.left) + "," + std::to_string(rc.top) + " - " + std::to_string(rc.right) + "," +
           std::to_string(rc.bottom);
}

// Whether the window lies wholly in the work area of the monitor it is on: its title bar and
// its buttons can be reached.
::testing::AssertionResult WhollyOnAMonitor(HWND hwnd) {
    const RECT window = WindowRect(hwnd);
    HMONITOR monitor = ::MonitorFromWindow(hwnd, MONITOR_DEFAULTTONULL);
    if (!monitor) return ::testing::AssertionFailure() << "the window " << Describe(window) << " is on no monitor";
    const RECT work = WorkAreaOf(monitor);
    if (window.left >= work.left && window.top >= work.top && window.right <= work.right &&
        window.bottom <= work.bottom) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "the window " << Describe(window) << " is not within the work area "
                                         << Describe(work) << " of its monitor";
}

// Rows whose window is exactly their table place scaled: not docked, not sized by their text
// or by their picture; a drop-down list's height includes its list, so only its top line counts.
bool PlacedAsInTable(const ControlLayout& row) {
    if (!IsControl(row.kind)) return false;
    if (row.flags & (kAlignTop | kAlignBottom | kAlignRight | kAlignClient)) return false;
    if (row.kind == ControlKind::Image && !(row.flags & kTransparent)) return false;
    return !(row.kind == ControlKind::Label && row.place.width == 0);
}

// Every control of the form whose place differs from its table place at dpi, one per line.
std::string Misplaced(HWND form, const FormLayout& layout, int dpi) {
    std::string report;
    for (const ControlLayout& row : layout.controls) {
        if (!PlacedAsInTable(row)) continue;
        HWND hwnd = e2e::ControlOf(form, layout, row.name);
        if (!hwnd) {
            report += std::string(row.name) + ": no window\n";
            continue;
        }
        RECT rc = WindowRect(hwnd);
        ::MapWindowPoints(nullptr, ::GetParent(hwnd), reinterpret_cast<POINT*>(&rc), 2);
        const LayoutRect want = ScalePlace(row, dpi);
        const bool heightCounts = row.kind != ControlKind::ComboBox;
        if (rc.left != want.left || rc.top != want.top || rc.right - rc.left != want.width ||
            (heightCounts && rc.bottom - rc.top != want.height)) {
            report += std::string(row.name) + ": " + Describe(rc) + ", table scaled " + std::to_string(want.left) +
                      "," + std::to_string(want.top) + " " + std::to_string(want.width) + " x " +
                      std::to_string(want.height) + "\n";
        }
    }
    return report;
}

// The bounding box, within rc less inset on each side, of the pixels that are not the colour at
// its top-left corner (the control's background).
RECT DrawnBox(const RECT& rc, int inset) {
    const e2e::ScreenShot shot = e2e::CaptureRect(rc);
    const uint32_t background = shot.At(inset, inset);
    RECT box{shot.width, shot.height, -1, -1};
    for (int y = inset; y < shot.height - inset; ++y) {
        for (int x = inset; x < shot.width - inset; ++x) {
            if (shot.At(x, y) == background) continue;
            box.left = std::min<LONG>(box.left, x);
            box.top = std::min<LONG>(box.top, y);
            box.right = std::max<LONG>(box.right, x + 1);
            box.bottom = std::max<LONG>(box.bottom, y + 1);
        }
    }
    return box;
}

// The height of the part of a picture that is drawn: its rows holding a pixel other than its
// background colour (the bottom-left pixel).
int DrawnHeight(const MemoryBitmap& picture) {
    const uint32_t background = picture.Pixel(0, picture.Height() - 1);
    int top = picture.Height(), bottom = -1;
    for (int y = 0; y < picture.Height(); ++y) {
        for (int x = 0; x < picture.Width(); ++x) {
            if (picture.Pixel(x, y) == background) continue;
            top = std::min(top, y);
            bottom = std::max(bottom, y);
        }
    }
    return bottom < top ? 0 : bottom - top + 1;
}

class Displays : public e2e::FramletFixture {
protected:
    void SetUp() override { ASSERT_TRUE(e2e::IsDpiAware()) << "the driver could not make itself DPI aware"; }

    // Started into the tray, then Print Screen through the hook. With the pattern on the screen,
    // the tray window is put off the screen first, and the pattern is whole before the key.
    void StartAndPressPrintScreen(bool pattern) {
        StartIntoTray();
        if (HasFatalFailure()) return;
        if (pattern) {
            e2e::MoveTrayOffScreen();
            ASSERT_TRUE(e2e::WaitUntil([] {
                const e2e::ScreenShot shot = e2e::CaptureScreen();
                for (int y = 0; y < shot.height; y += 3) {
                    for (int x = 0; x < shot.width; x += 3) {
                        if (shot.At(x, y) != e2e::PatternPixel(x, y)) return false;
                    }
                }
                return true;
            })) << "the pattern is not whole on the screen";
        } else {
            e2e::MoveTrayAside();
        }
        e2e::PressKey(VK_SNAPSHOT);
        ASSERT_TRUE(e2e::WaitUntil([&] { return Shown(); })) << "Print Screen did not bring the window";
    }

    HWND OpenOptions() {
        ClickButton("btnOption");
        HWND dialog = program_->WaitForTopWindow(L"TfmOption");
        EXPECT_TRUE(dialog && e2e::WaitUntil([&] { return ::IsWindowVisible(dialog) != FALSE; }));
        return dialog;
    }

    void CloseOptions(HWND dialog) {
        e2e::PressKey(VK_ESCAPE);
        EXPECT_TRUE(e2e::WaitUntil([&] { return !::IsWindow(dialog); })) << "the options did not close";
    }

    // The whole capture, pixel for pixel: the view's top-left part, then, scrolled to the
    // end, its bottom-right part.
    void ExpectTheViewHoldsTheWholePicture(const MemoryBitmap& picture) {
        EXPECT_EQ(ViewSize().cx, picture.Width());
        EXPECT_EQ(ViewSize().cy, picture.Height());
        EXPECT_TRUE(ViewComesToShow(picture)) << "top left";
        HWND box = Control("sbxCanvas");
        ::SendMessageW(box, WM_HSCROLL, SB_BOTTOM, 0);
        ::SendMessageW(box, WM_VSCROLL, SB_BOTTOM, 0);
        const RECT visible = VisiblePart();
        const POINT origin = PictureOrigin();
        EXPECT_EQ(visible.right - origin.x, picture.Width()) << "the view does not scroll to the picture's right edge";
        EXPECT_EQ(visible.bottom - origin.y, picture.Height()) << "the view does not scroll to the picture's bottom";
        EXPECT_TRUE(ViewComesToShow(picture)) << "bottom right";
    }
};

class ScaledDisplay : public Displays {};

TEST_F(ScaledDisplay, BothFormsLayOutAtTheScaleAndPrintScreenTakesThePhysicalScreen) {
    const char* wanted = std::getenv("FRAMLET_TEST_DPI");
    ASSERT_NE(wanted, nullptr) << "FRAMLET_TEST_DPI names the prefix's DPI";
    const int dpi = std::atoi(wanted);
    HDC screen = ::GetDC(nullptr);
    ASSERT_EQ(::GetDeviceCaps(screen, LOGPIXELSX), dpi) << "the prefix is not at the DPI asked for";
    ::ReleaseDC(nullptr, screen);

    e2e::PatternWindow pattern;
    Install("[Trim]\r\nType=3\r\n");
    ASSERT_NO_FATAL_FAILURE(StartAndPressPrintScreen(true));
    // The physical screen: at 150 % a program Windows scales would get 683 x 512 of 1024 x 768.
    MONITORINFO primary{};
    primary.cbSize = sizeof primary;
    ::GetMonitorInfoW(::MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &primary);
    EXPECT_EQ(primary.rcMonitor.right, ::GetSystemMetrics(SM_CXSCREEN));
    ExpectTheViewHoldsTheWholePicture(ScreenPattern());

    // The main window: its size, the docked panels and every placed control at the scale. At
    // 150 % it is larger than a 1024 x 768 screen, and opens as large as the work area instead.
    EXPECT_TRUE(WhollyOnAMonitor(main_));
    const RECT work = WorkAreaOf(::MonitorFromWindow(main_, MONITOR_DEFAULTTONEAREST));
    const RECT window = WindowRect(main_);
    EXPECT_EQ(window.right - window.left,
              std::min<int>(ScaleForDpi(kMainFormLayout.width, dpi), work.right - work.left));
    EXPECT_EQ(window.bottom - window.top,
              std::min<int>(ScaleForDpi(kMainFormLayout.height, dpi), work.bottom - work.top));
    const RECT side = WindowRect(Control("pnlOption"));
    EXPECT_EQ(side.right - side.left, ScaleForDpi(200, dpi));
    const RECT bottom = WindowRect(Control("pnl"));
    EXPECT_EQ(bottom.bottom - bottom.top, ScaleForDpi(103, dpi));
    EXPECT_EQ(Misplaced(main_, kMainFormLayout, dpi), "");

    // The button pictures are stretched: their drawn height (the button's face and its edges left
    // out; the caption is lower than the picture) is the picture's at the scale, give or take
    // the stretch's rounding. The focus is put elsewhere first, so no focus rectangle counts.
    ClickToFocus(Control("edtWidth"));
    for (const auto& [control, file] :
         {std::pair{"btnSave", "GlyphSave.bmp"}, std::pair{"btnPrint", "GlyphPrint.bmp"}}) {
        const MemoryBitmap glyph = e2e::LoadBitmapFile(std::string(FRAMLET_SOURCE_DIR) + "\\resources\\" + file);
        ASSERT_GT(glyph.Width(), 0) << file;
        const RECT drawn = DrawnBox(WindowRect(Control(control)), 3);
        EXPECT_NEAR(drawn.bottom - drawn.top, ScaleForDpi(DrawnHeight(glyph), dpi), 1) << control;
    }
    // The bracket is drawn over its whole control, which has grown with the boxes it joins.
    const MemoryBitmap bracket = e2e::LoadBitmapFile(std::string(FRAMLET_SOURCE_DIR) + "\\resources\\Together.bmp");
    ASSERT_GT(bracket.Width(), 0);
    const RECT drawnBracket = DrawnBox(WindowRect(Control("imgTogether")), 0);
    EXPECT_NEAR(drawnBracket.bottom - drawnBracket.top, ScaleForDpi(DrawnHeight(bracket), dpi), 1);

    // The options dialog: its client area and every control at the scale, over the main window.
    HWND dialog = OpenOptions();
    ASSERT_NE(dialog, nullptr);
    RECT client{};
    ::GetClientRect(dialog, &client);
    EXPECT_EQ(client.right, ScaleForDpi(kOptionFormLayout.width, dpi));
    EXPECT_EQ(client.bottom, ScaleForDpi(kOptionFormLayout.height, dpi));
    EXPECT_EQ(Misplaced(dialog, kOptionFormLayout, dpi), "");
    EXPECT_TRUE(WhollyOnAMonitor(dialog));
    CloseOptions(dialog);
}

class TwoMonitors : public Displays {
protected:
    void SetUp() override {
        Displays::SetUp();
        ::EnumDisplayMonitors(nullptr, nullptr, &CollectMonitor, reinterpret_cast<LPARAM>(&monitors_));
        ASSERT_EQ(monitors_.size(), 2u) << "winerun --two-monitors gives two monitors";
        std::sort(monitors_.begin(), monitors_.end(), [](const RECT& a, const RECT& b) { return a.left < b.left; });
        ASSERT_EQ(monitors_[0].left, 0);
        ASSERT_EQ(monitors_[1].left, monitors_[0].right) << "the second monitor is not to the right of the first";
    }

    // Alt+Print Screen through the hook with the target in front: the view is exactly the
    // window's pixels as they were.
    void ExpectAltPrintScreenTakes(const e2e::TargetWindow& target) {
        ::SetForegroundWindow(target.Handle());
        ASSERT_TRUE(e2e::WaitUntil([&] { return ::GetForegroundWindow() == target.Handle(); }));
        const RECT outer = WindowRect(target.Handle());
        const MemoryBitmap expected = FromShot(e2e::CaptureRect(outer));
        e2e::PressKey(VK_SNAPSHOT, true);
        ASSERT_TRUE(e2e::WaitUntil([&] { return Shown(); })) << "Alt+Print Screen did not bring the window";
        ExpectTheViewHoldsTheWholePicture(expected);
        Minimise();
    }

    static BOOL CALLBACK CollectMonitor(HMONITOR, HDC, LPRECT rc, LPARAM lp) {
        reinterpret_cast<std::vector<RECT>*>(lp)->push_back(*rc);
        return TRUE;
    }

    std::vector<RECT> monitors_;
};

TEST_F(TwoMonitors, CapturesTakeThePrimaryMonitorOrTheWindowWhereverItIs) {
    e2e::PatternWindow pattern;
    Install("[Trim]\r\nType=3\r\n");
    ASSERT_NO_FATAL_FAILURE(StartAndPressPrintScreen(true));
    const MemoryBitmap screen = ScreenPattern();
    ASSERT_EQ(screen.Width(), monitors_[0].right);
    ExpectTheViewHoldsTheWholePicture(screen);
    EXPECT_TRUE(WhollyOnAMonitor(main_));
    Minimise();

    const RECT second = monitors_[1];
    {
        SCOPED_TRACE("a window wholly on the second monitor");
        e2e::TargetWindow target(second.left + 60, second.top + 40, 330, 240);
        ExpectAltPrintScreenTakes(target);
    }
    {
        SCOPED_TRACE("a window across both monitors");
        e2e::TargetWindow target(second.left - 150, second.top + 100, 330, 240);
        ExpectAltPrintScreenTakes(target);
    }
}

TEST_F(TwoMonitors, TheWindowsOpenWhereTheyCanBeSeen) {
    Install("");
    ASSERT_NO_FATAL_FAILURE(StartAndPressPrintScreen(false));
    EXPECT_TRUE(WhollyOnAMonitor(main_));
    HWND dialog = OpenOptions();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(WhollyOnAMonitor(dialog));
    CloseOptions(dialog);

    // Moved to the second monitor, the window takes its options there with it.
    const RECT second = monitors_[1];
    ::SetWindowPos(main_, nullptr, second.left + 10, second.top + 10, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ASSERT_TRUE(e2e::WaitUntil([&] { return WindowRect(main_).left == second.left + 10; }));
    // The button is on the second monitor, where the driver's absolute pointer does not reach:
    // its click command, as the button sends it.
    ::PostMessageW(Control("btnOption"), BM_CLICK, 0, 0);
    dialog = program_->WaitForTopWindow(L"TfmOption");
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(e2e::WaitUntil([&] { return ::IsWindowVisible(dialog) != FALSE; }));
    EXPECT_EQ(::MonitorFromWindow(dialog, MONITOR_DEFAULTTONULL), ::MonitorFromWindow(main_, MONITOR_DEFAULTTONULL))
        << "the options " << Describe(WindowRect(dialog)) << " did not open on the window's monitor";
    EXPECT_TRUE(WhollyOnAMonitor(dialog));
    ::SetForegroundWindow(dialog);
    CloseOptions(dialog);
}

}  // namespace
