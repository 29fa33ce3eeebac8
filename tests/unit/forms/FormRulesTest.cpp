#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "forms/FormRules.h"

namespace {

// A small form shaped like the main window: a right-docked panel with a bottom-docked panel
// inside, two groups with radio buttons interleaved with other controls, a client-docked
// scroll box, and a component that is no control.
const ControlLayout kRows[] = {
    {"pnlSide", ControlKind::Panel, "", {0, 0, 200, 0}, "", kAlignRight, 0},
    {"gbxA", ControlKind::GroupBox, "pnlSide", {8, 8, 185, 129}, "A", kNoFlags, 1},
    {"rbtnA1", ControlKind::RadioButton, "gbxA", {16, 24, 49, 17}, "a1", kChecked, 0},
    {"edtA", ControlKind::Edit, "gbxA", {86, 24, 33, 20}, "150", kNoFlags, 2, 4},
    {"rbtnA2", ControlKind::RadioButton, "gbxA", {16, 48, 57, 17}, "a2", kNoFlags, 1},
    {"lblA", ControlKind::Label, "gbxA", {124, 28, 0, 0}, "x", kNoFlags},
    {"rbtnA3", ControlKind::RadioButton, "gbxA", {16, 72, 57, 17}, "a3", kGroupStart, 3},
    {"rbtnA4", ControlKind::RadioButton, "gbxA", {16, 96, 57, 17}, "a4", kNoFlags, 4},
    {"gbxB", ControlKind::GroupBox, "pnlSide", {8, 144, 185, 105}, "B", kNoFlags, 2},
    {"cbxB", ControlKind::CheckBox, "gbxB", {16, 24, 49, 17}, "b", kNoFlags, 0},
    {"rbtnB1", ControlKind::RadioButton, "gbxB", {72, 24, 49, 17}, "b1", kNoFlags, 1},
    {"rbtnB2", ControlKind::RadioButton, "gbxB", {120, 24, 49, 17}, "b2", kChecked, 2},
    {"pnlBottom", ControlKind::Panel, "pnlSide", {0, 0, 0, 103}, "", kAlignBottom, 0},
    {"btnSave", ControlKind::BitmapButton, "pnlBottom", {8, 58, 89, 33}, "Save", kDefaultButton, 0},
    {"btnNoStop", ControlKind::Button, "pnlBottom", {8, 14, 89, 33}, "x", kNoTabStop, 1},
    {"btnCancel", ControlKind::Button, "pnlBottom", {108, 58, 85, 33}, "Cancel", kNoFlags, 2},
    {"btnLast", ControlKind::Button, "pnlSide", {8, 320, 185, 25}, "Last", kNoFlags, 3},
    {"sbxView", ControlKind::ScrollBox, "", {0, 0, 0, 0}, "", kAlignClient, 1},
    {"imgView", ControlKind::Image, "sbxView", {0, 0, 0, 0}, "", kNoFlags},
    {"dlgSave", ControlKind::SaveDialog, "", {0, 0, 0, 0}, "", kNoFlags},
};

std::vector<std::string> Names(const std::vector<size_t>& rows) {
    std::vector<std::string> names;
    for (size_t i : rows) names.push_back(kRows[i].name);
    return names;
}

TEST(FormRules, TabSequenceWalksContainersDepthFirstInTabOrder) {
    const std::vector<std::string> expected = {
        "btnSave", "btnCancel",                                // pnlBottom (tab 0 inside pnlSide); btnNoStop skipped
        "rbtnA1",  "rbtnA2",    "edtA",   "rbtnA3", "rbtnA4",  // gbxA: by tabOrder, not by table order
        "cbxB",    "rbtnB1",    "rbtnB2",                      // gbxB
        "btnLast",
    };
    EXPECT_EQ(Names(TabSequence(kRows)), expected);
}

TEST(FormRules, SiblingsWithoutTabOrderComeAfterTheNumberedOnesInTableOrder) {
    const ControlLayout rows[] = {
        {"btnLoose1", ControlKind::Button, "", {0, 0, 10, 10}, "", kNoFlags, -1},
        {"pnl", ControlKind::Panel, "", {0, 0, 10, 10}, "", kNoFlags, -1},
        {"btnIn", ControlKind::Button, "pnl", {0, 0, 10, 10}, "", kNoFlags, 0},
        {"btnSecond", ControlKind::Button, "", {0, 0, 10, 10}, "", kNoFlags, 1},
        {"btnFirst", ControlKind::Button, "", {0, 0, 10, 10}, "", kNoFlags, 0},
    };
    std::vector<std::string> names;
    for (size_t i : TabSequence(rows)) names.push_back(rows[i].name);
    // btnLoose1 has no tab order: never a stop. The panel without one still holds a stop.
    EXPECT_EQ(names, (std::vector<std::string>{"btnFirst", "btnSecond", "btnIn"}));
}

TEST(FormRules, RadioGroupsFollowParentAndGroupStart) {
    const std::vector<int> groups = RadioGroups(kRows);
    auto group = [&](const char* name) {
        for (size_t i = 0; i < std::size(kRows); ++i) {
            if (std::string(kRows[i].name) == name) return groups[i];
        }
        return -2;
    };
    EXPECT_EQ(group("edtA"), -1);
    EXPECT_EQ(group("cbxB"), -1);
    EXPECT_GE(group("rbtnA1"), 0);
    EXPECT_EQ(group("rbtnA1"), group("rbtnA2"));  // a label and an edit between them do not split
    EXPECT_NE(group("rbtnA2"), group("rbtnA3"));  // kGroupStart does
    EXPECT_EQ(group("rbtnA3"), group("rbtnA4"));
    EXPECT_EQ(group("rbtnB1"), group("rbtnB2"));
    EXPECT_NE(group("rbtnB1"), group("rbtnA1"));  // another parent is another group
    EXPECT_NE(group("rbtnB1"), group("rbtnA3"));
}

struct DockCase {
    const char* what;
    int clientWidth;
    int clientHeight;
    std::vector<uint32_t> flags;
    std::vector<DockRect> design;
    std::vector<DockRect> expected;
};

TEST(FormRules, DockPlacesTable) {
    const DockCase cases[] = {
        {"right panel and client view, as the main window",
         744,
         530,
         {kAlignRight, kAlignClient},
         {{5, 5, 200, 10}, {0, 0, 0, 0}},
         {{544, 0, 200, 530}, {0, 0, 544, 530}}},
        {"bottom panel inside a side panel; undocked rows keep their place",
         200,
         530,
         {kAlignBottom, kNoFlags},
         {{0, 0, 0, 103}, {8, 320, 185, 25}},
         {{0, 427, 200, 103}, {8, 320, 185, 25}}},
        {"top then bottom then right then client, whatever the table order",
         100,
         100,
         {kAlignClient, kAlignRight, kAlignBottom, kAlignTop, kAlignTop},
         {{0, 0, 0, 0}, {0, 0, 30, 0}, {0, 0, 0, 20}, {0, 0, 0, 2}, {0, 0, 0, 3}},
         {{0, 5, 70, 75}, {70, 5, 30, 75}, {0, 80, 100, 20}, {0, 0, 100, 2}, {0, 2, 100, 3}}},
        {"docked sizes shrink to what is left, never below zero",
         50,
         40,
         {kAlignTop, kAlignBottom, kAlignRight, kAlignClient},
         {{0, 0, 0, 30}, {0, 0, 0, 30}, {0, 0, 80, 0}, {0, 0, 0, 0}},
         {{0, 0, 50, 30}, {0, 30, 50, 10}, {0, 30, 50, 0}, {0, 30, 0, 0}}},
        {"an empty client area",
         0,
         0,
         {kAlignRight, kAlignClient},
         {{0, 0, 200, 0}, {0, 0, 0, 0}},
         {{0, 0, 0, 0}, {0, 0, 0, 0}}},
    };
    for (const DockCase& c : cases) {
        EXPECT_EQ(DockPlaces(c.clientWidth, c.clientHeight, c.flags, c.design), c.expected) << c.what;
    }
}

TEST(FormRules, FocusableAndContainerKinds) {
    EXPECT_TRUE(IsFocusable(ControlKind::Edit));
    EXPECT_TRUE(IsFocusable(ControlKind::BitmapButton));
    EXPECT_FALSE(IsFocusable(ControlKind::Label));
    EXPECT_FALSE(IsFocusable(ControlKind::Image));
    EXPECT_FALSE(IsFocusable(ControlKind::Panel));
    EXPECT_TRUE(IsContainer(ControlKind::ScrollBox));
    EXPECT_TRUE(IsContainer(ControlKind::GroupBox));
    EXPECT_FALSE(IsContainer(ControlKind::Button));
}

}  // namespace
