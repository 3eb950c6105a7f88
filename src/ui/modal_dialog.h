// A window that is created once, hidden, and shown modally over its owner when
// needed; what its controls hold survives between showings.
#pragma once

#include <windows.h>

namespace tabulon::ui {

class ModalDialog {
public:
    virtual ~ModalDialog();
    ModalDialog() = default;
    ModalDialog(const ModalDialog&) = delete;
    ModalDialog& operator=(const ModalDialog&) = delete;

    HWND hwnd = nullptr;
    HWND Control(int id) const { return GetDlgItem(hwnd, id); }

    // Runs until "実行" (true), "中止" or the close box (false). Centred over the owner.
    bool RunModal();
    // Ends a RunModal in progress with the given result.
    void End(bool ok);
    bool IsShowing() const { return running_; }

protected:
    // A fixed-size frame without minimise or maximise box, hidden.
    bool CreateFrame(HWND owner, const wchar_t* title, int clientWidth, int clientHeight, HFONT font);
    HWND AddControl(const wchar_t* cls, const wchar_t* text, DWORD style, int x, int y, int w, int h, int id);
    virtual void OnCommand(int id, int code) = 0;

private:
    friend LRESULT CALLBACK ModalDialogProc(HWND, UINT, WPARAM, LPARAM);

    HWND owner_ = nullptr;
    HFONT font_ = nullptr;
    bool running_ = false;
    bool result_ = false;
};

}  // namespace tabulon::ui
