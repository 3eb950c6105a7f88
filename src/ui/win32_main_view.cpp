#include "ui/win32_main_view.h"

#include <commctrl.h>

#include "platform/win_text.h"
#include "platform/window_system_win.h"
#include "ui/main_window.h"
#include "ui/window_text.h"

namespace tabulon::ui {

Win32MainView::Win32MainView(MainWindow& window, MessageBoxFn messageBox)
    : window_(window), messageBox_(std::move(messageBox)) {
    if (!messageBox_) {
        messageBox_ = [](HWND owner, const std::wstring& text, const std::wstring& caption, UINT type) {
            return MessageBoxW(owner, text.c_str(), caption.c_str(), type);
        };
    }
}

HWND Win32MainView::ControlOf(Ctl control) const {
    switch (control) {
        case Ctl::Label4: return window_.Control(kLabel + 4);
        case Ctl::Label13: return window_.Control(kLabel + 13);
        case Ctl::Edit14: return window_.Control(kEdit + 14);
        case Ctl::Edit15: return window_.Control(kEdit + 15);
        default: return window_.Control(kEdit + 1 + (static_cast<int>(control) - static_cast<int>(Ctl::Edit1)));
    }
}

std::string Win32MainView::Text(Ctl control) {
    return WideToUtf8(WindowText(ControlOf(control)));
}

void Win32MainView::SetText(Ctl control, std::string_view text) {
    SetWindowTextW(ControlOf(control), Utf8ToWide(text).c_str());
}

void Win32MainView::SetEdit1Red(bool red) {
    if (red == edit1Red_) return;
    edit1Red_ = red;
    InvalidateRect(ControlOf(Ctl::Edit1), nullptr, TRUE);
}

size_t Win32MainView::Edit1Caret() {
    DWORD start = 0;
    SendMessageW(ControlOf(Ctl::Edit1), EM_GETSEL, reinterpret_cast<WPARAM>(&start), 0);
    return start;
}

bool Win32MainView::CellLinesChecked() {
    return SendMessageW(window_.Control(kCheckBox1), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void Win32MainView::SetCellLinesChecked(bool checked) {
    SendMessageW(window_.Control(kCheckBox1), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool Win32MainView::LookChecked(LookCheck box) {
    return SendMessageW(window_.Control(kCheckBox2 + static_cast<int>(box)), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void Win32MainView::SetLookChecked(LookCheck box, bool checked) {
    SendMessageW(window_.Control(kCheckBox2 + static_cast<int>(box)), BM_SETCHECK,
                 checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void Win32MainView::DrawingChanged() {
    window_.DrawingChanged();
}

bool Win32MainView::IsFlat(int button) const {
    return (GetWindowLongPtrW(window_.Control(kSpeedButton1 + button - 1), GWL_STYLE) & BS_FLAT) != 0;
}

void Win32MainView::ShowAlignment(int txtAlign) {
    for (int button = 1; button <= 3; ++button) {
        HWND hwnd = window_.Control(kSpeedButton1 + button - 1);
        LONG_PTR style = GetWindowLongPtrW(hwnd, GWL_STYLE);
        const LONG_PTR wanted = button == txtAlign ? (style & ~static_cast<LONG_PTR>(BS_FLAT)) : (style | BS_FLAT);
        if (wanted == style) continue;
        SetWindowLongPtrW(hwnd, GWL_STYLE, wanted);
        InvalidateRect(hwnd, nullptr, TRUE);
    }
}

int32_t Win32MainView::GridCol() {
    return window_.StringGrid1().CurrentCell().col;
}

int32_t Win32MainView::GridRow() {
    return window_.StringGrid1().CurrentCell().row;
}

int32_t Win32MainView::GridColCount() {
    return window_.StringGrid1().ColCount();
}

int32_t Win32MainView::GridRowCount() {
    return window_.StringGrid1().RowCount();
}

GridRect Win32MainView::GridSelection() {
    const GridRange r = window_.StringGrid1().Selection();
    return {r.left, r.top, r.right, r.bottom};
}

void Win32MainView::SetGridSelection(const GridRect& s) {
    window_.StringGrid1().SetSelection({s.left, s.top, s.right, s.bottom});
}

void Win32MainView::RepaintGrid() {
    HWND grid = window_.StringGrid1().hwnd;
    if (gridRedraw_) RedrawWindow(grid, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

bool Win32MainView::InSummary(int col, int row) {
    return row >= 0 && col >= 0 && row < kSummaryRows && col < kSummaryCols;
}

const std::string& Win32MainView::SummaryText(int col, int row) const {
    static const std::string none;
    return InSummary(col, row) ? summary_[row][col] : none;
}

std::string Win32MainView::SummaryCell(int col, int row) {
    return SummaryText(col, row);
}

void Win32MainView::SetSummaryCell(int col, int row, std::string_view text) {
    if (!InSummary(col, row)) return;
    summary_[row][col] = std::string(text);
    window_.StringGrid2().InvalidateCell(col, row);
}

int Win32MainView::Box(HWND owner, std::string_view text, const wchar_t* caption, UINT type) {
    return messageBox_(owner, Utf8ToWide(text), caption, type);
}

bool Win32MainView::AskYesNo(QuestionOwner owner, std::string_view text) {
    HWND hwnd = owner == QuestionOwner::CellGrid ? window_.StringGrid1().hwnd : window_.hwnd;
    return Box(hwnd, text, L"確認", MB_YESNO) == IDYES;
}

void Win32MainView::ShowError(std::string_view text) {
    Box(window_.hwnd, text, L"Tabulon", MB_OK | MB_ICONERROR);
}

void Win32MainView::ShowMessage(std::string_view text) {
    // Without an owner the box is centred on the screen; task-modal keeps the
    // main window from taking input meanwhile.
    Box(nullptr, text, L"Tabulon", MB_OK | MB_TASKMODAL);
}

void Win32MainView::ShowInfo(std::string_view text) {
    Box(window_.hwnd, text, L"メッセージ", MB_OK);
}

void Win32MainView::SetCaption(std::string_view text) {
    SetWindowTextW(window_.hwnd, Utf8ToWide(text).c_str());
}

void Win32MainView::SetCaptureEnabled(bool enabled) {
    EnableWindow(window_.Control(kButton3), enabled);
    EnableWindow(window_.Control(kFileCaptureButton), enabled);
}

void Win32MainView::SetInsertEnabled(bool enabled) {
    EnableWindow(window_.Control(kButton4), enabled);
}

void Win32MainView::SetProgressMax(int32_t max) {
    SendMessageW(window_.Control(kProgressBar1), PBM_SETRANGE32, 0, max);
}

void Win32MainView::SetProgress(int32_t position) {
    SendMessageW(window_.Control(kProgressBar1), PBM_SETPOS, static_cast<WPARAM>(position), 0);
}

void Win32MainView::ProcessMessages() {
    DispatchWaitingMessages();
}

void Win32MainView::SetGridRedraw(bool on) {
    gridRedraw_ = on;
    SendMessageW(window_.StringGrid1().hwnd, WM_SETREDRAW, on ? TRUE : FALSE, 0);
}

void Win32MainView::SetGridSize(int32_t cols, int32_t rows) {
    window_.StringGrid1().SetColCount(cols);
    window_.StringGrid1().SetRowCount(rows);
}

void Win32MainView::SetGridColWidth(int32_t col, int32_t pixels) {
    window_.StringGrid1().SetColWidth(col, pixels);
}

void Win32MainView::SetGridRowHeight(int32_t row, int32_t pixels) {
    window_.StringGrid1().SetRowHeight(row, pixels);
}

void Win32MainView::SetGridCurrentCell(int32_t col, int32_t row) {
    window_.StringGrid1().SetCurrentCell(col, row);
}

char Win32MainView::DecimalSeparator() {
    wchar_t buffer[8] = {};
    if (GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, buffer, 8) > 0 && buffer[0] > 0 &&
        buffer[0] < 0x80) {
        return static_cast<char>(buffer[0]);
    }
    return '.';
}

int Win32MainView::CompareTextIgnoreCase(std::string_view a, std::string_view b) {
    const std::wstring wa = Utf8ToWide(a), wb = Utf8ToWide(b);
    const int result =
        CompareStringEx(LOCALE_NAME_USER_DEFAULT, NORM_IGNORECASE, wa.c_str(), static_cast<int>(wa.size()), wb.c_str(),
                        static_cast<int>(wb.size()), nullptr, nullptr, 0);
    return result == 0 ? a.compare(b) : result - CSTR_EQUAL;
}

}  // namespace tabulon::ui
