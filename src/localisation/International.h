#pragma once
#include <string>

#include "localisation/Components.h"

class IniFile;

// Replaces a form's texts from Resource.ini once the form has been created. The form creates
// one in its constructor; the localiser chains itself into the form's creation event, so the
// form's own creation handler runs first and the texts are replaced after it.
//
// Section FileName, the form's name + "_caption" sets the form's caption; then, for each owned
// control in design order: name + "_hint" its hint, and name + "_text" for an edit box, name +
// "_text" and name + "_items_N" (existing items only) for a combo box, name + "_caption" for
// any other control. A missing file, key or blank value leaves the design text.
class QInternational {
public:
    // owner: the component that owns the localiser. It acts only when the owner is a form.
    explicit QInternational(LocalisableComponent* owner);
    // As above, with relative file names taken from executableFolder instead of the running
    // executable's folder.
    QInternational(LocalisableComponent* owner, std::string executableFolder);
    QInternational(const QInternational&) = delete;
    QInternational& operator=(const QInternational&) = delete;
    // The form's creation handler keeps pointing here: the form must not raise its creation
    // event again after the localiser is gone (neither form does).
    ~QInternational() = default;

    // The localisation file; by default the executable's folder followed by "Resource.ini".
    const std::string& FileName() const { return fileName_; }
    void SetFileName(std::string value) { fileName_ = std::move(value); }
    // The section to read; by default the owner's name.
    const std::string& Section() const { return section_; }
    void SetSection(std::string value) { section_ = std::move(value); }

    // The localiser's own component name; unnamed by default. Renaming carries Section along
    // when it equalled the old name, unless the owner is a control still being loaded.
    const std::string& Name() const { return name_; }
    void SetName(const std::string& newName);

    // fileName unchanged unless it begins with "."; then taken relative to baseFolder and
    // expanded to a full path.
    static std::string ResolveFileName(const std::string& baseFolder, const std::string& fileName);

    // The folder of a path with its trailing delimiter ("" when the path has no folder).
    static std::string ExtractFilePath(const std::string& path);

private:
    void FormCreate(LocalisableForm& sender);
    void Localise(const IniFile& ini);
    std::string Value(const IniFile& ini, const std::string& key) const;

    LocalisableComponent* owner_;
    LocalisableForm* form_ = nullptr;
    LocalisableForm::CreateHandler previousCreate_;
    std::string fileName_;
    std::string section_;
    std::string name_;
    std::string executableFolder_;
};
