#include "imaging/BitmapDib_win.h"

#include <cstdint>
#include <string>

#include "platform/AppError.h"
#include "platform/SystemError_win.h"

namespace {

[[noreturn]] void ThrowUnreadable() { throw AppError("画像を読み取れません。"); }

void* AllocateZeroed(size_t size, int width, int height) {
    void* block = ::GlobalAlloc(GPTR, size);
    if (!block) {
        throw OutOfPictureMemory(width, height);
    }
    return block;
}

int DibDepth(const BITMAP& bitmap) {
    const int depth = bitmap.bmBitsPixel * bitmap.bmPlanes;
    switch (depth) {
        case 1:
        case 4:
        case 8:
        case 16:
        case 24:
        case 32: return depth;
        default: return 24;
    }
}

}  // namespace

BitmapDib::BitmapDib(HBITMAP bitmap) {
    BITMAP object{};
    if (!bitmap || ::GetObjectW(bitmap, sizeof(object), &object) != sizeof(object) || object.bmWidth <= 0 ||
        object.bmHeight <= 0) {
        ThrowUnreadable();
    }
    const int depth = DibDepth(object);
    const size_t colours = depth <= 8 ? size_t{1} << depth : 0;
    const uint64_t stride = (static_cast<uint64_t>(object.bmWidth) * depth + 31) / 32 * 4;
    const uint64_t imageSize = stride * static_cast<uint64_t>(object.bmHeight);
    if (imageSize > 0x7FFFFFFF) {
        throw PictureTooLarge(object.bmWidth, object.bmHeight);
    }

    headerSize_ = sizeof(BITMAPINFOHEADER) + colours * sizeof(RGBQUAD);
    header_.Reset(AllocateZeroed(headerSize_, object.bmWidth, object.bmHeight));
    bitsSize_ = static_cast<size_t>(imageSize);
    bits_.Reset(AllocateZeroed(bitsSize_, object.bmWidth, object.bmHeight));

    auto* info = static_cast<BITMAPINFO*>(header_.Get());
    info->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info->bmiHeader.biWidth = object.bmWidth;
    info->bmiHeader.biHeight = object.bmHeight;  // positive: bottom-up rows
    info->bmiHeader.biPlanes = 1;
    info->bmiHeader.biBitCount = static_cast<WORD>(depth);
    info->bmiHeader.biCompression = BI_RGB;
    info->bmiHeader.biSizeImage = static_cast<DWORD>(imageSize);

    const UniqueMemoryDC dc(::CreateCompatibleDC(nullptr));
    if (!dc) ThrowUnreadable();
    const int lines =
        ::GetDIBits(dc.Get(), bitmap, 0, static_cast<UINT>(object.bmHeight), bits_.Get(), info, DIB_RGB_COLORS);
    if (lines != object.bmHeight) ThrowUnreadable();
}

void DrawBitmapDib(HDC dc, int x, int y, int width, int height, HBITMAP bitmap) {
    const BitmapDib dib(bitmap);
    ::SetLastError(0);
    const int lines = ::StretchDIBits(dc, x, y, width, height, 0, 0, dib.Width(), dib.Height(), dib.Bits(), dib.Info(),
                                      DIB_RGB_COLORS, SRCCOPY);
    if (lines == 0 || lines == static_cast<int>(GDI_ERROR)) {
        const DWORD error = ::GetLastError();
        std::string text = "画像を印刷できません。";
        if (error != 0) text += "\n" + SystemErrorText(error);
        throw AppError(text);
    }
}
