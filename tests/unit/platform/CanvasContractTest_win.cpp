#include <windows.h>

#include <random>

#include "CanvasContract.h"
#include "GdiSurface_win.h"
#include "platform/SoftwareCanvas.h"
#include "win32/GdiCanvas.h"

namespace {

SurfaceKind GdiKind() {
    return {"Gdi", [](int width, int height) -> std::unique_ptr<CanvasSurface> {
                return std::make_unique<GdiSurface>(width, height);
            }};
}

INSTANTIATE_TEST_SUITE_P(Gdi, CanvasContract, ::testing::Values(GdiKind()),
                         [](const ::testing::TestParamInfo<SurfaceKind>& kind) { return kind.param.name; });

}  // namespace

namespace {

// Lines of any slope: the software canvas must pick the same pixels as GDI, whose choices on
// ties between two pixels are its own.
TEST(GdiAndSoftwareCanvas, LinesOfEverySlopeTouchTheSamePixels) {
    constexpr int kSize = 40;
    const MemoryBitmap original = ContractPattern(kSize, kSize);
    std::mt19937 random(77);
    std::uniform_int_distribution<int> coordinate(-10, kSize + 10);
    int compared = 0;
    for (int round = 0; round < 400; ++round) {
        const Point a{coordinate(random), coordinate(random)};
        const Point b{coordinate(random), coordinate(random)};
        GdiSurface gdi(kSize, kSize);
        gdi.Load(original);
        gdi.Target().SetPen(kBlack, PenMode::Not, 1);
        gdi.Target().MoveTo(a);
        gdi.Target().LineTo(b);
        MemoryBitmap soft = original;
        SoftwareCanvas canvas(soft);
        canvas.SetPen(kBlack, PenMode::Not, 1);
        canvas.MoveTo(a);
        canvas.LineTo(b);
        const bool same = gdi.Snapshot() == soft;
        EXPECT_TRUE(same) << "line (" << a.x << "," << a.y << ") to (" << b.x << "," << b.y << ")";
        compared += same;
    }
    EXPECT_EQ(compared, 400);
}

}  // namespace
