#include "ui/modal_dialog.h"

#include "ui/layout.h"

namespace tabulon::ui {

namespace {
const WindowClassArgs kClass{.name = L"TabulonModalDialog"};
}

LRESULT ModalDialog::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_COMMAND:
            // Neither button is the default or cancel button: Enter and Escape,
            // which arrive as IDOK and IDCANCEL, do nothing.
            if (LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL) return 0;
            if (HIWORD(wp) == BN_CLICKED && (LOWORD(wp) == runId_ || LOWORD(wp) == cancelId_)) {
                End(LOWORD(wp) == runId_);
                return 0;
            }
            OnCommand(LOWORD(wp), HIWORD(wp));
            return 0;
        case WM_CLOSE:
            // The close box cancels; the window lives on for the next use.
            End(false);
            return 0;
    }
    return Window::WndProc(msg, wp, lp);
}

bool ModalDialog::CreateFrame(HWND owner, const wchar_t* title, int clientWidth, int clientHeight, HFONT font) {
    owner_ = owner;
    font_ = font;
    WindowCreateArgs args;
    args.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    args.exStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
    args.rect = {0, 0, ScalePx(clientWidth), ScalePx(clientHeight)};
    AdjustWindowRectEx(&args.rect, args.style, FALSE, args.exStyle);
    OffsetRect(&args.rect, -args.rect.left, -args.rect.top);
    args.title = title;
    args.parent = owner;
    return CreateWindowOf(kClass, args);
}

void ModalDialog::AddRunAndCancel(int runId, int runX, int cancelId, int cancelX, int y) {
    runId_ = runId;
    cancelId_ = cancelId;
    AddControl(hwnd, L"BUTTON", L"実行", WS_TABSTOP | BS_PUSHBUTTON, ScaleRect(runX, y, 75, 23), runId, Font());
    AddControl(hwnd, L"BUTTON", L"中止", WS_TABSTOP | BS_PUSHBUTTON, ScaleRect(cancelX, y, 75, 23), cancelId, Font());
}

bool ModalDialog::RunModal() {
    if (!hwnd || running_) return false;
    RECT owner{}, self{};
    if (owner_ && IsWindowVisible(owner_)) {
        GetWindowRect(owner_, &owner);
    } else {
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &owner, 0);
    }
    GetWindowRect(hwnd, &self);
    const int w = self.right - self.left, h = self.bottom - self.top;
    SetWindowPos(hwnd, nullptr, owner.left + (owner.right - owner.left - w) / 2,
                 owner.top + (owner.bottom - owner.top - h) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER);

    running_ = true;
    result_ = false;
    if (owner_) EnableWindow(owner_, FALSE);
    ShowWindow(hwnd, SW_SHOW);
    SetFocus(GetNextDlgTabItem(hwnd, nullptr, FALSE));
    MSG msg;
    bool quit = false;
    int exitCode = 0;
    while (running_) {
        if (GetMessageW(&msg, nullptr, 0, 0) <= 0) {
            quit = true;
            exitCode = static_cast<int>(msg.wParam);
            break;
        }
        if (IsDialogMessageW(hwnd, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    running_ = false;
    if (owner_) EnableWindow(owner_, TRUE);
    ShowWindow(hwnd, SW_HIDE);
    if (owner_) SetActiveWindow(owner_);
    if (quit) PostQuitMessage(exitCode);  // the outer loop must see it too
    return result_;
}

void ModalDialog::End(bool ok) {
    result_ = ok;
    running_ = false;
    // Wakes GetMessageW when End runs outside a message (a test's hook, say).
    PostMessageW(hwnd, WM_NULL, 0, 0);
}

}  // namespace tabulon::ui
