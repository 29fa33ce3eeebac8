#include "app/Resources_win.h"

UniqueBitmap LoadBitmapResource(const wchar_t* name, HMODULE module) {
    if (!module) module = ::GetModuleHandleW(nullptr);
    return UniqueBitmap(static_cast<HBITMAP>(::LoadImageW(module, name, IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR)));
}

HICON LoadIconResource(const wchar_t* name, int size, HMODULE module) {
    if (!module) module = ::GetModuleHandleW(nullptr);
    return static_cast<HICON>(::LoadImageW(module, name, IMAGE_ICON, size, size, LR_SHARED));
}
