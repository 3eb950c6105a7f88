// What the commands that draw (convert, preview) share: their options beyond
// the shared ones, and reading the table and the settings the drawing takes.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "cli/cli_options.h"
#include "core/capture_file.h"

namespace tabulon {

struct DrawOptions : SharedOptions {
    std::string input;
    bool noCellLines = false;
    bool sheetLook = false;
};

// Reads the command line of a drawing command. Returns -1 when the command is to
// go on; otherwise the exit status, the help or the usage error already written.
int ReadDrawOptions(const std::vector<std::string>& args, const char* command, const char* usage,
                    DrawOptions& options);

// What a drawing command does once the table is read: draws it to output and
// says what it wrote. Throws TabulonError for a drawing it refuses.
using DrawStep = std::function<void(const DrawOptions& options, const Capture& capture,
                                    const ScaleSettings& settings, const std::string& output)>;

// A drawing command from its command line to its exit status: reads the
// options, chooses the output (the input's path with defaultExtension unless
// -o names one) and refuses one that cannot be replaced or is the input itself,
// reads the table and the settings, then runs draw. Every failure is reported.
int RunDrawingCommand(const std::vector<std::string>& args, const char* command, const char* usage,
                      const char* defaultExtension, const std::function<int(const std::string&)>& checkOutput,
                      const DrawStep& draw);

// The table to draw, with its drawing sizes computed, and the settings it is drawn
// with: the settings file's, then the capture's own, then the flags. Returns
// kExitOk, or the failure's exit status with its message written.
int LoadDrawing(const DrawOptions& options, const char* command, Capture& capture, ScaleSettings& settings);

}  // namespace tabulon
