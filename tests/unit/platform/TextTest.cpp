#include "platform/Text.h"

#include <gtest/gtest.h>

#include "platform/AnsiString.h"

namespace {

TEST(Text, ShiftJisConvertsBothWays) {
    const std::string ansi = "\x83\x74\x83\x8C\x81\x5B\x83\x80 A\\";  // フレーム A\ .
    EXPECT_EQ(AnsiToUtf8(ansi), "フレーム A\\");
    EXPECT_EQ(Utf8ToAnsi("フレーム A\\"), ansi);
    EXPECT_EQ(AnsiToUtf16("\x82\xA0"), u"あ");
}

TEST(Text, Utf8AndUtf16RoundTripIncludingSurrogatePairs) {
    const std::string text = "a\xC3\xA9\xE3\x81\x82\xF0\x9F\x98\x80";
    EXPECT_EQ(Utf8ToUtf16(text), u"a\u00E9\u3042\U0001F600");
    EXPECT_EQ(Utf16ToUtf8(Utf8ToUtf16(text)), text);
}

TEST(Text, IllFormedInputNeverStopsAConversion) {
    EXPECT_EQ(Utf8ToUtf16("a\xFF"
                          "b\xE3\x81"),
              u"a\uFFFDb\uFFFD\uFFFD");
    EXPECT_FALSE(AnsiToUtf16("x\x81").empty());  // a lead byte at the end
}

TEST(AnsiString, PathHelpersSkipTrailBytes) {
    // "ソ" is 0x83 0x5C: its trail byte is a backslash in ASCII.
    const std::string folder = "C:\\\x83\x5C";
    EXPECT_EQ(LastPathDelimiter(folder), 2u);
    EXPECT_EQ(ExtractFileDir("C:\\Tools\\capture.exe"), "C:\\Tools");
    EXPECT_EQ(ChangeFileExt("C:\\Tools\\capture.exe", ".ini"), "C:\\Tools\\capture.ini");
    EXPECT_EQ(ChangeFileExt("C:\\v1.2\\capture", ".ini"), "C:\\v1.2\\capture.ini");
    EXPECT_EQ(ChangeFileExt("/work/framlet-dev", ".ini"), "/work/framlet-dev.ini");
    EXPECT_EQ(ExtractFileExt("C:\\dir.x\\name"), "");
    EXPECT_EQ(ExtractFileExt("a.tar.gz"), ".gz");
    EXPECT_TRUE(SameTextAscii("Trim", "tRIM"));
    EXPECT_FALSE(SameTextAscii("Trim", "Trim "));
    EXPECT_EQ(TrimBlanks(" \t\r\nx y\x01 "), "x y");
}

}  // namespace
