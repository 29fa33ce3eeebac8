#pragma once
#include <windows.h>

#include <cstdio>
#include <type_traits>
#include <utility>

// The GDI objects the owners below hold, for the soak test: Wine reports no GDI object count
// of its own (GetGuiResources gives 0), so a build for tests (FRAMLET_COUNT_GDI) counts them
// here, in a block another process opens by name. Setting leakNext makes the next bitmap an
// owner takes leak one more bitmap, so that a test can see the count rise.
struct GdiCountBlock {
    volatile LONG live;
    volatile LONG leakNext;
};
inline void GdiCountBlockName(DWORD processId, char (&name)[48]) {
    std::snprintf(name, sizeof name, "FramletGdiCount.%lu", static_cast<unsigned long>(processId));
}

#ifdef FRAMLET_COUNT_GDI
inline GdiCountBlock* TheGdiCount() {
    static GdiCountBlock* block = [] {
        char name[48];
        GdiCountBlockName(::GetCurrentProcessId(), name);
        HANDLE mapping =
            ::CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(GdiCountBlock), name);
        void* view = mapping ? ::MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(GdiCountBlock)) : nullptr;
        return static_cast<GdiCountBlock*>(view);
    }();
    return block;
}
#endif

// One owner per handle. Unique<Traits> is move-only and closes its handle with Traits::Close;
// the scope guards below are neither copyable nor movable, because each of them undoes one
// call in the scope that made it.

template <class Traits>
class Unique {
public:
    using Handle = typename Traits::Handle;

    Unique() = default;
    explicit Unique(Handle handle) : handle_(handle) { Count(handle_, 1); }
    ~Unique() { Reset(); }
    Unique(Unique&& other) noexcept : handle_(std::exchange(other.handle_, Traits::Invalid())) {}
    Unique& operator=(Unique&& other) noexcept {
        if (this != &other) Reset(other.Release());
        return *this;
    }
    Unique(const Unique&) = delete;
    Unique& operator=(const Unique&) = delete;

    Handle Get() const { return handle_; }
    explicit operator bool() const { return handle_ != Traits::Invalid(); }
    // Gives the handle up without closing it.
    Handle Release() {
        Count(handle_, -1);
        return std::exchange(handle_, Traits::Invalid());
    }
    void Reset(Handle handle = Traits::Invalid()) {
        Count(handle, 1);
        Handle old = std::exchange(handle_, handle);
        if (old != Traits::Invalid()) {
            Traits::Close(old);
            Count(old, -1);
        }
    }

private:
#ifdef FRAMLET_COUNT_GDI
    static void Count(Handle handle, LONG change) {
        if constexpr (requires { requires Traits::kGdi; }) {
            GdiCountBlock* block = TheGdiCount();
            if (!block || handle == Traits::Invalid()) return;
            ::InterlockedExchangeAdd(&block->live, change);
            if constexpr (std::is_same_v<Handle, HBITMAP>) {
                if (change > 0 && ::InterlockedExchange(&block->leakNext, 0) != 0 &&
                    ::CreateBitmap(1, 1, 1, 1, nullptr)) {
                    ::InterlockedIncrement(&block->live);
                }
            }
        }
    }
#else
    static void Count(Handle, LONG) {}
#endif

    Handle handle_ = Traits::Invalid();
};

template <class H>
struct GdiObject {
    using Handle = H;
    static constexpr bool kGdi = true;
    static constexpr H Invalid() { return nullptr; }
    static void Close(H h) { ::DeleteObject(h); }
};

struct MemoryDCTraits {
    using Handle = HDC;
    static constexpr bool kGdi = true;
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
