#include "core/number_format.h"

#include <cmath>
#include <optional>
#include <utility>
#include <vector>

#include "core/number_format_dates.h"
#include "core/number_format_digits.h"
#include "core/number_format_general.h"
#include "core/number_format_tokens.h"

namespace tabulon {

namespace {

using namespace number_format;

// The section that shows a value, and whether a minus sign goes before it.
struct SectionChoice {
    size_t index = 0;
    bool minus = false;
};

// Nothing when no section takes the value: a spreadsheet shows #####.
std::optional<SectionChoice> ChooseSection(const std::vector<Section>& sections, double value) {
    // The fourth section, or a last one holding @, is for texts; numbers use the others.
    size_t numberSections = sections.size();
    if (numberSections == 4 || (numberSections > 1 && sections.back().hasText)) --numberSections;
    bool conditional = false;
    for (size_t k = 0; k < numberSections; ++k) conditional = conditional || sections[k].condition.present;
    SectionChoice choice;
    if (!conditional) {
        // Positive;negative;zero. A negative section shows no minus sign of its own.
        if (value < 0) {
            if (numberSections >= 2) choice.index = 1;
            else choice.minus = true;
        } else if (value == 0 && numberSections >= 3) {
            choice.index = 2;
        }
        return choice;
    }
    // The first section whose condition holds; a second section without a
    // condition, or a third, takes the rest.
    const Condition& first = sections[0].condition;
    if (first.present ? first.Matches(value) : value >= 0) {
        choice.index = 0;
    } else if (numberSections >= 2 && (!sections[1].condition.present || sections[1].condition.Matches(value))) {
        choice.index = 1;
    } else if (numberSections >= 3) {
        choice.index = 2;
    } else {
        return std::nullopt;
    }
    choice.minus = value < 0 && !sections[choice.index].condition.OnlyNegative();
    return choice;
}

std::string Signed(bool minus, std::string_view text) {
    std::string out(minus ? "-" : "");
    out += text;
    return out;
}

// "General" within a section, with the section's literal texts around it.
std::string GeneralInSection(const Section& section, double magnitude) {
    std::string out;
    for (const Token& token : section.tokens) {
        if (token.kind == Kind::General) out += GeneralMagnitude(magnitude);
        else if (!IsPlaceholder(token.kind)) out += token.text;
    }
    return out;
}

std::optional<std::string> FormatWithCode(double value, std::string_view code, bool date1904) {
    if (!std::isfinite(value)) return std::nullopt;
    if (value == 0) value = 0;  // no negative zero
    const std::vector<std::string_view> parts = SplitSections(code);
    if (parts.size() > 4) return std::nullopt;
    std::vector<Section> sections;
    for (std::string_view part : parts) sections.push_back(ParseSection(part));
    for (const Section& s : sections) {
        if (s.unsupported) return std::nullopt;
    }
    const std::optional<SectionChoice> choice = ChooseSection(sections, value);
    if (!choice) return std::nullopt;
    const Section& section = sections[choice->index];
    if (section.empty && sections.size() > 1) return std::string();
    const double magnitude = std::fabs(value);
    // No number section here: the number shows as General.
    if (section.empty || section.hasText) return Signed(value < 0, GeneralMagnitude(magnitude));
    if (section.hasDate) {
        std::string out;
        // A spreadsheet shows ##### for negative dates.
        if (value < 0 || !FormatDate(section, magnitude, date1904, out)) return std::nullopt;
        return out;
    }
    if (section.hasGeneral) return Signed(choice->minus, GeneralInSection(section, magnitude));
    return Signed(choice->minus, FormatDigits(section.tokens, magnitude));
}

}  // namespace

std::string BuiltinNumberFormatCode(int numFmtId) {
    // Ids 14 and 22 follow the Japanese edition, which shows them with the
    // four-digit year first; 27-36 and 50-58 are the Japanese locale's own.
    switch (numFmtId) {
        case 0: return "General";
        case 1: return "0";
        case 2: return "0.00";
        case 3: return "#,##0";
        case 4: return "#,##0.00";
        case 5: return "\"\xC2\xA5\"#,##0;\"\xC2\xA5\"-#,##0";
        case 6: return "\"\xC2\xA5\"#,##0;[Red]\"\xC2\xA5\"-#,##0";
        case 7: return "\"\xC2\xA5\"#,##0.00;\"\xC2\xA5\"-#,##0.00";
        case 8: return "\"\xC2\xA5\"#,##0.00;[Red]\"\xC2\xA5\"-#,##0.00";
        case 9: return "0%";
        case 10: return "0.00%";
        case 11: return "0.00E+00";
        case 12: return "# ?/?";
        case 13: return "# ?\?/?\?";
        case 14: return "yyyy/m/d";
        case 15: return "d-mmm-yy";
        case 16: return "d-mmm";
        case 17: return "mmm-yy";
        case 18: return "h:mm AM/PM";
        case 19: return "h:mm:ss AM/PM";
        case 20: return "h:mm";
        case 21: return "h:mm:ss";
        case 22: return "yyyy/m/d h:mm";
        case 27: case 36: case 50: case 57: return "[$-411]ge.m.d";
        case 28: case 29: case 51: case 54: case 58:
            return "[$-411]ggge\"\xE5\xB9\xB4\"m\"\xE6\x9C\x88\"d\"\xE6\x97\xA5\"";  // 年 月 日
        case 30: return "m/d/yy";
        case 31: return "yyyy\"\xE5\xB9\xB4\"m\"\xE6\x9C\x88\"d\"\xE6\x97\xA5\"";
        case 32: return "h\"\xE6\x99\x82\"mm\"\xE5\x88\x86\"";                          // 時 分
        case 33: return "h\"\xE6\x99\x82\"mm\"\xE5\x88\x86\"ss\"\xE7\xA7\x92\"";        // 時 分 秒
        case 34: case 52: case 55: return "yyyy\"\xE5\xB9\xB4\"m\"\xE6\x9C\x88\"";
        case 35: case 53: case 56: return "m\"\xE6\x9C\x88\"d\"\xE6\x97\xA5\"";
        case 37: return "#,##0 ;(#,##0)";
        case 38: return "#,##0 ;[Red](#,##0)";
        case 39: return "#,##0.00;(#,##0.00)";
        case 40: return "#,##0.00;[Red](#,##0.00)";
        case 41: return "_ * #,##0_ ;_ * -#,##0_ ;_ * \"-\"_ ;_ @_ ";
        case 42: return "_ \"\xC2\xA5\"* #,##0_ ;_ \"\xC2\xA5\"* -#,##0_ ;_ \"\xC2\xA5\"* \"-\"_ ;_ @_ ";
        case 43: return "_ * #,##0.00_ ;_ * -#,##0.00_ ;_ * \"-\"??_ ;_ @_ ";
        case 44: return "_ \"\xC2\xA5\"* #,##0.00_ ;_ \"\xC2\xA5\"* -#,##0.00_ ;_ \"\xC2\xA5\"* \"-\"??_ ;_ @_ ";
        case 45: return "mm:ss";
        case 46: return "[h]:mm:ss";
        case 47: return "mmss.0";
        case 48: return "##0.0E+0";
        case 49: return "@";
        default: return "";
    }
}

std::string FormatNumber(double value, std::string_view formatCode, bool date1904, bool* supported) {
    std::optional<std::string> text = FormatWithCode(value, formatCode, date1904);
    if (supported) *supported = text.has_value();
    return text ? std::move(*text) : GeneralNumberText(value);
}

std::string GeneralNumberText(double value) {
    if (std::isnan(value) || std::isinf(value)) return "#NUM!";
    if (value == 0) return "0";
    return Signed(value < 0, GeneralMagnitude(std::fabs(value)));
}

bool IsNumericText(std::string_view text) {
    for (char c : text) {
        if (!((c >= '0' && c <= '9') || c == '.' || c == ',' || c == '-')) return false;
    }
    return true;
}

}  // namespace tabulon
