#include "xlsx/xlsx_colors.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "xlsx/xlsx_xml.h"

namespace tabulon::xlsx {

namespace {

// The sheet's default palette of indexed colours.
constexpr int32_t kIndexed[64] = {
    0x000000, 0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0xFF00FF, 0x00FFFF, 0x000000, 0xFFFFFF, 0xFF0000,
    0x00FF00, 0x0000FF, 0xFFFF00, 0xFF00FF, 0x00FFFF, 0x800000, 0x008000, 0x000080, 0x808000, 0x800080, 0x008080,
    0xC0C0C0, 0x808080, 0x9999FF, 0x993366, 0xFFFFCC, 0xCCFFFF, 0x660066, 0xFF8080, 0x0066CC, 0xCCCCFF, 0x000080,
    0xFF00FF, 0xFFFF00, 0x00FFFF, 0x800080, 0x800000, 0x008080, 0x0000FF, 0x00CCFF, 0xCCFFFF, 0xCCFFCC, 0xFFFF99,
    0x99CCFF, 0xFF99CC, 0xCC99FF, 0xFFCC99, 0x3366FF, 0x33CCCC, 0x99CC00, 0xFFCC00, 0xFF9900, 0xFF6600, 0x666699,
    0x969696, 0x003366, 0x339966, 0x003300, 0x333300, 0x993300, 0x993366, 0x333399, 0x333333,
};

// Office's default theme, for workbooks without a theme part.
constexpr std::array<int32_t, 12> kDefaultTheme = {0xFFFFFF, 0x000000, 0xE7E6E6, 0x44546A, 0x4472C4, 0xED7D31,
                                                   0xA5A5A5, 0xFFC000, 0x5B9BD5, 0x70AD47, 0x0563C1, 0x954F72};

std::optional<int32_t> ParseHex(const char* text) {
    const size_t n = std::strlen(text);
    if (n != 6 && n != 8) return std::nullopt;
    char* end = nullptr;
    const unsigned long value = std::strtoul(text, &end, 16);
    if (*end != '\0') return std::nullopt;
    return static_cast<int32_t>(value & 0xFFFFFF);  // ARGB: the alpha goes
}

}  // namespace

std::array<int32_t, 12> ReadThemeColors(pugi::xml_node theme) {
    std::array<int32_t, 12> colors = kDefaultTheme;
    pugi::xml_node scheme = FirstChild(FirstChild(theme, "themeElements"), "clrScheme");
    if (!scheme) return colors;
    // The scheme lists dk1, lt1, dk2, lt2, ...; cells count lt1, dk1, lt2, dk2, ...
    const char* names[12] = {"lt1", "dk1", "lt2", "dk2", "accent1", "accent2",
                             "accent3", "accent4", "accent5", "accent6", "hlink", "folHlink"};
    for (int i = 0; i < 12; ++i) {
        pugi::xml_node entry = FirstChild(scheme, names[i]);
        if (!entry) continue;
        if (pugi::xml_node srgb = FirstChild(entry, "srgbClr")) {
            if (auto rgb = ParseHex(srgb.attribute("val").value())) colors[static_cast<size_t>(i)] = *rgb;
        } else if (pugi::xml_node sys = FirstChild(entry, "sysClr")) {
            if (auto rgb = ParseHex(sys.attribute("lastClr").value())) colors[static_cast<size_t>(i)] = *rgb;
        }
    }
    return colors;
}

int32_t ApplyTint(int32_t rgb, double tint) {
    if (tint == 0 || !std::isfinite(tint)) return rgb;
    tint = std::clamp(tint, -1.0, 1.0);
    double r = ((rgb >> 16) & 0xFF) / 255.0, g = ((rgb >> 8) & 0xFF) / 255.0, b = (rgb & 0xFF) / 255.0;
    const double mx = std::max({r, g, b}), mn = std::min({r, g, b});
    double h = 0, s = 0, l = (mx + mn) / 2;
    if (mx != mn) {
        const double d = mx - mn;
        s = l > 0.5 ? d / (2 - mx - mn) : d / (mx + mn);
        if (mx == r)
            h = (g - b) / d + (g < b ? 6 : 0);
        else if (mx == g)
            h = (b - r) / d + 2;
        else
            h = (r - g) / d + 4;
        h /= 6;
    }
    l = tint < 0 ? l * (1 + tint) : l * (1 - tint) + tint;
    auto channel = [](double p, double q, double t) {
        if (t < 0) t += 1;
        if (t > 1) t -= 1;
        if (t < 1.0 / 6) return p + (q - p) * 6 * t;
        if (t < 0.5) return q;
        if (t < 2.0 / 3) return p + (q - p) * (2.0 / 3 - t) * 6;
        return p;
    };
    if (s == 0) {
        r = g = b = l;
    } else {
        const double q = l < 0.5 ? l * (1 + s) : l + s - l * s;
        const double p = 2 * l - q;
        r = channel(p, q, h + 1.0 / 3);
        g = channel(p, q, h);
        b = channel(p, q, h - 1.0 / 3);
    }
    auto byte = [](double v) { return static_cast<int32_t>(std::lround(std::clamp(v, 0.0, 1.0) * 255)); };
    return (byte(r) << 16) | (byte(g) << 8) | byte(b);
}

std::optional<int32_t> ResolveColor(pugi::xml_node color, const ColorContext& context) {
    if (!color) return std::nullopt;
    std::optional<int32_t> rgb;
    if (pugi::xml_attribute a = color.attribute("rgb")) {
        rgb = ParseHex(a.value());
    } else if (pugi::xml_attribute t = color.attribute("theme")) {
        const unsigned index = t.as_uint(99);
        if (index < 12) rgb = context.hasTheme ? context.theme[index] : kDefaultTheme[index];
    } else if (pugi::xml_attribute i = color.attribute("indexed")) {
        const unsigned index = i.as_uint(999);
        if (index < context.indexed.size())
            rgb = context.indexed[index];
        else if (index < 64)
            rgb = kIndexed[index];
        // 64 and 65 are the system's foreground and background: automatic.
    }
    if (rgb) rgb = ApplyTint(*rgb, color.attribute("tint").as_double(0));
    return rgb;
}

}  // namespace tabulon::xlsx
