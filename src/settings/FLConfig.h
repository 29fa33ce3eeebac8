#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <type_traits>

#include "settings/IniFile.h"
#include "settings/SettingValues.h"

// Every persistent setting of the program, kept in an INI file beside the executable.
// Fields are read through the accessors of the same names and changed only through the
// setters, which mark the store Dirty only when the value really changes. Save writes the
// file only when Dirty is set. The store checks no ranges.
class TFLConfig {
public:
    static constexpr uint8_t kReverse = TrimSettings::kReverse;
    static constexpr uint8_t kEmphasis = TrimSettings::kEmphasis;

    // Over the executable's path with its extension changed to ".ini".
    TFLConfig();
    // Over any settings file (tests, the developer console).
    explicit TFLConfig(const std::string& iniPath);
    // Saves; a failure goes to the application's standard error handler.
    ~TFLConfig();
    TFLConfig(const TFLConfig&) = delete;
    TFLConfig& operator=(const TFLConfig&) = delete;

    bool Dirty() const { return dirty_; }
    const SettingValues& Values() const { return values_; }
    const TrimSettings& Trim() const { return values_; }
    uint8_t TrimType() const { return values_.TrimType; }
    int32_t Width() const { return values_.Width; }
    int32_t Height() const { return values_.Height; }
    int32_t Scale() const { return values_.Scale; }
    uint8_t EffectFlags() const { return values_.EffectFlags; }
    uint8_t ReverseType() const { return values_.ReverseType; }
    bool IsFrame() const { return values_.IsFrame; }
    int32_t FrameSize() const { return values_.FrameSize; }
    bool IsDefaultFolder() const { return values_.IsDefaultFolder; }
    const std::string& DefaultFolder() const { return values_.DefaultFolder; }
    bool IsAutoFileName() const { return values_.IsAutoFileName; }
    const std::string& PrefixOfFileName() const { return values_.PrefixOfFileName; }
    int32_t NumberingStart() const { return values_.NumberingStart; }
    uint8_t DefaultFormatType() const { return values_.DefaultFormatType; }
    bool IsNoUseDialog() const { return values_.IsNoUseDialog; }

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
    // Any field by its place in the values (the developer console sets fields by name).
    template <class T>
    void Set(T SettingValues::*field, const std::type_identity_t<T>& value) {
        if constexpr (std::is_same_v<T, uint8_t>) {
            if (field == &SettingValues::EffectFlags) return SetEffectFlags(value);
        }
        Assign(values_.*field, value);
    }

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
    SettingValues values_;
    std::unique_ptr<IniFile> ini_;
};

// The settings file of the running executable: its path with the extension changed to ".ini".
std::string SettingsPathForExecutable();
