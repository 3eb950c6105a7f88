#include "ui/replace_dialog.h"

#include "platform/win_text.h"
#include "ui/window_text.h"

namespace tabulon::ui {

bool ReplaceDialog::Create(HWND owner, HFONT font) {
    if (!CreateFrame(owner, L"置換", 218, 117, font)) return false;
    // Created in tab order: Edit1, Edit2, Button1, Button2.
    AddControl(L"STATIC", L"検索文字列", 0, 8, 6, 120, 14, 0);
    AddControl(L"EDIT", L"", WS_TABSTOP | ES_AUTOHSCROLL, 8, 22, 202, 21, kEdit1);
    AddControl(L"STATIC", L"置換文字列", 0, 8, 48, 120, 14, 0);
    AddControl(L"EDIT", L"", WS_TABSTOP | ES_AUTOHSCROLL, 8, 64, 202, 21, kEdit2);
    AddControl(L"BUTTON", L"実行", WS_TABSTOP | BS_PUSHBUTTON, 40, 90, 75, 23, kButton1);
    AddControl(L"BUTTON", L"中止", WS_TABSTOP | BS_PUSHBUTTON, 124, 90, 75, 23, kButton2);
    return true;
}

std::string ReplaceDialog::SearchText() {
    return WideToUtf8(WindowText(Control(kEdit1)));
}

std::string ReplaceDialog::ReplacementText() {
    return WideToUtf8(WindowText(Control(kEdit2)));
}

bool ReplaceDialog::ShowModal() {
    return RunModal();
}

void ReplaceDialog::OnCommand(int id, int code) {
    if (code != BN_CLICKED) return;
    if (id == kButton1) End(true);
    if (id == kButton2) End(false);
}

}  // namespace tabulon::ui
