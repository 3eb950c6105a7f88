#include "core/settings_file.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

#include "core/ascii.h"
#include "core/dxf_number.h"

namespace tabulon {

namespace {

bool IsBlank(char ch) {
    return ch == ' ' || ch == '\t';
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && (IsBlank(text.front()) || text.front() == '\r')) text.remove_prefix(1);
    while (!text.empty() && (IsBlank(text.back()) || text.back() == '\r')) text.remove_suffix(1);
    return text;
}

bool IsDigit(char ch) {
    return ch >= '0' && ch <= '9';
}

// A number just beyond the largest double, up to the largest the general
// number format writes: DxfNumber gives 1.7976931348623157E308 as
// "1.79769313486232E308", which must read back as that largest double. text is
// the canonical form ("-1.5e308": sign, digits, '.', exponent) that from_chars
// found out of range; anything further out, and anything too small for a
// double, gives nothing. Compared as decimal digits, as no wider type is at
// hand everywhere.
std::optional<double> ClampedLargest(std::string_view text) {
    const bool negative = !text.empty() && text[0] == '-';
    std::string digits;      // significant digits, the first one not 0
    long long exponent = 0;  // the value is 0.digits times 10^exponent
    size_t k = (!text.empty() && (text[0] == '-' || text[0] == '+')) ? 1 : 0;
    bool point = false;
    for (; k < text.size() && text[k] != 'e'; ++k) {
        if (text[k] == '.') {
            point = true;
        } else if (!digits.empty() || text[k] != '0') {
            digits += text[k];
            if (!point) ++exponent;
        } else if (point) {
            --exponent;  // a zero between the point and the first digit
        }
    }
    if (k < text.size()) {
        long long e = 0;
        bool minus = false;
        for (++k; k < text.size(); ++k) {
            if (text[k] == '-') minus = true;
            if (IsDigit(text[k]) && e < 100000) e = e * 10 + (text[k] - '0');
        }
        exponent += minus ? -e : e;
    }
    while (!digits.empty() && digits.back() == '0') digits.pop_back();
    constexpr std::string_view kLargestWritten = "179769313486232";  // 0.179769313486232e309
    if (exponent != 309 || digits.empty() || digits.compare(kLargestWritten) > 0) return std::nullopt;
    return negative ? -std::numeric_limits<double>::max() : std::numeric_limits<double>::max();
}

}  // namespace

bool PartialScaleSettings::Has(std::string_view key) const {
    auto index = FindSetting(key);
    return index && present.test(*index);
}

void PartialScaleSettings::ApplyTo(ScaleSettings& settings) const {
    for (size_t i = 0; i < kSettingCount; ++i) {
        if (present.test(i)) CopySetting(i, values, settings);
    }
}

std::optional<double> ParseSettingsNumber(std::string_view text, char decimalSeparator) {
    text = Trim(text);
    // Check the shape first, so that strtod's extras (hex floats, "inf", "nan")
    // and the locale never come into play.
    std::string canonical;
    size_t k = 0;
    if (k < text.size() && (text[k] == '+' || text[k] == '-')) canonical += text[k++];
    size_t digits = 0;
    while (k < text.size() && IsDigit(text[k])) canonical += text[k++], ++digits;
    if (k < text.size() && text[k] == decimalSeparator) {
        canonical += '.';
        ++k;
        while (k < text.size() && IsDigit(text[k])) canonical += text[k++], ++digits;
    }
    if (digits == 0) return std::nullopt;
    if (k < text.size() && (text[k] == 'e' || text[k] == 'E')) {
        canonical += 'e';
        ++k;
        if (k < text.size() && (text[k] == '+' || text[k] == '-')) canonical += text[k++];
        size_t expDigits = 0;
        while (k < text.size() && IsDigit(text[k])) canonical += text[k++], ++expDigits;
        if (expDigits == 0) return std::nullopt;
    }
    if (k != text.size()) return std::nullopt;
    double value = 0;
    const char* begin = canonical.c_str();
    const char* end = canonical.c_str() + canonical.size();
    if (*begin == '+') ++begin;
    auto res = std::from_chars(begin, end, value);
    if (res.ec == std::errc::result_out_of_range) return ClampedLargest(canonical);
    if (res.ec != std::errc() || res.ptr != end || !std::isfinite(value)) return std::nullopt;
    return value;
}

std::optional<int32_t> ParseSettingsInteger(std::string_view text) {
    text = Trim(text);
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        std::string_view hex = text.substr(2);
        if (hex.empty() || hex.size() > 8) return std::nullopt;
        uint32_t value = 0;
        auto res = std::from_chars(hex.data(), hex.data() + hex.size(), value, 16);
        if (res.ec != std::errc() || res.ptr != hex.data() + hex.size()) return std::nullopt;
        return static_cast<int32_t>(value);  // 0xFFFFFFFF is -1, as a 32-bit integer holds it
    }
    if (!text.empty() && text[0] == '+') text.remove_prefix(1);
    if (text.empty() || text[0] == '+') return std::nullopt;
    int32_t value = 0;
    auto res = std::from_chars(text.data(), text.data() + text.size(), value, 10);
    if (res.ec != std::errc() || res.ptr != text.data() + text.size()) return std::nullopt;
    return value;
}

std::optional<std::string> FindIniValue(std::string_view iniText, std::string_view section, std::string_view key) {
    if (iniText.size() >= 3 && iniText.substr(0, 3) == "\xEF\xBB\xBF") iniText.remove_prefix(3);
    bool inSection = false;
    size_t pos = 0;
    while (pos <= iniText.size()) {
        size_t eol = iniText.find('\n', pos);
        if (eol == std::string_view::npos) eol = iniText.size();
        std::string_view line = Trim(iniText.substr(pos, eol - pos));
        pos = eol + 1;
        if (!line.empty() && line.front() == '[') {
            size_t close = line.find(']');
            if (close != std::string_view::npos) {
                if (inSection) return std::nullopt;  // a later section of the same name is not read
                inSection = AsciiEqualsIgnoreCase(Trim(line.substr(1, close - 1)), section);
            }
            continue;
        }
        if (!inSection) continue;
        size_t equals = line.find('=');
        if (equals == std::string_view::npos) continue;
        if (!AsciiEqualsIgnoreCase(Trim(line.substr(0, equals)), key)) continue;
        std::string_view value = Trim(line.substr(equals + 1));
        if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
            value = value.substr(1, value.size() - 2);
        }
        return std::string(value);
    }
    return std::nullopt;
}

ScaleSettings LoadScaleSettings(const SettingsReader& read, char decimalSeparator) {
    ScaleSettings settings;
    for (const SettingField& f : kSettingFields) {
        auto text = read(f.key);
        if (!text) continue;
        switch (f.kind) {
            case SettingKind::Number:
                if (auto value = ParseSettingsNumber(*text, decimalSeparator); value && f.Accepts(*value)) {
                    settings.*f.number = *value;
                }
                break;
            case SettingKind::Integer:
                if (auto value = ParseSettingsInteger(*text)) settings.*f.integer = *value;
                break;
            case SettingKind::Flag:
                if (auto value = ParseSettingsInteger(*text)) settings.*f.flag = *value != 0;
                break;
        }
    }
    return settings;
}

std::optional<std::string> SaveScaleSettings(const ScaleSettings& settings, const SettingsWriter& write,
                                             char decimalSeparator) {
    for (const SettingField& f : kSettingFields) {
        std::string value;
        switch (f.kind) {
            case SettingKind::Number: value = DxfNumber(settings.*f.number, decimalSeparator); break;
            case SettingKind::Integer: value = std::to_string(settings.*f.integer); break;
            case SettingKind::Flag: value = settings.*f.flag ? "1" : "0"; break;
        }
        if (!write(f.key, value)) return std::string(f.key);
    }
    return std::nullopt;
}

ScaleSettings ReadScaleSettings(std::string_view iniText, char decimalSeparator) {
    return LoadScaleSettings([&](std::string_view key) { return FindIniValue(iniText, kSettingsSection, key); },
                             decimalSeparator);
}

}  // namespace tabulon
