#include "localisation/MsgResource.h"

#include "platform/FileSystem.h"
#include "platform/Text.h"
#include "settings/IniFile.h"

namespace {

bool IsBlank(char16_t c) { return c <= u' '; }

std::u16string Trim(std::u16string text) {
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && IsBlank(text[begin])) ++begin;
    while (end > begin && IsBlank(text[end - 1])) --end;
    return text.substr(begin, end - begin);
}

}  // namespace

QMsgResource::QMsgResource(const std::u16string& path) {
    const std::string ansiPath = Utf16ToAnsi(path);
    if (FileExists(ansiPath)) {
        ini_ = std::make_unique<IniFile>(ExpandFileName(ansiPath));
        // A file that cannot be read completely answers like a missing one: placeholders.
        fileFound_ = !ini_->ReadFailure();
        if (!fileFound_) ini_.reset();
    }
    if (!fileFound_) missingPath_ = path;
}

QMsgResource::~QMsgResource() = default;

std::u16string QMsgResource::GetMsg(const std::u16string& section, const std::u16string& key) const {
    if (!fileFound_) return u"Massage File is not found. (" + missingPath_ + u")";
    const std::string value = ini_->ReadString(Utf16ToAnsi(section), Utf16ToAnsi(key), "");
    if (!value.empty()) return Trim(AnsiToUtf16(value));
    return u"Massage is not found. (" + section + u" : " + key + u")";
}
