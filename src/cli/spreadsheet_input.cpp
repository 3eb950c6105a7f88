#include "cli/spreadsheet_input.h"

#include <filesystem>
#include <fstream>

#include "core/ascii.h"
#include "core/errors.h"
#include "platform/console.h"
#include "xlsx/xlsx_capture.h"

namespace tabulon {

bool IsSpreadsheetFile(const std::string& path) {
    const std::filesystem::path p(std::u8string(path.begin(), path.end()));
    // Only a regular file is looked into: bytes taken from a pipe would be
    // missing from the capture read after, and a device may never answer.
    std::error_code ec;
    if (std::filesystem::is_regular_file(p, ec)) {
        std::ifstream file(p, std::ios::binary);
        char magic[4] = {};
        if (file && file.read(magic, 4) && file.gcount() == 4) {
            return magic[0] == 'P' && magic[1] == 'K' && magic[2] == 3 && magic[3] == 4;
        }
    }
    std::u8string ext = p.extension().u8string();
    for (char8_t& ch : ext) ch = AsciiLower(ch);
    return ext == u8".xlsx" || ext == u8".xlsm";
}

namespace {

xlsx::XlsxCaptureOptions OptionsOf(const SpreadsheetChoice& choice) {
    xlsx::XlsxCaptureOptions options;
    options.sheet = choice.sheet;
    options.range = choice.range;
    return options;
}

// Which sheet and range were taken, and what could not be reproduced.
void Report(const std::string& path, const xlsx::XlsxCaptureResult& result, const std::string& command) {
    WriteOut("Sheet \"" + result.sheet + "\", range " + xlsx::RangeName(result.range) + " (" + result.rangeOrigin +
             "): " + std::to_string(result.range.Rows()) + " rows x " + std::to_string(result.range.Cols()) +
             " columns\n");
    for (const std::string& w : result.warnings)
        WriteErr("tabulon " + command + ": warning: " + path + ": " + w + "\n");
}

}  // namespace

Capture CaptureSpreadsheet(const std::string& path, const SpreadsheetChoice& choice, const std::string& command) {
    xlsx::XlsxCaptureResult result = xlsx::CaptureXlsx(path, OptionsOf(choice));
    Report(path, result, command);
    return std::move(result.capture);
}

void CaptureSpreadsheet(const std::string& path, const SpreadsheetChoice& choice, const std::string& command,
                        CaptureSink& sink) {
    Report(path, xlsx::CaptureXlsx(path, OptionsOf(choice), sink), command);
}

}  // namespace tabulon
