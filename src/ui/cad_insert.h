// Where "CAD へ挿入" hands the saved drawing: the BricsCAD, AutoCAD or DWG
// TrueView that runs on this desktop.
#pragma once

#include <string>

#include "core/cad_commands.h"

namespace tabulon::ui {

// Types the insertion into the running CAD applications. The windows it finds
// are remembered for the whole run, as the CAD dialogue expects.
InsertOutcome InsertIntoRunningCad(const std::string& dxfPath);

}  // namespace tabulon::ui
