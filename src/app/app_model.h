// The data the main window owns for the whole run.
#pragma once

#include "core/cell_table.h"

namespace tabulon {

struct AppModel {
    CellTable table;
    GridTexts texts;  // what StringGrid1 shows; the working texts that are drawn
    ScaleSettings settings;
};

}  // namespace tabulon
