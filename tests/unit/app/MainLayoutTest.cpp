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
        "pnlOption",  "bvlBorder1",     "pnl",         "bvlBorder2",  "btnCancel",   "btnSave",       "btnPrint",
        "gbxTrim",    "imgTogether",    "lblMulti",    "lblComment",  "lblPercent",  "rbtnProportion", "rbtnFree",
        "rbtnNormal", "rbtnScaling",    "gbxEffect",   "lblReverse1", "lblReverse2", "cbxReverse",    "cbxEmphasis",
        "rbtnAll",    "rbtnWhiteBlack", "cbxFrame",    "btnUnSelect", "btnOption",   "sbxCanvas",     "imgCapture"};
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

struct Row {
    const char* name;
    ControlKind kind;
    const char* parent;
    LayoutRect place;
    const char* text;
};

TEST(MainLayout, KindsParentsPlacesAndTexts) {
    const Row rows[] = {
        {"gbxTrim", ControlKind::GroupBox, "pnlOption", {8, 8, 185, 129}, "切り取り設定"},
        {"rbtnProportion", ControlKind::RadioButton, "gbxTrim", {16, 24, 49, 17}, "比率"},
        {"imgTogether", ControlKind::Image, "gbxTrim", {68, 19, 16, 49}, ""},
        {"edtWidth", ControlKind::Edit, "gbxTrim", {86, 24, 33, 20}, "150"},
        {"lblMulti", ControlKind::Label, "gbxTrim", {124, 28, 0, 0}, "×"},
        {"edtHeight", ControlKind::Edit, "gbxTrim", {140, 24, 33, 20}, "180"},
        {"rbtnFree", ControlKind::RadioButton, "gbxTrim", {16, 48, 57, 17}, "フリー"},
        {"lblComment", ControlKind::Label, "gbxTrim", {136, 52, 0, 0}, "に縮小"},
        {"rbtnScaling", ControlKind::RadioButton, "gbxTrim", {16, 72, 57, 17}, "倍率"},
        {"edtScaling", ControlKind::Edit, "gbxTrim", {86, 72, 33, 20}, "100"},
        {"lblPercent", ControlKind::Label, "gbxTrim", {124, 76, 0, 0}, "%"},
        {"rbtnNormal", ControlKind::RadioButton, "gbxTrim", {16, 96, 81, 17}, "縮小しない"},
        {"gbxEffect", ControlKind::GroupBox, "pnlOption", {8, 144, 185, 105}, "エフェクト"},
        {"cbxReverse", ControlKind::CheckBox, "gbxEffect", {16, 24, 49, 17}, "反転"},
        {"lblReverse1", ControlKind::Label, "gbxEffect", {64, 26, 0, 0}, "（"},
        {"rbtnAll", ControlKind::RadioButton, "gbxEffect", {72, 24, 49, 17}, "全て"},
        {"rbtnWhiteBlack", ControlKind::RadioButton, "gbxEffect", {120, 24, 49, 17}, "白黒"},
        {"lblReverse2", ControlKind::Label, "gbxEffect", {168, 26, 0, 0}, "）"},
        {"cbxEmphasis", ControlKind::CheckBox, "gbxEffect", {16, 48, 73, 17}, "線の強調"},
        {"cbxFrame", ControlKind::CheckBox, "gbxEffect", {16, 72, 49, 17}, "枠線"},
        {"edtFrameSize", ControlKind::Edit, "gbxEffect", {86, 70, 33, 20}, "1"},
        {"btnUnSelect", ControlKind::Button, "pnlOption", {8, 264, 185, 25}, "選択範囲の解除(ESC)"},
        {"bvlBorder1", ControlKind::Bevel, "pnlOption", {8, 304, 185, 2}, ""},
        {"btnOption", ControlKind::Button, "pnlOption", {8, 320, 185, 25}, "オプション"},
        {"btnPrint", ControlKind::BitmapButton, "pnl", {8, 14, 89, 33}, "印刷"},
        {"btnSave", ControlKind::BitmapButton, "pnl", {8, 58, 89, 33}, "保存"},
        {"btnCancel", ControlKind::Button, "pnl", {108, 58, 85, 33}, "キャンセル"},
        {"imgCapture", ControlKind::Image, "sbxCanvas", {0, 0, 0, 0}, ""},
    };
    for (const Row& expected : rows) {
        SCOPED_TRACE(expected.name);
        const ControlLayout* row = FindControl(kMainFormLayout, expected.name);
        ASSERT_NE(row, nullptr);
        EXPECT_EQ(row->kind, expected.kind);
        EXPECT_STREQ(row->parent, expected.parent);
        EXPECT_EQ(row->place.left, expected.place.left);
        EXPECT_EQ(row->place.top, expected.place.top);
        EXPECT_EQ(row->place.width, expected.place.width);
        EXPECT_EQ(row->place.height, expected.place.height);
        EXPECT_STREQ(row->text, expected.text);
    }
}

TEST(MainLayout, DockedPanelsAndTheView) {
    const ControlLayout* option = FindControl(kMainFormLayout, "pnlOption");
    EXPECT_EQ(option->flags & (kAlignRight | kNoBevel), kAlignRight | kNoBevel);
    EXPECT_EQ(option->place.width, 200);
    EXPECT_EQ(option->minHeight, 400);
    const ControlLayout* pnl = FindControl(kMainFormLayout, "pnl");
    EXPECT_EQ(pnl->flags & (kAlignBottom | kNoBevel), kAlignBottom | kNoBevel);
    EXPECT_EQ(pnl->place.height, 103);
    const ControlLayout* border = FindControl(kMainFormLayout, "bvlBorder2");
    EXPECT_EQ(border->flags & (kAlignTop | kLineTop), kAlignTop | kLineTop);
    EXPECT_EQ(border->place.height, 2);
    EXPECT_TRUE(FindControl(kMainFormLayout, "bvlBorder1")->flags & kLineTop);
    EXPECT_EQ(FindControl(kMainFormLayout, "sbxCanvas")->flags, kAlignClient | kTracking);
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
    for (const char* name : {"edtWidth", "edtHeight", "edtScaling"}) EXPECT_EQ(FindControl(kMainFormLayout, name)->maxLength, 4);
    EXPECT_EQ(FindControl(kMainFormLayout, "edtFrameSize")->maxLength, 0);
}

}  // namespace
