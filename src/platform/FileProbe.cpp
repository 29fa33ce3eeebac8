#include "platform/FileProbe.h"

#include "platform/FileSystem.h"

namespace {
class SystemProbe final : public FileProbe {
public:
    bool FileExists(const std::string& path) const override { return ::FileExists(path); }
    bool DirectoryExists(const std::string& path) const override { return ::DirectoryExists(path); }
};
}  // namespace

const FileProbe& SystemFileProbe() {
    static const SystemProbe probe;
    return probe;
}
