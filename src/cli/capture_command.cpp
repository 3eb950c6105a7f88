// tabulon capture: workbook range -> capture file.
#include <optional>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "cli/cli_options.h"
#include "cli/cli_paths.h"
#include "cli/spreadsheet_input.h"
#include "core/capture_file.h"
#include "core/capture_sink.h"
#include "core/errors.h"
#include "core/file_io.h"
#include "core/settings_file.h"
#include "platform/console.h"

namespace tabulon {

namespace {

constexpr const char* kCommand = "capture";

constexpr const char* kCaptureUsage =
    "Usage: tabulon capture BOOK.xlsx [--sheet NAME] [--range A1:F20] [-o CAPTURE.json]\n"
    "                       [--force] [--settings FILE.ini]\n"
    "\n"
    "Captures a range of a worksheet, without a spreadsheet program, into a capture\n"
    "file: per cell the displayed text, column width, row height, font size,\n"
    "alignment, borders and merged area, as a capture from a running spreadsheet\n"
    "program records them. 'tabulon convert' draws the file.\n"
    "\n"
    "Options:\n"
    "  --sheet NAME           the worksheet (default: the sheet that was active when\n"
    "                         the workbook was saved).\n"
    "  --range A1:F20         the cells (default: the selection saved with the sheet\n"
    "                         when it spans more than one cell, else the sheet's\n"
    "                         used range). A single cell such as C4 is a 1 x 1 range.\n"
    "  -o, --output FILE      where to write the capture (default: the workbook's\n"
    "                         path with the extension .json). An existing file is\n"
    "                         replaced as 'tabulon convert' replaces a drawing.\n"
    "  --force                replace CAPTURE.json even when it is read-only.\n"
    "  --settings FILE.ini    record the scales of section [Quillbox] of a settings\n"
    "                         file in the capture (default: the standard scales).\n"
    "                         Scales recorded in a capture take precedence when it\n"
    "                         is converted.\n"
    "  -h, --help             show this help.\n"
    "\n"
    "The rules (widths, heights, number formats, limits) are in docs/xlsx-capture.md.\n";

}  // namespace

int RunCapture(const std::vector<std::string>& args) {
    std::optional<std::string> input;
    SharedOptions options;
    if (const int status = ReadCommandLine(args, kCommand, kCaptureUsage, options, nullptr, "workbook", input);
        status >= 0) {
        return status;
    }

    const std::string target =
        options.output ? *options.output : Utf8FromPath(PathFromUtf8(*input).replace_extension(".json"));
    if (SameFile(PathFromUtf8(*input), PathFromUtf8(target))) {
        return Failure(kCommand, "the output \"" + target + "\" is the workbook itself; choose another name with -o");
    }
    try {
        // Scales go into the capture only when asked for; otherwise whoever
        // converts it chooses them.
        CheckReplaceable(target, options.readOnlyOutput);
        std::optional<ScaleSettings> settings;
        if (options.settings) settings = ReadSettingsOption(*options.settings);
        // Written as the workbook is read; the file replaces the target only once complete.
        CaptureFileSink file(target, settings, options.readOnlyOutput);
        try {
            CaptureSpreadsheet(*input, options.choice, kCommand, file);
        } catch (const FileError&) {
            throw;
        } catch (const TabulonError& e) {
            return Failure(kCommand, *input + ": " + e.what());
        }
        file.Commit();
        WriteOut("Wrote " + target + "\n");
        return kExitOk;
    } catch (const TabulonError& e) {
        return Failure(kCommand, OutputFailure(e));
    } catch (const std::bad_alloc&) {
        return Failure(kCommand, *input + ": out of memory");
    } catch (const std::exception& e) {
        return Failure(kCommand, *input + ": " + e.what());
    }
}

}  // namespace tabulon
