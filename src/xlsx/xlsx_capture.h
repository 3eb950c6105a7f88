// Capture of a worksheet range from an .xlsx file: the same cell records a
// capture from a running spreadsheet program gives, without that program.
// The rules are in docs/xlsx-capture.md.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/capture_file.h"
#include "core/capture_sink.h"
#include "xlsx/xlsx_archive.h"
#include "xlsx/xlsx_units.h"

namespace tabulon::xlsx {

struct XlsxCaptureOptions {
    std::optional<std::string> sheet;  // default: the workbook's active sheet
    std::optional<std::string> range;  // default: the saved selection, else the used range
    ArchiveLimits limits;
    int64_t maxRows = 65535;
    int64_t maxCells = 1000000;
};

struct XlsxCaptureResult {
    Capture capture;  // table, texts with headers, and source; no settings
    std::string sheet;
    RangeRef range;
    std::string rangeOrigin;            // how the range was chosen, for the user
    std::vector<std::string> warnings;  // things the capture could not reproduce exactly
};

// Reads the workbook at path (UTF-8) and captures the range. Throws TabulonError
// with a message that says what is wrong with the file, the sheet or the range.
XlsxCaptureResult CaptureXlsx(const std::string& path, const XlsxCaptureOptions& options = {});

// The same capture handed to sink a row at a time as the sheet is read, so that
// memory does not grow with the rows; result.capture stays empty. The sheet is
// read twice: for its sizes, merged areas and extent, then for the cells.
// Faults found after the first row was handed on still throw, before End().
XlsxCaptureResult CaptureXlsx(const std::string& path, const XlsxCaptureOptions& options, CaptureSink& sink);

class XlsxWorkbook;

struct XlsxDefaultRange {
    RangeRef range;
    std::string origin;  // how it was chosen, as XlsxCaptureResult::rangeOrigin
};

// The range a capture of the named sheet takes when none is asked for (the
// saved selection, else the used range), found without reading the cells'
// values and not checked against the limits. Throws TabulonError when the
// sheet is missing, is no worksheet or holds no cells.
XlsxDefaultRange DefaultXlsxRange(XlsxWorkbook& book, const std::string& sheetName,
                                  const XlsxCaptureOptions& options = {});

}  // namespace tabulon::xlsx
