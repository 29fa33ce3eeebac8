// TrimImage with settings and a rectangle from the input over small pictures: the output has
// the computed size and, where the boxes are small, agrees pixel for pixel with the plain
// reference the unit tests use. Sizes no buffer can hold are refused before any allocation.
#include <fuzzer/FuzzedDataProvider.h>

#include "FuzzSupport.h"
#include "TrimReference.h"
#include "imaging/ImageLib.h"
#include "imaging/SoftwareBitmap.h"
#include "platform/AppError.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    FuzzedDataProvider data(bytes, size);
    TrimSettings s;
    s.TrimType = data.ConsumeIntegral<uint8_t>() % 5;
    // Mostly small numbers, sometimes anything at all.
    auto number = [&](int low, int high) {
        return data.ConsumeBool() ? data.ConsumeIntegralInRange<int32_t>(low, high) : data.ConsumeIntegral<int32_t>();
    };
    s.Width = number(-2, 40);
    s.Height = number(-2, 40);
    s.Scale = number(-5, 400);
    s.EffectFlags = data.ConsumeIntegral<uint8_t>() & 3;
    s.ReverseType = data.ConsumeIntegral<uint8_t>() % 3;
    s.IsFrame = data.ConsumeBool();
    s.FrameSize = number(-2, 12);
    Rect rect{number(-20, 30), number(-20, 30), number(-20, 30), number(-20, 30)};
    const int width = data.ConsumeIntegralInRange<int>(1, 12);
    const int height = data.ConsumeIntegralInRange<int>(1, 12);
    MemoryBitmap picture(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            // Pure black and white often, so the two-colour inversion and the emphasis matter.
            const uint8_t kind = data.ConsumeIntegral<uint8_t>();
            picture.SetPixel(x, y,
                             kind < 64    ? 0
                             : kind < 128 ? 0xFFFFFF
                                          : (data.ConsumeIntegral<uint32_t>() & 0xFFFFFF));
        }
    }

    TrimContext context;
    try {
        CalcOutputSize(context, rect, s);
    } catch (const AppError&) {
        return 0;  // refused: selection not ordered, a size not above 0, or no buffer can hold it
    }
    FUZZ_CHECK(context.OutWidth > 0 && context.OutHeight > 0);
    // The reference computes in 32-bit integers as the rules are written; beyond that range it
    // is no yardstick.
    const int64_t sw = int64_t{rect.Right} - rect.Left + 1, sh = int64_t{rect.Bottom} - rect.Top + 1;
    for (const int64_t product : {sw * s.Scale, sh * s.Scale, sh * s.Width, sw * s.Height, sw, sh}) {
        if (product > INT32_MAX || product < INT32_MIN) return 0;
    }
    const reference::Size expected = reference::OutputSize(rect, s);
    FUZZ_CHECK(context.OutWidth == expected.width && context.OutHeight == expected.height);
    // Only outputs and boxes small enough to compute the plain way within a fuzzing run.
    const int64_t sourceArea = sw * sh;
    if (int64_t{context.OutWidth} * context.OutHeight > 4096 || sourceArea > 4096) return 0;

    const SoftwareBitmap source(picture);
    SoftwareBitmap destination;
    try {
        TrimImage(source, destination, rect, s);
    } catch (const AppError&) {
        FUZZ_CHECK(false);  // CalcOutputSize accepted it: making it must not fail
    }
    FUZZ_CHECK(destination.Width() == expected.width && destination.Height() == expected.height);
    FUZZ_CHECK(destination.Pixels() == reference::Trim(picture, rect, s));
    return 0;
}
