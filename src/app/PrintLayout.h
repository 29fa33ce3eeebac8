#pragma once
#include <cstdint>

// Where the final picture goes on the page: fitted into nine tenths of the printable area
// with its proportions kept, and centred in that area. All values are device pixels.
struct PrintLayout {
    int32_t AW = 0;  // the area the picture may fill
    int32_t AH = 0;
    int32_t DW = 0;  // the printed size
    int32_t DH = 0;
    int32_t X = 0;  // the printed top-left corner
    int32_t Y = 0;
};

// pageWidth, pageHeight: the printable size; width, height: the final picture (both above 0).
PrintLayout CalcPrintLayout(int32_t pageWidth, int32_t pageHeight, int32_t width, int32_t height);
