#include <sys/mman.h>

#include <cstdlib>

#include "platform/PixelMemory.h"

namespace {
constexpr size_t kHugePage = size_t{2} << 20;
}

uint8_t* AllocatePixelMemory(size_t bytes) noexcept {
    if (bytes < kHugePage) return static_cast<uint8_t*>(std::malloc(bytes == 0 ? 1 : bytes));
    if (bytes > SIZE_MAX - kHugePage) return nullptr;
    // Aligned and rounded to whole huge pages, so that all of the block can use them.
    const size_t rounded = (bytes + kHugePage - 1) / kHugePage * kHugePage;
    void* block = std::aligned_alloc(kHugePage, rounded);
    if (block) ::madvise(block, rounded, MADV_HUGEPAGE);  // only advice: failure changes nothing
    return static_cast<uint8_t*>(block);
}

void FreePixelMemory(uint8_t* block) noexcept { std::free(block); }
