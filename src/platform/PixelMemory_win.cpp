#include <windows.h>

#include "platform/PixelMemory.h"

uint8_t* AllocatePixelMemory(size_t bytes) noexcept {
    // A fixed block's handle is its address.
    return static_cast<uint8_t*>(::GlobalAlloc(GMEM_FIXED, bytes == 0 ? 1 : bytes));
}

void FreePixelMemory(uint8_t* block) noexcept {
    if (block) ::GlobalFree(block);
}
