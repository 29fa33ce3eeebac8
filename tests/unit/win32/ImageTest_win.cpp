#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "TestLayouts.h"
#include "Win32TestSupport.h"
#include "win32/Application.h"
#include "win32/Form.h"
#include "win32/Handles.h"

namespace {

constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kMagenta = RGB(255, 0, 255);

// A 32-bit DIB section whose pixels come from a function of (x, y).
UniqueBitmap MakePicture(int width, int height, const std::function<COLORREF(int, int)>& color) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    UniqueBitmap bitmap(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    auto* pixels = static_cast<uint32_t*>(bits);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const COLORREF c = color(x, y);
            pixels[y * width + x] = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
        }
    }
    return bitmap;
}

// The "F" test picture: red on blue, asymmetric in both directions.
COLORREF LetterF(int x, int y) {
    const bool stem = x == 1 && y >= 1 && y <= 3;
    const bool bars = (y == 1 && x >= 1 && x <= 4) || (y == 2 && x >= 1 && x <= 3);
    return stem || bars ? kRed : kBlue;
}

// A 25 x 25 button picture: a 15 x 15 blue square on the magenta that is drawn transparent.
UniqueBitmap SquareGlyph() {
    return MakePicture(25, 25, [](int x, int y) { return x > 4 && x < 20 && y > 4 && y < 20 ? kBlue : kMagenta; });
}

// What a window shows, read through its own device context.
COLORREF Shown(HWND hwnd, int x, int y) {
    HDC dc = ::GetDC(hwnd);
    const COLORREF c = ::GetPixel(dc, x, y);
    ::ReleaseDC(hwnd, dc);
    return c;
}

class ImageTest : public ::testing::Test {
protected:
    void SetUp() override {
        TheApplication().ResetTerminated();
        form = std::make_unique<Form>();
        form->Create(kTestLayout);
        form->Show();
        ::SetForegroundWindow(form->Handle());
        Pump();
    }
    void TearDown() override {
        form.reset();
        Pump();
    }
    Image& Capture() { return form->Get<Image>("imgCapture"); }
    ScrollBox& Canvas() { return form->Get<ScrollBox>("sbxCanvas"); }
    std::unique_ptr<Form> form;
};

TEST_F(ImageTest, ShowsThePictureAtFullSizeFromTheTopLeftAndBackgroundBeyond) {
    Image& image = Capture();
    image.SetPicture(MakePicture(6, 5, LetterF));
    image.SetSize(10, 8);
    image.UpdateNow();
    EXPECT_EQ(image.PictureSize().cx, 6);
    EXPECT_EQ(image.PictureSize().cy, 5);
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 6; ++x) {
            EXPECT_EQ(Shown(image.Handle(), x, y), LetterF(x, y)) << x << "," << y;
        }
    }
    EXPECT_EQ(Shown(image.Handle(), 7, 2), ::GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(Shown(image.Handle(), 2, 6), ::GetSysColor(COLOR_BTNFACE));
}

TEST_F(ImageTest, RepaintsOnlyTheStripsItIsToldAbout) {
    Image& image = Capture();
    image.SetPicture(MakePicture(40, 30, [](int, int) { return kBlue; }));
    image.SetSize(40, 30);
    image.UpdateNow();
    // Draw into the picture behind the view's back, as the selection does.
    ::SetPixel(image.PictureDC(), 5, 5, kRed);
    ::SetPixel(image.PictureDC(), 30, 20, kRed);
    image.InvalidatePicture(0, 5, 40, 6);  // one row strip
    image.UpdateNow();
    EXPECT_EQ(Shown(image.Handle(), 5, 5), kRed);
    EXPECT_EQ(Shown(image.Handle(), 30, 20), kBlue);  // still the old pixels
    image.InvalidateAll();
    image.UpdateNow();
    EXPECT_EQ(Shown(image.Handle(), 30, 20), kRed);
}

TEST_F(ImageTest, ThePictureHandleWorksWithDibCallsAndTheCanvasDrawsAfterIt) {
    Image& image = Capture();
    image.SetPicture(MakePicture(6, 5, LetterF));
    image.SetSize(6, 5);
    HBITMAP handle = image.PictureHandle();
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = 6;
    info.bmiHeader.biHeight = 5;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    std::vector<uint8_t> bits(((6 * 24 + 31) / 32) * 4 * 5);
    HDC screen = ::GetDC(nullptr);
    EXPECT_EQ(::GetDIBits(screen, handle, 0, 5, bits.data(), &info, DIB_RGB_COLORS), 5);
    ::ReleaseDC(nullptr, screen);
    // Bottom-up rows: the last row of the buffer is the picture's top row; (1,1) is red.
    const size_t stride = ((6 * 24 + 31) / 32) * 4;
    const uint8_t* topRow = bits.data() + stride * 4;
    EXPECT_EQ(topRow[1 * 3 + 2], 0);  // (1,0) blue: red byte 0
    const uint8_t* secondRow = bits.data() + stride * 3;
    EXPECT_EQ(secondRow[1 * 3 + 2], 255);  // (1,1) red

    ::Canvas* canvas = image.PictureCanvas();
    ASSERT_NE(canvas, nullptr);
    canvas->SetPen(kBlack, PenMode::Not, 1);
    const Point line[] = {{0, 4}, {6, 4}};
    canvas->Polyline(line);
    image.InvalidatePicture(0, 4, 6, 5);
    image.UpdateNow();
    EXPECT_EQ(Shown(image.Handle(), 0, 4), RGB(255, 255, 0));  // blue inverted
    image.ClearPicture();
    EXPECT_FALSE(image.HasPicture());
    EXPECT_EQ(image.PictureCanvas(), nullptr);
}

TEST_F(ImageTest, AssignedPicturesAreCopies) {
    Image& image = Capture();
    UniqueBitmap mine = MakePicture(6, 5, LetterF);
    image.AssignPicture(mine.Get());
    image.SetSize(6, 5);
    mine.Reset();  // the view keeps showing its own copy
    image.InvalidateAll();
    image.UpdateNow();
    EXPECT_EQ(Shown(image.Handle(), 1, 1), kRed);
    EXPECT_EQ(Shown(image.Handle(), 5, 4), kBlue);
}

TEST_F(ImageTest, MouseEventsCarryPictureCoordinatesButtonsAndShift) {
    Image& image = Capture();
    image.SetPicture(MakePicture(100, 80, [](int, int) { return kBlue; }));
    image.SetSize(100, 80);
    std::vector<std::string> log;
    auto text = [](const char* what, int x, int y, ShiftState shift) {
        return std::string(what) + " " + std::to_string(x) + "," + std::to_string(y) +
               ((shift & kDoubleClick) ? " double" : "") + ((shift & kShift) ? " shift" : "");
    };
    image.OnMouseDown = [&](Control&, MouseButton button, ShiftState shift, int x, int y) {
        log.push_back(text(button == MouseButton::Left ? "down-left" : "down-right", x, y, shift));
    };
    image.OnMouseMove = [&](Control&, ShiftState shift, int x, int y) { log.push_back(text("move", x, y, shift)); };
    image.OnMouseUp = [&](Control&, MouseButton button, ShiftState shift, int x, int y) {
        log.push_back(text(button == MouseButton::Left ? "up-left" : "up-right", x, y, shift));
    };
    image.OnDblClick = [&](Control&) { log.push_back("dblclick"); };

    struct Step {
        UINT msg;
        WPARAM keys;
        int x;
        int y;
    };
    const Step steps[] = {
        {WM_LBUTTONDOWN, MK_LBUTTON, 3, 4},
        {WM_MOUSEMOVE, MK_LBUTTON | MK_SHIFT, 60, 70},
        {WM_MOUSEMOVE, MK_LBUTTON, -5, -7},  // dragged out past the top-left corner
        {WM_LBUTTONUP, 0, -5, -7},
        {WM_RBUTTONDOWN, MK_RBUTTON, 20, 30},
        {WM_RBUTTONUP, 0, 20, 30},
        {WM_LBUTTONDOWN, MK_LBUTTON, 9, 9},
        {WM_LBUTTONUP, 0, 9, 9},
        {WM_LBUTTONDBLCLK, MK_LBUTTON, 9, 9},
        {WM_LBUTTONUP, 0, 9, 9},
    };
    bool capturedWhilePressed = true;
    for (const Step& s : steps) {
        ::SendMessageW(image.Handle(), s.msg, s.keys, MAKELPARAM(s.x, s.y));
        if (s.msg == WM_LBUTTONDOWN || s.msg == WM_RBUTTONDOWN) {
            capturedWhilePressed = capturedWhilePressed && ::GetCapture() == image.Handle();
        }
    }
    EXPECT_TRUE(capturedWhilePressed);
    EXPECT_NE(::GetCapture(), image.Handle());
    EXPECT_EQ(log, (std::vector<std::string>{"down-left 3,4", "move 60,70 shift", "move -5,-7", "up-left -5,-7",
                                             "down-right 20,30", "up-right 20,30", "down-left 9,9", "up-left 9,9",
                                             "dblclick", "down-left 9,9 double", "up-left 9,9"}));
}

TEST_F(ImageTest, RealMouseInputOverAScrolledViewGivesPicturePixels) {
    Image& image = Capture();
    image.SetPicture(MakePicture(2000, 1500, [](int, int) { return kBlue; }));
    image.SetSize(2000, 1500);
    Canvas().ScrollTo(300, 200);
    EXPECT_EQ(Canvas().ScrollPosition().x, 300);
    EXPECT_EQ(Canvas().ScrollPosition().y, 200);
    Pump();
    std::vector<POINT> downs;
    std::vector<POINT> ups;
    image.OnMouseDown = [&](Control&, MouseButton, ShiftState, int x, int y) { downs.push_back(POINT{x, y}); };
    image.OnMouseUp = [&](Control&, MouseButton, ShiftState, int x, int y) { ups.push_back(POINT{x, y}); };
    POINT at{50, 60};
    ::ClientToScreen(Canvas().Handle(), &at);
    SendMouse(at.x, at.y, 0);
    SendMouse(at.x, at.y, MOUSEEVENTF_LEFTDOWN);
    SendMouse(at.x + 7, at.y + 9, 0);
    SendMouse(at.x + 7, at.y + 9, MOUSEEVENTF_LEFTUP);
    ASSERT_TRUE(PumpUntil([&] { return !ups.empty(); }));
    ASSERT_EQ(downs.size(), 1u);
    EXPECT_EQ(downs[0].x, 350);
    EXPECT_EQ(downs[0].y, 260);
    EXPECT_EQ(ups[0].x, 357);
    EXPECT_EQ(ups[0].y, 269);
}

TEST_F(ImageTest, TheCursorIsTheOneLastSet) {
    Image& image = Capture();
    image.SetSize(50, 50);
    const std::pair<Cursor, LPCSTR> cases[] = {
        {Cursor::HandPoint, IDC_HAND},    {Cursor::SizeNWSE, IDC_SIZENWSE}, {Cursor::SizeWE, IDC_SIZEWE},
        {Cursor::SizeNESW, IDC_SIZENESW}, {Cursor::SizeNS, IDC_SIZENS},     {Cursor::Arrow, IDC_ARROW},
    };
    for (const auto& [cursor, id] : cases) {
        image.SetCursor(cursor);
        EXPECT_EQ(image.CurrentCursor(), cursor);
        ::SetCursor(nullptr);
        EXPECT_TRUE(::SendMessageW(image.Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(image.Handle()),
                                   MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
        EXPECT_EQ(::GetCursor(), ::LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(id)));
    }
}

TEST_F(ImageTest, TransparentPicturesShowTheBackgroundWhereTheirCornerColourIs) {
    Image& bracket = form->Get<Image>("imgTogether");
    bracket.SetPicture(MakePicture(16, 49, [](int x, int) { return x == 8 ? RGB(0, 0, 0) : kMagenta; }));
    bracket.InvalidateAll();
    bracket.UpdateNow();
    EXPECT_EQ(Shown(bracket.Handle(), 8, 20), RGB(0, 0, 0));
    EXPECT_EQ(Shown(bracket.Handle(), 3, 20), ::GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(Shown(bracket.Handle(), 15, 48), ::GetSysColor(COLOR_BTNFACE));
}

TEST_F(ImageTest, ATransparentPictureIsStretchedOverItsControlWhenTheDpiGrows) {
    Image& bracket = form->Get<Image>("imgTogether");
    bracket.SetPicture(MakePicture(16, 49, [](int x, int) { return x == 8 ? RGB(0, 0, 0) : kMagenta; }));
    ChangeDpi(form->Handle(), 144, RECT{0, 0, 900, 700});
    Pump();
    ASSERT_EQ(bracket.Width(), 24);
    ASSERT_EQ(bracket.Height(), 74);
    bracket.UpdateNow();
    std::vector<int> blackColumns;
    for (int x = 0; x < 24; ++x) {
        if (Shown(bracket.Handle(), x, 10) == RGB(0, 0, 0)) blackColumns.push_back(x);
    }
    ASSERT_FALSE(blackColumns.empty());
    EXPECT_LE(blackColumns.size(), 2u);  // one source column, one and a half wide
    EXPECT_NEAR(blackColumns.front(), 12, 1);
    // The line reaches the control's foot, not only the picture's 49 rows.
    EXPECT_EQ(Shown(bracket.Handle(), blackColumns.front(), 73), RGB(0, 0, 0));
    EXPECT_EQ(Shown(bracket.Handle(), 3, 60), ::GetSysColor(COLOR_BTNFACE));
}

TEST_F(ImageTest, PictureButtonsDrawTheirGlyphWithoutItsBackgroundColour) {
    auto& save = form->Get<BitmapButton>("btnSave");
    save.SetGlyph(SquareGlyph());
    ::RedrawWindow(save.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    int blue = 0;
    int magenta = 0;
    for (int y = 0; y < save.Height(); ++y) {
        for (int x = 0; x < save.Width(); ++x) {
            const COLORREF c = Shown(save.Handle(), x, y);
            blue += c == kBlue;
            magenta += c == kMagenta;
        }
    }
    EXPECT_EQ(blue, 15 * 15);
    EXPECT_EQ(magenta, 0);
}

TEST_F(ImageTest, PictureButtonsGrowTheirGlyphWithTheFormsDpi) {
    auto& save = form->Get<BitmapButton>("btnSave");
    save.SetGlyph(SquareGlyph());
    ChangeDpi(form->Handle(), 192, RECT{0, 0, 900, 700});
    ASSERT_EQ(form->Dpi(), 192);
    // Drawn into a picture of the button's size: at 200 % the form is larger than Wine's screen.
    const int width = save.Width();
    const int height = save.Height();
    ASSERT_EQ(width, 178);
    UniqueBitmap target = MakePicture(width, height, [](int, int) { return kRed; });
    UniqueMemoryDC dc(::CreateCompatibleDC(nullptr));
    SelectGuard select(dc.Get(), target.Get());
    const UINT id = static_cast<UINT>(::GetDlgCtrlID(save.Handle()));
    DRAWITEMSTRUCT item{ODT_BUTTON, id, 0, ODA_DRAWENTIRE, 0, save.Handle(), dc.Get(), RECT{0, 0, width, height}, 0};
    ::SendMessageW(::GetParent(save.Handle()), WM_DRAWITEM, id, reinterpret_cast<LPARAM>(&item));
    int blue = 0;
    int magenta = 0;
    RECT blueBounds{width, height, -1, -1};
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const COLORREF c = ::GetPixel(dc.Get(), x, y);
            magenta += c == kMagenta;
            if (c != kBlue) continue;
            ++blue;
            blueBounds = RECT{std::min<LONG>(blueBounds.left, x), std::min<LONG>(blueBounds.top, y),
                              std::max<LONG>(blueBounds.right, x + 1), std::max<LONG>(blueBounds.bottom, y + 1)};
        }
    }
    EXPECT_EQ(blue, 30 * 30);  // every pixel of the glyph drawn as two by two
    EXPECT_EQ(blueBounds.right - blueBounds.left, 30);
    EXPECT_EQ(blueBounds.bottom - blueBounds.top, 30);
    EXPECT_EQ(magenta, 0);
    // The 50-pixel picture sits centred in the height, its blue square 10 pixels inside it.
    EXPECT_EQ(blueBounds.top, (height - 50) / 2 + 10);
}

TEST_F(ImageTest, ScrollBarsAppearForLargerContentAndTheViewIsClampedWhenItShrinks) {
    ScrollBox& box = Canvas();
    Image& image = Capture();
    RECT client;
    image.SetSize(100, 100);
    EXPECT_FALSE(::GetWindowLongW(box.Handle(), GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL));

    image.SetSize(2000, 1500);
    const LONG style = ::GetWindowLongW(box.Handle(), GWL_STYLE);
    EXPECT_TRUE(style & WS_HSCROLL);
    EXPECT_TRUE(style & WS_VSCROLL);
    ::GetClientRect(box.Handle(), &client);
    SCROLLINFO info{sizeof info, SIF_ALL, 0, 0, 0, 0, 0};
    ::GetScrollInfo(box.Handle(), SB_HORZ, &info);
    EXPECT_EQ(info.nMax, 1999);
    EXPECT_EQ(static_cast<LONG>(info.nPage), client.right);
    EXPECT_EQ(box.ContentSize().cx, 2000);
    EXPECT_EQ(box.ContentSize().cy, 1500);

    box.ScrollTo(5000, 5000);  // clamped to the last page
    EXPECT_EQ(box.ScrollPosition().x, 2000 - client.right);
    EXPECT_EQ(box.ScrollPosition().y, 1500 - client.bottom);
    EXPECT_EQ(image.Bounds().left, -(2000 - client.right));

    image.SetSize(120, 90);  // smaller than the box: no bars, back to the origin
    EXPECT_FALSE(::GetWindowLongW(box.Handle(), GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL));
    EXPECT_EQ(box.ScrollPosition().x, 0);
    EXPECT_EQ(box.ScrollPosition().y, 0);
    EXPECT_EQ(image.Bounds().left, 0);
    EXPECT_EQ(image.Bounds().top, 0);
}

// A new capture arrives while the main window waits hidden in the tray.
TEST_F(ImageTest, AViewScrolledAndThenHiddenIsBackAtTheOriginWhenItsPictureShrinks) {
    ScrollBox& box = Canvas();
    Image& image = Capture();
    image.SetSize(2000, 1500);
    box.ScrollTo(5000, 5000);
    ASSERT_LT(image.Bounds().left, 0);
    ::ShowWindow(form->Handle(), SW_HIDE);
    image.SetSize(120, 90);
    EXPECT_EQ(box.ScrollPosition().x, 0);
    EXPECT_EQ(box.ScrollPosition().y, 0);
    EXPECT_EQ(image.Bounds().left, 0);
    EXPECT_EQ(image.Bounds().top, 0);
    form->Show();
    Pump();
    EXPECT_EQ(image.Bounds().left, 0);
    EXPECT_EQ(image.Bounds().top, 0);
}

TEST_F(ImageTest, TheViewFollowsAScrollThumbWhileItIsDragged) {
    Image& image = Capture();
    ScrollBox& box = Canvas();
    image.SetPicture(MakePicture(3000, 400, [](int x, int) { return x < 1500 ? kBlue : kRed; }));
    image.SetSize(3000, 400);
    box.SetDoubleBuffered(true);
    EXPECT_TRUE(box.DoubleBuffered());
    Pump();
    SCROLLBARINFO bar{};
    bar.cbSize = sizeof bar;
    ASSERT_TRUE(::GetScrollBarInfo(box.Handle(), OBJID_HSCROLL, &bar));
    const int thumbX = bar.rcScrollBar.left + (bar.xyThumbTop + bar.xyThumbBottom) / 2;
    const int thumbY = (bar.rcScrollBar.top + bar.rcScrollBar.bottom) / 2;
    RECT before;
    ::GetWindowRect(image.Handle(), &before);

    // Another thread plays the user: press on the thumb, drag, and look at the view before
    // letting go. This thread handles messages (the scroll bar's own drag loop) meanwhile.
    std::atomic<bool> done{false};
    std::atomic<bool> movedWhileHeld{false};
    std::thread user([&] {
        SendMouse(thumbX, thumbY, 0);
        SendMouse(thumbX, thumbY, MOUSEEVENTF_LEFTDOWN);
        for (int step = 1; step <= 10; ++step) {
            SendMouse(thumbX + step * 8, thumbY, 0);
            ::Sleep(20);
        }
        for (int i = 0; i < 200 && !movedWhileHeld; ++i) {
            RECT now;
            ::GetWindowRect(image.Handle(), &now);
            movedWhileHeld = now.left < before.left;
            ::Sleep(10);
        }
        SendMouse(thumbX + 80, thumbY, MOUSEEVENTF_LEFTUP);
        done = true;
    });
    PumpUntil([&] { return done.load(); }, 8000);
    user.join();
    Pump();
    EXPECT_TRUE(movedWhileHeld);
    EXPECT_GT(box.ScrollPosition().x, 0);
    RECT after;
    ::GetWindowRect(image.Handle(), &after);
    EXPECT_EQ(after.left, before.left - box.ScrollPosition().x);
}

}  // namespace
