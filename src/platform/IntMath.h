#pragma once
#include <cstdint>

// n / d rounded to the nearest integer, halves to the even one: the exact form of rounding
// a product with a decimal factor such as 0.9 (n = x * 9, d = 10). d must be positive.
constexpr int64_t RoundDivHalfEven(int64_t n, int64_t d) {
    int64_t q = n / d;
    int64_t r = n % d;  // same sign as n
    if (r < 0) {
        r = -r;
        if (2 * r > d || (2 * r == d && (q % 2 != 0))) --q;
    } else {
        if (2 * r > d || (2 * r == d && (q % 2 != 0))) ++q;
    }
    return q;
}

// Windows' MulDiv: a * b / c with a 64-bit intermediate, rounded to the nearest integer with
// halves away from zero; -1 when c is 0 or the result does not fit in 32 bits.
constexpr int32_t MulDivRound(int32_t a, int32_t b, int32_t c) {
    if (c == 0) return -1;
    const int64_t product = static_cast<int64_t>(a) * b;
    const bool negative = (product < 0) != (c < 0);
    const uint64_t n = product < 0 ? static_cast<uint64_t>(-product) : static_cast<uint64_t>(product);
    const uint64_t d = c < 0 ? static_cast<uint64_t>(-static_cast<int64_t>(c)) : static_cast<uint64_t>(c);
    // cppcheck-suppress zerodivcond ; c is not 0 here
    const uint64_t q = (n + d / 2) / d;
    if (q > (negative ? 0x80000000ull : 0x7FFFFFFFull)) return -1;
    return negative ? static_cast<int32_t>(-static_cast<int64_t>(q)) : static_cast<int32_t>(q);
}
