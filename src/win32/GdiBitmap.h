#pragma once
#include <windows.h>

#include <memory>

#include "imaging/DIB.h"

// The bitmap seam over a GDI bitmap compatible with the screen (the display's own pixel
// format). Pixels cross with GetDIBits/SetDIBits against the screen's device context; drawing
// goes through a memory device context that holds the bitmap only while a canvas exists.
class GdiBitmap final : public Bitmap {
public:
    GdiBitmap() = default;
    // Takes ownership of `bitmap`.
    explicit GdiBitmap(HBITMAP bitmap) : bitmap_(bitmap) {}
    ~GdiBitmap() override;
    GdiBitmap(const GdiBitmap&) = delete;
    GdiBitmap& operator=(const GdiBitmap&) = delete;

    int Width() const override;
    int Height() const override;
    void SetSize(int width, int height) override;
    bool ExportDIB24(const DibInfo& info, uint8_t* bits) const override;
    bool ImportDIB24(const DibInfo& info, const uint8_t* bits) override;
    std::unique_ptr<Canvas> CreateCanvas() override;
    std::unique_ptr<Bitmap> CreateEmpty() const override { return std::make_unique<GdiBitmap>(); }

    // Null while the bitmap is 0 x 0. Still owned by this object.
    HBITMAP Handle() const { return bitmap_; }

private:
    BITMAP Describe() const;

    HBITMAP bitmap_ = nullptr;
};
