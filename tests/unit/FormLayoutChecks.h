#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "forms/FormLayout.h"

// Rules every form layout table keeps: the toolkit creates windows from it and the localiser
// builds Resource.ini keys from its names, so a slip in the data is a slip in the program.

inline bool IsContainer(ControlKind kind) {
    return kind == ControlKind::Panel || kind == ControlKind::GroupBox || kind == ControlKind::ScrollBox;
}

inline bool TakesFocus(ControlKind kind) {
    return IsControl(kind) && kind != ControlKind::Label && kind != ControlKind::Bevel && kind != ControlKind::Image;
}

// The name prefix that goes with each kind.
inline const char* PrefixFor(ControlKind kind) {
    switch (kind) {
        case ControlKind::Panel: return "pnl";
        case ControlKind::GroupBox: return "gbx";
        case ControlKind::RadioButton: return "rbtn";
        case ControlKind::CheckBox: return "cbx";
        case ControlKind::Edit: return "edt";
        case ControlKind::ComboBox: return "cmb";
        case ControlKind::Button:
        case ControlKind::BitmapButton: return "btn";
        case ControlKind::Label: return "lbl";
        case ControlKind::Bevel: return "bvl";
        case ControlKind::ScrollBox: return "sbx";
        case ControlKind::Image: return "img";
        case ControlKind::SaveDialog:
        case ControlKind::PrinterSetupDialog: return "dlg";
        case ControlKind::ThemeManager: return "";
    }
    return "?";
}

inline std::vector<std::string> NamesWhere(const FormLayout& form, bool (*keep)(const ControlLayout&)) {
    std::vector<std::string> names;
    for (const auto& row : form.controls) {
        if (keep(row)) names.push_back(row.name);
    }
    return names;
}

// The tab stops of one parent, ordered by their tab order.
inline std::vector<std::string> TabOrderOf(const FormLayout& form, const std::string& parent) {
    std::vector<const ControlLayout*> rows;
    for (const auto& row : form.controls) {
        if (parent == row.parent && row.tabOrder >= 0) rows.push_back(&row);
    }
    std::sort(rows.begin(), rows.end(), [](auto* a, auto* b) { return a->tabOrder < b->tabOrder; });
    std::vector<std::string> names;
    for (const auto* row : rows) names.push_back(row->name);
    return names;
}

inline void CheckLayoutRules(const FormLayout& form) {
    std::set<std::string> seen;
    std::map<std::string, std::vector<int>> tabOrders;
    int defaultButtons = 0;
    int cancelButtons = 0;
    for (const auto& row : form.controls) {
        const std::string name = row.name;
        SCOPED_TRACE(name);
        EXPECT_TRUE(seen.insert(name).second) << "repeated name";
        const std::string prefix = PrefixFor(row.kind);
        EXPECT_EQ(name.substr(0, prefix.size()), prefix);
        // The prefix alone is a name too ("pnl"); anything after it starts a new word.
        if (!prefix.empty() && name.size() > prefix.size()) {
            EXPECT_TRUE(std::isupper(static_cast<unsigned char>(name[prefix.size()])));
        }

        const std::string parent = row.parent;
        if (!parent.empty()) {
            const ControlLayout* p = FindControl(form, parent);
            ASSERT_NE(p, nullptr) << "unknown parent " << parent;
            EXPECT_TRUE(IsContainer(p->kind)) << parent << " holds no controls";
            EXPECT_LT(p, &row) << "a parent comes before its children";
        }
        if (!IsControl(row.kind)) {
            EXPECT_EQ(parent, "");
            EXPECT_EQ(row.tabOrder, -1);
            EXPECT_EQ(std::string(row.text), "");
        }
        if (TakesFocus(row.kind)) {
            EXPECT_GE(row.tabOrder, 0) << "every focusable control has its tab order";
            tabOrders[parent].push_back(row.tabOrder);
        } else if (IsControl(row.kind)) {
            EXPECT_EQ(row.tabOrder, -1);
        }
        if (row.kind != ControlKind::Edit) {
            EXPECT_EQ(row.maxLength, 0);
        }
        if (row.kind != ControlKind::ComboBox) {
            EXPECT_EQ(std::string(row.items), "");
        }
        if (row.kind == ControlKind::ComboBox) {
            // A drop-down list's text is one of its items.
            const std::string items = std::string("\n") + row.items + "\n";
            EXPECT_NE(items.find("\n" + std::string(row.text) + "\n"), std::string::npos);
        }
        if (row.flags & kChecked) {
            EXPECT_TRUE(row.kind == ControlKind::CheckBox || row.kind == ControlKind::RadioButton);
        }
        if (row.flags & kGroupStart) {
            EXPECT_EQ(row.kind, ControlKind::RadioButton);
        }
        if (row.flags & kRedText) {
            EXPECT_EQ(row.kind, ControlKind::Label);
        }
        if (row.flags & kDefaultButton) ++defaultButtons;
        if (row.flags & kCancelButton) ++cancelButtons;
        const bool placed =
            IsControl(row.kind) && !(row.flags & (kAlignTop | kAlignBottom | kAlignRight | kAlignClient));
        if (placed && row.kind != ControlKind::Label && name != "imgCapture") {
            EXPECT_GT(row.place.width, 0);
            EXPECT_GT(row.place.height, 0);
        }
    }
    EXPECT_LE(defaultButtons, 1);
    EXPECT_LE(cancelButtons, 1);
    for (auto& [parent, orders] : tabOrders) {
        std::sort(orders.begin(), orders.end());
        for (size_t i = 0; i < orders.size(); ++i)
            EXPECT_EQ(orders[i], static_cast<int>(i)) << "tab order in " << parent;
    }
    // Radio groups: within each parent, the first radio button in design order starts the
    // group, no other does, and exactly one is chosen.
    std::map<std::string, std::vector<const ControlLayout*>> radios;
    for (const auto& row : form.controls) {
        if (row.kind == ControlKind::RadioButton) radios[row.parent].push_back(&row);
    }
    for (const auto& [parent, group] : radios) {
        for (size_t i = 0; i < group.size(); ++i) {
            EXPECT_EQ((group[i]->flags & kGroupStart) != 0, i == 0) << group[i]->name;
        }
        EXPECT_EQ(std::count_if(group.begin(), group.end(), [](auto* r) { return (r->flags & kChecked) != 0; }), 1)
            << "group in " << parent;
    }
}
