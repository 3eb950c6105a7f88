#include "app/file_capture_controller.h"

#include <memory>

#include "app/grid_pixels.h"
#include "core/drawing_sizes.h"
#include "core/errors.h"
#include "core/spreadsheet_capture.h"

namespace tabulon {

namespace {

// The reader speaks English; the user is told in Japanese, with its detail kept.
constexpr const char* kUnreadable = "ブックを読めません: ";
constexpr const char* kNotCaptured = "ブックから取得できません: ";

}  // namespace

void FileCaptureController::FileButtonClick() {
    std::optional<std::string> path = std::move(pending_);
    pending_.reset();
    if (!path) path = chooser_.ChooseWorkbookFile();
    if (!path) return;

    std::unique_ptr<OpenWorkbook> book;
    SheetRangeQuestion question;
    std::vector<WorkbookSheet> sheets;
    try {
        book = reader_.Open(*path);
        sheets = book->Sheets();
        if (sheets.empty()) throw TabulonError("the workbook lists no sheets");
        const int active = book->ActiveSheet();
        question.selected = active >= 0 && static_cast<size_t>(active) < sheets.size() ? active : 0;
    } catch (const TabulonError& e) {
        view_.ShowError(std::string(kUnreadable) + e.what());
        return;
    }
    question.workbookName = path->substr(path->find_last_of("\\/") + 1);
    for (const WorkbookSheet& sheet : sheets) question.sheets.push_back(sheet.name);
    // A sheet without a default range (no cells, or no worksheet) still opens
    // the dialog: the user may type a range, and the capture says what is wrong.
    OpenWorkbook& open = *book;
    question.defaultRange = [&open, &sheets](int k) -> std::string {
        if (k < 0 || static_cast<size_t>(k) >= sheets.size() || !sheets[k].isWorksheet) return "";
        try {
            return open.DefaultRange(sheets[k].name);
        } catch (const TabulonError&) {
            return "";
        }
    };
    question.range = question.defaultRange(question.selected);

    const std::optional<SheetRangeAnswer> answer = chooser_.ChooseSheetAndRange(question);
    if (!answer || answer->sheet < 0 || static_cast<size_t>(answer->sheet) >= sheets.size()) return;

    WorkbookCapture captured;
    try {
        captured = book->Capture(sheets[answer->sheet].name, answer->range);
        if (captured.capture.table.TableRows < 1 || captured.capture.table.TableCols < 1) {
            throw TabulonError("the range holds no cells");
        }
    } catch (const TabulonError& e) {
        view_.ShowError(std::string(kNotCaptured) + e.what());
        return;
    }
    Fill(captured);
    view_.ShowInfo(" 取得しました.");
}

// The table, the grid and the edits as a capture from the spreadsheet program
// leaves them.
void FileCaptureController::Fill(WorkbookCapture& captured) {
    CellTable& table = captured.capture.table;
    const int32_t rows = table.TableRows, cols = table.TableCols;
    view_.SetCaption(captured.workbookName + " [" + captured.sheet + "]");
    view_.SetText(Ctl::Edit2, ColumnLetters(captured.firstCol) + std::to_string(captured.firstRow));
    view_.SetText(Ctl::Edit3,
                  ColumnLetters(captured.firstCol + cols - 1) + std::to_string(captured.firstRow + rows - 1));

    model_.table = std::move(table);
    model_.texts = std::move(captured.capture.texts);
    const ScaleSettings& s = model_.settings;
    view_.SetGridRedraw(false);
    view_.SetGridColWidth(0, 70);
    view_.SetGridSize(cols + 1, rows + 1);
    view_.SetGridCurrentCell(1, 1);
    for (int32_t c = 1; c <= cols; ++c) view_.SetGridColWidth(c, GridPixels(model_.table.At(1, c).colW, s.colXsc));
    for (int32_t r = 1; r <= rows; ++r) view_.SetGridRowHeight(r, GridPixels(model_.table.At(r, 1).rowH, s.rowYsc));
    view_.SetGridRedraw(true);
    view_.RepaintGrid();
    view_.SetProgress(0);
    ComputeDrawingSizes(model_.table, model_.settings);
    sizes_.ShowWHSize();
    view_.SetInsertEnabled(true);
}

}  // namespace tabulon
