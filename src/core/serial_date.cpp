#include "core/serial_date.h"

namespace tabulon {

namespace {

// Days from 1970-01-01 to serial day 0 of each system.
constexpr int64_t kEpoch1900 = -25569;  // 1899-12-30: true for the days from 1900-03-01 on
constexpr int64_t kEpoch1904 = -24107;  // 1904-01-01

// Serial 60 of the 1900 system is 1900-02-29, kept for compatibility with an
// early spreadsheet that took 1900 for a leap year; the days before it count
// one less than their distance from kEpoch1900.
constexpr int64_t kPhantomLeapDay = 60;

}  // namespace

int64_t DaysFromCivil(int64_t year, int64_t month, int64_t day) {
    year -= month <= 2;
    const int64_t era = (year >= 0 ? year : year - 399) / 400;
    const int64_t yoe = year - era * 400;
    const int64_t doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

CivilDate CivilFromDays(int64_t days) {
    days += 719468;
    const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const int64_t doe = days - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    CivilDate date;
    date.day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    date.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    date.year = static_cast<int>(yoe + era * 400 + (date.month <= 2 ? 1 : 0));
    return date;
}

int64_t SerialDayFromDays(int64_t days, bool date1904) {
    if (date1904) return days - kEpoch1904;
    const int64_t serial = days - kEpoch1900;
    return serial <= kPhantomLeapDay ? serial - 1 : serial;
}

SerialDate DateOfSerialDay(int64_t serialDay, bool date1904) {
    SerialDate date;
    CivilDate civil;
    if (date1904) {
        civil = CivilFromDays(kEpoch1904 + serialDay);
        date.weekday = static_cast<int>((serialDay + 5) % 7);
    } else {
        if (serialDay == 0) {
            civil = {1900, 1, 0};
        } else if (serialDay == kPhantomLeapDay) {
            civil = {1900, 2, 29};
        } else {
            civil = CivilFromDays(kEpoch1900 + serialDay + (serialDay < kPhantomLeapDay ? 1 : 0));
        }
        date.weekday = static_cast<int>((serialDay + 6) % 7);
    }
    date.year = civil.year;
    date.month = civil.month;
    date.day = civil.day;
    return date;
}

}  // namespace tabulon
