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

namespace fs = std::filesystem;

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
    DrawOptions options;
    if (int status = ReadDrawOptions(args, kCommand, kPreviewUsage, options); status >= 0) return status;

    const fs::path inputPath = PathFromUtf8(options.input);
    const std::string output =
        options.output ? *options.output : Utf8FromPath(fs::path(inputPath).replace_extension(".svg"));
    const bool png = EndsWithIgnoringCase(output, ".png");
    if (!png && !EndsWithIgnoringCase(output, ".svg")) {
        return UsageError(kCommand, "the output \"" + output + "\" must end in .svg or .png");
    }
    if (png && !CanRasterizeSvg()) {
        return Failure(kCommand, "PNG pictures are not available in this build; write an .svg instead");
    }
    if (SameFile(inputPath, PathFromUtf8(output))) {
        return Failure(kCommand, "the output \"" + output + "\" is the input itself; choose another name with -o");
    }

    try {
        CheckReplaceable(output, options.readOnlyOutput);
        ScaleSettings settings;
        Capture capture;
        if (int status = LoadDrawing(options, kCommand, capture, settings); status != kExitOk) return status;
        SvgDrawing picture;
        try {
            DrawTable(capture.table, capture.texts, settings, picture);
        } catch (const TabulonError& e) {
            return Failure(kCommand, options.input + ": " + e.what());
        }
        AtomicWriteFile(output, png ? RasterizeSvg(picture.Svg(), picture.Width(), picture.Height()) : picture.Svg(),
                        options.readOnlyOutput);
        WriteOut("Wrote " + output + "\n  " + std::to_string(capture.table.TableRows) + " rows x " +
                 std::to_string(capture.table.TableCols) + " columns, " + DxfNumber(picture.Width()) + " x " +
                 DxfNumber(picture.Height()) + " drawing units\n");
        return kExitOk;
    } catch (const TabulonError& e) {
        return Failure(kCommand, OutputFailure(e));
    } catch (const std::bad_alloc&) {
        return Failure(kCommand, "out of memory");
    } catch (const std::exception& e) {
        return Failure(kCommand, options.input + ": " + e.what());
    }
}

}  // namespace tabulon
