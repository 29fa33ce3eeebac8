#include "settings/FLConfig.h"

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "platform/AppError.h"

namespace {

const char kFromScratch[] =
    "[Trim]\r\nType=3\r\nWidth=150\r\nHeight=180\r\nScale=100\r\n\r\n"
    "[Effect]\r\nReverse=0\r\nEmphasis=0\r\nReverseType=1\r\nIsFrame=0\r\nFrameSize=1\r\n\r\n"
    "[Option]\r\nIsDefaultFolder=0\r\nDefaultFolder=.\r\nIsAutoFileName=0\r\nPrefixOfFileName=Capture_\r\n"
    "NumberingStart=1\r\nDefaultFormatType=0\r\nIsNoUseDialog=0\r\n\r\n";

TEST(FLConfig, MissingFileGivesDefaultsAndIsNotCreatedWhenNothingChanged) {
    TempDir dir;
    const std::string path = dir.File("Framlet.ini");
    {
        TFLConfig config(path);
        EXPECT_FALSE(config.Dirty());
        EXPECT_EQ(config.TrimType(), 3);
        EXPECT_EQ(config.Width(), 150);
        EXPECT_EQ(config.Height(), 180);
        EXPECT_EQ(config.Scale(), 100);
        EXPECT_EQ(config.EffectFlags(), 0);
        EXPECT_EQ(config.ReverseType(), 1);
        EXPECT_FALSE(config.IsFrame());
        EXPECT_EQ(config.FrameSize(), 1);
        EXPECT_FALSE(config.IsDefaultFolder());
        EXPECT_EQ(config.DefaultFolder(), ".");
        EXPECT_FALSE(config.IsAutoFileName());
        EXPECT_EQ(config.PrefixOfFileName(), "Capture_");
        EXPECT_EQ(config.NumberingStart(), 1);
        EXPECT_EQ(config.DefaultFormatType(), 0);
        EXPECT_FALSE(config.IsNoUseDialog());
        config.Save();
    }
    EXPECT_FALSE(ReadTestFile(path).has_value());
}

TEST(FLConfig, FirstSaveWritesTheWholeFileFromScratch) {
    TempDir dir;
    const std::string path = dir.File("Framlet.ini");
    {
        TFLConfig config(path);
        config.SetWidth(151);
        config.SetWidth(150);  // changed and changed back still counts as changed
        EXPECT_TRUE(config.Dirty());
        config.Save();
        EXPECT_FALSE(config.Dirty());
    }
    EXPECT_EQ(ReadTestFile(path), std::string(kFromScratch));
}

TEST(FLConfig, ValuesAreReadByTheValueSyntax) {
    TempDir dir;
    const std::string path = dir.File("Framlet.ini");
    WriteTestFile(path,
                  "[trim]\r\ntype=260\r\nWidth = 200 \r\nHeight=0x10\r\nScale=$20\r\n"
                  "[Effect]\r\nReverse=true\r\nEmphasis=2\r\nReverseType=abc\r\nIsFrame=-1\r\nFrameSize=\r\n"
                  "[Option]\r\nDefaultFolder=\r\nPrefixOfFileName= \"x\" \r\nNumberingStart=-5\r\n");
    TFLConfig config(path);
    EXPECT_EQ(config.TrimType(), 4);  // only the low 8 bits of 260
    EXPECT_EQ(config.Width(), 200);
    EXPECT_EQ(config.Height(), 16);
    EXPECT_EQ(config.Scale(), 32);
    EXPECT_EQ(config.EffectFlags(), TFLConfig::kEmphasis);  // "true" is no number: Reverse keeps its default
    EXPECT_EQ(config.ReverseType(), 1);
    EXPECT_TRUE(config.IsFrame());
    EXPECT_EQ(config.FrameSize(), 1);
    EXPECT_EQ(config.DefaultFolder(), "");  // an empty value is not a missing key
    EXPECT_EQ(config.PrefixOfFileName(), "\"x\"");
    EXPECT_EQ(config.NumberingStart(), -5);
    EXPECT_FALSE(config.Dirty());
}

TEST(FLConfig, AbcTypeGivesTheDefaultAndATrueBooleanIsWrittenAsOne) {
    TempDir dir;
    const std::string path = dir.File("Framlet.ini");
    WriteTestFile(path, "[Trim]\r\nType=abc\r\n[Effect]\r\nReverse=2\r\n");
    {
        TFLConfig config(path);
        EXPECT_EQ(config.TrimType(), 3);
        EXPECT_EQ(config.EffectFlags(), TFLConfig::kReverse);
        config.SetScale(50);
    }
    const std::string text = *ReadTestFile(path);
    EXPECT_NE(text.find("[Trim]\r\nType=3\r\n"), std::string::npos);
    EXPECT_NE(text.find("[Effect]\r\nReverse=1\r\nEmphasis=0\r\n"), std::string::npos);
    EXPECT_NE(text.find("Scale=50\r\n"), std::string::npos);
}

TEST(FLConfig, UnknownKeysSurviveASaveAndCommentsDoNot) {
    TempDir dir;
    const std::string path = dir.File("Framlet.ini");
    WriteTestFile(path, "; my notes\r\n[Trim]\r\nType=0\r\nMine=keep me\r\n[Other]\r\nA=1\r\n");
    {
        TFLConfig config(path);
        config.SetTrimType(1);
        config.Save();
    }
    EXPECT_EQ(ReadTestFile(path),
              "[Trim]\r\nType=1\r\nMine=keep me\r\nWidth=150\r\nHeight=180\r\nScale=100\r\n\r\n"
              "[Other]\r\nA=1\r\n\r\n"
              "[Effect]\r\nReverse=0\r\nEmphasis=0\r\nReverseType=1\r\nIsFrame=0\r\nFrameSize=1\r\n\r\n"
              "[Option]\r\nIsDefaultFolder=0\r\nDefaultFolder=.\r\nIsAutoFileName=0\r\nPrefixOfFileName=Capture_\r\n"
              "NumberingStart=1\r\nDefaultFormatType=0\r\nIsNoUseDialog=0\r\n\r\n");
}

TEST(FLConfig, SettersMarkDirtyOnlyForRealChanges) {
    TempDir dir;
    const std::string path = dir.File("Framlet.ini");
    WriteTestFile(path, "[Option]\r\nPrefixOfFileName=Shot\r\n");
    TFLConfig config(path);
    config.SetTrimType(3);
    config.SetWidth(150);
    config.SetHeight(180);
    config.SetScale(100);
    config.SetEffectFlags(0);
    config.SetReverseType(1);
    config.SetIsFrame(false);
    config.SetFrameSize(1);
    config.SetIsDefaultFolder(false);
    config.SetDefaultFolder(".");
    config.SetIsAutoFileName(false);
    config.SetPrefixOfFileName("Shot");
    config.SetNumberingStart(1);
    config.SetDefaultFormatType(0);
    config.SetIsNoUseDialog(false);
    EXPECT_FALSE(config.Dirty());
    config.Save();
    EXPECT_EQ(ReadTestFile(path), "[Option]\r\nPrefixOfFileName=Shot\r\n");

    config.SetPrefixOfFileName("shot");  // letter case counts for strings
    EXPECT_TRUE(config.Dirty());
}

TEST(FLConfig, EffectFlagsAreWrittenAsTwoBooleansAndKeepOnlyTheirTwoBits) {
    TempDir dir;
    const std::string path = dir.File("Framlet.ini");
    {
        TFLConfig config(path);
        config.SetEffectFlags(0xFF);
        EXPECT_EQ(config.EffectFlags(), 3);
        config.Save();
    }
    TFLConfig again(path);
    EXPECT_EQ(again.EffectFlags(), 3);
    EXPECT_NE(ReadTestFile(path)->find("Reverse=1\r\nEmphasis=1\r\n"), std::string::npos);
    // Setting the field by its place in the values keeps the same two bits.
    again.Set<uint8_t>(&SettingValues::EffectFlags, 0xFE);
    EXPECT_EQ(again.EffectFlags(), TFLConfig::kEmphasis);
    EXPECT_TRUE(again.Dirty());
}

TEST(FLConfig, EveryFieldRoundTripsThroughTheFile) {
    TempDir dir;
    const std::string path = dir.File("Framlet.ini");
    {
        TFLConfig config(path);
        config.SetTrimType(2);
        config.SetWidth(-300);
        config.SetHeight(2000000000);
        config.SetScale(0);
        config.SetEffectFlags(TFLConfig::kReverse);
        config.SetReverseType(0);
        config.SetIsFrame(true);
        config.SetFrameSize(7);
        config.SetIsDefaultFolder(true);
        config.SetDefaultFolder("D:\\\x83\x5C\x83\x74\\");
        config.SetIsAutoFileName(true);
        config.SetPrefixOfFileName("");
        config.SetNumberingStart(12345);
        config.SetDefaultFormatType(1);
        config.SetIsNoUseDialog(true);
    }
    TFLConfig c(path);
    EXPECT_EQ(c.TrimType(), 2);
    EXPECT_EQ(c.Width(), -300);
    EXPECT_EQ(c.Height(), 2000000000);
    EXPECT_EQ(c.Scale(), 0);
    EXPECT_EQ(c.EffectFlags(), TFLConfig::kReverse);
    EXPECT_EQ(c.ReverseType(), 0);
    EXPECT_TRUE(c.IsFrame());
    EXPECT_EQ(c.FrameSize(), 7);
    EXPECT_TRUE(c.IsDefaultFolder());
    EXPECT_EQ(c.DefaultFolder(), "D:\\\x83\x5C\x83\x74\\");
    EXPECT_TRUE(c.IsAutoFileName());
    EXPECT_EQ(c.PrefixOfFileName(), "");
    EXPECT_EQ(c.NumberingStart(), 12345);
    EXPECT_EQ(c.DefaultFormatType(), 1);
    EXPECT_TRUE(c.IsNoUseDialog());
}

int reportedErrors = 0;

TEST(FLConfig, WriteToAMissingFolderRaisesAnErrorNamingTheFileAndStaysDirty) {
    TempDir dir;
    const std::string path = dir.File("no-such-folder") + "/Framlet.ini";
    reportedErrors = 0;
    SetErrorReporter([](const std::exception&) { ++reportedErrors; });
    {
        TFLConfig config(path);
        config.SetWidth(1);
        try {
            config.Save();
            ADD_FAILURE() << "Save into a missing folder succeeded";
        } catch (const AppError& error) {
            EXPECT_NE(std::string(error.what()).find("Framlet.ini"), std::string::npos) << error.what();
        }
        EXPECT_TRUE(config.Dirty());
    }
    // The destructor tried again, failed again, and told the standard error handler.
    EXPECT_EQ(reportedErrors, 1);
    SetErrorReporter(nullptr);
}

TEST(FLConfig, ASettingsFileThatCannotBeReadRunsOnDefaultsAndIsNeverWrittenOver) {
    TempDir dir;
    const std::string path = dir.File("Framlet.ini");
    // Over the size cap, with a value and a section of the user's own near the start.
    std::string content = "[Trim]\r\nWidth=77\r\n[Mine]\r\nkeep=1\r\n";
    content += "[Pad]\r\n" + std::string(kMaxIniFileBytes, 'x') + "\r\n";
    WriteTestFile(path, content);
    {
        TFLConfig config(path);
        EXPECT_EQ(config.Width(), 150);
        const auto text = config.LoadFailureText();
        ASSERT_TRUE(text);
        EXPECT_NE(text->find("Framlet.ini"), std::string::npos) << *text;
        config.SetHeight(5);
        config.Save();  // neither this nor the destructor's save writes
        EXPECT_TRUE(config.Dirty());
    }
    EXPECT_EQ(ReadTestFile(path), content);
    EXPECT_EQ(CountFiles(dir.Path()), 1u);

    // A readable file has no such text.
    const std::string good = dir.File("good.ini");
    WriteTestFile(good, "[Trim]\r\nWidth=77\r\n");
    EXPECT_FALSE(TFLConfig(good).LoadFailureText());
}

}  // namespace
