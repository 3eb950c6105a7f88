// The capture file: a JSON snapshot of a captured table (see docs/capture-format.md).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/cell_table.h"
#include "core/json_reader.h"
#include "core/settings_file.h"

namespace tabulon {

// Where a capture came from; informational.
struct CaptureSource {
    std::optional<std::string> workbook;
    std::optional<std::string> sheet;
    std::optional<int32_t> firstRow;
    std::optional<int32_t> firstCol;
};

struct Capture {
    CellTable table;                // fields 1-11 from the file; drawing sizes not yet computed
    GridTexts texts;                // working texts, with column letters and row numbers in the headers
    PartialScaleSettings settings;  // only the keys the file holds
    std::optional<CaptureSource> source;
};

// Parses and validates a capture file. Throws TabulonError with a message that
// names the place, e.g. "cells[7].rowH: 70000 is out of range 0..65535".
// Keys that the format does not know are reported in warnings (when given) and
// otherwise ignored.
Capture ParseCaptureFile(std::string_view json, std::vector<std::string>* warnings = nullptr);

// The same, from input in pieces; sizeHint is the input's size in bytes when
// known, else 0.
Capture ParseCaptureFile(const JsonInput& input, uint64_t sizeHint, std::vector<std::string>* warnings = nullptr);

// Reads and parses the capture file at path a piece at a time, so that it is
// never held whole; the same rules as ParseCaptureFile, and ReadWholeFile's
// refusals of what is not a file or a pipe, or too large.
Capture ReadCaptureFile(const std::string& path, std::vector<std::string>* warnings = nullptr);

// Writes a capture file: every record's fields 1-11, its captured text, and its
// working text when that differs. Settings, when given, are written in full;
// without them a converter takes its own.
std::string WriteCaptureFile(const CellTable& table, const GridTexts& texts,
                             const std::optional<ScaleSettings>& settings,
                             const std::optional<CaptureSource>& source = std::nullopt);

// Writes a capture file a cell at a time into out, which the caller may empty
// into a file whenever it likes: for captures too large to hold twice. The
// constructor writes the head; then AddCell() for every record, row by row;
// then Finish(). WriteCaptureFile writes the same bytes.
class CaptureFileWriter {
public:
    CaptureFileWriter(std::string& out, int32_t rows, int32_t cols, const std::optional<ScaleSettings>& settings,
                      const std::optional<CaptureSource>& source);
    // The record's fields 1-11 and captured text, and text as its working text
    // when that differs.
    void AddCell(const TXlsxCellAttr& cell, const std::string& text);
    // Closes the file; throws TabulonError unless rows x cols records were added.
    void Finish();

private:
    std::string& out_;
    int32_t rows_;
    int32_t cols_;
    size_t count_ = 0;
};

}  // namespace tabulon
