#pragma once
#include <memory>

#include "imaging/DIB.h"
#include "platform/MemoryBitmap.h"

// The bitmap seam over a memory bitmap: the portable picture of the developer console, the
// tests and the benchmarks. Its drawing surface is the software canvas.
class SoftwareBitmap final : public Bitmap {
public:
    SoftwareBitmap() = default;
    explicit SoftwareBitmap(MemoryBitmap pixels) : pixels_(std::move(pixels)) {}

    int Width() const override { return pixels_.Width(); }
    int Height() const override { return pixels_.Height(); }
    // The seam leaves new pixels undefined, so they are not cleared.
    void SetSize(int width, int height) override { pixels_.SetSizeForOverwrite(width, height); }
    bool ExportDIB24(const DibInfo& info, uint8_t* bits) const override;
    bool ImportDIB24(const DibInfo& info, const uint8_t* bits) override;
    std::unique_ptr<Canvas> CreateCanvas() override;
    std::unique_ptr<Bitmap> CreateEmpty() const override { return std::make_unique<SoftwareBitmap>(); }

    MemoryBitmap& Pixels() { return pixels_; }
    const MemoryBitmap& Pixels() const { return pixels_; }

private:
    MemoryBitmap pixels_;
};
