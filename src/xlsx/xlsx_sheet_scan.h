// The first of the two passes over a worksheet: everything but the cells'
// values, and the sizes of rows and columns that follow from it.
#pragma once

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "xlsx/xlsx_units.h"
#include "xlsx/xlsx_workbook.h"

namespace tabulon::xlsx {

struct SavedRow {
    int32_t row;
    double height;  // points, as shown (0 when hidden)
};

// A <col> entry: columns lo..hi.
struct ColumnSpan {
    int32_t lo, hi;
    std::optional<double> width;  // as stored
    bool hidden;
    uint32_t style;
};

// One <selection> of the sheet's first view.
struct Selection {
    std::string pane;  // "" for the default, the top-left pane
    std::string sqref;
    std::string activeCell;
};

// What one pass over the sheet part finds, before any cell is read: the sizes,
// the rows' heights, the cells' extent, the merged areas and the saved selection.
struct SheetScan {
    // <sheetFormatPr>
    std::optional<double> defaultColWidth;
    double baseColWidth = 8;
    std::optional<double> defaultRowHeight;
    bool zeroHeight = false;
    std::vector<ColumnSpan> columns;
    std::vector<SavedRow> rows;  // rows with a height of their own, in the order met
    bool rowsInOrder = true;     // every row numbered above the one before it
    bool anyCell = false;
    RangeRef used{{kMaxSheetRows, kMaxSheetCols}, {1, 1}};
    std::vector<RangeRef> merges;  // areas of more than one cell, in the order met
    bool hasPane = false;
    std::string activePane;
    std::vector<Selection> selections;

    void Extend(int32_t row, int32_t col) {
        anyCell = true;
        used.first.row = std::min(used.first.row, row);
        used.first.col = std::min(used.first.col, col);
        used.last.row = std::max(used.last.row, row);
        used.last.col = std::max(used.last.col, col);
    }
};

// One pass over the sheet part for everything but the cells' values. The cells'
// extent is found only when findExtent is set (no range was asked for). Throws
// TabulonError when the part is not a worksheet, is damaged, or numbers a row
// outside the sheet.
SheetScan ScanRows(XlsxArchive& archive, const SheetEntry& sheet, bool findExtent);

// The range the sheet saved as its selection: the first range of the active
// pane's selection.
std::optional<RangeRef> SavedSelection(const SheetScan& scan);

// Row heights and column widths as the spreadsheet shows them, and the edges
// of rows and columns on the sheet.
class SheetGeometry {
public:
    SheetGeometry(const XlsxWorkbook& book, const SheetScan& scan);

    // A row's height in points as shown (0 when hidden).
    double RowHeight(int32_t row) const;
    // Top edge of a row, points from the sheet's top.
    double RowTop(int32_t row) const;
    // The column width the spreadsheet reports (characters, two decimals).
    double ColumnWidth(int32_t col) const { return ColumnWidthFromPixels(colPx_[col], mdw_); }
    // Left edge of a column, points from the sheet's left.
    double ColumnLeft(int32_t col) const;
    uint32_t ColumnStyle(int32_t col) const { return colStyle_[col]; }

private:
    int mdw_ = 7;
    double defaultHeight_ = 15;
    std::vector<int> colPx_;
    std::vector<int64_t> colLeftPx_;
    std::vector<uint32_t> colStyle_;
    std::vector<SavedRow> rows_;
    std::vector<double> extraBefore_;
};

}  // namespace tabulon::xlsx
