#include <windows.h>

#include <gtest/gtest.h>

#include "DIBSuite.h"
#include "GdiBitmapKind_win.h"

INSTANTIATE_TYPED_TEST_SUITE_P(GdiBitmap, DIBContract, GdiBitmapKind);

namespace {

TEST(GdiBitmapOnWindows, TheScreenHoldsTrueColourSoPixelsCrossExactly) {
    // The suites compare exact colours; a 16-bit screen would round them.
    HDC screen = ::GetDC(nullptr);
    const int depth = ::GetDeviceCaps(screen, BITSPIXEL);
    ::ReleaseDC(nullptr, screen);
    EXPECT_GE(depth, 24);
}

TEST(GdiBitmapOnWindows, SizingMakesAScreenCompatibleBitmap) {
    GdiBitmap bitmap;
    EXPECT_EQ(bitmap.Handle(), nullptr);
    bitmap.SetSize(7, 3);
    ASSERT_NE(bitmap.Handle(), nullptr);
    BITMAP description{};
    ASSERT_EQ(::GetObjectA(bitmap.Handle(), sizeof description, &description), static_cast<int>(sizeof description));
    HDC screen = ::GetDC(nullptr);
    EXPECT_EQ(description.bmBitsPixel, ::GetDeviceCaps(screen, BITSPIXEL));
    ::ReleaseDC(nullptr, screen);
    EXPECT_EQ(bitmap.Width(), 7);
    EXPECT_EQ(bitmap.Height(), 3);
    bitmap.SetSize(0, 0);
    EXPECT_EQ(bitmap.Handle(), nullptr);
    EXPECT_EQ(bitmap.Width(), 0);
}

}  // namespace
