// Push buttons, the picture button, check boxes and radio buttons.
#include "win32/Controls.h"

#include <windowsx.h>

#include <algorithm>

#include "forms/FormScaling.h"
#include "win32/ControlSupport.h"

void Button::Create(HWND parentWindow, const ControlLayout& row, int id) {
    CreateFromRow(L"BUTTON", parentWindow, row, id, BS_PUSHBUTTON);
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
    CreateFromRow(L"BUTTON", parentWindow, row, id, BS_OWNERDRAW);
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
    const int dpi = host_.Dpi();
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
    CreateFromRow(L"BUTTON", parentWindow, row, id, BS_AUTOCHECKBOX);
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
    // Not an automatic radio button: Windows would group it by z-order and WS_GROUP, while a
    // group here is the table's (same parent, kGroupStart), so this class checks and clears.
    CreateFromRow(L"BUTTON", parentWindow, row, id, BS_RADIOBUTTON);
    if (row.flags & kChecked) ::SendMessageW(Handle(), BM_SETCHECK, BST_CHECKED, 0);
}

bool RadioButton::Checked() const { return ::SendMessageW(Handle(), BM_GETCHECK, 0, 0) == BST_CHECKED; }

void RadioButton::SetChecked(bool checked) {
    if (!checked) {
        ::SendMessageW(Handle(), BM_SETCHECK, BST_UNCHECKED, 0);
        return;
    }
    if (Checked()) return;
    for (RadioButton* other : host_.RadioGroup(group_)) {
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
