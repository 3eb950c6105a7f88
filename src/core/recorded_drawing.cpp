#include "core/recorded_drawing.h"

#include "core/r12_writer.h"

namespace tabulon {

void RecordedDrawing::Clear() {
    tables_ = {};
    entities_.clear();
    points_.clear();
    texts_.clear();
    names_.clear();
}

void RecordedDrawing::Begin(const DrawingTables& tables) {
    Clear();
    tables_ = tables;
}

uint16_t RecordedDrawing::NameIndex(std::string_view name) {
    // A drawing uses a handful of layers and line types; the last one is the likeliest.
    for (size_t i = names_.size(); i-- > 0;) {
        if (names_[i] == name) return static_cast<uint16_t>(i);
    }
    names_.emplace_back(name);
    return static_cast<uint16_t>(names_.size() - 1);
}

RecordedDrawing::Entity& RecordedDrawing::Add(Kind kind, std::string_view layer, std::string_view linetype, int color) {
    Entity& e = entities_.emplace_back();
    e.kind = kind;
    e.layer = NameIndex(layer);
    e.linetype = NameIndex(linetype);
    e.color = color;
    e.first = static_cast<uint32_t>(points_.size());
    return e;
}

void RecordedDrawing::Line(const TAcadPoint& start, const TAcadPoint& end, std::string_view layer,
                           std::string_view linetype, int color) {
    Entity& e = Add(Kind::Line, layer, linetype, color);
    points_.push_back(start);
    points_.push_back(end);
    e.count = 2;
}

void RecordedDrawing::Polyline(const TAcadPoint* vertices, int lastIndex, bool closed, std::string_view layer,
                               std::string_view linetype, int color) {
    Entity& e = Add(Kind::Polyline, layer, linetype, color);
    e.closed = closed;
    if (lastIndex >= 0) points_.insert(points_.end(), vertices, vertices + lastIndex + 1);
    e.count = static_cast<uint32_t>(points_.size()) - e.first;
}

void RecordedDrawing::Solid(const TAcadPoint (&corners)[4], std::string_view layer, int color) {
    Entity& e = Add(Kind::Solid, layer, "", color);
    points_.insert(points_.end(), corners, corners + 4);
    e.count = 4;
}

void RecordedDrawing::Text(std::string_view text, const TAcadPoint& first, const TAcadPoint& second, double height,
                           double widthFactor, double rotation, int hJust, int vJust, std::string_view justify,
                           std::string_view layer, int color) {
    ApplyJustification(justify, hJust, vJust);
    Entity& e = Add(Kind::Text, layer, "", color);
    points_.push_back(first);
    points_.push_back(second);
    e.count = 2;
    e.text = static_cast<uint32_t>(texts_.size());
    texts_.emplace_back(text);
    e.height = height;
    e.widthFactor = widthFactor;
    e.rotation = rotation;
    e.hJust = hJust;
    e.vJust = vJust;
}

}  // namespace tabulon
