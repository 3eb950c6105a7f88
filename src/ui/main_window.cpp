// Creation and placement of the main window and its controls.
#include "ui/main_window.h"

#include <commctrl.h>

#include <algorithm>

#include "app/data_paths.h"
#include "core/errors.h"
#include "core/table_dxf.h"
#include "platform/data_folder_win.h"
#include "platform/win_text.h"
#include "ui/back_calc_dialog.h"
#include "ui/replace_dialog.h"

namespace tabulon::ui {

namespace {

constexpr wchar_t kPageClass[] = L"TabulonTabPage";
constexpr wchar_t kTitle[] = L"Tabulon 2023.02.04 (64bit)";

// A tab's page hands its controls' notifications to the main window.
LRESULT CALLBACK PageProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_COMMAND:
        case WM_NOTIFY:
        case WM_CTLCOLOREDIT: return SendMessageW(GetAncestor(hwnd, GA_ROOT), msg, wp, lp);
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

// The executable's full path.
std::wstring ExecutablePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n < path.size()) {
            path.resize(n);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

// The settings file and the drawing, named for the executable, where they can
// be written (ChooseDataPaths); programFolder stands for the executable's own.
DataPaths DataPathsOfThisProgram(const std::wstring& programFolder) {
    const std::wstring exe = ExecutablePath();
    const size_t slash = exe.find_last_of(L"\\/");
    std::wstring stem = slash == std::wstring::npos ? exe : exe.substr(slash + 1);
    const size_t dot = stem.find_last_of(L'.');
    if (dot != std::wstring::npos) stem.resize(dot);
    const std::wstring folder = !programFolder.empty()        ? programFolder
                                : slash == std::wstring::npos ? L"."
                                                              : exe.substr(0, slash);
    const bool writable = FolderCanBeWritten(folder);
    return ChooseDataPaths(writable, WideToUtf8(folder), writable ? std::string() : WideToUtf8(UserDataFolder()),
                           WideToUtf8(stem));
}

UniqueHfont Tahoma(int pixels) {
    return UniqueHfont(CreateFontW(-ScalePx(pixels), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                   OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                   DEFAULT_PITCH | FF_DONTCARE, L"Tahoma"));
}

}  // namespace

MainWindow::MainWindow() = default;

MainWindow::~MainWindow() {
    // Destroyed while still attached, so that WM_DESTROY ends the message loop
    // as a close would.
    if (hwnd) DestroyWindow(hwnd);
}

bool MainWindow::Create(MainWindowArgs args) {
    args_ = std::move(args);
    if (args_.iniPath.empty() || args_.dxfPath.empty()) {
        const DataPaths paths = DataPathsOfThisProgram(args_.programFolder);
        if (args_.iniPath.empty()) args_.iniPath = Utf8ToWide(paths.iniPath);
        if (args_.dxfPath.empty()) args_.dxfPath = Utf8ToWide(paths.dxfPath);
    }
    iniPath_ = args_.iniPath;
    dxfPath_ = args_.dxfPath;
    if (!args_.attach) args_.attach = [](const std::string&) { return std::unique_ptr<SpreadsheetSession>(); };

    view_ = std::make_unique<Win32MainView>(*this, args_.messageBox);
    startup_.emplace(model_, *view_);
    sizes_.emplace(model_, *view_);
    gridLogic_.emplace(model_, *view_);
    draw_.emplace(model_, *view_, WideToUtf8(dxfPath_), args_.insertIntoCad);
    textTools_.emplace(model_, *view_);
    capture_.emplace(model_, *view_, *sizes_, args_.attach);

    // The tab pages hold no state of their own.
    if (!RegisterWindowClassOnce({.name = kPageClass}, PageProc)) return false;
    WindowCreateArgs window;
    window.exStyle = WS_EX_APPWINDOW;
    window.title = kTitle;
    window.style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
    RECT r{0, 0, ScalePx(432), ScalePx(376)};
    AdjustWindowRectEx(&r, window.style, FALSE, 0);
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int w = r.right - r.left, h = r.bottom - r.top;
    const int x = work.left + (work.right - work.left - w) / 2, y = work.top + (work.bottom - work.top - h) / 2;
    window.rect = {x, y, x + w, y + h};
    // WM_CREATE builds the controls and runs FormCreate.
    static const WindowClassArgs kMainClass{.name = L"TabulonMainWindow", .icon = LoadIconW(nullptr, IDI_APPLICATION)};
    return CreateWindowOf(kMainClass, window);
}

void MainWindow::AttachDialogs(ReplaceDialog& replace, BackCalcDialogWindow& backCalc) {
    replace_ = &replace;
    backCalc_.emplace(model_, *view_, backCalc, *sizes_);
}

void MainWindow::AttachWorkbookChooser(WorkbookChooser& chooser) {
    fileCapture_.emplace(model_, *view_, *sizes_, workbookReader_, chooser);
    if (!pendingWorkbook_.empty()) fileCapture_->SetPendingWorkbook(pendingWorkbook_);
}

void MainWindow::OpenWorkbookOnNextCapture(std::string path) {
    pendingWorkbook_ = path;
    if (fileCapture_) fileCapture_->SetPendingWorkbook(std::move(path));
}

HWND MainWindow::Control(int id) const {
    for (HWND page : pages_) {
        if (HWND control = page ? GetDlgItem(page, id) : nullptr) return control;
    }
    return nullptr;
}

void MainWindow::AddHint(HWND control, const wchar_t* hint) {
    TOOLINFOW ti{};
    ti.cbSize = sizeof(ti);
    ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    ti.hwnd = hwnd;
    ti.uId = reinterpret_cast<UINT_PTR>(control);
    ti.lpszText = const_cast<wchar_t*>(hint);
    SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
}

void MainWindow::PlacePages() {
    RECT client{};
    GetClientRect(hwnd, &client);
    MoveWindow(tab_, 0, 0, client.right, client.bottom, TRUE);
    RECT page = client;
    TabCtrl_AdjustRect(tab_, FALSE, &page);
    for (HWND p : pages_) {
        if (p) MoveWindow(p, page.left, page.top, page.right - page.left, page.bottom - page.top, TRUE);
    }
}

void MainWindow::CreateControls() {
    baseFont_ = Tahoma(11);
    gridFont_ = Tahoma(13);
    HINSTANCE instance = GetModuleHandleW(nullptr);

    RECT client{};
    GetClientRect(hwnd, &client);
    tab_ = CreateWindowExW(0, WC_TABCONTROLW, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, 0, client.right,
                           client.bottom, hwnd, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kPageControl1)), instance,
                           nullptr);
    SendMessageW(tab_, WM_SETFONT, reinterpret_cast<WPARAM>(baseFont_.get()), FALSE);
    const wchar_t* captions[] = {L" 取得、描画", L" 設定、確認", L" プレビュー"};
    for (int i = 0; i < kPageCount; ++i) {
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<wchar_t*>(captions[i]);
        SendMessageW(tab_, TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&item));
    }
    tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, 0, 0,
                               0, 0, hwnd, nullptr, instance, nullptr);
    SendMessageW(tooltip_, TTM_SETMAXTIPWIDTH, 0, ScalePx(400));

    for (int i = 0; i < kPageCount; ++i) {
        // The second page's group boxes are transparent: the page must paint under them.
        const DWORD clip = (i == 1 ? 0 : WS_CLIPCHILDREN) | (i == 0 ? WS_VISIBLE : 0);
        pages_[i] = CreateWindowExW(WS_EX_CONTROLPARENT, kPageClass, L"", WS_CHILD | WS_CLIPSIBLINGS | clip, 0, 0, 0, 0,
                                    hwnd, nullptr, instance, nullptr);
        SetWindowPos(pages_[i], HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    }
    PlacePages();
    CreateFirstPage(pages_[0]);
    CreateSecondPage(pages_[1]);
    CreatePreviewPage(pages_[2]);
    CreatePopupMenu1();
}

void MainWindow::CreateFirstPage(HWND page) {
    const HFONT font = baseFont_.get();
    const DWORD button = WS_TABSTOP | BS_PUSHBUTTON;
    HWND b3 = AddControl(page, L"BUTTON", L"Excel から取得", button, ScaleRect(324, 1, 90, 25), kButton3, font);
    HWND b4 =
        AddControl(page, L"BUTTON", L"CAD へ挿入", button | WS_DISABLED, ScaleRect(324, 32, 90, 36), kButton4, font);
    HWND b2 = AddControl(page, L"BUTTON", L"Bricscad へ描画", button, ScaleRect(8, 1, 90, 25), kButton2, font);
    HWND bFile = AddControl(page, L"BUTTON", L"ファイルから取得", button, ScaleRect(100, 1, 88, 25),
                            kFileCaptureButton, font);
    ShowWindow(b2, SW_HIDE);  // never shown
    HWND l1 = AddControl(page, L"STATIC", L"対象セル：", 0, ScaleRect(192, 3, 70, 14), kLabel + 1, font);
    HWND e2 = AddControl(page, L"EDIT", L"", ES_READONLY | ES_AUTOHSCROLL, ScaleRect(194, 22, 50, 24), kEdit + 2,
                         gridFont_.get());
    HWND l2 = AddControl(page, L"STATIC", L"～", 0, ScaleRect(250, 24, 16, 14), kLabel + 2, font);
    HWND e3 = AddControl(page, L"EDIT", L"", ES_READONLY | ES_AUTOHSCROLL, ScaleRect(268, 22, 50, 24), kEdit + 3,
                         gridFont_.get());
    // Short of Edit2, which it would otherwise cover.
    AddControl(page, L"STATIC", L"", SS_LEFTNOWORDWRAP, ScaleRect(8, 32, 184, 14), kLabel + 4, font);
    const DWORD number = WS_TABSTOP | ES_RIGHT | ES_AUTOHSCROLL;
    HWND e13 = AddControl(page, L"EDIT", L"", number, ScaleRect(8, 52, 49, 21), kEdit + 13, font);
    const wchar_t* speedCaptions[] = {L"左", L"中", L"右"};
    const wchar_t* speedHints[] = {L"文字基点 [左]", L"文字基点 [中]", L"文字基点 [右]"};
    for (int i = 0; i < 3; ++i) {
        HWND sb = AddControl(page, L"BUTTON", speedCaptions[i], BS_PUSHBUTTON | BS_FLAT,
                             ScaleRect(61 + 21 * i, 50, 23, 22), kSpeedButton1 + i, font);
        AddHint(sb, speedHints[i]);
    }
    HWND e11 = AddControl(page, L"EDIT", L"", number, ScaleRect(133, 52, 49, 21), kEdit + 11, font);
    HWND e12 = AddControl(page, L"EDIT", L"", number, ScaleRect(188, 52, 49, 21), kEdit + 12, font);
    HWND cb = AddControl(page, L"BUTTON", L"セルを描画", WS_TABSTOP | BS_AUTOCHECKBOX, ScaleRect(249, 52, 71, 17),
                         kCheckBox1, font);
    HWND e1 = AddControl(page, L"EDIT", L"", WS_TABSTOP | ES_AUTOHSCROLL, ScaleRect(8, 74, 364, 24), kEdit + 1,
                         gridFont_.get());
    HWND l13 = AddControl(page, L"STATIC", L"", SS_LEFTNOWORDWRAP, ScaleRect(378, 80, 44, 14), kLabel + 13, font);

    RECT area{};
    GetClientRect(page, &area);
    GridCreateArgs grid;
    grid.parent = page;
    grid.id = kStringGrid1;
    grid.font = gridFont_.get();
    grid.rect = {0, ScalePx(99), area.right, std::max<LONG>(ScalePx(99), area.bottom - ScalePx(9))};
    grid.defaultRowHeight = 20;
    grid.defaultColWidth = 64;
    grid1_.Create(grid);
    HWND progress = CreateWindowExW(
        0, PROGRESS_CLASSW, L"", WS_CHILD | WS_VISIBLE, 0, area.bottom - ScalePx(9), area.right, ScalePx(9), page,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(kProgressBar1)), GetModuleHandleW(nullptr), nullptr);

    AddHint(b3, L"アクティブな Excel から選択範囲を取得します");
    AddHint(bFile, L"ブック (.xlsx) のシートと範囲を選んで取得します");
    AddHint(b4, L"DXF ファイル作成,、AutoCAD, Bricscad に挿入");
    AddHint(e13, L"文字高さ [Enter]で更新");
    AddHint(e11, L"列幅 [Enter]で更新");
    AddHint(e12, L"行高さ [Enter]で更新");
    AddHint(e1, L"赤文字の時：改行コードが含まれている");
    AddHint(grid1_.hwnd, L"範囲選択=固定部クリック or [Shift]+矢印キー. 右クリックで選択範囲の文字変換メニュー");

    for (HWND right : {b3, b4, b2, l1, e2, l2, e3, cb, l13}) layout_.Add(right, kAnchorRight);
    layout_.Add(bFile, kAnchorRight);
    layout_.Add(e1, kStretchX);
    layout_.Add(grid1_.hwnd, kStretchX | kStretchY);
    layout_.Add(progress, kStretchX | kAnchorBottom);

    for (HWND edit : {e1, e11, e12, e13}) SubclassControl<&MainWindow::EditProc>(edit, this);
}

void MainWindow::CreateSecondPage(HWND page) {
    const HFONT font = baseFont_.get();
    AddControl(page, L"BUTTON", L"表示", BS_GROUPBOX, ScaleRect(3, 3, 166, 70), kGroupBox1, font);
    AddControl(page, L"BUTTON", L"CAD, DXF", BS_GROUPBOX, ScaleRect(3, 75, 166, 182), kGroupBox2, font);
    const DWORD number = WS_TABSTOP | ES_RIGHT | ES_AUTOHSCROLL;
    struct Line {
        int label;
        const wchar_t* caption;
        int edit;  // 0: none
        int y;
    };
    const Line lines[] = {
        {7, L"X 尺度", 4, 20},   {8, L"Y 尺度", 5, 45},     {15, L"X 尺度", 6, 93},
        {16, L"Y 尺度", 7, 117}, {17, L"文字尺度", 8, 141},
    };
    for (const Line& line : lines) {
        AddControl(page, L"STATIC", line.caption, 0, ScaleRect(14, line.y + 3, 70, 14), kLabel + line.label, font);
        AddControl(page, L"EDIT", L"", number, ScaleRect(92, line.y, 68, 21), kEdit + line.edit, font);
    }
    AddControl(page, L"STATIC", L"文字基点オフセット X 尺度", 0, ScaleRect(14, 166, 150, 14), kLabel + 18, font);
    AddControl(page, L"STATIC", L"文字高さの", 0, ScaleRect(14, 187, 60, 14), kLabel + 9, font);
    AddControl(page, L"EDIT", L"", number, ScaleRect(76, 184, 60, 21), kEdit + 9, font);
    AddControl(page, L"STATIC", L"倍", 0, ScaleRect(140, 187, 20, 14), kLabel + 10, font);
    // The separator-line colour is shown but not editable.
    AddControl(page, L"STATIC", L"セル区切り線の色番号", WS_DISABLED, ScaleRect(14, 210, 150, 14), kLabel + 11, font);
    AddControl(page, L"STATIC", L"( BYLAER = 256 )", WS_DISABLED, ScaleRect(14, 232, 90, 14), kLabel + 12, font);
    AddControl(page, L"EDIT", L"", number | WS_DISABLED, ScaleRect(106, 229, 54, 21), kEdit + 10, font);

    CreateLookGroup(page);

    GridCreateArgs grid;
    grid.parent = page;
    grid.id = kStringGrid2;
    grid.font = baseFont_.get();
    grid.rect = ScaleRect(178, 81, 231, 116);
    grid.editing = false;
    grid.scrollBars = false;
    grid.colCount = 3;
    grid.rowCount = 5;
    grid.fixedRows = 0;  // a fixed label column, and values from the first row on
    grid.defaultRowHeight = 19;
    grid2_.Create(grid);
    SetWindowLongPtrW(grid2_.hwnd, GWL_STYLE, GetWindowLongPtrW(grid2_.hwnd, GWL_STYLE) & ~WS_TABSTOP);
    grid2_.SetColWidth(0, 80);
    grid2_.SetColWidth(1, 380);
    grid2_.SetColWidth(2, -1);  // values read back by the back-calculation, never shown

    AddControl(page, L"BUTTON", L"変更を反映", WS_TABSTOP | BS_PUSHBUTTON, ScaleRect(254, 206, 90, 26), kButton1, font);
    HWND b5 =
        AddControl(page, L"BUTTON", L"逆算", WS_TABSTOP | BS_PUSHBUTTON, ScaleRect(374, 50, 41, 25), kButton5, font);
    ShowWindow(b5, SW_HIDE);  // never shown
}

void MainWindow::CreateLookGroup(HWND page) {
    const HFONT font = baseFont_.get();
    AddControl(page, L"BUTTON", L"シートの見た目", BS_GROUPBOX, ScaleRect(3, 260, 412, 86), kGroupBox3, font);
    struct Box {
        const wchar_t* caption;
        int x, y, width;
    };
    // In LookCheck's order.
    const Box boxes[] = {
        {L"文字をセルに収める", 14, 277, 150},
        {L"縦位置をシートに合わせる", 200, 277, 180},
        {L"罫線の種類を描く", 14, 299, 150},
        {L"塗りつぶしを描く", 200, 299, 180},
    };
    for (int i = 0; i < 4; ++i) {
        const Box& b = boxes[i];
        AddControl(page, L"BUTTON", b.caption, WS_TABSTOP | BS_AUTOCHECKBOX, ScaleRect(b.x, b.y, b.width, 17),
                   kCheckBox2 + i, font);
    }
    const DWORD number = WS_TABSTOP | ES_RIGHT | ES_AUTOHSCROLL;
    AddControl(page, L"STATIC", L"半角文字の幅", 0, ScaleRect(14, 324, 80, 14), kLabel + 19, font);
    AddControl(page, L"EDIT", L"", number, ScaleRect(96, 321, 50, 21), kEdit + 14, font);
    AddControl(page, L"STATIC", L"倍", 0, ScaleRect(150, 324, 20, 14), kLabel + 20, font);
    AddControl(page, L"STATIC", L"行間", 0, ScaleRect(200, 324, 40, 14), kLabel + 21, font);
    AddControl(page, L"EDIT", L"", number, ScaleRect(242, 321, 50, 21), kEdit + 15, font);
    AddControl(page, L"STATIC", L"倍", 0, ScaleRect(296, 324, 20, 14), kLabel + 22, font);
}

void MainWindow::CreatePreviewPage(HWND page) {
    RECT area{};
    GetClientRect(page, &area);
    PreviewCreateArgs args;
    args.parent = page;
    args.rect = area;
    args.id = kPreview;
    // The same call the DXF file is written with, so the preview shows what CAD gets.
    args.source = [this](DrawingSink& sink) {
        ScaleSettings settings = model_.settings;
        settings.cellLineDraw = view_->CellLinesChecked();
        try {
            return DrawTable(model_.table, model_.texts, settings, sink);
        } catch (const TabulonError&) {
            return false;  // sizes too large to draw: an empty pane
        }
    };
    preview_.Create(std::move(args));
    layout_.Add(preview_.hwnd, kStretchX | kStretchY);
}

void MainWindow::CreatePopupMenu1() {
    popup_.reset(CreatePopupMenu());
    struct Item {
        int id;  // 0: separator
        const wchar_t* caption;
    };
    const Item items[] = {
        {kN1, L"半角->全角"},
        {kN12, L"半角->全角（数字のみの文字列は除外）"},
        {kN5, L"半角カナ->全角"},
        {0, nullptr},
        {kN2, L"全角->半角"},
        {kN6, L"全角数字->半角"},
        {kN7, L"全角アルファベット->半角"},
        {0, nullptr},
        {kN9, L"代替文字を含む禁止文字->半角"},
        {0, nullptr},
        {kN4, L"置換"},
    };
    for (const Item& item : items) {
        if (item.id == 0) {
            AppendMenuW(popup_.get(), MF_SEPARATOR, 0, nullptr);
        } else {
            AppendMenuW(popup_.get(), MF_STRING, static_cast<UINT_PTR>(item.id), item.caption);
        }
    }
}

}  // namespace tabulon::ui
