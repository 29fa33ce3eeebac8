#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string_view>
#include <vector>

#include "platform/AppError.h"
#include "platform/FileSystem.h"

FileReadResult ReadWholeFile(const std::string& path, size_t maxBytes) {
    FileReadResult result;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT || errno == ENOTDIR) return result;  // Missing
        return FileReadResult::Failed(std::strerror(errno));
    }
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    struct stat info {};
    if (::fstat(fd, &info) != 0) return FileReadResult::Failed(std::strerror(errno));
    if (S_ISDIR(info.st_mode)) return FileReadResult::Failed(std::strerror(EISDIR));
    if (!S_ISREG(info.st_mode)) return FileReadResult::Failed("not a regular file");
    if (static_cast<unsigned long long>(info.st_size) > maxBytes) return FileReadResult::Failed(TooLargeText(maxBytes));
    result.bytes.resize(static_cast<size_t>(info.st_size));
    size_t done = 0;
    while (done < result.bytes.size()) {
        const ssize_t n = ::read(fd, result.bytes.data() + done, result.bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return FileReadResult::Failed(std::strerror(errno));
        if (n == 0) return FileReadResult::Failed("the file became shorter while it was read");
        done += static_cast<size_t>(n);
    }
    result.outcome = FileReadResult::Outcome::Read;
    return result;
}

void ReplaceFileAtomically(const std::string& path, std::string_view bytes) {
    std::string tempName = path + ".XXXXXX";
    std::vector<char> templ(tempName.begin(), tempName.end());
    templ.push_back('\0');
    const int fd = ::mkstemp(templ.data());
    if (fd < 0) throw AppError(WriteFailureText(path, std::strerror(errno)));
    tempName = templ.data();

    auto fail = [&](int error) {
        ::close(fd);
        ::unlink(tempName.c_str());
        throw AppError(WriteFailureText(path, std::strerror(error)));
    };
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) fail(n < 0 ? errno : ENOSPC);
        done += static_cast<size_t>(n);
    }
    // Keep the permissions a user would get for a new file (mkstemp makes it private).
    const mode_t mask = ::umask(0);
    ::umask(mask);
    struct stat old {};
    const mode_t mode = ::stat(path.c_str(), &old) == 0 ? (old.st_mode & 07777) : (0666 & ~mask);
    if (::fchmod(fd, mode) != 0 || ::fsync(fd) != 0) fail(errno);
    if (::close(fd) != 0) {
        const int error = errno;
        ::unlink(tempName.c_str());
        throw AppError(WriteFailureText(path, std::strerror(error)));
    }
    if (::rename(tempName.c_str(), path.c_str()) != 0) {
        const int error = errno;
        ::unlink(tempName.c_str());
        throw AppError(WriteFailureText(path, std::strerror(error)));
    }
}

bool FileExists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

bool DirectoryExists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::string ExecutablePath() {
    std::string buffer(4096, '\0');
    const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
    if (n <= 0) return {};
    buffer.resize(static_cast<size_t>(n));
    return buffer;
}

std::string ExpandFileName(const std::string& path) {
    if (path.empty()) return path;
    std::string whole;
    if (path.front() != '/') {
        std::string cwd(4096, '\0');
        if (::getcwd(cwd.data(), cwd.size())) whole.assign(cwd.data(), std::strlen(cwd.data()));
        whole += '/';
    }
    whole += path;
    std::vector<std::string_view> steps;
    std::string_view rest = whole;
    while (!rest.empty()) {
        const size_t slash = rest.find('/');
        const std::string_view step = rest.substr(0, slash);
        rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash + 1);
        if (step.empty() || step == ".") continue;
        if (step == "..") {
            if (!steps.empty()) steps.pop_back();
            continue;
        }
        steps.push_back(step);
    }
    std::string result;
    for (const auto step : steps) {
        result += '/';
        result += step;
    }
    // A trailing delimiter says the path names a folder; keep it, as Windows does.
    if (result.empty() || path.back() == '/') result += '/';
    return result;
}

char PathDelimiter() { return '/'; }
