#pragma once
// The average of a box: its colour sums divided by its weight, truncating. Internal to the
// trim pipeline; in a header of its own so that the arithmetic can be tested exhaustively.
#include <cstdint>

#include "platform/Geom.h"

template <class Sum>
struct BoxSums {
    Sum blue = 0;
    Sum green = 0;
    Sum red = 0;
    Sum weight = 0;
};

// Truncating division of a box's sums by its weight through a reciprocal kept for the last
// weight (neighbouring boxes nearly always share it): multiplications instead of three
// divisions per pixel. Every colour sum s is at most 255 w, since each position adds at most
// 255 and at least 1 to the weight. With m = ceil(2^32 / w) = (2^32 + e) / w, 0 <= e < w,
// s m / 2^32 = s / w + s e / (w 2^32), whose floor is floor(s / w) when s e < 2^32; that holds
// for w <= 4104 (255 w (w - 1) < 2^32). Larger weights take m = floor(2^32 / w), whose
// product's high half is the quotient or one less for any s < 2^32, and one correction.
class Reciprocal {
public:
    static constexpr uint32_t kExactLimit = 4104;
    // ceil(2^32 / w), for weights 1 to kExactLimit.
    static constexpr uint64_t ExactMultiplier(uint32_t weight) { return ((uint64_t{1} << 32) + weight - 1) / weight; }

    Color Average(const BoxSums<uint32_t>& sums) {
        if (sums.weight != divisor_) {
            divisor_ = sums.weight;
            exact_ = divisor_ <= kExactLimit;
            reciprocal_ = exact_ ? ExactMultiplier(divisor_) : (uint64_t{1} << 32) / divisor_;
        }
        if (exact_) return Color{Exact(sums.red), Exact(sums.green), Exact(sums.blue)};
        return Color{Corrected(sums.red), Corrected(sums.green), Corrected(sums.blue)};
    }

private:
    uint8_t Exact(uint32_t sum) const { return static_cast<uint8_t>((sum * reciprocal_) >> 32); }

    uint8_t Corrected(uint32_t sum) const {
        auto quotient = static_cast<uint32_t>((sum * reciprocal_) >> 32);
        if (sum - quotient * divisor_ >= divisor_) ++quotient;
        return static_cast<uint8_t>(quotient);
    }

    uint32_t divisor_ = 0;
    bool exact_ = false;
    uint64_t reciprocal_ = 0;
};
