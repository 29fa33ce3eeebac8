#include "settings/OptionLayout.h"

#include "FormLayoutChecks.h"

namespace {

TEST(OptionLayout, KeepsTheRulesOfEveryLayout) { CheckLayoutRules(kOptionFormLayout); }

TEST(OptionLayout, TheDialogItself) {
    EXPECT_STREQ(kOptionFormLayout.name, "fmOption");
    EXPECT_STREQ(kOptionFormLayout.caption, "オプション設定");
    EXPECT_EQ(kOptionFormLayout.width, 529);
    EXPECT_EQ(kOptionFormLayout.height, 265);
    EXPECT_TRUE(kOptionFormLayout.clientSize);
    EXPECT_EQ(kOptionFormLayout.formFlags, kDialogBorder | kNoSystemMenu | kCenterOnOwner);
    EXPECT_STREQ(kOptionFormLayout.fontName, "ＭＳ Ｐゴシック");
    EXPECT_EQ(kOptionFormLayout.fontHeight, 12);
}

TEST(OptionLayout, DesignOrderOfTheCaptionedControlsIsTheLocalisersOrder) {
    EXPECT_EQ(NamesWhere(kOptionFormLayout,
                         [](const ControlLayout& r) {
                             return IsControl(r.kind) && r.kind != ControlKind::Edit && r.kind != ControlKind::ComboBox;
                         }),
              (std::vector<std::string>{"lblPrefixOfFileName", "lblComment", "lblDefaultFormatType", "bvlSeparator",
                                        "lblNumberingStart", "cbxIsDefaultFolder", "cbxIsAutoFileName",
                                        "cbxIsNotUseDialog", "btnOk", "btnCancel", "btnRefFolder", "btnSetPrinter"}));
    EXPECT_EQ(NamesWhere(kOptionFormLayout, [](const ControlLayout& r) { return !IsControl(r.kind); }),
              std::vector<std::string>{"dlgSetPrinter"});
}

TEST(OptionLayout, TabOrder) {
    EXPECT_EQ(TabOrderOf(kOptionFormLayout, ""),
              (std::vector<std::string>{"cbxIsDefaultFolder", "cbxIsAutoFileName", "edtDefaultFolder",
                                        "edtPrefixOfFileName", "cbxIsNotUseDialog", "cmbDefaultFormatType", "btnOk",
                                        "btnCancel", "btnRefFolder", "edtNumberingStart", "btnSetPrinter"}));
}

TEST(OptionLayout, DesignStatesAndLimits) {
    EXPECT_STREQ(FindControl(kOptionFormLayout, "cmbDefaultFormatType")->items, "JPEG\nビットマップ");
    EXPECT_EQ(FindControl(kOptionFormLayout, "btnOk")->flags, kDefaultButton);
    EXPECT_EQ(FindControl(kOptionFormLayout, "btnCancel")->flags, kCancelButton);
    EXPECT_EQ(FindControl(kOptionFormLayout, "lblComment")->flags, kRedText);
    EXPECT_EQ(FindControl(kOptionFormLayout, "bvlSeparator")->flags, kNoFlags);
    EXPECT_EQ(FindControl(kOptionFormLayout, "edtNumberingStart")->maxLength, 4);
    for (const char* name : {"edtDefaultFolder", "edtPrefixOfFileName"}) {
        EXPECT_EQ(FindControl(kOptionFormLayout, name)->maxLength, 0);
    }
    for (const auto& row : kOptionFormLayout.controls) {
        if (row.kind != ControlKind::CheckBox) continue;
        EXPECT_FALSE(row.flags & (kChecked | kDisabled)) << row.name;
    }
}

}  // namespace
