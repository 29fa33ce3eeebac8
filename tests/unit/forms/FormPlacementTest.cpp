#include <gtest/gtest.h>

#include "forms/FormPlacement.h"

namespace {

constexpr ScreenRect kPrimary{0, 0, 1024, 768};
constexpr ScreenRect kPrimaryWork{0, 0, 1024, 728};  // a task bar of 40 at the bottom

TEST(FormPlacement, AFormThatFitsIsCentredOnTheScreen) {
    EXPECT_EQ(PlaceCentred(kPrimary, 760, 569, kPrimaryWork, true), (ScreenRect{132, 99, 892, 668}));
    // Odd differences halve with truncation.
    EXPECT_EQ(PlaceCentred(kPrimary, 761, 570, kPrimaryWork, true), (ScreenRect{131, 99, 892, 669}));
}

TEST(FormPlacement, AFormCentredOnItsOwnerIsMovedBackIntoTheWorkArea) {
    const ScreenRect dialog = PlaceCentred(ScreenRect{-100, 600, 300, 900}, 200, 100, kPrimaryWork, false);
    EXPECT_EQ(dialog, (ScreenRect{0, 628, 200, 728}));
    // On a second monitor to the right, it stays there, over its owner.
    const ScreenRect secondWork{1024, 0, 1824, 600};
    EXPECT_EQ(PlaceCentred(ScreenRect{1034, 10, 1794, 579}, 529, 290, secondWork, false),
              (ScreenRect{1149, 149, 1678, 439}));
    // And on one left of the primary, at negative coordinates, too.
    const ScreenRect leftWork{-1280, -200, 0, 824};
    EXPECT_EQ(PlaceCentred(ScreenRect{-1400, -300, -1000, -100}, 200, 100, leftWork, false),
              (ScreenRect{-1280, -200, -1080, -100}));
}

// At 150 % the main window is 1140 x 854 and the options 794 x 398 plus their frame.
TEST(FormPlacement, AFormLargerThanTheWorkAreaKeepsItsTitleBarAndButtonsInReach) {
    // Sizeable: as large as the work area, so its bottom row of buttons is on the screen.
    EXPECT_EQ(PlaceCentred(kPrimary, 1140, 854, kPrimaryWork, true), (ScreenRect{0, 0, 1024, 728}));
    // Wider only: made narrower, centred the other way.
    EXPECT_EQ(PlaceCentred(kPrimary, 1140, 500, kPrimaryWork, true), (ScreenRect{0, 134, 1024, 634}));
    // Fixed: its size kept, its top-left corner at the work area's.
    const ScreenRect secondWork{1024, 100, 1824, 700};
    EXPECT_EQ(PlaceCentred(ScreenRect{1000, 0, 2000, 900}, 900, 700, secondWork, false),
              (ScreenRect{1024, 100, 1924, 800}));
}

}  // namespace
