#include <gtest/gtest.h>

#include "FileSizeLimit_posix.h"
#include "TestSupport.h"
#include "settings/FLConfig.h"

namespace {

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
