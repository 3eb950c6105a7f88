#include "ui/preview/gdi_drawing.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>

#include "core/r12_writer.h"
#include "core/sheet_look.h"
#include "platform/win_resource.h"
#include "platform/win_text.h"

namespace tabulon::ui {

namespace {

COLORREF ColorRef(int aci) {
    // Colour 7 is white on CAD's dark background and dark on this light one.
    const int32_t rgb = PaperRgb(aci);
    return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

int Round(double v) {
    return static_cast<int>(std::lround(std::clamp(v, -1e8, 1e8)));
}

// The pens, brushes and fonts of one paint, made once each.
class GdiCache {
public:
    explicit GdiCache(HDC hdc)
        : hdc_(hdc),
          oldPen_(GetCurrentObject(hdc, OBJ_PEN)),
          oldBrush_(GetCurrentObject(hdc, OBJ_BRUSH)),
          oldFont_(GetCurrentObject(hdc, OBJ_FONT)) {}
    ~GdiCache() {
        // The DC's own objects back before the cached ones go.
        SelectObject(hdc_, oldPen_);
        SelectObject(hdc_, oldBrush_);
        SelectObject(hdc_, oldFont_);
        for (auto& [key, pen] : pens_) DeleteObject(pen);
        for (auto& [key, brush] : brushes_) DeleteObject(brush);
        for (auto& [key, font] : fonts_) DeleteObject(font);
    }

    void Pen(COLORREF color, bool thick, const std::vector<DWORD>* dashes) {
        const auto key = std::make_tuple(color, thick, dashes);
        auto it = pens_.find(key);
        if (it == pens_.end()) {
            LOGBRUSH brush{BS_SOLID, color, 0};
            const DWORD width = thick ? 2 : 1;
            HPEN pen = dashes && !dashes->empty()
                           ? ExtCreatePen(PS_GEOMETRIC | PS_USERSTYLE | PS_ENDCAP_FLAT, width, &brush,
                                          static_cast<DWORD>(dashes->size()), dashes->data())
                           : ExtCreatePen(PS_GEOMETRIC | PS_SOLID | PS_ENDCAP_SQUARE, width, &brush, 0, nullptr);
            it = pens_.emplace(key, pen).first;
        }
        Select(it->second);
    }

    void Brush(COLORREF color) {
        auto it = brushes_.find(color);
        if (it == brushes_.end()) it = brushes_.emplace(color, CreateSolidBrush(color)).first;
        Select(it->second);
    }

    void Font(int height, int width, int escapement) {
        const auto key = std::make_tuple(height, width, escapement);
        auto it = fonts_.find(key);
        if (it == fonts_.end()) {
            HFONT font = CreateFontW(-height, width, escapement, escapement, FW_NORMAL, FALSE, FALSE, FALSE,
                                     SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY,
                                     FIXED_PITCH | FF_MODERN, L"MS Gothic");
            it = fonts_.emplace(key, font).first;
        }
        Select(it->second);
    }

private:
    void Select(HGDIOBJ object) {
        if (object != selected_[GetObjectType(object)]) {
            SelectObject(hdc_, object);
            selected_[GetObjectType(object)] = object;
        }
    }

    HDC hdc_;
    HGDIOBJ oldPen_, oldBrush_, oldFont_;
    std::map<std::tuple<COLORREF, bool, const std::vector<DWORD>*>, HPEN> pens_;
    std::map<COLORREF, HBRUSH> brushes_;
    std::map<std::tuple<int, int, int>, HFONT> fonts_;
    std::map<DWORD, HGDIOBJ> selected_;
};

}  // namespace

void GdiDrawing::Clear() {
    width_ = height_ = 0;
    linetypes_.clear();
    layers_.clear();
    entities_.clear();
    points_.clear();
    texts_.clear();
    buckets_.clear();
    seen_.clear();
}

void GdiDrawing::Build(const RecordedDrawing& drawing) {
    Clear();
    width_ = drawing.Tables().width;
    height_ = drawing.Tables().height;
    linetypes_ = drawing.Tables().linetypes;
    layers_ = drawing.Tables().layers;
    for (const RecordedDrawing::Entity& e : drawing.Entities()) {
        switch (e.kind) {
            case RecordedDrawing::Kind::Line:
            case RecordedDrawing::Kind::Polyline: AddStroke(drawing, e); break;
            case RecordedDrawing::Kind::Solid: AddSolid(drawing, e); break;
            case RecordedDrawing::Kind::Text: AddText(drawing, e); break;
        }
    }
    BuildIndex();
}

int16_t GdiDrawing::LinetypeOf(std::string_view linetype) const {
    for (size_t i = 0; i < linetypes_.size(); ++i) {
        if (linetypes_[i].name == linetype && !linetypes_[i].pattern.empty()) return static_cast<int16_t>(i);
    }
    return -1;
}

void GdiDrawing::Add(Entity entity) {
    if (entity.kind != Kind::Text) {
        Box b{points_[entity.first].x, points_[entity.first].y, points_[entity.first].x, points_[entity.first].y};
        for (uint32_t i = entity.first; i < entity.first + entity.count; ++i) {
            b.left = std::min(b.left, points_[i].x);
            b.right = std::max(b.right, points_[i].x);
            b.bottom = std::min(b.bottom, points_[i].y);
            b.top = std::max(b.top, points_[i].y);
        }
        entity.box = b;
    }
    entities_.push_back(entity);
}

// An entity in the colour it shows in, its points to follow the ones there are.
GdiDrawing::Entity GdiDrawing::NewEntity(Kind kind, const RecordedDrawing& drawing,
                                         const RecordedDrawing::Entity& from) const {
    Entity e{kind};
    e.color = ColorRef(drawing.ShownColorOf(from));
    e.first = static_cast<uint32_t>(points_.size());
    return e;
}

void GdiDrawing::AddStroke(const RecordedDrawing& drawing, const RecordedDrawing::Entity& from) {
    if (from.count == 0) return;
    Entity e = NewEntity(from.kind == RecordedDrawing::Kind::Line ? Kind::Line : Kind::Polyline, drawing, from);
    e.thick = drawing.LayerOf(from) == kLayerBordLineThick;
    e.linetype = LinetypeOf(drawing.LinetypeOf(from));
    const TAcadPoint* vertices = &drawing.Points()[from.first];
    points_.insert(points_.end(), vertices, vertices + from.count);
    if (from.closed) points_.push_back(vertices[0]);
    e.count = static_cast<uint32_t>(points_.size()) - e.first;
    Add(e);
}

void GdiDrawing::AddSolid(const RecordedDrawing& drawing, const RecordedDrawing::Entity& from) {
    Entity e = NewEntity(Kind::Solid, drawing, from);
    e.count = 4;
    // The corners come in a Z; the polygon goes round.
    for (int i : {0, 1, 3, 2}) points_.push_back(drawing.Points()[from.first + i]);
    Add(e);
}

void GdiDrawing::AddText(const RecordedDrawing& drawing, const RecordedDrawing::Entity& from) {
    Entity e = NewEntity(Kind::Text, drawing, from);
    e.count = 1;
    // Aligned texts are placed by their second point, as CAD does.
    points_.push_back(drawing.AnchorOf(from));
    e.text = static_cast<uint32_t>(texts_.size());
    texts_.push_back(Utf8ToWide(drawing.Texts()[from.text]));
    e.height = static_cast<float>(from.height);
    e.widthFactor = static_cast<float>(from.widthFactor > 0 ? from.widthFactor : 1);
    e.rotation = static_cast<float>(from.rotation);
    e.hJust = static_cast<uint8_t>(from.hJust);
    e.vJust = static_cast<uint8_t>(from.vJust);
    // A box that holds the text whichever way it is aligned or turned: its
    // characters are at most one height wide.
    const double reach = std::fabs(from.height) * (e.widthFactor * static_cast<double>(texts_.back().size()) + 2);
    const TAcadPoint& at = points_.back();
    e.box = {at.x - reach, at.y - reach, at.x + reach, at.y + reach};
    entities_.push_back(e);
}

void GdiDrawing::BuildIndex() {
    buckets_.assign(static_cast<size_t>(kIndexSize) * kIndexSize, {});
    seen_.assign(entities_.size(), 0);
    stamp_ = 0;
    if (entities_.empty()) return;
    extent_ = entities_[0].box;
    for (const Entity& e : entities_) {
        extent_.left = std::min(extent_.left, e.box.left);
        extent_.right = std::max(extent_.right, e.box.right);
        extent_.bottom = std::min(extent_.bottom, e.box.bottom);
        extent_.top = std::max(extent_.top, e.box.top);
    }
    const double w = std::max(extent_.right - extent_.left, 1e-9), h = std::max(extent_.top - extent_.bottom, 1e-9);
    auto column = [&](double x) { return std::clamp(static_cast<int>((x - extent_.left) / w * kIndexSize), 0, kIndexSize - 1); };
    auto row = [&](double y) { return std::clamp(static_cast<int>((y - extent_.bottom) / h * kIndexSize), 0, kIndexSize - 1); };
    for (uint32_t i = 0; i < entities_.size(); ++i) {
        const Box& b = entities_[i].box;
        for (int r = row(b.bottom); r <= row(b.top); ++r) {
            for (int c = column(b.left); c <= column(b.right); ++c) buckets_[r * kIndexSize + c].push_back(i);
        }
    }
}

size_t GdiDrawing::Paint(HDC hdc, const PreviewTransform& at, const RECT& clip) const {
    if (entities_.empty() || !(at.scale > 0)) return 0;
    // The device rectangle in drawing units, one pixel wider for the pens.
    const double left = (clip.left - 1 - at.originX) / at.scale, right = (clip.right + 1 - at.originX) / at.scale;
    const double top = (at.originY - clip.top + 1) / at.scale, bottom = (at.originY - clip.bottom - 1) / at.scale;
    if (right < extent_.left || left > extent_.right || top < extent_.bottom || bottom > extent_.top) return 0;

    const double w = std::max(extent_.right - extent_.left, 1e-9), h = std::max(extent_.top - extent_.bottom, 1e-9);
    auto column = [&](double x) { return std::clamp(static_cast<int>((x - extent_.left) / w * kIndexSize), 0, kIndexSize - 1); };
    auto row = [&](double y) { return std::clamp(static_cast<int>((y - extent_.bottom) / h * kIndexSize), 0, kIndexSize - 1); };
    if (++stamp_ == 0) {
        std::fill(seen_.begin(), seen_.end(), 0);
        stamp_ = 1;
    }
    std::vector<uint32_t> visible;
    for (int r = row(bottom); r <= row(top); ++r) {
        for (int c = column(left); c <= column(right); ++c) {
            for (uint32_t i : buckets_[r * kIndexSize + c]) {
                if (seen_[i] == stamp_) continue;
                seen_[i] = stamp_;
                const Box& b = entities_[i].box;
                if (b.right < left || b.left > right || b.top < bottom || b.bottom > top) continue;
                visible.push_back(i);
            }
        }
    }
    // Fills first, as CAD drew them before the lines over them.
    std::sort(visible.begin(), visible.end());

    // Dash patterns in device pixels at this scale.
    std::vector<std::vector<DWORD>> dashes(linetypes_.size());
    for (size_t t = 0; t < linetypes_.size(); ++t) {
        for (double element : linetypes_[t].pattern) {
            dashes[t].push_back(static_cast<DWORD>(std::clamp(std::fabs(element) * at.scale, 1.0, 1e6)));
        }
        if (dashes[t].size() % 2) dashes[t].push_back(dashes[t].back());
    }

    GdiCache gdi(hdc);
    SetBkMode(hdc, TRANSPARENT);
    std::vector<POINT> device;
    for (uint32_t i : visible) {
        const Entity& e = entities_[i];
        device.clear();
        for (uint32_t p = e.first; p < e.first + e.count; ++p) {
            device.push_back({Round(at.DeviceX(points_[p].x)), Round(at.DeviceY(points_[p].y))});
        }
        switch (e.kind) {
            case Kind::Line:
            case Kind::Polyline:
                gdi.Pen(e.color, e.thick, e.linetype >= 0 ? &dashes[e.linetype] : nullptr);
                ::Polyline(hdc, device.data(), static_cast<int>(device.size()));
                break;
            case Kind::Solid:
                gdi.Brush(e.color);
                gdi.Pen(e.color, false, nullptr);
                ::Polygon(hdc, device.data(), static_cast<int>(device.size()));
                break;
            case Kind::Text: {
                const double pixels = e.height * at.scale;
                if (pixels < 3) break;  // too small to read: a blur either way
                const int height = Round(pixels);
                // A half-width character is half as wide as it is high; the width
                // factor narrows or widens that.
                const int width = e.widthFactor == 1 ? 0 : std::max(1, Round(pixels * e.widthFactor / 2));
                gdi.Font(height, width, Round(e.rotation * 10));
                SetTextColor(hdc, e.color);
                UINT align = e.hJust == 1 || e.hJust == 4 ? TA_CENTER : e.hJust == 2 ? TA_RIGHT : TA_LEFT;
                POINT p = device[0];
                if (e.vJust == 3) {
                    align |= TA_TOP;
                } else if (e.vJust == 1) {
                    align |= TA_BOTTOM;
                } else {
                    align |= TA_BASELINE;
                    // Middle: the baseline half the text's height below its point.
                    if (e.vJust == 2 || e.hJust == 4) p.y += Round(pixels / 2);
                }
                SetTextAlign(hdc, align);
                const std::wstring& s = texts_[e.text];
                ExtTextOutW(hdc, p.x, p.y, 0, nullptr, s.c_str(), static_cast<UINT>(s.size()), nullptr);
                break;
            }
        }
    }
    return visible.size();
}

}  // namespace tabulon::ui
