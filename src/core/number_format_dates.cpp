#include "core/number_format_dates.h"

#include <cmath>

#include "core/number_format_decimal.h"
#include "core/serial_date.h"

namespace tabulon::number_format {

namespace {

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

const EraInfo& EraOf(const SerialDate& p) {
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

// A serial date split at the precision its section shows.
struct Moment {
    SerialDate date;  // when the section shows calendar parts
    long long serialDay = 0;
    long long seconds = 0;     // into the day
    long long subSeconds = 0;  // in units of 10^-subDigits seconds
    int subDigits = 0;
    int hour = 0, minute = 0, second = 0;
    bool twelveHour = false;
};

// False when the date lies beyond 9999-12-31 or the time beyond what can be counted.
bool SplitSerial(const std::vector<Token>& t, double serial, bool date1904, Moment& m) {
    bool calendar = false;
    for (const Token& token : t) {
        if (token.kind == Kind::SubSecond && token.count > m.subDigits) m.subDigits = token.count;
        if (token.kind == Kind::AmPm || token.kind == Kind::AP) m.twelveHour = true;
        if (token.kind == Kind::Year || token.kind == Kind::Month || token.kind == Kind::Day ||
            token.kind == Kind::Era || token.kind == Kind::EraYear || token.kind == Kind::Weekday) {
            calendar = true;
        }
    }
    // The time is rounded to the shown precision (whole seconds at least) and
    // may carry into the next day.
    long long subUnit = 1;
    for (int k = 0; k < m.subDigits; ++k) subUnit *= 10;
    const long long unitsPerDay = 86400LL * subUnit;
    const double scaled = serial * static_cast<double>(unitsPerDay);
    if (!(scaled < 9.0e15)) return false;
    const long long units = static_cast<long long>(std::floor(scaled + 0.5));
    m.serialDay = units / unitsPerDay;
    const long long dayUnits = units % unitsPerDay;
    m.seconds = dayUnits / subUnit;
    m.subSeconds = dayUnits % subUnit;
    m.hour = static_cast<int>(m.seconds / 3600);
    m.minute = static_cast<int>(m.seconds / 60 % 60);
    m.second = static_cast<int>(m.seconds % 60);
    if (calendar) {
        if (m.serialDay > (date1904 ? kLastSerial1904 : kLastSerial1900)) return false;
        m.date = DateOfSerialDay(m.serialDay, date1904);
    }
    return true;
}

// Years, months, days, weekdays and eras; false for other tokens.
bool AppendCalendarPart(const Token& token, bool gannen, const SerialDate& date, std::string& out) {
    switch (token.kind) {
        case Kind::Year:
            out += token.count <= 2 ? PadNumber(date.year % 100, 2) : PadNumber(date.year, 4);
            return true;
        case Kind::Month:
            if (token.count <= 2) out += PadNumber(date.month, token.count);
            else if (token.count == 3) out += std::string(kMonthNames[date.month - 1], 3);
            else if (token.count == 5) out += kMonthNames[date.month - 1][0];
            else out += kMonthNames[date.month - 1];
            return true;
        case Kind::Day:
            if (token.count <= 2) out += PadNumber(date.day, token.count);
            else if (token.count == 3) out += std::string(kDayNames[date.weekday], 3);
            else out += kDayNames[date.weekday];
            return true;
        case Kind::Weekday:
            out += kJapaneseDays[date.weekday];
            if (token.count >= 4) out += kYoubi;
            return true;
        case Kind::Era: {
            const EraInfo& era = EraOf(date);
            out += token.count == 1 ? era.letter : token.count == 2 ? era.shortName : era.name;
            return true;
        }
        case Kind::EraYear: {
            const int eraYear = date.year - EraOf(date).year + 1;
            if (eraYear == 1 && gannen) out += kGannen;
            else out += PadNumber(eraYear, token.count >= 2 ? 2 : 1);
            return true;
        }
        default:
            return false;
    }
}

// Clock and elapsed times; false for other tokens.
bool AppendClockPart(const Token& token, const Moment& m, std::string& out) {
    switch (token.kind) {
        case Kind::Hour: {
            int shown = m.hour;
            if (m.twelveHour) shown = m.hour % 12 == 0 ? 12 : m.hour % 12;
            out += PadNumber(shown, token.count >= 2 ? 2 : 1);
            return true;
        }
        case Kind::Minute:
            out += PadNumber(m.minute, token.count >= 2 ? 2 : 1);
            return true;
        case Kind::Second:
            out += PadNumber(m.second, token.count >= 2 ? 2 : 1);
            return true;
        case Kind::SubSecond:
            out += '.';
            out += PadNumber(m.subSeconds, m.subDigits).substr(0, static_cast<size_t>(token.count));
            return true;
        case Kind::ElapsedHour:
            out += PadNumber(m.serialDay * 24 + m.hour, token.count);
            return true;
        case Kind::ElapsedMinute:
            out += PadNumber((m.serialDay * 24 + m.hour) * 60 + m.minute, token.count);
            return true;
        case Kind::ElapsedSecond:
            out += PadNumber(m.serialDay * 86400 + m.seconds, token.count);
            return true;
        case Kind::AmPm:
            out += m.hour < 12 ? "AM" : "PM";
            return true;
        case Kind::AP:
            out += m.hour < 12 ? token.text[0] : token.text[1];
            return true;
        default:
            return false;
    }
}

}  // namespace

bool FormatDate(const Section& section, double serial, bool date1904, std::string& out) {
    Moment moment;
    if (!SplitSerial(section.tokens, serial, date1904, moment)) return false;
    for (const Token& token : section.tokens) {
        if (!AppendCalendarPart(token, section.gannen, moment.date, out) && !AppendClockPart(token, moment, out)) {
            out += token.text;
        }
    }
    return true;
}

}  // namespace tabulon::number_format
