// framlet-dev trim, run as the process it is.
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "TestSupport.h"
#include "app/PictureFile.h"
#include "imaging/BmpFile.h"
#include "imaging/ImageLib.h"
#include "imaging/JpegWriter.h"
#include "imaging/Pictures.h"

namespace {

struct Outcome {
    int status;
    std::string output;
};

std::string DevTool() {
    // The test program lives in build/<preset>/tests, the developer console one folder up.
    return (std::filesystem::canonical("/proc/self/exe").parent_path().parent_path() / "framlet-dev").string();
}

std::string Quote(const std::string& s) {
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

Outcome RunTrim(const std::vector<std::string>& args) {
    std::string command = "timeout 60 " + Quote(DevTool()) + " trim";
    for (const auto& a : args) command += " " + Quote(a);
    command += " 2>&1";
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return {-1, "popen failed"};
    std::string output;
    char buffer[512];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, n);
    const int status = ::pclose(pipe);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, output};
}

class TrimCommand : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(std::filesystem::exists(DevTool())) << "build framlet-dev first: " << DevTool();
        std::mt19937 random(21);
        picture_ = RandomPicture(random, 40, 30);
        const SoftwareBitmap bitmap(picture_);
        WritePictureFile(dir_.File("in.bmp"), bitmap);
        WriteTestFile(dir_.File("s.ini"),
                      "[Trim]\r\nType=0\r\nWidth=13\r\nHeight=9\r\n[Effect]\r\nReverse=1\r\nReverseType=0\r\n"
                      "IsFrame=1\r\nFrameSize=2\r\n");
        settings_.TrimType = 0;
        settings_.Width = 13;
        settings_.Height = 9;
        settings_.EffectFlags = TrimSettings::kReverse;
        settings_.ReverseType = 0;
        settings_.IsFrame = true;
        settings_.FrameSize = 2;
    }

    SoftwareBitmap Expected(const Rect& rect, const TrimSettings& settings) const {
        SoftwareBitmap out;
        TrimImage(SoftwareBitmap(picture_), out, rect, settings);
        return out;
    }

    TempDir dir_;
    MemoryBitmap picture_;
    TrimSettings settings_;
};

TEST_F(TrimCommand, WritesJpegForJpgAndJpegNamesInAnyCase) {
    for (const char* name : {"out.jpg", "OUT.JPG", "out.Jpeg"}) {
        const Outcome outcome =
            RunTrim({dir_.File("in.bmp"), dir_.File(name), "--rect", "-2,3,30,25", "--settings", dir_.File("s.ini")});
        ASSERT_EQ(outcome.status, 0) << outcome.output;
        EXPECT_EQ(outcome.output, "");
        const SoftwareBitmap expected = Expected(Rect{-2, 3, 30, 25}, settings_);
        DibInfo info{};
        DibBits bits;
        ReadDIB24(expected, info, bits);
        EXPECT_EQ(ReadTestFile(dir_.File(name)), EncodeJpeg(info, bits.get())) << name;
    }
}

TEST_F(TrimCommand, WritesBitmapForEveryOtherName) {
    for (const char* name : {"out.bmp", "out.png", "out", "out.jpg.txt"}) {
        const Outcome outcome =
            RunTrim({dir_.File("in.bmp"), dir_.File(name), "--settings", dir_.File("s.ini"), "--rect", "0,0,39,29"});
        ASSERT_EQ(outcome.status, 0) << outcome.output;
        const auto file = ReadTestFile(dir_.File(name));
        ASSERT_TRUE(file) << name;
        EXPECT_EQ(DecodeBmp(*file), Expected(Rect{0, 0, 39, 29}, settings_).Pixels()) << name;
    }
}

TEST_F(TrimCommand, ABottomUpFileReadInPlaceAndATopDownOneGiveTheSamePicture) {
    // The bottom-up file's rows are the pipeline's buffer where they lie; the top-down one's are
    // copied in reverse order. Both must be the same picture.
    const std::string bottomUp = *ReadTestFile(dir_.File("in.bmp"));
    const size_t offset = 54, stride = DibStride(40);
    std::string topDown = bottomUp;
    const int32_t negative = -30;
    std::memcpy(topDown.data() + 22, &negative, 4);  // little-endian, as the file's fields are
    for (size_t row = 0; row < 30; ++row)
        topDown.replace(offset + row * stride, stride, bottomUp, offset + (29 - row) * stride, stride);
    WriteTestFile(dir_.File("top-down.bmp"), topDown);
    ASSERT_EQ(DecodeBmp(topDown), picture_);
    for (const char* input : {"in.bmp", "top-down.bmp"}) {
        const Outcome outcome =
            RunTrim({dir_.File(input), dir_.File("out.bmp"), "--rect", "-2,3,30,25", "--settings", dir_.File("s.ini")});
        ASSERT_EQ(outcome.status, 0) << outcome.output;
        const auto file = ReadTestFile(dir_.File("out.bmp"));
        ASSERT_TRUE(file) << input;
        EXPECT_EQ(DecodeBmp(*file), Expected(Rect{-2, 3, 30, 25}, settings_).Pixels()) << input;
    }
}

TEST_F(TrimCommand, AMissingSettingsFileGivesTheDefaultsAndAOnePixelRectIsWidened) {
    const Outcome outcome =
        RunTrim({dir_.File("in.bmp"), dir_.File("o.bmp"), "--rect", "39,4,39,10", "--settings", dir_.File("none.ini")});
    ASSERT_EQ(outcome.status, 0) << outcome.output;
    EXPECT_FALSE(std::filesystem::exists(dir_.File("none.ini")));
    // Defaults: no reduction, no effects. The selection becomes columns 39 and 40, the second white.
    const MemoryBitmap out = DecodeBmp(*ReadTestFile(dir_.File("o.bmp")));
    ASSERT_EQ(out.Width(), 2);
    ASSERT_EQ(out.Height(), 7);
    for (int y = 0; y < 7; ++y) {
        EXPECT_EQ(out.Pixel(0, y), picture_.Pixel(39, 4 + y));
        EXPECT_EQ(out.Pixel(1, y), 0xFFFFFFu);
    }
}

TEST_F(TrimCommand, BadArgumentsAndUnreadableInputGiveOneLineAndStatusTwo) {
    WriteTestFile(dir_.File("bad.ini"), "[Trim]\r\nType=0\r\nWidth=2000000000\r\nHeight=1\r\n");
    WriteTestFile(dir_.File("zero.ini"), "[Trim]\r\nScale=0\r\n");
    WriteTestFile(dir_.File("text.bmp"), "not a picture");
    const std::string in = dir_.File("in.bmp");
    const std::string out = dir_.File("x.bmp");
    const std::string ini = dir_.File("s.ini");
    const std::vector<std::vector<std::string>> cases = {
        {},
        {in},
        {in, out, "--settings", ini},
        {in, out, "--rect", "1,2,3,4"},
        {in, out, "--rect", "1,2,3", "--settings", ini},
        {in, out, "--rect", "1,2,3,4,5", "--settings", ini},
        {in, out, "--rect", "a,2,3,4", "--settings", ini},
        {in, out, "--rect", "5,2,3,4", "--settings", ini},
        {in, out, "--rect", "1,2,3,4", "--settings"},
        {in, out, "--rect", "1,2,3,4", "--settings", ini, "--frame"},
        {in, out, "--rect", "1,2,3,4", "--settings", dir_.File("bad.ini")},
        {in, out, "--rect", "1,2,3,4", "--settings", dir_.File("zero.ini")},
        {dir_.File("missing.bmp"), out, "--rect", "1,2,3,4", "--settings", ini},
        {dir_.File("text.bmp"), out, "--rect", "1,2,3,4", "--settings", ini},
        {dir_.Path(), out, "--rect", "1,2,3,4", "--settings", ini},
    };
    for (const auto& args : cases) {
        std::string shown;
        for (const auto& a : args) shown += a + " ";
        const Outcome outcome = RunTrim(args);
        EXPECT_EQ(outcome.status, 2) << shown << "\n" << outcome.output;
        ASSERT_FALSE(outcome.output.empty()) << shown;
        EXPECT_EQ(outcome.output.find('\n'), outcome.output.size() - 1) << shown << "\n" << outcome.output;
        EXPECT_FALSE(std::filesystem::exists(out)) << shown;
    }
}

}  // namespace
