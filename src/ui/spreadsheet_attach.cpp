#include "ui/spreadsheet_attach.h"

namespace tabulon::ui {

std::unique_ptr<SpreadsheetSession> AttachRunningSpreadsheet(const std::string&) {
    return nullptr;  // SEAM: the COM adapter of src/platform/excel_automation_win.cpp plugs in here
}

}  // namespace tabulon::ui
