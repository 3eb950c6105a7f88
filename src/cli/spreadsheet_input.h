// Workbook (.xlsx) input for the commands: detection and capture.
#pragma once

#include <optional>
#include <string>

#include "core/capture_file.h"
#include "core/capture_sink.h"

namespace tabulon {

struct SpreadsheetChoice {
    std::optional<std::string> sheet;
    std::optional<std::string> range;
};

// True when the file starts like a ZIP archive ("PK\3\4") or, when it is not a
// regular file that can be read, its name ends in .xlsx or .xlsm.
bool IsSpreadsheetFile(const std::string& path);

// Captures the chosen range of the workbook at path. Tells on stdout which sheet
// and range were taken, and on stderr (prefixed by command) what could not be
// reproduced. Throws TabulonError with the reason when the workbook cannot be
// captured.
Capture CaptureSpreadsheet(const std::string& path, const SpreadsheetChoice& choice, const std::string& command);

// The same capture handed to sink a row at a time as the workbook is read.
void CaptureSpreadsheet(const std::string& path, const SpreadsheetChoice& choice, const std::string& command,
                        CaptureSink& sink);

}  // namespace tabulon
