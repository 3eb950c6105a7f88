#include "core/table_dxf.h"

#include <algorithm>
#include <cmath>

#include "core/drawing_sizes.h"
#include "core/dxf_file.h"
#include "core/dxf_sink.h"
#include "core/errors.h"
#include "core/keisen.h"

namespace tabulon {

namespace {

constexpr const char* kByLayer = "BYLAYER";
constexpr int kColorByLayer = 256;

void Line(DrawingSink& sink, double x0, double y0, double x1, double y1, const char* layer) {
    const double start[3] = {x0, y0, 0};
    const double end[3] = {x1, y1, 0};
    sink.Line(VarToAcadPoint(start), VarToAcadPoint(end), layer, kByLayer, kColorByLayer);
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

// Separator runs along each row, then the table's bottom edge.
void WriteRowSeparators(const CellTable& table, double totalW, double totalH, DrawingSink& sink) {
    double top = 0;
    for (int32_t r = 1; r <= table.TableRows; ++r) {
        ForEachSeparatorRun(
            table.TableCols, [&](int32_t c) -> const TXlsxCellAttr& { return table.At(r, c); },
            [](const TXlsxCellAttr& cell) { return cell.drawW; }, totalW,
            [&](double from, double to) { Line(sink, from, top, to, top, kLayerCellLine); });
        top -= table.At(r, 1).drawH;
    }
    Line(sink, 0, -totalH, totalW, -totalH, kLayerCellLine);
}

// Separator runs down each column, then the table's right edge. Column positions
// come from the first row; each run's length from the column's own cells.
void WriteColumnSeparators(const CellTable& table, double totalW, double totalH, DrawingSink& sink) {
    double x = 0;
    for (int32_t c = 1; c <= table.TableCols; ++c) {
        ForEachSeparatorRun(
            table.TableRows, [&](int32_t r) -> const TXlsxCellAttr& { return table.At(r, c); },
            [](const TXlsxCellAttr& cell) { return cell.drawH; }, totalH,
            [&](double from, double to) { Line(sink, x, -from, x, -to, kLayerCellLine); });
        x += table.At(1, c).drawW;
    }
    Line(sink, totalW, 0, totalW, -totalH, kLayerCellLine);
}

void WriteCellText(const TXlsxCellAttr& cell, std::string_view text, double left, double top, double w, double h,
                   double cadTof, DrawingSink& sink) {
    if (text.empty()) return;
    double y = top - h * 0.5;
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
    const std::vector<std::string> pieces = SplitTextLines(text);
    // The block of lines is centred on the text point, one text height apart.
    y += static_cast<double>(pieces.size() - 1) * 0.5 * cell.drawTH;
    for (const std::string& piece : pieces) {
        if (!piece.empty()) {
            const double point[3] = {x, y, 0};
            const TAcadPoint p = VarToAcadPoint(point);
            sink.Text(piece, p, p, cell.drawTH, 1.0, 0.0, 0, 0, justify, kLayerCellText, kColorByLayer);
        }
        y -= cell.drawTH;
    }
}

void WriteCells(const CellTable& table, const GridTexts& texts, double cadTof, bool cellLineDraw, DrawingSink& sink) {
    double top = 0;
    for (int32_t r = 1; r <= table.TableRows; ++r) {
        const double bottom = top - table.At(r, 1).drawH;
        double left = 0;
        for (int32_t c = 1; c <= table.TableCols; ++c) {
            const TXlsxCellAttr& cell = table.At(r, c);
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
                    Line(sink, left, top, left + w, top - h, kLayerBordLine);
                } else if (cell.lineBits & kDiagonalUp) {
                    Line(sink, left, top - h, left + w, top, kLayerBordLine);
                }
            } else {
                w = cell.drawW;
                h = cell.drawH;
                if (!cell.mark) {
                    if (cell.lineBits & kDiagonalDown) {
                        Line(sink, left, bottom + h, left + w, bottom, kLayerBordLine);
                    } else if (cell.lineBits & kDiagonalUp) {
                        Line(sink, left, bottom, left + w, bottom + h, kLayerBordLine);
                    }
                }
            }
            WriteCellText(cell, texts.Get(c, r), left, top, w, h, cadTof, sink);
            left += cell.drawW;
        }
        top = bottom;
    }
}

void WriteKeisen(const KeisenRuns& runs, DrawingSink& sink) {
    runs.ForEachKept([&](const TAcadPoint& start, const TAcadPoint& end) {
        sink.Line(start, end, kLayerBordLine, kByLayer, kColorByLayer);
    });
}

// The cells' border edges, row by row and left to right, each cell's top,
// bottom, left and right in that order: emit(vertical, start, end).
template <typename Emit>
void ForEachKeisen(const CellTable& table, Emit&& emit) {
    double top = 0;
    for (int32_t r = 1; r <= table.TableRows; ++r) {
        const double bottom = top - table.At(r, 1).drawH;
        double left = 0;
        for (int32_t c = 1; c <= table.TableCols; ++c) {
            const TXlsxCellAttr& cell = table.At(r, c);
            const double right = left + cell.drawW;
            auto counts = [&](uint8_t bit) {
                return (cell.lineBits & bit) && (!cell.cellMerge || (cell.mergeBits & bit));
            };
            if (counts(kEdgeTop)) emit(false, TAcadPoint{left, top, 0}, TAcadPoint{right, top, 0});
            if (counts(kEdgeBottom)) emit(false, TAcadPoint{left, bottom, 0}, TAcadPoint{right, bottom, 0});
            if (counts(kEdgeLeft)) emit(true, TAcadPoint{left, top, 0}, TAcadPoint{left, bottom, 0});
            if (counts(kEdgeRight)) emit(true, TAcadPoint{right, top, 0}, TAcadPoint{right, bottom, 0});
            left = right;
        }
        top = bottom;
    }
}

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
    ForEachKeisen(table, [&](bool vertical, const TAcadPoint& start, const TAcadPoint& end) {
        (vertical ? vertKeisen : horzKeisen).push_back({start, end, false});
    });
}

void CollectKeisenRuns(const CellTable& table, KeisenRuns& vertRuns, KeisenRuns& horzRuns) {
    ForEachKeisen(table, [&](bool vertical, const TAcadPoint& start, const TAcadPoint& end) {
        (vertical ? vertRuns : horzRuns).Add(start, end);
    });
    vertRuns.DropDuplicates();
    horzRuns.DropDuplicates();
}

bool DrawTable(const CellTable& table, const GridTexts& texts, const ScaleSettings& settings, DrawingSink& sink) {
    if (table.IsEmpty() || table.TableCols <= 0 || table.TableRows <= 0) return false;

    // Every coordinate is a sum of some of these magnitudes, so when their total
    // is finite, none can overflow into an "INF" or "NAN" that no reader takes.
    double bound = 0;
    for (int32_t r = 1; r <= table.TableRows; ++r) {
        for (int32_t c = 1; c <= table.TableCols; ++c) {
            const TXlsxCellAttr& cell = table.At(r, c);
            const std::string& text = texts.Get(c, r);
            const double pieces = 1.0 + static_cast<double>(std::count_if(text.begin(), text.end(), [](char ch) {
                                      return ch == '\n' || ch == '\r';
                                  }));
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
    sink.Begin(totalW, totalH);
    if (settings.cellLineDraw) {
        WriteRowSeparators(table, totalW, totalH, sink);
        WriteColumnSeparators(table, totalW, totalH, sink);
    }
    WriteCells(table, texts, settings.cadTof, settings.cellLineDraw, sink);

    KeisenRuns vertRuns(true), horzRuns(false);
    CollectKeisenRuns(table, vertRuns, horzRuns);
    WriteKeisen(vertRuns, sink);
    WriteKeisen(horzRuns, sink);
    sink.End();
    return true;
}

bool BuildTableDxf(const CellTable& table, const GridTexts& texts, const ScaleSettings& settings, DxfLines& lines) {
    DxfSink sink(lines);
    return DrawTable(table, texts, settings, sink);
}

bool WriteTableDxf(const CellTable& table, const GridTexts& texts, const ScaleSettings& settings,
                   const std::string& path, DrawingCounts* counts) {
    DxfFileOutput file(path);
    DxfSink sink(file);
    if (!DrawTable(table, texts, settings, sink)) return false;
    file.Commit();
    if (counts) *counts = sink.Counts();
    return true;
}

}  // namespace tabulon
