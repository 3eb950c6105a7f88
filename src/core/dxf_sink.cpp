#include "core/dxf_sink.h"

namespace tabulon {

void DxfSink::Begin(double, double) {
    DxfWriteHeader(out_);
    DxfWriteLtypeTable(out_);
    DxfWriteLayerTable(out_);
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

void DxfSink::End() {
    DxfWriteEnd(out_);
}

}  // namespace tabulon
