#include "core/number_format_decimal.h"

#include <charconv>
#include <utility>

#include "core/significant_digits.h"

namespace tabulon::number_format {

Decimal ToDecimal(double magnitude) {
    Decimal d;
    if (magnitude == 0) return d;
    const SignificantDigits rounded = RoundToSignificantDigits(magnitude);
    d.digits.assign(rounded.digits, static_cast<size_t>(rounded.count));
    d.exp10 = rounded.exponent + 1;
    return d;
}

void RoundTo(Decimal& d, int fractionDigits) {
    if (d.digits.empty()) return;
    const long keep = static_cast<long>(d.exp10) + fractionDigits;
    if (keep >= static_cast<long>(d.digits.size())) return;
    if (keep < 0) {
        d.digits.clear();
        return;
    }
    const bool up = d.digits[static_cast<size_t>(keep)] >= '5';
    d.digits.resize(static_cast<size_t>(keep));
    if (up) {
        size_t k = d.digits.size();
        while (k > 0 && d.digits[k - 1] == '9') {
            d.digits.pop_back();
            --k;
        }
        if (k == 0) {
            d.digits.assign(1, '1');
            ++d.exp10;
        } else {
            ++d.digits[k - 1];
        }
    }
    while (!d.digits.empty() && d.digits.back() == '0') d.digits.pop_back();
}

Decimal MultiplyDecimal(const Decimal& d, uint64_t factor) {
    Decimal product;
    if (d.digits.empty() || factor == 0) return product;
    std::string digits(d.digits.size() + 10, '0');
    uint64_t carry = 0;
    size_t out = digits.size();
    for (size_t k = d.digits.size(); k-- > 0;) {
        const uint64_t x = static_cast<uint64_t>(d.digits[k] - '0') * factor + carry;
        digits[--out] = static_cast<char>('0' + x % 10);
        carry = x / 10;
    }
    while (carry > 0) {
        digits[--out] = static_cast<char>('0' + carry % 10);
        carry /= 10;
    }
    digits.erase(0, out);
    product.exp10 = d.exp10 + static_cast<int>(digits.size() - d.digits.size());
    while (!digits.empty() && digits.back() == '0') digits.pop_back();
    product.digits = std::move(digits);
    return product;
}

std::string IntegerDigits(const Decimal& d) {
    std::string out;
    if (d.digits.empty() || d.exp10 <= 0) return out;
    for (int k = 0; k < d.exp10; ++k) {
        out += static_cast<size_t>(k) < d.digits.size() ? d.digits[static_cast<size_t>(k)] : '0';
    }
    return out;
}

std::string FractionDigits(const Decimal& d, int count) {
    std::string out;
    for (int k = 0; k < count; ++k) {
        const long index = static_cast<long>(d.exp10) + k;
        if (d.digits.empty() || index < 0 || index >= static_cast<long>(d.digits.size())) {
            out += '0';
        } else {
            out += d.digits[static_cast<size_t>(index)];
        }
    }
    return out;
}

std::string PadNumber(long long value, int width) {
    char buf[24];
    auto res = std::to_chars(buf, buf + sizeof buf, value);
    std::string text(buf, res.ptr);
    if (static_cast<int>(text.size()) < width) text.insert(0, static_cast<size_t>(width) - text.size(), '0');
    return text;
}

}  // namespace tabulon::number_format
