// tabulon preview: capture file or workbook -> a picture of the drawing.
#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "cli/cli_options.h"
#include "cli/cli_paths.h"
#include "cli/draw_input.h"
#include "cli/svg_raster.h"
#include "core/dxf_number.h"
#include "core/errors.h"
#include "core/file_io.h"
#include "core/svg_drawing.h"
#include "core/table_dxf.h"
#include "platform/console.h"

namespace tabulon {

namespace {

constexpr const char* kCommand = "preview";

constexpr const char* kPreviewUsage =
    "Usage: tabulon preview CAPTURE.json [-o OUT.svg|OUT.png] [--force] [--settings FILE.ini]\n"
    "                       [--no-cell-lines] [--sheet-look]\n"
    "       tabulon preview BOOK.xlsx [--sheet NAME] [--range A1:F20] [-o OUT.svg] [...]\n"
    "\n"
    "Draws exactly the drawing 'tabulon convert' would write, as a picture on a\n"
    "light background: the same lines in their layers' colours and line types, the\n"
    "same fills, and the texts with their heights, alignments and width factors, in\n"
    "a Japanese Gothic font.\n"
    "\n"
    "Options:\n"
    "  -o, --output OUT.svg   where to write the picture (default: the input's path\n"
    "                         with the extension .svg). A name ending in .png gives\n"
    "                         a PNG image, where the build can make one.\n"
    "  --force, --settings, --no-cell-lines, --sheet-look, --sheet, --range\n"
    "                         as for 'tabulon convert' (see its --help).\n"
    "  -h, --help             show this help.\n";

bool EndsWithIgnoringCase(const std::string& text, const std::string& tail) {
    if (text.size() < tail.size()) return false;
    return std::equal(tail.begin(), tail.end(), text.end() - static_cast<std::ptrdiff_t>(tail.size()),
                      [](char a, char b) { return (a | 0x20) == (b | 0x20); });
}

}  // namespace

int RunPreview(const std::vector<std::string>& args) {
    auto checkOutput = [](const std::string& output) {
        const bool png = EndsWithIgnoringCase(output, ".png");
        if (!png && !EndsWithIgnoringCase(output, ".svg")) {
            return UsageError(kCommand, "the output \"" + output + "\" must end in .svg or .png");
        }
        if (png && !CanRasterizeSvg()) {
            return Failure(kCommand, "PNG pictures are not available in this build; write an .svg instead");
        }
        return -1;
    };
    return RunDrawingCommand(
        args, kCommand, kPreviewUsage, ".svg", checkOutput,
        [](const DrawOptions& options, const Capture& capture, const ScaleSettings& settings,
           const std::string& output) {
            RecordedDrawing drawing;
            DrawTable(capture.table, capture.texts, settings, drawing);
            const std::string svg = SvgOf(drawing);
            const double width = drawing.Tables().width, height = drawing.Tables().height;
            const bool png = EndsWithIgnoringCase(output, ".png");
            AtomicWriteFile(output, png ? RasterizeSvg(svg, width, height) : svg, options.readOnlyOutput);
            WriteOut("Wrote " + output + "\n  " + std::to_string(capture.table.TableRows) + " rows x " +
                     std::to_string(capture.table.TableCols) + " columns, " + DxfNumber(width) + " x " +
                     DxfNumber(height) + " drawing units\n");
        });
}

}  // namespace tabulon
