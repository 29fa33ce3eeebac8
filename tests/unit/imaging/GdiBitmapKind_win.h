#pragma once
// The GDI bitmap's side of the bitmap test suites: pixels go in and out one at a time through
// a memory device context, independently of GetDIBits and SetDIBits.
#include <windows.h>

#include <memory>
#include <stdexcept>

#include "imaging/GdiBitmap_win.h"
#include "platform/MemoryBitmap.h"
#include "win32/Handles.h"

struct GdiBitmapKind {
    static constexpr int kRandomCases = 40;

    // A memory device context with the bitmap selected, for SetPixelV and GetPixel.
    struct SelectedDC {
        explicit SelectedDC(HBITMAP bitmap) : dc(::CreateCompatibleDC(nullptr)), selection(dc.Get(), bitmap) {
            if (!dc) throw std::runtime_error("cannot make a memory device context");
        }
        HDC Get() const { return dc.Get(); }
        UniqueMemoryDC dc;
        SelectGuard selection;
    };

    static std::unique_ptr<Bitmap> Make(const MemoryBitmap& pixels) {
        auto bitmap = std::make_unique<GdiBitmap>();
        bitmap->SetSize(pixels.Width(), pixels.Height());
        if (bitmap->Handle()) {
            SelectedDC dc(bitmap->Handle());
            for (int y = 0; y < pixels.Height(); ++y) {
                for (int x = 0; x < pixels.Width(); ++x) {
                    const Color c = MemoryBitmap::Unpack(pixels.Pixel(x, y));
                    ::SetPixelV(dc.Get(), x, y, RGB(c.red, c.green, c.blue));
                }
            }
        }
        return bitmap;
    }

    static MemoryBitmap Grab(const Bitmap& bitmap) {
        const auto& gdi = static_cast<const GdiBitmap&>(bitmap);
        MemoryBitmap pixels(gdi.Width(), gdi.Height());
        if (!gdi.Handle()) return pixels;
        SelectedDC dc(gdi.Handle());
        for (int y = 0; y < pixels.Height(); ++y) {
            for (int x = 0; x < pixels.Width(); ++x) {
                const COLORREF c = ::GetPixel(dc.Get(), x, y);
                pixels.SetPixel(x, y, MemoryBitmap::Pack(Color{GetRValue(c), GetGValue(c), GetBValue(c)}));
            }
        }
        return pixels;
    }
};
