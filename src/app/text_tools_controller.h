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

    // The right-click conversions of the selected texts.
    void N1Click();   // 半角->全角
    void N12Click();  // 半角->全角, leaving numbers and plain ASCII words alone
    void N5Click();   // 半角カナ->全角
    void N2Click();   // 全角->半角
    void N6Click();   // 全角数字->半角
    void N7Click();   // 全角アルファベット->半角
    void N9Click();   // 代替文字を含む禁止文字->半角

    // "置換": replaces the first occurrence of the search text in each selected
    // text, and tells how many texts changed.
    void N4Click(ReplaceDialogView& dialog);

private:
    AppModel& model_;
    MainView& view_;
};

}  // namespace tabulon
