// Shows the real main window with a small equipment schedule loaded, for the
// screenshots of scripts/screenshots.sh. Not part of the shipped program.
//
//   tabulon_screenshot.exe PAGE SECONDS   (PAGE 0, 1 or 2, the preview; closes itself after SECONDS)
//
// With --merged-selection PICTURE.bmp it clicks the header of the column that
// holds the merged title, as a user would, saves the screen as it then shows
// to PICTURE.bmp, and checks that picture: the selected title keeps its light
// cyan, reads in dark text and shows the selection as a frame. It exits 1 and
// says why when it does not.
//
// With --preview-borders PICTURE.bmp it shows the preview tab, saves the screen
// to PICTURE.bmp and checks that the pane shows a dark line on every column
// and row boundary of the bordered schedule, and none inside the cells' blank
// margins. It exits 1 and says why when it does not.
#include <windows.h>
// after windows.h
#include <commctrl.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include "core/drawing_sizes.h"
#include "platform/platform_services.h"
#include "platform/win_text.h"
#include "support/screen_picture.h"
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

void PumpFor(DWORD milliseconds) {
    const ULONGLONG end = GetTickCount64() + milliseconds;
    do {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(20);
    } while (GetTickCount64() < end);
}

int Luminance(COLORREF c) {
    return (GetRValue(c) * 30 + GetGValue(c) * 59 + GetBValue(c) * 11) / 100;
}

// The window redrawn and the screen read back, saved at picturePath for people
// to look at; nothing when the screen cannot be read.
std::optional<test::ScreenPicture> ReadScreen(ui::MainWindow& window, const std::wstring& picturePath,
                                              const char* check) {
    RedrawWindow(window.hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    PumpFor(1500);
    test::ScreenPicture picture;
    if (!picture.Take()) {
        std::printf("%s: the screen could not be read\n", check);
        return std::nullopt;
    }
    if (!picture.SaveBmp(picturePath)) std::printf("%s: no picture at %s\n", check, WideToUtf8(picturePath).c_str());
    return picture;
}

// The header click over the merged title, the screen read back, and what a
// user must be able to see in it.
int CheckMergedSelection(ui::MainWindow& window, const std::wstring& picturePath) {
    ui::Grid& grid = window.StringGrid1();
    RECT header;
    if (!grid.CellRect(1, 0, &header)) {
        std::printf("merged selection: the column header is not in view\n");
        return 1;
    }
    // The pointer away from the grid, so that no hint covers it.
    SetCursorPos(0, 0);
    const LPARAM at = MAKELPARAM((header.left + header.right) / 2, (header.top + header.bottom) / 2);
    SendMessageW(grid.hwnd, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(grid.hwnd, WM_LBUTTONUP, 0, at);
    const std::optional<test::ScreenPicture> screen = ReadScreen(window, picturePath, "merged selection");
    if (!screen) return 1;
    const test::ScreenPicture& picture = *screen;

    int failures = 0;
    auto expect = [&failures](bool ok, const char* what) {
        if (!ok) {
            std::printf("merged selection: %s\n", what);
            ++failures;
        }
    };
    const ui::GridRange selection = grid.Selection();
    expect(selection.left == 1 && selection.right == 1 && selection.top == 1 && selection.bottom == 6,
           "the header click did not select the title's column");

    // The title cell (1, 1), selected, and its merged neighbour (2, 1), not.
    RECT title, beside;
    grid.CellRect(1, 1, &title);
    grid.CellRect(2, 1, &beside);
    MapWindowPoints(grid.hwnd, nullptr, reinterpret_cast<POINT*>(&title), 2);
    MapWindowPoints(grid.hwnd, nullptr, reinterpret_cast<POINT*>(&beside), 2);
    const int frame = ui::kMergedSelectionFrame;
    int darkest = 255;
    for (int y = title.top + frame; y < title.bottom - frame; ++y)
        for (int x = title.left + frame; x < title.right - frame; ++x)
            darkest = std::min(darkest, Luminance(picture.At(x, y)));
    expect(darkest < 80, "the selected title's text is not dark: it cannot be read on the light cyan");
    expect(picture.At(title.right - frame - 1, title.bottom - frame - 1) == kMergedCellColor,
           "the selected title lost its light cyan");
    // The inner ring of the frame: the focus rectangle dots only the outer one.
    const COLORREF selected = GetSysColor(COLOR_HIGHLIGHT);
    expect(picture.At(title.left + frame - 1, (title.top + title.bottom) / 2) == selected &&
               picture.At((title.left + title.right) / 2, title.bottom - frame) == selected,
           "the selected title shows no selection frame");
    expect(picture.At(beside.left, beside.bottom - 1) == kMergedCellColor,
           "the merged cell beside the selection is framed too");
    if (failures == 0) std::printf("merged selection: readable, light cyan, framed\n");
    return failures == 0 ? 0 : 1;
}

// The preview tab as the screen shows it: a line on every border of the table.
int CheckPreviewBorders(ui::MainWindow& window, const std::wstring& picturePath) {
    window.SelectPage(2);
    SetCursorPos(0, 0);
    const std::optional<test::ScreenPicture> screen = ReadScreen(window, picturePath, "preview borders");
    if (!screen) return 1;
    const test::ScreenPicture& picture = *screen;
    ui::PreviewPane& pane = window.Preview();
    const ui::PreviewTransform at = pane.Transform();
    POINT origin{0, 0};
    ClientToScreen(pane.hwnd, &origin);
    auto darkNear = [&](double x, double y) {
        for (int d = -1; d <= 1; ++d) {
            for (int e = -1; e <= 1; ++e) {
                const int px = origin.x + static_cast<int>(std::lround(x)) + d;
                const int py = origin.y + static_cast<int>(std::lround(y)) + e;
                if (Luminance(picture.At(px, py)) < 128) return true;
            }
        }
        return false;
    };
    const CellTable& table = window.Model().table;
    int failures = 0;
    // Down the left edge of each column, beside the middle of the last row.
    double x = 0, rowMid = 0;
    for (int r = 1; r < table.TableRows; ++r) rowMid -= table.At(r, 1).drawH;
    rowMid -= table.At(table.TableRows, 1).drawH / 2;
    for (int c = 1; c <= table.TableCols + 1; ++c) {
        if (!darkNear(at.DeviceX(x), at.DeviceY(rowMid))) {
            std::printf("preview borders: no line left of column %d\n", c);
            ++failures;
        }
        if (c <= table.TableCols) x += table.At(1, c).drawW;
    }
    // Across the top of each row, a little in from the left edge, where no text is.
    double y = 0;
    const double margin = table.At(1, 1).drawW / 20;
    for (int r = 1; r <= table.TableRows + 1; ++r) {
        if (!darkNear(at.DeviceX(margin), at.DeviceY(y))) {
            std::printf("preview borders: no line above row %d\n", r);
            ++failures;
        }
        if (r <= table.TableRows && darkNear(at.DeviceX(margin), at.DeviceY(y - table.At(r, 1).drawH / 2))) {
            std::printf("preview borders: a line inside the margin of row %d\n", r);
            ++failures;
        }
        if (r <= table.TableRows) y -= table.At(r, 1).drawH;
    }
    if (failures == 0) std::printf("preview borders: a line on every border\n");
    return failures == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    tabulon::UsePlatformServices();
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_TAB_CLASSES | ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&icc);
    const bool checkMergedSelection = argc > 2 && std::strcmp(argv[1], "--merged-selection") == 0;
    const bool checkPreview = argc > 2 && std::strcmp(argv[1], "--preview-borders") == 0;
    const bool check = checkMergedSelection || checkPreview;
    const int page = argc > 1 && !check ? std::atoi(argv[1]) : 0;
    const int seconds = argc > 2 && !check ? std::atoi(argv[2]) : 10;

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
    if (page >= 1 && page <= 2) window.SelectPage(page);
    ShowWindow(window.hwnd, SW_SHOW);
    if (check) {
        // main's arguments come in the ANSI code page.
        std::wstring picture(MAX_PATH * 2, L'\0');
        picture.resize(static_cast<size_t>(std::max(
            0, MultiByteToWideChar(CP_ACP, 0, argv[2], -1, picture.data(), static_cast<int>(picture.size())) - 1)));
        const int status =
            checkMergedSelection ? CheckMergedSelection(window, picture) : CheckPreviewBorders(window, picture);
        DestroyWindow(window.hwnd);
        DeleteFileW(window.IniPath().c_str());
        return status;
    }
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
