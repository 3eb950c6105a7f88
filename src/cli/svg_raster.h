// Turning a preview's SVG into a PNG image, where the build can.
#pragma once

#include <string>
#include <string_view>

namespace tabulon {

// Whether this build can make PNG images.
bool CanRasterizeSvg();

// The SVG of a drawing of width x height drawing units as a PNG file's bytes, at
// a resolution that shows its texts: 8 pixels per drawing unit, less for large
// drawings, never more than 8000 pixels a side. Throws TabulonError when the
// picture cannot be made.
std::string RasterizeSvg(std::string_view svg, double width, double height);

}  // namespace tabulon
