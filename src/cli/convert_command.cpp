// tabulon convert: capture file -> DXF.
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "cli/cli_options.h"
#include "cli/cli_paths.h"
#include "cli/draw_input.h"
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

constexpr const char* kCommand = "convert";

constexpr const char* kConvertUsage =
    "Usage: tabulon convert CAPTURE.json [-o OUT.dxf] [--force] [--settings FILE.ini] [--no-cell-lines]\n"
    "                       [--sheet-look]\n"
    "       tabulon convert BOOK.xlsx [--sheet NAME] [--range A1:F20] [-o OUT.dxf] [...]\n"
    "\n"
    "Draws the table of a capture file as an AutoCAD Release 12 DXF: cell separator\n"
    "lines and merged-area outlines on layer XLSCellLine, texts on XLSCellText,\n"
    "border lines and diagonals on XLSBordLine. Texts are saved in code page 932.\n"
    "\n"
    "Options:\n"
    "  -o, --output OUT.dxf   where to write the drawing (default: the capture's\n"
    "                         path with the extension .dxf). An existing file is\n"
    "                         replaced only once the new one is completely written,\n"
    "                         and keeps its permissions. A folder, a device or a\n"
    "                         link in its place is never replaced.\n"
    "  --force                replace OUT.dxf even when it is read-only (it stays\n"
    "                         read-only).\n"
    "  --settings FILE.ini    read the scales from section [Quillbox] of a settings\n"
    "                         file (keys colXsc, rowYsc, cadXsc, cadYsc, cadTsc,\n"
    "                         cadTof, cellLineColor, cellLineDraw, xlsVerNum, and\n"
    "                         the look: fitText, halfWidth, sheetVAlign,\n"
    "                         lineSpacing, borderStyle, cellFill).\n"
    "                         Settings stored in the capture file take precedence;\n"
    "                         keys found in neither keep their defaults.\n"
    "  --no-cell-lines        leave out the cell separator lines and merged-area\n"
    "                         outlines (as with \"セルを描画\" unchecked).\n"
    "  --sheet-look           draw the sheet's look: texts fitted to their cells\n"
    "                         and wrapped as on the sheet, vertical alignment, line\n"
    "                         spacing 1.3, border styles and cell fills (the\n"
    "                         settings fitText, sheetVAlign, lineSpacing=1.3,\n"
    "                         borderStyle and cellFill).\n"
    "  --sheet NAME, --range A1:F20\n"
    "                         for a workbook (.xlsx): the worksheet and cells to\n"
    "                         draw, as with 'tabulon capture' (see its --help).\n"
    "  -h, --help             show this help.\n"
    "\n"
    "The capture format is described in docs/capture-format.md.\n";

}  // namespace

int RunConvert(const std::vector<std::string>& args) {
    return RunDrawingCommand(
        args, kCommand, kConvertUsage, ".dxf", [](const std::string&) { return -1; },
        [](const DrawOptions& options, const Capture& capture, const ScaleSettings& settings,
           const std::string& output) {
            DrawingCounts counts;
            WriteTableDxf(capture.table, capture.texts, settings, output, &counts, options.readOnlyOutput);
            WriteOut("Wrote " + output + "\n  " + std::to_string(capture.table.TableRows) + " rows x " +
                     std::to_string(capture.table.TableCols) + " columns, " + DxfNumber(TotalWidth(capture.table)) +
                     " x " + DxfNumber(TotalHeight(capture.table)) + " drawing units: " +
                     std::to_string(counts.lines) + " lines, " + std::to_string(counts.polylines) +
                     " merged-area outlines, " + std::to_string(counts.texts) + " texts" +
                     (counts.solids ? ", " + std::to_string(counts.solids) + " fills" : std::string()) + "\n");
        });
}

}  // namespace tabulon
