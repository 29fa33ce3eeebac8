#include "imaging/ImageLib.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <new>
#include <string>

#include "imaging/Frame.h"
#include "platform/AppError.h"
#include "settings/FLConfig.h"

namespace {

constexpr int64_t kInt32Max = std::numeric_limits<int32_t>::max();
// No box may hold more positions than this, so that its 64-bit sums (at most 255 per position
// for a colour, 4 per position for the weight) cannot overflow. Only a selection billions of
// pixels wide and high could reach it.
constexpr int64_t kMaxBoxPositions = int64_t{1} << 52;

std::vector<BoxSpan> AxisBoxes(double scale, int32_t outCount, int32_t offset, int32_t pictureSize) {
    std::vector<BoxSpan> boxes(static_cast<size_t>(outCount));
    for (int32_t i = 0; i < outCount; ++i) {
        const BoxRange range = SampleRange(scale, i);
        BoxSpan& box = boxes[static_cast<size_t>(i)];
        box.first = range.first + offset;
        box.count = range.last - range.first + 1;
        const int64_t low = std::max<int64_t>(box.first, 0);
        const int64_t high = std::min<int64_t>(box.first + box.count - 1, int64_t{pictureSize} - 1);
        if (low <= high) {
            box.insideFirst = static_cast<int32_t>(low);
            box.insideCount = static_cast<int32_t>(high - low + 1);
        }
    }
    return boxes;
}

}  // namespace

BoxRange SampleRange(double scale, int32_t index) {
    // The products and the difference are formed in long double (64-bit mantissa) and rounded
    // half to even by nearbyint under the default rounding mode.
    const long double start = static_cast<long double>(index) * scale;
    const auto first = static_cast<int64_t>(std::nearbyint(start));
    if (scale > 1) {
        const long double end = (static_cast<long double>(index) + 1.0L) * scale - 1.0L;
        return {first, static_cast<int64_t>(std::nearbyint(end))};
    }
    return {first, first};
}

void CalcOutputSize(TrimContext& context, const Rect& selection, const TrimSettings& settings) {
    // Widths and heights are formed in 64 bits: where the 32-bit products of the rules would
    // overflow (only absurd settings reach that) the exact value is what is meant, and an
    // output it makes too large is refused below.
    const int64_t sourceWidth = int64_t{selection.Right} - selection.Left + 1;
    const int64_t sourceHeight = int64_t{selection.Bottom} - selection.Top + 1;
    if (sourceWidth < 1 || sourceHeight < 1)
        throw AppError("選択範囲が正しくありません" + PictureSizeText(sourceWidth, sourceHeight));
    if (sourceWidth > kInt32Max || sourceHeight > kInt32Max || sourceWidth * sourceHeight > kMaxBoxPositions) {
        throw AppError("選択範囲が大きすぎます" + PictureSizeText(sourceWidth, sourceHeight));
    }

    // The commands run the pipeline only with Width, Height and Scale above 0; a value the
    // mode uses that is not is refused rather than divided by.
    const bool usesBox = settings.TrimType == 0 || settings.TrimType == 2;
    if ((usesBox && (settings.Width <= 0 || settings.Height <= 0)) || (settings.TrimType == 1 && settings.Scale <= 0)) {
        throw AppError("出力画像の大きさが正しくありません" + PictureSizeText(settings.Width, settings.Height) + " " +
                       std::to_string(settings.Scale) + "%");
    }
    int64_t outWidth = sourceWidth;
    int64_t outHeight = sourceHeight;
    switch (settings.TrimType) {
        case 0:  // proportion: exactly Width x Height, aspect not kept
            outWidth = settings.Width;
            outHeight = settings.Height;
            break;
        case 1:  // scaling by Scale percent
            outWidth = sourceWidth * settings.Scale / 100;
            outHeight = sourceHeight * settings.Scale / 100;
            if (outWidth == 0) outWidth = 1;
            if (outHeight == 0) outHeight = 1;
            break;
        case 2:  // free: fit into Width x Height keeping the cut-out's aspect
            if (static_cast<long double>(settings.Height) / settings.Width >=
                static_cast<long double>(sourceHeight) / sourceWidth) {
                outWidth = settings.Width;
                outHeight = sourceHeight * settings.Width / sourceWidth;
            } else {
                outWidth = sourceWidth * settings.Height / sourceHeight;
                outHeight = settings.Height;
            }
            if (outWidth == 0) outWidth = 1;
            if (outHeight == 0) outHeight = 1;
            break;
        default:  // 3, and any value a hand-edited settings file may hold: no reduction
            break;
    }
    if (outWidth < 1 || outHeight < 1)
        throw AppError("出力画像の大きさが正しくありません" + PictureSizeText(outWidth, outHeight));
    CheckDib24Size(outWidth, outHeight);

    context.SourceWidth = static_cast<int32_t>(sourceWidth);
    context.SourceHeight = static_cast<int32_t>(sourceHeight);
    context.OutWidth = static_cast<int32_t>(outWidth);
    context.OutHeight = static_cast<int32_t>(outHeight);
    context.ScaleX = static_cast<double>(static_cast<long double>(sourceWidth) / outWidth);
    context.ScaleY = static_cast<double>(static_cast<long double>(sourceHeight) / outHeight);
}

void OpenBuffers(TrimContext& context, const Bitmap& source, const Bitmap& destination) {
    context.PictureWidth = source.Width();
    context.PictureHeight = source.Height();
    context.SourcePixels = DIB24PixelsOf(source, context.SourceInfo, context.SourceBits);
    context.SourceStride = DibStride(context.SourceInfo.bmiHeader.biWidth);
    AllocateDIB24(destination.Width(), destination.Height(), context.DestInfo, context.DestBits);
    context.DestStride = DibStride(context.DestInfo.bmiHeader.biWidth);
}

void PrepareBoxes(TrimContext& context, const Rect& selection) {
    context.Columns = AxisBoxes(context.ScaleX, context.OutWidth, selection.Left, context.PictureWidth);
    context.Rows = AxisBoxes(context.ScaleY, context.OutHeight, selection.Top, context.PictureHeight);
}

void CloseBuffers(TrimContext& context, Bitmap& destination) {
    context.SourcePixels = nullptr;
    context.SourceBits.reset();
    if (!destination.AdoptDIB24(context.DestInfo, context.DestBits)) {
        WriteDIB24(destination, context.DestInfo, context.DestBits.get());
    }
    context.DestBits.reset();
}

void TrimImage(const Bitmap& source, Bitmap& destination, const Rect& selection, const TrimSettings& settings) {
    // One context per run: nothing outside a run reads it, so no run can see another's.
    TrimContext context;
    CalcOutputSize(context, selection, settings);
    try {
        destination.SetSize(context.OutWidth, context.OutHeight);
        OpenBuffers(context, source, destination);
        PrepareBoxes(context, selection);
        SampleAllPixels(context, settings);
    } catch (const std::bad_alloc&) {
        throw OutOfPictureMemory(context.OutWidth, context.OutHeight);
    }
    CloseBuffers(context, destination);
    if (settings.IsFrame && settings.FrameSize > 0) DrawFrame(destination, settings.FrameSize);
}

void TrimImage(const Bitmap& source, Bitmap& destination, const Rect& selection, const TFLConfig& settings) {
    TrimImage(source, destination, selection, settings.Trim());
}
