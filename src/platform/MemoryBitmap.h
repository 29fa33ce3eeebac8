#pragma once
#include <cstddef>
#include <cstdint>
#include <new>
#include <utility>
#include <vector>

#include "platform/Geom.h"
#include "platform/PixelMemory.h"

// Pixel storage from the pixel-buffer allocator (large pictures get huge pages on Linux).
template <class T>
struct PixelAllocator {
    using value_type = T;
    PixelAllocator() = default;
    template <class U>
    // cppcheck-suppress noExplicitConstructor ; allocators of other types convert implicitly
    PixelAllocator(const PixelAllocator<U>&) noexcept {}
    T* allocate(size_t n) {
        if (n > SIZE_MAX / sizeof(T)) throw std::bad_alloc();
        auto* block = AllocatePixelMemory(n * sizeof(T));
        if (!block) throw std::bad_alloc();
        return reinterpret_cast<T*>(block);
    }
    void deallocate(T* p, size_t) noexcept { FreePixelMemory(reinterpret_cast<uint8_t*>(p)); }
    // Elements made without a value are left as the memory holds them (see SetSizeForOverwrite);
    // with a value they get it.
    template <class U>
    void construct(U* p) noexcept {
        ::new (static_cast<void*>(p)) U;
    }
    template <class U, class... Args>
    void construct(U* p, Args&&... args) {
        ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
    }
    template <class U>
    friend bool operator==(const PixelAllocator&, const PixelAllocator<U>&) noexcept {
        return true;
    }
};

// A picture in memory: top-down rows of 32-bit pixels 0x00RRGGBB (the byte order blue,
// green, red, unused, as in a 32-bit Windows DIB). Portable stand-in for a device bitmap.
class MemoryBitmap {
public:
    MemoryBitmap() = default;
    // Throws AppError when the size is negative or too large to allocate.
    MemoryBitmap(int width, int height);

    int Width() const { return width_; }
    int Height() const { return height_; }
    // Drops the old pixels; the new ones are black. Throws AppError as the constructor does.
    void SetSize(int width, int height);
    // The same, but the new pixels are undefined: for a caller about to write every one of them,
    // which then saves a pass over the whole picture.
    void SetSizeForOverwrite(int width, int height);

    uint32_t* Row(int y) { return pixels_.data() + static_cast<size_t>(y) * static_cast<size_t>(width_); }
    const uint32_t* Row(int y) const { return pixels_.data() + static_cast<size_t>(y) * static_cast<size_t>(width_); }
    uint32_t Pixel(int x, int y) const { return Row(y)[x]; }
    void SetPixel(int x, int y, uint32_t value) { Row(y)[x] = value; }
    bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }

    static constexpr uint32_t Pack(Color c) {
        return (static_cast<uint32_t>(c.red) << 16) | (static_cast<uint32_t>(c.green) << 8) | c.blue;
    }
    static constexpr Color Unpack(uint32_t v) {
        return Color{static_cast<uint8_t>(v >> 16), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v)};
    }

    friend bool operator==(const MemoryBitmap&, const MemoryBitmap&) = default;

private:
    void Resize(int width, int height, bool clear);

    int width_ = 0;
    int height_ = 0;
    std::vector<uint32_t, PixelAllocator<uint32_t>> pixels_;
};
