#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>

namespace {

bool HasNonAscii(const std::string& text) {
    for (const char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) return true;
    }
    return false;
}

// Every error a user can see is in the program's language: each text an AppError is made
// with in the program's source begins with (or is) Japanese text, not English.
TEST(ErrorTexts, EveryErrorTextInTheSourceIsJapanese) {
    const std::filesystem::path src = std::filesystem::path(FRAMLET_SOURCE_DIR) / "src";
    // AppError("literal" ...) and AppError(std::string("literal") ...).
    const std::regex made(R"re(AppError\((?:std::string\()?"((?:[^"\\]|\\.)*)")re");
    size_t texts = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(src)) {
        if (!entry.is_regular_file() || entry.path().extension() != ".cpp") continue;
        std::ifstream in(entry.path(), std::ios::binary);
        std::stringstream content;
        content << in.rdbuf();
        const std::string code = content.str();
        for (std::sregex_iterator it(code.begin(), code.end(), made), end; it != end; ++it) {
            ++texts;
            EXPECT_TRUE(HasNonAscii((*it)[1].str()))
                << std::filesystem::relative(entry.path(), src).generic_string() << ": \"" << (*it)[1].str() << "\"";
        }
    }
    EXPECT_GT(texts, 20u);
}

}  // namespace
