// The settings file: an INI file with one section, [Quillbox].
#pragma once

#include <bitset>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "core/cell_table.h"
#include "core/setting_fields.h"

namespace tabulon {

inline constexpr const char* kSettingsSection = "Quillbox";

// Some or all of the settings, as a capture file or a command line gives them.
struct PartialScaleSettings {
    ScaleSettings values;                // the settings given; the others stay at their defaults
    std::bitset<kSettingCount> present;  // by index into kSettingFields

    template <class T>
    void Set(T ScaleSettings::*member, T value) {
        values.*member = value;
        present.set(SettingIndex(member));
    }
    template <class T>
    std::optional<T> Get(T ScaleSettings::*member) const {
        if (!present.test(SettingIndex(member))) return std::nullopt;
        return values.*member;
    }
    bool Has(std::string_view key) const;
    bool Empty() const { return present.none(); }

    // Overwrites the settings that are present here.
    void ApplyTo(ScaleSettings& settings) const;

    friend bool operator==(const PartialScaleSettings&, const PartialScaleSettings&) = default;
};

// A decimal number as the settings file holds it: optional blanks, sign, digits
// with the given decimal separator, optional exponent. Non-finite values and any
// other text give nothing. Whatever DxfNumber writes reads back: the largest
// double, written "1.79769313486232E308", reads as that double.
std::optional<double> ParseSettingsNumber(std::string_view text, char decimalSeparator = '.');

// An integer: "0x"/"0X" followed by hexadecimal digits when the text is longer than
// two characters (wrapping into 32 bits), otherwise a signed decimal integer that
// fits 32 bits.
std::optional<int32_t> ParseSettingsInteger(std::string_view text);

// The value of key in section, the way the profile-string API finds it: section
// and key names compared without regard to case, blanks around names and values
// trimmed, one pair of enclosing quotes removed. Only the first section of that
// name counts, and in it the first line with that key.
std::optional<std::string> FindIniValue(std::string_view iniText, std::string_view section, std::string_view key);

// Reads the value of a key of section Quillbox, or nothing when it is missing.
using SettingsReader = std::function<std::optional<std::string>(std::string_view key)>;
// Writes a key of section Quillbox; false when the file cannot be written.
using SettingsWriter = std::function<bool(std::string_view key, std::string_view value)>;

// Reads the keys in their fixed order. A missing key or a value that cannot be
// read as its kind, or is not one the setting takes, keeps that key's default.
ScaleSettings LoadScaleSettings(const SettingsReader& read, char decimalSeparator = '.');

// Writes the keys in the same order: numbers in the general number format,
// integers in decimal, flags as 1 or 0. Stops at the first key that cannot
// be written and returns its name; nothing when all were written.
std::optional<std::string> SaveScaleSettings(const ScaleSettings& settings, const SettingsWriter& write,
                                             char decimalSeparator = '.');

// LoadScaleSettings over the text of a settings file.
ScaleSettings ReadScaleSettings(std::string_view iniText, char decimalSeparator = '.');

}  // namespace tabulon
