#include "app/MainLayout.h"

namespace {

// Within a parent, the pictures, labels and bevels come before the windowed controls: that is
// the order the design lists them in, and so the order of the form's component list.
constexpr ControlLayout kControls[] = {
    {"pnlOption", ControlKind::Panel, "", {0, 0, 200, 0}, "", kAlignRight, 0},
    {"bvlBorder1", ControlKind::Bevel, "pnlOption", {8, 304, 185, 2}, ""},
    {"pnl", ControlKind::Panel, "pnlOption", {0, 0, 0, 103}, "", kAlignBottom, 0},
    {"bvlBorder2", ControlKind::Bevel, "pnl", {0, 0, 0, 2}, "", kAlignTop},
    {"btnCancel", ControlKind::Button, "pnl", {108, 58, 85, 33}, "キャンセル", kNoFlags, 2},
    {"btnSave", ControlKind::BitmapButton, "pnl", {8, 58, 89, 33}, "保存", kDefaultButton, 0},
    {"btnPrint", ControlKind::BitmapButton, "pnl", {8, 14, 89, 33}, "印刷", kNoFlags, 1},
    {"gbxTrim", ControlKind::GroupBox, "pnlOption", {8, 8, 185, 129}, "切り取り設定", kNoFlags, 1},
    {"imgTogether", ControlKind::Image, "gbxTrim", {68, 19, 16, 49}, "", kTransparent},
    {"lblMulti", ControlKind::Label, "gbxTrim", {124, 28, 0, 0}, "×"},
    {"lblComment", ControlKind::Label, "gbxTrim", {136, 52, 0, 0}, "に縮小"},
    {"lblPercent", ControlKind::Label, "gbxTrim", {124, 76, 0, 0}, "%"},
    {"rbtnProportion", ControlKind::RadioButton, "gbxTrim", {16, 24, 49, 17}, "比率", kGroupStart | kChecked, 0},
    {"rbtnFree", ControlKind::RadioButton, "gbxTrim", {16, 48, 57, 17}, "フリー", kNoFlags, 1},
    {"rbtnNormal", ControlKind::RadioButton, "gbxTrim", {16, 96, 81, 17}, "縮小しない", kNoFlags, 3},
    {"rbtnScaling", ControlKind::RadioButton, "gbxTrim", {16, 72, 57, 17}, "倍率", kNoFlags, 2},
    {"edtWidth", ControlKind::Edit, "gbxTrim", {86, 24, 33, 20}, "150", kNoFlags, 4, 4},
    {"edtHeight", ControlKind::Edit, "gbxTrim", {140, 24, 33, 20}, "180", kNoFlags, 5, 4},
    {"edtScaling", ControlKind::Edit, "gbxTrim", {86, 72, 33, 20}, "100", kNoFlags, 6, 4},
    {"gbxEffect", ControlKind::GroupBox, "pnlOption", {8, 144, 185, 105}, "エフェクト", kNoFlags, 2},
    {"lblReverse1", ControlKind::Label, "gbxEffect", {64, 26, 0, 0}, "（"},
    {"lblReverse2", ControlKind::Label, "gbxEffect", {168, 26, 0, 0}, "）"},
    {"cbxReverse", ControlKind::CheckBox, "gbxEffect", {16, 24, 49, 17}, "反転", kNoFlags, 0},
    {"cbxEmphasis", ControlKind::CheckBox, "gbxEffect", {16, 48, 73, 17}, "線の強調", kChecked, 1},
    {"rbtnAll", ControlKind::RadioButton, "gbxEffect", {72, 24, 49, 17}, "全て", kGroupStart, 2},
    {"rbtnWhiteBlack", ControlKind::RadioButton, "gbxEffect", {120, 24, 49, 17}, "白黒", kChecked, 3},
    {"cbxFrame", ControlKind::CheckBox, "gbxEffect", {16, 72, 49, 17}, "枠線", kNoFlags, 4},
    {"edtFrameSize", ControlKind::Edit, "gbxEffect", {86, 70, 33, 20}, "1", kNoFlags, 5, 0},
    {"btnUnSelect", ControlKind::Button, "pnlOption", {8, 264, 185, 25}, "選択範囲の解除(ESC)", kDisabled, 3},
    {"btnOption", ControlKind::Button, "pnlOption", {8, 320, 185, 25}, "オプション", kNoFlags, 4},
    {"sbxCanvas", ControlKind::ScrollBox, "", {0, 0, 0, 0}, "", kAlignClient, 1},
    {"imgCapture", ControlKind::Image, "sbxCanvas", {0, 0, 0, 0}, ""},
    {"dlgSave", ControlKind::SaveDialog, "", {}, ""},
    {"XPManifest", ControlKind::ThemeManager, "", {}, ""},
};

}  // namespace

constinit const FormLayout kMainFormLayout{
    "fmMain", "Framlet 1.4", 760, 569, false, kFormFont, 12, kControls, kKeyPreview | kCenterOnScreen, 553,
};
