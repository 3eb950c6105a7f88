// "ファイルから取得": a range of a workbook file into the table, as a capture
// from a running spreadsheet program of the same range fills it.
#pragma once

#include <optional>
#include <string>

#include "app/app_model.h"
#include "app/main_view.h"
#include "app/sizes_controller.h"
#include "app/workbook_chooser.h"
#include "app/workbook_reader.h"

namespace tabulon {

class FileCaptureController {
public:
    FileCaptureController(AppModel& model, MainView& view, SizesController& sizes, WorkbookReader& reader,
                          WorkbookChooser& chooser)
        : model_(model), view_(view), sizes_(sizes), reader_(reader), chooser_(chooser) {}

    // The button's click: the file, then the sheet and range, then the capture.
    // Whatever fails is told and leaves the table as it was.
    void FileButtonClick();

    // The workbook the next click opens without asking for the file (the
    // program's "/open BOOK.xlsx").
    void SetPendingWorkbook(std::string path) { pending_ = std::move(path); }

private:
    void Fill(WorkbookCapture& captured);

    AppModel& model_;
    MainView& view_;
    SizesController& sizes_;
    WorkbookReader& reader_;
    WorkbookChooser& chooser_;
    std::optional<std::string> pending_;
};

}  // namespace tabulon
