// The INI image over arbitrary bytes: parse, read every key every way, write some keys, write
// the image back, parse that again: every value read must survive, and writing back twice
// gives the same text.
#include <fuzzer/FuzzedDataProvider.h>

#include <set>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "platform/AnsiString.h"
#include "settings/IniFile.h"

namespace {

// Section names as the file spells them, found the plain way: every header line, each spelling
// once (reading a section once per repeated header would make the harness itself quadratic).
std::vector<std::string> HeaderNames(std::string_view text) {
    std::vector<std::string> names;
    std::set<std::string_view> seen;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view line = TrimBlanks(text.substr(pos, end - pos));
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            const std::string_view name = TrimBlanks(line.substr(1, line.size() - 2));
            if (seen.insert(name).second) names.emplace_back(name);
        }
        pos = end + 1;
    }
    return names;
}

struct Reading {
    std::string section, key, text;
    int32_t number;
    bool flag;
};

std::vector<Reading> ReadEverything(const IniFile& ini, const std::vector<std::string>& sections) {
    std::vector<Reading> readings;
    for (const std::string& section : sections) {
        FUZZ_CHECK(ini.SectionExists(section));
        for (const std::string& key : ini.ReadSectionKeys(section)) {
            readings.push_back({section, key, ini.ReadString(section, key, "\x01missing"),
                                ini.ReadInteger(section, key, -7), ini.ReadBool(section, key, true)});
            FUZZ_CHECK(readings.back().text != "\x01missing");
            if (readings.size() > 5000) return readings;
        }
    }
    return readings;
}

std::string Name(FuzzedDataProvider& data) {
    static const char* const kNames[] = {"Trim", "trim", "Width", "Option", "k", "K", "message", "fmMain_caption"};
    return kNames[data.ConsumeIntegralInRange<size_t>(0, std::size(kNames) - 1)];
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    FuzzedDataProvider data(bytes, size);
    const size_t writes = data.ConsumeIntegralInRange<size_t>(0, 4);
    struct Write {
        std::string section, key, value;
    };
    std::vector<Write> planned;
    for (size_t i = 0; i < writes; ++i) {
        std::string section = Name(data);
        std::string key = Name(data);
        planned.push_back({section, key, fuzz::StorableValue(data.ConsumeRandomLengthString(40))});
    }
    const std::string text = data.ConsumeRemainingBytesAsString();

    IniFile ini = IniFile::FromText(text);
    std::vector<std::string> sections = HeaderNames(text);
    for (const Write& w : planned) {
        ini.WriteString(w.section, w.key, w.value);
        FUZZ_CHECK(ini.ReadString(w.section, w.key, "\x01") == w.value);
        sections.push_back(w.section);
    }
    const std::vector<Reading> before = ReadEverything(ini, sections);

    const std::string written = ini.Text();
    const IniFile again = IniFile::FromText(written);
    for (const Reading& r : before) {
        FUZZ_CHECK(again.ReadString(r.section, r.key, "\x01missing") == r.text);
        FUZZ_CHECK(again.ReadInteger(r.section, r.key, -7) == r.number);
        FUZZ_CHECK(again.ReadBool(r.section, r.key, true) == r.flag);
    }
    FUZZ_CHECK(again.Text() == written);
    return 0;
}
