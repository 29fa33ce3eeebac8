#include "localisation/MsgResource.h"

#include <gtest/gtest.h>

#include <random>

#include "LocalisationTestSupport.h"
#include "settings/IniFile.h"

namespace {

std::u16string U16(const std::string& utf8) { return Utf8ToUtf16(utf8); }

// Resource.ini with the given bytes in a private folder, and the look-up object over it.
class MessageFile {
public:
    explicit MessageFile(const std::string& bytes) {
        WriteTestFile(path, bytes);
        messages = std::make_unique<QMsgResource>(AnsiToUtf16(path));
    }
    std::u16string Get(const std::string& section, const std::string& key) const {
        return messages->GetMsg(U16(section), U16(key));
    }

    TempDir dir;
    std::string path = ExpandFileName(dir.File("Resource.ini"));
    std::unique_ptr<QMsgResource> messages;
};

std::u16string NotFound(const std::string& section, const std::string& key) {
    return U16("Massage is not found. (" + section + " : " + key + ")");
}

TEST(QMsgResource, WithoutTheFileEveryLookUpNamesThePath) {
    TempDir dir;
    const std::string path = ExpandFileName(dir.File("Resource.ini"));
    const QMsgResource messages(AnsiToUtf16(path));
    const std::u16string expected = u"Massage File is not found. (" + AnsiToUtf16(path) + u")";
    EXPECT_EQ(messages.GetMsg(u"message", u"fmMain_Close_1"), expected);
    EXPECT_EQ(messages.GetMsg(u"", u""), expected);
    EXPECT_EQ(messages.GetMsg(u"other", u"key"), expected);
}

TEST(QMsgResource, TheMissingPathIsShownAsPassed) {
    const std::u16string relative = u"no-such-folder-here/Resource.ini";
    EXPECT_EQ(QMsgResource(relative).GetMsg(u"message", u"fmMain_Close_1"),
              u"Massage File is not found. (no-such-folder-here/Resource.ini)");
}

TEST(QMsgResource, AFileWithoutTheSectionNamesSectionAndKey) {
    const MessageFile file("[fmMain]\r\nfmMain_Close_1=x\r\n");
    EXPECT_EQ(file.Get("message", "fmMain_Close_1"), NotFound("message", "fmMain_Close_1"));
}

TEST(QMsgResource, MissingKeysAndEmptyOrBlankValuesCountAsNotFound) {
    const MessageFile file("[message]\r\nempty=\r\nblank=   \t \r\ncontrol=\x01\x02\x1F\r\nshown=yes\r\n");
    for (const char* key : {"empty", "blank", "control", "absent", ""}) {
        EXPECT_EQ(file.Get("message", key), NotFound("message", key)) << key;
    }
    EXPECT_EQ(file.Get("message", "shown"), u"yes");
}

TEST(QMsgResource, SectionAndKeyMatchWithoutLetterCase) {
    const MessageFile file("[MESSAGE]\r\nFMMAIN_CLOSE_1=found\r\n");
    EXPECT_EQ(file.Get("message", "fmmain_close_1"), u"found");
    EXPECT_EQ(file.Get("Message", "fmMain_Close_1"), u"found");
}

TEST(QMsgResource, TheNotFoundTextKeepsTheCallersSpelling) {
    const MessageFile file("[message]\r\n");
    EXPECT_EQ(file.Get("MeSsAgE", "KEY"), NotFound("MeSsAgE", "KEY"));
    EXPECT_EQ(file.Get("メッセージ", "キー"), NotFound("メッセージ", "キー"));
}

TEST(QMsgResource, ValuesAreTrimmedOfBlanksAndControlCharactersOnly) {
    const MessageFile file("[message]\r\na= \t inner  blanks \t \r\nb=x\x01\r\nc=" + Ansi("　全角の空白　") + "\r\n");
    EXPECT_EQ(file.Get("message", "a"), u"inner  blanks");
    EXPECT_EQ(file.Get("message", "b"), u"x");
    EXPECT_EQ(file.Get("message", "c"), U16("　全角の空白　"));  // a full-width space is no blank
}

TEST(QMsgResource, TheFileIsReadInTheAnsiCodePage) {
    const MessageFile file(Ansi("[message]\r\nfmMain_Close_1=を終了します。\r\n[メッセージ]\r\nキー=値\r\n"));
    EXPECT_EQ(file.Get("message", "fmMain_Close_1"), U16("を終了します。"));
    EXPECT_EQ(file.Get("メッセージ", "キー"), U16("値"));
}

TEST(QMsgResource, TrailBytesThatLookLikeLettersAreNotFolded) {
    // "ア" is 0x83 0x41 and "ヂ" 0x83 0x61: the second bytes differ only as 'A' and 'a' do.
    const MessageFile file(Ansi("[message]\r\nア=first\r\n"));
    EXPECT_EQ(file.Get("message", "ア"), u"first");
    EXPECT_EQ(file.Get("message", "ヂ"), NotFound("message", "ヂ"));
}

TEST(QMsgResource, AFileCreatedAfterConstructionIsNotSeen) {
    TempDir dir;
    const std::string path = dir.File("Resource.ini");
    const QMsgResource messages(AnsiToUtf16(path));
    WriteTestFile(path, "[message]\r\nfmMain_Close_1=late\r\n");
    EXPECT_EQ(messages.GetMsg(u"message", u"fmMain_Close_1"),
              u"Massage File is not found. (" + AnsiToUtf16(path) + u")");
}

TEST(QMsgResource, ChangesAndDeletionAfterConstructionAreNotSeen) {
    MessageFile file("[message]\r\nk=before\r\n");
    WriteTestFile(file.path, "[message]\r\nk=after\r\n");
    EXPECT_EQ(file.Get("message", "k"), u"before");
    std::filesystem::remove(file.path);
    EXPECT_EQ(file.Get("message", "k"), u"before");
}

TEST(QMsgResource, AFolderNamedResourceIniIsNoFile) {
    TempDir dir;
    const std::string path = dir.File("Resource.ini");
    std::filesystem::create_directory(path);
    EXPECT_EQ(QMsgResource(AnsiToUtf16(path)).GetMsg(u"message", u"k"),
              u"Massage File is not found. (" + AnsiToUtf16(path) + u")");
}

TEST(QMsgResourceHostile, BinaryGarbageAnswersNotFound) {
    std::mt19937 random(7);
    for (int round = 0; round < 10; ++round) {
        std::string garbage(8192 + round * 331, '\0');
        for (auto& byte : garbage) byte = static_cast<char>(random());
        const MessageFile file(garbage);
        EXPECT_EQ(file.Get("message", "fmMain_Close_1"), NotFound("message", "fmMain_Close_1")) << round;
    }
}

TEST(QMsgResourceHostile, ATenMegabyteValueComesBackWhole) {
    const std::string big(10 * 1024 * 1024, 'm');
    const MessageFile file("[message]\r\nbig=" + big + "\r\nsmall=s\r\n");
    const std::u16string value = file.Get("message", "big");
    EXPECT_EQ(value.size(), big.size());
    EXPECT_TRUE(value.find_first_not_of(u'm') == std::u16string::npos);
    EXPECT_EQ(file.Get("message", "small"), u"s");
}

TEST(QMsgResourceHostile, AFileOverTheSizeCapAnswersLikeAMissingOne) {
    const MessageFile file("[message]\r\nfmMain_Close_1=x\r\n[pad]\r\n" + std::string(kMaxIniFileBytes, ';') + "\r\n");
    EXPECT_EQ(file.Get("message", "fmMain_Close_1"), u"Massage File is not found. (" + AnsiToUtf16(file.path) + u")");
}

TEST(QMsgResourceHostile, LinesWithoutEqualsAndDuplicatesFirstWins) {
    const MessageFile file(
        "[message]\r\nfmMain_Close_1\r\nfmMain_Close_2 yes\r\nk=first\r\nk=second\r\n"
        "[other]\r\nk=other\r\n[Message]\r\nk=third\r\nlate=late\r\n");
    EXPECT_EQ(file.Get("message", "fmMain_Close_1"), NotFound("message", "fmMain_Close_1"));
    EXPECT_EQ(file.Get("message", "fmMain_Close_2 yes"), NotFound("message", "fmMain_Close_2 yes"));
    EXPECT_EQ(file.Get("message", "k"), u"first");
    // A repeated section continues the first: its new keys are found.
    EXPECT_EQ(file.Get("message", "late"), u"late");
}

TEST(QMsgResourceHostile, ValuesWithEqualsAndBracketsAreKeptWhole) {
    const MessageFile file("[message]\r\nk = a=b [c] ; d\r\n");
    EXPECT_EQ(file.Get("message", "k"), u"a=b [c] ; d");
}

}  // namespace
