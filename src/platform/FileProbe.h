#pragma once
#include <string>

// File and folder existence as a seam, so naming rules can be tested with a fake file system.
class FileProbe {
public:
    virtual ~FileProbe() = default;
    // True only for an existing file (a folder of that name does not count).
    virtual bool FileExists(const std::string& path) const = 0;
    // True only for an existing folder.
    virtual bool DirectoryExists(const std::string& path) const = 0;
};

// The real file system.
const FileProbe& SystemFileProbe();
