// Edit boxes, drop-down lists and labels.
#include "win32/Controls.h"

#include <windowsx.h>

#include <algorithm>

#include "forms/FormScaling.h"
#include "platform/Text.h"
#include "win32/ControlSupport.h"

void Edit::Create(HWND parentWindow, const ControlLayout& row, int id) {
    CreateFromRow(L"EDIT", parentWindow, row, id, ES_LEFT | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE);
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
        host_.ControlLostFocus(*this, reinterpret_cast<HWND>(wp));
    }
    return Control::HandleMessage(msg, wp, lp);
}

namespace {
// A drop-down list's window height includes the dropped list; the closed box takes the font's
// height. 96-DPI pixels, like the table.
constexpr int kListHeight = 160;
}  // namespace

void ComboBox::Create(HWND parentWindow, const ControlLayout& row, int id) {
    // The window's height takes in the dropped list. The text chooses an item once the items
    // are there, so the window is made without one.
    ControlLayout window = row;
    window.place.height += ScaleForDpi(kListHeight, host_.Dpi());
    window.text = nullptr;
    CreateFromRow(L"COMBOBOX", parentWindow, window, id, CBS_DROPDOWNLIST | WS_VSCROLL);
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
// Label

void Label::Create(HWND parentWindow, const ControlLayout& row, int id) {
    autoSize_ = row.place.width == 0;
    red_ = row.flags & kRedText;
    CreateFromRow(L"STATIC", parentWindow, row, id, SS_LEFT);
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
