// tabulon convert: capture file -> DXF.
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "cli/cli.h"
#include "cli/cli_paths.h"
#include "cli/spreadsheet_input.h"
#include "core/capture_file.h"
#include "core/drawing_sizes.h"
#include "core/dxf_number.h"
#include "core/errors.h"
#include "core/file_io.h"
#include "core/settings_file.h"
#include "core/table_dxf.h"
#include "platform/console.h"

namespace tabulon {

namespace {

namespace fs = std::filesystem;

constexpr const char* kConvertUsage =
    "Usage: tabulon convert CAPTURE.json [-o OUT.dxf] [--settings FILE.ini] [--no-cell-lines]\n"
    "       tabulon convert BOOK.xlsx [--sheet NAME] [--range A1:F20] [-o OUT.dxf] [...]\n"
    "\n"
    "Draws the table of a capture file as an AutoCAD Release 12 DXF: cell separator\n"
    "lines and merged-area outlines on layer XLSCellLine, texts on XLSCellText,\n"
    "border lines and diagonals on XLSBordLine. Texts are saved in code page 932.\n"
    "\n"
    "Options:\n"
    "  -o, --output OUT.dxf   where to write the drawing (default: the capture's\n"
    "                         path with the extension .dxf). An existing file is\n"
    "                         replaced only once the new one is completely written.\n"
    "  --settings FILE.ini    read the scales from section [Quillbox] of a settings\n"
    "                         file (keys colXsc, rowYsc, cadXsc, cadYsc, cadTsc,\n"
    "                         cadTof, cellLineColor, cellLineDraw, xlsVerNum).\n"
    "                         Settings stored in the capture file take precedence;\n"
    "                         keys found in neither keep their defaults.\n"
    "  --no-cell-lines        leave out the cell separator lines and merged-area\n"
    "                         outlines (as with \"セルを描画\" unchecked).\n"
    "  --sheet NAME, --range A1:F20\n"
    "                         for a workbook (.xlsx): the worksheet and cells to\n"
    "                         draw, as with 'tabulon capture' (see its --help).\n"
    "  -h, --help             show this help.\n"
    "\n"
    "The capture format is described in docs/capture-format.md.\n";

int UsageError(const std::string& message) {
    WriteErr("tabulon convert: " + message + "\n");
    WriteErr("Try 'tabulon convert --help'.\n");
    return kExitUsage;
}

int Failure(const std::string& message) {
    WriteErr("tabulon convert: " + message + "\n");
    return kExitFailure;
}

struct ConvertOptions {
    std::string input;
    std::optional<std::string> output;
    std::optional<std::string> settings;
    bool noCellLines = false;
    SpreadsheetChoice choice;
};

}  // namespace

int RunConvert(const std::vector<std::string>& args) {
    ConvertOptions options;
    bool haveInput = false;
    for (size_t k = 0; k < args.size(); ++k) {
        const std::string& arg = args[k];
        auto value = [&](const char* name) -> std::optional<std::string> {
            std::string prefix = std::string(name) + "=";
            if (arg.rfind(prefix, 0) == 0) return arg.substr(prefix.size());
            if (k + 1 >= args.size()) return std::nullopt;
            return args[++k];
        };
        if (arg == "-h" || arg == "--help") {
            WriteOut(kConvertUsage);
            return kExitOk;
        } else if (arg == "-o" || arg == "--output" || arg.rfind("--output=", 0) == 0) {
            auto v = value(arg == "-o" ? "-o" : "--output");
            if (!v || v->empty()) return UsageError("option " + arg + " needs a file name");
            options.output = *v;
        } else if (arg == "--settings" || arg.rfind("--settings=", 0) == 0) {
            auto v = value("--settings");
            if (!v || v->empty()) return UsageError("option --settings needs a file name");
            options.settings = *v;
        } else if (arg == "--sheet" || arg.rfind("--sheet=", 0) == 0) {
            auto v = value("--sheet");
            if (!v || v->empty()) return UsageError("option --sheet needs a sheet name");
            options.choice.sheet = *v;
        } else if (arg == "--range" || arg.rfind("--range=", 0) == 0) {
            auto v = value("--range");
            if (!v || v->empty()) return UsageError("option --range needs a range such as A1:F20");
            options.choice.range = *v;
        } else if (arg == "--no-cell-lines") {
            options.noCellLines = true;
        } else if (arg.size() > 1 && arg[0] == '-') {
            return UsageError("unknown option \"" + arg + "\"");
        } else if (!haveInput) {
            options.input = arg;
            haveInput = true;
        } else {
            return UsageError("more than one capture file given (\"" + options.input + "\", \"" + arg + "\")");
        }
    }
    if (!haveInput) return UsageError("no capture file given");
    const bool spreadsheet = IsSpreadsheetFile(options.input);
    if (!spreadsheet && (options.choice.sheet || options.choice.range)) {
        return UsageError("--sheet and --range apply to a workbook (.xlsx), not to the capture file \"" +
                          options.input + "\"");
    }

    const fs::path inputPath = PathFromUtf8(options.input);
    const std::string output =
        options.output ? *options.output : Utf8FromPath(fs::path(inputPath).replace_extension(".dxf"));
    if (SameFile(inputPath, PathFromUtf8(output))) {
        return Failure("the output \"" + output + "\" is the capture file itself; choose another name with -o");
    }

    try {
        ScaleSettings settings;
        if (options.settings) settings = ReadScaleSettings(ReadWholeFile(*options.settings));

        std::vector<std::string> warnings;
        Capture capture;
        try {
            if (spreadsheet)
                capture = CaptureSpreadsheet(options.input, options.choice, "convert");
            else
                capture = ParseCaptureFile(ReadWholeFile(options.input), &warnings);
        } catch (const TabulonError& e) {
            std::string message = e.what();
            // Read errors already name the file; format errors name the place in it.
            if (message.find(options.input) == std::string::npos) message = options.input + ": " + message;
            return Failure(message);
        }
        for (const std::string& w : warnings) WriteErr("tabulon convert: warning: " + options.input + ": " + w + "\n");

        capture.settings.ApplyTo(settings);
        if (options.noCellLines) settings.cellLineDraw = false;
        if (capture.table.IsEmpty()) return Failure(options.input + ": the capture holds no cells; nothing to draw");

        ComputeDrawingSizes(capture.table, settings);
        DxfLines lines;
        try {
            BuildTableDxf(capture.table, capture.texts, settings, lines);
        } catch (const TabulonError& e) {
            // Sizes that would overflow are refused before anything is written.
            return Failure(options.input + ": " + e.what());
        }
        const double totalW = TotalWidth(capture.table);
        const double totalH = TotalHeight(capture.table);
        SaveDxfLines(lines, output);

        size_t lineCount = 0, textCount = 0, outlineCount = 0;
        for (size_t k = 0; k < lines.Count(); ++k) {
            std::string_view item = lines.Item(k);
            if (item == "  0\r\nLINE")
                ++lineCount;
            else if (item == "  0\r\nTEXT")
                ++textCount;
            else if (item == "  0\r\nPOLYLINE")
                ++outlineCount;
        }
        WriteOut("Wrote " + output + "\n  " + std::to_string(capture.table.TableRows) + " rows x " +
                 std::to_string(capture.table.TableCols) + " columns, " + DxfNumber(totalW) + " x " +
                 DxfNumber(totalH) + " drawing units: " + std::to_string(lineCount) + " lines, " +
                 std::to_string(outlineCount) + " merged-area outlines, " + std::to_string(textCount) + " texts\n");
        return kExitOk;
    } catch (const TabulonError& e) {
        return Failure(e.what());
    } catch (const std::bad_alloc&) {
        return Failure("out of memory");
    } catch (const std::exception& e) {
        return Failure(options.input + ": " + e.what());
    }
}

}  // namespace tabulon
