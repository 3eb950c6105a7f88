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

Capture CaptureSpreadsheet(const std::string& path, const SpreadsheetChoice& choice, const std::string& command) {
    xlsx::XlsxCaptureOptions options;
    options.sheet = choice.sheet;
    options.range = choice.range;
    xlsx::XlsxCaptureResult result = xlsx::CaptureXlsx(path, options);
    WriteOut("Sheet \"" + result.sheet + "\", range " + xlsx::RangeName(result.range) + " (" + result.rangeOrigin +
             "): " + std::to_string(result.range.Rows()) + " rows x " + std::to_string(result.range.Cols()) +
             " columns\n");
    for (const std::string& w : result.warnings)
        WriteErr("tabulon " + command + ": warning: " + path + ": " + w + "\n");
    return std::move(result.capture);
}

}  // namespace tabulon
