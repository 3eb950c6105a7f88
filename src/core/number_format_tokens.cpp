#include "core/number_format_tokens.h"

#include <charconv>
#include <cstddef>
#include <utility>

#include "core/ascii.h"
#include "core/utf8.h"

namespace tabulon::number_format {

namespace {

constexpr std::string_view kGeneralJapanese = "G/\xE6\xA8\x99\xE6\xBA\x96";  // G/標準
constexpr std::string_view kSystemLongDate =
    "yyyy\"\xE5\xB9\xB4\"m\"\xE6\x9C\x88\"d\"\xE6\x97\xA5\"";  // yyyy"年"m"月"d"日"
constexpr std::string_view kSystemTime = "h:mm:ss";

size_t NextCodePointLength(std::string_view code, size_t pos) {
    return pos < code.size() ? Utf8SequenceLength(static_cast<unsigned char>(code[pos])) : 0;
}

// Past a quoted text; an unclosed quote runs to the end.
size_t SkipQuoted(std::string_view code, size_t pos) {
    const size_t end = code.find('"', pos + 1);
    return end == std::string_view::npos ? code.size() : end + 1;
}

// \x and !x show x, _x leaves a space as wide as x, *x fills the cell with x.
bool IsEscape(char c) {
    return c == '\\' || c == '!' || c == '_' || c == '*';
}

// Past an escape and the character it applies to.
size_t SkipEscape(std::string_view code, size_t pos) {
    return pos + 1 + NextCodePointLength(code, pos + 1);
}

void AddLiteral(Section& section, std::string_view text) {
    if (!section.tokens.empty() && section.tokens.back().kind == Kind::Literal) {
        section.tokens.back().text += text;
    } else {
        section.tokens.push_back({Kind::Literal, std::string(text)});
    }
}

void AddDatePart(Section& section, Kind kind, int count, std::string text = {}) {
    section.tokens.push_back({kind, std::move(text), count});
    section.hasDate = true;
}

// What a bracketed part means: a colour, a locale, an elapsed time, a condition.
void ReadBracket(Section& section, std::string_view inner) {
    static constexpr std::string_view kColours[] = {"black", "blue",  "cyan",  "green",
                                                    "magenta", "red", "white", "yellow"};
    for (std::string_view colour : kColours) {
        if (AsciiEqualsIgnoreCase(inner, colour)) return;
    }
    if (AsciiStartsWithIgnoreCase(inner, "color") && inner.size() > 5) {
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
            if (AsciiStartsWithIgnoreCase(locale.substr(k), "x-gannen")) section.gannen = true;
        }
        if (AsciiEqualsIgnoreCase(locale, "F800") || AsciiEqualsIgnoreCase(locale, "x-sysdate")) {
            section.systemDate = true;
        }
        if (AsciiEqualsIgnoreCase(locale, "F400") || AsciiEqualsIgnoreCase(locale, "x-systime")) {
            section.systemTime = true;
        }
        unsigned long id = 0;
        auto res = std::from_chars(locale.data(), locale.data() + locale.size(), id, 16);
        if (res.ec == std::errc() && res.ptr == locale.data() + locale.size() && id > 0xFFFF) {
            section.unsupported = true;  // a calendar or digit system other than the default
        }
        return;
    }
    if (!inner.empty()) {
        const char c = AsciiLower(inner[0]);
        bool same = true;
        for (char k : inner) same = same && AsciiLower(k) == c;
        if (same && (c == 'h' || c == 'm' || c == 's')) {
            const Kind kind = c == 'h' ? Kind::ElapsedHour : c == 'm' ? Kind::ElapsedMinute : Kind::ElapsedSecond;
            AddDatePart(section, kind, static_cast<int>(inner.size()));
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

// Each reader below looks at code[pos]: when the token there is its kind, it
// adds the token, moves pos past it and returns true.
using Reader = bool (*)(std::string_view code, size_t& pos, Section& section);

bool ReadQuoted(std::string_view code, size_t& pos, Section& section) {
    if (code[pos] != '"') return false;
    const size_t end = code.find('"', pos + 1);
    const size_t textEnd = end == std::string_view::npos ? code.size() : end;
    AddLiteral(section, code.substr(pos + 1, textEnd - pos - 1));
    pos = SkipQuoted(code, pos);
    return true;
}

bool ReadEscape(std::string_view code, size_t& pos, Section& section) {
    const char c = code[pos];
    if (!IsEscape(c)) return false;
    const size_t next = SkipEscape(code, pos);
    if (c == '_') {
        AddLiteral(section, " ");
    } else if (c != '*' && next > pos + 1) {
        AddLiteral(section, code.substr(pos + 1, next - pos - 1));
    }
    pos = next;
    return true;
}

bool ReadBracketed(std::string_view code, size_t& pos, Section& section) {
    if (code[pos] != '[') return false;
    const size_t end = code.find(']', pos + 1);
    if (end == std::string_view::npos) {
        section.unsupported = true;
        pos = code.size();  // nothing after it can be read
        return true;
    }
    ReadBracket(section, code.substr(pos + 1, end - pos - 1));
    pos = end + 1;
    return true;
}

// Characters that are one token each.
bool ReadSymbol(std::string_view code, size_t& pos, Section& section) {
    struct Symbol {
        char c;
        Kind kind;
        const char* text;
    };
    static constexpr Symbol kSymbols[] = {
        {'0', Kind::Zero, ""},    {'#', Kind::Hash, ""},     {'?', Kind::Question, ""}, {'.', Kind::Point, "."},
        {',', Kind::Comma, ","}, {'%', Kind::Percent, "%"}, {'/', Kind::Slash, "/"},   {'@', Kind::Text, ""},
    };
    for (const Symbol& symbol : kSymbols) {
        if (code[pos] != symbol.c) continue;
        section.tokens.push_back({symbol.kind, symbol.text});
        if (symbol.kind == Kind::Text) section.hasText = true;
        ++pos;
        return true;
    }
    return false;
}

bool ReadExponent(std::string_view code, size_t& pos, Section& section) {
    if (AsciiLower(code[pos]) != 'e' || pos + 1 >= code.size() || (code[pos + 1] != '+' && code[pos + 1] != '-')) {
        return false;
    }
    section.tokens.push_back({Kind::Exponent, std::string(code.substr(pos, 2))});
    pos += 2;
    return true;
}

bool ReadGeneral(std::string_view code, size_t& pos, Section& section) {
    size_t length = 0;
    if (AsciiStartsWithIgnoreCase(code.substr(pos), "general")) {
        length = 7;
    } else if (code.substr(pos, kGeneralJapanese.size()) == kGeneralJapanese) {
        length = kGeneralJapanese.size();
    } else {
        return false;
    }
    section.tokens.push_back({Kind::General, ""});
    section.hasGeneral = true;
    pos += length;
    return true;
}

// AM/PM, A/P, and runs of date letters: "yyyy", "mm", "aaa", ...
bool ReadDatePart(std::string_view code, size_t& pos, Section& section) {
    const std::string_view rest = code.substr(pos);
    if (AsciiStartsWithIgnoreCase(rest, "am/pm")) {
        AddDatePart(section, Kind::AmPm, 0);
        pos += 5;
        return true;
    }
    if (AsciiStartsWithIgnoreCase(rest, "a/p")) {
        AddDatePart(section, Kind::AP, 0, std::string{rest[0], rest[2]});
        pos += 3;
        return true;
    }
    struct DateLetter {
        char letter;
        Kind kind;
        int minimumRun;
    };
    static constexpr DateLetter kLetters[] = {
        {'a', Kind::Weekday, 3}, {'y', Kind::Year, 1}, {'m', Kind::Month, 1},   {'d', Kind::Day, 1},
        {'h', Kind::Hour, 1},    {'s', Kind::Second, 1}, {'g', Kind::Era, 1}, {'e', Kind::EraYear, 1},
    };
    const char letter = AsciiLower(rest[0]);
    for (const DateLetter& date : kLetters) {
        if (letter != date.letter) continue;
        size_t run = 0;
        while (run < rest.size() && AsciiLower(rest[run]) == letter) ++run;
        if (static_cast<int>(run) < date.minimumRun) return false;
        AddDatePart(section, date.kind, static_cast<int>(run));
        pos += run;
        return true;
    }
    return false;
}

bool ReadRefused(std::string_view code, size_t& pos, Section& section) {
    if (AsciiLower(code[pos]) != 'b') return false;
    section.unsupported = true;  // Buddhist years, B1/B2 calendars
    ++pos;
    return true;
}

// Anything else stands for itself.
bool ReadLiteral(std::string_view code, size_t& pos, Section& section) {
    const size_t n = NextCodePointLength(code, pos);
    AddLiteral(section, code.substr(pos, n));
    pos += n;
    return true;
}

// In the order they are tried; the last one takes any character.
constexpr Reader kReaders[] = {ReadQuoted, ReadEscape,   ReadBracketed, ReadSymbol, ReadExponent,
                               ReadGeneral, ReadDatePart, ReadRefused,   ReadLiteral};

void Tokenize(std::string_view code, Section& section) {
    size_t pos = 0;
    while (pos < code.size()) {
        for (Reader read : kReaders) {
            if (read(code, pos, section)) break;
        }
    }
}

// ---------------------------------------------------------------------------
// Date fix-ups: what the letters mean depends on their neighbours.

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

// "ss.00": the zeros after the seconds' point are fractions of a second, three at most.
void JoinFractionsOfSeconds(Section& section) {
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
}

// "m" and "mm" are minutes right after an hour or right before a second
// (other date parts between count, literals do not); elsewhere months.
void TellMinutesFromMonths(std::vector<Token>& t) {
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
}

// A date shows no digit places, exponents, General or text.
void RefuseNumberParts(Section& section) {
    for (const Token& token : section.tokens) {
        if (IsPlaceholder(token.kind) || token.kind == Kind::Exponent || token.kind == Kind::General ||
            token.kind == Kind::Text) {
            section.unsupported = true;
        }
    }
}

}  // namespace

std::vector<std::string_view> SplitSections(std::string_view code) {
    std::vector<std::string_view> parts;
    size_t start = 0;
    size_t i = 0;
    while (i < code.size()) {
        const char c = code[i];
        if (c == '"') {
            i = SkipQuoted(code, i);
        } else if (IsEscape(c)) {
            i = SkipEscape(code, i);
        } else if (c == '[') {
            const size_t end = code.find(']', i + 1);
            i = end == std::string_view::npos ? code.size() : end + 1;
        } else {
            if (c == ';') {
                parts.push_back(code.substr(start, i - start));
                start = i + 1;
            }
            ++i;
        }
    }
    parts.push_back(code.substr(start));
    return parts;
}

Section ParseSection(std::string_view code) {
    Section section;
    section.empty = code.empty();
    Tokenize(code, section);
    if (section.systemDate) return ParseSection(kSystemLongDate);
    if (section.systemTime) return ParseSection(kSystemTime);
    if (section.hasDate) {
        JoinFractionsOfSeconds(section);
        TellMinutesFromMonths(section.tokens);
        RefuseNumberParts(section);
    }
    return section;
}

}  // namespace tabulon::number_format
