#include "settings/FLConfig.h"

#include "platform/AnsiString.h"
#include "platform/AppError.h"
#include "platform/FileSystem.h"
#include "platform/Text.h"

namespace {
constexpr char kTrim[] = "Trim";
constexpr char kEffect[] = "Effect";
constexpr char kOption[] = "Option";
}  // namespace

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
    // Only the low 8 bits of the one-byte enumerations are kept.
    trimType_ = static_cast<uint8_t>(ini.ReadInteger(kTrim, "Type", 3));
    width_ = ini.ReadInteger(kTrim, "Width", 150);
    height_ = ini.ReadInteger(kTrim, "Height", 180);
    scale_ = ini.ReadInteger(kTrim, "Scale", 100);
    effectFlags_ = 0;
    if (ini.ReadBool(kEffect, "Reverse", false)) effectFlags_ |= kReverse;
    if (ini.ReadBool(kEffect, "Emphasis", false)) effectFlags_ |= kEmphasis;
    reverseType_ = static_cast<uint8_t>(ini.ReadInteger(kEffect, "ReverseType", 1));
    isFrame_ = ini.ReadBool(kEffect, "IsFrame", false);
    frameSize_ = ini.ReadInteger(kEffect, "FrameSize", 1);
    isDefaultFolder_ = ini.ReadBool(kOption, "IsDefaultFolder", false);
    defaultFolder_ = ini.ReadString(kOption, "DefaultFolder", ".");
    isAutoFileName_ = ini.ReadBool(kOption, "IsAutoFileName", false);
    prefixOfFileName_ = ini.ReadString(kOption, "PrefixOfFileName", "Capture_");
    numberingStart_ = ini.ReadInteger(kOption, "NumberingStart", 1);
    defaultFormatType_ = static_cast<uint8_t>(ini.ReadInteger(kOption, "DefaultFormatType", 0));
    isNoUseDialog_ = ini.ReadBool(kOption, "IsNoUseDialog", false);
    dirty_ = false;
}

void TFLConfig::SetTrimType(uint8_t value) { Assign(trimType_, value); }
void TFLConfig::SetWidth(int32_t value) { Assign(width_, value); }
void TFLConfig::SetHeight(int32_t value) { Assign(height_, value); }
void TFLConfig::SetScale(int32_t value) { Assign(scale_, value); }
void TFLConfig::SetEffectFlags(uint8_t value) {
    Assign(effectFlags_, static_cast<uint8_t>(value & (kReverse | kEmphasis)));
}
void TFLConfig::SetReverseType(uint8_t value) { Assign(reverseType_, value); }
void TFLConfig::SetIsFrame(bool value) { Assign(isFrame_, value); }
void TFLConfig::SetFrameSize(int32_t value) { Assign(frameSize_, value); }
void TFLConfig::SetIsDefaultFolder(bool value) { Assign(isDefaultFolder_, value); }
void TFLConfig::SetDefaultFolder(const std::string& value) { Assign(defaultFolder_, value); }
void TFLConfig::SetIsAutoFileName(bool value) { Assign(isAutoFileName_, value); }
void TFLConfig::SetPrefixOfFileName(const std::string& value) { Assign(prefixOfFileName_, value); }
void TFLConfig::SetNumberingStart(int32_t value) { Assign(numberingStart_, value); }
void TFLConfig::SetDefaultFormatType(uint8_t value) { Assign(defaultFormatType_, value); }
void TFLConfig::SetIsNoUseDialog(bool value) { Assign(isNoUseDialog_, value); }

std::optional<std::string> TFLConfig::LoadFailureText() const {
    const auto& failure = ini_->ReadFailure();
    if (!failure) return std::nullopt;
    return "設定ファイル \"" + AnsiToUtf8(FileName()) + "\" を読み込めません。\n" + *failure +
           "\n既定の設定で動作します。設定は保存されません。";
}

void TFLConfig::Save() {
    if (!dirty_ || ini_->ReadFailure()) return;
    IniFile& ini = *ini_;
    ini.WriteInteger(kTrim, "Type", trimType_);
    ini.WriteInteger(kTrim, "Width", width_);
    ini.WriteInteger(kTrim, "Height", height_);
    ini.WriteInteger(kTrim, "Scale", scale_);
    ini.WriteBool(kEffect, "Reverse", (effectFlags_ & kReverse) != 0);
    ini.WriteBool(kEffect, "Emphasis", (effectFlags_ & kEmphasis) != 0);
    ini.WriteInteger(kEffect, "ReverseType", reverseType_);
    ini.WriteBool(kEffect, "IsFrame", isFrame_);
    ini.WriteInteger(kEffect, "FrameSize", frameSize_);
    ini.WriteBool(kOption, "IsDefaultFolder", isDefaultFolder_);
    ini.WriteString(kOption, "DefaultFolder", defaultFolder_);
    ini.WriteBool(kOption, "IsAutoFileName", isAutoFileName_);
    ini.WriteString(kOption, "PrefixOfFileName", prefixOfFileName_);
    ini.WriteInteger(kOption, "NumberingStart", numberingStart_);
    ini.WriteInteger(kOption, "DefaultFormatType", defaultFormatType_);
    ini.WriteBool(kOption, "IsNoUseDialog", isNoUseDialog_);
    ini.UpdateFile();
    dirty_ = false;
}
