// framlet-dev select, run as a program: its output format is an external interface.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "selection/SelectionTestSupport.h"

namespace {

struct ToolRun {
    int status;
    std::string out, err;
};

std::string Quote(const std::string& s) { return "'" + s + "'"; }

// The console is built beside the test program's folder.
std::string DevTool() {
    return (std::filesystem::canonical("/proc/self/exe").parent_path().parent_path() / "framlet-dev").string();
}

ToolRun RunSelect(const TempDir& dir, const std::string& arguments, const std::string& stdinText = "") {
    const std::string out = dir.File("out.txt"), err = dir.File("err.txt"), in = dir.File("in.txt");
    WriteTestFile(in, stdinText);
    const std::string command = "timeout 60 " + Quote(DevTool()) + " select " + arguments + " <" + Quote(in) + " >" +
                                Quote(out) + " 2>" + Quote(err);
    const int raw = std::system(command.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadTestFile(out).value_or(""), ReadTestFile(err).value_or("")};
}

// One output line, with Changed worked out from the frame rules on the command's test picture.
std::string Line(int state, Rect r, Point anchor, int dragKind, int hit, const MemoryBitmap& pattern) {
    long long changed = 0;
    if (state != TSelectArea::kStateNone) {
        const MemoryBitmap framed = WithFrame(pattern, r, state == TSelectArea::kStateSelected);
        for (int y = 0; y < pattern.Height(); ++y) {
            for (int x = 0; x < pattern.Width(); ++x) changed += framed.Pixel(x, y) != pattern.Pixel(x, y);
        }
    }
    std::ostringstream line;
    line << "State=" << state << " Rect=" << r.Left << "," << r.Top << "," << r.Right << "," << r.Bottom
         << " Anchor=" << anchor.x << "," << anchor.y << " DragKind=" << dragKind << " Hit=" << hit
         << " Changed=" << changed << "\n";
    return line.str();
}

std::string Settings(const TempDir& dir, int trimType) {
    const std::string path = dir.File("settings.ini");
    WriteTestFile(path, "[Trim]\r\nType=" + std::to_string(trimType) + "\r\nWidth=150\r\nHeight=180\r\n");
    return path;
}

TEST(SelectCommand, ReplaysDrawingAdjustingAndClearingLineByLine) {
    TempDir dir;
    const std::string script = dir.File("script.txt");
    WriteTestFile(script, "down 5 5\nmove 15 10\nup 15 10\nmove 10 7\ndown 10 7\nmove 0 0\nup -10 -3\nratio\nclear\n");
    const ToolRun run = RunSelect(dir, "--settings " + Quote(Settings(dir, 2)) + " --picture 40,30 " + Quote(script));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    const MemoryBitmap p = SelectionPattern(40, 30);
    const std::string expected =
        Line(1, {5, 5, 5, 5}, {5, 5}, 0, 8, p) +      // a point: nothing drawn yet
        Line(1, {5, 5, 15, 10}, {5, 5}, 0, 8, p) +    // no grips while drawing
        Line(2, {5, 5, 15, 10}, {5, 5}, 0, 4, p) +    // the corner lies in grip 4's box too: 4 wins over 5
        Line(2, {5, 5, 15, 10}, {5, 5}, 0, 6, p) +    // a move while selected only hit-tests
        Line(3, {5, 7, 15, 10}, {10, 10}, 7, 6, p) +  // grip 6 pressed: its side jumps to the point
        Line(3, {5, 0, 15, 10}, {10, 10}, 7, 9, p) +
        Line(2, {5, -3, 15, 10}, {10, 10}, 7, 9, p) +  // past the picture's top edge, not clamped
        Line(2, {5, -3, 15, 10}, {10, 10}, 7, 9, p) +  // no ratio outside proportion mode
        Line(0, {5, -3, 15, 10}, {10, 10}, 7, 9, p) +  // cleared: the picture is the pattern again
        "Grips=2,-6,8,0 2,0,8,6 2,7,8,13 12,-6,18,0 12,0,18,6 12,7,18,13 7,-6,13,0 7,7,13,13\n";
    EXPECT_EQ(run.out, expected);
}

TEST(SelectCommand, ACaptureDropsTheSelectionAndResetsThePictureAndStdinWorks) {
    TempDir dir;
    const ToolRun run = RunSelect(dir, "--settings " + Quote(Settings(dir, 0)) + " --picture 320,240 -",
                                  "down 100 100\r\nmove 250 150\n\nup 250 150\ncapture\ndown 5 5\n");
    ASSERT_EQ(run.status, 0) << run.err;
    const MemoryBitmap p = SelectionPattern(320, 240);
    const std::string expected =
        Line(1, {100, 100, 100, 100}, {100, 100}, 0, 8, p) +
        Line(1, {100, 100, 250, 280}, {100, 100}, 0, 8, p) +  // fitted to 150 x 180: the height grows
        Line(2, {100, 100, 250, 280}, {100, 100}, 0, 8, p) + Line(0, {100, 100, 250, 280}, {100, 100}, 0, 9, p) +
        Line(1, {5, 5, 5, 5}, {5, 5}, 0, 8, p) +
        "Grips=97,97,103,103 97,187,103,193 97,277,103,283 247,97,253,103 247,187,253,193 247,277,253,283 "
        "172,97,178,103 172,277,178,283\n";
    EXPECT_EQ(run.out, expected);
}

TEST(SelectCommand, AMalformedLineGivesOneLineNamingItAndStatusTwo) {
    TempDir dir;
    const std::string settings = Quote(Settings(dir, 2));
    const struct {
        const char* script;
        int line;
    } cases[] = {
        {"down 5\n", 1},  {"down 1 2\nmove 1 2 3\n", 2},       {"down 1 x\n", 1},           {"\n\njump 1 2\n", 3},
        {"ratio 3\n", 1}, {"down 1 2\nup 99999999999 1\n", 2}, {"down 1 2\nDOWN 1 2\n", 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.script);
        const ToolRun run = RunSelect(dir, "--settings " + settings + " --picture 10,10 -", c.script);
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.out, "") << "nothing runs before the whole script is read";
        EXPECT_EQ(run.err.rfind("framlet-dev select: line " + std::to_string(c.line) + ": ", 0), 0u) << run.err;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    }
}

TEST(SelectCommand, BadArgumentsGiveStatusTwo) {
    TempDir dir;
    const std::string settings = Quote(Settings(dir, 2));
    const std::vector<std::string> argumentLists = {
        "--picture 10,10 -",                              // no settings
        "--settings " + settings + " -",                  // no picture
        "--settings " + settings + " --picture 10 -",     // no height
        "--settings " + settings + " --picture 10,-1 -",  // negative size
        "--settings " + settings + " --picture 10,10",    // no script
        "--settings " + settings + " --picture 10,10 " + Quote(dir.File("missing.txt")),
    };
    for (const std::string& arguments : argumentLists) {
        const ToolRun run = RunSelect(dir, arguments);
        EXPECT_EQ(run.status, 2) << arguments << ": " << run.err;
        EXPECT_EQ(run.out, "");
    }
}

}  // namespace
