// The capture file: a JSON snapshot of a captured table (see docs/capture-format.md).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/cell_table.h"
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

// Writes a capture file: every record's fields 1-11, its captured text, and its
// working text when that differs. Settings, when given, are written in full;
// without them a converter takes its own.
std::string WriteCaptureFile(const CellTable& table, const GridTexts& texts,
                             const std::optional<ScaleSettings>& settings,
                             const std::optional<CaptureSource>& source = std::nullopt);

}  // namespace tabulon
