// The main window's messages, routed to the controllers that own the behaviour.
#include "ui/main_window.h"
// after windows.h
#include <commctrl.h>

#include "core/settings_file.h"
#include "platform/profile_win.h"
#include "platform/win_text.h"
#include "ui/replace_dialog.h"

namespace tabulon::ui {

LRESULT MainWindow::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_CREATE: {
            CreateControls();
            ConnectGrids();
            const std::string ini = WideToUtf8(iniPath_);
            startup_->FormCreate([&ini](std::string_view key) { return ReadProfileValue(ini, kSettingsSection, key); });
            return 0;
        }
        case WM_SIZE:
            if (tab_) {
                PlacePages();
                layout_.Apply();
            }
            return 0;
        case WM_COMMAND: OnCommand(LOWORD(wp), HIWORD(wp)); return 0;
        case WM_NOTIFY: return OnNotify(*reinterpret_cast<const NMHDR*>(lp));
        case WM_CTLCOLOREDIT:
            if (reinterpret_cast<HWND>(lp) == Control(kEdit + 1) && view_->Edit1Red()) {
                const LRESULT brush = DefWindowProcW(hwnd, msg, wp, lp);
                SetTextColor(reinterpret_cast<HDC>(wp), RGB(255, 0, 0));
                return brush;
            }
            break;
        case WM_CLOSE: OnClose(); return 0;
        case WM_DESTROY:
            if (args_.quitOnDestroy) PostQuitMessage(0);
            break;
    }
    return Window::WndProc(msg, wp, lp);
}

void MainWindow::CloseIfAsked() {
    if (closeWhenIdle_ && !capture_->Capturing() && !draw_->Inserting()) {
        closeWhenIdle_ = false;
        PostMessageW(hwnd, WM_CLOSE, 0, 0);
    }
}

void MainWindow::OnClose() {
    // A close during a capture arrives while the capture handles messages: end
    // the capture first and close once it has returned, so that it never writes
    // into the table the close releases.
    if (capture_->Capturing()) {
        capture_->Cancel();
        closeWhenIdle_ = true;
        return;
    }
    // An insertion waiting for the user's pick in AutoCAD cannot be called off
    // from here; the window goes out of sight now and closes once it returns.
    if (draw_->Inserting()) {
        ShowWindow(hwnd, SW_HIDE);
        closeWhenIdle_ = true;
        return;
    }
    // FormCloseQuery never refuses; a settings file that cannot be written has
    // been reported by then.
    const std::string ini = WideToUtf8(iniPath_);
    startup_->FormCloseQuery(
        [&ini](std::string_view key, std::string_view value) {
            return WriteProfileValue(ini, kSettingsSection, key, value);
        },
        ini);
    DestroyWindow(hwnd);
}

void MainWindow::SelectPage(int index) {
    if (SendMessageW(tab_, TCM_GETCURSEL, 0, 0) != index) SendMessageW(tab_, TCM_SETCURSEL, index, 0);
    for (int i = 0; i < kPageCount; ++i) ShowWindow(pages_[i], i == index ? SW_SHOW : SW_HIDE);
    sizes_->PageControl1Change(index);
}

void MainWindow::DrawingChanged() {
    preview_.DrawingChanged();
}

LRESULT MainWindow::OnNotify(const NMHDR& header) {
    if (header.hwndFrom == tab_ && header.code == TCN_SELCHANGE) {
        SelectPage(static_cast<int>(SendMessageW(tab_, TCM_GETCURSEL, 0, 0)));
    }
    return 0;
}

void MainWindow::OnCommand(int id, int code) {
    // Menu items arrive with code 0, which is also BN_CLICKED.
    if (id == kEdit + 1) {
        if (code == EN_CHANGE) gridLogic_->Edit1Change();
        return;
    }
    if (code != BN_CLICKED) return;
    switch (id) {
        case kButton1: sizes_->Button1Click(); break;
        case kCheckBox1: DrawingChanged(); break;  // the separator lines come and go
        case kButton2: break;  // "Bricscad へ描画" is never shown and does nothing
        case kButton3:
            capture_->Button3Click();
            CloseIfAsked();
            break;
        case kFileCaptureButton:
            if (fileCapture_) fileCapture_->FileButtonClick();
            break;
        case kButton4:
            draw_->Button4Click();
            CloseIfAsked();
            break;
        case kButton5:
            if (backCalc_) backCalc_->Button5Click();
            break;
        case kSpeedButton1:
        case kSpeedButton2:
        case kSpeedButton3: gridLogic_->SpeedButton1Click(id - kSpeedButton1 + 1); break;
        case kN1: textTools_->N1Click(); break;
        case kN12: textTools_->N12Click(); break;
        case kN5: textTools_->N5Click(); break;
        case kN2: textTools_->N2Click(); break;
        case kN6: textTools_->N6Click(); break;
        case kN7: textTools_->N7Click(); break;
        case kN9: textTools_->N9Click(); break;
        case kN4:
            if (replace_) textTools_->N4Click(*replace_);
            break;
    }
}

LRESULT MainWindow::EditProc(HWND edit, UINT msg, WPARAM wp, LPARAM lp) {
    const int id = GetDlgCtrlID(edit);
    if (msg == WM_CHAR && id >= kEdit + 11 && id <= kEdit + 13) {
        char16_t key = static_cast<char16_t>(wp);
        const bool consumed = id == kEdit + 11   ? sizes_->Edit11KeyPress(key)
                              : id == kEdit + 12 ? sizes_->Edit12KeyPress(key)
                                                 : sizes_->Edit13KeyPress(key);
        if (consumed || key == 0) return 0;
        wp = key;
    }
    const LRESULT result = DefSubclassProc(edit, msg, wp, lp);
    if (msg == WM_KEYUP && id == kEdit + 1) gridLogic_->Edit1KeyUp(static_cast<uint16_t>(wp));
    return result;
}

void MainWindow::ConnectGrids() {
    // The working texts are the cell grid's texts; the summary's are the view's.
    grid1_.cellText = [this](int col, int row, std::wstring& text) { Utf8ToWide(model_.texts.Get(col, row), text); };
    grid2_.cellText = [this](int col, int row, std::wstring& text) { Utf8ToWide(view_->SummaryText(col, row), text); };
    grid1_.onClick = [this](int, int) {
        shownCell_ = grid1_.CurrentCell();
        gridLogic_->StringGrid1Click();
    };
    // Keyboard moves of the current cell count as clicks; a header click selects
    // without one.
    grid1_.onSelectionChanged = [this] {
        if (inFixedCellClick_ || grid1_.CurrentCell() == shownCell_) return;
        shownCell_ = grid1_.CurrentCell();
        gridLogic_->StringGrid1Click();
    };
    grid1_.onFixedCellClick = [this](int col, int row) {
        inFixedCellClick_ = true;
        gridLogic_->StringGrid1FixedCellClick(col, row);
        inFixedCellClick_ = false;
    };
    grid1_.onSetEditText = [this](int col, int row, const std::wstring& text) {
        if (col >= model_.texts.ColCount() || row >= model_.texts.RowCount()) return;
        model_.texts.Set(col, row, WideToUtf8(text));
        // Edit1 follows the current cell's text; its change handler writes it back unchanged.
        if (grid1_.CurrentCell() == GridCell{col, row}) view_->SetText(Ctl::Edit1, model_.texts.Get(col, row));
    };
    grid1_.onContextMenu = [this](POINT screen) {
        TrackPopupMenu(popup_.get(), TPM_LEFTALIGN | TPM_RIGHTBUTTON, screen.x, screen.y, 0, hwnd, nullptr);
    };
    grid1_.onDrawCell = [this](int col, int row, const RECT& rect, GridDrawState state, HDC hdc,
                               const std::wstring& text) { PaintCell(col, row, rect, state, hdc, text); };

    // The summary selects whole rows.
    grid2_.onSelectionChanged = [this] {
        const GridRange sel = grid2_.Selection();
        const GridRange row{1, sel.top, grid2_.ColCount() - 1, sel.top};
        if (!(sel == row)) grid2_.SetSelection(row);
    };
}

void MainWindow::PaintCell(int col, int row, const RECT& rect, const GridDrawState& state, HDC hdc,
                           const std::wstring& text) {
    const CellPaint paint = gridLogic_->StringGrid1DrawCell(col, row, state.fixed);
    if (paint.useDefault) {
        // No table yet: the grid's own look, the background already filled.
        RECT inset{rect.left + 2, rect.top, rect.right - 2, rect.bottom};
        DrawTextW(hdc, text.c_str(), static_cast<int>(text.size()), &inset,
                  DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        return;
    }
    if (paint.mergedBackground) {
        // The light cyan stays under a selection too, so the selection's text
        // colour would be unreadable on it: the text keeps the window's text
        // colour, and a frame in the selection colour shows the selection.
        UniqueHbrush brush(CreateSolidBrush(kMergedCellColor));
        FillRect(hdc, &rect, brush.get());
        SetTextColor(hdc, GetSysColor(COLOR_WINDOWTEXT));
        if (state.selected) {
            UniqueHbrush frame(CreateSolidBrush(GetSysColor(COLOR_HIGHLIGHT)));
            RECT inner = rect;
            for (int k = 0; k < kMergedSelectionFrame; ++k) {
                FrameRect(hdc, &inner, frame.get());
                InflateRect(&inner, -1, -1);
            }
        }
    }
    RECT r{rect.left, rect.top + 2, rect.right - 2, rect.bottom};
    const UINT format = paint.align == CellPaint::Align::Centre  ? DT_CENTER
                        : paint.align == CellPaint::Align::Right ? DT_RIGHT
                                                                 : DT_LEFT;
    DrawTextW(hdc, text.c_str(), static_cast<int>(text.size()), &r, format);
}

}  // namespace tabulon::ui
