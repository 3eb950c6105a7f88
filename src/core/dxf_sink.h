// The R12 DXF writer as a drawing sink.
#pragma once

#include "core/drawing_sink.h"
#include "core/r12_writer.h"

namespace tabulon {

// Writes each entity as it arrives into a DxfOutput: the header, line-type and
// layer tables on Begin(), the end of the file on End(). Counts the entities it
// writes.
class DxfSink : public DrawingSink {
public:
    explicit DxfSink(DxfOutput& out) : out_(out) {}

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

    const DrawingCounts& Counts() const { return counts_; }

private:
    DxfOutput& out_;
    DrawingCounts counts_;
};

}  // namespace tabulon
