// tabulon capture: workbook range -> capture file.
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "cli/cli.h"
#include "cli/cli_paths.h"
#include "cli/spreadsheet_input.h"
#include "core/capture_file.h"
#include "core/errors.h"
#include "core/file_io.h"
#include "core/settings_file.h"
#include "platform/console.h"

namespace tabulon {

namespace {

namespace fs = std::filesystem;

constexpr const char* kCaptureUsage =
    "Usage: tabulon capture BOOK.xlsx [--sheet NAME] [--range A1:F20] [-o CAPTURE.json]\n"
    "                       [--settings FILE.ini]\n"
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
    "                         path with the extension .json).\n"
    "  --settings FILE.ini    record the scales of section [Quillbox] of a settings\n"
    "                         file in the capture (default: the standard scales).\n"
    "                         Scales recorded in a capture take precedence when it\n"
    "                         is converted.\n"
    "  -h, --help             show this help.\n"
    "\n"
    "The rules (widths, heights, number formats, limits) are in docs/xlsx-capture.md.\n";

int UsageError(const std::string& message) {
    WriteErr("tabulon capture: " + message + "\n");
    WriteErr("Try 'tabulon capture --help'.\n");
    return kExitUsage;
}

int Failure(const std::string& message) {
    WriteErr("tabulon capture: " + message + "\n");
    return kExitFailure;
}

}  // namespace

int RunCapture(const std::vector<std::string>& args) {
    std::optional<std::string> input, output, settingsFile;
    SpreadsheetChoice choice;
    for (size_t k = 0; k < args.size(); ++k) {
        const std::string& arg = args[k];
        auto value = [&](const std::string& name) -> std::optional<std::string> {
            const std::string prefix = name + "=";
            if (arg.rfind(prefix, 0) == 0) return arg.substr(prefix.size());
            if (arg != name || k + 1 >= args.size()) return std::nullopt;
            return args[++k];
        };
        if (arg == "-h" || arg == "--help") {
            WriteOut(kCaptureUsage);
            return kExitOk;
        } else if (arg == "-o" || arg == "--output" || arg.rfind("--output=", 0) == 0) {
            auto v = value(arg == "-o" ? "-o" : "--output");
            if (!v || v->empty()) return UsageError("option " + arg + " needs a file name");
            output = *v;
        } else if (arg == "--sheet" || arg.rfind("--sheet=", 0) == 0) {
            auto v = value("--sheet");
            if (!v || v->empty()) return UsageError("option --sheet needs a sheet name");
            choice.sheet = *v;
        } else if (arg == "--range" || arg.rfind("--range=", 0) == 0) {
            auto v = value("--range");
            if (!v || v->empty()) return UsageError("option --range needs a range such as A1:F20");
            choice.range = *v;
        } else if (arg == "--settings" || arg.rfind("--settings=", 0) == 0) {
            auto v = value("--settings");
            if (!v || v->empty()) return UsageError("option --settings needs a file name");
            settingsFile = *v;
        } else if (arg.size() > 1 && arg[0] == '-') {
            return UsageError("unknown option \"" + arg + "\"");
        } else if (!input) {
            input = arg;
        } else {
            return UsageError("more than one workbook given (\"" + *input + "\", \"" + arg + "\")");
        }
    }
    if (!input) return UsageError("no workbook given");

    const std::string target = output ? *output : Utf8FromPath(PathFromUtf8(*input).replace_extension(".json"));
    if (SameFile(PathFromUtf8(*input), PathFromUtf8(target))) {
        return Failure("the output \"" + target + "\" is the workbook itself; choose another name with -o");
    }
    try {
        // Scales go into the capture only when asked for; otherwise whoever
        // converts it chooses them.
        std::optional<ScaleSettings> settings;
        if (settingsFile) settings = ReadScaleSettings(ReadWholeFile(*settingsFile));
        Capture capture;
        try {
            capture = CaptureSpreadsheet(*input, choice, "capture");
        } catch (const TabulonError& e) {
            return Failure(*input + ": " + e.what());
        }
        AtomicWriteFile(target, WriteCaptureFile(capture.table, capture.texts, settings, capture.source));
        WriteOut("Wrote " + target + "\n");
        return kExitOk;
    } catch (const TabulonError& e) {
        return Failure(e.what());
    } catch (const std::bad_alloc&) {
        return Failure(*input + ": out of memory");
    } catch (const std::exception& e) {
        return Failure(*input + ": " + e.what());
    }
}

}  // namespace tabulon
