// framlet-dev select --settings FILE.ini --picture W,H SCRIPT
//
// Replays pointer input on a W x H test picture through the main window's own routing and
// prints the selection after every line. SCRIPT is a file or - for standard input; its lines:
//   down X Y | move X Y | up X Y | ratio | clear | capture
// Blank lines are skipped. The whole script is read and checked before anything runs, so a
// malformed line gives only its one-line error (exit status 2).
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "DevCommand.h"
#include "platform/MemoryBitmap.h"
#include "platform/SoftwareCanvas.h"
#include "selection/SelectArea.h"
#include "selection/SelectionRouting.h"
#include "settings/FLConfig.h"

namespace {

enum class Verb { Down, Move, Up, Ratio, Clear, Capture };

struct Step {
    Verb verb;
    bool hasPoint;
    int32_t x = 0;
    int32_t y = 0;
};

// One script line through the main window's routing; the picture is the canvas's own.
void RunStep(const Step& step, TSelectArea& area, Canvas& canvas, const TFLConfig& settings, MemoryBitmap& picture,
             const MemoryBitmap& pattern) {
    switch (step.verb) {
        case Verb::Down: SelectionMouseDown(area, step.x, step.y, canvas, settings); break;
        case Verb::Move: SelectionMouseMove(area, step.x, step.y, canvas, settings); break;
        case Verb::Up: SelectionMouseUp(area, step.x, step.y, canvas, settings); break;
        case Verb::Ratio: area.ApplyRatio(canvas, settings); break;
        case Verb::Clear: area.Clear(canvas); break;
        case Verb::Capture:
            // A new capture replaces the picture, so the old frame is dropped, not erased.
            area.SetState(TSelectArea::kStateNone);
            picture = pattern;
            break;
    }
}

// Every pixel differs from its neighbours in all three channels, so any stray inversion shows.
void FillPattern(MemoryBitmap& picture) {
    for (int y = 0; y < picture.Height(); ++y) {
        for (int x = 0; x < picture.Width(); ++x) {
            const uint32_t blue = static_cast<uint32_t>(x * 7 + y * 13) & 255;
            const uint32_t green = static_cast<uint32_t>(x * 3 + y * 5) & 255;
            const uint32_t red = static_cast<uint32_t>(x + y) & 255;
            picture.SetPixel(x, y, (red << 16) | (green << 8) | blue);
        }
    }
}

long long CountChanged(const MemoryBitmap& picture, const MemoryBitmap& pattern) {
    long long changed = 0;
    for (int y = 0; y < picture.Height(); ++y) {
        const uint32_t* a = picture.Row(y);
        const uint32_t* b = pattern.Row(y);
        for (int x = 0; x < picture.Width(); ++x) changed += a[x] != b[x];
    }
    return changed;
}

std::vector<Step> ParseScript(std::istream& in) {
    std::vector<Step> steps;
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::istringstream words(line);
        std::vector<std::string> tokens;
        for (std::string word; words >> word;) tokens.push_back(word);
        if (tokens.empty()) continue;
        const std::string where = "line " + std::to_string(number) + ": ";
        const std::string& verb = tokens[0];
        Step step{};
        if (verb == "down" || verb == "move" || verb == "up") {
            if (tokens.size() != 3) throw UsageError(where + "expected \"" + verb + " X Y\", got \"" + line + "\"");
            step.verb = verb == "down" ? Verb::Down : verb == "move" ? Verb::Move : Verb::Up;
            step.hasPoint = true;
            try {
                step.x = ParseIntArgument(tokens[1], "X");
                step.y = ParseIntArgument(tokens[2], "Y");
            } catch (const UsageError& error) {
                throw UsageError(where + error.what());
            }
        } else if (verb == "ratio" || verb == "clear" || verb == "capture") {
            if (tokens.size() != 1)
                throw UsageError(where + "\"" + verb + "\" takes no arguments, got \"" + line + "\"");
            step.verb = verb == "ratio" ? Verb::Ratio : verb == "clear" ? Verb::Clear : Verb::Capture;
            step.hasPoint = false;
        } else {
            throw UsageError(where + "unknown command \"" + verb + "\"");
        }
        steps.push_back(step);
    }
    return steps;
}

std::string Box(const Rect& r) {
    return std::to_string(r.Left) + "," + std::to_string(r.Top) + "," + std::to_string(r.Right) + "," +
           std::to_string(r.Bottom);
}

int Run(const std::vector<std::string>& args) {
    std::string settingsPath, scriptPath;
    int width = -1, height = -1;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--settings" || args[i] == "--picture") {
            if (i + 1 >= args.size()) throw UsageError(args[i] + " needs a value");
            const std::string& value = args[++i];
            if (args[i - 1] == "--settings") {
                settingsPath = value;
            } else {
                const size_t comma = value.find(',');
                if (comma == std::string::npos) throw UsageError("--picture needs W,H, got \"" + value + "\"");
                width = ParseIntArgument(value.substr(0, comma), "picture width");
                height = ParseIntArgument(value.substr(comma + 1), "picture height");
                if (width < 0 || height < 0) throw UsageError("--picture needs a size of at least 0,0");
            }
        } else if (scriptPath.empty() && (args[i] == "-" || args[i].rfind("--", 0) != 0)) {
            scriptPath = args[i];
        } else {
            throw UsageError("unexpected argument \"" + args[i] + "\"");
        }
    }
    if (settingsPath.empty() || width < 0 || scriptPath.empty()) {
        throw UsageError("usage: select --settings FILE.ini --picture W,H SCRIPT");
    }

    std::vector<Step> steps;
    if (scriptPath == "-") {
        steps = ParseScript(std::cin);
    } else {
        std::ifstream file(scriptPath, std::ios::binary);
        if (!file) throw UsageError("cannot read the script \"" + scriptPath + "\"");
        steps = ParseScript(file);
    }

    const TFLConfig settings(settingsPath);
    MemoryBitmap pattern(width, height);
    FillPattern(pattern);
    MemoryBitmap picture = pattern;
    SoftwareCanvas canvas(picture);
    TSelectArea area;

    for (const Step& step : steps) {
        RunStep(step, area, canvas, settings, picture, pattern);
        const int hit = step.hasPoint ? area.HitTest(step.x, step.y) : TSelectArea::kHitNothing;
        std::printf("State=%d Rect=%s Anchor=%d,%d DragKind=%d Hit=%d Changed=%lld\n", area.State,
                    Box(area.Rect).c_str(), area.Anchor.x, area.Anchor.y, area.DragKind, hit,
                    CountChanged(picture, pattern));
    }
    std::string grips = "Grips=";
    for (size_t i = 0; i < area.Grips.size(); ++i) grips += (i ? " " : "") + Box(area.Grips[i]);
    std::printf("%s\n", grips.c_str());
    std::fflush(stdout);
    return 0;
}

const DevCommandRegistrar registrar({"select", "--settings FILE.ini --picture W,H SCRIPT", Run});

}  // namespace
