#include "core/spreadsheet_capture.h"

#include <cmath>

#include "core/number_format.h"

namespace tabulon {

std::string SpreadsheetVersionSuffix(int32_t xlsVerNum) {
    return xlsVerNum >= 1 ? "." + std::to_string(xlsVerNum) : ".14";
}

std::string SpreadsheetProgId(int32_t xlsVerNum) {
    return "Excel.Application" + SpreadsheetVersionSuffix(xlsVerNum);
}

uint16_t RoundToField(double value) {
    if (!std::isfinite(value)) return 0;
    const double rounded = std::nearbyint(value);  // the default rounding mode: halves to even
    const double wrapped = std::fmod(rounded, 65536.0);
    return static_cast<uint16_t>(static_cast<int64_t>(wrapped < 0 ? wrapped + 65536.0 : wrapped));
}

TXlsxCellAttr CellFromReading(const SheetCellReading& reading) {
    TXlsxCellAttr cell;
    cell.colW = RoundToField(reading.columnWidth);
    cell.rowH = RoundToField(reading.rowHeight);
    switch (reading.horizontalAlignment) {
        case -4131: cell.txtAlign = 1; break;
        case -4108: cell.txtAlign = 2; break;
        case -4152: cell.txtAlign = 3; break;
        default: cell.txtAlign = 0; break;
    }
    cell.txtSize = RoundToField(reading.fontSize);
    cell.str = reading.text;
    // A general-aligned number (or a text of digits) is drawn right-aligned.
    if (cell.txtAlign == 0 && !reading.valueText.empty() && IsNumericText(reading.valueText)) cell.txtAlign = 3;
    static const uint8_t bits[6] = {kEdgeTop, kEdgeBottom, kEdgeLeft, kEdgeRight, kDiagonalDown, kDiagonalUp};
    for (int k = 0; k < 6; ++k) {
        if (reading.borderLineStyles[static_cast<size_t>(k)] != SheetCellReading::kLineStyleNone) {
            cell.lineBits |= bits[k];
        }
    }
    cell.cellMerge = reading.mergeCells;
    cell.mergerowYscount = static_cast<uint16_t>(reading.mergeRows);
    cell.mergecolXscount = static_cast<uint16_t>(reading.mergeCols);
    cell.mergeLeft = RoundToField(reading.mergeLeft);
    cell.mergeTop = RoundToField(reading.mergeTop);
    return cell;
}

}  // namespace tabulon
