#include "cli/draw_input.h"

#include "cli/cli.h"
#include "cli/spreadsheet_input.h"
#include "core/drawing_sizes.h"
#include "core/errors.h"
#include "core/file_io.h"
#include "core/setting_fields.h"
#include "platform/console.h"

namespace tabulon {

int ReadDrawOptions(const std::vector<std::string>& args, const char* command, const char* usage,
                    DrawOptions& options) {
    bool haveInput = false;
    for (size_t k = 0; k < args.size(); ++k) {
        const std::string& arg = args[k];
        if (arg == "-h" || arg == "--help") {
            WriteOut(usage);
            return kExitOk;
        } else if (std::string error; ReadSharedOption(args, k, options, error)) {
            if (!error.empty()) return UsageError(command, error);
        } else if (arg == "--no-cell-lines") {
            options.noCellLines = true;
        } else if (arg == "--sheet-look") {
            options.sheetLook = true;
        } else if (arg.size() > 1 && arg[0] == '-') {
            return UsageError(command, "unknown option \"" + arg + "\"");
        } else if (!haveInput) {
            options.input = arg;
            haveInput = true;
        } else {
            return UsageError(command, "more than one capture file given (\"" + options.input + "\", \"" + arg + "\")");
        }
    }
    if (!haveInput) return UsageError(command, "no capture file given");
    if (!IsSpreadsheetFile(options.input) && (options.choice.sheet || options.choice.range)) {
        return UsageError(command, "--sheet and --range apply to a workbook (.xlsx), not to the capture file \"" +
                                       options.input + "\"");
    }
    return -1;
}

int LoadDrawing(const DrawOptions& options, const char* command, Capture& capture, ScaleSettings& settings) {
    settings = ScaleSettings{};
    if (options.settings) settings = ReadSettingsOption(*options.settings);

    std::vector<std::string> warnings;
    try {
        if (IsSpreadsheetFile(options.input))
            capture = CaptureSpreadsheet(options.input, options.choice, command);
        else
            capture = ParseCaptureFile(ReadWholeFile(options.input), &warnings);
    } catch (const TabulonError& e) {
        std::string message = e.what();
        // Read errors already name the file; format errors name the place in it.
        if (message.find(options.input) == std::string::npos) message = options.input + ": " + message;
        return Failure(command, message);
    }
    for (const std::string& w : warnings) {
        WriteErr(std::string("tabulon ") + command + ": warning: " + options.input + ": " + w + "\n");
    }

    capture.settings.ApplyTo(settings);
    if (options.noCellLines) settings.cellLineDraw = false;
    if (options.sheetLook) ApplySheetLook(settings);
    if (capture.table.IsEmpty()) return Failure(command, options.input + ": the capture holds no cells; nothing to draw");
    ComputeDrawingSizes(capture.table, settings);
    return kExitOk;
}

}  // namespace tabulon
