#pragma once
#include <cstdint>
#include <span>
#include <string_view>

// A form's design as data: one row per component, in design order (the order of the form's
// component list, which is also the order the localiser visits). The same table drives
// window creation, tab order and localisation, so a Linux test can check it.
// Texts are UTF-8 design texts; "" means none.

enum class ControlKind : uint8_t {
    Panel,
    GroupBox,
    RadioButton,
    CheckBox,
    Edit,
    ComboBox,  // a drop-down list
    Button,
    BitmapButton,  // a push button with a picture
    Label,
    Bevel,
    ScrollBox,
    Image,
    // Components that are not controls: no window, never localised.
    SaveDialog,
    PrinterSetupDialog,
    ThemeManager,
};

inline constexpr bool IsControl(ControlKind kind) { return kind < ControlKind::SaveDialog; }

enum LayoutFlags : uint32_t {
    kNoFlags = 0,
    kGroupStart = 1u << 0,  // first control of a radio group
    kChecked = 1u << 1,     // ticked or chosen in the design
    kDisabled = 1u << 2,
    kDefaultButton = 1u << 3,  // Enter
    kCancelButton = 1u << 4,   // Esc
    kAlignTop = 1u << 5,       // docked: place gives only the height (width follows the parent)
    kAlignBottom = 1u << 6,
    kAlignRight = 1u << 7,   // docked: place gives only the width
    kAlignClient = 1u << 8,  // fills what the docked siblings leave
    kTransparent = 1u << 9,
    kRedText = 1u << 10,
    kNoTabStop = 1u << 11,
};

struct LayoutRect {
    int left = 0;
    int top = 0;
    int width = 0;  // 0 for labels: sized to their text
    int height = 0;
};

struct ControlLayout {
    const char* name;
    ControlKind kind;
    const char* parent;  // "" for the form itself
    LayoutRect place;    // relative to the parent's client area
    const char* text;    // caption, or an edit's text; a drop-down list's text names its selected item
    uint32_t flags = kNoFlags;
    int tabOrder = -1;       // position among its parent's tab stops; -1: not a tab stop
    int maxLength = 0;       // edit boxes: characters allowed, 0 for no limit
    const char* items = "";  // combo boxes: items separated by '\n'
    const char* hint = "";
};

enum FormFlags : uint32_t {
    kNoFormFlags = 0,
    kKeyPreview = 1u << 0,    // the form's key handler sees every key before the focused control
    kDialogBorder = 1u << 1,  // fixed dialog frame
    kNoSystemMenu = 1u << 2,  // no system menu and no title-bar buttons
    kCenterOnScreen = 1u << 3,
    kCenterOnOwner = 1u << 4,
};

// The typeface both of the program's forms are designed in.
inline constexpr char kFormFont[] = "ＭＳ Ｐゴシック";

struct FormLayout {
    const char* name;  // "fmMain", "fmOption"
    const char* caption;
    int width;  // outer or client size, as clientSize says
    int height;
    bool clientSize;
    const char* fontName;
    int fontHeight;  // pixels
    std::span<const ControlLayout> controls;
    uint32_t formFlags = kNoFormFlags;
    int minWidth = 0;  // outer width; 0: no minimum
};

// The row of the named component, or nullptr.
inline const ControlLayout* FindControl(const FormLayout& form, std::string_view name) {
    for (const auto& row : form.controls) {
        if (name == row.name) return &row;
    }
    return nullptr;
}
