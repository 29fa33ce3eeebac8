#pragma once
#include <string>
#include <string_view>

// Conversions at the boundary between ANSI bytes (files, edit boxes; code page 932 on the
// target system and in the native build) and Unicode (design texts, wide Windows calls).
// Bytes that do not form a character of the code page never stop a conversion: they come
// out as replacement characters.
std::u16string AnsiToUtf16(std::string_view ansi);
std::string Utf16ToAnsi(std::u16string_view text);

// Pure Unicode conversions; ill-formed input becomes U+FFFD.
std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view text);

inline std::string AnsiToUtf8(std::string_view ansi) { return Utf16ToUtf8(AnsiToUtf16(ansi)); }
inline std::string Utf8ToAnsi(std::string_view utf8) { return Utf16ToAnsi(Utf8ToUtf16(utf8)); }

// Native builds only: the ANSI code page the portable core works in, standing in for the
// system's (932 until told otherwise). Conversions and lead bytes follow it. The Windows
// build always uses the system's own code page.
void SetAnsiCodePage(unsigned codePage);
unsigned AnsiCodePage();
