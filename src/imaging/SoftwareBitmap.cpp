#include "imaging/SoftwareBitmap.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "platform/SoftwareCanvas.h"

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#include <immintrin.h>
#define FRAMLET_HAVE_SSSE3_PATH 1
#endif

namespace {

// Four 0x00RRGGBB pixels become twelve bytes B G R B G R ... stored as one 64-bit and one
// 32-bit little-endian word (both targets are x86). Whole-word stores straight to the buffer
// keep the conversion near memory speed; assembling the bytes in a small array first costs a
// failed store-to-load forwarding per group.
void PackRow(const uint32_t* from, uint8_t* to, int width) {
    int x = 0;
    for (; x + 4 <= width; x += 4, to += 12) {
        const uint64_t p0 = from[x] & 0xFFFFFFu, p1 = from[x + 1] & 0xFFFFFFu, p2 = from[x + 2] & 0xFFFFFFu,
                       p3 = from[x + 3] & 0xFFFFFFu;
        const uint64_t low = p0 | (p1 << 24) | (p2 << 48);
        const auto high = static_cast<uint32_t>((p2 >> 16) | (p3 << 8));
        std::memcpy(to, &low, 8);
        std::memcpy(to + 8, &high, 4);
    }
    for (; x < width; ++x, to += 3) {
        to[0] = static_cast<uint8_t>(from[x]);
        to[1] = static_cast<uint8_t>(from[x] >> 8);
        to[2] = static_cast<uint8_t>(from[x] >> 16);
    }
}

void UnpackRow(const uint8_t* from, uint32_t* to, int width) {
    int x = 0;
    for (; x + 4 <= width; x += 4, from += 12) {
        uint64_t low;
        uint32_t high;
        std::memcpy(&low, from, 8);
        std::memcpy(&high, from + 8, 4);
        to[x] = static_cast<uint32_t>(low & 0xFFFFFFu);
        to[x + 1] = static_cast<uint32_t>((low >> 24) & 0xFFFFFFu);
        to[x + 2] = static_cast<uint32_t>((low >> 48) | ((high & 0xFFu) << 16));
        to[x + 3] = high >> 8;
    }
    for (; x < width; ++x, from += 3) {
        to[x] = from[0] | (static_cast<uint32_t>(from[1]) << 8) | (static_cast<uint32_t>(from[2]) << 16);
    }
}

#ifdef FRAMLET_HAVE_SSSE3_PATH
// The same conversions sixteen pixels at a time with byte shuffles, for processors that have
// them (every x86-64 of the last fifteen years, but not the baseline the program is built for).
bool HasSsse3() {
    static const bool has = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("ssse3") != 0;
    }();
    return has;
}

__attribute__((target("ssse3"))) void PackRowSsse3(const uint32_t* from, uint8_t* to, int width) {
    // B G R x per pixel -> twelve bytes B G R; the last four lanes become zero.
    const __m128i pack = _mm_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1);
    int x = 0;
    for (; x + 16 <= width; x += 16, to += 48) {
        const __m128i a = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(from + x)), pack);
        const __m128i b = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(from + x + 4)), pack);
        const __m128i c = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(from + x + 8)), pack);
        const __m128i d = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(from + x + 12)), pack);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(to), _mm_or_si128(a, _mm_slli_si128(b, 12)));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(to + 16), _mm_or_si128(_mm_srli_si128(b, 4), _mm_slli_si128(c, 8)));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(to + 32), _mm_or_si128(_mm_srli_si128(c, 8), _mm_slli_si128(d, 4)));
    }
    PackRow(from + x, to, width - x);
}

__attribute__((target("ssse3"))) void UnpackRowSsse3(const uint8_t* from, uint32_t* to, int width) {
    // Twelve bytes B G R -> four pixels B G R 0.
    const __m128i unpack = _mm_setr_epi8(0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1);
    int x = 0;
    for (; x + 16 <= width; x += 16, from += 48) {
        const __m128i in0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from));
        const __m128i in1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + 16));
        const __m128i in2 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + 32));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(to + x), _mm_shuffle_epi8(in0, unpack));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(to + x + 4),
                         _mm_shuffle_epi8(_mm_alignr_epi8(in1, in0, 12), unpack));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(to + x + 8),
                         _mm_shuffle_epi8(_mm_alignr_epi8(in2, in1, 8), unpack));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(to + x + 12), _mm_shuffle_epi8(_mm_srli_si128(in2, 4), unpack));
    }
    UnpackRow(from, to + x, width - x);
}
#endif

void PackPixels(const uint32_t* from, uint8_t* to, int width) {
#ifdef FRAMLET_HAVE_SSSE3_PATH
    if (HasSsse3()) return PackRowSsse3(from, to, width);
#endif
    PackRow(from, to, width);
}

void UnpackPixels(const uint8_t* from, uint32_t* to, int width) {
#ifdef FRAMLET_HAVE_SSSE3_PATH
    if (HasSsse3()) return UnpackRowSsse3(from, to, width);
#endif
    UnpackRow(from, to, width);
}

}  // namespace

void SoftwareBitmap::SetSize(int width, int height) {
    pixels_.SetSizeForOverwrite(width, height);
    packed_.reset();
}

bool SoftwareBitmap::AdoptDIB24(const DibInfo& info, DibBits& bits) {
    const DibHeader& header = info.bmiHeader;
    if (!bits || header.biBitCount != 24 || header.biWidth != Width() || header.biHeight != Height() ||
        header.biWidth <= 0 || header.biHeight <= 0) {
        return false;
    }
    packedWidth_ = header.biWidth;
    packedHeight_ = header.biHeight;
    packed_ = std::move(bits);
    pixels_ = MemoryBitmap();
    return true;
}

void SoftwareBitmap::Unpack() const {
    if (!packed_) return;
    const int width = packedWidth_;
    const int height = packedHeight_;
    const size_t stride = static_cast<size_t>(DibStride(width));
    MemoryBitmap pixels;
    pixels.SetSizeForOverwrite(width, height);
    for (int y = 0; y < height; ++y)
        UnpackPixels(packed_.get() + static_cast<size_t>(height - 1 - y) * stride, pixels.Row(y), width);
    pixels_ = std::move(pixels);
    packed_.reset();
}

MemoryBitmap& SoftwareBitmap::Pixels() {
    Unpack();
    return pixels_;
}

const MemoryBitmap& SoftwareBitmap::Pixels() const {
    Unpack();
    return pixels_;
}

bool SoftwareBitmap::ExportDIB24(const DibInfo& info, uint8_t* bits) const {
    const DibHeader& header = info.bmiHeader;
    if (header.biBitCount != 24 || header.biWidth != Width() || std::abs(header.biHeight) != Height()) return false;
    const int width = Width();
    const int height = Height();
    const size_t stride = static_cast<size_t>(DibStride(width));
    const size_t used = static_cast<size_t>(width) * 3;
    for (int y = 0; y < height; ++y) {
        // Row y of the picture is row height-1-y of a bottom-up buffer.
        const int bufferRow = header.biHeight > 0 ? height - 1 - y : y;
        uint8_t* to = bits + static_cast<size_t>(bufferRow) * stride;
        if (packed_) {
            std::memcpy(to, packed_.get() + static_cast<size_t>(height - 1 - y) * stride, used);
        } else {
            PackPixels(pixels_.Row(y), to, width);
        }
        std::memset(to + used, 0, stride - used);
    }
    return true;
}

bool SoftwareBitmap::ImportDIB24(const DibInfo& info, const uint8_t* bits) {
    const DibHeader& header = info.bmiHeader;
    if (header.biBitCount != 24 || header.biWidth < 0) return false;
    // Pixels the import does not cover keep their values.
    Unpack();
    const int rows = std::abs(header.biHeight);
    const size_t stride = static_cast<size_t>(DibStride(header.biWidth));
    const int width = std::min(header.biWidth, Width());
    for (int y = 0; y < std::min(rows, Height()); ++y) {
        const int bufferRow = header.biHeight > 0 ? rows - 1 - y : y;
        UnpackPixels(bits + static_cast<size_t>(bufferRow) * stride, pixels_.Row(y), width);
    }
    return true;
}

std::unique_ptr<Canvas> SoftwareBitmap::CreateCanvas() {
    Unpack();
    return std::make_unique<SoftwareCanvas>(pixels_);
}
