#include "localisation/International.h"

#include "platform/AnsiString.h"
#include "platform/FileSystem.h"
#include "settings/IniFile.h"

QInternational::QInternational(LocalisableComponent* owner)
    : QInternational(owner, ExtractFilePath(ExecutablePath())) {}

QInternational::QInternational(LocalisableComponent* owner, std::string executableFolder)
    : owner_(owner), executableFolder_(std::move(executableFolder)) {
    fileName_ = executableFolder_ + "Resource.ini";
    if (owner_) section_ = owner_->Name();
    form_ = dynamic_cast<LocalisableForm*>(owner_);
}

std::string QInternational::ExtractFilePath(const std::string& path) {
    const size_t delimiter = LastPathDelimiter(path);
    return delimiter == std::string::npos ? std::string() : path.substr(0, delimiter + 1);
}

std::string QInternational::ResolveFileName(const std::string& baseFolder, const std::string& fileName) {
    if (fileName.empty() || fileName.front() != '.') return fileName;
    std::string folder = ExpandFileName(baseFolder);
    // A folder ending in the trail byte 0x5C of a double-byte character does not end in a
    // backslash: LastPathDelimiter knows the difference.
    if (folder.empty() || LastPathDelimiter(folder) != folder.size() - 1) folder += PathDelimiter();
    return ExpandFileName(folder + fileName);
}

void QInternational::Localise() {
    if (!form_) return;
    const std::string path = ResolveFileName(executableFolder_, fileName_);
    if (!FileExists(path)) return;
    const IniFile ini(path);
    if (ini.ReadFailure()) return;  // unreadable or too large: the design texts stay
    Apply(ini);
}

std::string QInternational::Value(const IniFile& ini, const std::string& key) const {
    return std::string(TrimBlanks(ini.ReadString(section_, key, "")));
}

void QInternational::Apply(const IniFile& ini) {
    if (const std::string caption = Value(ini, form_->Name() + "_caption"); !caption.empty())
        form_->SetCaption(caption);
    for (size_t i = 0; i < form_->ComponentCount(); ++i) {
        LocalisableComponent& component = form_->Components(i);
        const ComponentKind kind = component.Kind();
        if (kind == ComponentKind::NotAControl) continue;
        const std::string name = component.Name();
        if (const std::string hint = Value(ini, name + "_hint"); !hint.empty()) component.SetHint(hint);
        if (kind == ComponentKind::Edit) {
            if (const std::string text = Value(ini, name + "_text"); !text.empty()) component.SetText(text);
        } else if (kind == ComponentKind::ComboBox) {
            if (const std::string text = Value(ini, name + "_text"); !text.empty()) component.SetText(text);
            for (int item = 0; item < component.ItemCount(); ++item) {
                const std::string value = Value(ini, name + "_items_" + std::to_string(item));
                if (!value.empty()) component.SetItem(item, value);
            }
        } else {
            if (const std::string caption = Value(ini, name + "_caption"); !caption.empty())
                component.SetCaption(caption);
        }
    }
}
