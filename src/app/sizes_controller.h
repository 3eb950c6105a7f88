// Totals, the size summary, "変更を反映" and the per-selection size overrides.
#pragma once

#include "app/app_model.h"
#include "app/main_view.h"

namespace tabulon {

class SizesController {
public:
    SizesController(AppModel& model, MainView& view) : model_(model), view_(view) {}

    // Label4: "全体: W=… x H=…", or empty without a table.
    void ShowWHSize();
    // StringGrid2: totals and the most frequent width, height and text height.
    void showWhSizeGrid2();
    // The page control switched to page `page` (0 or 1).
    void PageControl1Change(int page);
    // "変更を反映": reads the edits into the settings after a question.
    void Button1Click();
    // Enter in Edit11 (widths), Edit12 (heights) or Edit13 (text heights). Returns
    // true when the key was consumed; key is then set to 0.
    bool Edit11KeyPress(char16_t& key) { return OverrideKeyPress(Ctl::Edit11, key); }
    bool Edit12KeyPress(char16_t& key) { return OverrideKeyPress(Ctl::Edit12, key); }
    bool Edit13KeyPress(char16_t& key) { return OverrideKeyPress(Ctl::Edit13, key); }

private:
    bool OverrideKeyPress(Ctl edit, char16_t& key);
    double ReadNumber(Ctl edit, double fallback);

    AppModel& model_;
    MainView& view_;
};

}  // namespace tabulon
