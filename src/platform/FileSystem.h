#pragma once
#include <string>
#include <string_view>
#include <utility>

// Plain file probes and whole-file transfers on ANSI paths.

// The outcome of reading a whole file. A file that exists but is not read completely is a
// failure with the system's reason (UTF-8), never a shorter buffer: callers must be able to
// tell a missing file from one they must not write over.
struct FileReadResult {
    enum class Outcome { Read, Missing, Failed };
    Outcome outcome = Outcome::Missing;
    std::string bytes;    // Read: the whole file
    std::string failure;  // Failed: why (locked, access denied, too large, failed part-way)

    static FileReadResult Failed(std::string why) { return {Outcome::Failed, {}, std::move(why)}; }
};

// Reads the whole file; a file larger than maxBytes is not read at all and is a failure.
FileReadResult ReadWholeFile(const std::string& path, size_t maxBytes);
// The failure text for a file over maxBytes, shared by both platforms.
std::string TooLargeText(size_t maxBytes);

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
