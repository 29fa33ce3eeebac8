#include <gtest/gtest.h>

#include <filesystem>

#include "TestSupport.h"
#include "platform/AnsiString.h"
#include "platform/FileSystem.h"

namespace {

TEST(ExpandFileName, RemovesDotStepsByName) {
    const TempDir dir;
    const std::string d(1, PathDelimiter());
    const std::string base = ExpandFileName(dir.Path());
    const std::string parent = base.substr(0, LastPathDelimiter(base));
    struct Case {
        std::string path, expected;
    };
    const Case cases[] = {
        {base + d + "x.ini", base + d + "x.ini"},
        {base + d + "." + d + "x.ini", base + d + "x.ini"},
        {base + d + ".." + d + "x.ini", parent + d + "x.ini"},
        {base + d + "a" + d + "b" + d + ".." + d + ".." + d + "x.ini", base + d + "x.ini"},
        {base + d + "missing" + d + ".." + d + "x.ini", base + d + "x.ini"},  // the disk is not asked
        {base + d + "sub" + d, base + d + "sub" + d},                         // a trailing delimiter stays
        {base + d + ".hidden", base + d + ".hidden"},
    };
    for (const auto& c : cases) EXPECT_EQ(ExpandFileName(c.path), c.expected) << c.path;
}

TEST(ExpandFileName, RelativePathsStartAtTheCurrentFolder) {
    const std::string d(1, PathDelimiter());
    const std::string cwd = ExpandFileName(std::filesystem::current_path().string());
    EXPECT_EQ(ExpandFileName("x.ini"), cwd + d + "x.ini");
    EXPECT_EQ(ExpandFileName("." + d + "x.ini"), cwd + d + "x.ini");
    EXPECT_EQ(ExpandFileName("sub" + d + ".." + d + "x.ini"), cwd + d + "x.ini");
    EXPECT_EQ(ExpandFileName(""), "");
}

TEST(ExpandFileName, DoubleByteNamesKeepTheirBytes) {
    // "ソ" (0x83 0x5C) ends in the byte of a backslash, which is no delimiter there.
    const TempDir dir;
    const std::string d(1, PathDelimiter());
    const std::string base = ExpandFileName(dir.Path());
    EXPECT_EQ(ExpandFileName(base + d + "\x83\x5C" + d + "x.ini"), base + d + "\x83\x5C" + d + "x.ini");
}

}  // namespace
