#include "ui/sheet_range_dialog.h"

#include <commdlg.h>

#include "platform/win_text.h"
#include "ui/layout.h"
#include "ui/window_text.h"

namespace tabulon::ui {

bool SheetRangeDialog::Create(HWND owner, HFONT font) {
    if (!CreateFrame(owner, L"ファイルから取得", 218, 117, font)) return false;
    // Created in tab order: the sheet, the range, Button1, Button2.
    AddControl(hwnd, L"STATIC", L"シート", 0, ScaleRect(8, 6, 120, 14), 0, Font());
    AddControl(hwnd, L"COMBOBOX", L"", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, ScaleRect(8, 22, 202, 200),
               kSheetCombo, Font());
    AddControl(hwnd, L"STATIC", L"範囲 (例 A1:F20)", 0, ScaleRect(8, 48, 160, 14), 0, Font());
    AddControl(hwnd, L"EDIT", L"", WS_TABSTOP | ES_AUTOHSCROLL, ScaleRect(8, 64, 202, 21), kRangeEdit, Font());
    AddRunAndCancel(kButton1, 40, kButton2, 124, 90);
    return true;
}

std::optional<std::string> SheetRangeDialog::ChooseWorkbookFile() {
    wchar_t file[32768] = {};
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = Owner();
    ofn.lpstrFilter = L"Excel ブック (*.xlsx;*.xlsm)\0*.xlsx;*.xlsm\0すべてのファイル (*.*)\0*.*\0";
    ofn.lpstrFile = file;
    ofn.nMaxFile = static_cast<DWORD>(std::size(file));
    ofn.lpstrTitle = L"ブックを開く";
    ofn.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_EXPLORER;
    if (!GetOpenFileNameW(&ofn)) return std::nullopt;
    return WideToUtf8(file);
}

std::optional<SheetRangeAnswer> SheetRangeDialog::ChooseSheetAndRange(const SheetRangeQuestion& question) {
    SetWindowTextW(hwnd, Utf8ToWide("ファイルから取得 - " + question.workbookName).c_str());
    HWND combo = Control(kSheetCombo);
    SendMessageW(combo, CB_RESETCONTENT, 0, 0);
    for (const std::string& sheet : question.sheets)
        SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Utf8ToWide(sheet).c_str()));
    SendMessageW(combo, CB_SETCURSEL, question.selected, 0);
    SetWindowTextW(Control(kRangeEdit), Utf8ToWide(question.range).c_str());
    defaultRange_ = question.defaultRange;
    const bool ok = RunModal();
    defaultRange_ = nullptr;
    if (!ok) return std::nullopt;
    const LRESULT sheet = SendMessageW(combo, CB_GETCURSEL, 0, 0);
    if (sheet == CB_ERR) return std::nullopt;
    return SheetRangeAnswer{static_cast<int>(sheet), WideToUtf8(WindowText(Control(kRangeEdit)))};
}

void SheetRangeDialog::OnCommand(int id, int code) {
    if (id == kSheetCombo) {
        // Another sheet: its own default range.
        if (code == CBN_SELCHANGE && defaultRange_) {
            const LRESULT sheet = SendMessageW(Control(kSheetCombo), CB_GETCURSEL, 0, 0);
            if (sheet != CB_ERR)
                SetWindowTextW(Control(kRangeEdit), Utf8ToWide(defaultRange_(static_cast<int>(sheet))).c_str());
        }
    }
}

}  // namespace tabulon::ui
