#pragma once
// The GDI bitmap's side of the bitmap test suites: pixels go in and out one at a time through
// a memory device context, independently of GetDIBits and SetDIBits.
#include <windows.h>

#include <memory>
#include <stdexcept>

#include "platform/MemoryBitmap.h"
#include "win32/GdiBitmap.h"

struct GdiBitmapKind {
    static constexpr int kRandomCases = 40;

    class SelectedDC {
    public:
        explicit SelectedDC(HBITMAP bitmap) : dc_(::CreateCompatibleDC(nullptr)), previous_(::SelectObject(dc_, bitmap)) {
            if (!dc_ || !previous_) throw std::runtime_error("cannot select the bitmap");
        }
        ~SelectedDC() {
            ::SelectObject(dc_, previous_);
            ::DeleteDC(dc_);
        }
        SelectedDC(const SelectedDC&) = delete;
        SelectedDC& operator=(const SelectedDC&) = delete;
        HDC Get() const { return dc_; }

    private:
        HDC dc_;
        HGDIOBJ previous_;
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
