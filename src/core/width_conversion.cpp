// Half-width and full-width forms of characters.
//
// The portable mapping follows Windows' LCMAP_FULLWIDTH and LCMAP_HALFWIDTH
// tables as far as Japanese text goes, quirks included, so that a text converts
// alike on every platform: the backslash (the yen sign of Japanese fonts) has no
// width pair, the curly quotes fall to ' and ", and the full-width voiced marks
// ゛ and ゜ map to the combining marks U+3099 and U+309A.
#include "core/width_conversion.h"

#include <cstdint>

#include "core/system_services.h"
#include "core/utf8.h"

namespace tabulon {

namespace {

// The full-width forms of ｡ (U+FF61) to ﾟ (U+FF9F), in order.
constexpr char16_t kKana[63] = {
    0x3002, 0x300C, 0x300D, 0x3001, 0x30FB, 0x30F2, 0x30A1, 0x30A3, 0x30A5, 0x30A7, 0x30A9,  // ｡｢｣､･ｦｧｨｩｪｫ
    0x30E3, 0x30E5, 0x30E7, 0x30C3, 0x30FC, 0x30A2, 0x30A4, 0x30A6, 0x30A8, 0x30AA,  // ｬｭｮｯｰｱｲｳｴｵ
    0x30AB, 0x30AD, 0x30AF, 0x30B1, 0x30B3, 0x30B5, 0x30B7, 0x30B9, 0x30BB, 0x30BD,  // ｶｷｸｹｺｻｼｽｾｿ
    0x30BF, 0x30C1, 0x30C4, 0x30C6, 0x30C8, 0x30CA, 0x30CB, 0x30CC, 0x30CD, 0x30CE,  // ﾀﾁﾂﾃﾄﾅﾆﾇﾈﾉ
    0x30CF, 0x30D2, 0x30D5, 0x30D8, 0x30DB, 0x30DE, 0x30DF, 0x30E0, 0x30E1, 0x30E2,  // ﾊﾋﾌﾍﾎﾏﾐﾑﾒﾓ
    0x30E4, 0x30E6, 0x30E8, 0x30E9, 0x30EA, 0x30EB, 0x30EC, 0x30ED, 0x30EF, 0x30F3,  // ﾔﾕﾖﾗﾘﾙﾚﾛﾜﾝ
    0x3099, 0x309A,                                                                  // ﾞﾟ
};

constexpr char32_t kHalfVoiced = 0xFF9E;      // ﾞ
constexpr char32_t kHalfSemiVoiced = 0xFF9F;  // ﾟ

struct Pair {
    char16_t half;
    char16_t full;
};

// Width pairs outside the ASCII, katakana and Hangul ranges.
constexpr Pair kSigns[] = {
    {0x00A2, 0xFFE0}, {0x00A3, 0xFFE1}, {0x00AC, 0xFFE2}, {0x00AF, 0xFFE3}, {0x00A6, 0xFFE4}, {0x00A5, 0xFFE5},
    {0x20A9, 0xFFE6}, {0x2985, 0xFF5F}, {0x2986, 0xFF60}, {0xFFE8, 0x2502}, {0xFFE9, 0x2190}, {0xFFEA, 0x2191},
    {0xFFEB, 0x2192}, {0xFFEC, 0x2193}, {0xFFED, 0x25A0}, {0xFFEE, 0x25CB},
};

// Half-width Hangul U+FFA0-U+FFDC against the compatibility jamo: runs of
// (first half-width, first jamo, count).
struct Run {
    char16_t half;
    char16_t full;
    int count;
};
constexpr Run kHangul[] = {
    {0xFFA0, 0x3164, 1}, {0xFFA1, 0x3131, 30}, {0xFFC2, 0x314F, 6},
    {0xFFCA, 0x3155, 6}, {0xFFD2, 0x315B, 6},  {0xFFDA, 0x3161, 3},
};

// True for ASCII that has a full-width form; the backslash has none on Windows.
bool HasWideAscii(char32_t c) {
    return c >= 0x21 && c <= 0x7E && c != 0x5C;
}

char32_t FullOf(char32_t c) {
    if (c == 0x20) return 0x3000;
    if (HasWideAscii(c)) return c + 0xFEE0;
    if (c >= 0xFF61 && c <= 0xFF9F) return kKana[c - 0xFF61];
    if (c == 0x309B) return 0x3099;
    if (c == 0x309C) return 0x309A;
    for (const Pair& p : kSigns) {
        if (p.half == c) return p.full;
    }
    for (const Run& r : kHangul) {
        if (c >= r.half && c < r.half + static_cast<char32_t>(r.count)) return r.full + (c - r.half);
    }
    return c;
}

// The voiced (mark ﾞ) or semi-voiced (mark ﾟ) form of c followed by that mark,
// or 0. Windows joins a half-width letter, and of the full-width letters only
// ヰ, ヱ and ヽ, with a following half-width mark.
char32_t Joined(char32_t c, char32_t mark) {
    if (mark == kHalfVoiced) {
        switch (c) {
            case 0xFF66: return 0x30FA;  // ｦﾞ -> ヺ
            case 0xFF73: return 0x30F4;  // ｳﾞ -> ヴ
            case 0xFF9C: return 0x30F7;  // ﾜﾞ -> ヷ
            case 0x30F0: return 0x30F8;  // ヰﾞ -> ヸ
            case 0x30F1: return 0x30F9;  // ヱﾞ -> ヹ
            case 0x30FD: return 0x30FE;  // ヽﾞ -> ヾ
            default: break;
        }
        if ((c >= 0xFF76 && c <= 0xFF84) || (c >= 0xFF8A && c <= 0xFF8E)) return FullOf(c) + 1;  // ｶ-ﾄ, ﾊ-ﾎ
    } else if (mark == kHalfSemiVoiced) {
        if (c >= 0xFF8A && c <= 0xFF8E) return FullOf(c) + 2;  // ﾊ-ﾎ
    }
    return 0;
}

// Appends the half-width form of c (one or two characters).
void AppendHalfOf(std::u32string& out, char32_t c) {
    if (c == 0x3000) {
        out += U' ';
        return;
    }
    if (c >= 0xFF01 && c <= 0xFF5E && HasWideAscii(c - 0xFEE0)) {
        out += c - 0xFEE0;
        return;
    }
    switch (c) {
        case 0x2018:
        case 0x2019: out += U'\''; return;
        case 0x201C:
        case 0x201D: out += U'"'; return;
        case 0x309B: out += kHalfVoiced; return;
        case 0x309C: out += kHalfSemiVoiced; return;
        default: break;
    }
    for (char32_t k = 0; k < 63; ++k) {
        if (kKana[k] == c) {
            out += 0xFF61 + k;
            return;
        }
    }
    // A voiced or semi-voiced katakana splits into its letter and the mark.
    char32_t base = 0;
    char32_t mark = 0;
    if ((c >= 0x30AC && c <= 0x30C2 && c % 2 == 0) || c == 0x30C5 || c == 0x30C7 || c == 0x30C9) {
        base = c - 1;
        mark = kHalfVoiced;
    } else if (c >= 0x30D0 && c <= 0x30DD) {
        int step = (c - 0x30CF) % 3;  // ハバパ: 0, 1, 2
        if (step != 0) {
            base = c - step;
            mark = step == 1 ? kHalfVoiced : kHalfSemiVoiced;
        }
    } else {
        switch (c) {
            case 0x30F4: base = 0x30A6; break;  // ヴ
            case 0x30F7: base = 0x30EF; break;  // ヷ
            case 0x30F8: base = 0x30F0; break;  // ヸ (ヰ has no half-width form)
            case 0x30F9: base = 0x30F1; break;  // ヹ
            case 0x30FA: base = 0x30F2; break;  // ヺ
            case 0x30FE: base = 0x30FD; break;  // ヾ
            default: break;
        }
        if (base) mark = kHalfVoiced;
    }
    if (base) {
        AppendHalfOf(out, base);
        out += mark;
        return;
    }
    for (const Pair& p : kSigns) {
        if (p.full == c) {
            out += p.half;
            return;
        }
    }
    for (const Run& r : kHangul) {
        if (c >= r.full && c < r.full + static_cast<char32_t>(r.count)) {
            out += r.half + (c - r.full);
            return;
        }
    }
    out += c;
}

std::u32string Decode(std::string_view utf8) {
    std::u32string out;
    out.reserve(utf8.size());
    size_t pos = 0;
    while (pos < utf8.size()) {
        char32_t c = DecodeUtf8(utf8, pos);
        out += c == kInvalidCodePoint ? 0xFFFD : c;
    }
    return out;
}

std::string Encode(const std::u32string& text) {
    std::string out;
    out.reserve(text.size() * 3);
    for (char32_t c : text) AppendUtf8(out, c);
    return out;
}

std::optional<std::string> PortableMapper(std::string_view text, WidthForm form) {
    return form == WidthForm::Full ? PortableToFullWidth(text) : PortableToHalfWidth(text);
}

WidthMapper SystemMapper() {
    const WidthMapper mapper = CurrentSystemServices().mapWidth;
    return mapper ? mapper : PortableMapper;
}

}  // namespace

std::string PortableToFullWidth(std::string_view text) {
    std::u32string in = Decode(text);
    std::u32string out;
    out.reserve(in.size());
    for (size_t i = 0; i < in.size(); ++i) {
        if (i + 1 < in.size()) {
            if (char32_t joined = Joined(in[i], in[i + 1])) {
                out += joined;
                ++i;
                continue;
            }
        }
        out += FullOf(in[i]);
    }
    return Encode(out);
}

std::string PortableToHalfWidth(std::string_view text) {
    std::u32string out;
    out.reserve(text.size());
    for (char32_t c : Decode(text)) AppendHalfOf(out, c);
    return Encode(out);
}

std::string MapWidth(std::string_view text, WidthForm form, WidthMapper mapper) {
    if (text.empty()) return std::string();
    std::optional<std::string> mapped = mapper(text, form);
    return mapped ? *std::move(mapped) : std::string(text);
}

std::string ToFullWidth(std::string_view text) {
    return MapWidth(text, WidthForm::Full, SystemMapper());
}

std::string ToHalfWidth(std::string_view text) {
    return MapWidth(text, WidthForm::Half, SystemMapper());
}

}  // namespace tabulon
