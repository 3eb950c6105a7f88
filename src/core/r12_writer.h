// A streaming writer for AutoCAD Release 12 ASCII DXF text.
//
// Every operation appends fixed, pre-formatted items to a DxfLines list; the
// list is saved in one piece. The writer validates nothing: values are written
// as they are handed over.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "core/cell_table.h"

namespace tabulon {

// An ordered list of items, each one or more DXF lines joined by CR LF and never
// ending in a line break. Held as one buffer in which every item is already
// followed by its CR LF, which is exactly the file's text.
class DxfLines {
public:
    void Clear();
    // Room for this many bytes and items, so that a large drawing grows in place.
    void Reserve(size_t bytes, size_t items);
    void Add(std::string_view item);
    // Appends a new item and gives access to it for in-place formatting;
    // EndItem() closes it.
    std::string& BeginItem() { return text_; }
    void EndItem();

    size_t Count() const { return ends_.size(); }
    std::string_view Item(size_t index) const;
    // The joined text: every item followed by CR LF, the last one included.
    const std::string& Text() const { return text_; }

private:
    std::string text_;
    std::vector<size_t> ends_;  // offset just past each item's CR LF
};

inline constexpr const char* kLayerCellLine = "XLSCellLine";
inline constexpr const char* kLayerCellText = "XLSCellText";
inline constexpr const char* kLayerBordLine = "XLSBordLine";

// A line type beyond CONTINUOUS: dashes positive, gaps negative, in drawing units.
struct DxfLinetype {
    std::string name;
    std::string description;
    std::vector<double> pattern;
};

// A layer beyond the drawing's standard three.
struct DxfLayer {
    std::string name;
    int color;
};

void DxfWriteHeader(DxfLines& lines);
void DxfWriteLtypeTable(DxfLines& lines, const std::vector<DxfLinetype>& more = {});
void DxfWriteLayerTable(DxfLines& lines, const std::vector<DxfLayer>& more = {});
void DxfBeginEntities(DxfLines& lines);

void DxfWriteLine(DxfLines& lines, const TAcadPoint& start, const TAcadPoint& end, std::string_view layer,
                  std::string_view linetype, int color);

// Writes vertices[0 .. lastIndex]; lastIndex -1 writes no VERTEX.
void DxfWritePolyline(DxfLines& lines, const TAcadPoint* vertices, int lastIndex, bool closed, std::string_view layer,
                      std::string_view linetype, int color);

void DxfWriteText(DxfLines& lines, std::string_view text, const TAcadPoint& first, const TAcadPoint& second,
                  double height, double widthFactor, double rotation, int hJust, int vJust, std::string_view justify,
                  std::string_view layer, int color);

// A filled quadrilateral; corners in the order SOLID takes them: the second
// edge runs from corner 3 to corner 4, so a rectangle is given in a Z.
void DxfWriteSolid(DxfLines& lines, const TAcadPoint (&corners)[4], std::string_view layer, int color);

void DxfWriteEnd(DxfLines& lines);

// Applies a justification string ("MC", "L", ...) to the TEXT codes 72 and 73.
void ApplyJustification(std::string_view justify, int& hJust, int& vJust);

TAcadPoint VarToAcadPoint(const double (&point)[3]);

// Fills target[0 .. lastIndex] from [x0, y0, x1, y1, ...] when the number of pairs
// matches lastIndex + 1; otherwise leaves the target alone and returns false.
bool VarToAcadPoints(const std::vector<double>& flat, TAcadPoint* target, int lastIndex);

}  // namespace tabulon
