#include "win32/Controls.h"

#include <windowsx.h>

#include <algorithm>

#include "forms/FormScaling.h"
#include "platform/Text.h"
#include "win32/ControlSupport.h"

ShiftState KeyboardShiftState() {
    ShiftState shift = 0;
    if (::GetKeyState(VK_SHIFT) < 0) shift |= kShift;
    if (::GetKeyState(VK_MENU) < 0) shift |= kAlt;
    if (::GetKeyState(VK_CONTROL) < 0) shift |= kCtrl;
    return shift;
}

HCURSOR LoadSystemCursor(Cursor cursor) {
    // Without UNICODE the IDC_ names are narrow resource ids; the numbers are the same.
    LPCSTR id = IDC_ARROW;
    switch (cursor) {
        case Cursor::Arrow: id = IDC_ARROW; break;
        case Cursor::SizeNWSE: id = IDC_SIZENWSE; break;
        case Cursor::SizeWE: id = IDC_SIZEWE; break;
        case Cursor::SizeNESW: id = IDC_SIZENESW; break;
        case Cursor::SizeNS: id = IDC_SIZENS; break;
        case Cursor::HandPoint: id = IDC_HAND; break;
        case Cursor::Cross: id = IDC_CROSS; break;
        case Cursor::Wait: id = IDC_WAIT; break;
    }
    return ::LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(id));
}

namespace {

HMENU IdAsMenu(int id) { return reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)); }

// The styles every control takes from its row.
DWORD RowStyle(const ControlLayout& row) {
    DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
    if (row.flags & kDisabled) style |= WS_DISABLED;
    if (IsFocusable(row.kind) && row.tabOrder >= 0 && !(row.flags & kNoTabStop)) style |= WS_TABSTOP;
    return style;
}

std::u16string RowText(const ControlLayout& row) { return Utf8ToUtf16(row.text ? row.text : ""); }

}  // namespace

// ---------------------------------------------------------------------------------------------
// Control

Control::Control(ControlHost& host, const ControlLayout& row, Control* parent)
    : host_(host),
      parent_(parent),
      name_(row.name),
      kind_(row.kind),
      hint_(Utf8ToAnsi(row.hint ? row.hint : "")),
      dockFlags_(row.flags & (kAlignTop | kAlignBottom | kAlignRight | kAlignClient)),
      designPlace_{row.place.left, row.place.top, row.place.width, row.place.height} {}

void Control::CreateFromRow(const wchar_t* systemClass, HWND parentWindow, const ControlLayout& row, int id,
                            DWORD style, DWORD exStyle) {
    id_ = id;
    CreateStandard(systemClass, exStyle, RowStyle(row) | style, RowText(row), row.place.left, row.place.top,
                   row.place.width, row.place.height, parentWindow, IdAsMenu(id));
}

void Control::CreateFromRow(const ClassInfo& ownClass, HWND parentWindow, const ControlLayout& row, int id, DWORD style,
                            DWORD exStyle) {
    id_ = id;
    CreateOwnClass(ownClass, exStyle, RowStyle(row) | style, RowText(row), row.place.left, row.place.top,
                   row.place.width, row.place.height, parentWindow, IdAsMenu(id));
}

std::u16string Control::CaptionW() const { return GetWindowTextW16(Handle()); }
std::string Control::Caption() const { return Utf16ToAnsi(CaptionW()); }
void Control::SetCaption(std::string_view ansi) { SetCaptionW(AnsiToUtf16(ansi)); }
void Control::SetCaptionW(std::u16string_view text) { SetWindowTextW16(Handle(), text); }

bool Control::Enabled() const { return Handle() && ::IsWindowEnabled(Handle()); }
void Control::SetEnabled(bool enabled) {
    if (Handle()) ::EnableWindow(Handle(), enabled ? TRUE : FALSE);
}
bool Control::Visible() const { return Handle() && (::GetWindowLongW(Handle(), GWL_STYLE) & WS_VISIBLE); }
void Control::SetVisible(bool visible) {
    if (Handle()) ::ShowWindow(Handle(), visible ? SW_SHOWNA : SW_HIDE);
}

RECT Control::Bounds() const {
    RECT rc{};
    if (!Handle()) return rc;
    ::GetWindowRect(Handle(), &rc);
    ::MapWindowPoints(nullptr, ::GetParent(Handle()), reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

void Control::SetBounds(int left, int top, int width, int height) {
    if (!Handle()) return;
    ::SetWindowPos(Handle(), nullptr, left, top, std::max(width, 0), std::max(height, 0),
                   SWP_NOZORDER | SWP_NOACTIVATE);
    if (parent_) parent_->ChildResized();
}

void Control::PlaceAt(const LayoutRect& place, int) {
    designPlace_ = DockRect{place.left, place.top, place.width, place.height};
    if (dockFlags_) return;
    SetBounds(place.left, place.top, place.width, place.height);
}

void Control::SetSize(int width, int height) {
    if (!Handle()) return;
    ::SetWindowPos(Handle(), nullptr, 0, 0, std::max(width, 0), std::max(height, 0),
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (parent_) parent_->ChildResized();
}

int Control::Width() const {
    const RECT rc = Bounds();
    return rc.right - rc.left;
}
int Control::Height() const {
    const RECT rc = Bounds();
    return rc.bottom - rc.top;
}

void Control::SetFocus() {
    if (Handle()) ::SetFocus(Handle());
}
bool Control::Focused() const { return Handle() && ::GetFocus() == Handle(); }

bool Control::Notified(UINT, WPARAM, LPARAM, LRESULT&) { return false; }

LRESULT Control::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_SETFOCUS) host_.ControlFocused(*this);
    return Default(msg, wp, lp);
}

bool Control::KeepFont(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    if (msg == WM_SETFONT) {
        font_ = reinterpret_cast<HFONT>(wp);
        if (LOWORD(lp)) ::InvalidateRect(Handle(), nullptr, TRUE);
        result = 0;
        return true;
    }
    if (msg == WM_GETFONT) {
        result = reinterpret_cast<LRESULT>(font_);
        return true;
    }
    return false;
}

bool Control::ReflectToChild(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    HWND child = nullptr;
    switch (msg) {
        case WM_COMMAND: child = reinterpret_cast<HWND>(lp); break;
        case WM_DRAWITEM: {
            const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
            if (item->CtlType != ODT_MENU) child = item->hwndItem;
            break;
        }
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX: child = reinterpret_cast<HWND>(lp); break;
        case WM_NOTIFY: child = reinterpret_cast<const NMHDR*>(lp)->hwndFrom; break;
        default: return false;
    }
    auto* control = dynamic_cast<Control*>(Window::FromHandle(child));
    return control && control->Notified(msg, wp, lp, result);
}

std::unique_ptr<Control> MakeControl(ControlHost& host, const ControlLayout& row, Control* parent) {
    switch (row.kind) {
        case ControlKind::Panel: return std::make_unique<Panel>(host, row, parent);
        case ControlKind::GroupBox: return std::make_unique<GroupBox>(host, row, parent);
        case ControlKind::RadioButton: return std::make_unique<RadioButton>(host, row, parent);
        case ControlKind::CheckBox: return std::make_unique<CheckBox>(host, row, parent);
        case ControlKind::Edit: return std::make_unique<Edit>(host, row, parent);
        case ControlKind::ComboBox: return std::make_unique<ComboBox>(host, row, parent);
        case ControlKind::Button: return std::make_unique<Button>(host, row, parent);
        case ControlKind::BitmapButton: return std::make_unique<BitmapButton>(host, row, parent);
        case ControlKind::Label: return std::make_unique<Label>(host, row, parent);
        case ControlKind::Bevel: return std::make_unique<Bevel>(host, row, parent);
        case ControlKind::ScrollBox: return std::make_unique<ScrollBox>(host, row, parent);
        case ControlKind::Image: return std::make_unique<Image>(host, row, parent);
        default: return nullptr;
    }
}
