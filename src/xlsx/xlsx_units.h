// Sheet measures as the spreadsheet shows them: column widths in characters and
// pixels, row heights in points, and the A1 names of cells and ranges.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tabulon::xlsx {

constexpr int32_t kMaxSheetRows = 1048576;
constexpr int32_t kMaxSheetCols = 16384;
constexpr double kMaxFontSize = 409;  // points, the largest a spreadsheet offers

// Nearest whole number, halves to the even neighbour (8.5 -> 8, 13.5 -> 14).
double RoundHalfEven(double value);

// A rounded sheet measure kept in a 16-bit field: its low 16 bits.
uint16_t Low16(double roundedValue);

// Widest digit of a font in pixels at 96 dpi (the "maximum digit width" that
// column widths are counted in).
int MaxDigitWidth(std::string_view fontName, double fontSize);

// A width as stored in a workbook (<col width>, characters including the cell
// padding) in pixels.
int ColumnPixelsFromStoredWidth(double storedWidth, int maxDigitWidth);

// The default column width in pixels from <sheetFormatPr baseColWidth>.
int ColumnPixelsFromBaseWidth(double baseColWidth, int maxDigitWidth);

// The column width the spreadsheet reports for a column of px pixels: the number
// of digits that fit beside the padding, to two decimals (64 px with a 7 px digit
// gives 8.43).
double ColumnWidthFromPixels(int px, int maxDigitWidth);

struct CellRef {
    int32_t row = 0;  // 1-based
    int32_t col = 0;  // 1-based
};

struct RangeRef {
    CellRef first;
    CellRef last;
    int64_t Rows() const { return static_cast<int64_t>(last.row) - first.row + 1; }
    int64_t Cols() const { return static_cast<int64_t>(last.col) - first.col + 1; }
    int64_t CellCount() const { return Rows() * Cols(); }
    bool Contains(int32_t row, int32_t col) const {
        return row >= first.row && row <= last.row && col >= first.col && col <= last.col;
    }
    bool IsSingleCell() const { return first.row == last.row && first.col == last.col; }
};

// "C4", "$C$4", "c4". Empty when the text is not a cell inside the sheet's limits.
std::optional<CellRef> ParseCellRef(std::string_view text);

// The letters-and-digits prefix of a cell name that stops early, as cells' r
// attributes are read in the hot loop: returns false on anything malformed.
bool ParseCellRefFast(const char* text, CellRef& ref);

// "A1:F20", "F20:A1" (corners in any order), "$A$1:$F$20" or a single cell "C4".
std::optional<RangeRef> ParseRangeRef(std::string_view text);

std::string CellName(int32_t row, int32_t col);  // "C4"
std::string RangeName(const RangeRef& range);    // "A1:F20", or "C4" for one cell

}  // namespace tabulon::xlsx
