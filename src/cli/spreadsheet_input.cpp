#include "cli/spreadsheet_input.h"

#include <filesystem>
#include <fstream>

#include "platform/console.h"
#include "xlsx/xlsx_capture.h"

namespace tabulon {

bool IsSpreadsheetFile(const std::string& path) {
    const std::filesystem::path p(std::u8string(path.begin(), path.end()));
    std::ifstream file(p, std::ios::binary);
    char magic[4] = {};
    if (file && file.read(magic, 4) && file.gcount() == 4) {
        return magic[0] == 'P' && magic[1] == 'K' && magic[2] == 3 && magic[3] == 4;
    }
    std::u8string ext = p.extension().u8string();
    for (char8_t& ch : ext) {
        if (ch >= 'A' && ch <= 'Z') ch = static_cast<char8_t>(ch - 'A' + 'a');
    }
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
