#pragma once
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// The largest settings file or Resource.ini the program reads. Real ones are a few hundred
// bytes; this is thousands of times that and still keeps a hostile file's image (a small
// multiple of its size) far from exhausting a 32-bit process. A larger file is treated like
// one that cannot be read.
inline constexpr size_t kMaxIniFileBytes = 16u * 1024u * 1024u;

// A whole INI file held in memory: read once when constructed, written back as a whole.
// Section and key names match without regard to ASCII letter case; values are trimmed.
// Reading and look-ups take time in proportion to the file's size, and the image stays
// within a small multiple of it: the lines stay in the file's own buffer and only sections,
// the first key line of each name and the values written since are indexed.
//
// Reading never throws. A missing file gives an empty image. An existing file that cannot be
// read completely (locked, access denied, over the size cap, failing part-way) also gives an
// empty image, and ReadFailure() says why; such an image is never written back over the file.
class IniFile {
public:
    explicit IniFile(std::string path, size_t maxBytes = kMaxIniFileBytes);
    // An image of bytes already in memory, not tied to a file (UpdateFile refuses).
    static IniFile FromText(std::string text);

    const std::string& FileName() const { return path_; }
    // The system's reason when the file exists but was not read completely; nothing otherwise.
    const std::optional<std::string>& ReadFailure() const { return readFailure_; }

    // A key line with an empty value gives "", not the default.
    std::string ReadString(std::string_view section, std::string_view key, std::string_view defaultValue) const;
    int32_t ReadInteger(std::string_view section, std::string_view key, int32_t defaultValue) const;
    bool ReadBool(std::string_view section, std::string_view key, bool defaultValue) const;
    bool SectionExists(std::string_view section) const;
    // The keys of a section's key lines, in file order (duplicates included), then the keys
    // written since.
    std::vector<std::string> ReadSectionKeys(std::string_view section) const;

    // Replace the value in place, or append the key at the end of its section (the section
    // is appended to the image when missing).
    void WriteString(std::string_view section, std::string_view key, std::string_view value);
    void WriteInteger(std::string_view section, std::string_view key, int32_t value);
    void WriteBool(std::string_view section, std::string_view key, bool value);

    // The file's text as a write-back produces it: CR LF line ends, one empty line after each section.
    std::string Text() const;
    // Writes Text() over the file it was read from, atomically. Throws AppError, without
    // touching the file, when the file was not read completely.
    void UpdateFile() const;

    // Integer value syntax: optional sign, decimal; or hexadecimal when the text begins with
    // "0x"/"0X" (longer than two characters) or "$" (no sign before either). Nothing when the
    // text is not a 32-bit integer.
    static std::optional<int32_t> ParseInteger(std::string_view text);

private:
    static constexpr uint32_t kNone = UINT32_MAX;
    static constexpr uint32_t kOwnedName = 0x80000000u;  // Section::nameBegin indexes ownedNames_

    // Lines under one header, up to the next header: [begin, end) of text_, on line boundaries.
    struct Span {
        uint32_t begin;
        uint32_t end;
        uint32_t next;  // the section's next span, or kNone
    };
    struct Section {
        uint32_t nameBegin;  // in text_, or kOwnedName | index into ownedNames_
        uint32_t nameLength;
        uint32_t firstSpan;
        uint32_t lastSpan;
    };
    // Table slots keep the low bits of their name's hash, so a probe past other names never
    // has to look into the (cache-cold) file buffer.
    struct SectionSlot {
        uint32_t index = kNone;  // into sections_
        uint32_t hash = 0;
    };
    // The first key line of a name within a section: the offset of its trimmed text in text_.
    struct KeySlot {
        uint32_t section = kNone;
        uint32_t line = kNone;
        uint32_t hash = 0;
    };
    struct AddedKey {
        uint32_t section;
        std::string key;
        std::string value;
    };

    IniFile() = default;
    void Parse();
    std::string_view SectionName(const Section& section) const;
    uint32_t FindSection(std::string_view name) const;
    uint32_t AddSection(uint32_t nameBegin, uint32_t nameLength);
    void InsertSectionSlot(uint32_t index);
    const KeySlot* FindKey(uint32_t section, std::string_view key) const;
    void InsertKeyIfNew(uint32_t section, std::string_view key, uint32_t line);
    std::string_view KeyOfLine(uint32_t line) const;
    std::string_view ValueOfLine(uint32_t line) const;
    std::optional<std::string_view> FindValue(std::string_view section, std::string_view key) const;
    template <class Fn>
    void ForEachLineOf(const Section& section, Fn&& fn) const;

    std::string path_;
    std::optional<std::string> readFailure_;
    bool fromMemory_ = false;
    std::string text_;
    std::deque<Section> sections_;  // a deque: growing never copies what is already there
    std::deque<Span> spans_;
    std::vector<std::string> ownedNames_;
    std::vector<SectionSlot> sectionSlots_;  // open addressing over sections_, power-of-two size
    size_t keyCount_ = 0;
    std::vector<KeySlot> keySlots_;                       // open addressing, power-of-two size
    std::unordered_map<uint32_t, std::string> replaced_;  // line offset -> value written since
    std::vector<AddedKey> added_;                         // keys new to their section, in order
};
