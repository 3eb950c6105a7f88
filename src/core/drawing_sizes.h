// Drawing sizes of the cell table, from spreadsheet measures and the CAD scales.
#pragma once

#include "core/cell_table.h"

namespace tabulon {

// Standard sizes: drawW, drawH, drawTH of every cell, and the merged areas'
// sums, outline bits, covered marks and drawing sizes. Discards any override.
void ComputeDrawingSizes(CellTable& table, const ScaleSettings& settings);

// After a width or height override: the merged areas' drawing sizes follow the
// current drawW of the anchor's row and drawH of the anchor's column.
void RecomputeMergedSizes(CellTable& table);

// Total width: drawW summed along the first row. Total height: drawH summed
// down the first column. 0 for an empty table.
double TotalWidth(const CellTable& table);
double TotalHeight(const CellTable& table);

// A merged area's row and column counts as far as they fit in the table from the
// anchor at 1-based (row, col). Counts below 1 count as 1.
int32_t ClippedMergeRows(const CellTable& table, int32_t row, const TXlsxCellAttr& anchor);
int32_t ClippedMergeCols(const CellTable& table, int32_t col, const TXlsxCellAttr& anchor);

}  // namespace tabulon
