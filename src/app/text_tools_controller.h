// The cell grid's right-click tools that rewrite the selected texts.
#pragma once

#include <functional>
#include <string>

#include "app/app_model.h"
#include "app/main_view.h"

namespace tabulon {

// The find-and-replace dialog "置換"; created once, so its texts survive between uses.
class ReplaceDialogView {
public:
    virtual ~ReplaceDialogView() = default;
    virtual std::string SearchText() = 0;
    virtual std::string ReplacementText() = 0;
    // Shows the dialog modally; true when it was closed with "実行".
    virtual bool ShowModal() = 0;
};

class TextToolsController {
public:
    TextToolsController(AppModel& model, MainView& view) : model_(model), view_(view) {}

    // Rewrites every non-empty text of the grid's selection, rows from the top and
    // columns from the left, with convert(text). Empty cells are neither read nor
    // written; the table's records are never touched.
    void ConvertSelection(const std::function<std::string(const std::string&)>& convert);

    // "置換": replaces the first occurrence of the search text in each selected
    // text, and tells how many texts changed.
    void N4Click(ReplaceDialogView& dialog);

private:
    AppModel& model_;
    MainView& view_;
};

}  // namespace tabulon
