#include <gtest/gtest.h>

#include <cstdint>

#include "imaging/BoxAverage.h"

namespace {

// Checks sums s = k w + r for every quotient k and a few remainders r (s never above 255 w),
// the colour channels holding different sums so that none is checked against another.
int CountWrongQuotients(Reciprocal& reciprocal, uint32_t weight) {
    int wrong = 0;
    const uint32_t remainders[] = {0, 1, weight / 2, weight - 1};
    for (uint32_t k = 0; k <= 255; ++k) {
        for (const uint32_t r : remainders) {
            if (r >= weight || (k == 255 && r > 0)) continue;
            const uint32_t s = k * weight + r;
            const uint32_t other = (255 - k) * weight + (weight - 1 - r) % weight * (k < 255 ? 1 : 0);
            const Color c = reciprocal.Average(BoxSums<uint32_t>{s, other, s, weight});
            if (c.blue != s / weight || c.red != s / weight || c.green != other / weight) ++wrong;
        }
    }
    return wrong;
}

TEST(BoxAverage, EqualsTruncatingDivisionForEveryWeightUpToSixThousand) {
    // 4104 is where the method changes: both sides, closely.
    Reciprocal reciprocal;
    int wrong = 0;
    for (uint32_t w = 1; w <= 6000; ++w) wrong += CountWrongQuotients(reciprocal, w);
    EXPECT_EQ(wrong, 0);
}

TEST(BoxAverage, EqualsTruncatingDivisionForLargeWeights) {
    Reciprocal reciprocal;
    int wrong = 0;
    for (uint64_t w = 6001; w < (uint64_t{1} << 24) * 4; w = w * 21 / 20 + 7)
        wrong += CountWrongQuotients(reciprocal, static_cast<uint32_t>(w));
    // The largest weights a box with 32-bit sums can have (4 x (2^24 - 1) with emphasis).
    for (uint32_t w = (1u << 24) - 3; w <= (1u << 24) + 3; ++w) wrong += CountWrongQuotients(reciprocal, w);
    EXPECT_EQ(wrong, 0);
}

TEST(BoxAverage, EveryPossibleSumOfSmallBoxes) {
    Reciprocal reciprocal;
    int wrong = 0;
    for (uint32_t w = 1; w <= 64; ++w) {
        for (uint32_t s = 0; s <= 255 * w; ++s) {
            const Color c = reciprocal.Average(BoxSums<uint32_t>{s, 255 * w - s, s, w});
            if (c.blue != s / w || c.green != (255 * w - s) / w) ++wrong;
        }
    }
    EXPECT_EQ(wrong, 0);
}

}  // namespace
