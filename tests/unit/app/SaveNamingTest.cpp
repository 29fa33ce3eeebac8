#include "app/SaveNaming.h"

#include <gtest/gtest.h>

#include <set>

#include "TestSupport.h"
#include "settings/FLConfig.h"

namespace {

class FakeFiles final : public FileProbe {
public:
    std::set<std::string> files;
    std::set<std::string> folders;
    bool FileExists(const std::string& path) const override { return files.count(path) != 0; }
    bool DirectoryExists(const std::string& path) const override { return folders.count(path) != 0; }
};

class SaveNaming : public testing::Test {
protected:
    SaveNaming() : config_(dir_.File("Framlet.ini")) { probe_.folders = {"D:\\pics\\", "D:\\pics", "C:\\", "."}; }
    void AutoNamesIn(const std::string& folder) {
        config_.SetIsDefaultFolder(true);
        config_.SetDefaultFolder(folder);
        config_.SetIsAutoFileName(true);
    }
    TempDir dir_;
    TFLConfig config_;
    FakeFiles probe_;
};

TEST_F(SaveNaming, NumbersFromTheStartAndTakeTheFirstFreeOneEachTime) {
    AutoNamesIn("D:\\pics\\");
    probe_.files = {"D:\\pics\\Capture_0001.jpg", "D:\\pics\\Capture_0002.jpg", "D:\\pics\\Capture_0001.bmp"};
    SaveDialogRequest r = PrepareSaveFileName(config_, probe_);
    EXPECT_EQ(r.InitialDir, "D:\\pics");
    EXPECT_EQ(r.FileName, "D:\\pics\\Capture_0003.jpg");
    EXPECT_EQ(r.DefaultExt, "jpg");
    EXPECT_EQ(r.FilterIndex, 1);
    EXPECT_TRUE(r.ShowDialog);

    probe_.files.erase("D:\\pics\\Capture_0002.jpg");
    EXPECT_EQ(PrepareSaveFileName(config_, probe_).FileName, "D:\\pics\\Capture_0002.jpg");
    EXPECT_EQ(config_.NumberingStart(), 1);  // no counter is kept
}

TEST_F(SaveNaming, ADriveRootGivesTwoDelimitersInARow) {
    AutoNamesIn("C:\\");
    const SaveDialogRequest r = PrepareSaveFileName(config_, probe_);
    EXPECT_EQ(r.InitialDir, "C:\\");
    EXPECT_EQ(r.FileName, "C:\\\\Capture_0001.jpg");
}

TEST_F(SaveNaming, WithoutADefaultFolderTheNameIsAlwaysNumberOneAndTheDialogShows) {
    config_.SetIsAutoFileName(true);
    config_.SetIsNoUseDialog(true);
    probe_.files = {"Capture_0001.jpg"};
    const SaveDialogRequest r = PrepareSaveFileName(config_, probe_);
    EXPECT_EQ(r.InitialDir, "");
    EXPECT_EQ(r.FileName, "Capture_0001.jpg");
    EXPECT_TRUE(r.ShowDialog);
}

TEST_F(SaveNaming, NumberingStartAbove9999ProposesNothingAndShowsTheDialog) {
    AutoNamesIn("D:\\pics");
    config_.SetIsNoUseDialog(true);
    config_.SetNumberingStart(10000);
    const SaveDialogRequest r = PrepareSaveFileName(config_, probe_);
    EXPECT_EQ(r.FileName, "");
    EXPECT_TRUE(r.ShowDialog);
}

TEST_F(SaveNaming, NumbersHaveAtLeastFourDigits) {
    AutoNamesIn("D:\\pics");
    config_.SetNumberingStart(42);
    EXPECT_EQ(PrepareSaveFileName(config_, probe_).FileName, "D:\\pics\\Capture_0042.jpg");
    config_.SetNumberingStart(-5);
    EXPECT_EQ(PrepareSaveFileName(config_, probe_).FileName, "D:\\pics\\Capture_-0005.jpg");
}

TEST_F(SaveNaming, WhenEveryNumberIsTakenTheDialogAsksInsteadOfOverwriting) {
    AutoNamesIn("D:\\pics");
    config_.SetIsNoUseDialog(true);
    config_.SetNumberingStart(9998);
    probe_.files = {"D:\\pics\\Capture_9998.jpg", "D:\\pics\\Capture_9999.jpg"};
    const SaveDialogRequest r = PrepareSaveFileName(config_, probe_);
    EXPECT_EQ(r.FileName, "D:\\pics\\Capture_9999.jpg");
    EXPECT_TRUE(r.ShowDialog);
}

TEST_F(SaveNaming, AnInvalidPrefixIsEmptiedThroughTheSetter) {
    AutoNamesIn("D:\\pics");
    config_.Save();
    config_.SetPrefixOfFileName("a<b");
    config_.Save();
    ASSERT_FALSE(config_.Dirty());
    const SaveDialogRequest r = PrepareSaveFileName(config_, probe_);
    EXPECT_EQ(config_.PrefixOfFileName(), "");
    EXPECT_TRUE(config_.Dirty());
    EXPECT_EQ(r.FileName, "D:\\pics\\0001.jpg");
}

TEST_F(SaveNaming, AMissingDefaultFolderBecomesTheCurrentFolder) {
    AutoNamesIn("E:\\gone");
    config_.Save();
    const SaveDialogRequest r = PrepareSaveFileName(config_, probe_);
    EXPECT_EQ(config_.DefaultFolder(), ".");
    EXPECT_TRUE(config_.Dirty());
    EXPECT_EQ(r.InitialDir, ".");
    EXPECT_EQ(r.FileName, ".\\Capture_0001.jpg");
}

TEST_F(SaveNaming, BitmapFormatProposesBmpOnTheThirdFilterEntry) {
    AutoNamesIn("D:\\pics");
    config_.SetDefaultFormatType(1);
    probe_.files = {"D:\\pics\\Capture_0001.jpg"};
    const SaveDialogRequest r = PrepareSaveFileName(config_, probe_);
    EXPECT_EQ(r.DefaultExt, "bmp");
    EXPECT_EQ(r.FilterIndex, 3);
    EXPECT_EQ(r.FileName, "D:\\pics\\Capture_0001.bmp");
    config_.SetDefaultFormatType(7);
    EXPECT_EQ(PrepareSaveFileName(config_, probe_).DefaultExt, "bmp");
}

TEST_F(SaveNaming, TheDialogIsSkippedOnlyWithNoDialogDefaultFolderAndAName) {
    for (int bits = 0; bits < 8; ++bits) {
        const bool noDialog = bits & 1, defaultFolder = bits & 2, autoName = bits & 4;
        config_.SetIsNoUseDialog(noDialog);
        config_.SetIsDefaultFolder(defaultFolder);
        config_.SetDefaultFolder("D:\\pics");
        config_.SetIsAutoFileName(autoName);
        const SaveDialogRequest r = PrepareSaveFileName(config_, probe_);
        EXPECT_EQ(r.ShowDialog, !(noDialog && defaultFolder && autoName)) << "bits " << bits;
        EXPECT_EQ(r.FileName.empty(), !autoName) << "bits " << bits;
        EXPECT_EQ(r.InitialDir, defaultFolder ? "D:\\pics" : "") << "bits " << bits;
    }
}

TEST(SaveNamingRules, PrefixValidityLooksAtBytes) {
    EXPECT_TRUE(IsValidPrefix(""));
    EXPECT_TRUE(IsValidPrefix("sub\\cap_:"));
    for (const char* bad : {"a\"", "*", "a/b", "<", ">", "?", "|"}) EXPECT_FALSE(IsValidPrefix(bad)) << bad;
    EXPECT_FALSE(IsValidPrefix("\x83\x7C"));  // ポ: its second byte is "|"
    EXPECT_TRUE(IsValidPrefix("\x83\x5C"));   // ソ: a backslash byte is allowed anyway
}

TEST(SaveNamingRules, TrailingBackslashRule) {
    EXPECT_EQ(NormaliseInitialDir("D:\\pics\\"), "D:\\pics");
    EXPECT_EQ(NormaliseInitialDir("C:\\"), "C:\\");
    EXPECT_EQ(NormaliseInitialDir("\\"), "\\");
    EXPECT_EQ(NormaliseInitialDir("D:\\pics"), "D:\\pics");
    EXPECT_EQ(NormaliseInitialDir("D:\\pics\\\\"), "D:\\pics\\");    // only one is dropped
    EXPECT_EQ(NormaliseInitialDir("D:\\\x83\x5C"), "D:\\\x83\x5C");  // the 0x5C ends ソ, not a delimiter
}

TEST(SaveNamingRules, FormatByExtension) {
    EXPECT_TRUE(IsJpegFileName("picture.JPEG"));
    EXPECT_TRUE(IsJpegFileName("C:\\a.b\\x.Jpg"));
    EXPECT_FALSE(IsJpegFileName("picture.png"));
    EXPECT_FALSE(IsJpegFileName("picture"));
    EXPECT_FALSE(IsJpegFileName("C:\\dir.jpg\\picture"));
    EXPECT_FALSE(IsJpegFileName("picture.jpg.bmp"));
}

TEST_F(SaveNaming, TheGuardNeedsAViewAndPositiveSizesInEveryTrimMode) {
    for (uint8_t mode = 0; mode < 4; ++mode) {
        config_.SetTrimType(mode);
        config_.SetWidth(150);
        config_.SetHeight(180);
        config_.SetScale(100);
        EXPECT_TRUE(CommandGuardPasses(1, 1, config_));
        EXPECT_FALSE(CommandGuardPasses(0, 5, config_));
        EXPECT_FALSE(CommandGuardPasses(5, 0, config_));
        for (int bad : {0, -1}) {
            config_.SetWidth(bad);
            EXPECT_FALSE(CommandGuardPasses(5, 5, config_));
            config_.SetWidth(150);
            config_.SetHeight(bad);
            EXPECT_FALSE(CommandGuardPasses(5, 5, config_));
            config_.SetHeight(180);
            config_.SetScale(bad);
            EXPECT_FALSE(CommandGuardPasses(5, 5, config_));
            config_.SetScale(100);
        }
    }
}

}  // namespace
