#include "ui/modal_dialog.h"

#include "ui/layout.h"
#include "ui/window_class.h"

namespace tabulon::ui {

namespace {
constexpr wchar_t kClass[] = L"TabulonModalDialog";
}

LRESULT CALLBACK ModalDialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTW*>(lp);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
    }
    auto* self = reinterpret_cast<ModalDialog*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self) {
        switch (msg) {
            case WM_COMMAND:
                // Neither button is the default or cancel button: Enter and Escape,
                // which arrive as IDOK and IDCANCEL, do nothing.
                if (LOWORD(wp) != IDOK && LOWORD(wp) != IDCANCEL) self->OnCommand(LOWORD(wp), HIWORD(wp));
                return 0;
            case WM_CLOSE:
                // The close box cancels; the window lives on for the next use.
                self->End(false);
                return 0;
            case WM_NCDESTROY:
                // Destroyed with its owner: the handle must not be destroyed again.
                self->hwnd = nullptr;
                self->running_ = false;
                break;
        }
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

ModalDialog::~ModalDialog() {
    if (hwnd) DestroyWindow(hwnd);
}

bool ModalDialog::CreateFrame(HWND owner, const wchar_t* title, int clientWidth, int clientHeight, HFONT font) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    if (!RegisterWindowClassOnce(instance, kClass, ModalDialogProc)) return false;
    owner_ = owner;
    font_ = font;
    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    const DWORD exStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
    RECT r{0, 0, ScalePx(clientWidth), ScalePx(clientHeight)};
    AdjustWindowRectEx(&r, style, FALSE, exStyle);
    hwnd = CreateWindowExW(exStyle, kClass, title, style, 0, 0, r.right - r.left, r.bottom - r.top, owner, nullptr,
                           instance, this);
    return hwnd != nullptr;
}

HWND ModalDialog::AddControl(const wchar_t* cls, const wchar_t* text, DWORD style, int x, int y, int w, int h, int id) {
    const RECT r = ScaleRect(x, y, w, h);
    DWORD exStyle = wcscmp(cls, L"EDIT") == 0 ? WS_EX_CLIENTEDGE : 0;
    HWND control = CreateWindowExW(exStyle, cls, text, WS_CHILD | WS_VISIBLE | style, r.left, r.top, r.right - r.left,
                                   r.bottom - r.top, hwnd, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                   GetModuleHandleW(nullptr), nullptr);
    if (control && font_) SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    return control;
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
