#include "core/table_dxf.h"

#include <algorithm>
#include <cmath>

#include "core/drawing_sizes.h"
#include "core/dxf_file.h"
#include "core/dxf_sink.h"
#include "core/errors.h"
#include "core/keisen.h"
#include "core/sheet_look.h"

namespace tabulon {

namespace {

constexpr const char* kByLayer = "BYLAYER";
constexpr int kColorByLayer = 256;

void Line(DrawingSink& sink, double x0, double y0, double x1, double y1, const char* layer,
          const char* linetype = kByLayer) {
    const double start[3] = {x0, y0, 0};
    const double end[3] = {x1, y1, 0};
    sink.Line(VarToAcadPoint(start), VarToAcadPoint(end), layer, linetype, kColorByLayer);
}

// Drawing units per point of the sheet, as the rows are scaled.
double PointUnit(const ScaleSettings& settings) {
    return std::fabs(settings.cadYsc);
}

double DoubleGap(const ScaleSettings& settings) {
    return kDoubleBorderGapPoints * PointUnit(settings);
}

// Walks the cells of one row or column and calls emit(from, to) for every run of
// cells that are not merged, measured along the walk. The last run ends at total.
template <typename CellAt, typename Size, typename Emit>
void ForEachSeparatorRun(int32_t count, CellAt cellAt, Size size, double total, Emit emit) {
    bool previousMerged = true;
    double s = 0;
    double runStart = 0;
    for (int32_t k = 1; k <= count; ++k) {
        const TXlsxCellAttr& cell = cellAt(k);
        if (cell.cellMerge && !previousMerged) emit(runStart, s);
        if (!cell.cellMerge && previousMerged) runStart = s;
        previousMerged = cell.cellMerge;
        s += size(cell);
    }
    if (!previousMerged) emit(runStart, total);
}

enum class Separators { AlongRows, DownColumns };

// Separator runs along each row at its top, then the table's bottom edge; or
// down each column at its left, then the table's right edge.
// Positions across the walk come from the first row or column; each run's
// length from the line's own cells.
void WriteSeparators(const CellTable& table, Separators direction, double totalW, double totalH, DrawingSink& sink) {
    const bool acrossColumns = direction == Separators::DownColumns;
    const int32_t lines = acrossColumns ? table.TableCols : table.TableRows;
    const int32_t cells = acrossColumns ? table.TableRows : table.TableCols;
    double at = 0;  // the row's y, downwards negative; or the column's x
    for (int32_t i = 1; i <= lines; ++i) {
        ForEachSeparatorRun(
            cells, [&](int32_t k) -> const TXlsxCellAttr& { return acrossColumns ? table.At(k, i) : table.At(i, k); },
            [&](const TXlsxCellAttr& cell) { return acrossColumns ? cell.drawH : cell.drawW; },
            acrossColumns ? totalH : totalW,
            [&](double from, double to) {
                if (acrossColumns) {
                    Line(sink, at, -from, at, -to, kLayerCellLine);
                } else {
                    Line(sink, from, at, to, at, kLayerCellLine);
                }
            });
        if (acrossColumns) {
            at += table.At(1, i).drawW;
        } else {
            at -= table.At(i, 1).drawH;
        }
    }
    if (acrossColumns) {
        Line(sink, totalW, 0, totalW, -totalH, kLayerCellLine);
    } else {
        Line(sink, 0, -totalH, totalW, -totalH, kLayerCellLine);
    }
}

// The lines of a cell's text as drawn, each with its width factor.
struct TextLine {
    std::string text;
    double widthFactor = 1.0;
};

// Splits the text at its line feeds; with fitText, wraps what the sheet wraps
// and narrows what is still wider than the space between the text offsets.
std::vector<TextLine> LayOutText(const TXlsxCellAttr& cell, std::string_view text, double w,
                                 const ScaleSettings& settings) {
    std::vector<TextLine> laid;
    const std::vector<std::string> pieces = SplitTextLines(text);
    if (!settings.fitText || cell.drawTH <= 0) {
        for (const std::string& piece : pieces) laid.push_back({piece});
        return laid;
    }
    const double offsets = cell.txtAlign == 2 ? 2 : 1;
    const double space = (w - offsets * cell.drawTH * settings.cadTof) / cell.drawTH;  // in text heights
    for (const std::string& piece : pieces) {
        if (cell.wrapText && space > 0 && EstimateTextWidth(piece, settings.halfWidth) > space) {
            for (std::string& line : WrapTextLine(piece, space, settings.halfWidth)) laid.push_back({std::move(line)});
        } else {
            laid.push_back({piece});
        }
    }
    if (space > 0) {
        for (TextLine& line : laid) {
            const double width = EstimateTextWidth(line.text, settings.halfWidth);
            if (width > space) line.widthFactor = space / width;
        }
    }
    return laid;
}

void WriteCellText(const TXlsxCellAttr& cell, std::string_view text, double left, double top, double w, double h,
                   const ScaleSettings& settings, DrawingSink& sink) {
    if (text.empty()) return;
    const double cadTof = settings.cadTof;
    double x;
    const char* justify;
    switch (cell.txtAlign) {
        case 2:
            x = left + w / 2;
            justify = "MC";
            break;
        case 3:
            x = left + w - cell.drawTH * cadTof;
            justify = "MR";
            break;
        default:
            x = left + cell.drawTH * cadTof;
            justify = "ML";
            break;
    }
    const std::vector<TextLine> laid = LayOutText(cell, text, w, settings);
    const double pitch = cell.drawTH * settings.lineSpacing;
    const double blockSpan = static_cast<double>(laid.size() - 1) * pitch;
    double y;
    if (settings.sheetVAlign && cell.txtVAlign == 1) {
        y = top - cell.drawTH * cadTof - cell.drawTH * 0.5;  // the first line under the top edge
    } else if (settings.sheetVAlign && cell.txtVAlign == 3) {
        y = top - h + cell.drawTH * cadTof + cell.drawTH * 0.5 + blockSpan;  // the last line over the bottom edge
    } else {
        // The block of lines is centred on the cell's middle.
        y = top - h * 0.5;
        y += static_cast<double>(laid.size() - 1) * 0.5 * pitch;
    }
    for (const TextLine& line : laid) {
        if (!line.text.empty()) {
            const double point[3] = {x, y, 0};
            const TAcadPoint p = VarToAcadPoint(point);
            sink.Text(line.text, p, p, cell.drawTH, line.widthFactor, 0.0, 0, 0, justify, kLayerCellText,
                      kColorByLayer);
        }
        y -= pitch;
    }
}

// A diagonal from (x0, y0) to (x1, y1) across a cell, in its border look.
void Diagonal(DrawingSink& sink, double x0, double y0, double x1, double y1, uint8_t look,
              const ScaleSettings& settings) {
    if (!settings.borderStyle) {
        Line(sink, x0, y0, x1, y1, kLayerBordLine);
        return;
    }
    const BorderStroke stroke = StrokeOf(look);
    if (!stroke.doubled) {
        Line(sink, x0, y0, x1, y1, stroke.layer, stroke.linetype);
        return;
    }
    // Two parallel lines, each ending on the cell's edges: one moved along the
    // top and bottom edges, the other along the left and right edges.
    const double gx = std::min(std::fabs(x1 - x0) / 2, DoubleGap(settings));
    const double gy = std::min(std::fabs(y1 - y0) / 2, DoubleGap(settings));
    const double sx = x1 > x0 ? 1 : -1, sy = y1 > y0 ? 1 : -1;
    Line(sink, x0 + sx * gx, y0, x1, y1 - sy * gy, stroke.layer, stroke.linetype);
    Line(sink, x0, y0 + sy * gy, x1 - sx * gx, y1, stroke.layer, stroke.linetype);
}

// Calls visit(row, col, cell, left, top, bottom) for every cell, row by row and
// left to right, with its column's left edge and its row's top and bottom edges.
template <typename Visit>
void ForEachCellPlace(const CellTable& table, Visit&& visit) {
    double top = 0;
    for (int32_t r = 1; r <= table.TableRows; ++r) {
        const double bottom = top - table.At(r, 1).drawH;
        double left = 0;
        for (int32_t c = 1; c <= table.TableCols; ++c) {
            const TXlsxCellAttr& cell = table.At(r, c);
            visit(r, c, cell, left, top, bottom);
            left += cell.drawW;
        }
        top = bottom;
    }
}

void WriteCells(const CellTable& table, const GridTexts& texts, const ScaleSettings& settings, DrawingSink& sink) {
    const bool cellLineDraw = settings.cellLineDraw;
    ForEachCellPlace(table, [&](int32_t r, int32_t c, const TXlsxCellAttr& cell, double left, double top,
                                double bottom) {
        double w, h;
        if (cell.drawMW > 0 && cell.drawMH > 0) {
            w = cell.drawMW;
            h = cell.drawMH;
            if (cellLineDraw) {
                const std::vector<double> outline = {left, top, left + w, top, left + w, top - h, left, top - h};
                TAcadPoint corners[4];
                VarToAcadPoints(outline, corners, 3);
                sink.Polyline(corners, 3, true, kLayerCellLine, kByLayer, kColorByLayer);
            }
            if (cell.lineBits & kDiagonalDown) {
                Diagonal(sink, left, top, left + w, top - h, cell.lineStyleDown, settings);
            }
            if (cell.lineBits & kDiagonalUp) Diagonal(sink, left, top - h, left + w, top, cell.lineStyleUp, settings);
        } else {
            w = cell.drawW;
            h = cell.drawH;
            if (!cell.mark) {
                if (cell.lineBits & kDiagonalDown) {
                    Diagonal(sink, left, bottom + h, left + w, bottom, cell.lineStyleDown, settings);
                }
                if (cell.lineBits & kDiagonalUp) {
                    Diagonal(sink, left, bottom, left + w, bottom + h, cell.lineStyleUp, settings);
                }
            }
        }
        // A hidden row or column draws no text over its visible neighbours.
        if (w != 0 && h != 0) WriteCellText(cell, texts.Get(c, r), left, top, w, h, settings, sink);
    });
}

void WriteKeisen(const KeisenRuns& runs, DrawingSink& sink, const char* layer = kLayerBordLine,
                 const char* linetype = kByLayer) {
    runs.ForEachKept([&](const TAcadPoint& start, const TAcadPoint& end) {
        sink.Line(start, end, layer, linetype, kColorByLayer);
    });
}

// Filled cells and merged areas, before anything else, so lines and texts stay on top.
void WriteFills(const CellTable& table, DrawingSink& sink) {
    ForEachCellPlace(table, [&](int32_t, int32_t, const TXlsxCellAttr& cell, double left, double top, double) {
        const bool anchor = cell.drawMW > 0 && cell.drawMH > 0;
        const double w = anchor ? cell.drawMW : cell.drawW;
        const double h = anchor ? cell.drawMH : cell.drawH;
        if (!cell.mark && cell.fillColor >= 0 && w != 0 && h != 0) {
            const TAcadPoint corners[4] = {
                {left, top, 0}, {left + w, top, 0}, {left, top - h, 0}, {left + w, top - h, 0}};
            sink.Solid(corners, kLayerCellFill, NearestAci(cell.fillColor));
        }
    });
}

// The cells' border edges, row by row and left to right, each cell's top,
// bottom, left and right in that order: emit(vertical, start, end, look).
template <typename Emit>
void ForEachKeisen(const CellTable& table, Emit&& emit) {
    ForEachCellPlace(table, [&](int32_t, int32_t, const TXlsxCellAttr& cell, double left, double top,
                                double bottom) {
        const double right = left + cell.drawW;
        auto counts = [&](uint8_t bit) {
            return (cell.lineBits & bit) && (!cell.cellMerge || (cell.mergeBits & bit));
        };
        if (counts(kEdgeTop)) {
            emit(false, TAcadPoint{left, top, 0}, TAcadPoint{right, top, 0}, cell.lineStyleTop, kEdgeTop);
        }
        if (counts(kEdgeBottom)) {
            emit(false, TAcadPoint{left, bottom, 0}, TAcadPoint{right, bottom, 0}, cell.lineStyleBottom,
                 kEdgeBottom);
        }
        if (counts(kEdgeLeft)) {
            emit(true, TAcadPoint{left, top, 0}, TAcadPoint{left, bottom, 0}, cell.lineStyleLeft, kEdgeLeft);
        }
        if (counts(kEdgeRight)) {
            emit(true, TAcadPoint{right, top, 0}, TAcadPoint{right, bottom, 0}, cell.lineStyleRight, kEdgeRight);
        }
    });
}

// The border runs of one look, joined among themselves.
struct StrokeGroup {
    BorderStroke stroke;
    double dx = 0, dy = 0;  // the inner line of a double border: moved into the cell
    KeisenRuns vert{true}, horz{false};
};

// Border runs grouped by their look: the plain lines first, then each look in
// the order met. A double border gives its edge line to the plain group and its
// inner line to a group of its own for each side.
std::vector<StrokeGroup> CollectStyledKeisen(const CellTable& table, const ScaleSettings& settings);

}  // namespace

std::vector<std::string> SplitTextLines(std::string_view text) {
    std::vector<std::string> pieces;
    pieces.emplace_back();
    size_t runStart = 0;
    for (size_t k = 0; k < text.size(); ++k) {
        const unsigned char ch = static_cast<unsigned char>(text[k]);
        if (ch >= 0x20 && ch != 0x7F) continue;
        pieces.back().append(text.data() + runStart, k - runStart);
        if (ch == '\r' || ch == '\n') {
            if (ch == '\r' && k + 1 < text.size() && text[k + 1] == '\n') ++k;
            pieces.emplace_back();
        } else {
            pieces.back() += ' ';
        }
        runStart = k + 1;
    }
    pieces.back().append(text.data() + runStart, text.size() - runStart);
    return pieces;
}

void CollectKeisen(const CellTable& table, KeisenList& vertKeisen, KeisenList& horzKeisen) {
    ForEachKeisen(table, [&](bool vertical, const TAcadPoint& start, const TAcadPoint& end, uint8_t, uint8_t) {
        (vertical ? vertKeisen : horzKeisen).push_back({start, end, false});
    });
}

void CollectKeisenRuns(const CellTable& table, KeisenRuns& vertRuns, KeisenRuns& horzRuns) {
    ForEachKeisen(table, [&](bool vertical, const TAcadPoint& start, const TAcadPoint& end, uint8_t, uint8_t) {
        (vertical ? vertRuns : horzRuns).Add(start, end);
    });
    vertRuns.DropDuplicates();
    horzRuns.DropDuplicates();
}

namespace {

std::vector<StrokeGroup> CollectStyledKeisen(const CellTable& table, const ScaleSettings& settings) {
    std::vector<StrokeGroup> groups(1);
    groups[0].stroke = StrokeOf(kBorderPlain);
    auto groupOf = [&](const BorderStroke& stroke, double dx, double dy) -> StrokeGroup& {
        for (StrokeGroup& g : groups) {
            if (std::string_view(g.stroke.layer) == stroke.layer &&
                std::string_view(g.stroke.linetype) == stroke.linetype && g.dx == dx && g.dy == dy) {
                return g;
            }
        }
        groups.push_back(StrokeGroup{stroke, dx, dy});
        return groups.back();
    };
    const double gap = DoubleGap(settings);
    ForEachKeisen(table, [&](bool vertical, TAcadPoint start, TAcadPoint end, uint8_t look, uint8_t edge) {
        BorderStroke stroke = StrokeOf(look);
        if (!stroke.doubled) {
            StrokeGroup& g = groupOf(stroke, 0, 0);
            (vertical ? g.vert : g.horz).Add(start, end);
            return;
        }
        (vertical ? groups[0].vert : groups[0].horz).Add(start, end);
        stroke.doubled = false;
        const double dx = edge == kEdgeLeft ? gap : edge == kEdgeRight ? -gap : 0;
        const double dy = edge == kEdgeTop ? -gap : edge == kEdgeBottom ? gap : 0;
        StrokeGroup& inner = groupOf(stroke, dx, dy);
        start.x += dx, end.x += dx, start.y += dy, end.y += dy;
        (vertical ? inner.vert : inner.horz).Add(start, end);
    });
    for (StrokeGroup& g : groups) {
        g.vert.DropDuplicates();
        g.horz.DropDuplicates();
    }
    return groups;
}

}  // namespace

bool DrawTable(const CellTable& table, const GridTexts& texts, const ScaleSettings& settings, DrawingSink& sink) {
    if (table.IsEmpty() || table.TableCols <= 0 || table.TableRows <= 0) return false;

    // Every coordinate is a sum of some of these magnitudes, so when their total
    // is finite, none can overflow into an "INF" or "NAN" that no reader takes.
    double bound = 0;
    for (int32_t r = 1; r <= table.TableRows; ++r) {
        for (int32_t c = 1; c <= table.TableCols; ++c) {
            const TXlsxCellAttr& cell = table.At(r, c);
            const std::string& text = texts.Get(c, r);
            // Wrapping gives at most a line per character.
            const double pieces =
                (1.0 + static_cast<double>(settings.fitText ? text.size()
                                                            : std::count_if(text.begin(), text.end(), [](char ch) {
                                                                  return ch == '\n' || ch == '\r';
                                                              }))) *
                std::max(1.0, std::fabs(settings.lineSpacing));
            bound += std::fabs(cell.drawW) + std::fabs(cell.drawH) + std::fabs(cell.drawMW) + std::fabs(cell.drawMH) +
                     std::fabs(cell.drawTH) * (std::fabs(settings.cadTof) + pieces);
        }
    }
    if (!std::isfinite(bound)) {
        throw TabulonError(
            "the drawing is too large to write: check the scales (cadXsc, cadYsc, cadTsc, cadTof) and the cell sizes");
    }

    const double totalW = TotalWidth(table);
    const double totalH = TotalHeight(table);
    DrawingTables tables;
    tables.width = totalW;
    tables.height = totalH;
    if (settings.borderStyle) {
        for (const SheetLinetype& type : SheetLinetypes()) {
            DxfLinetype scaled{type.name, type.description, type.pattern};
            for (double& element : scaled.pattern) element *= PointUnit(settings);
            tables.linetypes.push_back(std::move(scaled));
        }
        tables.layers.push_back({kLayerBordLineThick, 7});
    }
    if (settings.cellFill) tables.layers.push_back({kLayerCellFill, 254});
    sink.Begin(tables);
    if (settings.cellFill) WriteFills(table, sink);
    if (settings.cellLineDraw) {
        WriteSeparators(table, Separators::AlongRows, totalW, totalH, sink);
        WriteSeparators(table, Separators::DownColumns, totalW, totalH, sink);
    }
    WriteCells(table, texts, settings, sink);

    if (settings.borderStyle) {
        for (const StrokeGroup& g : CollectStyledKeisen(table, settings)) {
            WriteKeisen(g.vert, sink, g.stroke.layer, g.stroke.linetype);
            WriteKeisen(g.horz, sink, g.stroke.layer, g.stroke.linetype);
        }
    } else {
        KeisenRuns vertRuns(true), horzRuns(false);
        CollectKeisenRuns(table, vertRuns, horzRuns);
        WriteKeisen(vertRuns, sink);
        WriteKeisen(horzRuns, sink);
    }
    sink.End();
    return true;
}

bool BuildTableDxf(const CellTable& table, const GridTexts& texts, const ScaleSettings& settings, DxfLines& lines) {
    DxfSink sink(lines);
    return DrawTable(table, texts, settings, sink);
}

bool WriteTableDxf(const CellTable& table, const GridTexts& texts, const ScaleSettings& settings,
                   const std::string& path, DrawingCounts* counts, ReadOnlyFiles readOnly) {
    DxfFileOutput file(path, readOnly);
    DxfSink sink(file);
    if (!DrawTable(table, texts, settings, sink)) return false;
    file.Commit();
    if (counts) *counts = sink.Counts();
    return true;
}

}  // namespace tabulon
