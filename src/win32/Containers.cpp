// Panels, group boxes, bevels and the scroll box.
#include "win32/Controls.h"

#include <windowsx.h>

#include <algorithm>

#include "forms/FormScaling.h"
#include "win32/ControlSupport.h"

void Panel::Create(HWND parentWindow, const ControlLayout& row, int id) {
    CreateFromRow({L"FramletPanel", CS_HREDRAW | CS_VREDRAW, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1)}, parentWindow,
                  row, id, WS_CLIPCHILDREN, WS_EX_CONTROLPARENT);
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
        case WM_SIZE: host_.AlignChildren(this); break;
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
    CreateFromRow({L"FramletGroupBox", CS_HREDRAW | CS_VREDRAW, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1)},
                  parentWindow, row, id, WS_CLIPCHILDREN, WS_EX_CONTROLPARENT);
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
// Bevel

void Bevel::Create(HWND parentWindow, const ControlLayout& row, int id) {
    // Lowered line as a bevel draws it: shadow on the outer pixel row, highlight inside.
    const bool vertical = row.place.height > row.place.width;
    CreateFromRow(L"STATIC", parentWindow, row, id, SS_OWNERDRAW);
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
    CreateFromRow({L"FramletScrollBox", 0, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1)}, parentWindow, row, id,
                  WS_CLIPCHILDREN, WS_EX_CONTROLPARENT | WS_EX_CLIENTEDGE);
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
    if (!::IsWindowVisible(Handle())) {
        // ScrollWindowEx does nothing to a window that is not shown (Wine's returns at once),
        // and the view gets its new picture while the main window waits in the tray: a new,
        // smaller capture would stay scrolled out of sight. Move the children here.
        for (HWND child = ::GetWindow(Handle(), GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
            RECT rc;
            ::GetWindowRect(child, &rc);
            ::MapWindowPoints(nullptr, Handle(), reinterpret_cast<POINT*>(&rc), 2);
            ::SetWindowPos(child, nullptr, rc.left + dx, rc.top + dy, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
        return;
    }
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
            host_.AlignChildren(this);
            break;
        case WM_HSCROLL: Scroll(SB_HORZ, LOWORD(wp)); return 0;
        case WM_VSCROLL: Scroll(SB_VERT, LOWORD(wp)); return 0;
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
