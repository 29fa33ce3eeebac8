#include "imaging/BitmapDib_win.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/AppError.h"

namespace {

// The asymmetric test picture: a red "F" on blue, 6 x 5, top row first. Upside-down rows and
// swapped red and blue both show.
constexpr int kWidth = 6;
constexpr int kHeight = 5;
const char* const kF[kHeight] = {
    ".####.", ".#....", ".###..", ".#....", ".#....",
};
constexpr uint32_t kRed = 0xFF0000;  // 0xRRGGBB
constexpr uint32_t kBlue = 0x0000FF;
constexpr uint32_t kWhite = 0xFFFFFF;

uint32_t FColour(int x, int y) { return kF[y][x] == '#' ? kRed : kBlue; }

int Stride(int width, int depth) { return (width * depth + 31) / 32 * 4; }

// A DIB section of the given depth holding the F. Depths up to 8 use a colour table where
// red and blue sit at indices that are neither 0 nor the last, so a lost table shows.
struct Section {
    HBITMAP handle = nullptr;
    unsigned char* bits = nullptr;
    std::vector<RGBQUAD> table;
    Section(const Section&) = delete;
    Section& operator=(const Section&) = delete;
    Section(int depth, int width, int height) {
        std::vector<unsigned char> header(sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD), 0);
        auto* info = reinterpret_cast<BITMAPINFO*>(header.data());
        info->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info->bmiHeader.biWidth = width;
        info->bmiHeader.biHeight = height;
        info->bmiHeader.biPlanes = 1;
        info->bmiHeader.biBitCount = static_cast<WORD>(depth);
        info->bmiHeader.biCompression = BI_RGB;
        if (depth <= 8) {
            table.assign(size_t{1} << depth, RGBQUAD{0x10, 0x20, 0x30, 0});
            for (size_t i = 0; i < table.size(); ++i) table[i].rgbGreen = static_cast<BYTE>(i);
            table[RedIndex(depth)] = RGBQUAD{0, 0, 0xFF, 0};
            table[BlueIndex(depth)] = RGBQUAD{0xFF, 0, 0, 0};
            std::memcpy(info->bmiColors, table.data(), table.size() * sizeof(RGBQUAD));
        }
        void* pixels = nullptr;
        handle = ::CreateDIBSection(nullptr, info, DIB_RGB_COLORS, &pixels, nullptr, 0);
        bits = static_cast<unsigned char*>(pixels);
    }
    ~Section() {
        if (handle) ::DeleteObject(handle);
    }
    static size_t RedIndex(int depth) { return depth == 1 ? 1 : depth == 4 ? 9 : 17; }
    static size_t BlueIndex(int depth) { return depth == 1 ? 0 : depth == 4 ? 3 : 200; }
};

// Writes one pixel of colour (red or blue) into bottom-up DIB bits of the given depth.
void PutPixel(unsigned char* bits, int depth, int width, int height, int x, int y, uint32_t colour) {
    unsigned char* row = bits + static_cast<size_t>(height - 1 - y) * Stride(width, depth);
    const bool red = colour == kRed;
    switch (depth) {
        case 1: {
            const unsigned char mask = static_cast<unsigned char>(0x80 >> (x % 8));
            row[x / 8] = red ? (row[x / 8] | mask) : (row[x / 8] & ~mask);
            break;
        }
        case 4: {
            const unsigned char index = static_cast<unsigned char>(red ? Section::RedIndex(4) : Section::BlueIndex(4));
            unsigned char& byte = row[x / 2];
            byte = x % 2 == 0 ? static_cast<unsigned char>((byte & 0x0F) | (index << 4))
                              : static_cast<unsigned char>((byte & 0xF0) | index);
            break;
        }
        case 8: row[x] = static_cast<unsigned char>(red ? Section::RedIndex(8) : Section::BlueIndex(8)); break;
        case 16: {
            const uint16_t value = red ? 0x7C00 : 0x001F;  // 5-5-5
            std::memcpy(row + 2 * x, &value, 2);
            break;
        }
        case 24:
            row[3 * x] = red ? 0 : 0xFF;
            row[3 * x + 1] = 0;
            row[3 * x + 2] = red ? 0xFF : 0;
            break;
        case 32:
            row[4 * x] = red ? 0 : 0xFF;
            row[4 * x + 1] = 0;
            row[4 * x + 2] = red ? 0xFF : 0;
            row[4 * x + 3] = 0;
            break;
    }
}

void PaintF(unsigned char* bits, int depth) {
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) PutPixel(bits, depth, kWidth, kHeight, x, y, FColour(x, y));
}

// A 32-bit white canvas to draw on, read back as 0xRRGGBB.
class Canvas32 {
public:
    Canvas32(int width, int height) : width_(width), height_(height) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;  // top-down, for easy reading
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* pixels = nullptr;
        bitmap_ = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
        pixels_ = static_cast<uint32_t*>(pixels);
        for (int i = 0; i < width * height; ++i) pixels_[i] = kWhite;
        dc_ = ::CreateCompatibleDC(nullptr);
        previous_ = ::SelectObject(dc_, bitmap_);
    }
    ~Canvas32() {
        ::SelectObject(dc_, previous_);
        ::DeleteDC(dc_);
        ::DeleteObject(bitmap_);
    }
    Canvas32(const Canvas32&) = delete;
    Canvas32& operator=(const Canvas32&) = delete;
    HDC Dc() const { return dc_; }
    uint32_t At(int x, int y) const {
        ::GdiFlush();
        return pixels_[y * width_ + x] & 0xFFFFFF;
    }
    int Width() const { return width_; }
    int Height() const { return height_; }

private:
    int width_;
    int height_;
    HBITMAP bitmap_ = nullptr;
    uint32_t* pixels_ = nullptr;
    HDC dc_ = nullptr;
    HGDIOBJ previous_ = nullptr;
};

// Draws the F at (left, top) enlarged by scale and checks every pixel of the canvas.
void ExpectDrawnF(HBITMAP bitmap, int scale) {
    const int left = 3;
    const int top = 2;
    Canvas32 canvas(kWidth * scale + 7, kHeight * scale + 5);
    DrawBitmapDib(canvas.Dc(), left, top, kWidth * scale, kHeight * scale, bitmap);
    int wrong = 0;
    for (int y = 0; y < canvas.Height(); ++y) {
        for (int x = 0; x < canvas.Width(); ++x) {
            const bool inside = x >= left && x < left + kWidth * scale && y >= top && y < top + kHeight * scale;
            const uint32_t expected = inside ? FColour((x - left) / scale, (y - top) / scale) : kWhite;
            if (canvas.At(x, y) != expected && ++wrong <= 5) {
                ADD_FAILURE() << "pixel " << x << "," << y << " is " << std::hex << canvas.At(x, y) << ", expected "
                              << expected;
            }
        }
    }
    EXPECT_EQ(wrong, 0);
}

class BitmapDibDepth : public ::testing::TestWithParam<int> {};

TEST_P(BitmapDibDepth, ReadsTheBitmapInItsOwnDepthWithItsColourTable) {
    const int depth = GetParam();
    Section section(depth, kWidth, kHeight);
    ASSERT_NE(section.handle, nullptr);
    PaintF(section.bits, depth);
    ::GdiFlush();

    const BitmapDib dib(section.handle);
    EXPECT_EQ(dib.Width(), kWidth);
    EXPECT_EQ(dib.Height(), kHeight);  // positive: bottom-up
    EXPECT_EQ(dib.Depth(), depth);
    EXPECT_EQ(dib.Info()->bmiHeader.biCompression, static_cast<DWORD>(BI_RGB));
    const size_t colours = depth <= 8 ? size_t{1} << depth : 0;
    EXPECT_EQ(dib.HeaderSize(), sizeof(BITMAPINFOHEADER) + colours * sizeof(RGBQUAD));
    EXPECT_EQ(dib.BitsSize(), static_cast<size_t>(Stride(kWidth, depth)) * kHeight);
    for (size_t i = 0; i < colours; ++i) {
        const RGBQUAD& got = dib.Info()->bmiColors[i];
        EXPECT_EQ(got.rgbRed, section.table[i].rgbRed) << "colour " << i;
        EXPECT_EQ(got.rgbGreen, section.table[i].rgbGreen) << "colour " << i;
        EXPECT_EQ(got.rgbBlue, section.table[i].rgbBlue) << "colour " << i;
    }
    // Pixel bytes as the section holds them, row padding included.
    std::vector<unsigned char> expected(section.bits, section.bits + dib.BitsSize());
    std::vector<unsigned char> got(static_cast<const unsigned char*>(dib.Bits()),
                                   static_cast<const unsigned char*>(dib.Bits()) + dib.BitsSize());
    EXPECT_EQ(got, expected);
}

TEST_P(BitmapDibDepth, DrawsTheBitmapStretchedWhereAsked) {
    const int depth = GetParam();
    Section section(depth, kWidth, kHeight);
    ASSERT_NE(section.handle, nullptr);
    PaintF(section.bits, depth);
    ::GdiFlush();
    ExpectDrawnF(section.handle, 1);
    ExpectDrawnF(section.handle, 3);
}

INSTANTIATE_TEST_SUITE_P(EveryDibDepth, BitmapDibDepth, ::testing::Values(1, 4, 8, 16, 24, 32),
                         [](const ::testing::TestParamInfo<int>& depth) {
                             return std::to_string(depth.param) + "Bits";
                         });

// The final picture of a capture is a bitmap compatible with the screen, not a DIB section.
TEST(BitmapDib, ReadsAScreenCompatibleBitmapInTheScreensDepth) {
    HDC screen = ::GetDC(nullptr);
    const int screenDepth = ::GetDeviceCaps(screen, BITSPIXEL) * ::GetDeviceCaps(screen, PLANES);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, kWidth, kHeight);
    ::ReleaseDC(nullptr, screen);
    ASSERT_NE(bitmap, nullptr);
    {
        Section source(32, kWidth, kHeight);
        PaintF(source.bits, 32);
        HDC from = ::CreateCompatibleDC(nullptr);
        HDC to = ::CreateCompatibleDC(nullptr);
        HGDIOBJ oldFrom = ::SelectObject(from, source.handle);
        HGDIOBJ oldTo = ::SelectObject(to, bitmap);
        ::BitBlt(to, 0, 0, kWidth, kHeight, from, 0, 0, SRCCOPY);
        ::SelectObject(from, oldFrom);
        ::SelectObject(to, oldTo);
        ::DeleteDC(from);
        ::DeleteDC(to);
    }
    {
        const BitmapDib dib(bitmap);
        BITMAP object{};
        ::GetObjectW(bitmap, sizeof(object), &object);
        EXPECT_EQ(dib.Depth(), object.bmBitsPixel * object.bmPlanes);
        if (screenDepth >= 24) {
            EXPECT_EQ(dib.Depth(), screenDepth);
        }
    }
    ExpectDrawnF(bitmap, 2);
    ::DeleteObject(bitmap);
}

TEST(BitmapDib, WhatIsNoBitmapCannotBeRead) {
    EXPECT_THROW(BitmapDib(nullptr), AppError);
    HPEN pen = ::CreatePen(PS_SOLID, 1, 0);
    try {
        BitmapDib dib(reinterpret_cast<HBITMAP>(pen));
        ADD_FAILURE() << "a pen was read as a bitmap";
    } catch (const AppError& error) {
        EXPECT_STREQ(error.what(), "画像を読み取れません。");
    }
    ::DeleteObject(pen);
}

TEST(BitmapDib, DrawingOnNoDeviceIsAnError) {
    Section section(24, kWidth, kHeight);
    ASSERT_NE(section.handle, nullptr);
    try {
        DrawBitmapDib(nullptr, 0, 0, 10, 10, section.handle);
        ADD_FAILURE() << "no error";
    } catch (const AppError& error) {
        EXPECT_EQ(std::string(error.what()).rfind("画像を印刷できません。", 0), 0u) << error.what();
    }
}

}  // namespace
