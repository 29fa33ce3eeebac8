// The image control: a picture the program draws on, painted from its own bitmap.
#include "win32/Controls.h"

#include <windowsx.h>

#include <algorithm>
#include <string>

#include "forms/FormScaling.h"
#include "platform/AppError.h"
#include "win32/ControlSupport.h"

Image::~Image() {
    canvas_.reset();
    if (selected_) ::SelectObject(dc_.Get(), dcOriginal_);
}

void Image::Create(HWND parentWindow, const ControlLayout& row, int id) {
    transparent_ = row.flags & kTransparent;
    CreateFromRow({L"FramletImage", CS_DBLCLKS, nullptr}, parentWindow, row, id, 0);
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
        // Out of GDI memory or handles: the view keeps the picture it has.
        if (!copy || !from || !to) {
            throw OutOfPictureMemory(bm.bmWidth, bm.bmHeight);
        }
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
        OnMouseDown(*this, button, MouseShiftState(wp) | (doubleClick ? ShiftState{kDoubleClick} : ShiftState{0}),
                    GET_X_LPARAM(lp), GET_Y_LPARAM(lp));
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
        case WM_PAINT: Paint(); return 0;
        case WM_ERASEBKGND: return 1;
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
