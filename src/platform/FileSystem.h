#pragma once
#include <optional>
#include <string>
#include <string_view>

// Plain file probes and whole-file transfers on ANSI paths.

// The whole file, or nothing when it is missing, unreadable or absurdly large.
std::optional<std::string> ReadFileBytes(const std::string& path);

// Writes bytes to a temporary file in the target's folder and moves it over the target only
// when it is complete, so the old file is either kept untouched or fully replaced.
// Throws AppError naming the file and the system's reason; the temporary file is removed.
void ReplaceFileAtomically(const std::string& path, std::string_view bytes);

bool FileExists(const std::string& path);
bool DirectoryExists(const std::string& path);

// The full path of the running executable.
std::string ExecutablePath();

// The absolute form of a path, as the system spells it: a relative path is taken from the
// current folder, and "." and ".." steps are removed by name (the disk is not looked at).
// The empty path stays empty.
std::string ExpandFileName(const std::string& path);

// The character that separates the steps of a path: '\' on Windows, '/' elsewhere.
char PathDelimiter();

// The text of a failed write, shared by every writer of the program.
std::string WriteFailureText(const std::string& path, const std::string& reason);

// Files larger than this are treated as unreadable: nothing the program reads is that big.
inline constexpr size_t kMaxReadFileBytes = 256u * 1024u * 1024u;
