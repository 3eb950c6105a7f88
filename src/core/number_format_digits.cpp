#include "core/number_format_digits.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "core/number_format_decimal.h"
#include "core/utf8.h"

namespace tabulon::number_format {

namespace {

// The text of one digit position that has no digit.
const char* Pad(Kind kind) {
    return kind == Kind::Zero ? "0" : kind == Kind::Question ? " " : "";
}

// Places the integer digits on the placeholders at indices (left to right):
// digits fill from the right, the leftmost placeholder takes any extra ones.
// Returns the text for each placeholder.
std::vector<std::string> PlaceInteger(const std::vector<Token>& t, const std::vector<size_t>& indices,
                                      const std::string& digits, bool grouping) {
    const size_t n = indices.size();
    std::vector<std::string> texts(n);
    const size_t m = digits.size();
    for (size_t p = 0; p < n; ++p) {
        const size_t fromRight = n - 1 - p;
        if (fromRight < m) texts[p] = std::string(1, digits[m - 1 - fromRight]);
        else texts[p].append(Pad(t[indices[p]].kind));
        if (p == 0 && m > n) texts[p] = digits.substr(0, m - n + 1);
    }
    if (grouping) {
        size_t total = 0;
        for (const std::string& s : texts) {
            for (char c : s) total += (c >= '0' && c <= '9') ? 1 : 0;
        }
        size_t seen = 0;
        for (std::string& s : texts) {
            std::string grouped;
            for (char c : s) {
                grouped += c;
                if (c < '0' || c > '9') continue;
                ++seen;
                const size_t left = total - seen;
                if (left > 0 && left % 3 == 0) grouped += ',';
            }
            s = grouped;
        }
    }
    return texts;
}

struct NumberLayout {
    std::vector<size_t> integer, fraction, exponent;  // placeholder indices
    size_t point = std::string::npos;
    size_t exponentToken = std::string::npos;
    bool grouping = false;
    int scaleCommas = 0;
    int percents = 0;
    std::vector<bool> silentComma;  // commas that group or scale, not shown
};

NumberLayout Layout(const std::vector<Token>& t) {
    NumberLayout layout;
    layout.silentComma.assign(t.size(), false);
    for (size_t k = 0; k < t.size(); ++k) {
        const Kind kind = t[k].kind;
        if (kind == Kind::Point && layout.point == std::string::npos && layout.exponentToken == std::string::npos) {
            layout.point = k;
        } else if (kind == Kind::Exponent && layout.exponentToken == std::string::npos) {
            layout.exponentToken = k;
        } else if (kind == Kind::Percent) {
            ++layout.percents;
        } else if (IsPlaceholder(kind)) {
            if (layout.exponentToken != std::string::npos) layout.exponent.push_back(k);
            else if (layout.point != std::string::npos) layout.fraction.push_back(k);
            else layout.integer.push_back(k);
        }
    }
    for (size_t k = 0; k < t.size(); ++k) {
        if (t[k].kind != Kind::Comma || k == 0) continue;
        size_t before = k;
        while (before > 0 && t[before - 1].kind == Kind::Comma) --before;
        if (before == 0 || !IsPlaceholder(t[before - 1].kind)) continue;
        size_t after = k + 1;
        while (after < t.size() && t[after].kind == Kind::Comma) ++after;
        const bool digitFollows = after < t.size() && IsPlaceholder(t[after].kind);
        if (!digitFollows) {
            for (size_t c = k; c < after; ++c) {
                layout.silentComma[c] = true;
                ++layout.scaleCommas;
            }
            k = after - 1;
        } else {
            layout.silentComma[k] = true;
            if (layout.point == std::string::npos || k < layout.point) layout.grouping = true;
        }
    }
    return layout;
}

// Best fraction numerator/denominator for x in [0, 1] with denominator <= maxDen.
void BestFraction(double x, long long maxDen, long long& num, long long& den) {
    num = 0;
    den = 1;
    double best = x;
    for (long long d = 1; d <= maxDen; ++d) {
        const long long n = static_cast<long long>(std::floor(x * static_cast<double>(d) + 0.5));
        const double error = std::fabs(x - static_cast<double>(n) / static_cast<double>(d));
        if (error < best - 1e-15) {
            best = error;
            num = n;
            den = d;
            if (error == 0) break;
        }
    }
}

bool IsSpaceLiteral(const Token& token) {
    if (token.kind != Kind::Literal) return false;
    for (char c : token.text) {
        if (c != ' ') return false;
    }
    return true;
}

// A literal that starts with a digit: a fixed denominator, perhaps followed by text.
bool IsDigitLiteral(const Token& token) {
    return token.kind == Kind::Literal && !token.text.empty() && token.text[0] >= '0' && token.text[0] <= '9';
}

// "# ?/?", "?/8", "# ??/100": false when the code holds no fraction.
bool FormatFraction(const std::vector<Token>& t, double magnitude, std::string& out) {
    size_t slash = t.size();
    for (size_t k = 0; k < t.size(); ++k) {
        if (t[k].kind == Kind::Slash) {
            slash = k;
            break;
        }
    }
    if (slash == t.size()) return false;
    // Numerator: the placeholders just before the slash.
    size_t numEnd = slash;
    while (numEnd > 0 && IsSpaceLiteral(t[numEnd - 1])) --numEnd;
    size_t numStart = numEnd;
    while (numStart > 0 && IsPlaceholder(t[numStart - 1].kind)) --numStart;
    if (numStart == numEnd) return false;
    // Denominator: placeholders, or a fixed number, after the slash.
    size_t denStart = slash + 1;
    while (denStart < t.size() && IsSpaceLiteral(t[denStart])) ++denStart;
    size_t denEnd = denStart;
    long long fixedDen = 0;
    if (denStart < t.size() && IsDigitLiteral(t[denStart])) {
        // A fixed denominator: its digits, with the zeros the tokens read as
        // placeholders ("?/10", "?/100"). The digits may run on into a literal
        // text; take the leading digits.
        std::string digits;
        for (denEnd = denStart; denEnd < t.size(); ++denEnd) {
            const Token& token = t[denEnd];
            if (token.kind == Kind::Zero) {
                digits += '0';
                continue;
            }
            if (token.kind != Kind::Literal || !IsDigitLiteral(token)) break;
            const size_t run = token.text.find_first_not_of("0123456789");
            digits.append(token.text, 0, run);
            if (run != std::string::npos) {
                ++denEnd;
                break;
            }
        }
        if (digits.size() > 10) return false;
        std::from_chars(digits.data(), digits.data() + digits.size(), fixedDen);
        if (fixedDen <= 0 || fixedDen > 1000000000) return false;
    } else {
        while (denEnd < t.size() && IsPlaceholder(t[denEnd].kind)) ++denEnd;
        if (denEnd == denStart) return false;
    }
    std::vector<size_t> integer;
    for (size_t k = 0; k < numStart; ++k) {
        if (IsPlaceholder(t[k].kind)) integer.push_back(k);
    }

    long long whole = 0;
    double fraction = magnitude;
    long long num = 0;
    long long den = 1;
    std::string bigDigits;  // a number too large for a fraction part, shown whole
    const bool wholeOverFixed = fixedDen > 0 && integer.empty();  // "?/8": the numerator is value x 8
    if (magnitude >= 1e12 && !wholeOverFixed) {
        Decimal d = ToDecimal(magnitude);
        RoundTo(d, 0);
        bigDigits = IntegerDigits(d);
        fraction = 0;
    } else if (!integer.empty()) {
        whole = static_cast<long long>(std::floor(magnitude));
        fraction = magnitude - static_cast<double>(whole);
    }
    if (!bigDigits.empty()) {
        // no fraction: 0/den, or the number itself over 1
    } else if (fixedDen > 0) {
        den = fixedDen;
        const double scaled = std::floor(fraction * static_cast<double>(den) + 0.5);
        if (scaled < 1e15) {
            num = static_cast<long long>(scaled);
        } else {
            // Beyond whole numbers a double holds exactly (or at all): the
            // spreadsheet's 15 digits times the denominator, in decimal.
            Decimal product = MultiplyDecimal(ToDecimal(fraction), static_cast<uint64_t>(den));
            RoundTo(product, 0);
            bigDigits = IntegerDigits(product);
        }
    } else {
        const size_t places = denEnd - denStart;
        long long maxDen = 1;
        for (size_t k = 0; k < places && k < 4; ++k) maxDen *= 10;
        BestFraction(fraction, maxDen - 1, num, den);
    }
    if (!integer.empty() && num == den) {
        ++whole;
        num = 0;
    }
    const bool blankFraction = !integer.empty() && num == 0;

    std::string wholeDigits = whole > 0 ? PadNumber(whole, 0) : std::string();
    std::string numDigits = PadNumber(num, 0);
    if (!bigDigits.empty()) (integer.empty() ? numDigits : wholeDigits) = bigDigits;
    if (wholeDigits.empty() && blankFraction) wholeDigits.assign(1, '0');
    const std::vector<std::string> wholeTexts = PlaceInteger(t, integer, wholeDigits, false);
    std::vector<size_t> numerator;
    for (size_t k = numStart; k < numEnd; ++k) numerator.push_back(k);
    const std::vector<std::string> numTexts = PlaceInteger(t, numerator, numDigits, false);

    size_t nextWhole = 0;
    for (size_t k = 0; k < t.size(); ++k) {
        const Token& token = t[k];
        if (k >= numStart && k < denEnd) {
            std::string part;
            if (k < numEnd) {
                part = numTexts[k - numStart];
            } else if (k == slash) {
                part.assign(1, '/');
            } else if (k >= denStart) {
                if (fixedDen > 0) {
                    part = token.kind == Kind::Zero ? "0" : token.text;
                } else if (k == denStart) {
                    part = PadNumber(den, 0);
                    const size_t places = denEnd - denStart;
                    for (size_t p = part.size(); p < places; ++p) part += Pad(t[denStart + p].kind);
                }
            } else {
                part = token.text;  // spaces around the slash
            }
            if (blankFraction) {
                size_t width = 0;
                for (size_t b = 0; b < part.size(); b += Utf8SequenceLength(static_cast<unsigned char>(part[b]))) ++width;
                part.assign(width, ' ');
            }
            out += part;
            continue;
        }
        if (IsPlaceholder(token.kind)) {
            if (nextWhole < wholeTexts.size()) out += wholeTexts[nextWhole++];  // none after the fraction
        } else if (token.kind == Kind::Literal || token.kind == Kind::Point || token.kind == Kind::Comma ||
                   token.kind == Kind::Percent || token.kind == Kind::Slash) {
            out += token.text;
        }
    }
    return true;
}

}  // namespace

std::string FormatDigits(const std::vector<Token>& t, double magnitude) {
    std::string out;
    if (FormatFraction(t, magnitude, out)) return out;

    const NumberLayout layout = Layout(t);
    Decimal d = ToDecimal(magnitude);
    if (!d.digits.empty()) d.exp10 += 2 * layout.percents - 3 * layout.scaleCommas;
    const int fractionCount = static_cast<int>(layout.fraction.size());

    int exponent = 0;
    if (layout.exponentToken != std::string::npos && !d.digits.empty()) {
        const int integerCount = layout.integer.empty() ? 1 : static_cast<int>(layout.integer.size());
        bool engineering = false;
        for (size_t k : layout.integer) engineering = engineering || t[k].kind != Kind::Zero;
        const int step = engineering ? integerCount : 1;
        const int e = d.exp10 - 1;
        if (engineering) {
            exponent = e >= 0 ? e / step * step : -((-e + step - 1) / step * step);
        } else {
            exponent = e - (integerCount - 1);
        }
        Decimal mantissa = d;
        mantissa.exp10 -= exponent;
        RoundTo(mantissa, fractionCount);
        if (mantissa.exp10 > (engineering ? step : integerCount)) {
            exponent += step;
            mantissa = d;
            mantissa.exp10 -= exponent;
            RoundTo(mantissa, fractionCount);
        }
        d = mantissa;
    } else {
        RoundTo(d, fractionCount);
    }

    const std::string integerDigits = IntegerDigits(d);
    const std::vector<std::string> integerTexts = PlaceInteger(t, layout.integer, integerDigits, layout.grouping);
    const std::string fractionDigits = FractionDigits(d, fractionCount);
    // Trailing zeros on # and ? positions are not shown.
    long lastShown = -1;
    for (size_t p = 0; p < layout.fraction.size(); ++p) {
        if (fractionDigits[p] != '0' || t[layout.fraction[p]].kind == Kind::Zero) lastShown = static_cast<long>(p);
    }

    size_t nextInteger = 0;
    size_t nextFraction = 0;
    size_t nextExponent = 0;
    for (size_t k = 0; k < t.size(); ++k) {
        const Token& token = t[k];
        if (k == layout.point && layout.integer.empty()) out += integerDigits;
        switch (token.kind) {
            case Kind::Zero:
            case Kind::Hash:
            case Kind::Question:
                if (nextInteger < layout.integer.size() && layout.integer[nextInteger] == k) {
                    out += integerTexts[nextInteger++];
                } else if (nextFraction < layout.fraction.size() && layout.fraction[nextFraction] == k) {
                    const size_t p = nextFraction++;
                    if (static_cast<long>(p) <= lastShown) out += fractionDigits[p];
                    else if (token.kind == Kind::Question) out += ' ';
                } else if (nextExponent < layout.exponent.size() && layout.exponent[nextExponent] == k) {
                    if (nextExponent++ == 0) {
                        int width = 0;
                        for (size_t e : layout.exponent) width += t[e].kind == Kind::Zero ? 1 : 0;
                        out += PadNumber(std::abs(exponent), width);
                    }
                }
                break;
            case Kind::Exponent:
                if (k == layout.exponentToken) {
                    out += token.text[0];
                    if (exponent < 0) out += '-';
                    else if (token.text[1] == '+') out += '+';
                    if (layout.exponent.empty()) out += PadNumber(std::abs(exponent), 0);
                } else {
                    out += token.text;
                }
                break;
            case Kind::Comma:
                if (!layout.silentComma[k]) out += ',';
                break;
            case Kind::Literal:
            case Kind::Point:
            case Kind::Percent:
            case Kind::Slash:
                out += token.text;
                break;
            default:
                break;
        }
    }
    return out;
}

}  // namespace tabulon::number_format
