#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Helpers for byte strings in the ANSI code page (Shift-JIS on the target system).
// A byte after a lead byte is the second half of one character: it is never folded,
// never a delimiter, however much it looks like an ASCII letter or a backslash.

// The first byte of a double-byte character in the system's ANSI code page (IsDBCSLeadByte on
// Windows; natively the code page set with SetAnsiCodePage). None in a single-byte code page,
// so "Café" keeps its last letter and a following backslash stays a delimiter.
bool IsLeadByte(unsigned char c);

// Blanks and control characters (every byte up to 0x20) removed from both ends.
std::string_view TrimBlanks(std::string_view s);

// Equal when only ASCII letter case differs; trail bytes compare exactly.
bool SameTextAscii(std::string_view a, std::string_view b);

// Index of the last '\' or '/' that is a character of its own, or npos.
size_t LastPathDelimiter(std::string_view path);

// The folder part of a path, without its trailing delimiter ("" when there is none).
std::string ExtractFileDir(std::string_view path);

// The part from the last "." of the last path component, dot included, or "".
std::string ExtractFileExt(std::string_view path);

// The path with its extension (from the last '.' after the last delimiter) replaced by ext.
std::string ChangeFileExt(std::string_view path, std::string_view ext);
