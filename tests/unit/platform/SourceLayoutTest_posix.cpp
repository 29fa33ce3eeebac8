#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>

#include "settings/SettingValues.h"

namespace {

// A file may include windows.h only when it builds for Windows alone: it lives in src/win32
// or src/hook, or its name ends in _win. Everything else must build natively.
TEST(SourceLayout, OnlyWindowsFilesIncludeWindowsHeaders) {
    const std::filesystem::path src = std::filesystem::path(FRAMLET_SOURCE_DIR) / "src";
    const std::regex include(R"(^\s*#\s*include\s*[<"](windows|winuser|wingdi|commdlg|shellapi|shlobj)\.h[>"])",
                             std::regex::icase);
    size_t portable = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(src)) {
        if (!entry.is_regular_file()) continue;
        const std::string relative = std::filesystem::relative(entry.path(), src).generic_string();
        const std::string stem = entry.path().stem().string();
        const bool windowsOnly = relative.rfind("win32/", 0) == 0 || relative.rfind("hook/", 0) == 0 ||
                                 (stem.size() > 4 && stem.substr(stem.size() - 4) == "_win");
        if (windowsOnly) continue;
        ++portable;
        std::ifstream in(entry.path());
        std::string line;
        while (std::getline(in, line)) {
            EXPECT_FALSE(std::regex_search(line, include)) << relative << ": " << line;
        }
    }
    EXPECT_GT(portable, 10u);
}

// The toolkit knows nothing of the program: a file in src/win32 includes headers of the toolkit
// itself and of the core's platform and forms parts only, never one of app/, imaging/,
// selection/, settings/, localisation/ or hook/.
TEST(SourceLayout, TheToolkitIncludesNothingOfTheProgram) {
    const std::filesystem::path win32 = std::filesystem::path(FRAMLET_SOURCE_DIR) / "src" / "win32";
    const std::regex include(R"re(^\s*#\s*include\s*"([^"]*)")re");
    const std::regex allowed(R"((win32|platform|forms)/[^/]+)");
    size_t files = 0;
    size_t includes = 0;
    for (const auto& entry : std::filesystem::directory_iterator(win32)) {
        ++files;
        std::ifstream in(entry.path());
        std::string line;
        std::smatch match;
        while (std::getline(in, line)) {
            if (!std::regex_search(line, match, include)) continue;
            ++includes;
            EXPECT_TRUE(std::regex_match(match[1].str(), allowed)) << entry.path().filename() << ": " << line;
        }
    }
    EXPECT_GT(files, 5u);
    EXPECT_GT(includes, files);
}

std::string ReadAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Sources stay small enough to read in one sitting, and each settings key is named in one
// place only (the settings table), so a renamed key cannot leave a stale copy behind.
TEST(SourceLayout, SourcesAreShortAndNameEachSettingsKeyOnce) {
    const std::filesystem::path src = std::filesystem::path(FRAMLET_SOURCE_DIR) / "src";
    std::map<std::string, int> keyCounts;
    for (const SettingKey& key : SettingKeys()) keyCounts["\"" + std::string(key.key) + "\""] = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(src)) {
        if (!entry.is_regular_file()) continue;
        const std::string text = ReadAll(entry.path());
        std::istringstream lines(text);
        std::string line;
        int nonBlank = 0;
        while (std::getline(lines, line)) {
            if (line.find_first_not_of(" \t\r") != std::string::npos) ++nonBlank;
        }
        EXPECT_LE(nonBlank, 500) << entry.path();
        for (auto& [quoted, count] : keyCounts) {
            for (size_t at = text.find(quoted); at != std::string::npos; at = text.find(quoted, at + 1)) ++count;
        }
    }
    for (const auto& [quoted, count] : keyCounts) EXPECT_EQ(count, 1) << quoted;
}

}  // namespace
