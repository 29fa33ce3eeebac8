#include "win32/Controls.h"

#include <windowsx.h>

#include <algorithm>

#include "forms/FormScaling.h"
#include "platform/Text.h"
#include "win32/Form.h"

namespace {

HMENU IdAsMenu(int id) { return reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)); }

HBRUSH ButtonFaceBrush() { return ::GetSysColorBrush(COLOR_BTNFACE); }

ShiftState MouseShiftState(WPARAM wp) {
    ShiftState shift = 0;
    if (wp & MK_SHIFT) shift |= kShift;
    if (wp & MK_CONTROL) shift |= kCtrl;
    if (wp & MK_LBUTTON) shift |= kLeftButton;
    if (wp & MK_RBUTTON) shift |= kRightButton;
    if (wp & MK_MBUTTON) shift |= kMiddleButton;
    if (::GetKeyState(VK_MENU) < 0) shift |= kAlt;
    return shift;
}

HFONT FontOf(HWND hwnd) { return reinterpret_cast<HFONT>(::SendMessageW(hwnd, WM_GETFONT, 0, 0)); }

// Size of a text drawn in a window's font, with '&' marking a mnemonic as controls show it.
SIZE MeasureText(HWND hwnd, const std::u16string& text, UINT extraFormat = 0) {
    WindowDC dc(hwnd);
    SelectGuard font(dc.Get(), FontOf(hwnd));
    RECT rc{0, 0, 0, 0};
    if (text.empty()) {
        TEXTMETRICW metrics{};
        ::GetTextMetricsW(dc.Get(), &metrics);
        return SIZE{0, metrics.tmHeight};
    }
    ::DrawTextW(dc.Get(), Wide(text), static_cast<int>(text.size()), &rc, DT_CALCRECT | DT_EXPANDTABS | extraFormat);
    return SIZE{rc.right - rc.left, rc.bottom - rc.top};
}

std::vector<std::u16string> SplitItems(const char* items) {
    std::vector<std::u16string> out;
    if (!items || !*items) return out;
    std::string_view rest(items);
    while (true) {
        const size_t end = rest.find('\n');
        out.push_back(Utf8ToUtf16(rest.substr(0, end)));
        if (end == std::string_view::npos) break;
        rest.remove_prefix(end + 1);
    }
    return out;
}

}  // namespace

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

// ---------------------------------------------------------------------------------------------
// Control

Control::Control(Form& owner, const ControlLayout& row, Control* parent)
    : owner_(owner),
      parent_(parent),
      name_(row.name),
      kind_(row.kind),
      hint_(Utf8ToAnsi(row.hint ? row.hint : "")),
      dockFlags_(row.flags & (kAlignTop | kAlignBottom | kAlignRight | kAlignClient)),
      designPlace_{row.place.left, row.place.top, row.place.width, row.place.height} {}

DWORD Control::BaseStyle(const ControlLayout& row) {
    DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
    if (row.flags & kDisabled) style |= WS_DISABLED;
    if (IsFocusable(row.kind) && row.tabOrder >= 0 && !(row.flags & kNoTabStop)) style |= WS_TABSTOP;
    return style;
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
    if (msg == WM_SETFOCUS) owner_.NoteFocus(this);
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
        case WM_COMMAND:
            child = reinterpret_cast<HWND>(lp);
            break;
        case WM_DRAWITEM: {
            const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
            if (item->CtlType != ODT_MENU) child = item->hwndItem;
            break;
        }
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
            child = reinterpret_cast<HWND>(lp);
            break;
        case WM_NOTIFY:
            child = reinterpret_cast<const NMHDR*>(lp)->hwndFrom;
            break;
        default:
            return false;
    }
    auto* control = dynamic_cast<Control*>(Window::FromHandle(child));
    return control && control->Notified(msg, wp, lp, result);
}

// ---------------------------------------------------------------------------------------------
// Panel and group box

void Panel::Create(HWND parentWindow, const ControlLayout& row, int id) {
    id_ = id;
    CreateOwnClass({L"FramletPanel", CS_HREDRAW | CS_VREDRAW, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1)},
                   WS_EX_CONTROLPARENT, BaseStyle(row) | WS_CLIPCHILDREN, Utf8ToUtf16(row.text), row.place.left,
                   row.place.top, row.place.width, row.place.height, parentWindow, IdAsMenu(id));
}

LRESULT Panel::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    LRESULT result = 0;
    if (ReflectToChild(msg, wp, lp, result) || KeepFont(msg, wp, lp, result)) return result;
    switch (msg) {
        case WM_SETTEXT: {
            const LRESULT r = Default(msg, wp, lp);
            ::InvalidateRect(Handle(), nullptr, TRUE);
            return r;
        }
        case WM_SIZE:
            owner_.AlignChildren(this);
            break;
        case WM_PAINT: {
            PaintDC dc(Handle());
            const std::u16string text = CaptionW();
            if (!text.empty()) {
                RECT rc;
                ::GetClientRect(Handle(), &rc);
                SelectGuard font(dc.Get(), font_);
                ::SetBkMode(dc.Get(), TRANSPARENT);
                ::SetTextColor(dc.Get(), ::GetSysColor(Enabled() ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
                ::DrawTextW(dc.Get(), Wide(text), -1, &rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
            }
            return 0;
        }
    }
    return Control::HandleMessage(msg, wp, lp);
}

void GroupBox::Create(HWND parentWindow, const ControlLayout& row, int id) {
    id_ = id;
    CreateOwnClass({L"FramletGroupBox", CS_HREDRAW | CS_VREDRAW, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1)},
                   WS_EX_CONTROLPARENT, BaseStyle(row) | WS_CLIPCHILDREN, Utf8ToUtf16(row.text), row.place.left,
                   row.place.top, row.place.width, row.place.height, parentWindow, IdAsMenu(id));
}

LRESULT GroupBox::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg != WM_PAINT) return Panel::HandleMessage(msg, wp, lp);
    PaintDC dc(Handle());
    RECT rc;
    ::GetClientRect(Handle(), &rc);
    SelectGuard font(dc.Get(), font_);
    TEXTMETRICW metrics{};
    ::GetTextMetricsW(dc.Get(), &metrics);
    RECT frame = rc;
    frame.top += metrics.tmHeight / 2;
    ::DrawEdge(dc.Get(), &frame, EDGE_ETCHED, BF_RECT);
    const std::u16string text = CaptionW();
    if (!text.empty()) {
        RECT label{8, 0, 8, metrics.tmHeight};
        ::DrawTextW(dc.Get(), Wide(text), -1, &label, DT_CALCRECT | DT_SINGLELINE);
        RECT back{label.left - 2, 0, label.right + 2, metrics.tmHeight};
        ::FillRect(dc.Get(), &back, ButtonFaceBrush());
        ::SetBkMode(dc.Get(), TRANSPARENT);
        ::SetTextColor(dc.Get(), ::GetSysColor(Enabled() ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
        ::DrawTextW(dc.Get(), Wide(text), -1, &label, DT_SINGLELINE);
    }
    return 0;
}

// ---------------------------------------------------------------------------------------------
// Buttons

void Button::Create(HWND parentWindow, const ControlLayout& row, int id) {
    id_ = id;
    CreateStandard(L"BUTTON", 0, BaseStyle(row) | BS_PUSHBUTTON, Utf8ToUtf16(row.text), row.place.left,
                   row.place.top, row.place.width, row.place.height, parentWindow, IdAsMenu(id));
}

void Button::Click() {
    if (OnClick) OnClick(*this);
}

void Button::SetDefaultLook(bool on) {
    if (Handle()) ::SendMessageW(Handle(), BM_SETSTYLE, on ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
}

bool Button::Notified(UINT msg, WPARAM wp, LPARAM, LRESULT& result) {
    if (msg == WM_COMMAND && HIWORD(wp) == BN_CLICKED) {
        result = 0;
        Click();
        return true;
    }
    return false;
}

LRESULT Button::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    // A quick second press is a second click, as for any push button (owner-drawn buttons
    // would otherwise report a double click and no click).
    if (msg == WM_LBUTTONDBLCLK) msg = WM_LBUTTONDOWN;
    return Control::HandleMessage(msg, wp, lp);
}

void BitmapButton::Create(HWND parentWindow, const ControlLayout& row, int id) {
    id_ = id;
    CreateStandard(L"BUTTON", 0, BaseStyle(row) | BS_OWNERDRAW, Utf8ToUtf16(row.text), row.place.left,
                   row.place.top, row.place.width, row.place.height, parentWindow, IdAsMenu(id));
}

void BitmapButton::SetGlyph(UniqueBitmap glyph) {
    glyph_ = std::move(glyph);
    if (Handle()) ::InvalidateRect(Handle(), nullptr, TRUE);
}

void BitmapButton::SetDefaultLook(bool on) {
    defaultLook_ = on;
    if (Handle()) ::InvalidateRect(Handle(), nullptr, TRUE);
}

bool BitmapButton::Notified(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    if (msg == WM_DRAWITEM) {
        Draw(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
        result = TRUE;
        return true;
    }
    return Button::Notified(msg, wp, lp, result);
}

void BitmapButton::Draw(const DRAWITEMSTRUCT& item) {
    HDC dc = item.hDC;
    RECT rc = item.rcItem;
    const bool pressed = item.itemState & ODS_SELECTED;
    const bool focused = item.itemState & ODS_FOCUS;
    const bool disabled = item.itemState & ODS_DISABLED;

    ::FillRect(dc, &rc, ButtonFaceBrush());
    if (defaultLook_ || focused) {
        ::FrameRect(dc, &rc, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
        ::InflateRect(&rc, -1, -1);
    }
    ::DrawFrameControl(dc, &rc, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED : 0));

    // Picture left of the caption, the pair centred; pressed moves both one pixel.
    const std::u16string text = CaptionW();
    SelectGuard font(dc, FontOf(Handle()));
    SIZE textSize{0, 0};
    RECT measure{0, 0, 0, 0};
    if (!text.empty()) {
        ::DrawTextW(dc, Wide(text), -1, &measure, DT_CALCRECT | DT_SINGLELINE);
        textSize = SIZE{measure.right, measure.bottom};
    }
    // The picture grows with the form's DPI like the button itself; at 96 DPI it is drawn 1:1.
    const int dpi = Owner().Dpi();
    SIZE glyphSize{0, 0};
    SIZE drawnSize{0, 0};
    BITMAP bm{};
    if (glyph_ && ::GetObjectW(glyph_.Get(), sizeof bm, &bm)) {
        glyphSize = SIZE{bm.bmWidth, bm.bmHeight};
        drawnSize = SIZE{ScaleForDpi(bm.bmWidth, dpi), ScaleForDpi(bm.bmHeight, dpi)};
    }
    const int spacing = (drawnSize.cx > 0 && textSize.cx > 0) ? ScaleForDpi(4, dpi) : 0;
    const int width = item.rcItem.right - item.rcItem.left;
    const int height = item.rcItem.bottom - item.rcItem.top;
    const int shift = pressed ? 1 : 0;
    int x = item.rcItem.left + (width - (drawnSize.cx + spacing + textSize.cx)) / 2 + shift;
    if (drawnSize.cx > 0) {
        UniqueMemoryDC memory(::CreateCompatibleDC(dc));
        SelectGuard select(memory.Get(), glyph_.Get());
        const COLORREF transparent = ::GetPixel(memory.Get(), 0, glyphSize.cy - 1);
        ::GdiTransparentBlt(dc, x, item.rcItem.top + (height - drawnSize.cy) / 2 + shift, drawnSize.cx, drawnSize.cy,
                            memory.Get(), 0, 0, glyphSize.cx, glyphSize.cy, transparent);
        x += drawnSize.cx + spacing;
    }
    if (!text.empty()) {
        RECT textRect{x, item.rcItem.top + shift, x + textSize.cx, item.rcItem.bottom + shift};
        ::SetBkMode(dc, TRANSPARENT);
        ::SetTextColor(dc, ::GetSysColor(disabled ? COLOR_GRAYTEXT : COLOR_BTNTEXT));
        ::DrawTextW(dc, Wide(text), -1, &textRect,
                    DT_SINGLELINE | DT_VCENTER | ((item.itemState & ODS_NOACCEL) ? DT_HIDEPREFIX : 0));
    }
    if (focused && !(item.itemState & ODS_NOFOCUSRECT)) {
        RECT focus = item.rcItem;
        ::InflateRect(&focus, -4, -4);
        ::DrawFocusRect(dc, &focus);
    }
}

// ---------------------------------------------------------------------------------------------
// Check box and radio button

void CheckBox::Create(HWND parentWindow, const ControlLayout& row, int id) {
    id_ = id;
    CreateStandard(L"BUTTON", 0, BaseStyle(row) | BS_AUTOCHECKBOX, Utf8ToUtf16(row.text), row.place.left,
                   row.place.top, row.place.width, row.place.height, parentWindow, IdAsMenu(id));
    if (row.flags & kChecked) ::SendMessageW(Handle(), BM_SETCHECK, BST_CHECKED, 0);
}

bool CheckBox::Checked() const { return ::SendMessageW(Handle(), BM_GETCHECK, 0, 0) == BST_CHECKED; }

void CheckBox::SetChecked(bool checked) {
    if (Checked() == checked) return;
    ::SendMessageW(Handle(), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    if (OnClick) OnClick(*this);
}

bool CheckBox::Notified(UINT msg, WPARAM wp, LPARAM, LRESULT& result) {
    if (msg == WM_COMMAND && HIWORD(wp) == BN_CLICKED) {
        result = 0;
        if (OnClick) OnClick(*this);
        return true;
    }
    return false;
}

void RadioButton::Create(HWND parentWindow, const ControlLayout& row, int id) {
    id_ = id;
    // Not an automatic radio button: Windows would group it by z-order and WS_GROUP, while a
    // group here is the table's (same parent, kGroupStart), so this class checks and clears.
    CreateStandard(L"BUTTON", 0, BaseStyle(row) | BS_RADIOBUTTON, Utf8ToUtf16(row.text), row.place.left,
                   row.place.top, row.place.width, row.place.height, parentWindow, IdAsMenu(id));
    if (row.flags & kChecked) ::SendMessageW(Handle(), BM_SETCHECK, BST_CHECKED, 0);
}

bool RadioButton::Checked() const { return ::SendMessageW(Handle(), BM_GETCHECK, 0, 0) == BST_CHECKED; }

void RadioButton::SetChecked(bool checked) {
    if (!checked) {
        ::SendMessageW(Handle(), BM_SETCHECK, BST_UNCHECKED, 0);
        return;
    }
    if (Checked()) return;
    for (RadioButton* other : owner_.RadioGroup(group_)) {
        if (other != this && other->Handle()) ::SendMessageW(other->Handle(), BM_SETCHECK, BST_UNCHECKED, 0);
    }
    ::SendMessageW(Handle(), BM_SETCHECK, BST_CHECKED, 0);
    if (OnClick) OnClick(*this);
}

bool RadioButton::Notified(UINT msg, WPARAM wp, LPARAM, LRESULT& result) {
    if (msg == WM_COMMAND && (HIWORD(wp) == BN_CLICKED || HIWORD(wp) == BN_DOUBLECLICKED)) {
        result = 0;
        SetChecked(true);
        return true;
    }
    return false;
}

// ---------------------------------------------------------------------------------------------
// Edit box and drop-down list

void Edit::Create(HWND parentWindow, const ControlLayout& row, int id) {
    id_ = id;
    CreateStandard(L"EDIT", WS_EX_CLIENTEDGE, BaseStyle(row) | ES_LEFT | ES_AUTOHSCROLL, Utf8ToUtf16(row.text),
                   row.place.left, row.place.top, row.place.width, row.place.height, parentWindow, IdAsMenu(id));
    SetMaxLength(row.maxLength);
}

int Edit::MaxLength() const {
    const auto limit = static_cast<unsigned long>(::SendMessageW(Handle(), EM_GETLIMITTEXT, 0, 0));
    return limit >= 0x7FFFFFFEul ? 0 : static_cast<int>(limit);
}

void Edit::SetMaxLength(int length) {
    ::SendMessageW(Handle(), EM_SETLIMITTEXT, length > 0 ? static_cast<WPARAM>(length) : 0, 0);
}

void Edit::SelectAll() { ::SendMessageW(Handle(), EM_SETSEL, 0, -1); }

bool Edit::Notified(UINT msg, WPARAM wp, LPARAM, LRESULT& result) {
    if (msg == WM_COMMAND && HIWORD(wp) == EN_CHANGE) {
        result = 0;
        if (OnChange) OnChange(*this);
        return true;
    }
    return false;
}

LRESULT Edit::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_CHAR && OnKeyPress) {
        char16_t ch = static_cast<char16_t>(wp);
        OnKeyPress(*this, ch);
        if (ch == 0) return 0;
        wp = ch;
    } else if (msg == WM_KILLFOCUS) {
        HWND next = reinterpret_cast<HWND>(wp);
        if (next && owner_.Handle() && ::GetAncestor(next, GA_ROOT) == owner_.Handle()) owner_.PostExit(this);
    }
    return Control::HandleMessage(msg, wp, lp);
}

namespace {
// A drop-down list's window height includes the dropped list; the closed box takes the font's
// height. 96-DPI pixels, like the table.
constexpr int kListHeight = 160;
}  // namespace

void ComboBox::Create(HWND parentWindow, const ControlLayout& row, int id) {
    id_ = id;
    const int listHeight = row.place.height + ScaleForDpi(kListHeight, owner_.Dpi());
    CreateStandard(L"COMBOBOX", 0, BaseStyle(row) | CBS_DROPDOWNLIST | WS_VSCROLL, u"", row.place.left,
                   row.place.top, row.place.width, listHeight, parentWindow, IdAsMenu(id));
    SetItems(SplitItems(row.items));
    SetTextW(Utf8ToUtf16(row.text ? row.text : ""));
}

void ComboBox::PlaceAt(const LayoutRect& place, int dpi) {
    Control::PlaceAt(LayoutRect{place.left, place.top, place.width, place.height + ScaleForDpi(kListHeight, dpi)}, dpi);
}

size_t ComboBox::ItemCount() const {
    const LRESULT count = ::SendMessageW(Handle(), CB_GETCOUNT, 0, 0);
    return count > 0 ? static_cast<size_t>(count) : 0;
}

std::u16string ComboBox::ItemW(size_t index) const {
    const LRESULT length = ::SendMessageW(Handle(), CB_GETLBTEXTLEN, index, 0);
    if (length == CB_ERR || length <= 0) return {};
    std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1);
    ::SendMessageW(Handle(), CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(buffer.data()));
    return FromWide(buffer.data(), static_cast<size_t>(length));
}

std::vector<std::string> ComboBox::Items() const {
    std::vector<std::string> items;
    for (size_t i = 0, n = ItemCount(); i < n; ++i) items.push_back(Utf16ToAnsi(ItemW(i)));
    return items;
}

void ComboBox::SetItems(const std::vector<std::u16string>& items) {
    ::SendMessageW(Handle(), CB_RESETCONTENT, 0, 0);
    for (const auto& item : items) AddItem(item);
}

void ComboBox::AddItem(std::u16string_view text) {
    const std::u16string copy(text);
    ::SendMessageW(Handle(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(copy)));
}

void ComboBox::SetItem(size_t index, std::string_view ansi) { SetItemW(index, AnsiToUtf16(ansi)); }

void ComboBox::SetItemW(size_t index, std::u16string_view text) {
    if (index >= ItemCount()) return;
    const int chosen = ItemIndex();
    const std::u16string copy(text);
    ::SendMessageW(Handle(), CB_DELETESTRING, index, 0);
    ::SendMessageW(Handle(), CB_INSERTSTRING, index, reinterpret_cast<LPARAM>(Wide(copy)));
    if (chosen == static_cast<int>(index)) SetItemIndex(chosen);
}

int ComboBox::ItemIndex() const {
    const LRESULT index = ::SendMessageW(Handle(), CB_GETCURSEL, 0, 0);
    return index == CB_ERR ? -1 : static_cast<int>(index);
}

void ComboBox::SetItemIndex(int index) {
    ::SendMessageW(Handle(), CB_SETCURSEL, index >= 0 ? static_cast<WPARAM>(index) : static_cast<WPARAM>(-1), 0);
}

std::u16string ComboBox::TextW() const {
    const int index = ItemIndex();
    return index >= 0 ? ItemW(static_cast<size_t>(index)) : std::u16string();
}
std::string ComboBox::Text() const { return Utf16ToAnsi(TextW()); }
void ComboBox::SetText(std::string_view ansi) { SetTextW(AnsiToUtf16(ansi)); }

void ComboBox::SetTextW(std::u16string_view text) {
    for (size_t i = 0, n = ItemCount(); i < n; ++i) {
        if (ItemW(i) == text) {
            SetItemIndex(static_cast<int>(i));
            return;
        }
    }
}

bool ComboBox::Notified(UINT msg, WPARAM wp, LPARAM, LRESULT& result) {
    if (msg == WM_COMMAND && HIWORD(wp) == CBN_SELCHANGE) {
        result = 0;
        if (OnChange) OnChange(*this);
        return true;
    }
    return false;
}

// ---------------------------------------------------------------------------------------------
// Label and bevel

void Label::Create(HWND parentWindow, const ControlLayout& row, int id) {
    id_ = id;
    autoSize_ = row.place.width == 0;
    red_ = row.flags & kRedText;
    CreateStandard(L"STATIC", 0, (BaseStyle(row) & ~WS_TABSTOP) | SS_LEFT, Utf8ToUtf16(row.text), row.place.left,
                   row.place.top, row.place.width, row.place.height, parentWindow, IdAsMenu(id));
    if (autoSize_) AdjustSize();
}

void Label::PlaceAt(const LayoutRect& place, int dpi) {
    Control::PlaceAt(place, dpi);
    if (autoSize_) AdjustSize();  // after the form's new font: the text's size at the new DPI
}

void Label::SetCaptionW(std::u16string_view text) {
    Control::SetCaptionW(text);
    if (autoSize_) AdjustSize();
}

void Label::AdjustSize() {
    const SIZE size = MeasureText(Handle(), CaptionW());
    SetSize(size.cx, size.cy);
}

bool Label::Notified(UINT msg, WPARAM wp, LPARAM, LRESULT& result) {
    if (msg != WM_CTLCOLORSTATIC || !red_) return false;
    HDC dc = reinterpret_cast<HDC>(wp);
    ::SetTextColor(dc, RGB(255, 0, 0));
    ::SetBkColor(dc, ::GetSysColor(COLOR_BTNFACE));
    result = reinterpret_cast<LRESULT>(ButtonFaceBrush());
    return true;
}

LRESULT Label::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    const LRESULT result = Control::HandleMessage(msg, wp, lp);
    if (msg == WM_SETFONT && autoSize_) AdjustSize();
    return result;
}

void Bevel::Create(HWND parentWindow, const ControlLayout& row, int id) {
    id_ = id;
    // Lowered line as a bevel draws it: shadow on the outer pixel row, highlight inside.
    const bool vertical = row.place.height > row.place.width;
    CreateStandard(L"STATIC", 0, (BaseStyle(row) & ~WS_TABSTOP) | SS_OWNERDRAW, Utf8ToUtf16(row.text),
                   row.place.left, row.place.top, row.place.width, row.place.height, parentWindow, IdAsMenu(id));
    vertical_ = vertical;
}

bool Bevel::Notified(UINT msg, WPARAM, LPARAM lp, LRESULT& result) {
    if (msg != WM_DRAWITEM) return false;
    const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
    const RECT& rc = item.rcItem;
    ::FillRect(item.hDC, &rc, ButtonFaceBrush());
    RECT shadow = rc;
    RECT light = rc;
    if (vertical_) {
        shadow.right = shadow.left + 1;
        light.left = rc.left + 1;
        light.right = light.left + 1;
    } else {
        shadow.bottom = shadow.top + 1;
        light.top = rc.top + 1;
        light.bottom = light.top + 1;
    }
    ::FillRect(item.hDC, &shadow, ::GetSysColorBrush(COLOR_BTNSHADOW));
    ::FillRect(item.hDC, &light, ::GetSysColorBrush(COLOR_BTNHIGHLIGHT));
    result = TRUE;
    return true;
}

// ---------------------------------------------------------------------------------------------
// Scroll box

void ScrollBox::Create(HWND parentWindow, const ControlLayout& row, int id) {
    id_ = id;
    CreateOwnClass({L"FramletScrollBox", 0, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1)},
                   WS_EX_CONTROLPARENT | WS_EX_CLIENTEDGE, BaseStyle(row) | WS_CLIPCHILDREN, Utf8ToUtf16(row.text),
                   row.place.left, row.place.top, row.place.width, row.place.height, parentWindow, IdAsMenu(id));
}

void ScrollBox::SetDoubleBuffered(bool on) {
    doubleBuffered_ = on;
    if (Handle()) ::InvalidateRect(Handle(), nullptr, TRUE);
}

SIZE ScrollBox::ContentSize() const {
    SIZE size{0, 0};
    for (HWND child = ::GetWindow(Handle(), GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (!(::GetWindowLongW(child, GWL_STYLE) & WS_VISIBLE)) continue;
        RECT rc;
        ::GetWindowRect(child, &rc);
        ::MapWindowPoints(nullptr, Handle(), reinterpret_cast<POINT*>(&rc), 2);
        size.cx = std::max<LONG>(size.cx, rc.right + position_.x);
        size.cy = std::max<LONG>(size.cy, rc.bottom + position_.y);
    }
    return size;
}

void ScrollBox::UpdateRange() {
    if (!Handle() || updating_) return;
    updating_ = true;
    const SIZE content = ContentSize();
    RECT rc;
    ::GetClientRect(Handle(), &rc);
    const LONG style = ::GetWindowLongW(Handle(), GWL_STYLE);
    const int barWidth = ::GetSystemMetrics(SM_CXVSCROLL);
    const int barHeight = ::GetSystemMetrics(SM_CYHSCROLL);
    // The client area as it would be with no bars, then the bars the content needs; a bar
    // takes room from the other direction, so look twice.
    const int fullWidth = rc.right + ((style & WS_VSCROLL) ? barWidth : 0);
    const int fullHeight = rc.bottom + ((style & WS_HSCROLL) ? barHeight : 0);
    bool needH = content.cx > fullWidth;
    bool needV = content.cy > fullHeight;
    needH = content.cx > fullWidth - (needV ? barWidth : 0);
    needV = content.cy > fullHeight - (needH ? barHeight : 0);
    const int clientWidth = std::max(fullWidth - (needV ? barWidth : 0), 0);
    const int clientHeight = std::max(fullHeight - (needH ? barHeight : 0), 0);

    SCROLLINFO info{sizeof info, SIF_RANGE | SIF_PAGE, 0, 0, 0, 0, 0};
    info.nMax = needH ? content.cx - 1 : 0;
    info.nPage = needH ? static_cast<UINT>(clientWidth) : 0;
    ::SetScrollInfo(Handle(), SB_HORZ, &info, TRUE);
    ::ShowScrollBar(Handle(), SB_HORZ, needH);
    info.nMax = needV ? content.cy - 1 : 0;
    info.nPage = needV ? static_cast<UINT>(clientHeight) : 0;
    ::SetScrollInfo(Handle(), SB_VERT, &info, TRUE);
    ::ShowScrollBar(Handle(), SB_VERT, needV);
    updating_ = false;

    const int maxX = needH ? content.cx - clientWidth : 0;
    const int maxY = needV ? content.cy - clientHeight : 0;
    ScrollTo(std::min<int>(position_.x, maxX), std::min<int>(position_.y, maxY));
}

void ScrollBox::ScrollTo(int x, int y) {
    if (!Handle()) return;
    auto limit = [this](int bar, int value) {
        SCROLLINFO info{sizeof info, SIF_RANGE | SIF_PAGE, 0, 0, 0, 0, 0};
        ::GetScrollInfo(Handle(), bar, &info);
        const int max = info.nPage > 0 ? info.nMax - static_cast<int>(info.nPage) + 1 : 0;
        return std::clamp(value, 0, std::max(max, 0));
    };
    x = limit(SB_HORZ, x);
    y = limit(SB_VERT, y);
    const int dx = position_.x - x;
    const int dy = position_.y - y;
    position_ = POINT{x, y};
    ::SetScrollPos(Handle(), SB_HORZ, x, TRUE);
    ::SetScrollPos(Handle(), SB_VERT, y, TRUE);
    if (dx == 0 && dy == 0) return;
    ::ScrollWindowEx(Handle(), dx, dy, nullptr, nullptr, nullptr, nullptr,
                     SW_SCROLLCHILDREN | SW_INVALIDATE | SW_ERASE);
    // Paint now: while a thumb is dragged the scroll bar runs its own loop.
    ::UpdateWindow(Handle());
}

void ScrollBox::Scroll(int bar, int request) {
    SCROLLINFO info{sizeof info, SIF_ALL, 0, 0, 0, 0, 0};
    ::GetScrollInfo(Handle(), bar, &info);
    constexpr int kLine = 8;
    int pos = info.nPos;
    switch (request) {
        case SB_LINEUP: pos -= kLine; break;
        case SB_LINEDOWN: pos += kLine; break;
        case SB_PAGEUP: pos -= static_cast<int>(info.nPage); break;
        case SB_PAGEDOWN: pos += static_cast<int>(info.nPage); break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: pos = info.nTrackPos; break;
        case SB_TOP: pos = 0; break;
        case SB_BOTTOM: pos = info.nMax; break;
        default: return;
    }
    if (bar == SB_HORZ) {
        ScrollTo(pos, position_.y);
    } else {
        ScrollTo(position_.x, pos);
    }
}

LRESULT ScrollBox::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    LRESULT result = 0;
    if (ReflectToChild(msg, wp, lp, result) || KeepFont(msg, wp, lp, result)) return result;
    switch (msg) {
        case WM_SIZE:
            UpdateRange();
            owner_.AlignChildren(this);
            break;
        case WM_HSCROLL:
            Scroll(SB_HORZ, LOWORD(wp));
            return 0;
        case WM_VSCROLL:
            Scroll(SB_VERT, LOWORD(wp));
            return 0;
        case WM_MOUSEWHEEL: {
            const int delta = GET_WHEEL_DELTA_WPARAM(wp);
            ScrollTo(position_.x, position_.y - delta * 24 / WHEEL_DELTA);
            return 0;
        }
        case WM_ERASEBKGND:
            if (doubleBuffered_) return 1;
            break;
        case WM_PAINT:
            if (doubleBuffered_) {
                PaintDC dc(Handle());
                const RECT& area = dc.Area();
                const int width = area.right - area.left;
                const int height = area.bottom - area.top;
                if (width <= 0 || height <= 0) return 0;
                UniqueMemoryDC memory(::CreateCompatibleDC(dc.Get()));
                UniqueBitmap buffer(::CreateCompatibleBitmap(dc.Get(), width, height));
                SelectGuard select(memory.Get(), buffer.Get());
                RECT local{0, 0, width, height};
                ::FillRect(memory.Get(), &local, ButtonFaceBrush());
                ::BitBlt(dc.Get(), area.left, area.top, width, height, memory.Get(), 0, 0, SRCCOPY);
                return 0;
            }
            break;
    }
    return Control::HandleMessage(msg, wp, lp);
}

// ---------------------------------------------------------------------------------------------
// Image

Image::~Image() {
    canvas_.reset();
    if (selected_) ::SelectObject(dc_.Get(), dcOriginal_);
}

void Image::Create(HWND parentWindow, const ControlLayout& row, int id) {
    id_ = id;
    transparent_ = row.flags & kTransparent;
    CreateOwnClass({L"FramletImage", CS_DBLCLKS, nullptr}, 0, BaseStyle(row) & ~WS_TABSTOP, Utf8ToUtf16(row.text),
                   row.place.left, row.place.top, row.place.width, row.place.height, parentWindow, IdAsMenu(id));
}

HDC Image::SelectedDC() {
    if (!picture_) return nullptr;
    if (!dc_) dc_.Reset(::CreateCompatibleDC(nullptr));
    if (!selected_) {
        HGDIOBJ previous = ::SelectObject(dc_.Get(), picture_.Get());
        if (!dcOriginal_) dcOriginal_ = previous;
        selected_ = true;
    }
    return dc_.Get();
}

HBITMAP Image::PictureHandle() {
    if (selected_) {
        ::SelectObject(dc_.Get(), dcOriginal_);
        selected_ = false;
    }
    return picture_.Get();
}

HDC Image::PictureDC() { return SelectedDC(); }

Canvas* Image::PictureCanvas() {
    HDC dc = SelectedDC();
    if (!dc) return nullptr;
    if (!canvas_) canvas_ = std::make_unique<GdiCanvas>(dc);
    return canvas_.get();
}

void Image::PlaceAt(const LayoutRect& place, int dpi) {
    if (transparent_) {
        Control::PlaceAt(place, dpi);
        InvalidateAll();  // stretched: every pixel changes, not only the uncovered ones
        return;
    }
    designPlace_ = DockRect{place.left, place.top, Width(), Height()};
    if (dockFlags_ || !Handle() || (parent_ && parent_->Kind() == ControlKind::ScrollBox)) return;
    ::SetWindowPos(Handle(), nullptr, place.left, place.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Image::SetPicture(UniqueBitmap picture) {
    PictureHandle();
    picture_ = std::move(picture);
    InvalidateAll();
}

void Image::AssignPicture(HBITMAP source) {
    BITMAP bm{};
    if (!source || !::GetObjectW(source, sizeof bm, &bm)) {
        ClearPicture();
        return;
    }
    WindowDC screen(nullptr);
    UniqueBitmap copy(::CreateCompatibleBitmap(screen.Get(), bm.bmWidth, bm.bmHeight));
    {
        UniqueMemoryDC from(::CreateCompatibleDC(screen.Get()));
        UniqueMemoryDC to(::CreateCompatibleDC(screen.Get()));
        SelectGuard selectFrom(from.Get(), source);
        SelectGuard selectTo(to.Get(), copy.Get());
        ::BitBlt(to.Get(), 0, 0, bm.bmWidth, bm.bmHeight, from.Get(), 0, 0, SRCCOPY);
    }
    SetPicture(std::move(copy));
}

void Image::ClearPicture() { SetPicture(UniqueBitmap()); }

SIZE Image::PictureSize() const {
    BITMAP bm{};
    if (!picture_ || !::GetObjectW(picture_.Get(), sizeof bm, &bm)) return SIZE{0, 0};
    return SIZE{bm.bmWidth, bm.bmHeight};
}

void Image::SetCursor(Cursor cursor) {
    cursor_ = cursor;
    POINT pointer;
    if (Handle() && ::GetCursorPos(&pointer) && ::WindowFromPoint(pointer) == Handle()) {
        ::SetCursor(LoadSystemCursor(cursor));
    }
}

void Image::InvalidatePicture(int left, int top, int right, int bottom) {
    if (!Handle()) return;
    RECT rc{left, top, right, bottom};
    ::InvalidateRect(Handle(), &rc, FALSE);
}

void Image::InvalidateAll() {
    if (Handle()) ::InvalidateRect(Handle(), nullptr, FALSE);
}

void Image::UpdateNow() {
    if (Handle()) ::UpdateWindow(Handle());
}

void Image::Paint() {
    PaintDC dc(Handle());
    const RECT area = dc.Area();
    HDC source = SelectedDC();
    const SIZE size = PictureSize();
    if (!source || size.cx <= 0 || size.cy <= 0) {
        ::FillRect(dc.Get(), &area, ButtonFaceBrush());
        return;
    }
    if (transparent_) {
        ::FillRect(dc.Get(), &area, ButtonFaceBrush());
        const COLORREF key = ::GetPixel(source, 0, size.cy - 1);
        RECT client{};
        ::GetClientRect(Handle(), &client);
        ::GdiTransparentBlt(dc.Get(), 0, 0, client.right, client.bottom, source, 0, 0, size.cx, size.cy, key);
        return;
    }
    const RECT picture{0, 0, size.cx, size.cy};
    RECT copy;
    if (::IntersectRect(&copy, &area, &picture)) {
        ::BitBlt(dc.Get(), copy.left, copy.top, copy.right - copy.left, copy.bottom - copy.top, source, copy.left,
                 copy.top, SRCCOPY);
    }
    // Whatever lies beyond the picture shows the background.
    ::ExcludeClipRect(dc.Get(), 0, 0, size.cx, size.cy);
    ::FillRect(dc.Get(), &area, ButtonFaceBrush());
}

void Image::MouseDown(MouseButton button, WPARAM wp, LPARAM lp, bool doubleClick) {
    if (::GetCapture() != Handle()) ::SetCapture(Handle());
    if (OnMouseDown) {
        OnMouseDown(*this, button, MouseShiftState(wp) | (doubleClick ? ShiftState{kDoubleClick} : ShiftState{0}), GET_X_LPARAM(lp),
                    GET_Y_LPARAM(lp));
    }
}

void Image::MouseUp(MouseButton button, WPARAM wp, LPARAM lp) {
    if (!(wp & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)) && ::GetCapture() == Handle()) ::ReleaseCapture();
    if (OnMouseUp) OnMouseUp(*this, button, MouseShiftState(wp), GET_X_LPARAM(lp), GET_Y_LPARAM(lp));
}

LRESULT Image::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    LRESULT result = 0;
    if (KeepFont(msg, wp, lp, result)) return result;
    switch (msg) {
        case WM_PAINT:
            Paint();
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_SETCURSOR:
            if (LOWORD(lp) == HTCLIENT) {
                ::SetCursor(LoadSystemCursor(cursor_));
                return TRUE;
            }
            break;
        case WM_LBUTTONDOWN: MouseDown(MouseButton::Left, wp, lp, false); return 0;
        case WM_RBUTTONDOWN: MouseDown(MouseButton::Right, wp, lp, false); return 0;
        case WM_MBUTTONDOWN: MouseDown(MouseButton::Middle, wp, lp, false); return 0;
        case WM_LBUTTONDBLCLK:
            // The double click comes first, then the press it was made with.
            if (OnDblClick) OnDblClick(*this);
            MouseDown(MouseButton::Left, wp, lp, true);
            return 0;
        case WM_RBUTTONDBLCLK: MouseDown(MouseButton::Right, wp, lp, true); return 0;
        case WM_MBUTTONDBLCLK: MouseDown(MouseButton::Middle, wp, lp, true); return 0;
        case WM_LBUTTONUP: MouseUp(MouseButton::Left, wp, lp); return 0;
        case WM_RBUTTONUP: MouseUp(MouseButton::Right, wp, lp); return 0;
        case WM_MBUTTONUP: MouseUp(MouseButton::Middle, wp, lp); return 0;
        case WM_MOUSEMOVE:
            if (OnMouseMove) OnMouseMove(*this, MouseShiftState(wp), GET_X_LPARAM(lp), GET_Y_LPARAM(lp));
            return 0;
    }
    return Control::HandleMessage(msg, wp, lp);
}

// ---------------------------------------------------------------------------------------------

std::unique_ptr<Control> MakeControl(Form& owner, const ControlLayout& row, Control* parent) {
    switch (row.kind) {
        case ControlKind::Panel: return std::make_unique<Panel>(owner, row, parent);
        case ControlKind::GroupBox: return std::make_unique<GroupBox>(owner, row, parent);
        case ControlKind::RadioButton: return std::make_unique<RadioButton>(owner, row, parent);
        case ControlKind::CheckBox: return std::make_unique<CheckBox>(owner, row, parent);
        case ControlKind::Edit: return std::make_unique<Edit>(owner, row, parent);
        case ControlKind::ComboBox: return std::make_unique<ComboBox>(owner, row, parent);
        case ControlKind::Button: return std::make_unique<Button>(owner, row, parent);
        case ControlKind::BitmapButton: return std::make_unique<BitmapButton>(owner, row, parent);
        case ControlKind::Label: return std::make_unique<Label>(owner, row, parent);
        case ControlKind::Bevel: return std::make_unique<Bevel>(owner, row, parent);
        case ControlKind::ScrollBox: return std::make_unique<ScrollBox>(owner, row, parent);
        case ControlKind::Image: return std::make_unique<Image>(owner, row, parent);
        default: return nullptr;
    }
}
