#include "settings/IniFile.h"

#include <algorithm>
#include <random>

#include "platform/AnsiString.h"
#include "platform/AppError.h"
#include "platform/FileSystem.h"

namespace {

unsigned char FoldAscii(unsigned char c) { return (c >= 'a' && c <= 'z') ? static_cast<unsigned char>(c - 32) : c; }

// Names that SameTextAscii calls equal hash alike: every ASCII letter is folded (a folded
// trail byte only costs a probe that SameTextAscii then rejects). The seed differs from run to
// run, so a file cannot be built to make every name collide.
uint64_t HashName(std::string_view name) {
    static const uint64_t seed = [] {
        std::random_device device;
        return (static_cast<uint64_t>(device()) << 32) ^ device();
    }();
    uint64_t h = 0xcbf29ce484222325ull ^ seed;
    for (const char c : name) {
        h ^= FoldAscii(static_cast<unsigned char>(c));
        h *= 0x100000001b3ull;
    }
    h ^= h >> 33;
    h *= 0xff51afd7ed558ccdull;
    h ^= h >> 33;
    return h;
}

uint64_t HashKey(uint32_t section, std::string_view key) {
    return HashName(key) ^ (static_cast<uint64_t>(section) * 0x9e3779b97f4a7c15ull);
}

// The end of the line that starts at pos: the first CR or LF, or the end of the text.
size_t LineEnd(std::string_view text, size_t pos, size_t end) {
    while (pos < end && text[pos] != '\r' && text[pos] != '\n') ++pos;
    return pos;
}

// The start of the next line after a line that ends at pos: CR LF, LF or a lone CR.
size_t NextLine(std::string_view text, size_t pos, size_t end) {
    if (pos < end && text[pos] == '\r') ++pos;
    if (pos < end && text[pos] == '\n') ++pos;
    return pos;
}

bool IsHeader(std::string_view line) { return line.size() >= 2 && line.front() == '[' && line.back() == ']'; }

}  // namespace

IniFile::IniFile(std::string path, size_t maxBytes) : path_(std::move(path)) {
    FileReadResult read = ReadWholeFile(path_, std::min<size_t>(maxBytes, UINT32_MAX - 1));
    if (read.outcome == FileReadResult::Outcome::Failed) {
        readFailure_ = std::move(read.failure);
        return;
    }
    text_ = std::move(read.bytes);
    Parse();
}

IniFile IniFile::FromText(std::string text) {
    IniFile ini;
    ini.fromMemory_ = true;
    // Offsets are 32-bit: an image from memory keeps at most the first 4 GB - 2.
    if (text.size() >= UINT32_MAX) text.resize(UINT32_MAX - 1);
    ini.text_ = std::move(text);
    ini.Parse();
    return ini;
}

void IniFile::Parse() {
    const std::string_view text = text_;
    const size_t size = text.size();
    uint32_t current = kNone;
    uint32_t currentSpan = kNone;
    size_t pos = 0;
    while (pos < size) {
        const size_t lineStart = pos;
        const size_t end = LineEnd(text, pos, size);
        pos = NextLine(text, end, size);
        const std::string_view line = TrimBlanks(text.substr(lineStart, end - lineStart));
        if (line.empty() || line.front() == ';') continue;
        if (IsHeader(line)) {
            const std::string_view name = TrimBlanks(line.substr(1, line.size() - 2));
            // A section that appears again continues the first one of its name.
            current = FindSection(name);
            if (current == kNone) {
                current =
                    AddSection(static_cast<uint32_t>(name.data() - text.data()), static_cast<uint32_t>(name.size()));
            }
            currentSpan = kNone;
            continue;
        }
        if (current == kNone) continue;  // lines before the first section are not kept
        if (currentSpan == kNone) {
            currentSpan = static_cast<uint32_t>(spans_.size());
            spans_.push_back(Span{static_cast<uint32_t>(lineStart), 0, kNone});
            Section& section = sections_[current];
            if (section.lastSpan == kNone) {
                section.firstSpan = currentSpan;
            } else {
                spans_[section.lastSpan].next = currentSpan;
            }
            section.lastSpan = currentSpan;
        }
        spans_[currentSpan].end = static_cast<uint32_t>(pos);
        const size_t equals = line.find('=');
        if (equals != std::string_view::npos) {
            InsertKeyIfNew(current, TrimBlanks(line.substr(0, equals)),
                           static_cast<uint32_t>(line.data() - text.data()));
        }
    }
}

std::string_view IniFile::SectionName(const Section& section) const {
    if (section.nameBegin & kOwnedName) return ownedNames_[section.nameBegin & ~kOwnedName];
    return std::string_view(text_).substr(section.nameBegin, section.nameLength);
}

uint32_t IniFile::FindSection(std::string_view name) const {
    if (sectionSlots_.empty()) return kNone;
    const uint64_t hash = HashName(name);
    const size_t mask = sectionSlots_.size() - 1;
    for (size_t i = hash & mask;; i = (i + 1) & mask) {
        const SectionSlot& slot = sectionSlots_[i];
        if (slot.index == kNone) return kNone;
        if (slot.hash == static_cast<uint32_t>(hash) && SameTextAscii(SectionName(sections_[slot.index]), name)) {
            return slot.index;
        }
    }
}

uint32_t IniFile::AddSection(uint32_t nameBegin, uint32_t nameLength) {
    const auto index = static_cast<uint32_t>(sections_.size());
    sections_.push_back(Section{nameBegin, nameLength, kNone, kNone});
    // Keep the table at most three quarters full; growing moves every slot once.
    if (sections_.size() * 4 > sectionSlots_.size() * 3) {
        std::vector<SectionSlot> old(std::max<size_t>(16, sectionSlots_.size() * 2));
        old.swap(sectionSlots_);
        const size_t mask = sectionSlots_.size() - 1;
        for (const SectionSlot& slot : old) {
            if (slot.index == kNone) continue;
            size_t i = slot.hash & mask;
            while (sectionSlots_[i].index != kNone) i = (i + 1) & mask;
            sectionSlots_[i] = slot;
        }
    }
    InsertSectionSlot(index);
    return index;
}

void IniFile::InsertSectionSlot(uint32_t index) {
    const uint32_t hash = static_cast<uint32_t>(HashName(SectionName(sections_[index])));
    const size_t mask = sectionSlots_.size() - 1;
    size_t i = hash & mask;
    while (sectionSlots_[i].index != kNone) i = (i + 1) & mask;
    sectionSlots_[i] = SectionSlot{index, hash};
}

std::string_view IniFile::KeyOfLine(uint32_t line) const {
    const std::string_view text = text_;
    const size_t end = LineEnd(text, line, text.size());
    const std::string_view whole = text.substr(line, end - line);
    return TrimBlanks(whole.substr(0, whole.find('=')));
}

std::string_view IniFile::ValueOfLine(uint32_t line) const {
    const std::string_view text = text_;
    const size_t end = LineEnd(text, line, text.size());
    const std::string_view whole = text.substr(line, end - line);
    const size_t equals = whole.find('=');
    return TrimBlanks(whole.substr(equals + 1));
}

const IniFile::KeySlot* IniFile::FindKey(uint32_t section, std::string_view key) const {
    if (keySlots_.empty()) return nullptr;
    const uint64_t hash = HashKey(section, key);
    const size_t mask = keySlots_.size() - 1;
    for (size_t i = hash & mask;; i = (i + 1) & mask) {
        const KeySlot& slot = keySlots_[i];
        if (slot.line == kNone) return nullptr;
        if (slot.hash == static_cast<uint32_t>(hash) && slot.section == section &&
            SameTextAscii(KeyOfLine(slot.line), key)) {
            return &slot;
        }
    }
}

void IniFile::InsertKeyIfNew(uint32_t section, std::string_view key, uint32_t line) {
    if (FindKey(section, key)) return;  // the first key line of a name wins
    if ((keyCount_ + 1) * 4 > keySlots_.size() * 3) {
        std::vector<KeySlot> old(std::max<size_t>(16, keySlots_.size() * 2));
        old.swap(keySlots_);
        const size_t mask = keySlots_.size() - 1;
        for (const KeySlot& slot : old) {
            if (slot.line == kNone) continue;
            size_t i = slot.hash & mask;
            while (keySlots_[i].line != kNone) i = (i + 1) & mask;
            keySlots_[i] = slot;
        }
    }
    const uint64_t hash = HashKey(section, key);
    const size_t mask = keySlots_.size() - 1;
    size_t i = hash & mask;
    while (keySlots_[i].line != kNone) i = (i + 1) & mask;
    keySlots_[i] = KeySlot{section, line, static_cast<uint32_t>(hash)};
    ++keyCount_;
}

std::optional<std::string_view> IniFile::FindValue(std::string_view sectionName, std::string_view key) const {
    const uint32_t section = FindSection(sectionName);
    if (section == kNone) return std::nullopt;
    if (const KeySlot* slot = FindKey(section, key)) {
        if (const auto found = replaced_.find(slot->line); found != replaced_.end()) return found->second;
        return ValueOfLine(slot->line);
    }
    for (const AddedKey& added : added_) {
        if (added.section == section && SameTextAscii(added.key, key)) return added.value;
    }
    return std::nullopt;
}

std::string IniFile::ReadString(std::string_view section, std::string_view key, std::string_view defaultValue) const {
    return std::string(FindValue(section, key).value_or(defaultValue));
}

int32_t IniFile::ReadInteger(std::string_view section, std::string_view key, int32_t defaultValue) const {
    const auto value = FindValue(section, key);
    if (!value) return defaultValue;
    return ParseInteger(*value).value_or(defaultValue);
}

bool IniFile::ReadBool(std::string_view section, std::string_view key, bool defaultValue) const {
    return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

bool IniFile::SectionExists(std::string_view section) const { return FindSection(section) != kNone; }

template <class Fn>
void IniFile::ForEachLineOf(const Section& section, Fn&& fn) const {
    const std::string_view text = text_;
    for (uint32_t s = section.firstSpan; s != kNone; s = spans_[s].next) {
        const Span& span = spans_[s];
        size_t pos = span.begin;
        while (pos < span.end) {
            const size_t lineStart = pos;
            const size_t end = LineEnd(text, pos, span.end);
            pos = NextLine(text, end, span.end);
            const std::string_view line = TrimBlanks(text.substr(lineStart, end - lineStart));
            if (line.empty() || line.front() == ';') continue;
            fn(line, static_cast<uint32_t>(line.data() - text.data()));
        }
    }
}

std::vector<std::string> IniFile::ReadSectionKeys(std::string_view sectionName) const {
    std::vector<std::string> keys;
    const uint32_t section = FindSection(sectionName);
    if (section == kNone) return keys;
    ForEachLineOf(sections_[section], [&](std::string_view line, uint32_t) {
        const size_t equals = line.find('=');
        if (equals != std::string_view::npos) keys.emplace_back(TrimBlanks(line.substr(0, equals)));
    });
    for (const AddedKey& added : added_) {
        if (added.section == section) keys.push_back(added.key);
    }
    return keys;
}

void IniFile::WriteString(std::string_view sectionName, std::string_view key, std::string_view value) {
    uint32_t section = FindSection(sectionName);
    if (section == kNone) {
        ownedNames_.emplace_back(sectionName);
        section = AddSection(kOwnedName | static_cast<uint32_t>(ownedNames_.size() - 1), 0);
    }
    if (const KeySlot* slot = FindKey(section, key)) {
        replaced_[slot->line] = std::string(value);
        return;
    }
    for (AddedKey& added : added_) {
        if (added.section == section && SameTextAscii(added.key, key)) {
            added.value = std::string(value);
            return;
        }
    }
    added_.push_back(AddedKey{section, std::string(key), std::string(value)});
}

void IniFile::WriteInteger(std::string_view section, std::string_view key, int32_t value) {
    WriteString(section, key, std::to_string(value));
}

void IniFile::WriteBool(std::string_view section, std::string_view key, bool value) {
    WriteString(section, key, value ? "1" : "0");
}

std::string IniFile::Text() const {
    // Keys written since reading, grouped by section in the order they were added.
    std::unordered_map<uint32_t, std::vector<const AddedKey*>> addedBySection;
    for (const AddedKey& added : added_) addedBySection[added.section].push_back(&added);

    std::string text;
    text.reserve(text_.size() + 64);
    for (uint32_t index = 0; index < sections_.size(); ++index) {
        const Section& section = sections_[index];
        text += '[';
        text += SectionName(section);
        text += "]\r\n";
        ForEachLineOf(section, [&](std::string_view line, uint32_t offset) {
            const size_t equals = line.find('=');
            if (equals == std::string_view::npos) {
                text += line;
            } else {
                text += TrimBlanks(line.substr(0, equals));
                text += '=';
                const auto found = replaced_.find(offset);
                text +=
                    found != replaced_.end() ? std::string_view(found->second) : TrimBlanks(line.substr(equals + 1));
            }
            text += "\r\n";
        });
        if (const auto found = addedBySection.find(index); found != addedBySection.end()) {
            for (const AddedKey* added : found->second) {
                text += added->key;
                text += '=';
                text += added->value;
                text += "\r\n";
            }
        }
        text += "\r\n";
    }
    return text;
}

void IniFile::UpdateFile() const {
    if (readFailure_) {
        throw AppError(WriteFailureText(path_, "読み込めなかったファイルは上書きしません。\n" + *readFailure_));
    }
    if (fromMemory_) throw AppError("メモリ上の INI イメージには書き込むファイルがありません");
    ReplaceFileAtomically(path_, Text());
}

std::optional<int32_t> IniFile::ParseInteger(std::string_view text) {
    text = TrimBlanks(text);
    bool negative = false;
    bool hasSign = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        hasSign = true;
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
    // Only text that begins with "0x" or "$" is hexadecimal: "-0x10" and "-$FF" are not numbers.
    if (base == 16 && hasSign) return std::nullopt;
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
        return static_cast<int32_t>(static_cast<uint32_t>(magnitude));
    }
    if (negative) {
        if (magnitude > 0x80000000ull) return std::nullopt;
        return static_cast<int32_t>(-static_cast<int64_t>(magnitude));
    }
    if (magnitude > 0x7FFFFFFFull) return std::nullopt;
    return static_cast<int32_t>(magnitude);
}
