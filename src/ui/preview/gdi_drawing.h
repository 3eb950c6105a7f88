// A recorded drawing painted with GDI: the preview shows exactly what the DXF
// file holds. Entities are indexed by a grid of buckets over the drawing, so a
// paint visits only what is in view.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/recorded_drawing.h"

namespace tabulon::ui {

// Where the drawing lands on the device: x grows rightwards, the drawing's y
// upwards and the device's y downwards.
struct PreviewTransform {
    double scale = 1;         // device pixels per drawing unit
    double originX = 0;       // device x of the drawing's x = 0
    double originY = 0;       // device y of the drawing's y = 0
    double DeviceX(double x) const { return originX + scale * x; }
    double DeviceY(double y) const { return originY - scale * y; }
};

// The painter of a recorded drawing: its entities with their colours, pens and
// wide texts worked out once, in drawing order.
class GdiDrawing {
public:
    // Takes over the drawing's tables and entities, in place of any before.
    void Build(const RecordedDrawing& drawing);

    // Forgets every entity: an empty drawing.
    void Clear();
    bool Empty() const { return entities_.empty(); }
    size_t EntityCount() const { return entities_.size(); }
    double Width() const { return width_; }
    double Height() const { return height_; }

    // Paints the entities that meet the device rectangle `clip` into hdc; the
    // background is left alone. Returns how many entities were painted.
    size_t Paint(HDC hdc, const PreviewTransform& at, const RECT& clip) const;

private:
    enum class Kind : uint8_t { Line, Polyline, Text, Solid };
    struct Box {
        double left, bottom, right, top;
    };
    struct Entity {
        Kind kind;
        bool thick = false;
        int16_t linetype = -1;  // into linetypes_; -1: continuous
        COLORREF color = 0;
        uint32_t first = 0, count = 0;  // points_[first .. first + count)
        Box box{};
        // Texts only.
        uint32_t text = 0;  // into texts_
        float height = 0, widthFactor = 1, rotation = 0;
        uint8_t hJust = 0, vJust = 0;
    };

    int16_t LinetypeOf(std::string_view linetype) const;
    Entity NewEntity(Kind kind, const RecordedDrawing& drawing, const RecordedDrawing::Entity& from) const;
    void AddStroke(const RecordedDrawing& drawing, const RecordedDrawing::Entity& from);
    void AddSolid(const RecordedDrawing& drawing, const RecordedDrawing::Entity& from);
    void AddText(const RecordedDrawing& drawing, const RecordedDrawing::Entity& from);
    void Add(Entity entity);
    void BuildIndex();

    double width_ = 0, height_ = 0;
    std::vector<DxfLinetype> linetypes_;
    std::vector<DxfLayer> layers_;
    std::vector<Entity> entities_;
    std::vector<TAcadPoint> points_;
    std::vector<std::wstring> texts_;

    // Buckets of kIndexSize x kIndexSize over the entities' extent; each holds
    // the entities whose box meets it, in drawing order.
    static constexpr int kIndexSize = 64;
    Box extent_{};
    std::vector<std::vector<uint32_t>> buckets_;
    mutable std::vector<uint32_t> seen_;  // a paint's stamp per entity
    mutable uint32_t stamp_ = 0;
};

}  // namespace tabulon::ui
