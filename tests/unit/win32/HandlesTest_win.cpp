#include <windows.h>

#include <gtest/gtest.h>

#include <utility>

#include "win32/Handles.h"

namespace {

bool GdiObjectAlive(HGDIOBJ object) { return ::GetObjectType(object) != 0; }
bool KernelHandleAlive(HANDLE handle) {
    DWORD flags = 0;
    return ::GetHandleInformation(handle, &flags) != 0;
}

TEST(Handles, AnOwnerClosesItsHandleOnceWhateverWayItLeaves) {
    HBRUSH raw = ::CreateSolidBrush(RGB(1, 2, 3));
    {
        UniqueBrush brush(raw);
        UniqueBrush moved(std::move(brush));
        EXPECT_FALSE(brush);
        EXPECT_EQ(moved.Get(), raw);
        EXPECT_TRUE(GdiObjectAlive(raw));
    }
    EXPECT_FALSE(GdiObjectAlive(raw));

    HANDLE event = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    UniqueHandle owner(event);
    UniqueHandle other(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    HANDLE second = other.Get();
    owner = std::move(other);  // the first is closed, the second now belongs to owner
    EXPECT_FALSE(KernelHandleAlive(event));
    EXPECT_TRUE(KernelHandleAlive(second));
    HANDLE released = owner.Release();
    EXPECT_FALSE(owner);
    EXPECT_TRUE(KernelHandleAlive(released));
    ::CloseHandle(released);

    UniqueFile file;
    EXPECT_EQ(file.Get(), INVALID_HANDLE_VALUE);
    EXPECT_FALSE(file);
}

TEST(Handles, SelectGuardPutsThePreviousObjectBack) {
    UniqueMemoryDC dc(::CreateCompatibleDC(nullptr));
    HGDIOBJ original = ::GetCurrentObject(dc.Get(), OBJ_BITMAP);
    UniqueBitmap bitmap(::CreateCompatibleBitmap(dc.Get(), 4, 4));
    {
        SelectGuard select(dc.Get(), bitmap.Get());
        EXPECT_EQ(::GetCurrentObject(dc.Get(), OBJ_BITMAP), bitmap.Get());
    }
    EXPECT_EQ(::GetCurrentObject(dc.Get(), OBJ_BITMAP), original);
}

TEST(Handles, WindowDCReleasesToTheWindowItCameFrom) {
    HWND window = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    {
        WindowDC whole(window, WindowDC::Area::Window);
        WindowDC client(window);
        EXPECT_NE(whole.Get(), nullptr);
        EXPECT_EQ(::WindowFromDC(client.Get()), window);
    }
    WindowDC screen(nullptr);
    EXPECT_EQ(::GetDeviceCaps(screen.Get(), HORZRES), ::GetSystemMetrics(SM_CXSCREEN));
    ::DestroyWindow(window);
}

}  // namespace
