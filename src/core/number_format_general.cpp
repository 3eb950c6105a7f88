#include "core/number_format_general.h"

#include <cstdlib>

#include "core/number_format_decimal.h"

namespace tabulon::number_format {

namespace {

// The point and the fraction's digits, without trailing zeros; nothing for none.
void AppendFraction(std::string& out, std::string fraction) {
    while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();
    if (!fraction.empty()) out += '.' + fraction;
}

// "d.dddddE+xx": as many mantissa digits as fit in eleven characters.
std::string GeneralScientific(const Decimal& magnitude) {
    int exponent = magnitude.exp10 - 1;
    int decimals = (exponent >= 100 || exponent <= -100) ? 4 : 5;
    Decimal mantissa = magnitude;
    mantissa.exp10 = 1;
    RoundTo(mantissa, decimals);
    if (mantissa.exp10 > 1) {  // 9.999996 became 10
        mantissa.exp10 = 1;
        ++exponent;
    }
    std::string out = IntegerDigits(mantissa);
    AppendFraction(out, FractionDigits(mantissa, decimals));
    out += exponent < 0 ? "E-" : "E+";
    out += PadNumber(std::abs(exponent), 2);
    return out;
}

}  // namespace

std::string GeneralMagnitude(double magnitude) {
    Decimal d = ToDecimal(magnitude);
    if (d.digits.empty()) return "0";
    const int exponent = d.exp10 - 1;
    if (exponent >= 11 || exponent <= -5) return GeneralScientific(d);
    const int integerDigits = exponent >= 0 ? exponent + 1 : 1;
    const int decimals = 10 - integerDigits > 0 ? 10 - integerDigits : 0;
    Decimal rounded = d;
    RoundTo(rounded, decimals);
    if (rounded.exp10 > 11) return GeneralScientific(rounded);
    std::string out = IntegerDigits(rounded);
    if (out.empty()) out.push_back('0');
    AppendFraction(out, FractionDigits(rounded, decimals));
    return out;
}

}  // namespace tabulon::number_format
