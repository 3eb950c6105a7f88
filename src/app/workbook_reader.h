// What "ファイルから取得" needs from a workbook file: its sheets, the range a
// capture takes by default, and the capture itself. The real reader is the
// .xlsx reader (app/xlsx_workbook_reader.h); the tests use a fake.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/capture_file.h"

namespace tabulon {

struct WorkbookSheet {
    std::string name;
    bool isWorksheet = true;  // false for chart and dialog sheets
};

// A capture of a range of a workbook, with the sheet and the range it came from.
struct WorkbookCapture {
    Capture capture;  // table and texts with the row numbers and column letters in the headers
    std::string workbookName;  // the file's name, as a spreadsheet program shows it
    std::string sheet;
    int32_t firstRow = 1, firstCol = 1;  // the range's top-left cell on the sheet
};

// An open workbook. Every member throws TabulonError with the reason (in
// English) when the file cannot give what is asked.
class OpenWorkbook {
public:
    virtual ~OpenWorkbook() = default;
    virtual std::vector<WorkbookSheet> Sheets() = 0;
    virtual int ActiveSheet() = 0;  // index into Sheets()
    // The range a capture of the sheet takes when none is given, as "A1:F20".
    virtual std::string DefaultRange(const std::string& sheet) = 0;
    // The range ("A1:F20" or "C4") of the sheet, captured with every look field filled.
    virtual WorkbookCapture Capture(const std::string& sheet, const std::string& range) = 0;
};

class WorkbookReader {
public:
    virtual ~WorkbookReader() = default;
    // Opens the workbook at path (UTF-8); throws TabulonError when it cannot be read.
    virtual std::unique_ptr<OpenWorkbook> Open(const std::string& path) = 0;
};

}  // namespace tabulon
