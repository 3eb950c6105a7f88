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

// A merged area's row and column counts from its anchor at 1-based (row, col):
// the rows below the anchor, counted down its column, and the columns to its
// right, counted along its row, as long as those cells belong to the same area
// (merged, with the anchor's mergeLeft and mergeTop), and at most the anchor's
// counts as far as they fit in the table. A range that cuts an area thus never
// stretches the part it holds over cells of its own. Counts below 1 count as 1.
int32_t ClippedMergeRows(const CellTable& table, int32_t row, int32_t col, const TXlsxCellAttr& anchor);
int32_t ClippedMergeCols(const CellTable& table, int32_t row, int32_t col, const TXlsxCellAttr& anchor);

}  // namespace tabulon
