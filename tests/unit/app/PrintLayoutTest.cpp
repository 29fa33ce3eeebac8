#include "app/PrintLayout.h"

#include <gtest/gtest.h>

#include "platform/IntMath.h"

namespace {

struct LayoutCase {
    int32_t pw, ph, w, h;
    PrintLayout expected;
};

void PrintTo(const LayoutCase& c, std::ostream* os) {
    *os << c.pw << "x" << c.ph << " page, " << c.w << "x" << c.h << " picture";
}

class PrintLayoutCases : public testing::TestWithParam<LayoutCase> {};

TEST_P(PrintLayoutCases, FitsAndCentresThePicture) {
    const LayoutCase& c = GetParam();
    const PrintLayout l = CalcPrintLayout(c.pw, c.ph, c.w, c.h);
    EXPECT_EQ(l.AW, c.expected.AW);
    EXPECT_EQ(l.AH, c.expected.AH);
    EXPECT_EQ(l.DW, c.expected.DW);
    EXPECT_EQ(l.DH, c.expected.DH);
    EXPECT_EQ(l.X, c.expected.X);
    EXPECT_EQ(l.Y, c.expected.Y);
}

INSTANTIATE_TEST_SUITE_P(
    Pages, PrintLayoutCases,
    testing::Values(
        // A wide picture fills the area's width; 6313.5 rounds to the even 6314, 350.75 to 351.
        LayoutCase{4960, 7015, 300, 200, {4464, 6314, 4464, 2976, 248, 2020}},
        // A tall picture fills the height.
        LayoutCase{4960, 7015, 200, 400, {4464, 6314, 3157, 6314, 901, 351}},
        // Exactly the area's proportions take the second branch: the width is filled.
        LayoutCase{4960, 7015, 4464, 6314, {4464, 6314, 4464, 6314, 248, 351}},
        // One pixel is stretched to the width of the area.
        LayoutCase{2479, 3508, 1, 1, {2231, 3157, 2231, 2231, 124 + 0, 175 + 463}},
        // Ties in the area: 45 * 0.9 = 40.5 -> 40, 35 * 0.9 = 31.5 -> 32; equal products.
        LayoutCase{45, 35, 5, 4, {40, 32, 40, 32, 2, 2}},
        // Ties in the margins: 50 * 0.05 = 2.5 -> 2, 70 * 0.05 = 3.5 -> 4; MulDiv(45, 3, 8) = 16.875 -> 17.
        LayoutCase{50, 70, 8, 3, {45, 63, 45, 17, 2, 4 + 23}},
        // MulDiv rounds halves away from zero: 63 * 1 / 2 = 31.5 -> 32.
        LayoutCase{50, 70, 2, 1, {45, 63, 45, 23, 2, 4 + 20}}, LayoutCase{70, 50, 1, 2, {63, 45, 23, 45, 4 + 20, 2}}));

TEST(PrintLayout, ProductsBeyond32BitsStillFitThePictureInsideTheArea) {
    // 100000 * 90000 wraps in 32 bits; the layout must still keep the picture inside the area.
    const PrintLayout l = CalcPrintLayout(100000, 100000, 100000, 10);
    EXPECT_EQ(l.AW, 90000);
    EXPECT_EQ(l.DW, 90000);
    EXPECT_EQ(l.DH, 9);
    EXPECT_LE(l.Y + l.DH, 100000);
    const PrintLayout tall = CalcPrintLayout(100000, 100000, 10, 100000);
    EXPECT_EQ(tall.DH, 90000);
    EXPECT_EQ(tall.DW, 9);
}

TEST(IntMath, RoundingRules) {
    EXPECT_EQ(RoundDivHalfEven(45, 10), 4);
    EXPECT_EQ(RoundDivHalfEven(135, 10), 14);
    EXPECT_EQ(RoundDivHalfEven(63135, 10), 6314);
    EXPECT_EQ(RoundDivHalfEven(-45, 10), -4);
    EXPECT_EQ(RoundDivHalfEven(-55, 10), -6);
    EXPECT_EQ(RoundDivHalfEven(-56, 10), -6);
    EXPECT_EQ(MulDivRound(5, 1, 2), 3);
    EXPECT_EQ(MulDivRound(-5, 1, 2), -3);
    EXPECT_EQ(MulDivRound(7, 1, 0), -1);
    EXPECT_EQ(MulDivRound(0x7FFFFFFF, 4, 2), -1);
    EXPECT_EQ(MulDivRound(0x7FFFFFFF, 0x7FFFFFFF, 0x7FFFFFFF), 0x7FFFFFFF);
}

}  // namespace
