#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A whole INI file held in memory: read once when constructed, written back as a whole.
// Section and key names match without regard to ASCII letter case; values are trimmed.
// Reading never fails: a missing or unreadable file, or any bytes at all, give an image
// from which every look-up that finds nothing returns its default.
class IniFile {
public:
    explicit IniFile(std::string path);

    const std::string& FileName() const { return path_; }

    // A key line with an empty value gives "", not the default.
    std::string ReadString(std::string_view section, std::string_view key, std::string_view defaultValue) const;
    int32_t ReadInteger(std::string_view section, std::string_view key, int32_t defaultValue) const;
    bool ReadBool(std::string_view section, std::string_view key, bool defaultValue) const;
    bool SectionExists(std::string_view section) const;
    // The keys of a section's key lines, in file order (duplicates included).
    std::vector<std::string> ReadSectionKeys(std::string_view section) const;

    // Replace the value in place, or append the key at the end of its section (the section
    // is appended to the image when missing).
    void WriteString(std::string_view section, std::string_view key, std::string_view value);
    void WriteInteger(std::string_view section, std::string_view key, int32_t value);
    void WriteBool(std::string_view section, std::string_view key, bool value);

    // The file's text as a write-back produces it: CR LF line ends, one empty line after each section.
    std::string Text() const;
    // Writes Text() over the file it was read from, atomically. Throws AppError.
    void UpdateFile() const;

    // Integer value syntax: optional sign, decimal, or hexadecimal after "0x"/"0X" (longer
    // than two characters) or "$". Nothing when the text is not a 32-bit integer.
    static std::optional<int32_t> ParseInteger(std::string_view text);

private:
    struct Line {
        std::string key;    // key lines only
        std::string value;  // key lines: the value; other lines: the whole trimmed line
        bool isKey = false;
    };
    struct Section {
        std::string name;
        std::vector<Line> lines;
    };

    void Parse(std::string_view text);
    const Section* FindSection(std::string_view name) const;
    Section* FindSection(std::string_view name);
    const std::string* FindValue(std::string_view section, std::string_view key) const;

    std::string path_;
    std::vector<Section> sections_;
};
