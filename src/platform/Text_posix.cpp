#include <iconv.h>

#include <cerrno>
#include <string>

#include "platform/Text.h"

// The native build stands in for a Japanese Windows system: its ANSI code page is 932.
namespace {

template <class Out, class In>
Out Convert(const char* to, const char* from, const In& input, char16_t replacement) {
    Out out;
    if (input.empty()) return out;
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return out;
    using OutChar = typename Out::value_type;
    using InChar = typename In::value_type;
    char* in = const_cast<char*>(reinterpret_cast<const char*>(input.data()));
    size_t inLeft = input.size() * sizeof(InChar);
    std::string buffer(inLeft * 4 + 16, '\0');
    while (inLeft > 0) {
        char* outPtr = buffer.data();
        size_t outLeft = buffer.size();
        const size_t result = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        out.append(reinterpret_cast<const OutChar*>(buffer.data()), (buffer.size() - outLeft) / sizeof(OutChar));
        if (result == static_cast<size_t>(-1) && (errno == EILSEQ || errno == EINVAL)) {
            // Skip one unconvertible unit and mark it, as Windows does with its default character.
            if constexpr (sizeof(OutChar) == 2) {
                out.push_back(static_cast<OutChar>(replacement));
            } else {
                out.push_back(static_cast<OutChar>('?'));
            }
            in += sizeof(InChar);
            inLeft -= sizeof(InChar);
        } else if (result == static_cast<size_t>(-1) && errno != E2BIG) {
            break;
        }
    }
    iconv_close(cd);
    return out;
}

}  // namespace

std::u16string AnsiToUtf16(std::string_view ansi) {
    return Convert<std::u16string>("UTF-16LE", "CP932", ansi, u'\x30FB');
}

std::string Utf16ToAnsi(std::u16string_view text) {
    return Convert<std::string>("CP932", "UTF-16LE", text, u'?');
}
