#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <variant>

// The settings the trim pipeline reads. The initial values are the defaults a missing key
// reads as.
struct TrimSettings {
    enum EffectBits : uint8_t { kReverse = 1, kEmphasis = 2 };

    uint8_t TrimType = 3;  // 0 proportion, 1 scaling, 2 free, 3 (and anything else) no reduction
    int32_t Width = 150;
    int32_t Height = 180;
    int32_t Scale = 100;
    uint8_t EffectFlags = 0;
    uint8_t ReverseType = 1;  // 0 inverts every pixel, anything else only pure white and black
    bool IsFrame = false;
    int32_t FrameSize = 1;
};

// Every persistent setting, with its default.
struct SettingValues : TrimSettings {
    bool IsDefaultFolder = false;
    std::string DefaultFolder = ".";
    bool IsAutoFileName = false;
    std::string PrefixOfFileName = "Capture_";
    int32_t NumberingStart = 1;
    uint8_t DefaultFormatType = 0;
    bool IsNoUseDialog = false;
};

// Where one setting lives in the settings file and which field keeps it. A key with a bit
// keeps that bit of a byte field as a boolean (the effects share one field).
struct SettingKey {
    using Field = std::variant<uint8_t SettingValues::*, int32_t SettingValues::*, bool SettingValues::*,
                               std::string SettingValues::*>;
    const char* section;
    const char* key;
    Field field;
    const char* fieldName = nullptr;  // the field's name where it is not the key's
    uint8_t bit = 0;

    const char* FieldName() const { return fieldName ? fieldName : key; }
};

// Visits a SettingKey::Field with one lambda a type.
template <class... Ts>
struct Overloaded : Ts... {
    using Ts::operator()...;
};
template <class... Ts>
Overloaded(Ts...) -> Overloaded<Ts...>;  // clang 14 does not deduce an aggregate's arguments

// The keys in the order they are written.
std::span<const SettingKey> SettingKeys();
