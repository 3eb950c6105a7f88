// tabulon.exe: the main window, then the two dialogs, hidden, then the message loop.
#include <windows.h>
// after windows.h
#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>

#include "platform/excel_automation_win.h"
#include "platform/platform_services.h"
#include "platform/win_text.h"
#include "ui/back_calc_dialog.h"
#include "ui/cad_insert.h"
#include "ui/main_window.h"
#include "ui/replace_dialog.h"
#include "ui/sheet_range_dialog.h"

namespace {

int Run(int showCommand) {
    using namespace tabulon::ui;
    MainWindow form1;
    MainWindowArgs args;
    args.attach = tabulon::AttachToSpreadsheet;
    args.insertIntoCad = InsertIntoRunningCad;
    if (!form1.Create(std::move(args))) return 1;
    ReplaceDialog form3;
    BackCalcDialogWindow form4;
    if (!form3.Create(form1.hwnd, form1.BaseFont()) || !form4.Create(form1.hwnd, form1.BaseFont())) return 1;
    form1.AttachDialogs(form3, form4);
    SheetRangeDialog form5;
    if (!form5.Create(form1.hwnd, form1.BaseFont())) return 1;
    form1.AttachWorkbookChooser(form5);
    // "/open BOOK.xlsx": the first "ファイルから取得" opens that workbook without the file dialog.
    int argc = 0;
    if (LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc)) {
        for (int k = 1; k + 1 < argc; ++k) {
            if (lstrcmpiW(argv[k], L"/open") == 0) form1.OpenWorkbookOnNextCapture(tabulon::WideToUtf8(argv[k + 1]));
        }
        LocalFree(argv);
    }

    ShowWindow(form1.hwnd, showCommand);
    UpdateWindow(form1.hwnd);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        // Tab moves between controls; other keys (Enter in the size edits,
        // arrows in the grid) stay with the control.
        if (msg.message == WM_KEYDOWN && msg.wParam == VK_TAB && form1.hwnd && IsDialogMessageW(form1.hwnd, &msg)) {
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showCommand) {
    tabulon::UsePlatformServices();
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_TAB_CLASSES | ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&icc);
    // A capture talks to Excel through COM on this thread; the windows and the
    // session are gone before COM is.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const int status = Run(showCommand);
    if (SUCCEEDED(com)) CoUninitialize();
    return status;
}
