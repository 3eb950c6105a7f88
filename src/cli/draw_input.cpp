#include "cli/draw_input.h"

#include <filesystem>

#include "cli/cli.h"
#include "cli/cli_paths.h"
#include "cli/spreadsheet_input.h"
#include "core/drawing_sizes.h"
#include "core/errors.h"
#include "core/file_io.h"
#include "core/setting_fields.h"
#include "platform/console.h"

namespace tabulon {

int ReadDrawOptions(const std::vector<std::string>& args, const char* command, const char* usage,
                    DrawOptions& options) {
    std::optional<std::string> input;
    const auto ownOption = [&](const std::string& arg) {
        if (arg == "--no-cell-lines") {
            options.noCellLines = true;
        } else if (arg == "--sheet-look") {
            options.sheetLook = true;
        } else {
            return false;
        }
        return true;
    };
    if (const int status = ReadCommandLine(args, command, usage, options, ownOption, "capture file", input);
        status >= 0) {
        return status;
    }
    options.input = *input;
    if (!IsSpreadsheetFile(options.input) && (options.choice.sheet || options.choice.range)) {
        return UsageError(command, "--sheet and --range apply to a workbook (.xlsx), not to the capture file \"" +
                                       options.input + "\"");
    }
    return -1;
}

int RunDrawingCommand(const std::vector<std::string>& args, const char* command, const char* usage,
                      const char* defaultExtension, const std::function<int(const std::string&)>& checkOutput,
                      const DrawStep& draw) {
    DrawOptions options;
    if (int status = ReadDrawOptions(args, command, usage, options); status >= 0) return status;

    const std::filesystem::path inputPath = PathFromUtf8(options.input);
    const std::string output = options.output
                                   ? *options.output
                                   : Utf8FromPath(std::filesystem::path(inputPath).replace_extension(defaultExtension));
    if (int status = checkOutput(output); status >= 0) return status;
    if (SameFile(inputPath, PathFromUtf8(output))) {
        return Failure(command, "the output \"" + output + "\" is the input itself; choose another name with -o");
    }

    try {
        // An output that will be refused is refused before the work.
        CheckReplaceable(output, options.readOnlyOutput);
        ScaleSettings settings;
        Capture capture;
        if (int status = LoadDrawing(options, command, capture, settings); status != kExitOk) return status;
        try {
            draw(options, capture, settings, output);
        } catch (const FileError&) {
            throw;
        } catch (const TabulonError& e) {
            // Sizes that would overflow are refused before anything is written.
            return Failure(command, options.input + ": " + e.what());
        }
        return kExitOk;
    } catch (const TabulonError& e) {
        return Failure(command, OutputFailure(e));
    } catch (const std::bad_alloc&) {
        return Failure(command, "out of memory");
    } catch (const std::exception& e) {
        return Failure(command, options.input + ": " + e.what());
    }
}

int LoadDrawing(const DrawOptions& options, const char* command, Capture& capture, ScaleSettings& settings) {
    settings = ScaleSettings{};
    if (options.settings) settings = ReadSettingsOption(*options.settings);

    std::vector<std::string> warnings;
    try {
        if (IsSpreadsheetFile(options.input))
            capture = CaptureSpreadsheet(options.input, options.choice, command);
        else
            capture = ReadCaptureFile(options.input, &warnings);
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
