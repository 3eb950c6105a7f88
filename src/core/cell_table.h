// The captured cell table, its working texts and the scale settings.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tabulon {

// A point in drawing units.
struct TAcadPoint {
    double x = 0;
    double y = 0;
    double z = 0;

    friend bool operator==(const TAcadPoint&, const TAcadPoint&) = default;
};

// One captured spreadsheet cell. Fields 1-11 come from the capture, 12-20 are
// computed by ComputeDrawingSizes, 21-23 are reserved and stay at zero.
struct TXlsxCellAttr {
    uint16_t rowH = 0;             // 1  row height, points
    uint16_t colW = 0;             // 2  column width, character units
    uint16_t txtSize = 0;          // 3  font size, points
    uint8_t txtAlign = 0;          // 4  0 general, 1 left, 2 centre, 3 right
    std::string str;               // 5  displayed text as captured (UTF-8)
    uint8_t lineBits = 0;          // 6  1 top, 2 bottom, 4 left, 8 right, 16 "\" diagonal, 32 "/" diagonal
    bool cellMerge = false;        // 7  part of a merged area
    uint16_t mergerowYscount = 0;  // 8  rows of that merged area
    uint16_t mergecolXscount = 0;  // 9  columns of that merged area
    uint16_t mergeLeft = 0;        // 10 left of the area on the sheet, points (low 16 bits)
    uint16_t mergeTop = 0;         // 11 top of the area on the sheet, points (low 16 bits)
    uint16_t mergeW = 0;           // 12 anchor: sum of colW over the area
    uint16_t mergeH = 0;           // 13 anchor: sum of rowH over the area
    uint8_t mergeBits = 0;         // 14 edges on the area's outline, as in lineBits
    bool mark = false;             // 15 covered by an area anchored elsewhere
    double drawH = 0;              // 16 row height, drawing units
    double drawW = 0;              // 17 column width, drawing units
    double drawMH = 0;             // 18 anchor: height of the merged area
    double drawMW = 0;             // 19 anchor: width of the merged area
    double drawTH = 0;             // 20 text height, drawing units
    uint8_t txtAlignStd = 0;       // 21 reserved
    double drawThStd = 0;          // 22 reserved
    bool txtDefMark = false;       // 23 reserved

    // The sheet's look, as far as the source tells it. The defaults mean "not
    // captured" and draw as a capture without them always did.
    bool wrapText = false;          // the sheet breaks the text into lines that fit
    bool shrinkToFit = false;       // the sheet shrinks the text to fit
    uint8_t txtVAlign = 0;          // 0 not captured (middle), 1 top, 2 centre, 3 bottom
    uint8_t lineStyleTop = 0;       // BorderLook of each border; 0 with its bit set is a plain line
    uint8_t lineStyleBottom = 0;
    uint8_t lineStyleLeft = 0;
    uint8_t lineStyleRight = 0;
    uint8_t lineStyleDown = 0;      // the "\" diagonal
    uint8_t lineStyleUp = 0;        // the "/" diagonal
    int32_t fillColor = kNoFill;    // solid fill as 0xRRGGBB, or kNoFill

    static constexpr int32_t kNoFill = -1;

    friend bool operator==(const TXlsxCellAttr&, const TXlsxCellAttr&) = default;
};

// How a border is drawn on the sheet, in the order the workbook format lists
// them; kBorderPlain is a border whose look was not captured.
enum BorderLook : uint8_t {
    kBorderPlain = 0,
    kBorderThin,
    kBorderMedium,
    kBorderDashed,
    kBorderDotted,
    kBorderThick,
    kBorderDouble,
    kBorderHair,
    kBorderMediumDashed,
    kBorderDashDot,
    kBorderMediumDashDot,
    kBorderDashDotDot,
    kBorderMediumDashDotDot,
    kBorderSlantDashDot,
    kBorderLookCount
};

// Border line bits of TXlsxCellAttr::lineBits and mergeBits.
enum : uint8_t {
    kEdgeTop = 1,
    kEdgeBottom = 2,
    kEdgeLeft = 4,
    kEdgeRight = 8,
    kDiagonalDown = 16,  // top-left to bottom-right
    kDiagonalUp = 32,    // bottom-left to top-right
};

// The captured range, row-major. Rows and columns are addressed from 1, the
// way the grid numbers them.
struct CellTable {
    int32_t TableCols = 0;
    int32_t TableRows = 0;
    std::vector<TXlsxCellAttr> cells;

    bool IsEmpty() const { return cells.empty(); }

    TXlsxCellAttr& At(int32_t row, int32_t col) {
        return cells[static_cast<size_t>(row - 1) * static_cast<size_t>(TableCols) + static_cast<size_t>(col - 1)];
    }
    const TXlsxCellAttr& At(int32_t row, int32_t col) const {
        return cells[static_cast<size_t>(row - 1) * static_cast<size_t>(TableCols) + static_cast<size_t>(col - 1)];
    }

    // Resizes to rows x cols fresh records; the previous capture leaves nothing behind.
    void Replace(int32_t rows, int32_t cols);
    // Empties the table.
    void Release();
};

// The working texts, one per grid cell: (TableCols + 1) x (TableRows + 1), with the
// column letters in row 0 and the row numbers in column 0. Addressed (col, row)
// like the grid. Texts are UTF-8.
class GridTexts {
public:
    void Resize(int32_t cols, int32_t rows);  // counts include the header row and column
    int32_t ColCount() const { return cols_; }
    int32_t RowCount() const { return rows_; }
    const std::string& Get(int32_t col, int32_t row) const;
    void Set(int32_t col, int32_t row, std::string text);

private:
    int32_t cols_ = 0;
    int32_t rows_ = 0;
    std::vector<std::string> texts_;
};

// One border segment in drawing units.
struct TXlsxKeisen {
    TAcadPoint stpt;
    TAcadPoint edpt;
    bool mark = false;  // joined into another segment, or a duplicate: not written
};

using KeisenList = std::vector<TXlsxKeisen>;

struct ScaleSettings {
    double colXsc = 20;    // grid pixels per character unit
    double rowYsc = 3;     // grid pixels per point
    double cadXsc = 3;     // drawing units per character unit
    double cadYsc = 0.43;  // drawing units per point of row height
    double cadTsc = 0.27;  // drawing units of text height per point of font size
    double cadTof = 0.8;   // text base-point offset, in text heights
    int32_t cellLineColor = 252;
    bool cellLineDraw = true;
    int32_t xlsVerNum = 16;
    // The sheet's look in the drawing; off, the drawing is the plain one.
    bool fitText = false;       // no text wider than its cell: wrap, then narrow
    double halfWidth = 0.5;     // estimated width of a half-width character, in text heights
    bool sheetVAlign = false;   // texts at the top, middle or bottom as on the sheet
    double lineSpacing = 1.0;   // pitch of the lines of a text, in text heights
    bool borderStyle = false;   // double, thick and broken borders as on the sheet
    bool cellFill = false;      // filled cells as SOLIDs

    friend bool operator==(const ScaleSettings&, const ScaleSettings&) = default;
};

// Excel-style column name: 1 -> "A", 26 -> "Z", 27 -> "AA".
std::string ColumnLetters(int32_t column);

}  // namespace tabulon
