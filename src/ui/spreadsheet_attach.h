// Where "Excel から取得" gets its spreadsheet: the running application registered
// under a ProgID.
#pragma once

#include <memory>
#include <string>

#include "core/spreadsheet_capture.h"

namespace tabulon::ui {

// Nothing when no instance runs under that name; the capture then reports the
// ProgID as unavailable.
std::unique_ptr<SpreadsheetSession> AttachRunningSpreadsheet(const std::string& progId);

}  // namespace tabulon::ui
