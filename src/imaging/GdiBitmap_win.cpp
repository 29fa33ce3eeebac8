#include "imaging/GdiBitmap_win.h"

#include <cstddef>
#include <cstring>
#include <string>

#include "platform/AppError.h"
#include "win32/GdiCanvas.h"

namespace {

static_assert(sizeof(DibHeader) == sizeof(BITMAPINFOHEADER) && sizeof(DibInfo) == sizeof(BITMAPINFO));
static_assert(offsetof(DibHeader, biSizeImage) == offsetof(BITMAPINFOHEADER, biSizeImage));
static_assert(offsetof(DibInfo, bmiColors) == offsetof(BITMAPINFO, bmiColors));

// GDI may write into the description it is given (biSizeImage, the colour table), and the
// caller's record is documented as left alone: work on a copy.
BITMAPINFO ToBitmapInfo(const DibInfo& info) {
    BITMAPINFO result;
    std::memcpy(&result, &info, sizeof result);
    return result;
}

// A memory device context with the bitmap selected, and the canvas over it. Members are
// destroyed in reverse order: the canvas gives back its pens, then the bitmap is deselected
// (so that transfers may run again), then the context is deleted.
class GdiBitmapCanvas final : public Canvas {
public:
    explicit GdiBitmapCanvas(HBITMAP bitmap)
        : dc_(CreateMemoryDC()), selection_(dc_.Get(), bitmap), canvas_(dc_.Get()) {}

    void SetPen(Color color, PenMode mode, int width) override { canvas_.SetPen(color, mode, width); }
    void SetBrush(Color color) override { canvas_.SetBrush(color); }
    void Polyline(std::span<const Point> points) override { canvas_.Polyline(points); }
    void Rectangle(int left, int top, int right, int bottom) override { canvas_.Rectangle(left, top, right, bottom); }
    void MoveTo(Point p) override { canvas_.MoveTo(p); }
    void LineTo(Point p) override { canvas_.LineTo(p); }

private:
    static HDC CreateMemoryDC() {
        HDC dc = ::CreateCompatibleDC(nullptr);
        if (!dc) throw AppError("描画のためのデバイスコンテキストを作れません");
        return dc;
    }

    UniqueMemoryDC dc_;
    SelectGuard selection_;
    GdiCanvas canvas_;
};

}  // namespace

BITMAP GdiBitmap::Describe() const {
    BITMAP description{};
    if (bitmap_) ::GetObjectA(bitmap_, sizeof description, &description);
    return description;
}

int GdiBitmap::Width() const { return Describe().bmWidth; }

int GdiBitmap::Height() const { return Describe().bmHeight; }

void GdiBitmap::SetSize(int width, int height) {
    if (width < 0 || height < 0) throw PictureTooLarge(width, height);
    UniqueBitmap created;
    // GDI answers a zero size with a 1 x 1 monochrome bitmap; an empty picture has no bitmap.
    if (width > 0 && height > 0) {
        const WindowDC screen(nullptr);
        created.Reset(::CreateCompatibleBitmap(screen.Get(), width, height));
        if (!created) throw OutOfPictureMemory(width, height);
    }
    owned_ = std::move(created);
    bitmap_ = owned_.Get();
}

// The screen's device context is the reference for every conversion, held for one transfer.
bool GdiBitmap::ExportDIB24(const DibInfo& info, uint8_t* bits) const {
    if (!bitmap_) return false;
    BITMAPINFO description = ToBitmapInfo(info);
    const int rows = info.bmiHeader.biHeight < 0 ? -info.bmiHeader.biHeight : info.bmiHeader.biHeight;
    const WindowDC screen(nullptr);
    return screen.Get() &&
           ::GetDIBits(screen.Get(), bitmap_, 0, static_cast<UINT>(rows), bits, &description, DIB_RGB_COLORS) == rows;
}

bool GdiBitmap::ImportDIB24(const DibInfo& info, const uint8_t* bits) {
    if (!bitmap_) return false;
    const BITMAPINFO description = ToBitmapInfo(info);
    const int rows = info.bmiHeader.biHeight < 0 ? -info.bmiHeader.biHeight : info.bmiHeader.biHeight;
    const WindowDC screen(nullptr);
    return screen.Get() &&
           ::SetDIBits(screen.Get(), bitmap_, 0, static_cast<UINT>(rows), bits, &description, DIB_RGB_COLORS) == rows;
}

std::unique_ptr<Canvas> GdiBitmap::CreateCanvas() { return std::make_unique<GdiBitmapCanvas>(bitmap_); }
