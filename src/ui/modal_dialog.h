// A window that is created once, hidden, and shown modally over its owner when
// needed; what its controls hold survives between showings.
#pragma once

#include "ui/window.h"

namespace tabulon::ui {

class ModalDialog : public Window {
public:
    HWND Control(int id) const { return GetDlgItem(hwnd, id); }

    // Runs until "実行" (true), "中止" or the close box (false). Centred over the owner.
    bool RunModal();
    // Ends a RunModal in progress with the given result.
    void End(bool ok);
    bool IsShowing() const { return running_; }

protected:
    // A fixed-size frame without minimise or maximise box, hidden.
    bool CreateFrame(HWND owner, const wchar_t* title, int clientWidth, int clientHeight, HFONT font);
    // The font the dialog's controls are given.
    HFONT Font() const { return font_; }
    HWND Owner() const { return owner_; }
    // "実行" and "中止" side by side on one line, with these ids: clicked, they end
    // the dialog with true and false.
    void AddRunAndCancel(int runId, int runX, int cancelId, int cancelX, int y);
    // Any other control's notification.
    virtual void OnCommand(int /*id*/, int /*code*/) {}

private:
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
    void OnDestroyed() override { running_ = false; }

    HWND owner_ = nullptr;
    HFONT font_ = nullptr;
    bool running_ = false;
    bool result_ = false;
    int runId_ = -1, cancelId_ = -1;
};

}  // namespace tabulon::ui
