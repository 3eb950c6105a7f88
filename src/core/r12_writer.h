// A streaming writer for AutoCAD Release 12 ASCII DXF text.
//
// Every operation appends fixed, pre-formatted items to a DxfOutput: DxfLines
// keeps them all, a file output (core/dxf_file.h) writes them out as they come.
// The writer validates nothing: values are written as they are handed over.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "core/cell_table.h"

namespace tabulon {

// Where the writer's items go. An item is one or more DXF lines joined by CR LF
// and never ending in a line break; the output holds it followed by its CR LF,
// which is exactly the file's text. What becomes of finished items is up to the
// subclass.
class DxfOutput {
public:
    virtual ~DxfOutput() = default;
    // Forgets every item the output still holds.
    virtual void Clear() { text_.clear(); }
    void Add(std::string_view item) {
        text_ += item;
        EndItem();
    }
    // Appends a new item and gives access to it for in-place formatting;
    // EndItem() closes it.
    std::string& BeginItem() { return text_; }
    void EndItem() {
        text_ += "\r\n";
        ItemEnded();
    }

protected:
    // Called after every item, with text_ ending in that item's CR LF.
    virtual void ItemEnded() = 0;
    std::string text_;
};

// An ordered list of items, all kept in memory: every item followed by its CR LF
// in one buffer, with the offsets where the items end.
class DxfLines : public DxfOutput {
public:
    void Clear() override;
    // Room for this many bytes and items, so that a large drawing grows in place.
    void Reserve(size_t bytes, size_t items);

    size_t Count() const { return ends_.size(); }
    std::string_view Item(size_t index) const;
    // The joined text: every item followed by CR LF, the last one included.
    const std::string& Text() const { return text_; }

private:
    void ItemEnded() override { ends_.push_back(text_.size()); }
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

void DxfWriteHeader(DxfOutput& out);
void DxfWriteLtypeTable(DxfOutput& out, const std::vector<DxfLinetype>& more = {});
void DxfWriteLayerTable(DxfOutput& out, const std::vector<DxfLayer>& more = {});
void DxfBeginEntities(DxfOutput& out);

void DxfWriteLine(DxfOutput& out, const TAcadPoint& start, const TAcadPoint& end, std::string_view layer,
                  std::string_view linetype, int color);

// Writes vertices[0 .. lastIndex]; lastIndex -1 writes no VERTEX.
void DxfWritePolyline(DxfOutput& out, const TAcadPoint* vertices, int lastIndex, bool closed, std::string_view layer,
                      std::string_view linetype, int color);

void DxfWriteText(DxfOutput& out, std::string_view text, const TAcadPoint& first, const TAcadPoint& second,
                  double height, double widthFactor, double rotation, int hJust, int vJust, std::string_view justify,
                  std::string_view layer, int color);

// A filled quadrilateral; corners in the order SOLID takes them: the second
// edge runs from corner 3 to corner 4, so a rectangle is given in a Z.
void DxfWriteSolid(DxfOutput& out, const TAcadPoint (&corners)[4], std::string_view layer, int color);

void DxfWriteEnd(DxfOutput& out);

// Applies a justification string ("MC", "L", ...) to the TEXT codes 72 and 73.
void ApplyJustification(std::string_view justify, int& hJust, int& vJust);

TAcadPoint VarToAcadPoint(const double (&point)[3]);

// Fills target[0 .. lastIndex] from [x0, y0, x1, y1, ...] when the number of pairs
// matches lastIndex + 1; otherwise leaves the target alone and returns false.
bool VarToAcadPoints(const std::vector<double>& flat, TAcadPoint* target, int lastIndex);

}  // namespace tabulon
