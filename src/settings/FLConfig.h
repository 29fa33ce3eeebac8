#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "settings/IniFile.h"

// Every persistent setting of the program, kept in an INI file beside the executable.
// Fields are read through the accessors of the same names and changed only through the
// setters, which mark the store Dirty only when the value really changes. Save writes the
// file only when Dirty is set. The store checks no ranges.
class TFLConfig {
public:
    enum EffectBits : uint8_t { kReverse = 1, kEmphasis = 2 };

    // Over the executable's path with its extension changed to ".ini".
    TFLConfig();
    // Over any settings file (tests, the developer console).
    explicit TFLConfig(const std::string& iniPath);
    // Saves; a failure goes to the application's standard error handler.
    ~TFLConfig();
    TFLConfig(const TFLConfig&) = delete;
    TFLConfig& operator=(const TFLConfig&) = delete;

    bool Dirty() const { return dirty_; }
    uint8_t TrimType() const { return trimType_; }
    int32_t Width() const { return width_; }
    int32_t Height() const { return height_; }
    int32_t Scale() const { return scale_; }
    uint8_t EffectFlags() const { return effectFlags_; }
    uint8_t ReverseType() const { return reverseType_; }
    bool IsFrame() const { return isFrame_; }
    int32_t FrameSize() const { return frameSize_; }
    bool IsDefaultFolder() const { return isDefaultFolder_; }
    const std::string& DefaultFolder() const { return defaultFolder_; }
    bool IsAutoFileName() const { return isAutoFileName_; }
    const std::string& PrefixOfFileName() const { return prefixOfFileName_; }
    int32_t NumberingStart() const { return numberingStart_; }
    uint8_t DefaultFormatType() const { return defaultFormatType_; }
    bool IsNoUseDialog() const { return isNoUseDialog_; }

    void SetTrimType(uint8_t value);
    void SetWidth(int32_t value);
    void SetHeight(int32_t value);
    void SetScale(int32_t value);
    void SetEffectFlags(uint8_t value);  // only bits 0 and 1 exist
    void SetReverseType(uint8_t value);
    void SetIsFrame(bool value);
    void SetFrameSize(int32_t value);
    void SetIsDefaultFolder(bool value);
    void SetDefaultFolder(const std::string& value);
    void SetIsAutoFileName(bool value);
    void SetPrefixOfFileName(const std::string& value);
    void SetNumberingStart(int32_t value);
    void SetDefaultFormatType(uint8_t value);
    void SetIsNoUseDialog(bool value);

    // Writes every key and then the whole file, only when Dirty. Throws AppError; Dirty then
    // stays set so that a later Save tries again. Does nothing when the settings file exists
    // but could not be read completely: the user's file is never written over from defaults.
    void Save();

    // When the settings file exists but could not be read completely: the text that tells the
    // user (naming the file and the reason) that the settings run on defaults and will not be
    // saved. Nothing otherwise.
    std::optional<std::string> LoadFailureText() const;

    const std::string& FileName() const { return ini_->FileName(); }

private:
    void Load();
    template <class T>
    void Assign(T& field, const T& value) {
        if (field != value) {
            field = value;
            dirty_ = true;
        }
    }

    bool dirty_ = false;
    uint8_t trimType_ = 3;
    int32_t width_ = 150;
    int32_t height_ = 180;
    int32_t scale_ = 100;
    uint8_t effectFlags_ = 0;
    uint8_t reverseType_ = 1;
    bool isFrame_ = false;
    int32_t frameSize_ = 1;
    bool isDefaultFolder_ = false;
    std::string defaultFolder_ = ".";
    bool isAutoFileName_ = false;
    std::string prefixOfFileName_ = "Capture_";
    int32_t numberingStart_ = 1;
    uint8_t defaultFormatType_ = 0;
    bool isNoUseDialog_ = false;
    std::unique_ptr<IniFile> ini_;
};

// The settings file of the running executable: its path with the extension changed to ".ini".
std::string SettingsPathForExecutable();
