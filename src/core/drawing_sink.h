// What a drawing is made of, as the table-to-drawing conversion hands it on.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "core/cell_table.h"
#include "core/r12_writer.h"

namespace tabulon {

// What a drawing declares before its entities. The table spans (0, 0) to
// (width, -height) in drawing units.
struct DrawingTables {
    double width = 0, height = 0;
    std::vector<DxfLinetype> linetypes;  // beyond CONTINUOUS
    std::vector<DxfLayer> layers;        // beyond the standard three
};

// What a picture of the drawing shows, the same for every picture of it.

// The colour number an entity shows in: its own, or for 256 (by layer) its
// layer's, as the drawing's layer table gives it.
inline int ShownColor(std::string_view layer, int color, const std::vector<DxfLayer>& moreLayers) {
    if (color != 256) return color;
    if (layer == kLayerCellLine) return 252;
    for (const DxfLayer& l : moreLayers) {
        if (l.name == layer) return l.color;
    }
    return 7;
}

// The point a TEXT is placed by: the first for left-aligned baseline texts,
// else the second, as CAD does.
inline const TAcadPoint& TextAnchor(const TAcadPoint& first, const TAcadPoint& second, int hJust, int vJust) {
    return hJust == 0 && vJust == 0 ? first : second;
}

// Receives a drawing's entities in the order they are drawn, with the same
// arguments the DXF writer takes. The DXF file is one sink; anything else that
// shows the same drawing (a preview) can be another.
class DrawingSink {
public:
    virtual ~DrawingSink() = default;

    // Before the first entity: the header and tables.
    virtual void Begin(const DrawingTables& tables) = 0;

    virtual void Line(const TAcadPoint& start, const TAcadPoint& end, std::string_view layer,
                      std::string_view linetype, int color) = 0;

    // vertices[0 .. lastIndex].
    virtual void Polyline(const TAcadPoint* vertices, int lastIndex, bool closed, std::string_view layer,
                          std::string_view linetype, int color) = 0;

    virtual void Text(std::string_view text, const TAcadPoint& first, const TAcadPoint& second, double height,
                      double widthFactor, double rotation, int hJust, int vJust, std::string_view justify,
                      std::string_view layer, int color) = 0;

    // A filled quadrilateral, corners in a Z.
    virtual void Solid(const TAcadPoint (&corners)[4], std::string_view layer, int color) = 0;

    // After the last entity.
    virtual void End() = 0;
};

// How many entities of each kind a drawing holds.
struct DrawingCounts {
    size_t lines = 0;
    size_t polylines = 0;
    size_t texts = 0;
    size_t solids = 0;
};

}  // namespace tabulon
