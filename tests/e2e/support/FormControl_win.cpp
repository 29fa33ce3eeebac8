#include "FormControl_win.h"

namespace e2e {

namespace {

struct FindById {
    int id;
    HWND found;
};

BOOL CALLBACK FindByIdProc(HWND hwnd, LPARAM lp) {
    auto* find = reinterpret_cast<FindById*>(lp);
    if (::GetDlgCtrlID(hwnd) != find->id) return TRUE;
    find->found = hwnd;
    return FALSE;
}

}  // namespace

HWND FormControl(HWND form, const FormLayout& layout, std::string_view name) {
    const ControlLayout* row = FindControl(layout, name);
    if (!row || !form) return nullptr;
    FindById find{100 + static_cast<int>(row - layout.controls.data()), nullptr};
    ::EnumChildWindows(form, FindByIdProc, reinterpret_cast<LPARAM>(&find));
    return find.found;
}

}  // namespace e2e
