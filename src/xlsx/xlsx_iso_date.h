// Dates that a workbook stores as ISO 8601 text (cells of type "d").
#pragma once

#include <string_view>

namespace tabulon::xlsx {

struct IsoDate {
    enum Status { Serial, NotADate, OutOfRange } status = NotADate;
    double serial = 0;  // days in the workbook's date system, when status is Serial
};

// The serial date of "2024-03-01", "2024-03-01T13:45:30.5" or "13:45": a date,
// optionally with a time of day, or a time alone. Text after the last field (a
// zone such as "Z") is ignored. NotADate for any other text; OutOfRange for a
// date or time that lies outside the years 1 to 9999, however many digits its
// fields have. date1904 selects the 1904 date system.
IsoDate IsoDateSerial(std::string_view text, bool date1904);

}  // namespace tabulon::xlsx
