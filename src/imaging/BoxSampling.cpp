// The sampling step of the trim pipeline: every output pixel the average of its box, with the
// effects, through the loop that fits the run (plain copies, column sums without effects, sums
// in 32 or 64 bits).
#include <algorithm>
#include <cstring>
#include <limits>
#include <type_traits>
#include <vector>

#include "imaging/BoxAverage.h"
#include "imaging/ImageLib.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// Boxes up to this size sum in 32-bit unsigned integers (255 x 16777215 < 2^32), which is
// every box a real reduction makes; larger ones take 64-bit sums.
constexpr int64_t kMaxNarrowBoxPositions = (int64_t{1} << 24) - 1;

enum class Reverse { None, All, BlackWhite };

const uint8_t* SourceRow(const TrimContext& context, int32_t y) {
    // Bottom-up: picture row y is buffer row PictureHeight - 1 - y.
    return context.SourcePixels +
           static_cast<size_t>(context.PictureHeight - 1 - y) * static_cast<size_t>(context.SourceStride);
}

uint8_t* DestRow(TrimContext& context, int32_t y) {
    return context.DestBits.get() +
           static_cast<size_t>(context.OutHeight - 1 - y) * static_cast<size_t>(context.DestStride);
}

// One source pixel with the effects: Reverse first, then Emphasis on the reversed colour.
template <Reverse kReverse, bool kEmphasis, class Sum>
inline void AddPixel(const uint8_t* p, Sum& blue, Sum& green, Sum& red, Sum& weight) {
    uint32_t b = p[0], g = p[1], r = p[2];
    if constexpr (kReverse == Reverse::All) {
        b = 255 - b;
        g = 255 - g;
        r = 255 - r;
    } else if constexpr (kReverse == Reverse::BlackWhite) {
        if ((b & g & r) == 255 || (b | g | r) == 0) {
            b ^= 255;
            g ^= 255;
            r ^= 255;
        }
    }
    if constexpr (kEmphasis) {
        if ((b | g | r) == 0) weight += 3;
    }
    blue += b;
    green += g;
    red += r;
    weight += 1;
}

template <Reverse kReverse, bool kEmphasis, class Sum>
inline BoxSums<Sum> SumBox(const TrimContext& context, const BoxSpan& column, const BoxSpan& row) {
    BoxSums<Sum> sums;
    if (row.insideCount > 0 && column.insideCount > 0) {
        const uint8_t* line = SourceRow(context, row.insideFirst) + static_cast<size_t>(column.insideFirst) * 3;
        const ptrdiff_t down = -static_cast<ptrdiff_t>(context.SourceStride);
        for (int32_t i = 0; i < row.insideCount; ++i, line += down) {
            const uint8_t* p = line;
            for (int32_t j = 0; j < column.insideCount; ++j, p += 3) {
                AddPixel<kReverse, kEmphasis>(p, sums.blue, sums.green, sums.red, sums.weight);
            }
        }
    }
    // Positions outside the picture are white, without effects.
    // cppcheck-suppress redundantAssignment ; a false finding: nothing is assigned twice
    const int64_t outside = row.count * column.count - int64_t{row.insideCount} * column.insideCount;
    if (outside > 0) {
        sums.blue += static_cast<Sum>(outside * 255);
        sums.green += static_cast<Sum>(outside * 255);
        sums.red += static_cast<Sum>(outside * 255);
        sums.weight += static_cast<Sum>(outside);
    }
    return sums;
}

template <class Sum>
inline Color Average(const BoxSums<Sum>& sums) {
    return Color{static_cast<uint8_t>(sums.red / sums.weight), static_cast<uint8_t>(sums.green / sums.weight),
                 static_cast<uint8_t>(sums.blue / sums.weight)};
}

template <Reverse kReverse, bool kEmphasis, class Sum>
void SampleBoxes(TrimContext& context) {
    [[maybe_unused]] Reciprocal reciprocal;
    for (int32_t y = 0; y < context.OutHeight; ++y) {
        const BoxSpan& row = context.Rows[static_cast<size_t>(y)];
        uint8_t* out = DestRow(context, y);
        for (const BoxSpan& column : context.Columns) {
            const BoxSums<Sum> sums = SumBox<kReverse, kEmphasis, Sum>(context, column, row);
            Color c;
            if constexpr (std::is_same_v<Sum, uint32_t>) {
                c = reciprocal.Average(sums);
            } else {
                c = Average(sums);
            }
            out[0] = c.blue;
            out[1] = c.green;
            out[2] = c.red;
            out += 3;
        }
    }
}

// sums[j] = line[j] (start) or sums[j] += line[j], for j below `bytes`. 16-bit sums hold up
// to 257 rows (257 x 255 = 65535), 32-bit ones any number a box can have here.
template <bool kStart, class Sum>
void AddRowBytes(Sum* sums, const uint8_t* line, size_t bytes) {
    size_t j = 0;
#if defined(__SSE2__)
    // Sixteen bytes at a time, widened to 16-bit or 32-bit lanes.
    const __m128i zero = _mm_setzero_si128();
    for (; j + 16 <= bytes; j += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(line + j));
        const __m128i low = _mm_unpacklo_epi8(v, zero), high = _mm_unpackhi_epi8(v, zero);
        auto* target = reinterpret_cast<__m128i*>(sums + j);
        if constexpr (sizeof(Sum) == 2) {
            if constexpr (kStart) {
                _mm_storeu_si128(target, low);
                _mm_storeu_si128(target + 1, high);
            } else {
                _mm_storeu_si128(target, _mm_add_epi16(_mm_loadu_si128(target), low));
                _mm_storeu_si128(target + 1, _mm_add_epi16(_mm_loadu_si128(target + 1), high));
            }
        } else {
            const __m128i p0 = _mm_unpacklo_epi16(low, zero), p1 = _mm_unpackhi_epi16(low, zero);
            const __m128i p2 = _mm_unpacklo_epi16(high, zero), p3 = _mm_unpackhi_epi16(high, zero);
            if constexpr (kStart) {
                _mm_storeu_si128(target, p0);
                _mm_storeu_si128(target + 1, p1);
                _mm_storeu_si128(target + 2, p2);
                _mm_storeu_si128(target + 3, p3);
            } else {
                _mm_storeu_si128(target, _mm_add_epi32(_mm_loadu_si128(target), p0));
                _mm_storeu_si128(target + 1, _mm_add_epi32(_mm_loadu_si128(target + 1), p1));
                _mm_storeu_si128(target + 2, _mm_add_epi32(_mm_loadu_si128(target + 2), p2));
                _mm_storeu_si128(target + 3, _mm_add_epi32(_mm_loadu_si128(target + 3), p3));
            }
        }
    }
#endif
    for (; j < bytes; ++j) sums[j] = static_cast<Sum>(kStart ? line[j] : sums[j] + line[j]);
}

// Without effects every position weighs 1 and adds its own bytes, so a box's sums split into
// columns: for each output row the rows of its box are first added up byte by byte across the
// picture columns any box uses (a plain loop over memory), then each output pixel adds up the
// few column sums of its box. Same sums, same order-free integer additions, same result.
template <class ColumnSum>
void SampleBoxesWithoutEffects(TrimContext& context) {
    // Each column's box in 32-bit terms (every box here has fewer than 2^24 positions).
    struct ColumnPlan {
        uint32_t offset;  // of its first inside column in the column sums
        uint32_t inside;
        uint32_t count;
    };
    int32_t low = std::numeric_limits<int32_t>::max(), high = -1;
    for (const BoxSpan& column : context.Columns) {
        if (column.insideCount == 0) continue;
        low = std::min(low, column.insideFirst);
        high = std::max(high, column.insideFirst + column.insideCount - 1);
    }
    std::vector<ColumnPlan> plans;
    plans.reserve(context.Columns.size());
    for (const BoxSpan& column : context.Columns) {
        plans.push_back({column.insideCount > 0 ? static_cast<uint32_t>(column.insideFirst - low) * 3 : 0,
                         static_cast<uint32_t>(column.insideCount), static_cast<uint32_t>(column.count)});
    }
    const size_t bytes = high < low ? 0 : static_cast<size_t>(high - low + 1) * 3;
    std::vector<ColumnSum> columnSums(bytes);
    // A reduction to half the width or less evenly, the free and scaling modes' usual case:
    // every box two columns side by side, all inside, one after the other.
    bool pairs = true;
    for (size_t i = 0; i < plans.size() && pairs; ++i)
        pairs = plans[i].inside == 2 && plans[i].count == 2 && plans[i].offset == 6 * i;
    Reciprocal reciprocal;
    for (int32_t y = 0; y < context.OutHeight; ++y) {
        const BoxSpan& row = context.Rows[static_cast<size_t>(y)];
        uint8_t* out = DestRow(context, y);
        if (row.insideCount == 0 || bytes == 0) {
            // Every position of every box in this row is outside the picture: white.
            std::memset(out, 255, static_cast<size_t>(context.OutWidth) * 3);
            continue;
        }
        ColumnSum* sums = columnSums.data();
        const uint8_t* line = SourceRow(context, row.insideFirst) + static_cast<size_t>(low) * 3;
        AddRowBytes<true>(sums, line, bytes);
        for (int32_t i = 1; i < row.insideCount; ++i) {
            line -= context.SourceStride;  // one picture row down
            AddRowBytes<false>(sums, line, bytes);
        }
        const auto rowCount = static_cast<uint32_t>(row.count);
        const auto rowInside = static_cast<uint32_t>(row.insideCount);
        if (pairs && rowInside == rowCount && 2 * rowCount <= Reciprocal::kExactLimit) {
            // Every box of the row has the same weight and no white: the same truncating division
            // as Reciprocal's exact case, with its multiplier worked out once for the row.
            const uint64_t multiplier = Reciprocal::ExactMultiplier(2 * rowCount);
            const ColumnSum* p = sums;
            for (int32_t x = 0; x < context.OutWidth; ++x, p += 6, out += 3) {
                out[0] = static_cast<uint8_t>(
                    (static_cast<uint64_t>(static_cast<uint32_t>(p[0] + p[3])) * multiplier) >> 32);
                out[1] = static_cast<uint8_t>(
                    (static_cast<uint64_t>(static_cast<uint32_t>(p[1] + p[4])) * multiplier) >> 32);
                out[2] = static_cast<uint8_t>(
                    (static_cast<uint64_t>(static_cast<uint32_t>(p[2] + p[5])) * multiplier) >> 32);
            }
            continue;
        }
        for (const ColumnPlan& plan : plans) {
            BoxSums<uint32_t> box;
            const ColumnSum* p = sums + plan.offset;
            for (uint32_t j = 0; j < plan.inside; ++j, p += 3) {
                box.blue += p[0];
                box.green += p[1];
                box.red += p[2];
            }
            box.weight = rowCount * plan.count;
            const uint32_t white = (box.weight - rowInside * plan.inside) * 255;
            box.blue += white;
            box.green += white;
            box.red += white;
            const Color c = reciprocal.Average(box);
            out[0] = c.blue;
            out[1] = c.green;
            out[2] = c.red;
            out += 3;
        }
    }
}

// Consecutive output columns that copy consecutive picture columns (or are all white), found
// once per run so that each row is a few block copies.
struct ColumnRun {
    int32_t outFirst;
    int32_t count;
    int32_t sourceFirst;  // -1: outside the picture, white
};

std::vector<ColumnRun> ColumnRuns(const std::vector<BoxSpan>& columns) {
    std::vector<ColumnRun> runs;
    for (int32_t x = 0; x < static_cast<int32_t>(columns.size()); ++x) {
        const int32_t source =
            columns[static_cast<size_t>(x)].insideCount > 0 ? columns[static_cast<size_t>(x)].insideFirst : -1;
        if (!runs.empty()) {
            ColumnRun& last = runs.back();
            if ((source < 0 && last.sourceFirst < 0) ||
                (source >= 0 && last.sourceFirst >= 0 && source == last.sourceFirst + last.count)) {
                ++last.count;
                continue;
            }
        }
        runs.push_back({x, 1, source});
    }
    return runs;
}

// Every box is one position (no reduction on either axis): the output pixel is the source
// pixel after Reverse, since Emphasis only weighs a black pixel against itself.
template <Reverse kReverse>
void CopyPositions(TrimContext& context) {
    const std::vector<ColumnRun> runs = ColumnRuns(context.Columns);
    for (int32_t y = 0; y < context.OutHeight; ++y) {
        const BoxSpan& row = context.Rows[static_cast<size_t>(y)];
        uint8_t* out = DestRow(context, y);
        if (row.insideCount == 0) {
            std::memset(out, 255, static_cast<size_t>(context.OutWidth) * 3);
            continue;
        }
        const uint8_t* source = SourceRow(context, row.insideFirst);
        for (const ColumnRun& run : runs) {
            uint8_t* to = out + static_cast<size_t>(run.outFirst) * 3;
            const size_t bytes = static_cast<size_t>(run.count) * 3;
            if (run.sourceFirst < 0) {
                std::memset(to, 255, bytes);
                continue;
            }
            const uint8_t* from = source + static_cast<size_t>(run.sourceFirst) * 3;
            if constexpr (kReverse == Reverse::None) {
                std::memcpy(to, from, bytes);
            } else {
                for (size_t i = 0; i < bytes; i += 3) {
                    uint32_t b = from[i], g = from[i + 1], r = from[i + 2];
                    if (kReverse == Reverse::All || (b & g & r) == 255 || (b | g | r) == 0) {
                        b ^= 255;
                        g ^= 255;
                        r ^= 255;
                    }
                    to[i] = static_cast<uint8_t>(b);
                    to[i + 1] = static_cast<uint8_t>(g);
                    to[i + 2] = static_cast<uint8_t>(r);
                }
            }
        }
    }
}

Reverse ReverseOf(const TrimSettings& settings) {
    if (!(settings.EffectFlags & TrimSettings::kReverse)) return Reverse::None;
    return settings.ReverseType == 0 ? Reverse::All : Reverse::BlackWhite;
}

template <Reverse kReverse, bool kEmphasis>
void SampleAllWith(TrimContext& context, int64_t largestBox) {
    if (kReverse == Reverse::None && !kEmphasis && largestBox <= kMaxNarrowBoxPositions) {
        int32_t tallest = 0;
        for (const BoxSpan& row : context.Rows) tallest = std::max(tallest, row.insideCount);
        if (tallest <= 257) {
            SampleBoxesWithoutEffects<uint16_t>(context);
        } else {
            SampleBoxesWithoutEffects<uint32_t>(context);
        }
    } else if (largestBox <= kMaxNarrowBoxPositions) {
        SampleBoxes<kReverse, kEmphasis, uint32_t>(context);
    } else {
        SampleBoxes<kReverse, kEmphasis, uint64_t>(context);
    }
}

template <Reverse kReverse>
void SampleAllWith(TrimContext& context, bool emphasis, int64_t largestBox) {
    if (largestBox == 1) {
        CopyPositions<kReverse>(context);
    } else if (emphasis) {
        SampleAllWith<kReverse, true>(context, largestBox);
    } else {
        SampleAllWith<kReverse, false>(context, largestBox);
    }
}

int64_t LargestCount(const std::vector<BoxSpan>& boxes) {
    int64_t largest = 0;
    for (const BoxSpan& box : boxes) largest = std::max(largest, box.count);
    return largest;
}

}  // namespace

Color SampleBox(const TrimContext& context, int32_t x, int32_t y, const TrimSettings& settings) {
    const BoxSpan& column = context.Columns.at(static_cast<size_t>(x));
    const BoxSpan& row = context.Rows.at(static_cast<size_t>(y));
    const bool emphasis = settings.EffectFlags & TrimSettings::kEmphasis;
    switch (ReverseOf(settings)) {
        case Reverse::All:
            return Average(emphasis ? SumBox<Reverse::All, true, uint64_t>(context, column, row)
                                    : SumBox<Reverse::All, false, uint64_t>(context, column, row));
        case Reverse::BlackWhite:
            return Average(emphasis ? SumBox<Reverse::BlackWhite, true, uint64_t>(context, column, row)
                                    : SumBox<Reverse::BlackWhite, false, uint64_t>(context, column, row));
        case Reverse::None: break;
    }
    return Average(emphasis ? SumBox<Reverse::None, true, uint64_t>(context, column, row)
                            : SumBox<Reverse::None, false, uint64_t>(context, column, row));
}

void SampleAllPixels(TrimContext& context, const TrimSettings& settings) {
    const bool emphasis = settings.EffectFlags & TrimSettings::kEmphasis;
    const int64_t largestBox = LargestCount(context.Columns) * LargestCount(context.Rows);
    switch (ReverseOf(settings)) {
        case Reverse::None: SampleAllWith<Reverse::None>(context, emphasis, largestBox); break;
        case Reverse::All: SampleAllWith<Reverse::All>(context, emphasis, largestBox); break;
        case Reverse::BlackWhite: SampleAllWith<Reverse::BlackWhite>(context, emphasis, largestBox); break;
    }
}
