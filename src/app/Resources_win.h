#pragma once
#include <windows.h>

#include "win32/Handles.h"

// Names of the pictures resources/Framlet.rc puts into the executable.
inline constexpr const wchar_t* kMainIconResource = L"MAINICON";       // 32 x 32, 256 colours
inline constexpr const wchar_t* kSaveGlyphResource = L"GLYPH_SAVE";    // 25 x 25, btnSave
inline constexpr const wchar_t* kPrintGlyphResource = L"GLYPH_PRINT";  // 25 x 25, btnPrint
inline constexpr const wchar_t* kTogetherResource = L"TOGETHER";       // 16 x 49, imgTogether

// A bitmap resource of the module (null: the executable). Empty when there is none.
UniqueBitmap LoadBitmapResource(const wchar_t* name, HMODULE module = nullptr);
// An icon resource at the given size. The icon is shared with the module and needs no
// freeing; null when there is none.
HICON LoadIconResource(const wchar_t* name, int size, HMODULE module = nullptr);
