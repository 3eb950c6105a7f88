#include "cli/spreadsheet_input.h"

#include <filesystem>
#include <fstream>

#include "core/errors.h"
#include "platform/console.h"
#ifdef TABULON_HAVE_XLSX
#include "xlsx/xlsx_capture.h"
#endif

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

#ifdef TABULON_HAVE_XLSX

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

#else

Capture CaptureSpreadsheet(const std::string&, const SpreadsheetChoice&, const std::string&) {
    throw TabulonError(
        "reading .xlsx workbooks is not available in this build of tabulon (Windows); capture the range with "
        "the desktop application, or use the Linux build of tabulon");
}

void CaptureSpreadsheet(const std::string& path, const SpreadsheetChoice& choice, const std::string& command,
                        CaptureSink&) {
    CaptureSpreadsheet(path, choice, command);
}

#endif

}  // namespace tabulon
