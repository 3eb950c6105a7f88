// Shows the real main window with a small equipment schedule loaded, for the
// screenshots of scripts/screenshots.sh. Not part of the shipped program.
//
//   tabulon_screenshot.exe PAGE SECONDS   (PAGE 0 or 1; closes itself after SECONDS)
#include <windows.h>
// after windows.h
#include <commctrl.h>

#include <cstdlib>
#include <string>

#include "core/drawing_sizes.h"
#include "ui/back_calc_dialog.h"
#include "ui/main_window.h"
#include "ui/replace_dialog.h"

namespace {

using namespace tabulon;

void LoadSchedule(ui::MainWindow& window) {
    const char* rows[][5] = {
        {"空調機器表", "", "", "", ""},
        {"機器番号", "名称", "型式", "台数", "備考"},
        {"AC-1", "空気調和機", "AHU-350", "1", "屋上設置"},
        {"FCU-1", "ファンコイルユニット", "FCU-4\n天井隠蔽", "12", ""},
        {"EF-1", "排気ファン", "SF-250", "2", "防振架台"},
        {"P-1", "冷温水ポンプ", "50×40", "2", "予備1台"},
    };
    const uint16_t widths[] = {10, 18, 12, 6, 12};
    const int nRows = 6, nCols = 5;
    AppModel& m = window.Model();
    m.table.Replace(nRows, nCols);
    m.texts.Resize(nCols + 1, nRows + 1);
    for (int r = 1; r <= nRows; ++r) {
        m.texts.Set(0, r, std::to_string(r + 2));
        for (int c = 1; c <= nCols; ++c) {
            TXlsxCellAttr& cell = m.table.At(r, c);
            cell.colW = widths[c - 1];
            cell.rowH = r == 4 ? 30 : 18;
            cell.txtSize = r == 1 ? 14 : 11;
            cell.txtAlign = r == 2 ? 2 : (c == 4 ? 3 : 0);
            cell.lineBits = 1 | 2 | 4 | 8;
            cell.mergerowYscount = 1;
            cell.mergecolXscount = r == 1 ? 5 : 1;
            cell.cellMerge = r == 1;
            m.texts.Set(c, r, rows[r - 1][c - 1]);
            if (r == 1) m.texts.Set(c, 0, ColumnLetters(c + 1));
        }
    }
    ComputeDrawingSizes(m.table, m.settings);
    ui::Win32MainView& v = window.View();
    v.SetGridSize(nCols + 1, nRows + 1);
    v.SetGridColWidth(0, 70);
    for (int c = 1; c <= nCols; ++c) v.SetGridColWidth(c, static_cast<int>(widths[c - 1] * m.settings.colXsc / 2));
    for (int r = 1; r <= nRows; ++r)
        v.SetGridRowHeight(r, static_cast<int>(m.table.At(r, 1).rowH * m.settings.rowYsc / 2.5));
    v.SetText(Ctl::Edit2, "B3");
    v.SetText(Ctl::Edit3, "F8");
    v.SetInsertEnabled(true);
    v.SetCaption("機器表.xlsx [空調]");
    v.SetGridCurrentCell(2, 4);
    v.RepaintGrid();
}

}  // namespace

int main(int argc, char** argv) {
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_TAB_CLASSES | ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&icc);
    const int page = argc > 1 ? std::atoi(argv[1]) : 0;
    const int seconds = argc > 2 ? std::atoi(argv[2]) : 10;

    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    tabulon::ui::MainWindow window;
    tabulon::ui::MainWindowArgs args;
    args.iniPath = std::wstring(temp) + L"tabulon_screenshot.ini";
    args.dxfPath = std::wstring(temp) + L"tabulon_screenshot.dxf";
    if (!window.Create(std::move(args))) return 1;
    tabulon::ui::ReplaceDialog form3;
    tabulon::ui::BackCalcDialogWindow form4;
    form3.Create(window.hwnd, window.BaseFont());
    form4.Create(window.hwnd, window.BaseFont());
    window.AttachDialogs(form3, form4);
    LoadSchedule(window);
    if (page == 1) window.SelectPage(1);
    ShowWindow(window.hwnd, SW_SHOW);
    SetTimer(window.hwnd, 1, static_cast<UINT>(seconds) * 1000,
             [](HWND hwnd, UINT, UINT_PTR, DWORD) { PostMessageW(hwnd, WM_CLOSE, 0, 0); });
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    DeleteFileW(window.IniPath().c_str());
    return 0;
}
