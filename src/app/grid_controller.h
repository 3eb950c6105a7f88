// The cell grid: inspecting the current cell, painting rules, header clicks,
// alignment buttons and editing through the edit line.
#pragma once

#include <cstdint>
#include <string>

#include "app/app_model.h"
#include "app/main_view.h"

namespace tabulon {

// How one grid cell is painted.
struct CellPaint {
    enum class Align { Left, Centre, Right };
    Align align = Align::Left;
    bool mergedBackground = false;  // the light cyan of merged areas, 0xFFFFF0 (BGR)
    bool useDefault = false;        // no table: the grid paints in its own way
};

inline constexpr uint32_t kMergedCellColor = 0xFFFFF0;  // COLORREF: red 240, green 255, blue 255

class GridController {
public:
    GridController(AppModel& model, MainView& view) : model_(model), view_(view) {}

    // The current cell changed (click or keyboard).
    void StringGrid1Click();
    // The painting of cell (col, row); fixed cells are the header row and column.
    CellPaint StringGrid1DrawCell(int32_t col, int32_t row, bool fixed) const;
    // A header cell was clicked: select a column, a row or the whole table.
    void StringGrid1FixedCellClick(int32_t col, int32_t row);
    // One of the alignment buttons: 1 left, 2 centre, 3 right.
    void SpeedButton1Click(int button);
    // Edit1's text changed: it becomes the current cell's text.
    void Edit1Change();
    // A key was released in Edit1: arrows show the code of the character after the caret.
    void Edit1KeyUp(uint16_t virtualKey);

private:
    AppModel& model_;
    MainView& view_;
};

}  // namespace tabulon
