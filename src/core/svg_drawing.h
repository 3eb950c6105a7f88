// The drawing as SVG: the very entities the DXF file holds, drawn on a light
// background, for a look at it without CAD.
#pragma once

#include <string>

#include "core/recorded_drawing.h"

namespace tabulon {

// The recorded drawing as an SVG document. Coordinates are the drawing's own:
// the picture turns them upside down once as a whole, so a LINE from (x0, y0) to
// (x1, y1) is an SVG line with exactly those numbers.
std::string SvgOf(const RecordedDrawing& drawing);

// "#RRGGBB" for an AutoCAD colour number as drawn on a light background:
// colour 7 is dark.
std::string SvgColor(int aci);

}  // namespace tabulon
