#pragma once
#include <cstdint>
#include <vector>

#include "imaging/DIB.h"
#include "platform/Geom.h"
#include "settings/SettingValues.h"

class TFLConfig;

// One output column's (or row's) box along one axis, in picture positions: `count`
// positions from `first` on, of which `insideCount` from `insideFirst` on lie inside the
// picture. The others count as white.
struct BoxSpan {
    int64_t first = 0;
    int64_t count = 0;
    int32_t insideFirst = 0;
    int32_t insideCount = 0;
};

// The working state of one run.
struct TrimContext {
    int32_t PictureWidth = 0;
    int32_t PictureHeight = 0;
    int32_t SourceWidth = 0;
    int32_t SourceHeight = 0;
    int32_t OutWidth = 0;
    int32_t OutHeight = 0;
    double ScaleX = 0;  // source columns per output column
    double ScaleY = 0;  // source rows per output row
    // The source's pixels (24-bit layout) the sampling reads: SourceBits when the source had
    // to be read out, the source's own memory when it keeps its pixels in that layout.
    const uint8_t* SourcePixels = nullptr;
    DibBits SourceBits;
    DibBits DestBits;
    DibInfo SourceInfo{};
    DibInfo DestInfo{};
    int32_t SourceStride = 0;
    int32_t DestStride = 0;
    // Each output column's and row's box, computed once per run by PrepareBoxes.
    std::vector<BoxSpan> Columns;
    std::vector<BoxSpan> Rows;
};

// The positions (relative to the cut-out) that output column or row `index` averages:
// first = rounded(index * scale) and, when scale > 1, last = rounded((index + 1) * scale - 1),
// otherwise last = first. Extended precision, ties to even.
struct BoxRange {
    int64_t first;
    int64_t last;
};
BoxRange SampleRange(double scale, int32_t index);

// Sets the source and output sizes and the two factors from the selection and the settings.
// Throws AppError, before anything is allocated, when the selection is not normalised
// (Left <= Right, Top <= Bottom), when a Width, Height or Scale that the trim mode uses is not
// above 0, or when no 24-bit buffer of the output size can exist (its stride or size would
// overflow 32 bits).
void CalcOutputSize(TrimContext& context, const Rect& selection, const TrimSettings& settings);

// Points SourcePixels at the source's pixels (read into SourceBits unless the source keeps
// them in the 24-bit layout itself) and prepares DestBits for a destination bitmap that
// already has the output size. Sets PictureWidth and PictureHeight from the source. The
// destination's old pixels are not read: every one of them is overwritten.
void OpenBuffers(TrimContext& context, const Bitmap& source, const Bitmap& destination);

// Computes every output column's and row's box for the selection (after CalcOutputSize and
// OpenBuffers).
void PrepareBoxes(TrimContext& context, const Rect& selection);

// One output pixel: the weighted average of its box, with Reverse applied before Emphasis,
// positions outside the picture white. Needs PrepareBoxes.
Color SampleBox(const TrimContext& context, int32_t x, int32_t y, const TrimSettings& settings);

// Writes one pixel into DestBits (row OutHeight - 1 - y, bytes blue, green, red).
inline void StorePixel(TrimContext& context, int32_t x, int32_t y, Color color) {
    uint8_t* p = context.DestBits.get() +
                 static_cast<size_t>(context.OutHeight - 1 - y) * static_cast<size_t>(context.DestStride) +
                 static_cast<size_t>(x) * 3;
    p[0] = color.blue;
    p[1] = color.green;
    p[2] = color.red;
}

// Computes and stores every output pixel (what SampleBox and StorePixel do pixel by pixel,
// row by row, with the per-pixel choices made once per run).
void SampleAllPixels(TrimContext& context, const TrimSettings& settings);

// Frees SourceBits, hands DestBits to the destination (which takes the buffer itself where it
// can, or has the pixels written into it) and frees what is left.
void CloseBuffers(TrimContext& context, Bitmap& destination);

// Makes the final picture: the selection of `source`, resized by the trim mode, with the
// effects and the frame, into `destination` (resized to the output size). `source` and the
// selection are left untouched. Throws AppError when the output cannot be made; an output size
// that no buffer can hold is refused before anything is allocated.
void TrimImage(const Bitmap& source, Bitmap& destination, const Rect& selection, const TrimSettings& settings);
void TrimImage(const Bitmap& source, Bitmap& destination, const Rect& selection, const TFLConfig& settings);
