#pragma once
#include <cstddef>
#include <cstdint>

// Fixed blocks for pixel buffers, which are large, written through once and freed soon after.
// Windows: GlobalAlloc(GMEM_FIXED) and GlobalFree. Linux: the allocator, asking for huge pages
// for large blocks, which cuts the cost of first touching a screen-sized buffer several times.

// A block of at least `bytes` bytes (1 for 0), or null when there is no memory for it.
uint8_t* AllocatePixelMemory(size_t bytes) noexcept;
// Frees a block from AllocatePixelMemory; null is ignored.
void FreePixelMemory(uint8_t* block) noexcept;

struct PixelMemoryDeleter {
    void operator()(uint8_t* block) const noexcept { FreePixelMemory(block); }
};
