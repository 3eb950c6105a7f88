#include "core/number_format.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace tabulon {

namespace {

// ---------------------------------------------------------------------------
// Decimal values
//
// A spreadsheet keeps 15 significant digits, and rounds what it shows from that
// decimal value, never from the binary double: 2.675 under "0.00" is 2.68.

struct Decimal {
    std::string digits;  // significant digits, no leading or trailing zeros; "" is zero
    int exp10 = 0;       // the value is 0.digits times 10^exp10
};

Decimal ToDecimal(double magnitude) {
    Decimal d;
    if (magnitude == 0) return d;
    char buf[40];
    auto res = std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::scientific, 14);
    const char* p = buf;
    for (; p < res.ptr && *p != 'e'; ++p) {
        if (*p >= '0' && *p <= '9') d.digits += *p;
    }
    int exponent = 0;
    const char* expText = p + 1;
    if (expText < res.ptr && *expText == '+') ++expText;
    std::from_chars(expText, res.ptr, exponent);
    while (!d.digits.empty() && d.digits.back() == '0') d.digits.pop_back();
    d.exp10 = exponent + 1;
    return d;
}

// Rounds half away from zero to fractionDigits places after the point.
void RoundTo(Decimal& d, int fractionDigits) {
    if (d.digits.empty()) return;
    const long keep = static_cast<long>(d.exp10) + fractionDigits;
    if (keep >= static_cast<long>(d.digits.size())) return;
    if (keep < 0) {
        d.digits.clear();
        return;
    }
    const bool up = d.digits[static_cast<size_t>(keep)] >= '5';
    d.digits.resize(static_cast<size_t>(keep));
    if (up) {
        size_t k = d.digits.size();
        while (k > 0 && d.digits[k - 1] == '9') {
            d.digits.pop_back();
            --k;
        }
        if (k == 0) {
            d.digits.assign(1, '1');
            ++d.exp10;
        } else {
            ++d.digits[k - 1];
        }
    }
    while (!d.digits.empty() && d.digits.back() == '0') d.digits.pop_back();
}

// The digits before the point, "" when the integer part is zero.
std::string IntegerDigits(const Decimal& d) {
    std::string out;
    if (d.digits.empty() || d.exp10 <= 0) return out;
    for (int k = 0; k < d.exp10; ++k) {
        out += static_cast<size_t>(k) < d.digits.size() ? d.digits[static_cast<size_t>(k)] : '0';
    }
    return out;
}

// The first count digits after the point.
std::string FractionDigits(const Decimal& d, int count) {
    std::string out;
    for (int k = 0; k < count; ++k) {
        const long index = static_cast<long>(d.exp10) + k;
        if (d.digits.empty() || index < 0 || index >= static_cast<long>(d.digits.size())) {
            out += '0';
        } else {
            out += d.digits[static_cast<size_t>(index)];
        }
    }
    return out;
}

std::string PadNumber(long long value, int width) {
    char buf[24];
    auto res = std::to_chars(buf, buf + sizeof buf, value);
    std::string text(buf, res.ptr);
    if (static_cast<int>(text.size()) < width) text.insert(0, static_cast<size_t>(width) - text.size(), '0');
    return text;
}

// ---------------------------------------------------------------------------
// General

// "d.dddddE+xx": as many mantissa digits as fit in eleven characters.
std::string GeneralScientific(const Decimal& magnitude) {
    int exponent = magnitude.exp10 - 1;
    int decimals = (exponent >= 100 || exponent <= -100) ? 4 : 5;
    Decimal mantissa = magnitude;
    mantissa.exp10 = 1;
    RoundTo(mantissa, decimals);
    if (mantissa.exp10 > 1) {  // 9.999996 became 10
        mantissa.exp10 = 1;
        ++exponent;
    }
    std::string out = IntegerDigits(mantissa);
    std::string fraction = FractionDigits(mantissa, decimals);
    while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();
    if (!fraction.empty()) out += '.' + fraction;
    out += exponent < 0 ? "E-" : "E+";
    out += PadNumber(std::abs(exponent), 2);
    return out;
}

std::string GeneralMagnitude(double magnitude) {
    Decimal d = ToDecimal(magnitude);
    if (d.digits.empty()) return "0";
    const int exponent = d.exp10 - 1;
    if (exponent >= 11 || exponent <= -5) return GeneralScientific(d);
    const int integerDigits = exponent >= 0 ? exponent + 1 : 1;
    const int decimals = 10 - integerDigits > 0 ? 10 - integerDigits : 0;
    Decimal rounded = d;
    RoundTo(rounded, decimals);
    if (rounded.exp10 > 11) return GeneralScientific(rounded);
    std::string out = IntegerDigits(rounded);
    if (out.empty()) out.push_back('0');
    std::string fraction = FractionDigits(rounded, decimals);
    while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();
    if (!fraction.empty()) out += '.' + fraction;
    return out;
}

// ---------------------------------------------------------------------------
// Format codes

enum class Kind {
    Literal,
    Zero,      // 0
    Hash,      // #
    Question,  // ?
    Point,
    Comma,
    Percent,
    Exponent,  // E+ E- (text holds the letter and the sign)
    Slash,
    Text,  // @
    General,
    Year,
    Month,  // m before it is told apart from the minute
    Minute,
    Day,
    Hour,
    Second,
    SubSecond,  // the ".0" after seconds; count digits
    AmPm,       // AM/PM
    AP,         // A/P (text holds the two letters)
    ElapsedHour,
    ElapsedMinute,
    ElapsedSecond,
    Era,      // g
    EraYear,  // e
    Weekday,  // aaa, aaaa
};

struct Token {
    Kind kind;
    std::string text;  // literal text
    int count = 0;     // run length of a date letter
};

// A section's condition, such as [>=100] or [<=9999].
struct Condition {
    bool present = false;
    std::string op;  // < <= > >= = <>
    double bound = 0;

    bool Matches(double v) const {
        if (op == "<") return v < bound;
        if (op == "<=") return v <= bound;
        if (op == ">") return v > bound;
        if (op == ">=") return v >= bound;
        if (op == "=") return v == bound;
        return v != bound;
    }
    // A condition that only negative numbers meet: the section then shows them
    // without a minus sign, as the usual negative section does.
    bool OnlyNegative() const { return present && ((op == "<" && bound <= 0) || (op == "<=" && bound < 0)); }
};

struct Section {
    std::vector<Token> tokens;
    Condition condition;
    bool empty = true;  // the section's code was ""
    bool hasDate = false;
    bool hasText = false;
    bool hasGeneral = false;
    bool gannen = false;  // year 1 of an era is 元
    bool unsupported = false;
    // [$-F800] / [$-x-sysdate] and [$-F400] / [$-x-systime]: the system's long
    // date and time formats replace the written code.
    bool systemDate = false;
    bool systemTime = false;
};

size_t CodePointLength(unsigned char lead) {
    if (lead < 0x80) return 1;
    if ((lead & 0xE0) == 0xC0) return 2;
    if ((lead & 0xF0) == 0xE0) return 3;
    if ((lead & 0xF8) == 0xF0) return 4;
    return 1;
}

char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool StartsWithNoCase(std::string_view text, size_t pos, std::string_view word) {
    if (pos + word.size() > text.size()) return false;
    for (size_t k = 0; k < word.size(); ++k) {
        if (Lower(text[pos + k]) != Lower(word[k])) return false;
    }
    return true;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && StartsWithNoCase(a, 0, b);
}

void AddLiteral(Section& section, std::string_view text) {
    if (!section.tokens.empty() && section.tokens.back().kind == Kind::Literal) {
        section.tokens.back().text += text;
    } else {
        section.tokens.push_back({Kind::Literal, std::string(text)});
    }
}

bool IsDateKind(Kind kind) {
    switch (kind) {
        case Kind::Year:
        case Kind::Month:
        case Kind::Minute:
        case Kind::Day:
        case Kind::Hour:
        case Kind::Second:
        case Kind::SubSecond:
        case Kind::AmPm:
        case Kind::AP:
        case Kind::ElapsedHour:
        case Kind::ElapsedMinute:
        case Kind::ElapsedSecond:
        case Kind::Era:
        case Kind::EraYear:
        case Kind::Weekday:
            return true;
        default:
            return false;
    }
}

// What a bracketed part means: a colour, a locale, an elapsed time, ...
void ParseBracket(Section& section, std::string_view inner) {
    static constexpr std::string_view kColours[] = {"black", "blue",  "cyan",  "green",
                                                    "magenta", "red", "white", "yellow"};
    for (std::string_view colour : kColours) {
        if (EqualsNoCase(inner, colour)) return;
    }
    if (StartsWithNoCase(inner, 0, "color") && inner.size() > 5) {
        bool digits = true;
        for (size_t k = 5; k < inner.size(); ++k) digits = digits && inner[k] >= '0' && inner[k] <= '9';
        if (digits) return;
    }
    if (!inner.empty() && inner[0] == '$') {
        // [$currency-locale]: the currency text is shown, the locale only chooses
        // the calendar and the language.
        const size_t dash = inner.find('-');
        AddLiteral(section, inner.substr(1, dash == std::string_view::npos ? std::string_view::npos : dash - 1));
        if (dash == std::string_view::npos) return;
        std::string_view locale = inner.substr(dash + 1);
        for (size_t k = 0; k + 8 <= locale.size(); ++k) {
            if (StartsWithNoCase(locale, k, "x-gannen")) section.gannen = true;
        }
        if (EqualsNoCase(locale, "F800") || EqualsNoCase(locale, "x-sysdate")) section.systemDate = true;
        if (EqualsNoCase(locale, "F400") || EqualsNoCase(locale, "x-systime")) section.systemTime = true;
        unsigned long id = 0;
        auto res = std::from_chars(locale.data(), locale.data() + locale.size(), id, 16);
        if (res.ec == std::errc() && res.ptr == locale.data() + locale.size() && id > 0xFFFF) {
            section.unsupported = true;  // a calendar or digit system other than the default
        }
        return;
    }
    if (!inner.empty()) {
        const char c = Lower(inner[0]);
        bool same = true;
        for (char k : inner) same = same && Lower(k) == c;
        if (same && (c == 'h' || c == 'm' || c == 's')) {
            const Kind kind = c == 'h' ? Kind::ElapsedHour : c == 'm' ? Kind::ElapsedMinute : Kind::ElapsedSecond;
            section.tokens.push_back({kind, "", static_cast<int>(inner.size())});
            section.hasDate = true;
            return;
        }
    }
    if (!inner.empty() && (inner[0] == '<' || inner[0] == '>' || inner[0] == '=')) {
        size_t opLength = 1;
        if (inner.size() > 1 && (inner[1] == '=' || (inner[0] == '<' && inner[1] == '>'))) opLength = 2;
        std::string_view number = inner.substr(opLength);
        while (!number.empty() && number.front() == ' ') number.remove_prefix(1);
        while (!number.empty() && number.back() == ' ') number.remove_suffix(1);
        double bound = 0;
        auto res = std::from_chars(number.data(), number.data() + number.size(), bound);
        if (section.condition.present || number.empty() || res.ec != std::errc() ||
            res.ptr != number.data() + number.size()) {
            section.unsupported = true;
            return;
        }
        section.condition = {true, std::string(inner.substr(0, opLength)), bound};
        return;
    }
    section.unsupported = true;  // [DBNum1], [NatNum1], ...
}

Section ParseSection(std::string_view code) {
    Section section;
    section.empty = code.empty();
    size_t i = 0;
    while (i < code.size()) {
        const char c = code[i];
        const char lc = Lower(c);
        auto run = [&](char letter) {
            size_t n = 0;
            while (i + n < code.size() && Lower(code[i + n]) == letter) ++n;
            return static_cast<int>(n);
        };
        auto addDate = [&](Kind kind, int count) {
            section.tokens.push_back({kind, "", count});
            section.hasDate = true;
            i += static_cast<size_t>(count);
        };
        if (c == '"') {
            const size_t end = code.find('"', i + 1);
            const size_t stop = end == std::string_view::npos ? code.size() : end;
            AddLiteral(section, code.substr(i + 1, stop - i - 1));
            i = end == std::string_view::npos ? code.size() : end + 1;
        } else if (c == '\\' || c == '!') {
            if (i + 1 < code.size()) {
                const size_t n = CodePointLength(static_cast<unsigned char>(code[i + 1]));
                AddLiteral(section, code.substr(i + 1, n));
                i += 1 + n;
            } else {
                ++i;
            }
        } else if (c == '_') {
            AddLiteral(section, " ");
            i += 1 + (i + 1 < code.size() ? CodePointLength(static_cast<unsigned char>(code[i + 1])) : 0);
        } else if (c == '*') {
            i += 1 + (i + 1 < code.size() ? CodePointLength(static_cast<unsigned char>(code[i + 1])) : 0);
        } else if (c == '[') {
            const size_t end = code.find(']', i + 1);
            if (end == std::string_view::npos) {
                section.unsupported = true;
                break;
            }
            ParseBracket(section, code.substr(i + 1, end - i - 1));
            i = end + 1;
        } else if (c == '0' || c == '#' || c == '?') {
            section.tokens.push_back({c == '0' ? Kind::Zero : c == '#' ? Kind::Hash : Kind::Question, ""});
            ++i;
        } else if (c == '.') {
            section.tokens.push_back({Kind::Point, "."});
            ++i;
        } else if (c == ',') {
            section.tokens.push_back({Kind::Comma, ","});
            ++i;
        } else if (c == '%') {
            section.tokens.push_back({Kind::Percent, "%"});
            ++i;
        } else if (c == '/') {
            section.tokens.push_back({Kind::Slash, "/"});
            ++i;
        } else if (c == '@') {
            section.tokens.push_back({Kind::Text, ""});
            section.hasText = true;
            ++i;
        } else if (lc == 'e' && i + 1 < code.size() && (code[i + 1] == '+' || code[i + 1] == '-')) {
            section.tokens.push_back({Kind::Exponent, std::string(code.substr(i, 2))});
            i += 2;
        } else if (StartsWithNoCase(code, i, "general")) {
            section.tokens.push_back({Kind::General, ""});
            section.hasGeneral = true;
            i += 7;
        } else if (code.substr(i, 8) == "G/\xE6\xA8\x99\xE6\xBA\x96") {  // G/標準, General in Japanese
            section.tokens.push_back({Kind::General, ""});
            section.hasGeneral = true;
            i += 8;
        } else if (StartsWithNoCase(code, i, "am/pm")) {
            section.tokens.push_back({Kind::AmPm, ""});
            section.hasDate = true;
            i += 5;
        } else if (StartsWithNoCase(code, i, "a/p")) {
            section.tokens.push_back({Kind::AP, std::string{code[i], code[i + 2]}});
            section.hasDate = true;
            i += 3;
        } else if (lc == 'a' && run('a') >= 3) {
            addDate(Kind::Weekday, run('a'));
        } else if (lc == 'y') {
            addDate(Kind::Year, run('y'));
        } else if (lc == 'm') {
            addDate(Kind::Month, run('m'));
        } else if (lc == 'd') {
            addDate(Kind::Day, run('d'));
        } else if (lc == 'h') {
            addDate(Kind::Hour, run('h'));
        } else if (lc == 's') {
            addDate(Kind::Second, run('s'));
        } else if (lc == 'g') {
            addDate(Kind::Era, run('g'));
        } else if (lc == 'e') {
            addDate(Kind::EraYear, run('e'));
        } else if (lc == 'b') {
            section.unsupported = true;  // Buddhist years, B1/B2 calendars
            ++i;
        } else {
            const size_t n = CodePointLength(static_cast<unsigned char>(c));
            AddLiteral(section, code.substr(i, n));
            i += n;
        }
    }
    if (section.systemDate) {
        return ParseSection("yyyy\"\xE5\xB9\xB4\"m\"\xE6\x9C\x88\"d\"\xE6\x97\xA5\"");  // yyyy"年"m"月"d"日"
    }
    if (section.systemTime) return ParseSection("h:mm:ss");
    if (!section.hasDate) return section;

    // Dates: tell minutes from months, find fractions of seconds, refuse number parts.
    std::vector<Token>& t = section.tokens;
    for (size_t k = 0; k < t.size(); ++k) {
        if (t[k].kind == Kind::Point && k > 0 &&
            (t[k - 1].kind == Kind::Second || t[k - 1].kind == Kind::ElapsedSecond) && k + 1 < t.size() &&
            t[k + 1].kind == Kind::Zero) {
            size_t n = 0;
            while (k + 1 + n < t.size() && t[k + 1 + n].kind == Kind::Zero) ++n;
            if (n > 3) section.unsupported = true;
            t[k] = {Kind::SubSecond, "", static_cast<int>(n)};
            t.erase(t.begin() + static_cast<long>(k) + 1, t.begin() + static_cast<long>(k + 1 + n));
        }
    }
    for (size_t k = 0; k < t.size(); ++k) {
        if (t[k].kind != Kind::Month || t[k].count > 2) continue;
        bool minute = false;
        for (size_t b = k; b-- > 0;) {
            if (!IsDateKind(t[b].kind)) continue;
            minute = t[b].kind == Kind::Hour || t[b].kind == Kind::ElapsedHour;
            break;
        }
        for (size_t a = k + 1; !minute && a < t.size(); ++a) {
            if (!IsDateKind(t[a].kind)) continue;
            minute = t[a].kind == Kind::Second || t[a].kind == Kind::ElapsedSecond;
            break;
        }
        if (minute) t[k].kind = Kind::Minute;
    }
    for (const Token& token : t) {
        if (token.kind == Kind::Zero || token.kind == Kind::Hash || token.kind == Kind::Question ||
            token.kind == Kind::Exponent || token.kind == Kind::General || token.kind == Kind::Text) {
            section.unsupported = true;
        }
    }
    return section;
}

std::vector<std::string_view> SplitSections(std::string_view code) {
    std::vector<std::string_view> parts;
    size_t start = 0;
    for (size_t i = 0; i < code.size(); ++i) {
        const char c = code[i];
        if (c == '"') {
            const size_t end = code.find('"', i + 1);
            i = end == std::string_view::npos ? code.size() : end;
        } else if (c == '\\' || c == '!' || c == '_' || c == '*') {
            if (i + 1 < code.size()) i += CodePointLength(static_cast<unsigned char>(code[i + 1]));
        } else if (c == '[') {
            const size_t end = code.find(']', i + 1);
            i = end == std::string_view::npos ? code.size() : end;
        } else if (c == ';') {
            parts.push_back(code.substr(start, i - start));
            start = i + 1;
        }
    }
    parts.push_back(code.substr(start));
    return parts;
}

// ---------------------------------------------------------------------------
// Numbers

bool IsPlaceholder(Kind kind) {
    return kind == Kind::Zero || kind == Kind::Hash || kind == Kind::Question;
}

// The text of one digit position that has no digit.
const char* Pad(Kind kind) {
    return kind == Kind::Zero ? "0" : kind == Kind::Question ? " " : "";
}

// Places the integer digits on the placeholders at indices (left to right):
// digits fill from the right, the leftmost placeholder takes any extra ones.
// Returns the text for each placeholder.
std::vector<std::string> PlaceInteger(const std::vector<Token>& t, const std::vector<size_t>& indices,
                                      const std::string& digits, bool grouping) {
    const size_t n = indices.size();
    std::vector<std::string> texts(n);
    const size_t m = digits.size();
    for (size_t p = 0; p < n; ++p) {
        const size_t fromRight = n - 1 - p;
        if (fromRight < m) texts[p] = std::string(1, digits[m - 1 - fromRight]);
        else texts[p].append(Pad(t[indices[p]].kind));
        if (p == 0 && m > n) texts[p] = digits.substr(0, m - n + 1);
    }
    if (grouping) {
        size_t total = 0;
        for (const std::string& s : texts) {
            for (char c : s) total += (c >= '0' && c <= '9') ? 1 : 0;
        }
        size_t seen = 0;
        for (std::string& s : texts) {
            std::string grouped;
            for (char c : s) {
                grouped += c;
                if (c < '0' || c > '9') continue;
                ++seen;
                const size_t left = total - seen;
                if (left > 0 && left % 3 == 0) grouped += ',';
            }
            s = grouped;
        }
    }
    return texts;
}

struct NumberLayout {
    std::vector<size_t> integer, fraction, exponent;  // placeholder indices
    size_t point = std::string::npos;
    size_t exponentToken = std::string::npos;
    bool grouping = false;
    int scaleCommas = 0;
    int percents = 0;
    std::vector<bool> silentComma;  // commas that group or scale, not shown
};

NumberLayout Layout(const std::vector<Token>& t) {
    NumberLayout layout;
    layout.silentComma.assign(t.size(), false);
    for (size_t k = 0; k < t.size(); ++k) {
        const Kind kind = t[k].kind;
        if (kind == Kind::Point && layout.point == std::string::npos && layout.exponentToken == std::string::npos) {
            layout.point = k;
        } else if (kind == Kind::Exponent && layout.exponentToken == std::string::npos) {
            layout.exponentToken = k;
        } else if (kind == Kind::Percent) {
            ++layout.percents;
        } else if (IsPlaceholder(kind)) {
            if (layout.exponentToken != std::string::npos) layout.exponent.push_back(k);
            else if (layout.point != std::string::npos) layout.fraction.push_back(k);
            else layout.integer.push_back(k);
        }
    }
    for (size_t k = 0; k < t.size(); ++k) {
        if (t[k].kind != Kind::Comma || k == 0) continue;
        size_t before = k;
        while (before > 0 && t[before - 1].kind == Kind::Comma) --before;
        if (before == 0 || !IsPlaceholder(t[before - 1].kind)) continue;
        size_t after = k + 1;
        while (after < t.size() && t[after].kind == Kind::Comma) ++after;
        const bool digitFollows = after < t.size() && IsPlaceholder(t[after].kind);
        if (!digitFollows) {
            for (size_t c = k; c < after; ++c) {
                layout.silentComma[c] = true;
                ++layout.scaleCommas;
            }
            k = after - 1;
        } else {
            layout.silentComma[k] = true;
            if (layout.point == std::string::npos || k < layout.point) layout.grouping = true;
        }
    }
    return layout;
}

// d times a whole factor (at most 10^9), digit by digit: a numerator over a
// fixed denominator can pass what a double counts exactly, and long long.
Decimal MultiplyDecimal(const Decimal& d, uint64_t factor) {
    Decimal product;
    if (d.digits.empty() || factor == 0) return product;
    std::string digits(d.digits.size() + 10, '0');
    uint64_t carry = 0;
    size_t out = digits.size();
    for (size_t k = d.digits.size(); k-- > 0;) {
        const uint64_t x = static_cast<uint64_t>(d.digits[k] - '0') * factor + carry;
        digits[--out] = static_cast<char>('0' + x % 10);
        carry = x / 10;
    }
    while (carry > 0) {
        digits[--out] = static_cast<char>('0' + carry % 10);
        carry /= 10;
    }
    digits.erase(0, out);
    product.exp10 = d.exp10 + static_cast<int>(digits.size() - d.digits.size());
    while (!digits.empty() && digits.back() == '0') digits.pop_back();
    product.digits = std::move(digits);
    return product;
}

// Best fraction numerator/denominator for x in [0, 1] with denominator <= maxDen.
void BestFraction(double x, long long maxDen, long long& num, long long& den) {
    num = 0;
    den = 1;
    double best = x;
    for (long long d = 1; d <= maxDen; ++d) {
        const long long n = static_cast<long long>(std::floor(x * static_cast<double>(d) + 0.5));
        const double error = std::fabs(x - static_cast<double>(n) / static_cast<double>(d));
        if (error < best - 1e-15) {
            best = error;
            num = n;
            den = d;
            if (error == 0) break;
        }
    }
}

bool IsSpaceLiteral(const Token& token) {
    if (token.kind != Kind::Literal) return false;
    for (char c : token.text) {
        if (c != ' ') return false;
    }
    return true;
}

// A literal that starts with a digit: a fixed denominator, perhaps followed by text.
bool IsDigitLiteral(const Token& token) {
    return token.kind == Kind::Literal && !token.text.empty() && token.text[0] >= '0' && token.text[0] <= '9';
}

// "# ?/?", "?/8", "# ??/100": false when the code holds no fraction.
bool FormatFraction(const std::vector<Token>& t, double magnitude, std::string& out) {
    size_t slash = t.size();
    for (size_t k = 0; k < t.size(); ++k) {
        if (t[k].kind == Kind::Slash) {
            slash = k;
            break;
        }
    }
    if (slash == t.size()) return false;
    // Numerator: the placeholders just before the slash.
    size_t numEnd = slash;
    while (numEnd > 0 && IsSpaceLiteral(t[numEnd - 1])) --numEnd;
    size_t numStart = numEnd;
    while (numStart > 0 && IsPlaceholder(t[numStart - 1].kind)) --numStart;
    if (numStart == numEnd) return false;
    // Denominator: placeholders, or a fixed number, after the slash.
    size_t denStart = slash + 1;
    while (denStart < t.size() && IsSpaceLiteral(t[denStart])) ++denStart;
    size_t denEnd = denStart;
    long long fixedDen = 0;
    if (denStart < t.size() && IsDigitLiteral(t[denStart])) {
        // The digits may run on into a literal text; take the leading digits.
        const std::string& text = t[denStart].text;
        std::from_chars(text.data(), text.data() + text.size(), fixedDen);
        if (fixedDen <= 0 || fixedDen > 1000000000) return false;
        denEnd = denStart + 1;
    } else {
        while (denEnd < t.size() && IsPlaceholder(t[denEnd].kind)) ++denEnd;
        if (denEnd == denStart) return false;
    }
    std::vector<size_t> integer;
    for (size_t k = 0; k < numStart; ++k) {
        if (IsPlaceholder(t[k].kind)) integer.push_back(k);
    }

    long long whole = 0;
    double fraction = magnitude;
    long long num = 0;
    long long den = 1;
    std::string bigDigits;  // a number too large for a fraction part, shown whole
    const bool wholeOverFixed = fixedDen > 0 && integer.empty();  // "?/8": the numerator is value x 8
    if (magnitude >= 1e12 && !wholeOverFixed) {
        Decimal d = ToDecimal(magnitude);
        RoundTo(d, 0);
        bigDigits = IntegerDigits(d);
        fraction = 0;
    } else if (!integer.empty()) {
        whole = static_cast<long long>(std::floor(magnitude));
        fraction = magnitude - static_cast<double>(whole);
    }
    if (!bigDigits.empty()) {
        // no fraction: 0/den, or the number itself over 1
    } else if (fixedDen > 0) {
        den = fixedDen;
        const double scaled = std::floor(fraction * static_cast<double>(den) + 0.5);
        if (scaled < 1e15) {
            num = static_cast<long long>(scaled);
        } else {
            // Beyond whole numbers a double holds exactly (or at all): the
            // spreadsheet's 15 digits times the denominator, in decimal.
            Decimal product = MultiplyDecimal(ToDecimal(fraction), static_cast<uint64_t>(den));
            RoundTo(product, 0);
            bigDigits = IntegerDigits(product);
        }
    } else {
        const size_t places = denEnd - denStart;
        long long maxDen = 1;
        for (size_t k = 0; k < places && k < 4; ++k) maxDen *= 10;
        BestFraction(fraction, maxDen - 1, num, den);
    }
    if (!integer.empty() && num == den) {
        ++whole;
        num = 0;
    }
    const bool blankFraction = !integer.empty() && num == 0;

    std::string wholeDigits = whole > 0 ? PadNumber(whole, 0) : std::string();
    std::string numDigits = PadNumber(num, 0);
    if (!bigDigits.empty()) (integer.empty() ? numDigits : wholeDigits) = bigDigits;
    if (wholeDigits.empty() && blankFraction) wholeDigits.assign(1, '0');
    const std::vector<std::string> wholeTexts = PlaceInteger(t, integer, wholeDigits, false);
    std::vector<size_t> numerator;
    for (size_t k = numStart; k < numEnd; ++k) numerator.push_back(k);
    const std::vector<std::string> numTexts = PlaceInteger(t, numerator, numDigits, false);

    size_t nextWhole = 0;
    for (size_t k = 0; k < t.size(); ++k) {
        const Token& token = t[k];
        if (k >= numStart && k < denEnd) {
            std::string part;
            if (k < numEnd) {
                part = numTexts[k - numStart];
            } else if (k == slash) {
                part.assign(1, '/');
            } else if (k >= denStart) {
                if (fixedDen > 0) {
                    part = token.text;
                } else if (k == denStart) {
                    part = PadNumber(den, 0);
                    const size_t places = denEnd - denStart;
                    for (size_t p = part.size(); p < places; ++p) part += Pad(t[denStart + p].kind);
                }
            } else {
                part = token.text;  // spaces around the slash
            }
            if (blankFraction) {
                size_t width = 0;
                for (size_t b = 0; b < part.size(); b += CodePointLength(static_cast<unsigned char>(part[b]))) ++width;
                part.assign(width, ' ');
            }
            out += part;
            continue;
        }
        if (IsPlaceholder(token.kind)) {
            if (nextWhole < wholeTexts.size()) out += wholeTexts[nextWhole++];  // none after the fraction
        } else if (token.kind == Kind::Literal || token.kind == Kind::Point || token.kind == Kind::Comma ||
                   token.kind == Kind::Percent || token.kind == Kind::Slash) {
            out += token.text;
        }
    }
    return true;
}

std::string FormatDigits(const std::vector<Token>& t, double magnitude) {
    std::string out;
    if (FormatFraction(t, magnitude, out)) return out;

    const NumberLayout layout = Layout(t);
    Decimal d = ToDecimal(magnitude);
    if (!d.digits.empty()) d.exp10 += 2 * layout.percents - 3 * layout.scaleCommas;
    const int fractionCount = static_cast<int>(layout.fraction.size());

    int exponent = 0;
    if (layout.exponentToken != std::string::npos && !d.digits.empty()) {
        const int integerCount = layout.integer.empty() ? 1 : static_cast<int>(layout.integer.size());
        bool engineering = false;
        for (size_t k : layout.integer) engineering = engineering || t[k].kind != Kind::Zero;
        const int step = engineering ? integerCount : 1;
        const int e = d.exp10 - 1;
        if (engineering) {
            exponent = e >= 0 ? e / step * step : -((-e + step - 1) / step * step);
        } else {
            exponent = e - (integerCount - 1);
        }
        Decimal mantissa = d;
        mantissa.exp10 -= exponent;
        RoundTo(mantissa, fractionCount);
        if (mantissa.exp10 > (engineering ? step : integerCount)) {
            exponent += step;
            mantissa = d;
            mantissa.exp10 -= exponent;
            RoundTo(mantissa, fractionCount);
        }
        d = mantissa;
    } else {
        RoundTo(d, fractionCount);
    }

    const std::string integerDigits = IntegerDigits(d);
    const std::vector<std::string> integerTexts = PlaceInteger(t, layout.integer, integerDigits, layout.grouping);
    const std::string fractionDigits = FractionDigits(d, fractionCount);
    // Trailing zeros on # and ? positions are not shown.
    long lastShown = -1;
    for (size_t p = 0; p < layout.fraction.size(); ++p) {
        if (fractionDigits[p] != '0' || t[layout.fraction[p]].kind == Kind::Zero) lastShown = static_cast<long>(p);
    }

    size_t nextInteger = 0;
    size_t nextFraction = 0;
    size_t nextExponent = 0;
    for (size_t k = 0; k < t.size(); ++k) {
        const Token& token = t[k];
        if (k == layout.point && layout.integer.empty()) out += integerDigits;
        switch (token.kind) {
            case Kind::Zero:
            case Kind::Hash:
            case Kind::Question:
                if (nextInteger < layout.integer.size() && layout.integer[nextInteger] == k) {
                    out += integerTexts[nextInteger++];
                } else if (nextFraction < layout.fraction.size() && layout.fraction[nextFraction] == k) {
                    const size_t p = nextFraction++;
                    if (static_cast<long>(p) <= lastShown) out += fractionDigits[p];
                    else if (token.kind == Kind::Question) out += ' ';
                } else if (nextExponent < layout.exponent.size() && layout.exponent[nextExponent] == k) {
                    if (nextExponent++ == 0) {
                        int width = 0;
                        for (size_t e : layout.exponent) width += t[e].kind == Kind::Zero ? 1 : 0;
                        out += PadNumber(std::abs(exponent), width);
                    }
                }
                break;
            case Kind::Exponent:
                if (k == layout.exponentToken) {
                    out += token.text[0];
                    if (exponent < 0) out += '-';
                    else if (token.text[1] == '+') out += '+';
                    if (layout.exponent.empty()) out += PadNumber(std::abs(exponent), 0);
                } else {
                    out += token.text;
                }
                break;
            case Kind::Comma:
                if (!layout.silentComma[k]) out += ',';
                break;
            case Kind::Literal:
            case Kind::Point:
            case Kind::Percent:
            case Kind::Slash:
                out += token.text;
                break;
            default:
                break;
        }
    }
    return out;
}

// ---------------------------------------------------------------------------
// Dates and times

constexpr long long kLastSerial1900 = 2958465;  // 9999-12-31
constexpr long long kLastSerial1904 = 2957003;

// Days since 1970-01-01 to the civil date (proleptic Gregorian).
void CivilFromDays(long long z, int& year, int& month, int& day) {
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const long long doe = z - era * 146097;
    const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long long mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(yoe + era * 400 + (month <= 2 ? 1 : 0));
}

constexpr long long kDays1899_12_30 = -25569;  // days from 1970-01-01
constexpr long long kDays1904_01_01 = -24107;

struct DateParts {
    int year = 0, month = 0, day = 0, weekday = 0;  // weekday 0 = Sunday
};

DateParts DateOfSerialDay(long long serialDay, bool date1904) {
    DateParts p;
    if (date1904) {
        CivilFromDays(kDays1904_01_01 + serialDay, p.year, p.month, p.day);
        p.weekday = static_cast<int>((serialDay + 5) % 7);
        return p;
    }
    // The 1900 system counts 1900-02-29, which never was, as serial 60, and shows
    // serial 0 as 1900-01-00.
    if (serialDay == 0) {
        p.year = 1900, p.month = 1, p.day = 0;
    } else if (serialDay == 60) {
        p.year = 1900, p.month = 2, p.day = 29;
    } else {
        CivilFromDays(kDays1899_12_30 + serialDay + (serialDay < 60 ? 1 : 0), p.year, p.month, p.day);
    }
    p.weekday = static_cast<int>((serialDay + 6) % 7);
    return p;
}

struct EraInfo {
    int year, month, day;  // first day
    const char* letter;
    const char* shortName;
    const char* name;
};

constexpr EraInfo kEras[] = {
    {2019, 5, 1, "R", "\xE4\xBB\xA4", "\xE4\xBB\xA4\xE5\x92\x8C"},   // 令和
    {1989, 1, 8, "H", "\xE5\xB9\xB3", "\xE5\xB9\xB3\xE6\x88\x90"},   // 平成
    {1926, 12, 25, "S", "\xE6\x98\xAD", "\xE6\x98\xAD\xE5\x92\x8C"}, // 昭和
    {1912, 7, 30, "T", "\xE5\xA4\xA7", "\xE5\xA4\xA7\xE6\xAD\xA3"},  // 大正
    {1868, 9, 8, "M", "\xE6\x98\x8E", "\xE6\x98\x8E\xE6\xB2\xBB"},   // 明治
};

const EraInfo& EraOf(const DateParts& p) {
    for (const EraInfo& era : kEras) {
        if (p.year > era.year || (p.year == era.year && (p.month > era.month ||
                                                         (p.month == era.month && p.day >= era.day)))) {
            return era;
        }
    }
    return kEras[4];
}

constexpr const char* kMonthNames[] = {"January", "February", "March",     "April",   "May",      "June",
                                       "July",    "August",   "September", "October", "November", "December"};
constexpr const char* kDayNames[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
constexpr const char* kJapaneseDays[] = {"\xE6\x97\xA5", "\xE6\x9C\x88", "\xE7\x81\xAB", "\xE6\xB0\xB4",
                                         "\xE6\x9C\xA8", "\xE9\x87\x91", "\xE5\x9C\x9F"};  // 日月火水木金土
constexpr const char* kYoubi = "\xE6\x9B\x9C\xE6\x97\xA5";                              // 曜日
constexpr const char* kGannen = "\xE5\x85\x83";                                           // 元

bool FormatDate(const Section& section, double serial, bool date1904, std::string& out) {
    const std::vector<Token>& t = section.tokens;
    int subDigits = 0;
    bool twelveHour = false;
    bool calendar = false;
    for (const Token& token : t) {
        if (token.kind == Kind::SubSecond && token.count > subDigits) subDigits = token.count;
        if (token.kind == Kind::AmPm || token.kind == Kind::AP) twelveHour = true;
        if (token.kind == Kind::Year || token.kind == Kind::Month || token.kind == Kind::Day ||
            token.kind == Kind::Era || token.kind == Kind::EraYear || token.kind == Kind::Weekday) {
            calendar = true;
        }
    }
    // The time is rounded to the shown precision (whole seconds at least) and
    // may carry into the next day.
    long long subUnit = 1;
    for (int k = 0; k < subDigits; ++k) subUnit *= 10;
    const long long unitsPerDay = 86400LL * subUnit;
    const double scaled = serial * static_cast<double>(unitsPerDay);
    if (!(scaled < 9.0e15)) return false;
    const long long units = static_cast<long long>(std::floor(scaled + 0.5));
    const long long serialDay = units / unitsPerDay;
    const long long dayUnits = units % unitsPerDay;
    const long long seconds = dayUnits / subUnit;
    const long long subSeconds = dayUnits % subUnit;
    const int hour = static_cast<int>(seconds / 3600);
    const int minute = static_cast<int>(seconds / 60 % 60);
    const int second = static_cast<int>(seconds % 60);

    DateParts date;
    if (calendar) {
        if (serialDay > (date1904 ? kLastSerial1904 : kLastSerial1900)) return false;
        date = DateOfSerialDay(serialDay, date1904);
    }

    for (const Token& token : t) {
        switch (token.kind) {
            case Kind::Year:
                out += token.count <= 2 ? PadNumber(date.year % 100, 2) : PadNumber(date.year, 4);
                break;
            case Kind::Month:
                if (token.count <= 2) out += PadNumber(date.month, token.count);
                else if (token.count == 3) out += std::string(kMonthNames[date.month - 1], 3);
                else if (token.count == 5) out += kMonthNames[date.month - 1][0];
                else out += kMonthNames[date.month - 1];
                break;
            case Kind::Day:
                if (token.count <= 2) out += PadNumber(date.day, token.count);
                else if (token.count == 3) out += std::string(kDayNames[date.weekday], 3);
                else out += kDayNames[date.weekday];
                break;
            case Kind::Weekday:
                out += kJapaneseDays[date.weekday];
                if (token.count >= 4) out += kYoubi;
                break;
            case Kind::Era: {
                const EraInfo& era = EraOf(date);
                out += token.count == 1 ? era.letter : token.count == 2 ? era.shortName : era.name;
                break;
            }
            case Kind::EraYear: {
                const int eraYear = date.year - EraOf(date).year + 1;
                if (eraYear == 1 && section.gannen) out += kGannen;
                else out += PadNumber(eraYear, token.count >= 2 ? 2 : 1);
                break;
            }
            case Kind::Hour: {
                int shown = hour;
                if (twelveHour) shown = hour % 12 == 0 ? 12 : hour % 12;
                out += PadNumber(shown, token.count >= 2 ? 2 : 1);
                break;
            }
            case Kind::Minute:
                out += PadNumber(minute, token.count >= 2 ? 2 : 1);
                break;
            case Kind::Second:
                out += PadNumber(second, token.count >= 2 ? 2 : 1);
                break;
            case Kind::SubSecond:
                out += '.';
                out += PadNumber(subSeconds, subDigits).substr(0, static_cast<size_t>(token.count));
                break;
            case Kind::ElapsedHour:
                out += PadNumber(serialDay * 24 + hour, token.count);
                break;
            case Kind::ElapsedMinute:
                out += PadNumber((serialDay * 24 + hour) * 60 + minute, token.count);
                break;
            case Kind::ElapsedSecond:
                out += PadNumber(serialDay * 86400 + seconds, token.count);
                break;
            case Kind::AmPm:
                out += hour < 12 ? "AM" : "PM";
                break;
            case Kind::AP:
                out += hour < 12 ? token.text[0] : token.text[1];
                break;
            default:
                out += token.text;
                break;
        }
    }
    return true;
}

bool FormatWithCode(double value, std::string_view code, bool date1904, std::string& out) {
    if (!std::isfinite(value)) return false;
    if (value == 0) value = 0;  // no negative zero
    const std::vector<std::string_view> parts = SplitSections(code);
    if (parts.size() > 4) return false;
    std::vector<Section> sections;
    for (std::string_view part : parts) sections.push_back(ParseSection(part));
    for (const Section& s : sections) {
        if (s.unsupported) return false;
    }
    // The fourth section, or a last one holding @, is for texts; numbers use the others.
    size_t numberSections = sections.size();
    if (numberSections == 4 || (numberSections > 1 && sections.back().hasText)) --numberSections;
    bool conditional = false;
    for (size_t k = 0; k < numberSections; ++k) conditional = conditional || sections[k].condition.present;
    size_t chosen = 0;
    bool minus = false;
    if (!conditional) {
        // Positive;negative;zero. A negative section shows no minus sign of its own.
        if (value < 0) {
            if (numberSections >= 2) chosen = 1;
            else minus = true;
        } else if (value == 0 && numberSections >= 3) {
            chosen = 2;
        }
    } else {
        // The first section whose condition holds; a second section without a
        // condition, or a third, takes the rest.
        const Condition& first = sections[0].condition;
        if (first.present ? first.Matches(value) : value >= 0) {
            chosen = 0;
        } else if (numberSections >= 2 &&
                   (!sections[1].condition.present || sections[1].condition.Matches(value))) {
            chosen = 1;
        } else if (numberSections >= 3) {
            chosen = 2;
        } else {
            return false;  // no section for the value: a spreadsheet shows #####
        }
        minus = value < 0 && !sections[chosen].condition.OnlyNegative();
    }
    const Section& section = sections[chosen];
    if (section.empty && sections.size() > 1) {
        out.clear();
        return true;
    }
    const double magnitude = std::fabs(value);
    if (section.empty || section.hasText) {
        // No number section here: the number shows as General.
        out.clear();
        if (value < 0) out += '-';
        out += GeneralMagnitude(magnitude);
        return true;
    }
    if (section.hasDate) {
        if (value < 0) return false;  // a spreadsheet shows ##### for negative dates
        return FormatDate(section, magnitude, date1904, out);
    }
    if (section.hasGeneral) {
        out.clear();
        if (minus) out += '-';
        for (const Token& token : section.tokens) {
            if (token.kind == Kind::General) out += GeneralMagnitude(magnitude);
            else if (token.kind != Kind::Zero && token.kind != Kind::Hash && token.kind != Kind::Question) {
                out += token.text;
            }
        }
        return true;
    }
    out.clear();
    if (minus) out += '-';
    out += FormatDigits(section.tokens, magnitude);
    return true;
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
    std::string out;
    const bool ok = FormatWithCode(value, formatCode, date1904, out);
    if (supported) *supported = ok;
    return ok ? out : GeneralNumberText(value);
}

std::string GeneralNumberText(double value) {
    if (std::isnan(value) || std::isinf(value)) return "#NUM!";
    if (value == 0) return "0";
    std::string text = GeneralMagnitude(std::fabs(value));
    if (value < 0) text.insert(text.begin(), '-');
    return text;
}

bool IsNumericText(std::string_view text) {
    for (char c : text) {
        if (!((c >= '0' && c <= '9') || c == '.' || c == ',' || c == '-')) return false;
    }
    return true;
}

}  // namespace tabulon
