#include "win32/GdiBitmap.h"

#include <cstring>
#include <string>

#include "platform/AppError.h"
#include "win32/GdiCanvas.h"

namespace {

static_assert(sizeof(DibHeader) == sizeof(BITMAPINFOHEADER) && sizeof(DibInfo) == sizeof(BITMAPINFO));
static_assert(offsetof(DibHeader, biSizeImage) == offsetof(BITMAPINFOHEADER, biSizeImage));
static_assert(offsetof(DibInfo, bmiColors) == offsetof(BITMAPINFO, bmiColors));

// The screen's device context, the reference for every conversion, held for one transfer.
class ScreenDC {
public:
    ScreenDC() : dc_(::GetDC(nullptr)) {}
    ~ScreenDC() {
        if (dc_) ::ReleaseDC(nullptr, dc_);
    }
    ScreenDC(const ScreenDC&) = delete;
    ScreenDC& operator=(const ScreenDC&) = delete;
    HDC Get() const { return dc_; }

private:
    HDC dc_;
};

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
    explicit GdiBitmapCanvas(HBITMAP bitmap) : context_(bitmap), canvas_(context_.dc) {}

    void SetPen(Color color, PenMode mode, int width) override { canvas_.SetPen(color, mode, width); }
    void SetBrush(Color color) override { canvas_.SetBrush(color); }
    void Polyline(std::span<const Point> points) override { canvas_.Polyline(points); }
    void Rectangle(int left, int top, int right, int bottom) override { canvas_.Rectangle(left, top, right, bottom); }
    void MoveTo(Point p) override { canvas_.MoveTo(p); }
    void LineTo(Point p) override { canvas_.LineTo(p); }

private:
    struct Context {
        explicit Context(HBITMAP bitmap) : dc(::CreateCompatibleDC(nullptr)) {
            if (!dc) throw AppError("描画のためのデバイスコンテキストを作れません");
            if (bitmap) previous = ::SelectObject(dc, bitmap);
        }
        ~Context() {
            if (previous) ::SelectObject(dc, previous);
            ::DeleteDC(dc);
        }
        Context(const Context&) = delete;
        Context& operator=(const Context&) = delete;
        HDC dc;
        HGDIOBJ previous = nullptr;
    };
    Context context_;
    GdiCanvas canvas_;
};

}  // namespace

GdiBitmap::~GdiBitmap() {
    if (bitmap_) ::DeleteObject(bitmap_);
}

BITMAP GdiBitmap::Describe() const {
    BITMAP description{};
    if (bitmap_) ::GetObjectA(bitmap_, sizeof description, &description);
    return description;
}

int GdiBitmap::Width() const { return Describe().bmWidth; }

int GdiBitmap::Height() const { return Describe().bmHeight; }

void GdiBitmap::SetSize(int width, int height) {
    const std::string size = " (" + std::to_string(width) + " x " + std::to_string(height) + ")";
    if (width < 0 || height < 0) throw AppError("画像が大きすぎます" + size);
    HBITMAP created = nullptr;
    // GDI answers a zero size with a 1 x 1 monochrome bitmap; an empty picture has no bitmap.
    if (width > 0 && height > 0) {
        ScreenDC screen;
        created = ::CreateCompatibleBitmap(screen.Get(), width, height);
        if (!created) throw AppError("画像のためのメモリが足りません" + size);
    }
    if (bitmap_) ::DeleteObject(bitmap_);
    bitmap_ = created;
}

bool GdiBitmap::ExportDIB24(const DibInfo& info, uint8_t* bits) const {
    if (!bitmap_) return false;
    BITMAPINFO description = ToBitmapInfo(info);
    const int rows = info.bmiHeader.biHeight < 0 ? -info.bmiHeader.biHeight : info.bmiHeader.biHeight;
    ScreenDC screen;
    return screen.Get() &&
           ::GetDIBits(screen.Get(), bitmap_, 0, static_cast<UINT>(rows), bits, &description, DIB_RGB_COLORS) == rows;
}

bool GdiBitmap::ImportDIB24(const DibInfo& info, const uint8_t* bits) {
    if (!bitmap_) return false;
    const BITMAPINFO description = ToBitmapInfo(info);
    const int rows = info.bmiHeader.biHeight < 0 ? -info.bmiHeader.biHeight : info.bmiHeader.biHeight;
    ScreenDC screen;
    return screen.Get() &&
           ::SetDIBits(screen.Get(), bitmap_, 0, static_cast<UINT>(rows), bits, &description, DIB_RGB_COLORS) == rows;
}

std::unique_ptr<Canvas> GdiBitmap::CreateCanvas() { return std::make_unique<GdiBitmapCanvas>(bitmap_); }
