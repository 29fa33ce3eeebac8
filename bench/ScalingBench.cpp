// The Save's picture work against the size of the capture, from about 1 MP (1366 x 768) to 33 MP
// (7680 x 4320, an 8K screen): the whole picture through TrimImage (no reduction, and 50 %,
// where every output pixel is a 2 x 2 box) and the JPEG encoder, and the file written, as the Save runs
// them on a 32-bit capture. Each size is timed against a memcpy of its own 24-bit buffer in the same
// iterations; the work is linear when ns_per_pixel and x_memcpy stay flat across the sizes.
// BM_PeakMemory8K reports the memory a Save of an 8K capture needs at its peak, as a multiple of
// the capture's own pixels at 24 bits (3 bytes a pixel). Run: make bench.
#include <benchmark/benchmark.h>

#include <malloc.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "app/PictureFile.h"
#include "imaging/ImageLib.h"
#include "imaging/JpegWriter.h"
#include "imaging/SoftwareBitmap.h"

namespace {

double CpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// A desktop of any size: a gradient, window-like white panels with black text-like strokes and
// rules, and a noisy photo-like band, so that the encoder meets what it meets on a real screen
// at every size.
MemoryBitmap Desktop(int width, int height) {
    MemoryBitmap p;
    p.SetSizeForOverwrite(width, height);
    uint32_t noise = 12345;
    for (int y = 0; y < height; ++y) {
        uint32_t* row = p.Row(y);
        for (int x = 0; x < width; ++x) {
            const int cx = x % 960, cy = y % 540;  // one "window" per 960 x 540 tile
            uint32_t v = MemoryBitmap::Pack(
                Color{static_cast<uint8_t>(20 + y * 100 / height), static_cast<uint8_t>(60 + x * 100 / width), 140});
            if (cx >= 40 && cx < 900 && cy >= 30 && cy < 500) {
                if (cy < 56) {
                    v = 0x2B579A;
                } else if (cx < 42 || cx >= 898 || cy >= 498) {
                    v = 0;
                } else if (cx < 480) {
                    v = ((cx % 9) < 2 || (cy % 24) == 6) && (cy % 24) < 14 ? 0 : 0xFFFFFF;
                } else {
                    noise = noise * 1103515245u + 12345u;
                    v = ((cx * 3 + (noise >> 28)) & 0xFF) << 16 | ((cy * 2) & 0xFF) << 8 | ((cx + cy) & 0xFF);
                }
            }
            row[x] = v;
        }
    }
    return p;
}

struct Size {
    int width;
    int height;
};
constexpr Size kSizes[] = {{1366, 768}, {1920, 1080}, {2560, 1440}, {3840, 2160}, {5120, 2880}, {7680, 4320}};

// Where the Save writes its file: a memory file system where there is one, so that the figures
// are of the work, not of the disk.
const std::string& OutputFile() {
    static const std::string path = std::string(::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp") +
                                    "/framlet-scaling-" + std::to_string(::getpid()) + ".jpg";
    return path;
}

// The Save's work: the final picture from the whole capture, then its JPEG file.
void Save(const SoftwareBitmap& capture, const TrimSettings& settings) {
    SoftwareBitmap final;
    TrimImage(capture, final, Rect{0, 0, capture.Width() - 1, capture.Height() - 1}, settings);
    WritePictureFile(OutputFile(), final);
}

void RunScaling(benchmark::State& state, const TrimSettings& settings) {
    const Size size = kSizes[state.range(0)];
    const SoftwareBitmap capture(Desktop(size.width, size.height));
    const size_t bytes = static_cast<size_t>(DibStride(size.width)) * static_cast<size_t>(size.height);
    std::vector<uint8_t> from(bytes, 1), to(bytes, 2);
    double workSeconds = 0, memcpySeconds = 0;
    for (auto _ : state) {
        double start = CpuSeconds();
        std::memcpy(to.data(), from.data(), bytes);
        benchmark::ClobberMemory();
        memcpySeconds += CpuSeconds() - start;
        start = CpuSeconds();
        Save(capture, settings);
        const double seconds = CpuSeconds() - start;
        workSeconds += seconds;
        state.SetIterationTime(seconds);
    }
    const double pixels = static_cast<double>(size.width) * size.height * static_cast<double>(state.iterations());
    state.counters["MP"] = static_cast<double>(size.width) * size.height / 1e6;
    state.counters["ns_per_pixel"] = workSeconds * 1e9 / pixels;
    state.counters["x_memcpy"] = workSeconds / memcpySeconds;
    ::unlink(OutputFile().c_str());
}

void BM_SaveNoReduction(benchmark::State& state) {
    TrimSettings s;
    s.TrimType = 3;
    RunScaling(state, s);
}

void BM_SaveHalfSize(benchmark::State& state) {
    TrimSettings s;
    s.TrimType = 1;
    s.Scale = 50;
    RunScaling(state, s);
}

long StatusKilobytes(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    const size_t length = std::strlen(field);
    while (std::getline(status, line)) {
        if (line.compare(0, length, field) == 0) return std::stol(line.substr(length + 1));
    }
    return -1;
}

// In a child process of its own, so that memory the benchmarks before it left with the allocator
// counts for nothing: the resident size before the capture exists, then the capture (a 32-bit
// picture, as a screen bitmap is), then the high-water mark reset and a Save. The peak is the
// high-water mark above the size before the capture, the capture included.
void BM_PeakMemory8K(benchmark::State& state) {
    TrimSettings settings;
    settings.TrimType = static_cast<uint8_t>(state.range(0));
    settings.Width = 1500;
    settings.Height = 900;
    double peakBytes = 0;
    for (auto _ : state) {
        int channel[2];
        if (::pipe(channel) != 0) {
            state.SkipWithError("pipe failed");
            return;
        }
        const pid_t child = ::fork();
        if (child == 0) {
            ::close(channel[0]);
            mallopt(M_MMAP_THRESHOLD, 128 * 1024);  // the allocator's default: freed blocks go back
            malloc_trim(0);
            const long before = StatusKilobytes("VmRSS:");
            const SoftwareBitmap capture(Desktop(7680, 4320));
            std::ofstream("/proc/self/clear_refs") << "5";  // the high-water mark starts again here
            Save(capture, settings);
            ::unlink(OutputFile().c_str());
            const double peak = static_cast<double>(StatusKilobytes("VmHWM:") - before) * 1024;
            const bool written = ::write(channel[1], &peak, sizeof peak) == static_cast<ssize_t>(sizeof peak);
            ::_exit(written && before >= 0 ? 0 : 1);
        }
        ::close(channel[1]);
        double peak = 0;
        const bool read = ::read(channel[0], &peak, sizeof peak) == static_cast<ssize_t>(sizeof peak);
        ::close(channel[0]);
        int status = 0;
        ::waitpid(child, &status, 0);
        if (!read || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError("the measuring process failed");
            return;
        }
        peakBytes = peak;
    }
    const double capture24 = 7680.0 * 4320 * 3;
    state.counters["peak_MB"] = peakBytes / 1e6;
    state.counters["x_capture24"] = peakBytes / capture24;
}

}  // namespace

BENCHMARK(BM_SaveNoReduction)
    ->DenseRange(0, 5)
    ->ArgName("size")
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->MinTime(1.0);
BENCHMARK(BM_SaveHalfSize)
    ->DenseRange(0, 5)
    ->ArgName("size")
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->MinTime(1.0);
// Trim types 3 (no reduction, the largest final picture) and 2 (free, to 1500 x 900).
BENCHMARK(BM_PeakMemory8K)->ArgName("trim_type")->Arg(3)->Arg(2)->Iterations(1)->Unit(benchmark::kMillisecond);
