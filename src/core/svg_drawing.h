// The drawing as SVG: the very entities the DXF file holds, drawn on a light
// background, for a look at it without CAD.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/cell_table.h"
#include "core/drawing_sink.h"
#include "core/r12_writer.h"

namespace tabulon {

// Collects a drawing's entities as SVG. Coordinates are the drawing's own: the
// picture turns them upside down once as a whole, so a LINE from (x0, y0) to
// (x1, y1) is an SVG line with exactly those numbers.
class SvgDrawing : public DrawingSink {
public:
    void Begin(const DrawingTables& tables) override;
    void Line(const TAcadPoint& start, const TAcadPoint& end, std::string_view layer, std::string_view linetype,
              int color) override;
    void Polyline(const TAcadPoint* vertices, int lastIndex, bool closed, std::string_view layer,
                  std::string_view linetype, int color) override;
    void Text(std::string_view text, const TAcadPoint& first, const TAcadPoint& second, double height,
              double widthFactor, double rotation, int hJust, int vJust, std::string_view justify,
              std::string_view layer, int color) override;
    void Solid(const TAcadPoint (&corners)[4], std::string_view layer, int color) override;
    void End() override;

    // The finished document; empty before End().
    const std::string& Svg() const { return svg_; }
    double Width() const { return width_; }
    double Height() const { return height_; }

private:
    std::string Stroke(std::string_view layer, std::string_view linetype, int color) const;

    std::string body_;
    std::string svg_;
    double width_ = 0, height_ = 0;
    double thin_ = 0.1;
    std::vector<DxfLinetype> linetypes_;
    std::vector<DxfLayer> layers_;
};

// "#RRGGBB" for an AutoCAD colour number as drawn on a light background:
// colour 7 is dark.
std::string SvgColor(int aci);

}  // namespace tabulon
