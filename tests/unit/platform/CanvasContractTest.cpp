#include "CanvasContract.h"

#include "platform/SoftwareCanvas.h"

namespace {

class SoftwareSurface final : public CanvasSurface {
public:
    SoftwareSurface(int width, int height) : bitmap_(width, height), canvas_(bitmap_) {}
    Canvas& Target() override { return canvas_; }
    MemoryBitmap Snapshot() override { return bitmap_; }
    void Load(const MemoryBitmap& pixels) override { bitmap_ = pixels; }

private:
    MemoryBitmap bitmap_;
    SoftwareCanvas canvas_;
};

INSTANTIATE_TEST_SUITE_P(Software, CanvasContract,
                         ::testing::Values(SurfaceKind{"Software",
                                                       [](int width, int height) -> std::unique_ptr<CanvasSurface> {
                                                           return std::make_unique<SoftwareSurface>(width, height);
                                                       }}),
                         [](const ::testing::TestParamInfo<SurfaceKind>& kind) { return kind.param.name; });

}  // namespace
