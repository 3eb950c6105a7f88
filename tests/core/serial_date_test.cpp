// Spreadsheet serial dates in the 1900 and 1904 systems.
#include "core/serial_date.h"

#include <gtest/gtest.h>

#include <array>

namespace tabulon {
namespace {

TEST(SerialDate, LandmarksOfBothSystems) {
    struct Case {
        int64_t serial;
        bool date1904;
        int year, month, day, weekday;  // weekday 0 = Sunday
    };
    const Case cases[] = {
        {0, false, 1900, 1, 0, 6},  // shown as 1900-01-00
        {1, false, 1900, 1, 1, 0},
        {59, false, 1900, 2, 28, 2},
        {60, false, 1900, 2, 29, 3},  // the day that never was
        {61, false, 1900, 3, 1, 4},   // a Thursday, and true from here on
        {45352, false, 2024, 3, 1, 5},
        {kLastSerial1900, false, 9999, 12, 31, 5},
        {0, true, 1904, 1, 1, 5},
        {1, true, 1904, 1, 2, 6},
        {43890, true, 2024, 3, 1, 5},
        {kLastSerial1904, true, 9999, 12, 31, 5},
    };
    for (const Case& c : cases) {
        const SerialDate d = DateOfSerialDay(c.serial, c.date1904);
        EXPECT_EQ((std::array{d.year, d.month, d.day, d.weekday}), (std::array{c.year, c.month, c.day, c.weekday}))
            << c.serial << (c.date1904 ? " (1904)" : " (1900)");
    }
}

// Each serial day shows a date that counts back to it, one weekday after the day before.
TEST(SerialDate, EveryDayRoundTripsThroughTheCalendar) {
    for (bool date1904 : {false, true}) {
        const int64_t last = date1904 ? kLastSerial1904 : kLastSerial1900;
        int previousWeekday = DateOfSerialDay(0, date1904).weekday;
        for (int64_t serial = 1; serial <= last; ++serial) {
            const SerialDate d = DateOfSerialDay(serial, date1904);
            const bool phantom = !date1904 && serial == 60;
            const int64_t back = phantom ? 60 : SerialDayFromDays(DaysFromCivil(d.year, d.month, d.day), date1904);
            if (back != serial || d.weekday != (previousWeekday + 1) % 7) {
                ADD_FAILURE() << "serial " << serial << (date1904 ? " (1904)" : " (1900)") << " shows " << d.year
                              << "-" << d.month << "-" << d.day << " and comes back as " << back;
                break;
            }
            previousWeekday = d.weekday;
        }
    }
}

}  // namespace
}  // namespace tabulon
