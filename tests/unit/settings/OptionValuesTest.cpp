#include "settings/OptionValues.h"

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "settings/FLConfig.h"

namespace {

class OptionValuesTest : public ::testing::Test {
protected:
    std::string Settings(const std::string& text) {
        WriteTestFile(path_, text);
        return path_;
    }
    TempDir dir_;
    std::string path_ = dir_.File("Framlet.ini");
};

TEST_F(OptionValuesTest, TheDialogShowsTheSettingsAsItsControlsHoldThem) {
    TFLConfig config(
        Settings("[Option]\r\nIsDefaultFolder=1\r\nDefaultFolder=D:\\pics\r\nIsAutoFileName=1\r\n"
                 "PrefixOfFileName=Shot_\r\nNumberingStart=12345\r\nDefaultFormatType=1\r\n"
                 "IsNoUseDialog=1\r\n"));
    const OptionValues shown = OptionValuesOf(config);
    EXPECT_TRUE(shown.isDefaultFolder);
    EXPECT_EQ(shown.defaultFolder, "D:\\pics");
    EXPECT_TRUE(shown.isAutoFileName);
    EXPECT_EQ(shown.prefixOfFileName, "Shot_");
    EXPECT_EQ(shown.numberingStart, "12345");
    EXPECT_TRUE(shown.isNoUseDialog);
    EXPECT_EQ(shown.formatItem, 1);
}

struct ShownNumber {
    const char* stored;
    const char* shown;
};

TEST_F(OptionValuesTest, TheNumberIsShownInDecimalInFull) {
    const ShownNumber cases[] = {
        {"1", "1"},
        {"12345", "12345"},
        {"-5", "-5"},
        {"0", "0"},
        {"$10", "16"},
        {"-2147483648", "-2147483648"},
        {"2147483647", "2147483647"},
    };
    for (const ShownNumber& c : cases) {
        TFLConfig config(Settings(std::string("[Option]\r\nNumberingStart=") + c.stored + "\r\n"));
        EXPECT_EQ(OptionValuesOf(config).numberingStart, c.shown) << c.stored;
    }
}

TEST_F(OptionValuesTest, FormatZeroIsTheFirstItemAndAnyOtherValueTheSecond) {
    const std::pair<const char*, int> cases[] = {{"0", 0}, {"1", 1}, {"2", 1}, {"255", 1}, {"256", 0}};
    for (const auto& [stored, item] : cases) {
        TFLConfig config(Settings(std::string("[Option]\r\nDefaultFormatType=") + stored + "\r\n"));
        EXPECT_EQ(OptionValuesOf(config).formatItem, item) << stored;
    }
}

struct StoredNumber {
    const char* text;
    int32_t stored;
};

TEST_F(OptionValuesTest, TheNumberIsReadAsAnIntegerAndWhatIsNoIntegerBecomesZero) {
    const StoredNumber cases[] = {
        {"42", 42},
        {"0042", 42},
        {"9999", 9999},
        {"12345", 12345},
        {"-5", -5},
        {"", 0},
        {"12ab", 0},
        {"abc", 0},
        {"-", 0},
        {"1.5", 0},
        {"2147483648", 0},
        {"-2147483648", INT32_MIN},
        // The settings file's own syntax, so that whatever the box was filled with reads back.
        {" 42 ", 42},
        {"$1F", 31},
        {"0x1F", 31},
    };
    for (const StoredNumber& c : cases) {
        TFLConfig config(Settings("[Option]\r\nNumberingStart=7\r\n"));
        OptionValues values = OptionValuesOf(config);
        values.numberingStart = c.text;
        StoreOptionValues(values, config);
        EXPECT_EQ(config.NumberingStart(), c.stored) << '"' << c.text << '"';
    }
}

TEST_F(OptionValuesTest, TheChosenItemGivesTheFormat) {
    const std::pair<int, uint8_t> cases[] = {{0, 0}, {1, 1}, {-1, 1}};
    for (const auto& [item, format] : cases) {
        TFLConfig config(Settings("[Option]\r\nDefaultFormatType=1\r\n"));
        OptionValues values = OptionValuesOf(config);
        values.formatItem = item;
        StoreOptionValues(values, config);
        EXPECT_EQ(config.DefaultFormatType(), format) << item;
    }
}

TEST_F(OptionValuesTest, StoringWhatWasShownChangesNothingAndSaveWritesNothing) {
    const std::string text =
        "; kept as it is\r\n[Option]\r\nNumberingStart=-5\r\nDefaultFormatType=1\r\nDefaultFolder=C:\\a b\r\n";
    TFLConfig config(Settings(text));
    StoreOptionValues(OptionValuesOf(config), config);
    EXPECT_FALSE(config.Dirty());
    config.Save();
    EXPECT_EQ(ReadTestFile(path_), text);
}

TEST_F(OptionValuesTest, AFormatOutOfRangeComesBackAsTheSecondItemMeans) {
    TFLConfig config(Settings("[Option]\r\nDefaultFormatType=7\r\n"));
    StoreOptionValues(OptionValuesOf(config), config);
    EXPECT_EQ(config.DefaultFormatType(), 1);
    EXPECT_TRUE(config.Dirty());
}

TEST_F(OptionValuesTest, EveryValueGoesBackThroughItsSetterAsTyped) {
    TFLConfig config(Settings(""));
    OptionValues values;
    values.isDefaultFolder = true;
    values.defaultFolder = " E:\\x ";
    values.isAutoFileName = true;
    values.prefixOfFileName = "in/valid?";
    values.numberingStart = "8";
    values.isNoUseDialog = true;
    values.formatItem = 1;
    StoreOptionValues(values, config);
    EXPECT_TRUE(config.Dirty());
    EXPECT_TRUE(config.IsDefaultFolder());
    EXPECT_EQ(config.DefaultFolder(), " E:\\x ");
    EXPECT_TRUE(config.IsAutoFileName());
    EXPECT_EQ(config.PrefixOfFileName(), "in/valid?");  // checked when a picture is saved
    EXPECT_EQ(config.NumberingStart(), 8);
    EXPECT_TRUE(config.IsNoUseDialog());
    EXPECT_EQ(config.DefaultFormatType(), 1);
    EXPECT_EQ(config.Width(), 150);  // the other settings stay
}

TEST(OptionValues, TheNumberFilterPassesDigitsAndBackspaceOnly) {
    for (char16_t ch = 0; ch < 0x3100; ++ch) {
        const bool expected = ch == 8 || (ch >= u'0' && ch <= u'9');
        EXPECT_EQ(IsNumberingStartKey(ch), expected) << static_cast<int>(ch);
    }
    EXPECT_FALSE(IsNumberingStartKey(u'１'));  // full-width digits are not digits here
    EXPECT_FALSE(IsNumberingStartKey(0x16));   // Ctrl+V arrives as a character too
}

}  // namespace
