#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>

#include "TestSupport.h"
#include "app/Resources_win.h"
#include "platform/Text.h"
#include "win32/Form.h"
#include "win32/TestLayouts.h"
#include "win32/Win32TestSupport.h"

namespace {

constexpr COLORREF kMagenta = RGB(255, 0, 255);

std::string SourceFile(const char* name) { return std::string(FRAMLET_SOURCE_DIR) + "\\resources\\" + name; }

UniqueBitmap LoadBitmapFile(const char* name) {
    const std::u16string path = Utf8ToUtf16(SourceFile(name));
    return UniqueBitmap(static_cast<HBITMAP>(::LoadImageW(nullptr, Wide(path), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE)));
}

SIZE SizeOf(HBITMAP bitmap) {
    BITMAP bm{};
    ::GetObjectW(bitmap, sizeof bm, &bm);
    return SIZE{bm.bmWidth, bm.bmHeight};
}

// Colours of a bitmap's pixels, counted.
std::map<COLORREF, int> Histogram(HBITMAP bitmap) {
    std::map<COLORREF, int> counts;
    const SIZE size = SizeOf(bitmap);
    HDC dc = ::CreateCompatibleDC(nullptr);
    HGDIOBJ old = ::SelectObject(dc, bitmap);
    for (int y = 0; y < size.cy; ++y) {
        for (int x = 0; x < size.cx; ++x) ++counts[::GetPixel(dc, x, y)];
    }
    ::SelectObject(dc, old);
    ::DeleteDC(dc);
    return counts;
}

COLORREF PixelOf(HBITMAP bitmap, int x, int y) {
    HDC dc = ::CreateCompatibleDC(nullptr);
    HGDIOBJ old = ::SelectObject(dc, bitmap);
    const COLORREF c = ::GetPixel(dc, x, y);
    ::SelectObject(dc, old);
    ::DeleteDC(dc);
    return c;
}

struct GlyphCase {
    const char* file;
    int width;
    int height;
    bool (*isItsColour)(COLORREF);  // what most of the drawn pixels look like
    int minimumDrawn;               // pixels that are not background
};

bool BlueGreen(COLORREF c) { return GetGValue(c) > GetRValue(c) + 60 && GetBValue(c) > GetRValue(c) + 60; }
bool Grey(COLORREF c) {
    const int r = GetRValue(c), g = GetGValue(c), b = GetBValue(c);
    return std::abs(r - g) < 16 && std::abs(g - b) < 16 && r > 64 && r < 240;
}
bool Black(COLORREF c) { return c == RGB(0, 0, 0); }

TEST(Pictures, GlyphsAndBracketHaveTheirSizeTheirColoursAndAMagentaBackground) {
    const GlyphCase cases[] = {
        {"GlyphSave.bmp", 25, 25, BlueGreen, 300},
        {"GlyphPrint.bmp", 25, 25, Grey, 300},
        {"Together.bmp", 16, 49, Black, 40},  // thin lines only
    };
    for (const GlyphCase& c : cases) {
        SCOPED_TRACE(c.file);
        UniqueBitmap bitmap = LoadBitmapFile(c.file);
        ASSERT_TRUE(bitmap);
        EXPECT_EQ(SizeOf(bitmap.Get()).cx, c.width);
        EXPECT_EQ(SizeOf(bitmap.Get()).cy, c.height);
        // The transparent colour is the bottom-left pixel's; the other corners share it.
        EXPECT_EQ(PixelOf(bitmap.Get(), 0, c.height - 1), kMagenta);
        EXPECT_EQ(PixelOf(bitmap.Get(), c.width - 1, c.height - 1), kMagenta);
        EXPECT_EQ(PixelOf(bitmap.Get(), 0, 0), kMagenta);
        const auto counts = Histogram(bitmap.Get());
        int drawn = 0;
        int ofItsColour = 0;
        for (const auto& [colour, n] : counts) {
            if (colour == kMagenta) continue;
            drawn += n;
            if (c.isItsColour(colour)) ofItsColour += n;
        }
        EXPECT_GE(drawn, c.minimumDrawn);
        // The dominant drawn colour is the picture's own (teal disk, grey printer, black bracket).
        int largest = 0;
        COLORREF dominant = 0;
        for (const auto& [colour, n] : counts) {
            if (colour != kMagenta && colour != RGB(0, 0, 0) && colour != RGB(255, 255, 255) && n > largest) {
                largest = n;
                dominant = colour;
            }
        }
        if (c.isItsColour != Black) {
            EXPECT_TRUE(c.isItsColour(dominant)) << std::hex << dominant;
        }
        EXPECT_GT(ofItsColour, drawn / 5);
    }
}

TEST(Pictures, TheIconIsOne32By32ImageIn256Colours) {
    const auto bytes = ReadTestFile(SourceFile("Framlet.ico"));
    ASSERT_TRUE(bytes.has_value());
    ASSERT_GE(bytes->size(), 22u + 40u);
    auto u16 = [&](size_t at) {
        return static_cast<unsigned>(static_cast<uint8_t>((*bytes)[at]) |
                                     (static_cast<uint8_t>((*bytes)[at + 1]) << 8));
    };
    EXPECT_EQ(u16(2), 1u);  // an icon
    EXPECT_EQ(u16(4), 1u);  // one image
    EXPECT_EQ(static_cast<uint8_t>((*bytes)[6]), 32);
    EXPECT_EQ(static_cast<uint8_t>((*bytes)[7]), 32);
    EXPECT_EQ(u16(12), 8u);       // bits per pixel in the directory
    EXPECT_EQ(u16(22 + 14), 8u);  // and in the image header

    const std::u16string path = Utf8ToUtf16(SourceFile("Framlet.ico"));
    UniqueIcon icon(static_cast<HICON>(::LoadImageW(nullptr, Wide(path), IMAGE_ICON, 32, 32, LR_LOADFROMFILE)));
    ASSERT_TRUE(icon);
    ICONINFO info{};
    ASSERT_TRUE(::GetIconInfo(icon.Get(), &info));
    UniqueBitmap colour(info.hbmColor);
    UniqueBitmap mask(info.hbmMask);
    EXPECT_EQ(SizeOf(colour.Get()).cx, 32);
    EXPECT_EQ(SizeOf(colour.Get()).cy, 32);
    // Part of it is transparent (the corner right of the window, above the camera), most not.
    const auto maskCounts = Histogram(mask.Get());
    const int transparent = maskCounts.count(RGB(255, 255, 255)) ? maskCounts.at(RGB(255, 255, 255)) : 0;
    EXPECT_GT(transparent, 32);
    EXPECT_LT(transparent, 32 * 32 / 2);
    EXPECT_EQ(PixelOf(mask.Get(), 31, 0), RGB(255, 255, 255));
    EXPECT_EQ(PixelOf(mask.Get(), 16, 16), RGB(0, 0, 0));
}

TEST(Pictures, TheSaveGlyphOnItsButtonShowsNoBackgroundColour) {
    Form form;
    form.Create(kTestLayout);
    form.Show();
    Pump();
    auto& save = form.Get<BitmapButton>("btnSave");
    save.SetGlyph(LoadBitmapFile("GlyphSave.bmp"));
    ::RedrawWindow(save.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    HDC dc = ::GetDC(save.Handle());
    int magenta = 0;
    int teal = 0;
    for (int y = 0; y < save.Height(); ++y) {
        for (int x = 0; x < save.Width(); ++x) {
            const COLORREF c = ::GetPixel(dc, x, y);
            magenta += c == kMagenta;
            teal += c == RGB(0, 128, 128);
        }
    }
    ::ReleaseDC(save.Handle(), dc);
    EXPECT_EQ(magenta, 0);
    EXPECT_GT(teal, 50);
}

// The executable carries the pictures, a manifest for the themed controls and version 1.4.
class ExecutableResources : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t self[MAX_PATH] = {};
        ::GetModuleFileNameW(nullptr, self, MAX_PATH);
        std::wstring path(self);
        path = path.substr(0, path.rfind(L'\\'));                     // ...\tests
        path = path.substr(0, path.rfind(L'\\')) + L"\\Framlet.exe";  // the build folder
        module = ::LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
        ASSERT_NE(module, nullptr) << "Framlet.exe is built next to the tests folder";
    }
    void TearDown() override {
        if (module) ::FreeLibrary(module);
    }
    std::string Resource(LPCWSTR type, LPCWSTR name) {
        HRSRC found = ::FindResourceW(module, name, type);
        if (!found) return {};
        HGLOBAL loaded = ::LoadResource(module, found);
        const auto* data = static_cast<const char*>(::LockResource(loaded));
        return std::string(data, ::SizeofResource(module, found));
    }
    HMODULE module = nullptr;
};

TEST_F(ExecutableResources, PicturesIconManifestAndVersion) {
    const std::pair<const wchar_t*, SIZE> bitmaps[] = {
        {kSaveGlyphResource, {25, 25}}, {kPrintGlyphResource, {25, 25}}, {kTogetherResource, {16, 49}}};
    for (const auto& [name, size] : bitmaps) {
        UniqueBitmap bitmap = LoadBitmapResource(name, module);
        ASSERT_TRUE(bitmap);
        EXPECT_EQ(SizeOf(bitmap.Get()).cx, size.cx);
        EXPECT_EQ(SizeOf(bitmap.Get()).cy, size.cy);
    }
    EXPECT_NE(LoadIconResource(kMainIconResource, 32, module), nullptr);

    const std::string manifest = Resource(MAKEINTRESOURCEW(24), MAKEINTRESOURCEW(1));
    EXPECT_NE(manifest.find("Microsoft.Windows.Common-Controls"), std::string::npos);
    EXPECT_NE(manifest.find("version=\"6.0.0.0\""), std::string::npos);
    EXPECT_NE(manifest.find(">true/pm</dpiAware>"), std::string::npos);
    EXPECT_NE(manifest.find(">PerMonitorV2, PerMonitor</dpiAwareness>"), std::string::npos);

    const std::string version = Resource(MAKEINTRESOURCEW(16), MAKEINTRESOURCEW(1));
    const uint32_t signature = 0xFEEF04BD;
    const size_t at = version.find(std::string(reinterpret_cast<const char*>(&signature), 4));
    ASSERT_NE(at, std::string::npos);
    VS_FIXEDFILEINFO fixed{};
    ASSERT_GE(version.size(), at + sizeof fixed);
    std::memcpy(&fixed, version.data() + at, sizeof fixed);
    EXPECT_EQ(fixed.dwFileVersionMS, 0x00010004u);
    EXPECT_EQ(fixed.dwProductVersionMS, 0x00010004u);
    const std::u16string productVersion = u"ProductVersion";
    EXPECT_NE(
        version.find(std::string(reinterpret_cast<const char*>(productVersion.data()), productVersion.size() * 2)),
        std::string::npos);
}

}  // namespace
