// Format codes read into tokens: "#,##0.00;[Red]-#,##0.00" is two sections,
// each a run of digit places, literal texts and date parts.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tabulon::number_format {

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

// A digit place: 0 shows a zero, ? a space and # nothing where there is no digit.
inline bool IsPlaceholder(Kind kind) {
    return kind == Kind::Zero || kind == Kind::Hash || kind == Kind::Question;
}

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

// The code's sections, split at the semicolons outside quotes, escapes and brackets.
std::vector<std::string_view> SplitSections(std::string_view code);

// One section's code as tokens, with the date parts told apart.
Section ParseSection(std::string_view code);

}  // namespace tabulon::number_format
