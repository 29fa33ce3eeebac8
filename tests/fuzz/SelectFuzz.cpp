// framlet-dev select's script reader and the selection over arbitrary pointer sequences. After
// every step the rectangle is ordered, and erasing the frame restores every pixel of the picture.
#include <fuzzer/FuzzedDataProvider.h>

#include <sstream>

#include "FuzzSupport.h"

// The script reader lives in the developer console's command; take it whole, with the
// console's own argument parser, under another name for its entry.
#define main framlet_dev_main
#include "../../tools/framlet-dev/Main.cpp"
#undef main
#include "../../tools/framlet-dev/SelectCommand.cpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    FuzzedDataProvider data(bytes, size);
    const int width = data.ConsumeIntegralInRange<int>(0, 24);
    const int height = data.ConsumeIntegralInRange<int>(0, 24);
    const int trimType = data.ConsumeIntegralInRange<int>(0, 3);
    const int ratioW = data.ConsumeIntegralInRange<int>(-3, 40);
    const int ratioH = data.ConsumeIntegralInRange<int>(-3, 40);
    std::istringstream script(data.ConsumeRemainingBytesAsString());

    std::vector<Step> steps;
    try {
        steps = ParseScript(script);
    } catch (const UsageError&) {
        return 0;  // a malformed script is refused as a whole
    }
    if (steps.size() > 200) steps.resize(200);

    const std::string path = fuzz::WorkFolder() + "/select.ini";
    fuzz::WriteFile(path, "[Trim]\r\nType=" + std::to_string(trimType) + "\r\nWidth=" + std::to_string(ratioW) +
                              "\r\nHeight=" + std::to_string(ratioH) + "\r\n");
    const TFLConfig settings(path);
    MemoryBitmap pattern(width, height);
    FillPattern(pattern);
    MemoryBitmap picture = pattern;
    SoftwareCanvas canvas(picture);
    TSelectArea area;
    for (const Step& step : steps) {
        RunStep(step, area, canvas, settings, picture, pattern);
        FUZZ_CHECK(area.Rect.Left <= area.Rect.Right);
        FUZZ_CHECK(area.Rect.Top <= area.Rect.Bottom);
        FUZZ_CHECK(area.State <= TSelectArea::kStateAdjusting);
        if (area.State == TSelectArea::kStateNone) {
            FUZZ_CHECK(picture == pattern);
        } else {
            MemoryBitmap copy = picture;
            SoftwareCanvas copyCanvas(copy);
            TSelectArea erased = area;
            erased.Clear(copyCanvas);
            FUZZ_CHECK(copy == pattern);
        }
    }
    return 0;
}
