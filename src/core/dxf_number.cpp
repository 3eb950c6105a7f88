#include "core/dxf_number.h"

#include <charconv>
#include <cmath>
#include <cstdint>

#include "core/significant_digits.h"

namespace tabulon {

namespace {

constexpr double kPow10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8, 1e9,
                             1e10, 1e11, 1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18};

// Writes the fixed form of 15 significant digits: digits is the rounded value
// times 10^(14 - exponent), 10^14 <= digits < 10^15.
void AppendFixed(std::string& out, bool negative, uint64_t digits, int exponent, char decimalSeparator) {
    char text[16];
    for (int k = 14; k >= 0; --k) {
        text[k] = static_cast<char>('0' + digits % 10);
        digits /= 10;
    }
    int count = 15;
    while (count > 1 && text[count - 1] == '0') --count;
    if (negative) out += '-';
    if (exponent < 0) {
        out += '0';
        out += decimalSeparator;
        out.append(static_cast<size_t>(-exponent - 1), '0');
        out.append(text, static_cast<size_t>(count));
        return;
    }
    const int intDigits = exponent + 1;
    out.append(text, static_cast<size_t>(intDigits));
    if (count > intDigits) {
        out += decimalSeparator;
        out.append(text + intDigits, static_cast<size_t>(count - intDigits));
    }
}

// The common case without the general formatter: 0.0001 <= |v| < 1e14. The
// scaled value |v| * 10^(14 - e) is below 10^15 and off by at most 1/16 from the
// exact product, so its rounding is certain unless it lies near a half; those
// few values take the exact route.
bool TryAppendFixed(std::string& out, double value, char decimalSeparator) {
    const double magnitude = std::fabs(value);
    if (!(magnitude >= 0.0001 && magnitude < 1e14)) return false;
    int exponent = 13;
    while (exponent >= 0 && magnitude < kPow10[exponent]) --exponent;
    if (exponent < 0) {
        // Below 1: negative powers of ten are not exact, so scale up instead.
        exponent = -1;
        while (exponent > -4 && magnitude * kPow10[-exponent] < 1) --exponent;
    }
    const double scaled = magnitude * kPow10[14 - exponent];
    const double whole = std::floor(scaled);
    const double fraction = scaled - whole;
    if (fraction > 0.43 && fraction < 0.57) return false;
    uint64_t digits = static_cast<uint64_t>(whole) + (fraction >= 0.5 ? 1 : 0);
    if (digits >= 1000000000000000ull) {  // rounded up into the next decade
        digits /= 10;
        ++exponent;
    }
    if (digits < 100000000000000ull) return false;  // the decade guess was off
    AppendFixed(out, value < 0, digits, exponent, decimalSeparator);
    return true;
}

}  // namespace

void AppendDxfNumber(std::string& out, double value, char decimalSeparator) {
    if (std::isnan(value)) {
        out += "NAN";
        return;
    }
    if (std::isinf(value)) {
        out += value < 0 ? "-INF" : "INF";
        return;
    }
    if (value == 0) {  // also -0
        out += '0';
        return;
    }
    // Whole numbers below 2^53 are exact and need no rounding: the common case.
    if (std::fabs(value) < 9007199254740992.0 && value == std::trunc(value) && std::fabs(value) < 1e15) {
        char buf[24];
        auto res = std::to_chars(buf, buf + sizeof buf, static_cast<int64_t>(value));
        out.append(buf, res.ptr);
        return;
    }

    if (TryAppendFixed(out, value, decimalSeparator)) return;

    const SignificantDigits rounded = RoundToSignificantDigits(value);
    const char* digits = rounded.digits;
    const int count = rounded.count;
    int exponent = rounded.exponent;
    if (rounded.negative) out += '-';
    if (exponent >= -4 && exponent < 15) {
        // Fixed: 0.0001 <= |rounded| < 1e15.
        if (exponent < 0) {
            out += '0';
            out += decimalSeparator;
            out.append(static_cast<size_t>(-exponent - 1), '0');
            out.append(digits, static_cast<size_t>(count));
        } else {
            int intDigits = exponent + 1;
            for (int k = 0; k < intDigits; ++k) out += k < count ? digits[k] : '0';
            if (count > intDigits) {
                out += decimalSeparator;
                out.append(digits + intDigits, static_cast<size_t>(count - intDigits));
            }
        }
        return;
    }
    out += digits[0];
    if (count > 1) {
        out += decimalSeparator;
        out.append(digits + 1, static_cast<size_t>(count - 1));
    }
    out += 'E';
    if (exponent < 0) {
        out += '-';
        exponent = -exponent;
    }
    char expBuf[8];
    auto expRes = std::to_chars(expBuf, expBuf + sizeof expBuf, exponent);
    out.append(expBuf, expRes.ptr);
}

std::string DxfNumber(double value, char decimalSeparator) {
    std::string out;
    AppendDxfNumber(out, value, decimalSeparator);
    return out;
}

}  // namespace tabulon
