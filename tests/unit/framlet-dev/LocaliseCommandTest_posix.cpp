// framlet-dev localise prints exactly what the program's own localiser makes of a form.
// Its argument handling and message look-ups are checked in tests/cli.
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <cstdlib>

#include "app/MainLayout.h"
#include "localisation/International.h"
#include "localisation/LocalisationTestSupport.h"
#include "settings/OptionLayout.h"

namespace {

struct DevRun {
    int status = -1;
    std::string out;
    std::string err;
};

std::string Quote(const std::string& s) {
    std::string quoted = "'";
    for (const char c : s) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// framlet-dev sits in the build folder, one above the test program.
DevRun FramletDev(const std::vector<std::string>& args, const std::string& workingFolder = ".") {
    const std::string dev = QInternational::ExtractFilePath(ExecutablePath()) + "../framlet-dev";
    EXPECT_TRUE(FileExists(dev)) << dev;
    const TempDir capture;
    std::string command = "cd " + Quote(workingFolder) + " && timeout 60 " + Quote(dev);
    for (const auto& arg : args) command += " " + Quote(arg);
    command += " >" + Quote(capture.File("out")) + " 2>" + Quote(capture.File("err")) + " </dev/null";
    const int raw = std::system(command.c_str());
    DevRun run;
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.out = ReadTestFile(capture.File("out")).value_or("");
    run.err = ReadTestFile(capture.File("err")).value_or("");
    return run;
}

// What the program's own localiser makes of the form, as the console must print it.
std::string Expected(const FormLayout& layout, const std::string& resourceIni) {
    MemoryForm form(layout);
    QInternational localiser(&form);
    localiser.SetFileName(resourceIni);
    localiser.Localise();
    std::string text;
    for (const auto& line : Snapshot(form)) text += AnsiToUtf8(line) + "\n";
    return text;
}

TEST(LocaliseCommand, WithoutAFileEveryPropertyShowsItsDesignText) {
    const TempDir dir;
    for (const FormLayout* layout : {&kMainFormLayout, &kOptionFormLayout}) {
        const DevRun run = FramletDev({"localise", layout->name, dir.File("Resource.ini")});
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.err, "");
        EXPECT_EQ(run.out, Expected(*layout, dir.File("absent.ini")));
    }
    const DevRun run = FramletDev({"localise", "fmMain", dir.File("Resource.ini")});
    EXPECT_EQ(run.out.substr(0, run.out.find('\n')), "fmMain.caption=Framlet 1.4");
    EXPECT_NE(run.out.find("\nbtnSave.caption=保存\nbtnSave.hint=\n"), std::string::npos);
    EXPECT_NE(run.out.find("\nedtWidth.hint=\nedtWidth.text=150\n"), std::string::npos);
    EXPECT_EQ(run.out.find("dlgSave"), std::string::npos);
}

TEST(LocaliseCommand, PrintsTheLocalisedTextsAsUtf8) {
    const TempDir dir;
    const std::string path = dir.File("Resource.ini");
    WriteTestFile(path, Ansi("[FMOPTION]\r\nfmOption_caption= 設定 \r\ncmbDefaultFormatType_items_1=BMP 画像\r\n"
                             "edtDefaultFolder_hint=フォルダ\r\nbtnOk_caption=\r\n"));
    const DevRun run = FramletDev({"localise", "fmOption", path});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, Expected(kOptionFormLayout, path));
    for (const char* line : {"fmOption.caption=設定\n", "\ncmbDefaultFormatType.items_0=JPEG\n",
                             "\ncmbDefaultFormatType.items_1=BMP 画像\n", "\nedtDefaultFolder.hint=フォルダ\n",
                             "\nbtnOk.caption=OK(&O)\n"}) {
        EXPECT_NE(run.out.find(line), std::string::npos) << line;
    }
}

}  // namespace
