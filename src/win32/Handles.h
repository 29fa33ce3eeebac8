#pragma once
#include <windows.h>

#include <utility>

// One owner per handle. Unique<Traits> is move-only and closes its handle with Traits::Close;
// the scope guards below are neither copyable nor movable, because each of them undoes one
// call in the scope that made it.

template <class Traits>
class Unique {
public:
    using Handle = typename Traits::Handle;

    Unique() = default;
    explicit Unique(Handle handle) : handle_(handle) {}
    ~Unique() { Reset(); }
    Unique(Unique&& other) noexcept : handle_(other.Release()) {}
    Unique& operator=(Unique&& other) noexcept {
        if (this != &other) Reset(other.Release());
        return *this;
    }
    Unique(const Unique&) = delete;
    Unique& operator=(const Unique&) = delete;

    Handle Get() const { return handle_; }
    explicit operator bool() const { return handle_ != Traits::Invalid(); }
    // Gives the handle up without closing it.
    Handle Release() { return std::exchange(handle_, Traits::Invalid()); }
    void Reset(Handle handle = Traits::Invalid()) {
        Handle old = std::exchange(handle_, handle);
        if (old != Traits::Invalid()) Traits::Close(old);
    }

private:
    Handle handle_ = Traits::Invalid();
};

template <class H>
struct GdiObject {
    using Handle = H;
    static constexpr H Invalid() { return nullptr; }
    static void Close(H h) { ::DeleteObject(h); }
};

struct MemoryDCTraits {
    using Handle = HDC;
    static constexpr HDC Invalid() { return nullptr; }
    static void Close(HDC h) { ::DeleteDC(h); }
};

struct KernelHandleTraits {
    using Handle = HANDLE;
    static constexpr HANDLE Invalid() { return nullptr; }
    static void Close(HANDLE h) { ::CloseHandle(h); }
};

// CreateFile reports failure with INVALID_HANDLE_VALUE, not null.
struct FileHandleTraits {
    using Handle = HANDLE;
    static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(HANDLE h) { ::CloseHandle(h); }
};

struct IconTraits {
    using Handle = HICON;
    static constexpr HICON Invalid() { return nullptr; }
    static void Close(HICON h) { ::DestroyIcon(h); }
};

using UniqueBitmap = Unique<GdiObject<HBITMAP>>;
using UniqueFont = Unique<GdiObject<HFONT>>;
using UniqueBrush = Unique<GdiObject<HBRUSH>>;
using UniqueMemoryDC = Unique<MemoryDCTraits>;
using UniqueHandle = Unique<KernelHandleTraits>;
using UniqueFile = Unique<FileHandleTraits>;
using UniqueIcon = Unique<IconTraits>;

// A device context from GetDC (window null: the whole screen) or GetWindowDC, given back to
// the same window on destruction.
class WindowDC {
public:
    enum class Area { Client, Window };
    explicit WindowDC(HWND window, Area area = Area::Client)
        : window_(window), dc_(area == Area::Window ? ::GetWindowDC(window) : ::GetDC(window)) {}
    ~WindowDC() {
        if (dc_) ::ReleaseDC(window_, dc_);
    }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    HDC Get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

class PaintDC {
public:
    explicit PaintDC(HWND window) : window_(window), dc_(::BeginPaint(window, &paint_)) {}
    ~PaintDC() { ::EndPaint(window_, &paint_); }
    PaintDC(const PaintDC&) = delete;
    PaintDC& operator=(const PaintDC&) = delete;
    HDC Get() const { return dc_; }
    const RECT& Area() const { return paint_.rcPaint; }

private:
    HWND window_;
    PAINTSTRUCT paint_{};
    HDC dc_;
};

// Selects an object into a device context and puts the previous one back. Declare it after
// the object it selects, so the object is deselected before it is deleted.
class SelectGuard {
public:
    SelectGuard(HDC dc, HGDIOBJ object) : dc_(dc), previous_(object ? ::SelectObject(dc, object) : nullptr) {}
    ~SelectGuard() {
        if (previous_) ::SelectObject(dc_, previous_);
    }
    SelectGuard(const SelectGuard&) = delete;
    SelectGuard& operator=(const SelectGuard&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};
