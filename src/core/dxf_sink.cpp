#include "core/dxf_sink.h"

namespace tabulon {

void DxfSink::Begin(const DrawingTables& tables) {
    DxfWriteHeader(out_);
    DxfWriteLtypeTable(out_, tables.linetypes);
    DxfWriteLayerTable(out_, tables.layers);
    DxfBeginEntities(out_);
}

void DxfSink::Line(const TAcadPoint& start, const TAcadPoint& end, std::string_view layer, std::string_view linetype,
                   int color) {
    DxfWriteLine(out_, start, end, layer, linetype, color);
    ++counts_.lines;
}

void DxfSink::Polyline(const TAcadPoint* vertices, int lastIndex, bool closed, std::string_view layer,
                       std::string_view linetype, int color) {
    DxfWritePolyline(out_, vertices, lastIndex, closed, layer, linetype, color);
    ++counts_.polylines;
}

void DxfSink::Text(std::string_view text, const TAcadPoint& first, const TAcadPoint& second, double height,
                   double widthFactor, double rotation, int hJust, int vJust, std::string_view justify,
                   std::string_view layer, int color) {
    DxfWriteText(out_, text, first, second, height, widthFactor, rotation, hJust, vJust, justify, layer, color);
    ++counts_.texts;
}

void DxfSink::Solid(const TAcadPoint (&corners)[4], std::string_view layer, int color) {
    DxfWriteSolid(out_, corners, layer, color);
    ++counts_.solids;
}

void DxfSink::End() {
    DxfWriteEnd(out_);
}

}  // namespace tabulon
