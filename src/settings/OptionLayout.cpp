#include "settings/OptionLayout.h"

namespace {

// Labels and the bevel come first, then the windowed controls in tab order: the order the
// design lists them in, and so the order of the form's component list.
constexpr ControlLayout kControls[] = {
    {"lblPrefixOfFileName", ControlKind::Label, "", {40, 108, 60, 12}, "先頭文字列"},
    {"lblComment",
     ControlKind::Label,
     "",
     {40, 188, 310, 12},
     "※ 上記の全てがチェックされていないと有効にはなりません。",
     kRedText},
    {"lblDefaultFormatType", ControlKind::Label, "", {24, 228, 136, 12}, "デフォルト保存フォーマット"},
    {"bvlSeparator", ControlKind::Bevel, "", {369, 8, 7, 249}, ""},
    {"lblNumberingStart", ControlKind::Label, "", {40, 132, 60, 12}, "採番の開始"},
    {"cbxIsDefaultFolder", ControlKind::CheckBox, "", {24, 16, 233, 17}, "デフォルトフォルダを指定", kNoFlags, 0},
    {"cbxIsAutoFileName", ControlKind::CheckBox, "", {24, 80, 241, 17}, "ファイル名の自動生成", kNoFlags, 1},
    {"edtDefaultFolder", ControlKind::Edit, "", {40, 40, 233, 20}, "", kNoFlags, 2, 0},
    {"edtPrefixOfFileName", ControlKind::Edit, "", {112, 104, 121, 20}, "", kNoFlags, 3, 0},
    {"cbxIsNotUseDialog",
     ControlKind::CheckBox,
     "",
     {24, 168, 305, 17},
     "ダイアログを表示しないで自動で保存",
     kNoFlags,
     4},
    {"cmbDefaultFormatType",
     ControlKind::ComboBox,
     "",
     {176, 224, 145, 20},
     "JPEG",
     kNoFlags,
     5,
     0,
     "JPEG\nビットマップ"},
    {"btnOk", ControlKind::Button, "", {416, 190, 89, 25}, "OK(&O)", kDefaultButton, 6},
    {"btnCancel", ControlKind::Button, "", {416, 224, 89, 25}, "キャンセル(&C)", kCancelButton, 7},
    {"btnRefFolder", ControlKind::Button, "", {280, 38, 75, 25}, "参照(&R)...", kNoFlags, 8},
    {"edtNumberingStart", ControlKind::Edit, "", {112, 128, 121, 20}, "", kNoFlags, 9, 4},
    {"btnSetPrinter", ControlKind::Button, "", {392, 24, 115, 25}, "プリンタの設定(&U)...", kNoFlags, 10},
    {"dlgSetPrinter", ControlKind::PrinterSetupDialog, "", {}, ""},
};

}  // namespace

constinit const FormLayout kOptionFormLayout{
    "fmOption",
    "オプション設定",
    529,
    265,
    true,
    kFormFont,
    12,
    kControls,
    kDialogBorder | kNoSystemMenu | kCenterOnOwner,
    0,
};
