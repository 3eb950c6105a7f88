#include "xlsx/xlsx_iso_date.h"

#include <charconv>
#include <cmath>
#include <cstdint>

#include "core/serial_date.h"

namespace tabulon::xlsx {

namespace {

// Anything at or above this in a field puts the value out of range; stopping
// here keeps every sum below in 64 bits.
constexpr int64_t kFieldCap = 1000000000000;

// Reads an optionally signed run of digits; false when there are no digits.
bool ReadInt(std::string_view text, size_t& pos, int64_t& value, bool& huge) {
    bool negative = false;
    if (pos < text.size() && (text[pos] == '-' || text[pos] == '+')) negative = text[pos++] == '-';
    const size_t start = pos;
    int64_t v = 0;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
        if (v < kFieldCap) v = v * 10 + (text[pos] - '0');
        ++pos;
    }
    if (pos == start) return false;
    if (v >= kFieldCap) huge = true;
    value = negative ? -v : v;
    return true;
}

// Seconds with an optional fraction: "30", "30.25".
bool ReadSeconds(std::string_view text, size_t& pos, double& value, bool& huge) {
    size_t end = pos;
    while (end < text.size() && ((text[end] >= '0' && text[end] <= '9') || text[end] == '.')) ++end;
    auto res = std::from_chars(text.data() + pos, text.data() + end, value);
    if (res.ec == std::errc::result_out_of_range) {
        huge = true;
        pos = end;
        return true;
    }
    if (res.ec != std::errc()) return false;
    if (value >= kFieldCap) huge = true;
    pos = static_cast<size_t>(res.ptr - text.data());
    return true;
}

bool Skip(std::string_view text, size_t& pos, char ch) {
    if (pos < text.size() && text[pos] == ch) {
        ++pos;
        return true;
    }
    return false;
}

// Hours, minutes and optional seconds as a fraction of days; false without
// the hours and minutes.
bool ReadTime(std::string_view text, size_t& pos, double& days, bool& huge) {
    int64_t h = 0, mi = 0;
    double s = 0;
    if (!ReadInt(text, pos, h, huge) || !Skip(text, pos, ':') || !ReadInt(text, pos, mi, huge)) return false;
    if (Skip(text, pos, ':')) ReadSeconds(text, pos, s, huge);
    days = (static_cast<double>(h * 3600 + mi * 60) + s) / 86400.0;
    return true;
}

// The serial date of a day given as days from 1970-01-01.
double SerialOfDay(int64_t days, bool date1904) {
    return static_cast<double>(SerialDayFromDays(days, date1904));
}

IsoDate InRange(double serial, bool date1904, bool huge) {
    // From 0001-01-01 up to the end of 9999-12-31.
    static const int64_t kFirstDay = DaysFromCivil(1, 1, 1);
    static const int64_t kEndDay = DaysFromCivil(10000, 1, 1);
    if (huge || !std::isfinite(serial) || serial < SerialOfDay(kFirstDay, date1904) ||
        serial >= SerialOfDay(kEndDay, date1904)) {
        return {IsoDate::OutOfRange, 0};
    }
    return {IsoDate::Serial, serial};
}

}  // namespace

IsoDate IsoDateSerial(std::string_view text, bool date1904) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    bool huge = false;
    size_t pos = 0;
    int64_t y = 0, mo = 0, d = 0;
    const bool isDate = ReadInt(text, pos, y, huge) && Skip(text, pos, '-') && ReadInt(text, pos, mo, huge) &&
                        Skip(text, pos, '-') && ReadInt(text, pos, d, huge) && mo >= 1 && mo <= 12 && d >= 1 && d <= 31;
    if (!isDate) {
        // A time of day alone.
        huge = false;
        pos = 0;
        double days = 0;
        if (!ReadTime(text, pos, days, huge)) return {};
        return InRange(days, date1904, huge);
    }
    double time = 0;
    if (Skip(text, pos, 'T')) ReadTime(text, pos, time, huge);
    if (huge) return {IsoDate::OutOfRange, 0};
    return InRange(SerialOfDay(DaysFromCivil(y, mo, d), date1904) + time, date1904, false);
}

}  // namespace tabulon::xlsx
