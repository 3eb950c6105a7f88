// What the commands that draw (convert, preview) share: their options beyond
// the shared ones, and reading the table and the settings the drawing takes.
#pragma once

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

// The table to draw, with its drawing sizes computed, and the settings it is drawn
// with: the settings file's, then the capture's own, then the flags. Returns
// kExitOk, or the failure's exit status with its message written.
int LoadDrawing(const DrawOptions& options, const char* command, Capture& capture, ScaleSettings& settings);

}  // namespace tabulon
