#include "ui/replace_dialog.h"

#include "platform/win_text.h"
#include "ui/layout.h"
#include "ui/window_text.h"

namespace tabulon::ui {

bool ReplaceDialog::Create(HWND owner, HFONT font) {
    if (!CreateFrame(owner, L"置換", 218, 117, font)) return false;
    // Created in tab order: Edit1, Edit2, Button1, Button2.
    AddControl(hwnd, L"STATIC", L"検索文字列", 0, ScaleRect(8, 6, 120, 14), 0, Font());
    AddControl(hwnd, L"EDIT", L"", WS_TABSTOP | ES_AUTOHSCROLL, ScaleRect(8, 22, 202, 21), kEdit1, Font());
    AddControl(hwnd, L"STATIC", L"置換文字列", 0, ScaleRect(8, 48, 120, 14), 0, Font());
    AddControl(hwnd, L"EDIT", L"", WS_TABSTOP | ES_AUTOHSCROLL, ScaleRect(8, 64, 202, 21), kEdit2, Font());
    AddRunAndCancel(kButton1, 40, kButton2, 124, 90);
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

}  // namespace tabulon::ui
