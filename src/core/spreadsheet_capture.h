// Capturing a range of a running spreadsheet application: what is read from
// each cell, and how it becomes a record of the cell table.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "core/cell_table.h"
#include "core/errors.h"

namespace tabulon {

// The selected range on the sheet: first row and column (from 1) and its size.
struct SheetRange {
    int32_t row = 1, col = 1, rows = 1, cols = 1;
};

// What the spreadsheet tells about one cell, as its automation interface returns it.
struct SheetCellReading {
    double columnWidth = 0;           // character units
    double rowHeight = 0;             // points
    int32_t horizontalAlignment = 1;  // -4131 left, -4108 centre, -4152 right, anything else general
    double fontSize = 0;              // points
    std::string text;                 // the displayed text
    std::string valueText;            // the underlying value as text; a number in general format
    // Line styles of the borders top, bottom, left, right, diagonal down, diagonal up.
    std::array<int32_t, 6> borderLineStyles{kLineStyleNone, kLineStyleNone, kLineStyleNone,
                                            kLineStyleNone, kLineStyleNone, kLineStyleNone};
    bool mergeCells = false;
    int32_t mergeRows = 1, mergeCols = 1;  // of the merged area holding the cell
    double mergeLeft = 0, mergeTop = 0;    // points from the sheet's top-left corner
    // The look; zeros where the application was not asked.
    bool wrapText = false;
    bool shrinkToFit = false;
    int32_t verticalAlignment = 0;            // -4160 top, -4108 centre, -4107 bottom, -4130/-4117 justify/distributed
    std::array<int32_t, 6> borderWeights{};   // 1 hairline, 2 thin, -4138 medium, 4 thick; as borderLineStyles
    int32_t interiorPattern = 0;              // 1 solid; -4142 none
    int32_t interiorColor = 0;                // 0xBBGGRR, as the application gives a colour

    static constexpr int32_t kLineStyleNone = -4142;
};

// The application rejected calls for as long as it was waited for: a cell is
// being edited, or a dialog is open.
class SpreadsheetBusyError : public TabulonError {
public:
    using TabulonError::TabulonError;
};

// The running application as a capture uses it. Every call may throw
// TabulonError when the application does not answer as expected.
class SpreadsheetSession {
public:
    virtual ~SpreadsheetSession() = default;
    virtual void SetScreenUpdating(bool on) = 0;
    virtual std::string WorkbookName() = 0;
    virtual std::string WorksheetName() = 0;
    virtual SheetRange Selection() = 0;
    // Reads the cell at the address ColumnLetters(col) followed by row.
    virtual SheetCellReading ReadCell(int32_t row, int32_t col) = 0;
};

// "Excel.Application.16"; versions below 1 give ".14".
std::string SpreadsheetVersionSuffix(int32_t xlsVerNum);
std::string SpreadsheetProgId(int32_t xlsVerNum);

// Rounds to the nearest whole number, halves to even, and keeps the low 16 bits.
uint16_t RoundToField(double value);

// The look of a border from its line style and weight as the application reports them.
uint8_t BorderLookOf(int32_t lineStyle, int32_t weight);

// Fields 1 to 11 of a record, and the look, from one cell's reading.
TXlsxCellAttr CellFromReading(const SheetCellReading& reading);

}  // namespace tabulon
