// The settings, described once: their keys, members, kinds and accepted values.
// The settings file, the capture file and the settings tab all walk this table;
// the defaults are those of ScaleSettings.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "core/cell_table.h"

namespace tabulon {

enum class SettingKind : uint8_t {
    Number,   // a finite double
    Integer,  // a 32-bit integer
    Flag,     // 1/0 in the settings file, true/false in the capture file
};

struct SettingField {
    const char* key;
    SettingKind kind;
    double ScaleSettings::*number = nullptr;
    int32_t ScaleSettings::*integer = nullptr;
    bool ScaleSettings::*flag = nullptr;
    bool positive = false;  // a Number that must be above zero

    // Whether value is one this setting can hold.
    bool Accepts(double value) const { return std::isfinite(value) && (!positive || value > 0); }
};

constexpr SettingField NumberSetting(const char* key, double ScaleSettings::*m, bool positive = false) {
    return {key, SettingKind::Number, m, nullptr, nullptr, positive};
}
constexpr SettingField IntegerSetting(const char* key, int32_t ScaleSettings::*m) {
    return {key, SettingKind::Integer, nullptr, m, nullptr, false};
}
constexpr SettingField FlagSetting(const char* key, bool ScaleSettings::*m) {
    return {key, SettingKind::Flag, nullptr, nullptr, m, false};
}

// In the order the settings file holds them.
inline constexpr SettingField kSettingFields[] = {
    NumberSetting("colXsc", &ScaleSettings::colXsc),
    NumberSetting("rowYsc", &ScaleSettings::rowYsc),
    NumberSetting("cadXsc", &ScaleSettings::cadXsc),
    NumberSetting("cadYsc", &ScaleSettings::cadYsc),
    NumberSetting("cadTsc", &ScaleSettings::cadTsc),
    NumberSetting("cadTof", &ScaleSettings::cadTof),
    IntegerSetting("cellLineColor", &ScaleSettings::cellLineColor),
    FlagSetting("cellLineDraw", &ScaleSettings::cellLineDraw),
    IntegerSetting("xlsVerNum", &ScaleSettings::xlsVerNum),
    FlagSetting("fitText", &ScaleSettings::fitText),
    NumberSetting("halfWidth", &ScaleSettings::halfWidth, true),
    FlagSetting("sheetVAlign", &ScaleSettings::sheetVAlign),
    NumberSetting("lineSpacing", &ScaleSettings::lineSpacing, true),
    FlagSetting("borderStyle", &ScaleSettings::borderStyle),
    FlagSetting("cellFill", &ScaleSettings::cellFill),
};

inline constexpr size_t kSettingCount = std::size(kSettingFields);

// The index of the setting with this key, or nothing.
std::optional<size_t> FindSetting(std::string_view key);

// The index of the setting held in this member.
size_t SettingIndex(double ScaleSettings::*member);
size_t SettingIndex(int32_t ScaleSettings::*member);
size_t SettingIndex(bool ScaleSettings::*member);

// Turns on the whole of the sheet's look: fitted and wrapped texts, vertical
// alignment, a line pitch of 1.3 text heights, border styles and fills.
void ApplySheetLook(ScaleSettings& settings);

// Copies setting index from one set of settings to another.
void CopySetting(size_t index, const ScaleSettings& from, ScaleSettings& to);

}  // namespace tabulon
