// "置換" (TForm3): the search and replacement texts for the grid's find and replace.
#pragma once

#include <string>

#include "app/text_tools_controller.h"
#include "ui/modal_dialog.h"

namespace tabulon::ui {

class ReplaceDialog : public ModalDialog, public ReplaceDialogView {
public:
    enum Id { kEdit1 = 101, kEdit2, kButton1, kButton2 };

    bool Create(HWND owner, HFONT font);

    std::string SearchText() override;
    std::string ReplacementText() override;
    bool ShowModal() override;
};

}  // namespace tabulon::ui
