#include "Framlet_win.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "Tray_win.h"
#include "app/MainLayout.h"
#include "platform/Text.h"
#include "win32/Win32TestSupport.h"

namespace e2e {

namespace {

std::wstring Wide(const std::u16string& text) { return std::wstring(text.begin(), text.end()); }

BOOL CALLBACK CollectClassAndText(HWND hwnd, LPARAM lp) {
    wchar_t name[64] = {};
    ::GetClassNameW(hwnd, name, 64);
    *reinterpret_cast<std::wstring*>(lp) += L"|" + std::wstring(name) + L":" + WindowText(hwnd);
    return TRUE;
}

}  // namespace

std::wstring FromAnsi(const std::string& ansi) { return Wide(AnsiToUtf16(ansi)); }
std::wstring FromUtf8(const std::string& utf8) { return Wide(Utf8ToUtf16(utf8)); }
std::string ToAnsi(const std::wstring& text) { return Utf16ToAnsi(std::u16string(text.begin(), text.end())); }

bool FileExists(const std::string& ansiPath) {
    return ::GetFileAttributesW(FromAnsi(ansiPath).c_str()) != INVALID_FILE_ATTRIBUTES;
}

POINT CentreOf(HWND hwnd) {
    RECT rc;
    ::GetWindowRect(hwnd, &rc);
    return POINT{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
}

HWND ControlOf(HWND form, const FormLayout& layout, std::string_view name) { return LayoutControl(form, layout, name); }

HWND MainControl(HWND main, std::string_view name) { return ControlOf(main, kMainFormLayout, name); }

std::string ChildTexts(HWND parent) {
    std::wstring texts;
    ::EnumChildWindows(parent, CollectClassAndText, reinterpret_cast<LPARAM>(&texts));
    return ToAnsi(texts);
}

MemoryBitmap ScreenPattern() {
    MemoryBitmap picture(::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN));
    for (int y = 0; y < picture.Height(); ++y) {
        for (int x = 0; x < picture.Width(); ++x) picture.SetPixel(x, y, PatternPixel(x, y));
    }
    return picture;
}

MemoryBitmap FromShot(const ScreenShot& shot) {
    MemoryBitmap picture(shot.width, shot.height);
    for (int y = 0; y < shot.height; ++y) {
        for (int x = 0; x < shot.width; ++x) picture.SetPixel(x, y, shot.At(x, y));
    }
    return picture;
}

void FramletFixture::Install(const std::string& settings, const std::string& resourceIni) {
    folder_ = FromAnsi(dir_.Path()) + L"\\";
    for (const wchar_t* file : {L"Framlet.exe", L"Trellin.dll"}) {
        const std::wstring from = ExeFolder() + file;
        if (::GetFileAttributesW(from.c_str()) != INVALID_FILE_ATTRIBUTES) {
            ASSERT_TRUE(::CopyFileW(from.c_str(), (folder_ + file).c_str(), FALSE)) << "copying " << ToAnsi(file);
        }
    }
    if (!settings.empty()) WriteTestFile(SettingsFile(), settings);
    if (!resourceIni.empty()) WriteTestFile(dir_.File("Resource.ini"), resourceIni);
}

void FramletFixture::StartIntoTray() {
    program_ = std::make_unique<Program>(folder_ + L"Framlet.exe");
    main_ = program_->WaitForTopWindow(L"TfmMain");
    ASSERT_NE(main_, nullptr) << "no main window";
    ASSERT_TRUE(WaitUntil([&] { return TrayIcons().size() == 1; })) << "no tray icon";
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindowVisible(main_); })) << "the window is still shown";
    thread_ = ::GetWindowThreadProcessId(main_, nullptr);
}

void FramletFixture::TearDown() {
    if (program_ && program_->Running()) CloseWithOk();
}

void FramletFixture::CloseWithOk() {
    ::PostMessageW(main_, WM_CLOSE, 0, 0);
    HWND box = WaitForMessageBox(program_->Id(), 5000);
    EXPECT_NE(box, nullptr) << "no close question";
    if (box) CloseMessageBox(box, IDOK);
    DWORD exitCode = 1;
    EXPECT_TRUE(program_->WaitForExit(5000, &exitCode))
        << "window " << (::IsWindow(main_) ? "alive" : "gone") << ", box "
        << (FindMessageBox(program_->Id()) ? "shown" : "gone");
    EXPECT_EQ(exitCode, 0u);
    program_.reset();
}

HWND FramletFixture::Focused() const {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    ::GetGUIThreadInfo(thread_, &info);
    return info.hwndFocus;
}

void FramletFixture::ClickToFocus(HWND control) {
    const POINT at = CentreOf(control);
    Click(at.x, at.y);
    ASSERT_TRUE(WaitUntil([&] { return Focused() == control; })) << "no focus";
}

void FramletFixture::ClickButton(std::string_view name) {
    const POINT at = CentreOf(Control(name));
    Click(at.x, at.y);
}

void FramletFixture::Minimise() {
    ::PostMessageW(main_, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindowVisible(main_) && TrayIcons().size() == 1; })) << "not in the tray";
    MoveTrayAside();
}

void FramletFixture::CaptureFromTray(UINT message) {
    RECT was;
    ::GetWindowRect(main_, &was);
    if (::IsWindowVisible(main_)) Minimise();
    // The pattern has to be back where the window was before the screen is taken.
    ASSERT_TRUE(WaitUntil([&] {
        const ScreenShot shot = CaptureRect(was);
        for (int y = 0; y < shot.height; y += 3) {
            for (int x = 0; x < shot.width; x += 3) {
                if (shot.At(x, y) != PatternPixel(was.left + x, was.top + y)) return false;
            }
        }
        return true;
    })) << "the pattern did not come back";
    ::PostMessageW(main_, message, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return Shown(); })) << "the window did not come back in front";
}

SIZE FramletFixture::ViewSize() const {
    RECT rc;
    ::GetClientRect(Control("imgCapture"), &rc);
    return SIZE{rc.right, rc.bottom};
}

POINT FramletFixture::PictureOrigin() const {
    POINT origin{0, 0};
    ::ClientToScreen(Control("imgCapture"), &origin);
    return origin;
}

RECT FramletFixture::VisiblePart() const {
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

::testing::AssertionResult FramletFixture::ViewShows(const MemoryBitmap& picture) const {
    const RECT visible = VisiblePart();
    const POINT origin = PictureOrigin();
    if (visible.right - visible.left < 100 || visible.bottom - visible.top < 100) {
        return ::testing::AssertionFailure() << "the view shows almost nothing";
    }
    const ScreenShot shot = CaptureRect(visible);
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

::testing::AssertionResult FramletFixture::ViewComesToShow(const MemoryBitmap& picture, int timeoutMs) const {
    if (WaitUntil([&] { return static_cast<bool>(ViewShows(picture)); }, timeoutMs)) {
        return ::testing::AssertionSuccess();
    }
    return ViewShows(picture);
}

::testing::AssertionResult FramletFixture::ViewStartsWith(const MemoryBitmap& picture) const {
    const POINT o = PictureOrigin();
    const int w = std::min(picture.Width(), 100), h = std::min(picture.Height(), 60);
    const RECT part{o.x, o.y, o.x + w, o.y + h};
    const ScreenShot shot = CaptureRect(part);
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

void FramletFixture::PointerTo(int x, int y) {
    const POINT o = PictureOrigin();
    MoveMouse(o.x + x, o.y + y);
}

void FramletFixture::Button(int x, int y, bool down, bool right) {
    const POINT o = PictureOrigin();
    MouseButton(o.x + x, o.y + y, down, right);
}

void FramletFixture::DragOnPicture(int x1, int y1, int x2, int y2, bool right) {
    PointerTo(x1, y1);
    Button(x1, y1, true, right);
    PointerTo((x1 + x2) / 2, (y1 + y2) / 2);
    PointerTo(x2, y2);
    Button(x2, y2, false, right);
}

void FramletFixture::Select(int x1, int y1, int x2, int y2) {
    DragOnPicture(x1, y1, x2, y2);
    ASSERT_TRUE(WaitUntil([&] { return ::IsWindowEnabled(Control("btnUnSelect")) != FALSE; })) << "nothing selected";
}

void FramletFixture::DoubleClickPicture(int x, int y) {
    const POINT o = PictureOrigin();
    DoubleClick(o.x + x, o.y + y);
}

}  // namespace e2e
