#include "ui/back_calc_dialog.h"

#include "platform/win_text.h"
#include "ui/layout.h"
#include "ui/window_text.h"

namespace tabulon::ui {

bool BackCalcDialogWindow::Create(HWND owner, HFONT font) {
    if (!CreateFrame(owner, L"逆算", 200, 182, font)) return false;
    handlers_.emplace(*this);
    const wchar_t* captions[] = {L"全幅", L"全高", L"列幅", L"行高", L"文字高"};
    for (int row = 1; row <= 5; ++row) {
        const int y = 10 + (row - 1) * 28;
        HWND box = AddControl(hwnd, L"BUTTON", captions[row - 1], WS_TABSTOP | BS_AUTOCHECKBOX,
                              ScaleRect(12, y + 2, 70, 18), kCheckBox + row, Font());
        HWND edit = AddControl(hwnd, L"EDIT", L"", WS_TABSTOP | ES_AUTOHSCROLL | ES_RIGHT, ScaleRect(88, y, 100, 21),
                               kEdit + row, Font());
        // The column-width row is shown but cannot be chosen.
        if (row == 3) {
            EnableWindow(box, FALSE);
            EnableWindow(edit, FALSE);
        }
    }
    AddRunAndCancel(kButton1, 20, kButton2, 105, 150);
    return true;
}

std::string BackCalcDialogWindow::EditText(int row) {
    return WideToUtf8(WindowText(Control(kEdit + row)));
}

void BackCalcDialogWindow::SetEditText(int row, std::string_view text) {
    SetWindowTextW(Control(kEdit + row), Utf8ToWide(text).c_str());
}

bool BackCalcDialogWindow::Checked(int row) {
    return SendMessageW(Control(kCheckBox + row), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void BackCalcDialogWindow::SetChecked(int row, bool checked) {
    SendMessageW(Control(kCheckBox + row), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool BackCalcDialogWindow::ShowModal() {
    return RunModal();
}

void BackCalcDialogWindow::OnCommand(int id, int code) {
    if (id > kCheckBox && id <= kCheckBox + 5 && code == BN_CLICKED) handlers_->CheckBoxClick(id - kCheckBox);
    if (id > kEdit && id <= kEdit + 5 && code == EN_CHANGE) handlers_->EditChange(id - kEdit);
}

}  // namespace tabulon::ui
