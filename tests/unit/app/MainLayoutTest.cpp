#include "app/MainLayout.h"

#include "FormLayoutChecks.h"

namespace {

TEST(MainLayout, KeepsTheRulesOfEveryLayout) { CheckLayoutRules(kMainFormLayout); }

TEST(MainLayout, TheWindowItself) {
    EXPECT_STREQ(kMainFormLayout.name, "fmMain");
    EXPECT_STREQ(kMainFormLayout.caption, "Framlet 1.4");
    EXPECT_EQ(kMainFormLayout.width, 760);
    EXPECT_EQ(kMainFormLayout.height, 569);
    EXPECT_FALSE(kMainFormLayout.clientSize);
    EXPECT_EQ(kMainFormLayout.minWidth, 553);
    EXPECT_EQ(kMainFormLayout.formFlags, kKeyPreview | kCenterOnScreen);
    EXPECT_STREQ(kMainFormLayout.fontName, "ＭＳ Ｐゴシック");
    EXPECT_EQ(kMainFormLayout.fontHeight, 12);
}

// Resource.ini keys depend on the design order: the localiser visits components in it.
TEST(MainLayout, DesignOrderOfTheCaptionedControlsIsTheLocalisersOrder) {
    const std::vector<std::string> expected = {
        "pnlOption",  "bvlBorder1",     "pnl",       "bvlBorder2",  "btnCancel",   "btnSave",        "btnPrint",
        "gbxTrim",    "imgTogether",    "lblMulti",  "lblComment",  "lblPercent",  "rbtnProportion", "rbtnFree",
        "rbtnNormal", "rbtnScaling",    "gbxEffect", "lblReverse1", "lblReverse2", "cbxReverse",     "cbxEmphasis",
        "rbtnAll",    "rbtnWhiteBlack", "cbxFrame",  "btnUnSelect", "btnOption",   "sbxCanvas",      "imgCapture"};
    EXPECT_EQ(NamesWhere(kMainFormLayout,
                         [](const ControlLayout& r) { return IsControl(r.kind) && r.kind != ControlKind::Edit; }),
              expected);
    EXPECT_EQ(NamesWhere(kMainFormLayout, [](const ControlLayout& r) { return r.kind == ControlKind::Edit; }),
              (std::vector<std::string>{"edtWidth", "edtHeight", "edtScaling", "edtFrameSize"}));
    EXPECT_EQ(NamesWhere(kMainFormLayout, [](const ControlLayout& r) { return !IsControl(r.kind); }),
              (std::vector<std::string>{"dlgSave", "XPManifest"}));
}

TEST(MainLayout, TabOrderWithinEachParent) {
    EXPECT_EQ(TabOrderOf(kMainFormLayout, ""), (std::vector<std::string>{"pnlOption", "sbxCanvas"}));
    EXPECT_EQ(TabOrderOf(kMainFormLayout, "pnlOption"),
              (std::vector<std::string>{"pnl", "gbxTrim", "gbxEffect", "btnUnSelect", "btnOption"}));
    EXPECT_EQ(TabOrderOf(kMainFormLayout, "pnl"), (std::vector<std::string>{"btnSave", "btnPrint", "btnCancel"}));
    EXPECT_EQ(TabOrderOf(kMainFormLayout, "gbxTrim"),
              (std::vector<std::string>{"rbtnProportion", "rbtnFree", "rbtnScaling", "rbtnNormal", "edtWidth",
                                        "edtHeight", "edtScaling"}));
    EXPECT_EQ(TabOrderOf(kMainFormLayout, "gbxEffect"),
              (std::vector<std::string>{"cbxReverse", "cbxEmphasis", "rbtnAll", "rbtnWhiteBlack", "cbxFrame",
                                        "edtFrameSize"}));
}

TEST(MainLayout, DockedPanelsAndTheView) {
    const ControlLayout* option = FindControl(kMainFormLayout, "pnlOption");
    EXPECT_TRUE(option->flags & kAlignRight);
    EXPECT_EQ(option->place.width, 200);
    const ControlLayout* pnl = FindControl(kMainFormLayout, "pnl");
    EXPECT_TRUE(pnl->flags & kAlignBottom);
    EXPECT_EQ(pnl->place.height, 103);
    const ControlLayout* border = FindControl(kMainFormLayout, "bvlBorder2");
    EXPECT_TRUE(border->flags & kAlignTop);
    EXPECT_EQ(border->place.height, 2);
    EXPECT_EQ(FindControl(kMainFormLayout, "sbxCanvas")->flags, kAlignClient);
    EXPECT_TRUE(FindControl(kMainFormLayout, "imgTogether")->flags & kTransparent);
}

TEST(MainLayout, DesignStatesAndLimits) {
    auto flagged = [](uint32_t flag) {
        std::vector<std::string> names;
        for (const auto& row : kMainFormLayout.controls) {
            if (row.flags & flag) names.push_back(row.name);
        }
        return names;
    };
    EXPECT_EQ(flagged(kChecked), (std::vector<std::string>{"rbtnProportion", "cbxEmphasis", "rbtnWhiteBlack"}));
    EXPECT_EQ(flagged(kDisabled), std::vector<std::string>{"btnUnSelect"});
    EXPECT_EQ(flagged(kDefaultButton), std::vector<std::string>{"btnSave"});
    EXPECT_EQ(flagged(kCancelButton), std::vector<std::string>{});  // Esc clears the selection instead
    for (const char* name : {"edtWidth", "edtHeight", "edtScaling"})
        EXPECT_EQ(FindControl(kMainFormLayout, name)->maxLength, 4);
    EXPECT_EQ(FindControl(kMainFormLayout, "edtFrameSize")->maxLength, 0);
}

}  // namespace
