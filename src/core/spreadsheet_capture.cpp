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

uint8_t BorderLookOf(int32_t lineStyle, int32_t weight) {
    constexpr int32_t kHairline = 1, kMedium = -4138, kThick = 4;
    const bool heavy = weight == kMedium || weight == kThick;
    switch (lineStyle) {
        case 1:  // continuous
            return weight == kHairline ? kBorderHair : weight == kMedium ? kBorderMedium
                                                     : weight == kThick ? kBorderThick
                                                                        : kBorderThin;
        case -4115: return heavy ? kBorderMediumDashed : kBorderDashed;
        case 4: return heavy ? kBorderMediumDashDot : kBorderDashDot;
        case 5: return heavy ? kBorderMediumDashDotDot : kBorderDashDotDot;
        case -4118: return kBorderDotted;
        case -4119: return kBorderDouble;
        case 13: return kBorderSlantDashDot;
        default: return kBorderPlain;
    }
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
    uint8_t TXlsxCellAttr::*const looks[6] = {&TXlsxCellAttr::lineStyleTop,   &TXlsxCellAttr::lineStyleBottom,
                                              &TXlsxCellAttr::lineStyleLeft,  &TXlsxCellAttr::lineStyleRight,
                                              &TXlsxCellAttr::lineStyleDown,  &TXlsxCellAttr::lineStyleUp};
    for (size_t k = 0; k < 6; ++k) {
        const int32_t style = reading.borderLineStyles[k];
        if (style == SheetCellReading::kLineStyleNone) continue;
        cell.lineBits |= bits[k];
        if (reading.borderWeights[k] != 0) cell.*looks[k] = BorderLookOf(style, reading.borderWeights[k]);
    }
    cell.wrapText = reading.wrapText;
    cell.shrinkToFit = reading.shrinkToFit;
    switch (reading.verticalAlignment) {
        case -4160: cell.txtVAlign = 1; break;
        case -4108:
        case -4130:
        case -4117: cell.txtVAlign = 2; break;
        case -4107: cell.txtVAlign = 3; break;
        default: cell.txtVAlign = 0; break;
    }
    if (reading.interiorPattern == 1) {
        const int32_t bgr = reading.interiorColor & 0xFFFFFF;
        cell.fillColor = ((bgr & 0xFF) << 16) | (bgr & 0xFF00) | ((bgr >> 16) & 0xFF);
    }
    cell.cellMerge = reading.mergeCells;
    cell.mergerowYscount = static_cast<uint16_t>(reading.mergeRows);
    cell.mergecolXscount = static_cast<uint16_t>(reading.mergeCols);
    cell.mergeLeft = RoundToField(reading.mergeLeft);
    cell.mergeTop = RoundToField(reading.mergeTop);
    return cell;
}

}  // namespace tabulon
