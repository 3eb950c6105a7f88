// Builds without a rasteriser write SVG only.
#include "cli/svg_raster.h"

#include "core/errors.h"

namespace tabulon {

bool CanRasterizeSvg() {
    return false;
}

std::string RasterizeSvg(std::string_view, double, double) {
    throw TabulonError("PNG pictures are not available in this build");
}

}  // namespace tabulon
