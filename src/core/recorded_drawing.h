// A drawing kept in memory as DrawTable hands it over, for the pictures of it
// (the SVG file, the preview pane) to draw from.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/drawing_sink.h"

namespace tabulon {

// Records the tables and every entity in drawing order, compactly: all points in
// one vector, all texts in another, layer and line-type names once each.
class RecordedDrawing : public DrawingSink {
public:
    enum class Kind : uint8_t { Line, Polyline, Text, Solid };
    struct Entity {
        Kind kind = Kind::Line;
        bool closed = false;            // polylines
        uint16_t layer = 0;             // into names
        uint16_t linetype = 0;          // into names; texts and solids: ""
        int color = 0;                  // as given: 256 is by layer
        uint32_t first = 0, count = 0;  // Points()[first .. first + count)
        // Texts only: the first and second alignment points, then these.
        uint32_t text = 0;  // into Texts()
        double height = 0, widthFactor = 1, rotation = 0;
        int hJust = 0, vJust = 0;  // with the justification already applied
    };

    void Begin(const DrawingTables& tables) override;
    void Line(const TAcadPoint& start, const TAcadPoint& end, std::string_view layer, std::string_view linetype,
              int color) override;
    void Polyline(const TAcadPoint* vertices, int lastIndex, bool closed, std::string_view layer,
                  std::string_view linetype, int color) override;
    void Text(std::string_view text, const TAcadPoint& first, const TAcadPoint& second, double height,
              double widthFactor, double rotation, int hJust, int vJust, std::string_view justify,
              std::string_view layer, int color) override;
    void Solid(const TAcadPoint (&corners)[4], std::string_view layer, int color) override;
    void End() override {}

    // Forgets the tables and every entity: an empty drawing.
    void Clear();

    const DrawingTables& Tables() const { return tables_; }
    const std::vector<Entity>& Entities() const { return entities_; }
    const std::vector<TAcadPoint>& Points() const { return points_; }
    const std::vector<std::string>& Texts() const { return texts_; }
    const std::string& LayerOf(const Entity& e) const { return names_[e.layer]; }
    const std::string& LinetypeOf(const Entity& e) const { return names_[e.linetype]; }
    // The colour number the entity shows in, its layer's for "by layer".
    int ShownColorOf(const Entity& e) const { return ShownColor(LayerOf(e), e.color, tables_.layers); }
    // The point a text is placed by.
    const TAcadPoint& AnchorOf(const Entity& e) const {
        return TextAnchor(points_[e.first], points_[e.first + 1], e.hJust, e.vJust);
    }

private:
    uint16_t NameIndex(std::string_view name);
    Entity& Add(Kind kind, std::string_view layer, std::string_view linetype, int color);

    DrawingTables tables_;
    std::vector<Entity> entities_;
    std::vector<TAcadPoint> points_;
    std::vector<std::string> texts_;
    std::vector<std::string> names_;
};

}  // namespace tabulon
