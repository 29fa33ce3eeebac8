#pragma once
#include <string>

#include "localisation/Components.h"

class IniFile;

// Replaces a form's texts from Resource.ini. The form creates one in its constructor and calls
// Localise at the end of its creation handler, so that a text of the file wins over whatever
// the handler put into a control.
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
    ~QInternational() = default;

    // Reads the file (when it exists) and replaces the owner's texts. Does nothing when the
    // owner is not a form.
    void Localise();

    // The localisation file; by default the executable's folder followed by "Resource.ini".
    const std::string& FileName() const { return fileName_; }
    void SetFileName(std::string value) { fileName_ = std::move(value); }
    // The section to read; by default the owner's name.
    const std::string& Section() const { return section_; }
    void SetSection(std::string value) { section_ = std::move(value); }

    // fileName unchanged unless it begins with "."; then taken relative to baseFolder and
    // expanded to a full path.
    static std::string ResolveFileName(const std::string& baseFolder, const std::string& fileName);

    // The folder of a path with its trailing delimiter ("" when the path has no folder).
    static std::string ExtractFilePath(const std::string& path);

private:
    void Apply(const IniFile& ini);
    std::string Value(const IniFile& ini, const std::string& key) const;

    LocalisableComponent* owner_;
    LocalisableForm* form_ = nullptr;
    std::string fileName_;
    std::string section_;
    std::string executableFolder_;
};
