#include "app/grid_controller.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "core/size_summary.h"
#include "core/utf8.h"

namespace tabulon {

namespace {

// The UTF-16 unit at index `unit` of a UTF-8 text, or nothing past the end.
bool Utf16UnitAt(std::string_view utf8, size_t unit, uint16_t& value) {
    size_t pos = 0, index = 0;
    while (pos < utf8.size()) {
        char32_t cp = DecodeUtf8(utf8, pos);
        if (cp == kInvalidCodePoint) cp = 0xFFFD;
        if (cp >= 0x10000) {
            const char32_t v = cp - 0x10000;
            if (index == unit) return value = static_cast<uint16_t>(0xD800 + (v >> 10)), true;
            if (index + 1 == unit) return value = static_cast<uint16_t>(0xDC00 + (v & 0x3FF)), true;
            index += 2;
        } else {
            if (index == unit) return value = static_cast<uint16_t>(cp), true;
            ++index;
        }
    }
    return false;
}

}  // namespace

void GridController::StringGrid1Click() {
    const int32_t c = view_.GridCol(), r = view_.GridRow();
    view_.SetText(Ctl::Edit1, model_.texts.Get(c, r));  // Edit1Change writes it back unchanged
    view_.SetEdit1Red(view_.Text(Ctl::Edit1).find('\n') != std::string::npos);
    view_.SetText(Ctl::Label13, "");
    const CellTable& table = model_.table;
    if (r < 1 || c < 1 || table.IsEmpty() || r > table.TableRows || c > table.TableCols) return;
    const TXlsxCellAttr& cell = table.At(r, c);
    view_.ShowAlignment(cell.txtAlign);
    const char sep = view_.DecimalSeparator();
    view_.SetText(Ctl::Edit11, FormatFixed3(cell.drawW, sep));
    view_.SetText(Ctl::Edit12, FormatFixed3(cell.drawH, sep));
    view_.SetText(Ctl::Edit13, FormatFixed3(cell.drawTH, sep));
}

CellPaint GridController::StringGrid1DrawCell(int32_t col, int32_t row, bool fixed) const {
    CellPaint paint;
    const CellTable& table = model_.table;
    if (table.IsEmpty()) {
        paint.useDefault = true;
        return paint;
    }
    if (fixed) {
        paint.align = CellPaint::Align::Centre;
        return paint;
    }
    if (row < 1 || col < 1 || row > table.TableRows || col > table.TableCols) return paint;
    const TXlsxCellAttr& cell = table.At(row, col);
    paint.align = cell.txtAlign == 2   ? CellPaint::Align::Centre
                  : cell.txtAlign == 3 ? CellPaint::Align::Right
                                       : CellPaint::Align::Left;
    paint.mergedBackground = cell.mark || cell.drawMW > 0 || cell.drawMH > 0;
    return paint;
}

void GridController::StringGrid1FixedCellClick(int32_t col, int32_t row) {
    const int32_t lastCol = view_.GridColCount() - 1, lastRow = view_.GridRowCount() - 1;
    if (lastCol < 1 || lastRow < 1) return;
    if (col == 0 && row == 0) {
        view_.SetGridSelection({1, 1, lastCol, lastRow});
    } else if (row == 0) {
        view_.SetGridSelection({col, 1, col, lastRow});
    } else if (col == 0) {
        view_.SetGridSelection({1, row, lastCol, row});
    }
}

void GridController::SpeedButton1Click(int button) {
    if (button < 1 || button > 3) return;
    CellTable& table = model_.table;
    if (view_.GridCol() >= 1 && view_.GridRow() >= 1 && !table.IsEmpty()) {
        const GridRect sel = view_.GridSelection();
        for (int32_t r = std::max(sel.top, 1); r <= std::min(sel.bottom, table.TableRows); ++r) {
            for (int32_t c = std::max(sel.left, 1); c <= std::min(sel.right, table.TableCols); ++c) {
                table.At(r, c).txtAlign = static_cast<uint8_t>(button);
            }
        }
    }
    view_.RepaintGrid();
    view_.DrawingChanged();
}

void GridController::Edit1Change() {
    const int32_t c = view_.GridCol(), r = view_.GridRow();
    if (c < 1 || r < 1 || c >= model_.texts.ColCount() || r >= model_.texts.RowCount()) return;
    model_.texts.Set(c, r, view_.Text(Ctl::Edit1));
    view_.RepaintGrid();
    view_.DrawingChanged();
}

void GridController::Edit1KeyUp(uint16_t virtualKey) {
    if (virtualKey < 37 || virtualKey > 40) return;  // the four arrow keys
    uint16_t unit = 0;
    if (!Utf16UnitAt(view_.Text(Ctl::Edit1), view_.Edit1Caret(), unit)) {
        view_.SetText(Ctl::Label13, "");
        return;
    }
    char code[8];
    std::snprintf(code, sizeof code, "[%04X]", static_cast<unsigned>(unit));
    view_.SetText(Ctl::Label13, code);
}

}  // namespace tabulon
