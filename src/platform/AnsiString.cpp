#include "platform/AnsiString.h"

namespace {
unsigned char FoldAscii(unsigned char c) { return (c >= 'a' && c <= 'z') ? static_cast<unsigned char>(c - 32) : c; }
}  // namespace

std::string_view TrimBlanks(std::string_view s) {
    size_t begin = 0;
    size_t end = s.size();
    while (begin < end && static_cast<unsigned char>(s[begin]) <= 0x20) ++begin;
    while (end > begin && static_cast<unsigned char>(s[end - 1]) <= 0x20) --end;
    return s.substr(begin, end - begin);
}

bool SameTextAscii(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        const auto ca = static_cast<unsigned char>(a[i]);
        const auto cb = static_cast<unsigned char>(b[i]);
        if (IsLeadByte(ca)) {
            // Both sides must have the same lead byte and the same trail byte, unfolded.
            if (ca != cb) return false;
            if (i + 1 < a.size()) {
                ++i;
                if (a[i] != b[i]) return false;
            }
            continue;
        }
        if (FoldAscii(ca) != FoldAscii(cb)) return false;
    }
    return true;
}

size_t LastPathDelimiter(std::string_view path) {
    size_t last = std::string_view::npos;
    for (size_t i = 0; i < path.size(); ++i) {
        const auto c = static_cast<unsigned char>(path[i]);
        if (IsLeadByte(c)) {
            ++i;
        } else if (c == '\\' || c == '/') {
            last = i;
        }
    }
    return last;
}

std::string ExtractFileDir(std::string_view path) {
    const size_t at = LastPathDelimiter(path);
    if (at == std::string_view::npos) return {};
    return std::string(path.substr(0, at));
}

namespace {
// Where the extension of the last path component starts (its "."), or the path's length.
size_t ExtensionStart(std::string_view path) {
    const size_t delimiter = LastPathDelimiter(path);
    const size_t nameStart = delimiter == std::string_view::npos ? 0 : delimiter + 1;
    size_t dot = path.size();
    for (size_t i = nameStart; i < path.size(); ++i) {
        const auto c = static_cast<unsigned char>(path[i]);
        if (IsLeadByte(c)) {
            ++i;
        } else if (c == '.') {
            dot = i;
        }
    }
    return dot;
}
}  // namespace

std::string ExtractFileExt(std::string_view path) { return std::string(path.substr(ExtensionStart(path))); }

std::string ChangeFileExt(std::string_view path, std::string_view ext) {
    std::string result(path.substr(0, ExtensionStart(path)));
    result += ext;
    return result;
}
