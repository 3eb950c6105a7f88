// "逆算": working the CAD scales out from wanted sizes, and its dialog.
#pragma once

#include <string>
#include <string_view>

#include "app/app_model.h"
#include "app/main_view.h"
#include "app/sizes_controller.h"

namespace tabulon {

// The dialog's five rows: 1 total width, 2 total height, 3 column width (shown
// but disabled), 4 row height, 5 text height; each a check box and an edit.
class BackCalcDialogView {
public:
    virtual ~BackCalcDialogView() = default;
    virtual std::string EditText(int row) = 0;
    virtual void SetEditText(int row, std::string_view text) = 0;
    virtual bool Checked(int row) = 0;
    virtual void SetChecked(int row, bool checked) = 0;
    // Shows the dialog modally; true when it was closed with "実行".
    virtual bool ShowModal() = 0;
};

// The dialog's own handlers: rows 1 and 3 both set the CAD X scale, rows 2 and
// 4 the CAD Y scale, so only one of each pair can be ticked.
class BackCalcDialog {
public:
    explicit BackCalcDialog(BackCalcDialogView& view) : view_(view) {}
    void CheckBoxClick(int row);
    void EditChange(int row);

private:
    BackCalcDialogView& view_;
};

class BackCalcController {
public:
    BackCalcController(AppModel& model, MainView& view, BackCalcDialogView& dialog, SizesController& sizes)
        : model_(model), view_(view), dialog_(dialog), sizes_(sizes) {}

    // The hidden "逆算" button.
    void Button5Click();

private:
    AppModel& model_;
    MainView& view_;
    BackCalcDialogView& dialog_;
    SizesController& sizes_;
};

}  // namespace tabulon
