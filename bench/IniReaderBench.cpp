// The INI reader against the file's size, 1 KB to 16 MB, in three shapes: many sections, many
// keys in one section, one long line. Reading the file from disk (the page cache) and parsing
// it must grow in proportion to the size, time and memory both.
//   bytes_per_second  steady across sizes when reading is linear
//   peak_x       the most heap in use while reading, over the file's size
//   IniReaderLinearity: time per MB at 16 MB over time per MB at 1 MB, both measured in this
//   run (1.0 is perfectly linear; a reader quadratic in sections gives about 16).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "HeapCounter.h"
#include "settings/IniFile.h"

namespace {

enum Shape { kSections, kKeys, kLongLine };

std::string MakeText(Shape shape, size_t size) {
    std::string text;
    text.reserve(size + 64);
    char line[64];
    if (shape == kLongLine) {
        text = "[Trim]\r\nType=";
        text.append(size > text.size() ? size - text.size() : 0, '7');
        return text;
    }
    if (shape == kKeys) text = "[Keys]\r\n";
    for (int i = 0; text.size() < size; ++i) {
        if (shape == kSections) {
            std::snprintf(line, sizeof line, "[Section%07d]\r\nk=%d\r\n", i, i);
        } else {
            std::snprintf(line, sizeof line, "Key%07d=%d\r\n", i, i);
        }
        text += line;
    }
    text.resize(size);
    return text;
}

// One file per shape and size, written once per run.
const std::string& FileFor(Shape shape, size_t size) {
    static std::map<std::pair<int, size_t>, std::string> files;
    auto& path = files[{shape, size}];
    if (path.empty()) {
        path = (std::filesystem::temp_directory_path() /
                ("framlet-bench-ini-" + std::to_string(shape) + "-" + std::to_string(size) + ".ini"))
                   .string();
        const std::string text = MakeText(shape, size);
        std::ofstream(path, std::ios::binary).write(text.data(), static_cast<std::streamsize>(text.size()));
    }
    return path;
}

void ReadOnce(const std::string& path) {
    const IniFile ini(path);
    benchmark::DoNotOptimize(ini.ReadInteger("Trim", "Type", 3));
    benchmark::DoNotOptimize(ini.ReadString("Section0000001", "k", ""));
}

void IniReader(benchmark::State& state, Shape shape) {
    const auto size = static_cast<size_t>(state.range(0));
    const std::string& path = FileFor(shape, size);
    const size_t before = HeapInUse();
    ResetHeapPeak();
    for (auto _ : state) ReadOnce(path);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(size));
    state.counters["peak_x"] = static_cast<double>(HeapPeak() - before) / static_cast<double>(size);
}

BENCHMARK_CAPTURE(IniReader, Sections, kSections)
    ->RangeMultiplier(4)
    ->Range(1 << 10, 16 << 20)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(IniReader, Keys, kKeys)->RangeMultiplier(4)->Range(1 << 10, 16 << 20)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(IniReader, LongLine, kLongLine)
    ->RangeMultiplier(4)
    ->Range(1 << 10, 16 << 20)
    ->Unit(benchmark::kMillisecond);

double ThreadSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Best of a few reads, in seconds of this thread's processor time: on a machine shared with
// builds the wall clock mostly measures the others.
double BestSeconds(const std::string& path, int tries) {
    double best = 1e9;
    for (int i = 0; i < tries; ++i) {
        const double start = ThreadSeconds();
        ReadOnce(path);
        best = std::min(best, ThreadSeconds() - start);
    }
    return best;
}

void IniReaderLinearity(benchmark::State& state, Shape shape) {
    const std::string& small = FileFor(shape, 1 << 20);
    const std::string& large = FileFor(shape, 16 << 20);
    double ratio = 0;
    for (auto _ : state) ratio = (BestSeconds(large, 3) / 16) / BestSeconds(small, 5);
    state.counters["per_MB_16MB_over_1MB"] = ratio;
}

BENCHMARK_CAPTURE(IniReaderLinearity, Sections, kSections)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(IniReaderLinearity, Keys, kKeys)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(IniReaderLinearity, LongLine, kLongLine)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
