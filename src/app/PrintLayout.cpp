#include "app/PrintLayout.h"

#include "platform/IntMath.h"

PrintLayout CalcPrintLayout(int32_t pageWidth, int32_t pageHeight, int32_t width, int32_t height) {
    PrintLayout layout;
    // x * 0.9 and x * 0.05 rounded half to even, with the factors exact: integer arithmetic.
    layout.AW = static_cast<int32_t>(RoundDivHalfEven(static_cast<int64_t>(pageWidth) * 9, 10));
    layout.AH = static_cast<int32_t>(RoundDivHalfEven(static_cast<int64_t>(pageHeight) * 9, 10));
    // The proportion test in 64 bits: on a large printer a 32-bit product would wrap and pick
    // the wrong side to fit, printing the picture past the page.
    if (static_cast<int64_t>(width) * layout.AH < static_cast<int64_t>(height) * layout.AW) {
        layout.DH = layout.AH;
        layout.DW = MulDivRound(layout.AH, width, height);
    } else {
        layout.DW = layout.AW;
        layout.DH = MulDivRound(layout.AW, height, width);
    }
    layout.X = static_cast<int32_t>(RoundDivHalfEven(pageWidth, 20)) + (layout.AW - layout.DW) / 2;
    layout.Y = static_cast<int32_t>(RoundDivHalfEven(pageHeight, 20)) + (layout.AH - layout.DH) / 2;
    return layout;
}
