#include "core/sheet_look.h"

#include <array>
#include <cmath>
#include <limits>

#include "core/utf8.h"

namespace tabulon {

namespace {

bool IsHalfWidth(char32_t cp) {
    // What code page 932 holds in one byte: ASCII and the half-width katakana.
    return cp < 0x80 || (cp >= 0xFF61 && cp <= 0xFF9F);
}

double CharWidth(char32_t cp, double halfWidth) {
    return IsHalfWidth(cp) ? halfWidth : 1.0;
}

bool IsBlankChar(char32_t cp) {
    return cp == U' ' || cp == U'\u3000';
}

// Characters a Japanese line does not start with.
bool IsClosing(char32_t cp) {
    switch (cp) {
        case U'、': case U'。': case U'，': case U'．': case U'・': case U'：': case U'；':
        case U'？': case U'！': case U'）': case U'」': case U'』': case U'】': case U'〕':
        case U'］': case U'｝': case U'〉': case U'》': case U'ー': case U'ぁ': case U'ぃ':
        case U'ぅ': case U'ぇ': case U'ぉ': case U'っ': case U'ゃ': case U'ゅ': case U'ょ':
        case U'ァ': case U'ィ': case U'ゥ': case U'ェ': case U'ォ': case U'ッ': case U'ャ':
        case U'ュ': case U'ョ': case U'々': case U'゛': case U'゜': case U')': case U']':
        case U'}': case U',': case U'.': case U':': case U';': case U'!': case U'?':
        case U'%': case U'％':
            return true;
        default: return false;
    }
}

struct Glyph {
    size_t begin, end;  // bytes in the text
    char32_t cp;
    double width;
};

}  // namespace

double EstimateTextWidth(std::string_view utf8, double halfWidth) {
    double width = 0;
    size_t pos = 0;
    while (pos < utf8.size()) width += CharWidth(DecodeUtf8(utf8, pos), halfWidth);
    return width;
}

std::vector<std::string> WrapTextLine(std::string_view utf8, double maxWidth, double halfWidth) {
    std::vector<Glyph> glyphs;
    for (size_t pos = 0; pos < utf8.size();) {
        const size_t begin = pos;
        const char32_t cp = DecodeUtf8(utf8, pos);
        glyphs.push_back({begin, pos, cp, CharWidth(cp, halfWidth)});
    }
    std::vector<std::string> lines;
    // A break is allowed before glyph k when a blank precedes it, or when either
    // side is not a Latin (half-width, non-blank) character.
    auto canBreakBefore = [&](size_t k) {
        if (k == 0 || k >= glyphs.size()) return false;
        const Glyph& prev = glyphs[k - 1];
        const Glyph& next = glyphs[k];
        if (IsBlankChar(prev.cp) || IsBlankChar(next.cp)) return true;
        if (IsClosing(next.cp)) return false;
        return !IsHalfWidth(prev.cp) || !IsHalfWidth(next.cp);
    };
    size_t start = 0;
    while (start < glyphs.size()) {
        // Blanks at the start of a wrapped line are dropped, as the sheet does.
        if (!lines.empty()) {
            while (start < glyphs.size() && IsBlankChar(glyphs[start].cp)) ++start;
            if (start == glyphs.size()) break;
        }
        double width = 0;
        size_t end = start;
        while (end < glyphs.size() && (end == start || width + glyphs[end].width <= maxWidth)) {
            width += glyphs[end].width;
            ++end;
        }
        if (end < glyphs.size()) {
            size_t cut = end;
            while (cut > start + 1 && !canBreakBefore(cut)) --cut;
            if (cut > start + 1 || canBreakBefore(cut)) {
                end = cut;
            } else {
                // No place to break: a long word, or closing punctuation right after
                // the first character. Break where the line is full, giving the
                // punctuation its place on this line if it cannot move down.
                while (end < glyphs.size() && IsClosing(glyphs[end].cp) && end - start < 2) ++end;
            }
        }
        size_t last = end;
        while (last > start + 1 && IsBlankChar(glyphs[last - 1].cp)) --last;  // trailing blanks go
        lines.emplace_back(utf8.substr(glyphs[start].begin, glyphs[last - 1].end - glyphs[start].begin));
        start = end;
    }
    if (lines.empty()) lines.emplace_back();
    return lines;
}

BorderStroke StrokeOf(uint8_t look) {
    switch (look) {
        case kBorderMedium:
        case kBorderThick: return {kLayerBordLineThick, "BYLAYER", false};
        case kBorderDouble: return {"XLSBordLine", "BYLAYER", true};
        case kBorderDashed: return {"XLSBordLine", "XLSDASHED", false};
        case kBorderMediumDashed: return {kLayerBordLineThick, "XLSDASHED", false};
        case kBorderDotted: return {"XLSBordLine", "XLSDOTTED", false};
        case kBorderHair: return {"XLSBordLine", "XLSHAIR", false};
        case kBorderDashDot: return {"XLSBordLine", "XLSDASHDOT", false};
        case kBorderMediumDashDot:
        case kBorderSlantDashDot: return {kLayerBordLineThick, "XLSDASHDOT", false};
        case kBorderDashDotDot: return {"XLSBordLine", "XLSDASHDOTDOT", false};
        case kBorderMediumDashDotDot: return {kLayerBordLineThick, "XLSDASHDOTDOT", false};
        default: return {"XLSBordLine", "BYLAYER", false};
    }
}

const std::vector<SheetLinetype>& SheetLinetypes() {
    // Close to what the sheet shows at 100%: one point is 4/3 of a screen pixel.
    static const std::vector<SheetLinetype> types = {
        {"XLSDASHED", "Dashed __ __ __", {3.0, -1.5}},
        {"XLSDOTTED", "Dotted . . . .", {0.75, -0.75}},
        {"XLSHAIR", "Hair ........", {0.375, -0.375}},
        {"XLSDASHDOT", "Dash dot __ . __ .", {6.0, -1.5, 0.75, -1.5}},
        {"XLSDASHDOTDOT", "Dash dot dot __ . . __", {6.0, -1.5, 0.75, -1.5, 0.75, -1.5}},
    };
    return types;
}

int32_t AciRgb(int aci) {
    static const std::array<int32_t, 256> table = [] {
        std::array<int32_t, 256> t{};
        const int32_t fixed[10] = {0x000000, 0xFF0000, 0xFFFF00, 0x00FF00, 0x00FFFF,
                                   0x0000FF, 0xFF00FF, 0xFFFFFF, 0x808080, 0xC0C0C0};
        for (int i = 0; i < 10; ++i) t[i] = fixed[i];
        // 10..249: 24 hues 15 degrees apart, each at five brightnesses, full and pale.
        const double levels[5] = {255, 165, 127, 76, 38};
        for (int i = 10; i < 250; ++i) {
            const double hue = (i / 10 - 1) * 15.0;
            const double v = levels[(i % 10) / 2];
            const double lo = (i % 2) ? v / 2 : 0;  // pale: half the chroma
            const double sector = hue / 60.0;
            const int s = static_cast<int>(sector);
            const double f = sector - s;
            const double rise = lo + (v - lo) * f, fall = v - (v - lo) * f;
            double r = 0, g = 0, b = 0;
            switch (s) {
                case 0: r = v, g = rise, b = lo; break;
                case 1: r = fall, g = v, b = lo; break;
                case 2: r = lo, g = v, b = rise; break;
                case 3: r = lo, g = fall, b = v; break;
                case 4: r = rise, g = lo, b = v; break;
                default: r = v, g = lo, b = fall; break;
            }
            t[static_cast<size_t>(i)] = (static_cast<int32_t>(r) << 16) | (static_cast<int32_t>(g) << 8) |
                                        static_cast<int32_t>(b);
        }
        const int32_t greys[6] = {0x333333, 0x505050, 0x696969, 0x828282, 0xBEBEBE, 0xFFFFFF};
        for (int i = 0; i < 6; ++i) t[static_cast<size_t>(250 + i)] = greys[i];
        return t;
    }();
    return aci >= 0 && aci < 256 ? table[static_cast<size_t>(aci)] : 0;
}

int NearestAci(int32_t rgb) {
    const int r = (rgb >> 16) & 0xFF, g = (rgb >> 8) & 0xFF, b = rgb & 0xFF;
    int best = 255;
    long bestDistance = std::numeric_limits<long>::max();
    for (int aci = 1; aci < 256; ++aci) {
        if (aci == 7) continue;
        const int32_t c = AciRgb(aci);
        const long dr = r - ((c >> 16) & 0xFF), dg = g - ((c >> 8) & 0xFF), db = b - (c & 0xFF);
        const long d = dr * dr + dg * dg + db * db;
        if (d < bestDistance) {
            bestDistance = d;
            best = aci;
        }
    }
    return best;
}

}  // namespace tabulon
