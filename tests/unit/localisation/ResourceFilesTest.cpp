// The shipped Resource.ini files against the forms' layout tables: a key with a typo, the
// wrong suffix for its component's kind, or a translation that misses a text fails here.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <regex>
#include <set>

#include "LocalisationTestSupport.h"
#include "app/MainLayout.h"
#include "localisation/International.h"
#include "localisation/MsgResource.h"
#include "settings/OptionLayout.h"

namespace {

const FormLayout* const kForms[] = {&kMainFormLayout, &kOptionFormLayout};
const char* const kMessageKeys[] = {"fmMain_Close_1", "fmMain_Close_2", "fmMain_Close_3"};

// Every key a form accepts, in design order, with the design text it replaces (UTF-8).
std::vector<std::pair<std::string, std::string>> AcceptedKeys(const FormLayout& form) {
    std::vector<std::pair<std::string, std::string>> keys{{std::string(form.name) + "_caption", form.caption}};
    for (const auto& row : form.controls) {
        const std::string name = row.name;
        switch (row.kind) {
            case ControlKind::SaveDialog:
            case ControlKind::PrinterSetupDialog:
            case ControlKind::ThemeManager: break;
            case ControlKind::Edit:
                keys.emplace_back(name + "_hint", row.hint);
                keys.emplace_back(name + "_text", row.text);
                break;
            case ControlKind::ComboBox: {
                keys.emplace_back(name + "_hint", row.hint);
                keys.emplace_back(name + "_text", row.text);
                std::string_view items = row.items;
                for (int i = 0; !items.empty(); ++i) {
                    const size_t end = items.find('\n');
                    keys.emplace_back(name + "_items_" + std::to_string(i), std::string(items.substr(0, end)));
                    items = end == std::string_view::npos ? std::string_view() : items.substr(end + 1);
                }
                break;
            }
            default:
                keys.emplace_back(name + "_caption", row.text);
                keys.emplace_back(name + "_hint", row.hint);
                break;
        }
    }
    return keys;
}

std::string Trim(const std::string& s) {
    const size_t begin = s.find_first_not_of(" \t");
    if (begin == std::string::npos) return {};
    return s.substr(begin, s.find_last_not_of(" \t") - begin + 1);
}

// A Resource.ini as a translator reads it: its active sections and key lines, and the key list
// of its comment block ("; [section]" and "; key=value" lines).
struct ResourceFile {
    explicit ResourceFile(const std::string& relativePath) : path(SourceFile(relativePath)) {
        const auto content = ReadTestFile(path);
        if (!content) throw std::runtime_error("cannot read " + path);
        bytes = *content;
        const std::regex listedSection(R"(^;\s*\[(\w+)\]$)");
        const std::regex listedKey(R"(^;\s*([A-Za-z][A-Za-z0-9_]*)=(.*)$)");
        std::string section;
        std::string listSection;
        size_t pos = 0;
        while (pos < bytes.size()) {
            size_t end = bytes.find("\r\n", pos);
            if (end == std::string::npos) end = bytes.size();
            const std::string line = Trim(bytes.substr(pos, end - pos));
            pos = end + 2;
            std::smatch m;
            if (line.empty()) continue;
            if (line[0] == ';') {
                if (std::regex_match(line, m, listedSection)) {
                    listSection = m[1];
                } else if (std::regex_match(line, m, listedKey)) {
                    listed[listSection].emplace_back(m[1], m[2]);
                }
            } else if (line.front() == '[' && line.back() == ']') {
                section = line.substr(1, line.size() - 2);
                sections.push_back(section);
            } else {
                const size_t equals = line.find('=');
                if (equals == std::string::npos) {
                    ADD_FAILURE() << path << ": a line without \"=\": " << line;
                    continue;
                }
                active[section].emplace_back(Trim(line.substr(0, equals)), Trim(line.substr(equals + 1)));
            }
        }
    }

    std::set<std::string> ActiveKeys(const std::string& section) const {
        std::set<std::string> keys;
        if (const auto found = active.find(section); found != active.end()) {
            for (const auto& [key, value] : found->second) keys.insert(key);
        }
        return keys;
    }

    std::string path;
    std::string bytes;
    std::vector<std::string> sections;
    std::map<std::string, std::vector<std::pair<std::string, std::string>>> active;
    std::map<std::string, std::vector<std::pair<std::string, std::string>>> listed;
};

const ResourceFile& Japanese() {
    static const ResourceFile file("resources/Resource.ini");
    return file;
}
const ResourceFile& English() {
    static const ResourceFile file("resources/en/Resource.ini");
    return file;
}

bool IsAscii(std::string_view s) {
    return std::all_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

TEST(ShippedResourceIni, TheJapaneseFileIsTheShiftJisFormOfItsUtf8Source) {
    const auto source = ReadTestFile(SourceFile("resources/Resource.ini.utf8"));
    ASSERT_TRUE(source.has_value());
    std::string expected;
    size_t pos = 0;
    while (pos < source->size()) {
        size_t end = source->find('\n', pos);
        if (end == std::string::npos) end = source->size();
        expected += Utf8ToAnsi(source->substr(pos, end - pos)) + "\r\n";
        pos = end + 1;
    }
    EXPECT_EQ(Japanese().bytes, expected) << "run tools/make-resource-ini";
    // Every character survived the code page: converting back gives the source again.
    std::string back = AnsiToUtf8(Japanese().bytes);
    back.erase(std::remove(back.begin(), back.end(), '\r'), back.end());
    EXPECT_EQ(back, *source);
}

TEST(ShippedResourceIni, TheEnglishFileIsPlainAsciiWithCrLf) {
    EXPECT_TRUE(IsAscii(English().bytes));
    EXPECT_EQ(English().bytes.find('\n'), English().bytes.find("\r\n") + 1);
    size_t lone = 0;
    for (size_t i = 0; i < English().bytes.size(); ++i) {
        if (English().bytes[i] == '\n' && (i == 0 || English().bytes[i - 1] != '\r')) ++lone;
    }
    EXPECT_EQ(lone, 0u);
}

TEST(ShippedResourceIni, TheCommentBlockListsEveryKeyEachFormAccepts) {
    for (const ResourceFile* file : {&Japanese(), &English()}) {
        for (const FormLayout* form : kForms) {
            std::vector<std::string> expected;
            for (const auto& [key, design] : AcceptedKeys(*form)) expected.push_back(key);
            std::vector<std::string> listed;
            const auto found = file->listed.find(form->name);
            ASSERT_NE(found, file->listed.end()) << file->path << " lists no keys of " << form->name;
            for (const auto& [key, value] : found->second) listed.push_back(key);
            EXPECT_EQ(listed, expected) << file->path << " [" << form->name << "]";
        }
    }
}

TEST(ShippedResourceIni, TheJapaneseKeyListShowsTheDesignTexts) {
    for (const FormLayout* form : kForms) {
        const auto accepted = AcceptedKeys(*form);
        const auto& listed = Japanese().listed.at(form->name);
        ASSERT_EQ(listed.size(), accepted.size());
        for (size_t i = 0; i < listed.size(); ++i) {
            EXPECT_EQ(AnsiToUtf8(listed[i].second), accepted[i].second) << listed[i].first;
        }
    }
}

TEST(ShippedResourceIni, EveryKeyNamesAComponentOfItsFormWithTheRightSuffix) {
    for (const ResourceFile* file : {&Japanese(), &English()}) {
        EXPECT_EQ(file->sections, (std::vector<std::string>{"fmMain", "fmOption", "message"})) << file->path;
        for (const FormLayout* form : kForms) {
            std::set<std::string> accepted;
            for (const auto& [key, design] : AcceptedKeys(*form)) accepted.insert(key);
            std::set<std::string> seen;
            for (const auto& [key, value] : file->active.at(form->name)) {
                EXPECT_TRUE(accepted.count(key)) << file->path << " [" << form->name << "] " << key;
                EXPECT_TRUE(seen.insert(key).second) << file->path << " repeats " << key;
                EXPECT_FALSE(value.empty()) << file->path << " " << key;
            }
        }
        std::vector<std::string> messageKeys;
        for (const auto& [key, value] : file->active.at("message")) {
            messageKeys.push_back(key);
            EXPECT_FALSE(value.empty()) << file->path << " " << key;
        }
        EXPECT_EQ(messageKeys, std::vector<std::string>(std::begin(kMessageKeys), std::end(kMessageKeys)))
            << file->path;
    }
}

TEST(ShippedResourceIni, NoFileOverridesTheSettingsShownInTheMainWindowsEditBoxes) {
    for (const ResourceFile* file : {&Japanese(), &English()}) {
        for (const auto& row : kMainFormLayout.controls) {
            if (row.kind != ControlKind::Edit) continue;
            EXPECT_FALSE(file->ActiveKeys("fmMain").count(std::string(row.name) + "_text")) << file->path;
        }
    }
}

TEST(ShippedResourceIni, TheEnglishFileCoversEveryJapaneseKeyAndEveryJapaneseDesignText) {
    for (const std::string section : {"fmMain", "fmOption", "message"}) {
        const auto english = English().ActiveKeys(section);
        for (const auto& key : Japanese().ActiveKeys(section)) {
            EXPECT_TRUE(english.count(key)) << "[" << section << "] " << key;
        }
    }
    for (const FormLayout* form : kForms) {
        const auto english = English().ActiveKeys(form->name);
        for (const auto& [key, design] : AcceptedKeys(*form)) {
            if (IsAscii(design)) continue;
            EXPECT_TRUE(english.count(key)) << "[" << form->name << "] " << key << " (" << design << ")";
        }
    }
}

std::vector<std::string> LocaliseWith(const FormLayout& layout, const std::string& path) {
    MemoryForm form(layout);
    QInternational localiser(&form);
    localiser.SetFileName(path);
    localiser.Localise();
    return Snapshot(form);
}

TEST(ShippedResourceIni, TheEnglishFileLeavesNoJapaneseTextInEitherForm) {
    for (const FormLayout* form : kForms) {
        for (const auto& line : LocaliseWith(*form, English().path)) EXPECT_TRUE(IsAscii(line)) << AnsiToUtf8(line);
    }
}

TEST(ShippedResourceIni, TheJapaneseFileKeepsTheDesignTextsAndOnlyAddsHints) {
    for (const FormLayout* form : kForms) {
        MemoryForm design(*form);
        const auto changes = Changes(Snapshot(design), LocaliseWith(*form, Japanese().path));
        EXPECT_EQ(changes.size(), Japanese().ActiveKeys(form->name).size());
        for (const auto& line : changes) EXPECT_NE(line.find(".hint="), std::string::npos) << AnsiToUtf8(line);
    }
}

TEST(ShippedResourceIni, BothFilesGiveTheThreeCloseConfirmationTexts) {
    for (const ResourceFile* file : {&Japanese(), &English()}) {
        const QMsgResource messages(AnsiToUtf16(file->path));
        for (const char* key : kMessageKeys) {
            const std::u16string text = messages.GetMsg(u"message", Utf8ToUtf16(key));
            EXPECT_EQ(text.find(u"Massage"), std::u16string::npos) << file->path << " " << key;
            EXPECT_FALSE(text.empty());
        }
    }
    const QMsgResource japanese(AnsiToUtf16(Japanese().path));
    EXPECT_EQ(u"Framlet" + japanese.GetMsg(u"message", u"fmMain_Close_1"), Utf8ToUtf16("Framletを終了します。"));
    EXPECT_EQ(japanese.GetMsg(u"message", u"fmMain_Close_2"), Utf8ToUtf16("よろしいですか？"));
}

}  // namespace
