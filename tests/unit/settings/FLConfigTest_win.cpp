#include <windows.h>

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "platform/Text.h"
#include "settings/FLConfig.h"

namespace {

TEST(FLConfigOnWindows, ALockedTargetKeepsTheOldFileAndDirty) {
    TempDir dir;
    const std::string path = dir.File("Framlet.ini");
    const std::string old = "[Trim]\r\nType=0\r\n";
    WriteTestFile(path, old);
    TFLConfig config(path);
    config.SetWidth(99);
    {
        // Another program holds the file open without sharing: the replace must fail cleanly.
        HANDLE lock = ::CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(lock, INVALID_HANDLE_VALUE);
        EXPECT_THROW(config.Save(), std::exception);
        ::CloseHandle(lock);
    }
    EXPECT_TRUE(config.Dirty());
    EXPECT_EQ(ReadTestFile(path), old);
    EXPECT_EQ(CountFiles(dir.Path()), 1u);
    config.Save();
    EXPECT_NE(ReadTestFile(path)->find("Width=99\r\n"), std::string::npos);
}

TEST(FLConfigOnWindows, ASettingsFileLockedWhileReadIsNeverWrittenOver) {
    TempDir dir;
    const std::string path = dir.File("Framlet.ini");
    const std::string old = "[Trim]\r\nWidth=77\r\n[Mine]\r\nkeep=1\r\n";
    WriteTestFile(path, old);
    // Held open without sharing by another program: opening fails. (Wine lets reads of a byte
    // range locked with LockFileEx succeed, so a read failing part-way cannot be shown here.)
    HANDLE exclusive = ::CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(exclusive, INVALID_HANDLE_VALUE);
    {
        TFLConfig config(path);
        EXPECT_EQ(config.Width(), 150);
        ASSERT_TRUE(config.LoadFailureText());
        EXPECT_NE(config.LoadFailureText()->find("Framlet.ini"), std::string::npos);
        config.SetWidth(5);
        ::CloseHandle(exclusive);  // even once the lock is gone, this run does not write
        config.Save();
    }
    EXPECT_EQ(ReadTestFile(path), old);
    EXPECT_EQ(CountFiles(dir.Path()), 1u);
}

TEST(FLConfigOnWindows, TheAnsiCodePageIsJapanese) {
    // The tests that use Shift-JIS bytes mean what they say only under code page 932.
    EXPECT_EQ(::GetACP(), 932u);
    EXPECT_EQ(AnsiToUtf8("\x83\x5C\x83\x74\x83\x67"), "ソフト");
}

TEST(FLConfigOnWindows, SettingsPathIsTheExecutableWithIniExtension) {
    char exe[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, exe, MAX_PATH);
    std::string expected(exe);
    expected = expected.substr(0, expected.rfind('.')) + ".ini";
    EXPECT_EQ(SettingsPathForExecutable(), expected);
}

}  // namespace
