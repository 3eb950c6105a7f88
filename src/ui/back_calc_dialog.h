// "逆算" (TForm4): five rows of a check box and an edit for the wanted sizes.
#pragma once

#include <optional>
#include <string>

#include "app/back_calc.h"
#include "ui/modal_dialog.h"

namespace tabulon::ui {

class BackCalcDialogWindow : public ModalDialog, public BackCalcDialogView {
public:
    // Rows 1..5: CheckBoxN = kCheckBox + N, EditN = kEdit + N.
    enum Id { kCheckBox = 100, kEdit = 110, kButton1 = 121, kButton2 };

    bool Create(HWND owner, HFONT font);

    std::string EditText(int row) override;
    void SetEditText(int row, std::string_view text) override;
    bool Checked(int row) override;
    void SetChecked(int row, bool checked) override;
    bool ShowModal() override;

private:
    void OnCommand(int id, int code) override;

    std::optional<BackCalcDialog> handlers_;
};

}  // namespace tabulon::ui
