// Spreadsheet serial dates: whole days counted from the epoch of the workbook's
// date system, the time of day as the fraction.
#pragma once

#include <cstdint>

namespace tabulon {

// The serial day of 9999-12-31, the last date a spreadsheet shows.
inline constexpr int64_t kLastSerial1900 = 2958465;
inline constexpr int64_t kLastSerial1904 = 2957003;

struct CivilDate {
    int year = 0, month = 0, day = 0;
};

// Days from 1970-01-01 to a proleptic Gregorian date, and back.
int64_t DaysFromCivil(int64_t year, int64_t month, int64_t day);
CivilDate CivilFromDays(int64_t days);

// The serial day of a day given as days from 1970-01-01. date1904 selects the
// 1904 system; the 1900 system counts a 29 February 1900 that never was.
int64_t SerialDayFromDays(int64_t days, bool date1904);

struct SerialDate {
    int year = 0, month = 0, day = 0;
    int weekday = 0;  // 0 = Sunday
};

// The date a spreadsheet shows for a serial day from 0 up: in the 1900 system,
// serial 0 is 1900-01-00 and serial 60 the 1900-02-29 that never was.
SerialDate DateOfSerialDay(int64_t serialDay, bool date1904);

}  // namespace tabulon
