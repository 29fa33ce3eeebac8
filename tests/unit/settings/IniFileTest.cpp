#include "settings/IniFile.h"

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "platform/AppError.h"

namespace {

IniFile FromText(const TempDir& dir, const std::string& text) {
    const std::string path = dir.File("test.ini");
    WriteTestFile(path, text);
    return IniFile(path);
}

struct IntegerCase {
    const char* text;
    std::optional<int32_t> expected;
};

void PrintTo(const IntegerCase& c, std::ostream* os) { *os << '"' << c.text << '"'; }

class IntegerSyntax : public testing::TestWithParam<IntegerCase> {};

TEST_P(IntegerSyntax, ParsesAsTheSettingsFileDefines) {
    EXPECT_EQ(IniFile::ParseInteger(GetParam().text), GetParam().expected) << "text: \"" << GetParam().text << "\"";
}

INSTANTIATE_TEST_SUITE_P(
    Values, IntegerSyntax,
    testing::Values(IntegerCase{"200", 200}, IntegerCase{"-5", -5}, IntegerCase{"+7", 7}, IntegerCase{"0x10", 16},
                    IntegerCase{"0X1f", 31}, IntegerCase{"$10", 16}, IntegerCase{"$ff", 255},
                    IntegerCase{"0x", std::nullopt}, IntegerCase{"$", std::nullopt}, IntegerCase{"", std::nullopt},
                    IntegerCase{"abc", std::nullopt}, IntegerCase{"true", std::nullopt},
                    IntegerCase{"1.5", std::nullopt}, IntegerCase{"12 3", std::nullopt},
                    IntegerCase{"2147483647", 2147483647}, IntegerCase{"2147483648", std::nullopt},
                    IntegerCase{"-2147483648", INT32_MIN}, IntegerCase{"-2147483649", std::nullopt},
                    IntegerCase{"$FFFFFFFF", -1}, IntegerCase{"0x100000000", std::nullopt},
                    IntegerCase{"99999999999999999999", std::nullopt}, IntegerCase{"0010", 10},
                    // Only text that begins with "0x" or "$" is hexadecimal: no sign before either.
                    IntegerCase{"-0x10", std::nullopt}, IntegerCase{"+0x10", std::nullopt},
                    IntegerCase{"-$FFFFFFFF", std::nullopt}, IntegerCase{"-$1", std::nullopt},
                    IntegerCase{"+$10", std::nullopt}, IntegerCase{" 0x10 ", 16}, IntegerCase{"-0", 0},
                    IntegerCase{"0x-1", std::nullopt}, IntegerCase{"$-1", std::nullopt}));

TEST(IniFile, MissingFileGivesAnEmptyImageAndDefaults) {
    TempDir dir;
    IniFile ini(dir.File("absent.ini"));
    EXPECT_EQ(ini.ReadString("Trim", "Type", "x"), "x");
    EXPECT_EQ(ini.ReadInteger("Trim", "Type", 3), 3);
    EXPECT_FALSE(ini.SectionExists("Trim"));
    EXPECT_EQ(ini.Text(), "");
    EXPECT_EQ(CountFiles(dir.Path()), 0u);
}

TEST(IniFile, LinesAreTrimmedAndNamesMatchWithoutLetterCase) {
    TempDir dir;
    IniFile ini = FromText(dir, "  [ Trim ]  \n\t Width = 200 \r\nHEIGHT=0x10\rscale=$20\n");
    EXPECT_EQ(ini.ReadInteger("trim", "width", 0), 200);
    EXPECT_EQ(ini.ReadInteger("TRIM", "Height", 0), 16);
    EXPECT_EQ(ini.ReadInteger("Trim", "Scale", 0), 32);
}

TEST(IniFile, EmptyValueIsAnEmptyStringButNotAnInteger) {
    TempDir dir;
    IniFile ini = FromText(dir, "[Option]\r\nDefaultFolder=\r\nWidth=\r\n");
    EXPECT_EQ(ini.ReadString("Option", "DefaultFolder", "."), "");
    EXPECT_EQ(ini.ReadInteger("Option", "Width", 150), 150);
}

TEST(IniFile, StringValueIsEverythingAfterTheFirstEquals) {
    TempDir dir;
    IniFile ini = FromText(dir, "[S]\r\nk = \"a=b\" c \r\n");
    EXPECT_EQ(ini.ReadString("S", "K", ""), "\"a=b\" c");
}

TEST(IniFile, CommentsAndLinesOutsideSectionsAreDroppedOtherLinesKept) {
    TempDir dir;
    IniFile ini = FromText(dir, "orphan=1\r\n;comment\r\n[A]\r\n; another\r\nno equals here\r\nk=v\r\n\r\n[B]\r\n");
    EXPECT_EQ(ini.ReadString("A", "orphan", "-"), "-");
    EXPECT_EQ(ini.Text(), "[A]\r\nno equals here\r\nk=v\r\n\r\n[B]\r\n\r\n");
    // A line without "=" never matches a key.
    EXPECT_EQ(ini.ReadString("A", "no equals here", "-"), "-");
}

TEST(IniFile, WritesReplaceInPlaceAndAppendNewKeysAndSections) {
    TempDir dir;
    IniFile ini = FromText(dir, "[Trim]\r\nType=1\r\nExtra=x\r\n");
    ini.WriteInteger("TRIM", "type", -2);
    ini.WriteBool("Trim", "Flag", true);
    ini.WriteString("New", "Key", "value");
    EXPECT_EQ(ini.Text(), "[Trim]\r\nType=-2\r\nExtra=x\r\nFlag=1\r\n\r\n[New]\r\nKey=value\r\n\r\n");
}

TEST(IniFile, DuplicateSectionsAndKeysFirstWins) {
    TempDir dir;
    IniFile ini = FromText(dir, "[A]\r\nk=1\r\nk=2\r\n[B]\r\nx=0\r\n[a]\r\nk=3\r\nj=4\r\n");
    EXPECT_EQ(ini.ReadInteger("A", "k", 0), 1);
    EXPECT_EQ(ini.ReadInteger("A", "j", 0), 4);
    ini.WriteInteger("A", "k", 9);
    EXPECT_EQ(ini.ReadInteger("A", "k", 0), 9);
    EXPECT_EQ(ini.ReadSectionKeys("a"), (std::vector<std::string>{"k", "k", "k", "j"}));
}

TEST(IniFile, ShiftJisTrailBytesAreNeverFolded) {
    TempDir dir;
    // 0x83 0x41 and 0x83 0x61 are different katakana; folding the trail byte would confuse them.
    IniFile ini = FromText(dir, "[\x83\x41]\r\n\x83\x41=one\r\n");
    EXPECT_EQ(ini.ReadString("\x83\x41", "\x83\x41", "-"), "one");
    EXPECT_EQ(ini.ReadString("\x83\x61", "\x83\x41", "-"), "-");
    EXPECT_EQ(ini.ReadString("\x83\x41", "\x83\x61", "-"), "-");
    // "ソ" ends in 0x5C, a backslash in ASCII: the value survives a round trip unchanged.
    ini.WriteString("\x83\x41", "path", "C:\\\x83\x5C\\");
    EXPECT_NE(ini.Text().find("path=C:\\\x83\x5C\\\r\n"), std::string::npos);
}

TEST(IniFile, HostileBytesNeverStopReading) {
    TempDir dir;
    std::string garbage;
    std::mt19937 random(7);
    for (int i = 0; i < 100000; ++i) garbage.push_back(static_cast<char>(random()));
    IniFile a = FromText(dir, garbage);
    EXPECT_EQ(a.ReadInteger("Trim", "Type", 3), a.ReadInteger("Trim", "Type", 3));

    IniFile b = FromText(dir, "[Trim]\r\nType=" + std::string(10 * 1024 * 1024, '7') + "\r\nWidth=5\r\n");
    EXPECT_EQ(b.ReadInteger("Trim", "Type", 3), 3);
    EXPECT_EQ(b.ReadInteger("Trim", "Width", 0), 5);

    static const char withNul[] = "[Trim]\r\nType=1\0\r\nWidth=\0\r\n";
    IniFile c = FromText(dir, std::string(withNul, sizeof withNul - 1));
    EXPECT_EQ(c.ReadInteger("Trim", "Type", 3), 1);  // the NUL is a control character, trimmed
    EXPECT_EQ(c.ReadInteger("Trim", "Width", 150), 150);

    IniFile d = FromText(dir, "[");
    EXPECT_EQ(d.Text(), "");
    IniFile e = FromText(dir, "[]\r\n=\r\n");
    EXPECT_EQ(e.ReadString("", "", "-"), "");
}

TEST(IniFile, UpdateFileWritesTheImageAndReadsBackTheSame) {
    TempDir dir;
    const std::string path = dir.File("round.ini");
    IniFile ini(path);
    ini.WriteString("S", "Name", "\x83\x5C\x83\x74\x83\x67");
    ini.WriteInteger("S", "N", -12);
    ini.UpdateFile();
    EXPECT_EQ(ReadTestFile(path), "[S]\r\nName=\x83\x5C\x83\x74\x83\x67\r\nN=-12\r\n\r\n");
    IniFile again(path);
    EXPECT_EQ(again.ReadString("s", "name", ""), "\x83\x5C\x83\x74\x83\x67");
    EXPECT_EQ(CountFiles(dir.Path()), 1u);  // no temporary file left behind
}

TEST(IniFile, ASignBeforeAHexadecimalValueGivesTheKeysDefault) {
    IniFile ini = IniFile::FromText("[Trim]\r\nWidth=-0x10\r\nHeight=-$FFFFFFFF\r\nScale=$FFFFFFFF\r\n");
    EXPECT_EQ(ini.ReadInteger("Trim", "Width", 150), 150);
    EXPECT_EQ(ini.ReadInteger("Trim", "Height", 180), 180);
    EXPECT_EQ(ini.ReadInteger("Trim", "Scale", 100), -1);
    EXPECT_TRUE(ini.ReadBool("Trim", "Width", true));
}

TEST(IniFile, ManySectionsAndKeysAreAllFoundAndTheFirstOfANameWins) {
    // Enough names to make both tables grow many times over.
    std::string text;
    for (int i = 0; i < 20000; ++i) {
        text += "[S" + std::to_string(i) + "]\r\nk" + std::to_string(i % 7) + "=" + std::to_string(i) + "\r\n";
    }
    for (int i = 0; i < 20000; i += 2)
        text += "[s" + std::to_string(i) + "]\nK" + std::to_string(i % 7) + "=dup\nlate=" + std::to_string(i) + "\n";
    IniFile ini = IniFile::FromText(text);
    for (int i = 0; i < 20000; i += 997) {
        const std::string section = "S" + std::to_string(i);
        EXPECT_EQ(ini.ReadInteger(section, "k" + std::to_string(i % 7), -1), i) << section;
        EXPECT_EQ(ini.ReadInteger(section, "late", -1), i % 2 == 0 ? i : -1) << section;
        EXPECT_EQ(ini.ReadInteger(section, "k" + std::to_string((i + 1) % 7), -1), -1) << section;
    }
    EXPECT_FALSE(ini.SectionExists("S20000"));
    EXPECT_EQ(ini.ReadSectionKeys("S4"), (std::vector<std::string>{"k4", "K4", "late"}));
}

TEST(IniFile, WritesIntoLaterDuplicatesAndNewSectionsSurviveTheRoundTrip) {
    IniFile ini = IniFile::FromText("[A]\r\nx=1\r\n[B]\r\ny=2\r\n[a]\r\n  z = 3  \r\nfree text\r\n");
    ini.WriteString("a", "Z", "33");
    ini.WriteString("A", "new", "n");
    ini.WriteString("A", "NEW", "m");  // the key just added is replaced, not added twice
    ini.WriteString("C", "c", "c1");
    ini.WriteString("c", "d", "d1");
    const std::string expected =
        "[A]\r\nx=1\r\nz=33\r\nfree text\r\nnew=m\r\n\r\n[B]\r\ny=2\r\n\r\n[C]\r\nc=c1\r\nd=d1\r\n\r\n";
    EXPECT_EQ(ini.Text(), expected);
    EXPECT_EQ(ini.ReadString("A", "new", ""), "m");
    EXPECT_EQ(ini.ReadString("C", "D", ""), "d1");
    EXPECT_EQ(IniFile::FromText(expected).Text(), expected);
}

TEST(IniFile, LineBreaksOfEveryKindSplitLinesAlikeWhenWrittenBack) {
    IniFile ini = IniFile::FromText("[A]\rk=1\n\n\r\r\nj=2\r\n\r[B]\n\rq");
    EXPECT_EQ(ini.Text(), "[A]\r\nk=1\r\nj=2\r\n\r\n[B]\r\nq\r\n\r\n");
    EXPECT_EQ(ini.ReadInteger("a", "J", 0), 2);
}

TEST(IniFile, AFileThatCannotBeReadCompletelyGivesDefaultsAndIsNeverWrittenOver) {
    TempDir dir;
    const std::string path = dir.File("big.ini");
    const std::string content = "[Trim]\r\nWidth=77\r\n[Mine]\r\nkeep=this\r\n";
    WriteTestFile(path, content);

    IniFile exact(path, content.size());  // the cap itself is allowed
    EXPECT_FALSE(exact.ReadFailure());
    EXPECT_EQ(exact.ReadInteger("Trim", "Width", 150), 77);

    IniFile over(path, content.size() - 1);
    ASSERT_TRUE(over.ReadFailure());
    EXPECT_FALSE(over.ReadFailure()->empty());
    EXPECT_EQ(over.ReadInteger("Trim", "Width", 150), 150);
    over.WriteInteger("Trim", "Height", 5);
    EXPECT_THROW(over.UpdateFile(), AppError);
    EXPECT_EQ(ReadTestFile(path), content);
    EXPECT_EQ(CountFiles(dir.Path()), 1u);

    // A folder where the file should be is there but cannot be read: not a missing file.
    const std::string folder = dir.File("folder.ini");
    std::filesystem::create_directory(folder);
    IniFile notAFile(folder);
    EXPECT_TRUE(notAFile.ReadFailure());
    EXPECT_THROW(notAFile.UpdateFile(), AppError);
    EXPECT_TRUE(std::filesystem::is_directory(folder));

    IniFile missing(dir.File("absent.ini"));
    EXPECT_FALSE(missing.ReadFailure());
}

}  // namespace
