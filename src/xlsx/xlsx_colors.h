// Colours as a workbook names them: RGB, theme colours with a tint, the indexed
// palette.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <pugixml.hpp>

namespace tabulon::xlsx {

struct ColorContext {
    std::array<int32_t, 12> theme{};  // by the index cells use: lt1, dk1, lt2, dk2, accent1-6, hlink, folHlink
    bool hasTheme = false;
    std::vector<int32_t> indexed;  // the workbook's own palette, when it has one
};

// The theme's colours from a theme part (a:theme), in the order cells refer to them.
std::array<int32_t, 12> ReadThemeColors(pugi::xml_node theme);

// The colour of a <fgColor>, <bgColor> or <color> element as 0xRRGGBB, or nothing
// for automatic or unknown colours.
std::optional<int32_t> ResolveColor(pugi::xml_node color, const ColorContext& context);

// A colour lightened or darkened the way the sheet applies a tint (-1..1).
int32_t ApplyTint(int32_t rgb, double tint);

}  // namespace tabulon::xlsx
