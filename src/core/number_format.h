// Numbers as a spreadsheet displays them: General, built-in and custom number
// formats, dates and times.
#pragma once

#include <string>
#include <string_view>

namespace tabulon {

// The format code of a built-in number format id (the ids a workbook may use
// without defining them, the Japanese ones included), or "" when the id is not
// a built-in one.
std::string BuiltinNumberFormatCode(int numFmtId);

// The text a spreadsheet shows for value under formatCode ("General", "0.00",
// "#,##0", "yyyy/m/d", "[h]:mm", ...). date1904 selects the 1904 date system.
// When the code uses something this formatter does not support, *supported
// (when given) is set to false and the result is the General text; otherwise
// it is set to true.
std::string FormatNumber(double value, std::string_view formatCode, bool date1904 = false,
                         bool* supported = nullptr);

// The General format's text of a number, as a cell of standard width shows it.
std::string GeneralNumberText(double value);

// True when every character of text is a digit, '.', ',' or '-'; true for "".
bool IsNumericText(std::string_view text);

}  // namespace tabulon
