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

TEST(GdiBitmapOnWindows, ABorrowedBitmapIsUsedButNeverDeleted) {
    const auto original = GdiBitmapKind::Make(FPicture());
    UniqueBitmap held = static_cast<GdiBitmap&>(*original).Release();
    ASSERT_TRUE(held);
    EXPECT_EQ(original->Width(), 0);
    {
        GdiBitmap borrowed = GdiBitmap::Borrow(held.Get());
        EXPECT_EQ(borrowed.Width(), 6);
        DibInfo info{};
        DibBits bits;
        ASSERT_TRUE(ReadDIB24(borrowed, info, bits));
        const GdiBitmap moved = std::move(borrowed);
        EXPECT_EQ(borrowed.Handle(), nullptr);
        EXPECT_EQ(GdiBitmapKind::Grab(moved), FPicture());
    }
    BITMAP description{};
    EXPECT_EQ(::GetObjectA(held.Get(), sizeof description, &description), static_cast<int>(sizeof description));
    // Owned again, it goes with its owner.
    GdiBitmap owner(std::move(held));
    EXPECT_EQ(GdiBitmapKind::Grab(owner), FPicture());
}

}  // namespace
