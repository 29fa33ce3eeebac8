#pragma once
#include "forms/FormLayout.h"

// A form shaped like the main window, with the kinds of rows both program forms use: docked
// panels, group boxes holding interleaved radio groups, edits with a length limit, labels,
// bevels, picture buttons, a scroll box with an image, and a component that is no control.
inline constexpr ControlLayout kTestRows[] = {
    {"pnlOption", ControlKind::Panel, "", {0, 0, 200, 0}, "", kAlignRight, 0},
    {"gbxTrim", ControlKind::GroupBox, "pnlOption", {8, 8, 185, 129}, "切り取り設定", kNoFlags, 1},
    {"rbtnProportion", ControlKind::RadioButton, "gbxTrim", {16, 24, 49, 17}, "比率", kChecked | kGroupStart, 0},
    {"imgTogether", ControlKind::Image, "gbxTrim", {68, 19, 16, 49}, "", kTransparent},
    {"edtWidth", ControlKind::Edit, "gbxTrim", {86, 24, 33, 20}, "150", kNoFlags, 4, 4, "", "幅"},
    {"lblMulti", ControlKind::Label, "gbxTrim", {124, 28, 0, 0}, "×"},
    {"edtHeight", ControlKind::Edit, "gbxTrim", {140, 24, 33, 20}, "180", kNoFlags, 5, 4},
    {"rbtnFree", ControlKind::RadioButton, "gbxTrim", {16, 48, 57, 17}, "フリー", kNoFlags, 1},
    {"rbtnScaling", ControlKind::RadioButton, "gbxTrim", {16, 72, 57, 17}, "倍率", kNoFlags, 2},
    {"rbtnNormal", ControlKind::RadioButton, "gbxTrim", {16, 96, 81, 17}, "縮小しない", kNoFlags, 3},
    {"gbxEffect", ControlKind::GroupBox, "pnlOption", {8, 144, 185, 105}, "エフェクト", kNoFlags, 2},
    {"cbxReverse", ControlKind::CheckBox, "gbxEffect", {16, 24, 49, 17}, "反転", kNoFlags, 0},
    {"rbtnAll", ControlKind::RadioButton, "gbxEffect", {72, 24, 49, 17}, "全て", kGroupStart, 2},
    {"rbtnWhiteBlack", ControlKind::RadioButton, "gbxEffect", {120, 24, 49, 17}, "白黒", kChecked, 3},
    {"cbxEmphasis", ControlKind::CheckBox, "gbxEffect", {16, 48, 73, 17}, "線の強調", kChecked, 1},
    {"cmbFormat",
     ControlKind::ComboBox,
     "gbxEffect",
     {16, 72, 120, 20},
     "ビットマップ",
     kNoFlags,
     4,
     0,
     "JPEG\nビットマップ"},
    {"lblNote", ControlKind::Label, "pnlOption", {8, 250, 150, 12}, "※ 注意", kRedText},
    {"btnUnSelect", ControlKind::Button, "pnlOption", {8, 264, 185, 25}, "選択範囲の解除(ESC)", kDisabled, 3},
    {"bvlBorder1", ControlKind::Bevel, "pnlOption", {8, 304, 185, 2}, ""},
    {"bvlUpright", ControlKind::Bevel, "pnlOption", {190, 300, 7, 40}, ""},
    {"btnOption", ControlKind::Button, "pnlOption", {8, 320, 185, 25}, "オプション(&P)", kNoFlags, 4},
    {"pnl", ControlKind::Panel, "pnlOption", {0, 0, 0, 103}, "", kAlignBottom, 0},
    {"bvlBorder2", ControlKind::Bevel, "pnl", {0, 0, 0, 2}, "", kAlignTop},
    {"btnPrint", ControlKind::BitmapButton, "pnl", {8, 14, 89, 33}, "印刷", kNoFlags, 1},
    {"btnSave", ControlKind::BitmapButton, "pnl", {8, 58, 89, 33}, "保存", kDefaultButton, 0},
    {"btnCancel", ControlKind::Button, "pnl", {108, 58, 85, 33}, "キャンセル", kCancelButton, 2},
    {"sbxCanvas", ControlKind::ScrollBox, "", {0, 0, 0, 0}, "", kAlignClient, 1},
    {"imgCapture", ControlKind::Image, "sbxCanvas", {0, 0, 0, 0}, ""},
    {"dlgSave", ControlKind::SaveDialog, "", {0, 0, 0, 0}, ""},
};

inline constexpr FormLayout kTestLayout{"fmTest", "テスト 1.4", 760, 569, false, "ＭＳ Ｐゴシック", 12, kTestRows};

// A dialog: client size given, OK as the default button and Cancel as the cancel button.
inline constexpr ControlLayout kDialogRows[] = {
    {"edtFolder", ControlKind::Edit, "", {16, 16, 200, 20}, "", kNoFlags, 0},
    {"btnOk", ControlKind::Button, "", {120, 80, 80, 25}, "OK(&O)", kDefaultButton, 1},
    {"btnCancel", ControlKind::Button, "", {210, 80, 80, 25}, "キャンセル(&C)", kCancelButton, 2},
};

inline constexpr FormLayout kDialogLayout{"fmDialog", "オプション設定",  300, 120,
                                          true,       "ＭＳ Ｐゴシック", 12,  kDialogRows};
