// Every text of both forms fits its control, in both shipped languages, at 96, 120 and 144 DPI:
// the layout is fixed, so a translation must be worded to fit it. Each control's text is measured
// in the control's own font and compared with its client rectangle, less what the control itself
// draws there (the box of a check box or radio button, a button's edge, a group box's line).
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "LocalisationTestSupport.h"
#include "TestSupport.h"
#include "app/MainForm_win.h"
#include "app/MainLayout.h"
#include "platform/Text.h"
#include "settings/OptionForm_win.h"
#include "settings/OptionLayout.h"
#include "win32/Application.h"
#include "win32/Win32TestSupport.h"

namespace {

constexpr FormLayout kOwnerLayout{"fmOwner", "owner", 600, 400, false, "", 0, {}, kNoFormFlags, 0};

class OwnerForm : public Form {
public:
    OwnerForm() { Create(kOwnerLayout); }
};

// The [section] name_caption values of a Resource.ini (ANSI bytes), as the form shows them.
std::vector<std::pair<std::string, std::wstring>> Captions(const std::string& file, const std::string& section) {
    std::vector<std::pair<std::string, std::wstring>> captions;
    const std::string bytes = ReadTestFile(SourceFile(file)).value_or("");
    std::string current;
    size_t at = 0;
    while (at < bytes.size()) {
        size_t end = bytes.find('\n', at);
        if (end == std::string::npos) end = bytes.size();
        std::string line = bytes.substr(at, end - at);
        at = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == ';') continue;
        if (line[0] == '[') {
            current = line.substr(1, line.find(']') - 1);
            continue;
        }
        const size_t equals = line.find('=');
        const std::string suffix = "_caption";
        if (current != section || equals == std::string::npos || equals < suffix.size()) continue;
        const std::string key = line.substr(0, equals);
        if (key.compare(key.size() - suffix.size(), suffix.size(), suffix) != 0) continue;
        const std::string value = line.substr(equals + 1);
        if (value.empty()) continue;
        const std::u16string wide = AnsiToUtf16(value);
        captions.emplace_back(key.substr(0, key.size() - suffix.size()), std::wstring(wide.begin(), wide.end()));
    }
    return captions;
}

std::wstring TextOf(HWND hwnd) {
    std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(hwnd)) + 1, L'\0');
    text.resize(static_cast<size_t>(::GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
    return text;
}

// The text's width as the control draws it: its own font, "&" marking the access key.
int TextWidth(HWND hwnd, const std::wstring& text) {
    HDC dc = ::GetDC(hwnd);
    const auto font = reinterpret_cast<HFONT>(::SendMessageW(hwnd, WM_GETFONT, 0, 0));
    HGDIOBJ old = font ? ::SelectObject(dc, font) : nullptr;
    RECT rc{0, 0, 0, 0};
    ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rc, DT_CALCRECT | DT_SINGLELINE);
    if (old) ::SelectObject(dc, old);
    ::ReleaseDC(hwnd, dc);
    return rc.right - rc.left;
}

// How far the control may draw from its left edge: its own width, or less where another control
// of the same parent begins to its right on the same line ("Invert" ran into its "(" label).
int Reach(HWND hwnd) {
    RECT own;
    ::GetWindowRect(hwnd, &own);
    int reach = own.right - own.left;
    for (HWND other = ::GetWindow(::GetParent(hwnd), GW_CHILD); other; other = ::GetWindow(other, GW_HWNDNEXT)) {
        if (other == hwnd || !::IsWindowVisible(other)) continue;
        RECT rc;
        ::GetWindowRect(other, &rc);
        const bool sameLine = rc.top < own.bottom && own.top < rc.bottom;
        if (sameLine && rc.left > own.left && rc.left - own.left < reach) reach = rc.left - own.left;
    }
    return reach;
}

// Where the text has no room, one line per control: "cbxFrame: "Frame" needs 35 px, has 32".
std::string Overflows(HWND form, const FormLayout& layout, int dpi) {
    std::string report;
    const auto scaled = [dpi](int pixels) { return ::MulDiv(pixels, dpi, 96); };
    for (const ControlLayout& row : layout.controls) {
        HWND hwnd = LayoutControl(form, layout, row.name);
        if (!hwnd) continue;
        const std::wstring text = TextOf(hwnd);
        if (text.empty()) continue;
        int room = 0;
        switch (row.kind) {
            case ControlKind::CheckBox:
            case ControlKind::RadioButton:
                room = Reach(hwnd) - scaled(13) - scaled(4);  // the box and the gap after it
                break;
            case ControlKind::Button:
                room = Reach(hwnd) - 2 * scaled(4);  // the edge and the focus rectangle
                if (::SendMessageW(hwnd, BM_GETIMAGE, IMAGE_BITMAP, 0)) room -= scaled(20);
                break;
            case ControlKind::GroupBox:
                room = Reach(hwnd) - 2 * scaled(8);  // the frame line on either side of the caption
                break;
            case ControlKind::Label: room = Reach(hwnd); break;
            default: continue;
        }
        const int needed = TextWidth(hwnd, text);
        if (needed > room) {
            report += std::string(row.name) + ": \"" + Utf16ToUtf8(std::u16string(text.begin(), text.end())) +
                      "\" needs " + std::to_string(needed) + " px, has " + std::to_string(room) + "\n";
        }
    }
    return report;
}

void MoveToDpi(Form& form, int dpi) {
    if (dpi == 96) return;
    RECT rc;
    ::GetWindowRect(form.Handle(), &rc);
    ChangeDpi(form.Handle(), dpi,
              RECT{rc.left, rc.top, rc.left + ::MulDiv(rc.right - rc.left, dpi, 96),
                   rc.top + ::MulDiv(rc.bottom - rc.top, dpi, 96)});
    Pump();
}

struct FitCase {
    const char* language;
    const char* resourceIni;  // relative to the source tree
    int dpi;
};
std::ostream& operator<<(std::ostream& out, const FitCase& c) { return out << c.language << " at " << c.dpi; }

class TextFit : public ::testing::TestWithParam<FitCase> {};

TEST_P(TextFit, EveryTextOfTheMainWindowFitsItsControl) {
    TempDir dir;
    WriteTestFile(dir.File("Resource.ini"), ReadTestFile(SourceFile(GetParam().resourceIni)).value_or(""));
    TheApplication().ResetTerminated();
    auto form = MakeForm<TfmMain>(MainWindowFiles{dir.File("Framlet.ini"), dir.Path() + "\\"});
    form->Show();
    Pump();
    MoveToDpi(*form, GetParam().dpi);
    EXPECT_EQ(Overflows(form->Handle(), kMainFormLayout, GetParam().dpi), "");
    form.reset();
    TheApplication().ResetTerminated();
    Pump();
}

TEST_P(TextFit, EveryTextOfTheOptionsDialogFitsItsControl) {
    auto owner = MakeForm<OwnerForm>();
    auto dialog = MakeForm<TfmOption>(*owner);
    // The dialog reads Resource.ini beside the executable: the file's captions are put in here.
    for (const auto& [name, text] : Captions(GetParam().resourceIni, "fmOption")) {
        HWND hwnd = name == "fmOption" ? dialog->Handle() : LayoutControl(dialog->Handle(), kOptionFormLayout, name);
        if (hwnd) ::SetWindowTextW(hwnd, text.c_str());
    }
    ::ShowWindow(dialog->Handle(), SW_SHOWNOACTIVATE);
    Pump();
    MoveToDpi(*dialog, GetParam().dpi);
    EXPECT_EQ(Overflows(dialog->Handle(), kOptionFormLayout, GetParam().dpi), "");
    dialog.reset();
    owner.reset();
    Pump();
}

INSTANTIATE_TEST_SUITE_P(ShippedLanguages, TextFit,
                         ::testing::Values(FitCase{"Japanese", "resources/Resource.ini", 96},
                                           FitCase{"Japanese", "resources/Resource.ini", 120},
                                           FitCase{"Japanese", "resources/Resource.ini", 144},
                                           FitCase{"English", "resources/en/Resource.ini", 96},
                                           FitCase{"English", "resources/en/Resource.ini", 120},
                                           FitCase{"English", "resources/en/Resource.ini", 144}));

}  // namespace
