#include <windows.h>

#include <algorithm>

#include "platform/AnsiString.h"
#include "platform/AppError.h"
#include "platform/FileSystem.h"
#include "platform/SystemError_win.h"
#include "platform/Text.h"

namespace {

[[noreturn]] void ThrowWriteFailure(const std::string& path, DWORD error) {
    throw AppError(WriteFailureText(path, SystemErrorText(error)));
}

class FileHandle {
public:
    explicit FileHandle(HANDLE handle) : handle_(handle) {}
    ~FileHandle() { Close(); }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    HANDLE Get() const { return handle_; }
    bool Valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    bool Close() {
        if (!Valid()) return true;
        const BOOL ok = ::CloseHandle(handle_);
        handle_ = INVALID_HANDLE_VALUE;
        return ok != FALSE;
    }

private:
    HANDLE handle_;
};

}  // namespace

FileReadResult ReadWholeFile(const std::string& path, size_t maxBytes) {
    FileReadResult result;
    // Another program may be writing the file: share writing, and let a file locked against
    // reading be a failure rather than a missing file.
    FileHandle file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return result;  // Missing
        return FileReadResult::Failed(SystemErrorText(error));
    }
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file.Get(), &size)) return FileReadResult::Failed(SystemErrorText(::GetLastError()));
    if (size.QuadPart < 0 || static_cast<unsigned long long>(size.QuadPart) > maxBytes)
        return FileReadResult::Failed(TooLargeText(maxBytes));
    result.bytes.resize(static_cast<size_t>(size.QuadPart));
    size_t done = 0;
    while (done < result.bytes.size()) {
        DWORD got = 0;
        if (!::ReadFile(file.Get(), result.bytes.data() + done, static_cast<DWORD>(result.bytes.size() - done), &got,
                        nullptr))
            return FileReadResult::Failed(SystemErrorText(::GetLastError()));
        if (got == 0) return FileReadResult::Failed(SystemErrorText(ERROR_HANDLE_EOF));
        done += got;
    }
    result.outcome = FileReadResult::Outcome::Read;
    return result;
}

void ReplaceFileAtomically(const std::string& path, std::string_view bytes) {
    const std::string dir = ExtractFileDir(path);
    const std::string folder = dir.empty() ? std::string(".") : dir;
    char tempName[MAX_PATH + 16] = {};
    // GetTempFileNameA creates the (empty) file in the target's own folder, so the final
    // move is a rename within one volume.
    if (::GetTempFileNameA(folder.c_str(), "fl", 0, tempName) == 0) ThrowWriteFailure(path, ::GetLastError());

    auto fail = [&](DWORD error) {
        ::DeleteFileA(tempName);
        ThrowWriteFailure(path, error);
    };
    {
        FileHandle file(
            ::CreateFileA(tempName, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file.Valid()) fail(::GetLastError());
        size_t done = 0;
        while (done < bytes.size()) {
            const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 24));
            DWORD written = 0;
            if (!::WriteFile(file.Get(), bytes.data() + done, chunk, &written, nullptr) || written == 0) {
                const DWORD error = ::GetLastError();
                file.Close();
                fail(error ? error : ERROR_DISK_FULL);
            }
            done += written;
        }
        if (!::FlushFileBuffers(file.Get())) {
            const DWORD error = ::GetLastError();
            file.Close();
            fail(error);
        }
        if (!file.Close()) fail(::GetLastError());
    }
    if (!::MoveFileExA(tempName, path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        fail(::GetLastError());
}

bool FileExists(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirectoryExists(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string ExecutablePath() {
    std::string buffer(MAX_PATH, '\0');
    for (;;) {
        const DWORD n = ::GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0) return {};
        if (n < buffer.size()) {
            buffer.resize(n);
            return buffer;
        }
        buffer.resize(buffer.size() * 2);
    }
}

std::string ExpandFileName(const std::string& path) {
    if (path.empty()) return path;
    std::string buffer(MAX_PATH, '\0');
    for (;;) {
        const DWORD n = ::GetFullPathNameA(path.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
        if (n == 0) return path;
        if (n < buffer.size()) {
            buffer.resize(n);
            return buffer;
        }
        buffer.resize(n);  // n counts the terminating zero when the buffer was too small
    }
}

char PathDelimiter() { return '\\'; }
