// The settings file: an INI file with one section of nine keys.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/cell_table.h"

namespace tabulon {

inline constexpr const char* kSettingsSection = "Quillbox";

// Some or all of the settings, as a capture file or a command line gives them.
struct PartialScaleSettings {
    std::optional<double> colXsc, rowYsc, cadXsc, cadYsc, cadTsc, cadTof;
    std::optional<int32_t> cellLineColor;
    std::optional<bool> cellLineDraw;
    std::optional<int32_t> xlsVerNum;

    // Overwrites the settings that are present here.
    void ApplyTo(ScaleSettings& settings) const;
};

// A decimal number as the settings file holds it: optional blanks, sign, digits
// with the given decimal separator, optional exponent. Non-finite values and any
// other text give nothing.
std::optional<double> ParseSettingsNumber(std::string_view text, char decimalSeparator = '.');

// An integer: "0x"/"0X" followed by hexadecimal digits when the text is longer than
// two characters (wrapping into 32 bits), otherwise a signed decimal integer that
// fits 32 bits.
std::optional<int32_t> ParseSettingsInteger(std::string_view text);

// The value of key in section, the way the profile-string API finds it: section
// and key names compared without regard to case, blanks around names and values
// trimmed, one pair of enclosing quotes removed, the first match wins.
std::optional<std::string> FindIniValue(std::string_view iniText, std::string_view section, std::string_view key);

// Reads the nine keys of section Quillbox from the text of a settings file. A
// missing key or a value that cannot be read as its type keeps the default.
ScaleSettings ReadScaleSettings(std::string_view iniText, char decimalSeparator = '.');

}  // namespace tabulon
