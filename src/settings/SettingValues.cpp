#include "settings/SettingValues.h"

#include <array>

namespace {
constexpr char kTrim[] = "Trim";
constexpr char kEffect[] = "Effect";
constexpr char kOption[] = "Option";
constexpr char kEffectFlags[] = "EffectFlags";

using V = SettingValues;
const std::array<SettingKey, 16> kKeys = {{
    {kTrim, "Type", &V::TrimType, "TrimType"},
    {kTrim, "Width", &V::Width},
    {kTrim, "Height", &V::Height},
    {kTrim, "Scale", &V::Scale},
    {kEffect, "Reverse", &V::EffectFlags, kEffectFlags, TrimSettings::kReverse},
    {kEffect, "Emphasis", &V::EffectFlags, kEffectFlags, TrimSettings::kEmphasis},
    {kEffect, "ReverseType", &V::ReverseType},
    {kEffect, "IsFrame", &V::IsFrame},
    {kEffect, "FrameSize", &V::FrameSize},
    {kOption, "IsDefaultFolder", &V::IsDefaultFolder},
    {kOption, "DefaultFolder", &V::DefaultFolder},
    {kOption, "IsAutoFileName", &V::IsAutoFileName},
    {kOption, "PrefixOfFileName", &V::PrefixOfFileName},
    {kOption, "NumberingStart", &V::NumberingStart},
    {kOption, "DefaultFormatType", &V::DefaultFormatType},
    {kOption, "IsNoUseDialog", &V::IsNoUseDialog},
}};
}  // namespace

std::span<const SettingKey> SettingKeys() { return kKeys; }
