#include "platform/MemoryBitmap.h"

#include <new>
#include <string>

#include "platform/AppError.h"

MemoryBitmap::MemoryBitmap(int width, int height) { SetSize(width, height); }

void MemoryBitmap::SetSize(int width, int height) { Resize(width, height, true); }

void MemoryBitmap::SetSizeForOverwrite(int width, int height) { Resize(width, height, false); }

void MemoryBitmap::Resize(int width, int height, bool clear) {
    // A settings file can ask for absurd picture sizes: refuse them before allocating.
    constexpr uint64_t kMaxPixels = 1ull << 30;
    if (width < 0 || height < 0 || static_cast<uint64_t>(width) * static_cast<uint64_t>(height) > kMaxPixels) {
        throw PictureTooLarge(width, height);
    }
    try {
        const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
        std::vector<uint32_t, PixelAllocator<uint32_t>> pixels;
        if (clear) {
            pixels.assign(count, 0);
        } else {
            pixels.resize(count);  // default-initialised: left as allocated
        }
        pixels_.swap(pixels);
    } catch (const std::bad_alloc&) {
        throw OutOfPictureMemory(width, height);
    }
    width_ = width;
    height_ = height;
}
