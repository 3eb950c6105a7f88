// The workbook reader under fuzzing: a capture with limits small enough for
// thousands of runs a second, and the checks every successful capture passes.
#pragma once

#include <unistd.h>

#include <cstdio>
#include <string>
#include <string_view>

#include "fuzz_checks.h"
#include "xlsx/xlsx_capture.h"

namespace tabulon::fuzz {

// A file of this process's own for the workbook under test.
inline const std::string& ScratchPath(const char* name) {
    static const std::string path = [&] {
        const char* dir = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        return std::string(dir) + "/tabulon-fuzz-" + std::to_string(getpid()) + "-" + name + ".xlsx";
    }();
    return path;
}

inline void WriteScratch(const std::string& path, std::string_view bytes) {
    FILE* file = std::fopen(path.c_str(), "wb");
    Require(file != nullptr, "cannot write " + path);
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
}

// Captures the workbook at path, then checks what came out: a table of the
// range's size, a capture that reads back the same, a well-formed drawing.
inline void CaptureAndCheck(const std::string& path) {
    xlsx::XlsxCaptureOptions options;
    options.limits.maxEntryBytes = 8u << 20;
    options.limits.maxTotalBytes = 16u << 20;
    options.maxRows = 2000;
    options.maxCells = 20000;
    xlsx::XlsxCaptureResult result;
    try {
        result = xlsx::CaptureXlsx(path, options);
    } catch (const TabulonError&) {
        return;  // refused with a message
    }
    Capture& capture = result.capture;
    Require(capture.table.TableRows == result.range.Rows() && capture.table.TableCols == result.range.Cols(),
            "the table is not the range's size");
    Require(capture.table.cells.size() == static_cast<size_t>(result.range.CellCount()), "cells are missing");
    for (const TXlsxCellAttr& cell : capture.table.cells) Require(IsUtf8(cell.str), "a cell text is not UTF-8");
    CheckCaptureRoundTrip(capture, std::nullopt);
    CheckDrawing(capture, ScaleSettings{});
}

}  // namespace tabulon::fuzz
