// Small cell tables for the tests.
#pragma once

#include <string>

#include "core/cell_table.h"
#include "core/drawing_sizes.h"

namespace tabulon::test {

struct TestTable {
    CellTable table;
    GridTexts texts;
    ScaleSettings settings;

    // rows x cols cells of colW x rowH, font size txtSize, no borders.
    TestTable(int32_t rows, int32_t cols, uint16_t colW = 8, uint16_t rowH = 14, uint16_t txtSize = 11) {
        table.Replace(rows, cols);
        texts.Resize(cols + 1, rows + 1);
        for (auto& cell : table.cells) {
            cell.colW = colW;
            cell.rowH = rowH;
            cell.txtSize = txtSize;
            cell.mergerowYscount = 1;
            cell.mergecolXscount = 1;
        }
    }

    // Marks rows x cols cells from (row, col) as one merged area, as a capture would.
    void Merge(int32_t row, int32_t col, uint16_t rows, uint16_t cols) {
        for (int32_t r = row; r < row + rows && r <= table.TableRows; ++r) {
            for (int32_t c = col; c < col + cols && c <= table.TableCols; ++c) {
                TXlsxCellAttr& cell = table.At(r, c);
                cell.cellMerge = true;
                cell.mergerowYscount = rows;
                cell.mergecolXscount = cols;
            }
        }
    }

    void Text(int32_t row, int32_t col, std::string text) { texts.Set(col, row, std::move(text)); }

    void Compute() { ComputeDrawingSizes(table, settings); }
};

}  // namespace tabulon::test
