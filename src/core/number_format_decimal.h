// Decimal values for the number formats. A spreadsheet keeps 15 significant
// digits, and rounds what it shows from that decimal value, never from the
// binary double: 2.675 under "0.00" is 2.68.
#pragma once

#include <cstdint>
#include <string>

namespace tabulon::number_format {

struct Decimal {
    std::string digits;  // significant digits, no leading or trailing zeros; "" is zero
    int exp10 = 0;       // the value is 0.digits times 10^exp10
};

// The 15 significant digits of a finite magnitude (>= 0).
Decimal ToDecimal(double magnitude);

// Rounds half away from zero to fractionDigits places after the point.
void RoundTo(Decimal& d, int fractionDigits);

// d times a whole factor (at most 10^9), digit by digit: a numerator over a
// fixed denominator can pass what a double counts exactly, and long long.
Decimal MultiplyDecimal(const Decimal& d, uint64_t factor);

// The digits before the point, "" when the integer part is zero.
std::string IntegerDigits(const Decimal& d);

// The first count digits after the point.
std::string FractionDigits(const Decimal& d, int count);

// value in decimal, with leading zeros up to width digits.
std::string PadNumber(long long value, int width);

}  // namespace tabulon::number_format
