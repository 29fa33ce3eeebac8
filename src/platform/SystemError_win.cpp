#include "platform/SystemError_win.h"

#include "platform/Text.h"

std::string SystemErrorText(DWORD error) {
    wchar_t* text = nullptr;
    const DWORD length =
        ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                         nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::string reason;
    if (length > 0 && text) {
        reason = Utf16ToUtf8(std::u16string_view(reinterpret_cast<const char16_t*>(text), length));
        while (!reason.empty() && static_cast<unsigned char>(reason.back()) <= 0x20) reason.pop_back();
    }
    if (text) ::LocalFree(text);
    if (reason.empty()) reason = "Windows error " + std::to_string(error);
    return reason;
}
