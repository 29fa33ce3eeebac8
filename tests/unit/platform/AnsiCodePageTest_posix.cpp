#include <gtest/gtest.h>

#include "localisation/International.h"
#include "platform/AnsiString.h"
#include "platform/Text.h"
#include "settings/IniFile.h"

namespace {

// Sets the code page the core works in for one test and restores it afterwards.
class CodePage {
public:
    explicit CodePage(unsigned codePage) : old_(AnsiCodePage()) { SetAnsiCodePage(codePage); }
    ~CodePage() { SetAnsiCodePage(old_); }
    CodePage(const CodePage&) = delete;
    CodePage& operator=(const CodePage&) = delete;

private:
    unsigned old_;
};

TEST(AnsiCodePage, OnAWesternSystemAccentedLettersAreCharactersOfTheirOwn) {
    const CodePage western(1252);
    // "é" is 0xE9, a lead byte in Shift-JIS: taken as one, it would swallow the backslash after it.
    EXPECT_EQ(ExtractFileDir("C:\\Tools\\Caf\xE9\\Framlet.exe"), "C:\\Tools\\Caf\xE9");
    EXPECT_EQ(QInternational::ExtractFilePath("C:\\Tools\\Caf\xE9\\Framlet.exe"), "C:\\Tools\\Caf\xE9\\");
    EXPECT_EQ(ChangeFileExt("C:\\Tools\\Framlet\xE9.exe", ".ini"), "C:\\Tools\\Framlet\xE9.ini");
    EXPECT_EQ(ExtractFileExt("Caf\xE9.jpg"), ".jpg");
    EXPECT_EQ(AnsiToUtf8("Caf\xE9"), "Caf\xC3\xA9");
    EXPECT_EQ(Utf8ToAnsi("Caf\xC3\xA9"), "Caf\xE9");
    for (unsigned c = 0; c < 256; ++c) EXPECT_FALSE(IsLeadByte(static_cast<unsigned char>(c))) << c;
}

TEST(AnsiCodePage, OnAJapaneseSystemShiftJisLeadBytesProtectTheirTrailBytes) {
    const CodePage japanese(932);
    EXPECT_EQ(ExtractFileDir("C:\\\x83\x5C\\Framlet.exe"), "C:\\\x83\x5C");
    EXPECT_EQ(ExtractFileDir("C:\\Caf\xE9\\x"), "C:");  // 0xE9 0x5C is one character here
    EXPECT_TRUE(IsLeadByte(0x81));
    EXPECT_TRUE(IsLeadByte(0x9F));
    EXPECT_FALSE(IsLeadByte(0xA0));
    EXPECT_FALSE(IsLeadByte(0xDF));
    EXPECT_TRUE(IsLeadByte(0xE0));
    EXPECT_TRUE(IsLeadByte(0xFC));
    EXPECT_FALSE(IsLeadByte(0xFD));
    EXPECT_FALSE(IsLeadByte('A'));
}

TEST(AnsiCodePage, IniNamesFoldOnlyWhatTheCodePageMakesLetters) {
    // 0x81 0x61 is one Chinese character in code page 936; in 1252 it is two characters, the
    // second an ASCII letter that folds.
    const std::string text = "[\x81\x61]\r\nk=1\r\n";
    {
        const CodePage chinese(936);
        EXPECT_EQ(IniFile::FromText(text).ReadInteger("\x81\x41", "k", 0), 0);
    }
    {
        const CodePage western(1252);
        EXPECT_EQ(IniFile::FromText(text).ReadInteger("\x81\x41", "k", 0), 1);
    }
}

}  // namespace
