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

struct Row {
    const char* name;
    ControlKind kind;
    LayoutRect place;
    const char* text;
};

TEST(OptionLayout, KindsPlacesAndTexts) {
    const Row rows[] = {
        {"cbxIsDefaultFolder", ControlKind::CheckBox, {24, 16, 233, 17}, "デフォルトフォルダを指定"},
        {"cbxIsAutoFileName", ControlKind::CheckBox, {24, 80, 241, 17}, "ファイル名の自動生成"},
        {"edtDefaultFolder", ControlKind::Edit, {40, 40, 233, 20}, ""},
        {"edtPrefixOfFileName", ControlKind::Edit, {112, 104, 121, 20}, ""},
        {"cbxIsNotUseDialog", ControlKind::CheckBox, {24, 168, 305, 17}, "ダイアログを表示しないで自動で保存"},
        {"cmbDefaultFormatType", ControlKind::ComboBox, {176, 224, 145, 20}, "JPEG"},
        {"btnOk", ControlKind::Button, {416, 190, 89, 25}, "OK(&O)"},
        {"btnCancel", ControlKind::Button, {416, 224, 89, 25}, "キャンセル(&C)"},
        {"btnRefFolder", ControlKind::Button, {280, 38, 75, 25}, "参照(&R)..."},
        {"edtNumberingStart", ControlKind::Edit, {112, 128, 121, 20}, ""},
        {"btnSetPrinter", ControlKind::Button, {392, 24, 115, 25}, "プリンタの設定(&U)..."},
        {"lblPrefixOfFileName", ControlKind::Label, {40, 108, 60, 12}, "先頭文字列"},
        {"lblNumberingStart", ControlKind::Label, {40, 132, 60, 12}, "採番の開始"},
        {"lblComment", ControlKind::Label, {40, 188, 310, 12}, "※ 上記の全てがチェックされていないと有効にはなりません。"},
        {"lblDefaultFormatType", ControlKind::Label, {24, 228, 136, 12}, "デフォルト保存フォーマット"},
        {"bvlSeparator", ControlKind::Bevel, {369, 8, 7, 249}, ""},
    };
    for (const Row& expected : rows) {
        SCOPED_TRACE(expected.name);
        const ControlLayout* row = FindControl(kOptionFormLayout, expected.name);
        ASSERT_NE(row, nullptr);
        EXPECT_EQ(row->kind, expected.kind);
        EXPECT_STREQ(row->parent, "");
        EXPECT_EQ(row->place.left, expected.place.left);
        EXPECT_EQ(row->place.top, expected.place.top);
        EXPECT_EQ(row->place.width, expected.place.width);
        EXPECT_EQ(row->place.height, expected.place.height);
        EXPECT_STREQ(row->text, expected.text);
    }
}

TEST(OptionLayout, DesignStatesAndLimits) {
    EXPECT_STREQ(FindControl(kOptionFormLayout, "cmbDefaultFormatType")->items, "JPEG\nビットマップ");
    EXPECT_EQ(FindControl(kOptionFormLayout, "btnOk")->flags, kDefaultButton);
    EXPECT_EQ(FindControl(kOptionFormLayout, "btnCancel")->flags, kCancelButton);
    EXPECT_EQ(FindControl(kOptionFormLayout, "lblComment")->flags, kRedText);
    EXPECT_EQ(FindControl(kOptionFormLayout, "bvlSeparator")->flags, kLineLeft);
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
