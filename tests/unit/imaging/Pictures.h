#pragma once
// Test pictures and the software bitmap's side of the bitmap test suites.
#include <cstdint>
#include <memory>
#include <random>

#include "imaging/SoftwareBitmap.h"
#include "platform/MemoryBitmap.h"

inline constexpr Color kRed{255, 0, 0};
inline constexpr Color kBlue{0, 0, 255};

// A red "F" on blue, 6 x 5: upside-down rows and swapped red and blue both show at once.
//   . X X X X .
//   . X . . . .
//   . X X X . .
//   . X . . . .
//   . X . . . .
inline MemoryBitmap FPicture() {
    static const char* const kRows[] = {".XXXX.", ".X....", ".XXX..", ".X....", ".X...."};
    MemoryBitmap picture(6, 5);
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 6; ++x) picture.SetPixel(x, y, MemoryBitmap::Pack(kRows[y][x] == 'X' ? kRed : kBlue));
    }
    return picture;
}

inline MemoryBitmap FilledPicture(int width, int height, Color color) {
    MemoryBitmap picture(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) picture.SetPixel(x, y, MemoryBitmap::Pack(color));
    }
    return picture;
}

// Random colours with plenty of pure white, pure black and almost-black pixels, the ones the
// effects treat specially.
inline MemoryBitmap RandomPicture(std::mt19937& random, int width, int height) {
    MemoryBitmap picture(width, height);
    std::uniform_int_distribution<int> kind(0, 5);
    std::uniform_int_distribution<uint32_t> any(0, 0xFFFFFF);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            uint32_t value = 0;
            switch (kind(random)) {
                case 0: value = 0xFFFFFF; break;
                case 1: value = 0x000000; break;
                case 2: value = 0x000001u << (8 * (random() % 3)); break;
                default: value = any(random); break;
            }
            picture.SetPixel(x, y, value);
        }
    }
    return picture;
}

// How the bitmap suites reach a kind of bitmap: make one holding given pixels, and read its
// pixels back, both without the 24-bit transfers under test.
struct SoftwareBitmapKind {
    static constexpr int kRandomCases = 300;
    static std::unique_ptr<Bitmap> Make(const MemoryBitmap& pixels) { return std::make_unique<SoftwareBitmap>(pixels); }
    static MemoryBitmap Grab(const Bitmap& bitmap) { return static_cast<const SoftwareBitmap&>(bitmap).Pixels(); }
};
