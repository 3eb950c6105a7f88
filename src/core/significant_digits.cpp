#include "core/significant_digits.h"

#include <charconv>

namespace tabulon {

SignificantDigits RoundToSignificantDigits(double value) {
    // "-d.dddddddddddddde+XX"
    char text[40];
    const auto res = std::to_chars(text, text + sizeof text, value, std::chars_format::scientific,
                                   kSignificantDigits - 1);
    SignificantDigits s;
    const char* p = text;
    if (*p == '-') {
        s.negative = true;
        ++p;
    }
    for (; p < res.ptr && *p != 'e'; ++p) {
        if (*p >= '0' && *p <= '9') s.digits[s.count++] = *p;
    }
    const char* expText = p + 1;  // the text is not NUL-terminated
    if (expText < res.ptr && *expText == '+') ++expText;
    std::from_chars(expText, res.ptr, s.exponent);
    while (s.count > 1 && s.digits[s.count - 1] == '0') --s.count;
    return s;
}

}  // namespace tabulon
