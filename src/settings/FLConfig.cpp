#include "settings/FLConfig.h"

#include "platform/AnsiString.h"
#include "platform/AppError.h"
#include "platform/FileSystem.h"
#include "platform/Text.h"

std::string SettingsPathForExecutable() { return ChangeFileExt(ExecutablePath(), ".ini"); }

TFLConfig::TFLConfig() : TFLConfig(SettingsPathForExecutable()) {}

TFLConfig::TFLConfig(const std::string& iniPath) : ini_(std::make_unique<IniFile>(iniPath)) { Load(); }

TFLConfig::~TFLConfig() {
    try {
        Save();
    } catch (const std::exception& error) {
        ReportError(error);
    }
}

void TFLConfig::Load() {
    const IniFile& ini = *ini_;
    const SettingValues defaults;
    for (const SettingKey& k : SettingKeys()) {
        std::visit(
            Overloaded{
                [&](uint8_t SettingValues::*f) {
                    uint8_t& field = values_.*f;
                    if (k.bit) {
                        const bool set = ini.ReadBool(k.section, k.key, (defaults.*f & k.bit) != 0);
                        field = set ? field | k.bit : field & ~k.bit;
                    } else {
                        // Only the low 8 bits of the one-byte enumerations are kept.
                        field = static_cast<uint8_t>(ini.ReadInteger(k.section, k.key, defaults.*f));
                    }
                },
                [&](int32_t SettingValues::*f) { values_.*f = ini.ReadInteger(k.section, k.key, defaults.*f); },
                [&](bool SettingValues::*f) { values_.*f = ini.ReadBool(k.section, k.key, defaults.*f); },
                [&](std::string SettingValues::*f) { values_.*f = ini.ReadString(k.section, k.key, defaults.*f); }},
            k.field);
    }
    dirty_ = false;
}

void TFLConfig::SetTrimType(uint8_t value) { Assign(values_.TrimType, value); }
void TFLConfig::SetWidth(int32_t value) { Assign(values_.Width, value); }
void TFLConfig::SetHeight(int32_t value) { Assign(values_.Height, value); }
void TFLConfig::SetScale(int32_t value) { Assign(values_.Scale, value); }
void TFLConfig::SetEffectFlags(uint8_t value) {
    Assign(values_.EffectFlags, static_cast<uint8_t>(value & (kReverse | kEmphasis)));
}
void TFLConfig::SetReverseType(uint8_t value) { Assign(values_.ReverseType, value); }
void TFLConfig::SetIsFrame(bool value) { Assign(values_.IsFrame, value); }
void TFLConfig::SetFrameSize(int32_t value) { Assign(values_.FrameSize, value); }
void TFLConfig::SetIsDefaultFolder(bool value) { Assign(values_.IsDefaultFolder, value); }
void TFLConfig::SetDefaultFolder(const std::string& value) { Assign(values_.DefaultFolder, value); }
void TFLConfig::SetIsAutoFileName(bool value) { Assign(values_.IsAutoFileName, value); }
void TFLConfig::SetPrefixOfFileName(const std::string& value) { Assign(values_.PrefixOfFileName, value); }
void TFLConfig::SetNumberingStart(int32_t value) { Assign(values_.NumberingStart, value); }
void TFLConfig::SetDefaultFormatType(uint8_t value) { Assign(values_.DefaultFormatType, value); }
void TFLConfig::SetIsNoUseDialog(bool value) { Assign(values_.IsNoUseDialog, value); }

std::optional<std::string> TFLConfig::LoadFailureText() const {
    const auto& failure = ini_->ReadFailure();
    if (!failure) return std::nullopt;
    return "設定ファイル \"" + AnsiToUtf8(FileName()) + "\" を読み込めません。\n" + *failure +
           "\n既定の設定で動作します。設定は保存されません。";
}

void TFLConfig::Save() {
    if (!dirty_ || ini_->ReadFailure()) return;
    IniFile& ini = *ini_;
    for (const SettingKey& k : SettingKeys()) {
        std::visit(Overloaded{[&](uint8_t SettingValues::*f) {
                                  if (k.bit) {
                                      ini.WriteBool(k.section, k.key, (values_.*f & k.bit) != 0);
                                  } else {
                                      ini.WriteInteger(k.section, k.key, values_.*f);
                                  }
                              },
                              [&](int32_t SettingValues::*f) { ini.WriteInteger(k.section, k.key, values_.*f); },
                              [&](bool SettingValues::*f) { ini.WriteBool(k.section, k.key, values_.*f); },
                              [&](std::string SettingValues::*f) { ini.WriteString(k.section, k.key, values_.*f); }},
                   k.field);
    }
    ini.UpdateFile();
    dirty_ = false;
}
