#include "core/dxf_number.h"

#include <charconv>
#include <cmath>
#include <cstdint>

namespace tabulon {

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

    // 15 significant digits, correctly rounded: "-d.dddddddddddddde+XX".
    char sci[40];
    auto res = std::to_chars(sci, sci + sizeof sci, value, std::chars_format::scientific, 14);
    const char* p = sci;
    bool negative = false;
    if (*p == '-') {
        negative = true;
        ++p;
    }
    char digits[15];
    int count = 0;
    for (; p < res.ptr && *p != 'e'; ++p) {
        if (*p >= '0' && *p <= '9') digits[count++] = *p;
    }
    int exponent = 0;
    const char* expText = p + 1;  // the output is not NUL-terminated
    if (expText < res.ptr && *expText == '+') ++expText;
    std::from_chars(expText, res.ptr, exponent);
    while (count > 1 && digits[count - 1] == '0') --count;

    if (negative) out += '-';
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
