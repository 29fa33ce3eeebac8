#include "Pictures_win.h"

#include <windows.h>

#include <vector>

#include "Framlet_win.h"
#include "imaging/DIB.h"
#include "imaging/ImageLib.h"
#include "imaging/JpegWriter.h"
#include "imaging/SoftwareBitmap.h"
#include "settings/FLConfig.h"

namespace e2e {

MemoryBitmap Trimmed(const MemoryBitmap& picture, const Rect& rect, const std::string& settingsFile) {
    const TFLConfig config(settingsFile);
    const SoftwareBitmap source{MemoryBitmap(picture)};
    SoftwareBitmap result;
    TrimImage(source, result, rect, config);
    return result.Pixels();
}

std::string JpegOf(const MemoryBitmap& picture) {
    const SoftwareBitmap bitmap{MemoryBitmap(picture)};
    DibInfo info{};
    DibBits bits;
    if (!ReadDIB24(bitmap, info, bits)) return {};
    return EncodeJpeg(info, bits.get());
}

MemoryBitmap LoadBitmapFile(const std::string& path) {
    HBITMAP bitmap = static_cast<HBITMAP>(
        ::LoadImageW(nullptr, FromAnsi(path).c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
    BITMAP bm{};
    if (!bitmap || !::GetObjectW(bitmap, sizeof bm, &bm)) return MemoryBitmap();
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = bm.bmWidth;
    info.bmiHeader.biHeight = -bm.bmHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    MemoryBitmap picture(bm.bmWidth, bm.bmHeight);
    std::vector<uint32_t> bits(static_cast<size_t>(bm.bmWidth) * bm.bmHeight);
    HDC screen = ::GetDC(nullptr);
    ::GetDIBits(screen, bitmap, 0, bm.bmHeight, bits.data(), &info, DIB_RGB_COLORS);
    ::ReleaseDC(nullptr, screen);
    ::DeleteObject(bitmap);
    for (int y = 0; y < bm.bmHeight; ++y) {
        for (int x = 0; x < bm.bmWidth; ++x)
            picture.SetPixel(x, y, bits[static_cast<size_t>(y) * bm.bmWidth + x] & 0xFFFFFF);
    }
    return picture;
}

}  // namespace e2e
