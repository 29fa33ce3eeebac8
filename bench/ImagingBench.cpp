// The trim pipeline and the JPEG writer on a 4K screen capture. Every figure is reported as a
// ratio to a baseline timed in the same iterations: a memcpy of the whole 24-bit source buffer
// (3840 x 2160 x 3 bytes) for the pipeline, libjpeg called directly on a ready RGB buffer for
// the writer. Targets: free mode at most 6x, no reduction at most 4x, writer at most 1.10x.
// Times are the thread's CPU time (page faults included), so that other work on a shared
// machine does not land on one side of a ratio only. Run: make bench.
#include <benchmark/benchmark.h>

#include <malloc.h>
#include <sys/mman.h>
#include <time.h>

#include <cstdlib>
#include <cstring>
#include <vector>

// jpeglib.h needs size_t and FILE declared first.
#include <jpeglib.h>

#include "app/PictureFile.h"
#include "imaging/BmpFile.h"
#include "imaging/ImageLib.h"
#include "imaging/JpegWriter.h"
#include "imaging/SoftwareBitmap.h"

namespace {

// Freed pixel memory stays with the process, as in a program that has saved before, so that the
// steady figures measure the code. The cold ones (argument 1) hand all freed memory back to the
// system before each run (untimed), so that the run pays for fresh pages as a first Save does:
// on this virtual machine about 0.3 ms per MB at 4 KB pages (BM_FreshMemory4K), less with the
// huge pages that pixel memory asks for.
const bool kKeepFreedMemory = [] {
    mallopt(M_MMAP_THRESHOLD, 256 << 20);
    mallopt(M_TRIM_THRESHOLD, 1 << 30);
    return true;
}();

double CpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// A desktop: a gradient background, windows with title bars, text-like strokes on white,
// a photo-like area and thin black rules, so that pure white and black are common.
const SoftwareBitmap& Screenshot() {
    static const SoftwareBitmap picture = [] {
        MemoryBitmap p(3840, 2160);
        uint32_t noise = 12345;
        for (int y = 0; y < 2160; ++y) {
            uint32_t* row = p.Row(y);
            for (int x = 0; x < 3840; ++x) {
                row[x] = MemoryBitmap::Pack(
                    Color{static_cast<uint8_t>(20 + y / 20), static_cast<uint8_t>(60 + x / 40), 140});
            }
        }
        struct Window {
            int left, top, width, height;
        };
        const Window windows[] = {{80, 60, 1800, 1300}, {1500, 400, 2100, 1500}, {300, 1200, 1400, 900}};
        for (const Window& w : windows) {
            for (int y = w.top; y < w.top + w.height && y < 2160; ++y) {
                uint32_t* row = p.Row(y);
                for (int x = w.left; x < w.left + w.width && x < 3840; ++x) {
                    const int wx = x - w.left, wy = y - w.top;
                    uint32_t v = 0xFFFFFF;
                    if (wy < 32) {
                        v = 0x2B579A;  // title bar
                    } else if (wx < 2 || wy < 34 || wx >= w.width - 2 || wy >= w.height - 2) {
                        v = 0x000000;  // border
                    } else if (wx > 40 && wx < w.width / 2 && (wy % 24) < 14 && wy > 60) {
                        // Lines of "text": strokes of black on white.
                        const int cell = (wx / 9) * 31 + (wy / 24) * 17;
                        if (((wx % 9) < 2 || (wy % 24) == 6 || (cell % 5 == 0 && (wx % 9) == 5)) && cell % 7 != 0)
                            v = 0x000000;
                    } else if (wx >= w.width / 2 + 40 && wx < w.width - 40 && wy > 80 && wy < w.height / 2) {
                        noise = noise * 1103515245u + 12345u;  // a photo-like area
                        v = ((wx * 3 + (noise >> 28)) & 0xFF) << 16 | ((wy * 2) & 0xFF) << 8 | ((wx + wy) & 0xFF);
                    }
                    row[x] = v;
                }
            }
        }
        return SoftwareBitmap(std::move(p));
    }();
    return picture;
}

// FRAMLET_BENCH_PICTURE=FILE writes the picture as a bitmap file, the input of the
// whole-process comparison in bench/compare-imagemagick.
const bool kPictureWritten = [] {
    const char* path = std::getenv("FRAMLET_BENCH_PICTURE");
    if (path && *path) WritePictureFile(path, Screenshot());
    return true;
}();

// The memcpy baseline: the whole 24-bit source buffer into a buffer that is already mapped.
struct Baseline {
    Baseline() {
        DibInfo info{};
        ReadDIB24(Screenshot(), info, bits);
        size = info.bmiHeader.biSizeImage;
        copy.assign(size, 0);
    }
    double Seconds() {
        const double start = CpuSeconds();
        std::memcpy(copy.data(), bits.get(), size);
        benchmark::DoNotOptimize(copy.data());
        benchmark::ClobberMemory();
        return CpuSeconds() - start;
    }
    DibBits bits;
    size_t size = 0;
    std::vector<uint8_t> copy;
};

void RunTrim(benchmark::State& state, const TrimSettings& settings) {
    static Baseline baseline;
    const Rect cutOut{100, 100, 3099, 1899};  // 3000 x 1800
    double trimSeconds = 0, memcpySeconds = 0;
    SoftwareBitmap shown;  // the view's picture: the previous result until the new one replaces it
    const bool cold = state.range(0) == 1;
    for (auto _ : state) {
        memcpySeconds += baseline.Seconds();
        if (cold) {
            state.PauseTiming();
            shown = SoftwareBitmap();
            malloc_trim(0);
            state.ResumeTiming();
        }
        // As the Save command does: a new destination each time, which then replaces the
        // picture shown before.
        const double start = CpuSeconds();
        SoftwareBitmap result;
        TrimImage(Screenshot(), result, cutOut, settings);
        shown = std::move(result);
        benchmark::ClobberMemory();
        const double seconds = CpuSeconds() - start;
        trimSeconds += seconds;
        state.SetIterationTime(seconds);
    }
    state.counters["x_memcpy"] = trimSeconds / memcpySeconds;
    state.counters["memcpy_ms"] = memcpySeconds * 1000 / static_cast<double>(state.iterations());
    state.counters["out_w"] = shown.Width();
    state.counters["out_h"] = shown.Height();
}

void BM_TrimNoReduction(benchmark::State& state) {
    TrimSettings s;
    s.TrimType = 3;
    RunTrim(state, s);
}

void BM_TrimFree3000x1800To1500x900(benchmark::State& state) {
    TrimSettings s;
    s.TrimType = 2;
    s.Width = 1500;
    s.Height = 900;
    RunTrim(state, s);
}

void BM_TrimProportion3000x1800To150x180(benchmark::State& state) {
    TrimSettings s;
    s.TrimType = 0;
    s.Width = 150;
    s.Height = 180;
    RunTrim(state, s);
}

void BM_TrimFreeWithEffectsAndFrame(benchmark::State& state) {
    TrimSettings s;
    s.TrimType = 2;
    s.Width = 1500;
    s.Height = 900;
    s.EffectFlags = TrimSettings::kReverse | TrimSettings::kEmphasis;
    s.IsFrame = true;
    s.FrameSize = 3;
    RunTrim(state, s);
}

// libjpeg on a ready top-down RGB buffer with the writer's parameters, into memory.
std::vector<uint8_t> ToRgb(const DibInfo& info, const uint8_t* bits) {
    const int w = info.bmiHeader.biWidth, h = info.bmiHeader.biHeight, stride = DibStride(w);
    std::vector<uint8_t> rgb(static_cast<size_t>(w) * h * 3);
    for (int y = 0; y < h; ++y) {
        const uint8_t* in = bits + static_cast<size_t>(h - 1 - y) * stride;
        uint8_t* out = rgb.data() + static_cast<size_t>(y) * w * 3;
        for (int x = 0; x < w; ++x) {
            out[x * 3] = in[x * 3 + 2];
            out[x * 3 + 1] = in[x * 3 + 1];
            out[x * 3 + 2] = in[x * 3];
        }
    }
    return rgb;
}

size_t EncodeDirectly(const std::vector<uint8_t>& rgb, int width, int height) {
    jpeg_compress_struct c{};
    jpeg_error_mgr errors{};
    c.err = jpeg_std_error(&errors);
    jpeg_create_compress(&c);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&c, &out, &size);
    c.image_width = static_cast<JDIMENSION>(width);
    c.image_height = static_cast<JDIMENSION>(height);
    c.input_components = 3;
    c.in_color_space = JCS_RGB;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, 90, TRUE);
    c.dct_method = JDCT_FLOAT;
    jpeg_start_compress(&c, TRUE);
    JSAMPROW rows[16];
    while (c.next_scanline < c.image_height) {
        const int count = std::min(16, height - static_cast<int>(c.next_scanline));
        for (int i = 0; i < count; ++i) {
            rows[i] = const_cast<JSAMPROW>(rgb.data() + static_cast<size_t>(c.next_scanline + i) * width * 3);
        }
        jpeg_write_scanlines(&c, rows, static_cast<JDIMENSION>(count));
    }
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    std::free(out);
    return size;
}

void BM_JpegWriter1500x900(benchmark::State& state) {
    TrimSettings s;
    s.TrimType = 2;
    s.Width = 1500;
    s.Height = 900;
    SoftwareBitmap result;
    TrimImage(Screenshot(), result, Rect{100, 100, 3099, 1899}, s);
    // Held as 32-bit pixels, as a device bitmap holds them, so that the read below is a
    // conversion as GetDIBits makes one (the pipeline's own buffer would be read in place).
    result.Pixels();
    DibInfo info{};
    DibBits bits;
    ReadDIB24(result, info, bits);
    const std::vector<uint8_t> rgb = ToRgb(info, bits.get());
    double writerSeconds = 0, directSeconds = 0, readSeconds = 0;
    size_t bytes = 0;
    for (auto _ : state) {
        double start = CpuSeconds();
        bytes = EncodeDirectly(rgb, 1500, 900);
        directSeconds += CpuSeconds() - start;

        // The writer as the Save command runs it, short of the disk: the bitmap's pixels into a
        // 24-bit buffer (the bitmap's own conversion, GetDIBits in the program), then the whole
        // stream encoded in memory.
        start = CpuSeconds();
        DibInfo pictureInfo{};
        DibBits pictureBits;
        ReadDIB24(result, pictureInfo, pictureBits);
        const double read = CpuSeconds();
        const std::string stream = EncodeJpeg(pictureInfo, pictureBits.get());
        benchmark::DoNotOptimize(stream.data());
        const double end = CpuSeconds();
        readSeconds += read - start;
        writerSeconds += end - read;
        state.SetIterationTime(end - read);
    }
    state.counters["x_libjpeg"] = writerSeconds / directSeconds;
    state.counters["x_libjpeg_with_read"] = (writerSeconds + readSeconds) / directSeconds;
    state.counters["libjpeg_ms"] = directSeconds * 1000 / static_cast<double>(state.iterations());
    state.counters["bytes"] = static_cast<double>(bytes);
}

// What fresh memory costs on this machine: a 24-bit 4K buffer allocated, written once and
// freed, with the allocator forced to return it to the system each time.
void BM_FreshMemory4K(benchmark::State& state) {
    static Baseline baseline;
    double freshSeconds = 0, memcpySeconds = 0;
    for (auto _ : state) {
        memcpySeconds += baseline.Seconds();
        const double start = CpuSeconds();
        void* block = mmap(nullptr, baseline.size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        std::memcpy(block, baseline.bits.get(), baseline.size);
        benchmark::DoNotOptimize(block);
        benchmark::ClobberMemory();
        munmap(block, baseline.size);
        const double seconds = CpuSeconds() - start;
        freshSeconds += seconds;
        state.SetIterationTime(seconds);
    }
    state.counters["x_memcpy"] = freshSeconds / memcpySeconds;
}

}  // namespace

BENCHMARK(BM_TrimNoReduction)
    ->ArgName("cold")
    ->Arg(0)
    ->Arg(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0);
BENCHMARK(BM_TrimFree3000x1800To1500x900)
    ->ArgName("cold")
    ->Arg(0)
    ->Arg(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0);
BENCHMARK(BM_TrimProportion3000x1800To150x180)
    ->ArgName("cold")
    ->Arg(0)
    ->Arg(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0);
BENCHMARK(BM_TrimFreeWithEffectsAndFrame)
    ->ArgName("cold")
    ->Arg(0)
    ->Arg(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0);
BENCHMARK(BM_FreshMemory4K)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_JpegWriter1500x900)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);
