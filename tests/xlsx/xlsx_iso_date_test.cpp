// ISO 8601 dates of cells of type "d", and the ones no spreadsheet can hold.
#include "xlsx/xlsx_iso_date.h"

#include <gtest/gtest.h>

namespace tabulon::xlsx {
namespace {

TEST(IsoDateSerial, DatesAndTimesInBothDateSystems) {
    const struct {
        const char* text;
        bool date1904;
        double serial;
    } cases[] = {
        {"2024-03-01", false, 45352},
        {"2024-03-01T12:00:00.5Z", false, 45352.5 + 0.5 / 86400},
        {"1900-01-01", false, 1},
        {"1899-12-31", false, 0},   // shown as 1900-01-00
        {"1900-02-28", false, 59},  // before the phantom 29 February
        {"1900-02-28T18:00", false, 59.75},
        {"1900-03-01", false, 61},  // after it
        {"1900-03-01T06:00", false, 61.25},
        {"1904-01-01", true, 0},
        {"1904-01-01T06:00", true, 0.25},
        {"2024-03-01T18:00:00", true, 43890.75},
        {"13:45", false, (13 * 60 + 45) / 1440.0},
        {"12:00", true, 0.5},  // a time alone is no day in either system
        {"00:00:30", false, 30 / 86400.0},
        {"36:00:00", false, 1.5},
        {" 2024-03-01T08:00", false, 45352 + 8 / 24.0},
        {"0001-01-01", false, -693594},
        {"9999-12-31T23:59:59", false, 2958465 + 86399 / 86400.0},
    };
    for (const auto& c : cases) {
        const IsoDate date = IsoDateSerial(c.text, c.date1904);
        EXPECT_EQ(date.status, IsoDate::Serial) << c.text;
        EXPECT_DOUBLE_EQ(date.serial, c.serial) << c.text;
    }
}

TEST(IsoDateSerial, FieldsOfAnySizeAreRefusedOutsideTheYears1To9999) {
    for (const char* text : {"99999999:00", "9999999999999999999999:00", "0:99999999999999999999999",
                             "12:00:99999999999999999999999999.5", "10000-01-01", "0000-12-31", "9999-12-31T24:00", "-2147483648-01-01",
                             "2147483647-12-31T2147483647:00", "2024-01-01T00:00:99999999999999999999"}) {
        EXPECT_EQ(IsoDateSerial(text, false).status, IsoDate::OutOfRange) << text;
    }
    EXPECT_EQ(IsoDateSerial("9999-12-31", true).status, IsoDate::Serial);
    EXPECT_EQ(IsoDateSerial("1900-01-01", true).status, IsoDate::Serial);
}

TEST(IsoDateSerial, OtherTextIsNotADate) {
    for (const char* text : {"", "abc", "10", "2024-13-01", "2024-02-32", "T12:00", ":30", "--"}) {
        EXPECT_EQ(IsoDateSerial(text, false).status, IsoDate::NotADate) << text;
    }
}

}  // namespace
}  // namespace tabulon::xlsx
