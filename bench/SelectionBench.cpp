// The selection on a 4K picture: a pointer move must cost two outline drawings, never anything
// in proportion to the picture. The baseline is one copy of the picture, the least that redrawing
// the picture on every move would cost; "moves_per_copy" says how many pointer moves take as long
// as one copy, both measured in this run.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <filesystem>

#include "platform/MemoryBitmap.h"
#include "platform/SoftwareCanvas.h"
#include "selection/SelectArea.h"
#include "settings/FLConfig.h"

namespace {

constexpr int kWidth = 3840, kHeight = 2160;

MemoryBitmap& Picture() {
    static MemoryBitmap picture = [] {
        MemoryBitmap p(kWidth, kHeight);
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) p.SetPixel(x, y, static_cast<uint32_t>(x * 7 + y * 13) & 0xFFFFFFu);
        }
        return p;
    }();
    return picture;
}

// Settings with the defaults (no file exists at this path, and nothing is ever written).
const TFLConfig& Settings() {
    static const TFLConfig settings((std::filesystem::temp_directory_path() / "framlet-bench-no-such.ini").string());
    return settings;
}

// Seconds for one copy of the 4K picture, the best of a few, measured once per run.
double CopySeconds() {
    static const double seconds = [] {
        MemoryBitmap copy(kWidth, kHeight);
        double best = 1e9;
        for (int i = 0; i < 5; ++i) {
            const auto start = std::chrono::steady_clock::now();
            std::copy(Picture().Row(0), Picture().Row(0) + size_t{kWidth} * kHeight, copy.Row(0));
            benchmark::DoNotOptimize(copy.Row(0));
            benchmark::ClobberMemory();
            best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        }
        return best;
    }();
    return seconds;
}

// How many iterations of the loop just timed take as long as one picture copy.
void ReportAgainstCopy(benchmark::State& state, std::chrono::steady_clock::time_point start) {
    const double loop = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    state.counters["moves_per_copy"] = CopySeconds() / (loop / static_cast<double>(state.iterations()));
}

void BM_DragDraw4K(benchmark::State& state) {
    SoftwareCanvas canvas(Picture());
    TSelectArea area;
    area.BeginDraw(1000, 600, canvas, Settings());
    int flip = 0;
    CopySeconds();
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        // Between 1000 x 700 and 1001 x 700, so every call erases and draws a full outline.
        area.DragDraw(2000 + flip, 1300, canvas, Settings());
        flip ^= 1;
    }
    ReportAgainstCopy(state, start);
    area.Clear(canvas);
}
BENCHMARK(BM_DragDraw4K);

void BM_DragAdjustMove4K(benchmark::State& state) {
    SoftwareCanvas canvas(Picture());
    TSelectArea area;
    area.BeginDraw(1000, 600, canvas, Settings());
    area.EndDraw(2000, 1300, canvas, Settings());
    area.BeginAdjust(1500, 900, canvas, Settings());
    int flip = 0;
    CopySeconds();
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        area.DragAdjust(1500 + flip, 900 + flip, canvas, Settings());
        flip ^= 1;
    }
    ReportAgainstCopy(state, start);
    area.Clear(canvas);
}
BENCHMARK(BM_DragAdjustMove4K);

// The baseline: copying the picture once.
void BM_Baseline_CopyPicture4K(benchmark::State& state) {
    MemoryBitmap copy(kWidth, kHeight);
    for (auto _ : state) {
        std::copy(Picture().Row(0), Picture().Row(0) + size_t{kWidth} * kHeight, copy.Row(0));
        benchmark::DoNotOptimize(copy.Row(0));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_Baseline_CopyPicture4K);

}  // namespace
