#pragma once
#include <windows.h>

#include <memory>
#include <utility>

#include "imaging/DIB.h"
#include "win32/Handles.h"

// The bitmap seam over a GDI bitmap compatible with the screen (the display's own pixel
// format). Pixels cross with GetDIBits/SetDIBits against the screen's device context; drawing
// goes through a memory device context that holds the bitmap only while a canvas exists.
class GdiBitmap final : public Bitmap {
public:
    GdiBitmap() = default;
    // Owns the bitmap it is given.
    explicit GdiBitmap(UniqueBitmap bitmap) : owned_(std::move(bitmap)), bitmap_(owned_.Get()) {}
    // Works on a bitmap that stays someone else's (the picture a view holds, say); it is never
    // deleted here. A later SetSize makes a new bitmap of this object's own.
    static GdiBitmap Borrow(HBITMAP bitmap) {
        GdiBitmap borrowed;
        borrowed.bitmap_ = bitmap;
        return borrowed;
    }
    GdiBitmap(GdiBitmap&& other) noexcept
        : owned_(std::move(other.owned_)), bitmap_(std::exchange(other.bitmap_, nullptr)) {}
    GdiBitmap& operator=(GdiBitmap&& other) noexcept {
        owned_ = std::move(other.owned_);
        bitmap_ = std::exchange(other.bitmap_, nullptr);
        return *this;
    }

    int Width() const override;
    int Height() const override;
    void SetSize(int width, int height) override;
    bool ExportDIB24(const DibInfo& info, uint8_t* bits) const override;
    bool ImportDIB24(const DibInfo& info, const uint8_t* bits) override;
    std::unique_ptr<Canvas> CreateCanvas() override;
    std::unique_ptr<Bitmap> CreateEmpty() const override { return std::make_unique<GdiBitmap>(); }

    // Null while the bitmap is 0 x 0.
    HBITMAP Handle() const { return bitmap_; }
    // Hands over the bitmap this object owns (empty for a borrowed one) and leaves it 0 x 0.
    UniqueBitmap Release() {
        bitmap_ = nullptr;
        return std::move(owned_);
    }

private:
    BITMAP Describe() const;

    UniqueBitmap owned_;
    HBITMAP bitmap_ = nullptr;
};
