#include "ui/spreadsheet_attach.h"

#include "platform/excel_automation_win.h"

namespace tabulon::ui {

std::unique_ptr<SpreadsheetSession> AttachRunningSpreadsheet(const std::string& progId) {
    return AttachToSpreadsheet(progId);
}

}  // namespace tabulon::ui
