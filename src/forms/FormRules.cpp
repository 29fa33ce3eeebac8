#include "forms/FormRules.h"

#include <algorithm>
#include <cstring>
#include <string_view>

bool IsFocusable(ControlKind kind) {
    switch (kind) {
        case ControlKind::RadioButton:
        case ControlKind::CheckBox:
        case ControlKind::Edit:
        case ControlKind::ComboBox:
        case ControlKind::Button:
        case ControlKind::BitmapButton: return true;
        default: return false;
    }
}

bool IsContainer(ControlKind kind) {
    return kind == ControlKind::Panel || kind == ControlKind::GroupBox || kind == ControlKind::ScrollBox;
}

namespace {

std::vector<size_t> ChildrenInTabOrder(std::span<const ControlLayout> controls, std::string_view parent) {
    std::vector<size_t> children;
    for (size_t i = 0; i < controls.size(); ++i) {
        if (IsControl(controls[i].kind) && parent == controls[i].parent) children.push_back(i);
    }
    std::stable_sort(children.begin(), children.end(), [&](size_t a, size_t b) {
        const int ta = controls[a].tabOrder;
        const int tb = controls[b].tabOrder;
        if ((ta < 0) != (tb < 0)) return ta >= 0;
        return ta >= 0 && ta < tb;
    });
    return children;
}

void Walk(std::span<const ControlLayout> controls, std::string_view parent, int depth, std::vector<size_t>& out) {
    if (depth > 64) return;  // a table whose parents form a loop
    for (size_t i : ChildrenInTabOrder(controls, parent)) {
        const ControlLayout& row = controls[i];
        if (IsContainer(row.kind)) {
            Walk(controls, row.name, depth + 1, out);
        } else if (IsFocusable(row.kind) && row.tabOrder >= 0 && !(row.flags & kNoTabStop)) {
            out.push_back(i);
        }
    }
}

}  // namespace

std::vector<size_t> TabSequence(std::span<const ControlLayout> controls) {
    std::vector<size_t> out;
    Walk(controls, "", 0, out);
    return out;
}

std::vector<int> RadioGroups(std::span<const ControlLayout> controls) {
    std::vector<int> groups(controls.size(), -1);
    int next = 0;
    for (size_t i = 0; i < controls.size(); ++i) {
        if (controls[i].kind != ControlKind::RadioButton) continue;
        int group = -1;
        if (!(controls[i].flags & kGroupStart)) {
            // Join the group of the latest radio button of the same parent.
            for (size_t j = i; j-- > 0;) {
                if (controls[j].kind == ControlKind::RadioButton &&
                    std::strcmp(controls[j].parent, controls[i].parent) == 0) {
                    group = groups[j];
                    break;
                }
            }
        }
        groups[i] = group >= 0 ? group : next++;
    }
    return groups;
}

std::vector<DockRect> DockPlaces(int clientWidth, int clientHeight, std::span<const uint32_t> flags,
                                 std::span<const DockRect> places) {
    std::vector<DockRect> out(places.begin(), places.end());
    int left = 0;
    int top = 0;
    int right = std::max(clientWidth, 0);
    int bottom = std::max(clientHeight, 0);
    auto remainingWidth = [&] { return std::max(right - left, 0); };
    auto remainingHeight = [&] { return std::max(bottom - top, 0); };
    const size_t n = std::min(flags.size(), places.size());
    for (size_t i = 0; i < n; ++i) {
        if (!(flags[i] & kAlignTop)) continue;
        const int h = std::clamp(places[i].height, 0, remainingHeight());
        out[i] = {left, top, remainingWidth(), h};
        top += h;
    }
    for (size_t i = 0; i < n; ++i) {
        if (!(flags[i] & kAlignBottom) || (flags[i] & kAlignTop)) continue;
        const int h = std::clamp(places[i].height, 0, remainingHeight());
        bottom -= h;
        out[i] = {left, bottom, remainingWidth(), h};
    }
    for (size_t i = 0; i < n; ++i) {
        if (!(flags[i] & kAlignRight) || (flags[i] & (kAlignTop | kAlignBottom))) continue;
        const int w = std::clamp(places[i].width, 0, remainingWidth());
        right -= w;
        out[i] = {right, top, w, remainingHeight()};
    }
    for (size_t i = 0; i < n; ++i) {
        if (!(flags[i] & kAlignClient) || (flags[i] & (kAlignTop | kAlignBottom | kAlignRight))) continue;
        out[i] = {left, top, remainingWidth(), remainingHeight()};
    }
    return out;
}
