#pragma once
#include <memory>

#include "imaging/DIB.h"
#include "platform/MemoryBitmap.h"

// The bitmap seam over a memory bitmap: the portable picture of the developer console, the
// tests and the benchmarks. Its drawing surface is the software canvas.
//
// A picture the trim pipeline made is kept as the pipeline's own 24-bit buffer, which the
// writers then read in place: converting it to 32-bit pixels and back for them would be two
// more passes over the picture. The 32-bit pixels are made from it the first time something
// asks for them (Pixels, a canvas, an import).
class SoftwareBitmap final : public Bitmap {
public:
    SoftwareBitmap() = default;
    explicit SoftwareBitmap(MemoryBitmap pixels) : pixels_(std::move(pixels)) {}

    int Width() const override { return packed_ ? packedWidth_ : pixels_.Width(); }
    int Height() const override { return packed_ ? packedHeight_ : pixels_.Height(); }
    // The seam leaves new pixels undefined, so they are not cleared.
    void SetSize(int width, int height) override;
    bool ExportDIB24(const DibInfo& info, uint8_t* bits) const override;
    bool ImportDIB24(const DibInfo& info, const uint8_t* bits) override;
    std::unique_ptr<Canvas> CreateCanvas() override;
    std::unique_ptr<Bitmap> CreateEmpty() const override { return std::make_unique<SoftwareBitmap>(); }
    const uint8_t* DIB24Pixels() const override { return packed_.get(); }
    bool AdoptDIB24(const DibInfo& info, DibBits& bits) override;

    MemoryBitmap& Pixels();
    const MemoryBitmap& Pixels() const;

private:
    // Turns a kept 24-bit buffer into the 32-bit pixels and frees it.
    void Unpack() const;

    mutable MemoryBitmap pixels_;
    // When set, the picture's pixels (bottom-up, DibStride rows) and pixels_ is empty.
    mutable DibBits packed_;
    int packedWidth_ = 0;
    int packedHeight_ = 0;
};
