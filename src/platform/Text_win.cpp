#include <windows.h>

#include "platform/Text.h"

std::u16string AnsiToUtf16(std::string_view ansi) {
    std::u16string out;
    if (ansi.empty() || ansi.size() > 0x7FFFFFFF) return out;
    const int size = static_cast<int>(ansi.size());
    const int length = ::MultiByteToWideChar(CP_ACP, 0, ansi.data(), size, nullptr, 0);
    if (length <= 0) return out;
    out.resize(static_cast<size_t>(length));
    ::MultiByteToWideChar(CP_ACP, 0, ansi.data(), size, reinterpret_cast<wchar_t*>(out.data()), length);
    return out;
}

std::string Utf16ToAnsi(std::u16string_view text) {
    std::string out;
    if (text.empty() || text.size() > 0x3FFFFFFF) return out;
    const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
    const int size = static_cast<int>(text.size());
    const int length = ::WideCharToMultiByte(CP_ACP, 0, wide, size, nullptr, 0, nullptr, nullptr);
    if (length <= 0) return out;
    out.resize(static_cast<size_t>(length));
    ::WideCharToMultiByte(CP_ACP, 0, wide, size, out.data(), length, nullptr, nullptr);
    return out;
}
