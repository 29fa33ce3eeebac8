#include <iconv.h>

#include <cerrno>
#include <string>

#include "platform/Text.h"

// The native build stands in for a Windows system whose ANSI code page it is told; by default
// a Japanese one, code page 932.
namespace {

unsigned currentCodePage = 932;

std::string IconvName(unsigned codePage) { return "CP" + std::to_string(codePage); }

// Lead bytes of the double-byte code pages, as Windows's tables give them.
constexpr bool IsLeadByteOf(unsigned codePage, unsigned char c) {
    switch (codePage) {
        case 932: return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
        case 936:
        case 949:
        case 950: return c >= 0x81 && c <= 0xFE;
        case 1361: return (c >= 0x84 && c <= 0xD3) || (c >= 0xD8 && c <= 0xDE) || (c >= 0xE0 && c <= 0xF9);
        default: return false;  // single-byte code pages
    }
}

struct LeadByteTable {
    bool lead[256]{};
    constexpr explicit LeadByteTable(unsigned codePage) {
        for (unsigned c = 0; c < 256; ++c) lead[c] = IsLeadByteOf(codePage, static_cast<unsigned char>(c));
    }
};
// Constant-initialised: right even for callers that run before main.
constinit LeadByteTable leadBytes(932);

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

void SetAnsiCodePage(unsigned codePage) {
    currentCodePage = codePage;
    leadBytes = LeadByteTable(codePage);
}

unsigned AnsiCodePage() { return currentCodePage; }

bool IsLeadByte(unsigned char c) { return leadBytes.lead[c]; }

std::u16string AnsiToUtf16(std::string_view ansi) {
    // Code page 932 marks an unconvertible byte with the middle dot, as Windows does.
    return Convert<std::u16string>("UTF-16LE", IconvName(currentCodePage).c_str(), ansi,
                                   currentCodePage == 932 ? u'\x30FB' : u'?');
}

std::string Utf16ToAnsi(std::u16string_view text) {
    return Convert<std::string>(IconvName(currentCodePage).c_str(), "UTF-16LE", text, u'?');
}
