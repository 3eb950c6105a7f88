// Dates and times under a format's date parts: years, months, days and
// weekdays in English and Japanese, Japanese eras, clock and elapsed times.
#pragma once

#include <string>

#include "core/number_format_tokens.h"

namespace tabulon::number_format {

// Appends the text of a serial date (>= 0) under a date section to out; false
// when the date lies beyond 9999-12-31 or the time beyond what can be counted.
bool FormatDate(const Section& section, double serial, bool date1904, std::string& out);

}  // namespace tabulon::number_format
