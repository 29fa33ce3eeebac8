#pragma once
// Shared helpers of the libFuzzer harnesses. A harness aborts (and libFuzzer reports the
// input) when an invariant fails; sanitizers catch the rest.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <string_view>

#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "%s:%d: invariant failed: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                          \
        }                                                                                          \
    } while (0)

namespace fuzz {

// A private folder for the files a harness writes, made once per process.
inline const std::string& WorkFolder() {
    static const std::string folder = [] {
        char name[] = "/tmp/framlet-fuzz-XXXXXX";
        if (!::mkdtemp(name)) std::abort();
        return std::string(name);
    }();
    return folder;
}

inline void WriteFile(const std::string& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Text that a settings file can hold as a value: one line, no blanks or control characters
// at either end (reading trims them).
inline std::string StorableValue(std::string text) {
    std::string out;
    for (const char c : text) {
        if (c != '\r' && c != '\n') out += c;
    }
    size_t begin = 0, end = out.size();
    while (begin < end && static_cast<unsigned char>(out[begin]) <= 0x20) ++begin;
    while (end > begin && static_cast<unsigned char>(out[end - 1]) <= 0x20) --end;
    return out.substr(begin, end - begin);
}

}  // namespace fuzz
