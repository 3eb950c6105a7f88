#include "core/drawing_sizes.h"

#include <algorithm>

namespace tabulon {

namespace {

bool SameArea(const TXlsxCellAttr& cell, const TXlsxCellAttr& anchor) {
    return cell.cellMerge && cell.mergeLeft == anchor.mergeLeft && cell.mergeTop == anchor.mergeTop;
}

}  // namespace

int32_t ClippedMergeRows(const CellTable& table, int32_t row, int32_t col, const TXlsxCellAttr& anchor) {
    const int32_t limit = std::min<int32_t>(anchor.mergerowYscount, table.TableRows - row + 1);
    int32_t n = 1;
    while (n < limit && SameArea(table.At(row + n, col), anchor)) ++n;
    return n;
}

int32_t ClippedMergeCols(const CellTable& table, int32_t row, int32_t col, const TXlsxCellAttr& anchor) {
    const int32_t limit = std::min<int32_t>(anchor.mergecolXscount, table.TableCols - col + 1);
    int32_t n = 1;
    while (n < limit && SameArea(table.At(row, col + n), anchor)) ++n;
    return n;
}

namespace {

// Calls onAnchor(row, col, cell, rows, cols) for every cell that starts a merged
// area, with the area's extent clipped to the table; every other cell loses its
// merged size.
template <typename OnAnchor>
void ForEachMergeAnchor(CellTable& table, OnAnchor onAnchor) {
    for (int32_t r = 1; r <= table.TableRows; ++r) {
        for (int32_t c = 1; c <= table.TableCols; ++c) {
            TXlsxCellAttr& cell = table.At(r, c);
            if (cell.mark || !cell.cellMerge) {
                cell.drawMH = 0;
                cell.drawMW = 0;
                continue;
            }
            onAnchor(r, c, cell, ClippedMergeRows(table, r, c, cell), ClippedMergeCols(table, r, c, cell));
        }
    }
}

}  // namespace

void ComputeDrawingSizes(CellTable& table, const ScaleSettings& settings) {
    if (table.IsEmpty()) return;
    ForEachMergeAnchor(table, [&](int32_t r, int32_t c, TXlsxCellAttr& cell, int32_t nr, int32_t nc) {
        cell.mergeBits = kEdgeTop | kEdgeLeft;
        if (nc == 1) cell.mergeBits |= kEdgeRight;
        if (nr == 1) cell.mergeBits |= kEdgeBottom;

        int32_t w = cell.colW;
        for (int32_t k = 1; k < nc; ++k) {
            TXlsxCellAttr& right = table.At(r, c + k);
            w += right.colW;
            right.mark = true;
            right.mergeBits = kEdgeTop;
            if (nr == 1) right.mergeBits |= kEdgeBottom;
            if (k == nc - 1) right.mergeBits |= kEdgeRight;
        }
        cell.mergeW = static_cast<uint16_t>(w);
        cell.drawMW = w * settings.cadXsc;

        int32_t h = cell.rowH;
        for (int32_t k = 1; k < nr; ++k) {
            TXlsxCellAttr& below = table.At(r + k, c);
            h += below.rowH;
            below.mark = true;
            below.mergeBits = kEdgeLeft;
            if (nc == 1) below.mergeBits |= kEdgeRight;
            if (k == nr - 1) below.mergeBits |= kEdgeBottom;
            for (int32_t l = 1; l < nc; ++l) {
                TXlsxCellAttr& inner = table.At(r + k, c + l);
                inner.mark = true;
                inner.mergeBits = 0;
                if (l == nc - 1) inner.mergeBits |= kEdgeRight;
                if (k == nr - 1) inner.mergeBits |= kEdgeBottom;
            }
        }
        cell.mergeH = static_cast<uint16_t>(h);
        cell.drawMH = h * settings.cadYsc;
    });
    for (int32_t r = 1; r <= table.TableRows; ++r) {
        for (int32_t c = 1; c <= table.TableCols; ++c) {
            TXlsxCellAttr& cell = table.At(r, c);
            cell.drawW = cell.colW * settings.cadXsc;
            cell.drawH = cell.rowH * settings.cadYsc;
            cell.drawTH = cell.txtSize * settings.cadTsc;
        }
    }
}

void RecomputeMergedSizes(CellTable& table) {
    if (table.IsEmpty()) return;
    ForEachMergeAnchor(table, [&](int32_t r, int32_t c, TXlsxCellAttr& cell, int32_t nr, int32_t nc) {
        double w = cell.drawW;
        for (int32_t k = 1; k < nc; ++k) {
            TXlsxCellAttr& right = table.At(r, c + k);
            w += right.drawW;
            right.mark = true;
        }
        double h = cell.drawH;
        for (int32_t k = 1; k < nr; ++k) h += table.At(r + k, c).drawH;
        cell.drawMW = w;
        cell.drawMH = h;
    });
}

double TotalWidth(const CellTable& table) {
    double w = 0;
    if (table.IsEmpty() || table.TableRows < 1) return 0;
    for (int32_t c = 1; c <= table.TableCols; ++c) w += table.At(1, c).drawW;
    return w;
}

double TotalHeight(const CellTable& table) {
    double h = 0;
    if (table.IsEmpty() || table.TableCols < 1) return 0;
    for (int32_t r = 1; r <= table.TableRows; ++r) h += table.At(r, 1).drawH;
    return h;
}

}  // namespace tabulon
