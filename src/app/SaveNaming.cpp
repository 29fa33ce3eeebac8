#include "app/SaveNaming.h"

#include <cstdio>

#include "platform/AnsiString.h"
#include "settings/FLConfig.h"

bool CommandGuardPasses(int viewWidth, int viewHeight, const TFLConfig& config) {
    return viewHeight > 0 && viewWidth > 0 && config.Height() > 0 && config.Width() > 0 && config.Scale() > 0;
}

bool IsValidPrefix(std::string_view prefix) {
    for (const char c : prefix) {
        switch (c) {
            case '"':
            case '*':
            case '/':
            case '<':
            case '>':
            case '?':
            case '|': return false;
            default: break;
        }
    }
    return true;
}

std::string NormaliseInitialDir(std::string_view folder) {
    const size_t delimiter = LastPathDelimiter(folder);
    if (folder.size() > 1 && delimiter == folder.size() - 1 && folder[folder.size() - 1] == '\\' &&
        folder[folder.size() - 2] != ':') {
        folder.remove_suffix(1);
    }
    return std::string(folder);
}

bool IsJpegFileName(std::string_view name) {
    std::string ext = ExtractFileExt(name);
    for (char& c : ext) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return ext == ".jpg" || ext == ".jpeg";
}

namespace {
std::string NumberedName(const std::string& folder, const std::string& prefix, int number, const std::string& ext) {
    char digits[16];
    std::snprintf(digits, sizeof digits, "%4.4d", number);
    return (folder.empty() ? std::string() : folder + "\\") + prefix + digits + "." + ext;
}
}  // namespace

SaveDialogRequest PrepareSaveFileName(TFLConfig& config, const FileProbe& probe) {
    SaveDialogRequest request;
    if (config.IsDefaultFolder()) {
        if (!probe.DirectoryExists(config.DefaultFolder())) config.SetDefaultFolder(".");
        request.InitialDir = NormaliseInitialDir(config.DefaultFolder());
    }
    if (config.DefaultFormatType() == 0) {
        request.DefaultExt = "jpg";
        request.FilterIndex = 1;
    } else {
        request.DefaultExt = "bmp";
        request.FilterIndex = 3;
    }
    bool proposedExists = false;
    if (config.IsAutoFileName()) {
        if (!IsValidPrefix(config.PrefixOfFileName())) config.SetPrefixOfFileName("");
        if (!request.InitialDir.empty()) {
            // No counter is kept: every save looks for the first free number again.
            for (int n = config.NumberingStart(); n <= 9999; ++n) {
                request.FileName = NumberedName(request.InitialDir, config.PrefixOfFileName(), n, request.DefaultExt);
                proposedExists = probe.FileExists(request.FileName);
                if (!proposedExists) break;
            }
        } else {
            request.FileName = NumberedName("", config.PrefixOfFileName(), 1, request.DefaultExt);
        }
    }
    request.ShowDialog =
        !(config.IsNoUseDialog() && config.IsDefaultFolder() && !request.FileName.empty() && !proposedExists);
    return request;
}
