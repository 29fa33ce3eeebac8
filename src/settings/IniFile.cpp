#include "settings/IniFile.h"

#include "platform/AnsiString.h"
#include "platform/FileSystem.h"

IniFile::IniFile(std::string path) : path_(std::move(path)) {
    if (const auto bytes = ReadFileBytes(path_)) Parse(*bytes);
}

void IniFile::Parse(std::string_view text) {
    Section* current = nullptr;
    size_t pos = 0;
    while (pos < text.size()) {
        // A line ends at CR LF, LF or a lone CR.
        size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view line = TrimBlanks(text.substr(pos, end - pos));
        pos = end;
        if (pos < text.size() && text[pos] == '\r') ++pos;
        if (pos < text.size() && text[pos] == '\n') ++pos;

        if (line.empty() || line.front() == ';') continue;
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            const std::string_view name = TrimBlanks(line.substr(1, line.size() - 2));
            // A section that appears twice continues the first; looking up by key finds the first line.
            current = FindSection(name);
            if (!current) {
                sections_.push_back(Section{std::string(name), {}});
                current = &sections_.back();
            }
            continue;
        }
        if (!current) continue;  // lines before the first section are not kept
        const size_t equals = line.find('=');
        if (equals == std::string_view::npos) {
            current->lines.push_back(Line{{}, std::string(line), false});
        } else {
            current->lines.push_back(Line{std::string(TrimBlanks(line.substr(0, equals))),
                                          std::string(TrimBlanks(line.substr(equals + 1))), true});
        }
    }
}

const IniFile::Section* IniFile::FindSection(std::string_view name) const {
    for (const auto& section : sections_) {
        if (SameTextAscii(section.name, name)) return &section;
    }
    return nullptr;
}

IniFile::Section* IniFile::FindSection(std::string_view name) {
    return const_cast<Section*>(static_cast<const IniFile*>(this)->FindSection(name));
}

const std::string* IniFile::FindValue(std::string_view section, std::string_view key) const {
    const Section* found = FindSection(section);
    if (!found) return nullptr;
    for (const auto& line : found->lines) {
        if (line.isKey && SameTextAscii(line.key, key)) return &line.value;
    }
    return nullptr;
}

std::string IniFile::ReadString(std::string_view section, std::string_view key, std::string_view defaultValue) const {
    const std::string* value = FindValue(section, key);
    return value ? *value : std::string(defaultValue);
}

int32_t IniFile::ReadInteger(std::string_view section, std::string_view key, int32_t defaultValue) const {
    const std::string* value = FindValue(section, key);
    if (!value) return defaultValue;
    return ParseInteger(*value).value_or(defaultValue);
}

bool IniFile::ReadBool(std::string_view section, std::string_view key, bool defaultValue) const {
    return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

bool IniFile::SectionExists(std::string_view section) const { return FindSection(section) != nullptr; }

std::vector<std::string> IniFile::ReadSectionKeys(std::string_view section) const {
    std::vector<std::string> keys;
    if (const Section* found = FindSection(section)) {
        for (const auto& line : found->lines) {
            if (line.isKey) keys.push_back(line.key);
        }
    }
    return keys;
}

void IniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
    Section* target = FindSection(section);
    if (!target) {
        sections_.push_back(Section{std::string(section), {}});
        target = &sections_.back();
    }
    for (auto& line : target->lines) {
        if (line.isKey && SameTextAscii(line.key, key)) {
            line.value = std::string(value);
            return;
        }
    }
    target->lines.push_back(Line{std::string(key), std::string(value), true});
}

void IniFile::WriteInteger(std::string_view section, std::string_view key, int32_t value) {
    WriteString(section, key, std::to_string(value));
}

void IniFile::WriteBool(std::string_view section, std::string_view key, bool value) {
    WriteString(section, key, value ? "1" : "0");
}

std::string IniFile::Text() const {
    std::string text;
    for (const auto& section : sections_) {
        text += '[';
        text += section.name;
        text += "]\r\n";
        for (const auto& line : section.lines) {
            if (line.isKey) {
                text += line.key;
                text += '=';
            }
            text += line.value;
            text += "\r\n";
        }
        text += "\r\n";
    }
    return text;
}

void IniFile::UpdateFile() const { ReplaceFileAtomically(path_, Text()); }

std::optional<int32_t> IniFile::ParseInteger(std::string_view text) {
    text = TrimBlanks(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    unsigned base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    } else if (!text.empty() && text.front() == '$') {
        base = 16;
        text.remove_prefix(1);
    }
    if (text.empty()) return std::nullopt;
    uint64_t magnitude = 0;
    for (const char c : text) {
        unsigned digit;
        if (c >= '0' && c <= '9') {
            digit = static_cast<unsigned>(c - '0');
        } else if (base == 16 && c >= 'a' && c <= 'f') {
            digit = static_cast<unsigned>(c - 'a' + 10);
        } else if (base == 16 && c >= 'A' && c <= 'F') {
            digit = static_cast<unsigned>(c - 'A' + 10);
        } else {
            return std::nullopt;
        }
        magnitude = magnitude * base + digit;
        if (magnitude > 0xFFFFFFFFull) return std::nullopt;
    }
    if (base == 16) {
        // Eight hexadecimal digits name a 32-bit pattern: $FFFFFFFF is -1.
        const auto bits = static_cast<uint32_t>(magnitude);
        const auto value = static_cast<int32_t>(bits);
        return negative ? static_cast<int32_t>(0u - bits) : value;
    }
    if (negative) {
        if (magnitude > 0x80000000ull) return std::nullopt;
        return static_cast<int32_t>(-static_cast<int64_t>(magnitude));
    }
    if (magnitude > 0x7FFFFFFFull) return std::nullopt;
    return static_cast<int32_t>(magnitude);
}
