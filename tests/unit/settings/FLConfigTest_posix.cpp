#include <sys/resource.h>

#include <csignal>

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "settings/FLConfig.h"

namespace {

// Writing fails part-way (the file-size limit stands in for a full disk, and binds root too).
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &old_);
        rlimit limit = old_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &old_); }

private:
    rlimit old_{};
};

TEST(FLConfigOnDisk, AWriteThatFailsPartWayKeepsTheOldFileAndDirty) {
    TempDir dir;
    const std::string path = dir.File("Framlet.ini");
    const std::string old = "[Trim]\r\nType=0\r\n";
    WriteTestFile(path, old);
    TFLConfig config(path);
    config.SetPrefixOfFileName(std::string(500, 'p'));
    {
        FileSizeLimit limit(64);
        EXPECT_THROW(config.Save(), std::exception);
    }
    EXPECT_TRUE(config.Dirty());
    EXPECT_EQ(ReadTestFile(path), old);
    EXPECT_EQ(CountFiles(dir.Path()), 1u);  // the temporary file is gone

    config.Save();  // the next attempt succeeds and writes everything
    EXPECT_FALSE(config.Dirty());
    EXPECT_NE(ReadTestFile(path)->find(std::string(500, 'p')), std::string::npos);
}

}  // namespace
