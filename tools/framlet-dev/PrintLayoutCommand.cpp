// framlet-dev printlayout PW PH W H
#include <cstdio>

#include "DevCommand.h"
#include "app/PrintLayout.h"

namespace {

int Run(const std::vector<std::string>& args) {
    if (args.size() != 4) throw UsageError("expected PW PH W H");
    const int pw = ParseIntArgument(args[0], "PW");
    const int ph = ParseIntArgument(args[1], "PH");
    const int w = ParseIntArgument(args[2], "W");
    const int h = ParseIntArgument(args[3], "H");
    if (pw <= 0 || ph <= 0) throw UsageError("the printable size must be above 0");
    if (w <= 0 || h <= 0) throw UsageError("the picture size must be above 0");
    const PrintLayout l = CalcPrintLayout(pw, ph, w, h);
    std::printf("AW=%d AH=%d DW=%d DH=%d X=%d Y=%d\n", l.AW, l.AH, l.DW, l.DH, l.X, l.Y);
    return 0;
}

const DevCommandRegistrar registrar({"printlayout", "PW PH W H", Run});

}  // namespace
