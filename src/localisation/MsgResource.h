#pragma once
#include <memory>
#include <string>

class IniFile;

// Message texts from Resource.ini, looked up by section and key. Whether the file exists is
// decided once, by the constructor, which also reads the whole file: later changes to the disk
// are never seen. A failed look-up answers with a text that names what is missing, so a wrong
// or absent file shows in the message itself; nothing is ever thrown or reported.
class QMsgResource {
public:
    explicit QMsgResource(const std::u16string& path);
    ~QMsgResource();
    QMsgResource(const QMsgResource&) = delete;
    QMsgResource& operator=(const QMsgResource&) = delete;

    // The value, trimmed of blanks and control characters; section and key match without
    // regard to letter case. The file is read in the ANSI code page and converted.
    std::u16string GetMsg(const std::u16string& section, const std::u16string& key) const;

private:
    std::unique_ptr<IniFile> ini_;
    std::u16string missingPath_;
    bool fileFound_ = false;
};
