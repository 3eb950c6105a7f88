// A captured row height or column width shown in the grid: points or characters
// times the scale, truncated to whole pixels.
#pragma once

#include <cmath>
#include <cstdint>

namespace tabulon {

inline int32_t GridPixels(uint16_t size, double scale) {
    const double pixels = std::trunc(size * scale);
    return std::isfinite(pixels) && std::fabs(pixels) < 1e9 ? static_cast<int32_t>(pixels) : 0;
}

}  // namespace tabulon
