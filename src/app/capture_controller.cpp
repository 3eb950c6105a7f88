#include "app/capture_controller.h"

#include "app/grid_pixels.h"
#include "core/drawing_sizes.h"
#include "core/errors.h"
#include "core/scope_exit.h"

namespace tabulon {

void CaptureController::Button3Click() {
    if (capturing_) return;  // a click that arrived while the window handled messages
    capturing_ = true;
    cancelled_ = false;
    busy_ = false;
    view_.SetCaptureEnabled(false);
    view_.SetInsertEnabled(false);
    const std::string progId = SpreadsheetProgId(model_.settings.xlsVerNum);
    std::unique_ptr<SpreadsheetSession> sheet;
    try {
        sheet = attach_(progId);
    } catch (const TabulonError&) {
        sheet.reset();
    }
    bool ok = false;
    if (!sheet) {
        view_.ShowInfo("クラス名: " + progId + " は無効です.");
    } else {
        ok = Capture(*sheet);
    }
    if (ok) {
        view_.ShowInfo(" 取得しました. VerNo=" + SpreadsheetVersionSuffix(model_.settings.xlsVerNum));
        view_.SetInsertEnabled(true);
    } else {
        view_.SetInsertEnabled(false);
        if (busy_) {
            view_.ShowInfo("Excel が応答しません。セルの編集を終えてから、もう一度取得してください.");
        } else if (!cancelled_) {
            view_.ShowInfo("取得に失敗しました.");  // a cancel comes from a close
        }
    }
    view_.SetCaptureEnabled(true);
    capturing_ = false;
}

bool CaptureController::Capture(SpreadsheetSession& sheet) {
    try {
        bool screenOff = false;
        bool redrawOff = false;
        // Screen updating and the grid's redrawing come back on every way out.
        ScopeExit restore([&] {
            if (redrawOff) {
                view_.SetGridRedraw(true);
                view_.RepaintGrid();
            }
            if (screenOff) {
                try {
                    sheet.SetScreenUpdating(true);
                } catch (const TabulonError&) {
                }
            }
        });
        sheet.SetScreenUpdating(false);
        screenOff = true;
        view_.SetCaption(sheet.WorkbookName() + " [" + sheet.WorksheetName() + "]");
        const SheetRange range = sheet.Selection();
        if (range.rows < 1 || range.cols < 1) throw TabulonError("the selection holds no cells");
        const int32_t lastRow = range.row + range.rows - 1, lastCol = range.col + range.cols - 1;
        view_.SetText(Ctl::Edit2, ColumnLetters(range.col) + std::to_string(range.row));
        view_.SetText(Ctl::Edit3, ColumnLetters(lastCol) + std::to_string(lastRow));

        view_.SetGridRedraw(false);
        redrawOff = true;
        view_.SetGridColWidth(0, 70);
        view_.SetGridSize(range.cols + 1, range.rows + 1);
        view_.SetProgressMax(range.rows);
        view_.SetProgress(0);
        view_.SetGridCurrentCell(1, 1);
        model_.texts.Resize(range.cols + 1, range.rows + 1);
        model_.table.Replace(range.rows, range.cols);

        const ScaleSettings& s = model_.settings;
        for (int32_t r = 1; r <= range.rows; ++r) {
            const int32_t sheetRow = range.row + r - 1;
            view_.SetText(Ctl::Label4, std::to_string(r) + " / " + std::to_string(range.rows));
            view_.SetProgress(r);
            view_.ProcessMessages();
            if (cancelled_) throw TabulonError("the capture was cancelled");
            model_.texts.Set(0, r, std::to_string(sheetRow));
            for (int32_t c = 1; c <= range.cols; ++c) {
                const int32_t sheetCol = range.col + c - 1;
                const SheetCellReading reading = sheet.ReadCell(sheetRow, sheetCol);
                TXlsxCellAttr cell = CellFromReading(reading);
                if (r == 1) {
                    view_.SetGridColWidth(c, GridPixels(cell.colW, s.colXsc));
                    model_.texts.Set(c, 0, ColumnLetters(sheetCol));
                }
                if (c == 1) view_.SetGridRowHeight(r, GridPixels(cell.rowH, s.rowYsc));
                model_.texts.Set(c, r, reading.text);
                model_.table.At(r, c) = std::move(cell);
            }
        }
        restore.Run();
        view_.SetProgress(0);
        ComputeDrawingSizes(model_.table, model_.settings);
        sizes_.ShowWHSize();
        view_.DrawingChanged();
        return true;
    } catch (const SpreadsheetBusyError&) {
        busy_ = true;
        return false;
    } catch (const TabulonError&) {
        return false;
    }
}

}  // namespace tabulon
