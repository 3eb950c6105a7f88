// "ファイルから取得": the standard file dialog for the workbook, then this dialog
// for its sheet and range, in the style of the other dialogs.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "app/workbook_chooser.h"
#include "ui/modal_dialog.h"

namespace tabulon::ui {

class SheetRangeDialog : public ModalDialog, public WorkbookChooser {
public:
    enum Id { kSheetCombo = 101, kRangeEdit, kButton1, kButton2 };

    bool Create(HWND owner, HFONT font);

    std::optional<std::string> ChooseWorkbookFile() override;
    std::optional<SheetRangeAnswer> ChooseSheetAndRange(const SheetRangeQuestion& question) override;

private:
    void OnCommand(int id, int code) override;

    std::function<std::string(int)> defaultRange_;
};

}  // namespace tabulon::ui
