// The precision of numbers in this program: a spreadsheet keeps 15 significant
// decimal digits, shows what it keeps, and the drawing writes the same.
#pragma once

namespace tabulon {

inline constexpr int kSignificantDigits = 15;

struct SignificantDigits {
    char digits[kSignificantDigits];  // the first count of them; no trailing zeros
    int count = 0;
    int exponent = 0;  // the value is d.ddd... times 10^exponent
    bool negative = false;
};

// value correctly rounded to 15 significant digits; value is finite and not 0.
SignificantDigits RoundToSignificantDigits(double value);

}  // namespace tabulon
