// The real main window, created in-process and driven by window messages.
#include "ui/main_window.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "core/drawing_sizes.h"
#include "platform/platform_services.h"
#include "platform/win_text.h"
#include "platform/window_system_win.h"
#include "support/table_builder.h"
#include "ui/back_calc_dialog.h"
#include "ui/replace_dialog.h"
#include "ui/test_window.h"
#include "ui/window_text.h"

namespace tabulon::ui {
namespace {

using namespace tabulon::ui::test;

// The window writes drawings and converts texts through the core.
const bool kServicesHandedOver = (UsePlatformServices(), true);

std::wstring TempPath(const wchar_t* name) {
    wchar_t dir[MAX_PATH];
    GetTempPathW(MAX_PATH, dir);
    return std::wstring(dir) + L"tabulon_ui_" + std::to_wstring(GetCurrentProcessId()) + L"_" + name;
}

std::string ReadFile(const std::wstring& path) {
    std::ifstream in(WideToUtf8(path), std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteFile(const std::wstring& path, const std::string& text) {
    std::ofstream(WideToUtf8(path), std::ios::binary) << text;
}

struct Box {
    HWND owner;
    std::wstring text, caption;
    UINT type;
};

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ini_ = TempPath(L"settings.ini");
        dxf_ = TempPath(L"drawing.dxf");
        DeleteFileW(ini_.c_str());
        DeleteFileW(dxf_.c_str());
    }
    void TearDown() override {
        Close();
        replace_.reset();
        backCalc_.reset();
        DeleteFileW(ini_.c_str());
        DeleteFileW(dxf_.c_str());
        PumpMessages();
    }

    MainWindow& Open() {
        window_ = std::make_unique<MainWindow>();
        MainWindowArgs args;
        args.iniPath = ini_;
        args.dxfPath = dxf_;
        args.programFolder = programFolder_;
        args.quitOnDestroy = false;
        args.insertIntoCad = insert_;
        args.messageBox = [this](HWND owner, const std::wstring& text, const std::wstring& caption, UINT type) {
            boxes_.push_back({owner, text, caption, type});
            return answer_;
        };
        EXPECT_TRUE(window_->Create(std::move(args))) << "error " << GetLastError();
        replace_ = std::make_unique<ReplaceDialog>();
        backCalc_ = std::make_unique<BackCalcDialogWindow>();
        EXPECT_TRUE(replace_->Create(window_->hwnd, window_->BaseFont()));
        EXPECT_TRUE(backCalc_->Create(window_->hwnd, window_->BaseFont()));
        window_->AttachDialogs(*replace_, *backCalc_);
        ShowWindow(window_->hwnd, SW_SHOW);
        UpdateWindow(window_->hwnd);
        PumpMessages();
        return *window_;
    }

    void Close() {
        if (window_ && window_->hwnd) SendMessageW(window_->hwnd, WM_CLOSE, 0, 0);
        window_.reset();
    }

    HWND Ctl(int id) { return window_->Control(id); }

    // A 3 x 4 table as a capture leaves it: texts, sizes, grid shape. Grid cells
    // (2,2) and (3,2) are one merged area.
    void LoadTable() {
        tabulon::test::TestTable t(3, 4);
        t.Merge(2, 2, 1, 2);
        for (int r = 1; r <= 3; ++r) {
            t.texts.Set(0, r, std::to_string(r));
            for (int c = 1; c <= 4; ++c) {
                char text[16];
                std::snprintf(text, sizeof text, "R%dC%d", r, c);
                t.Text(r, c, text);
            }
        }
        for (int c = 1; c <= 4; ++c) t.texts.Set(c, 0, ColumnLetters(c));
        AppModel& m = window_->Model();
        m.table = t.table;
        m.texts = t.texts;
        ComputeDrawingSizes(m.table, m.settings);
        Win32MainView& v = window_->View();
        v.SetGridSize(5, 4);
        v.SetGridCurrentCell(1, 1);
        v.SetInsertEnabled(true);
        v.RepaintGrid();
        PumpMessages();
    }

    void ClickCell(int col, int row) {
        RECT r;
        ASSERT_TRUE(window_->StringGrid1().CellRect(col, row, &r));
        Click(window_->StringGrid1().hwnd, {(r.left + r.right) / 2, (r.top + r.bottom) / 2});
        PumpMessages();
    }

    void Command(int id) {
        SendMessageW(window_->hwnd, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
        PumpMessages();
    }

    std::wstring Hint(HWND control) {
        wchar_t buffer[256] = {};
        TOOLINFOW ti{};
        ti.cbSize = sizeof(ti);
        ti.hwnd = window_->hwnd;
        ti.uId = reinterpret_cast<UINT_PTR>(control);
        ti.lpszText = buffer;
        SendMessageW(window_->Tooltip(), TTM_GETTEXTW, 256, reinterpret_cast<LPARAM>(&ti));
        return buffer;
    }

    std::wstring ini_, dxf_;
    std::wstring programFolder_;  // stands for this program's folder when the window picks the paths
    std::unique_ptr<MainWindow> window_;
    std::unique_ptr<ReplaceDialog> replace_;
    std::unique_ptr<BackCalcDialogWindow> backCalc_;
    DrawController::InsertIntoCad insert_;  // none: the drawing is only written
    std::vector<Box> boxes_;
    int answer_ = IDYES;
};

TEST_F(MainWindowTest, EveryControlHasItsCaptionHintAndState) {
    MainWindow& w = Open();
    EXPECT_EQ(WindowText(w.hwnd), L"Tabulon 2023.02.04 (64bit)");
    RECT client;
    GetClientRect(w.hwnd, &client);
    EXPECT_EQ(client.right, ScalePx(432));
    EXPECT_EQ(client.bottom, ScalePx(376));
    EXPECT_TRUE(GetWindowLongPtrW(w.hwnd, GWL_STYLE) & WS_THICKFRAME);

    HWND tab = GetDlgItem(w.hwnd, kPageControl1);
    ASSERT_EQ(SendMessageW(tab, TCM_GETITEMCOUNT, 0, 0), 3);
    const wchar_t* tabCaptions[] = {L" 取得、描画", L" 設定、確認", L" プレビュー"};
    for (int i = 0; i < 3; ++i) {
        wchar_t text[64] = {};
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = text;
        item.cchTextMax = 64;
        SendMessageW(tab, TCM_GETITEMW, i, reinterpret_cast<LPARAM>(&item));
        EXPECT_EQ(std::wstring(text), tabCaptions[i]);
    }
    EXPECT_EQ(SendMessageW(tab, TCM_GETCURSEL, 0, 0), 0);
    EXPECT_TRUE(IsWindowVisible(w.Page(0)));
    EXPECT_FALSE(IsWindowVisible(w.Page(1)));
    EXPECT_FALSE(IsWindowVisible(w.Page(2)));

    struct Expect {
        int id;
        const wchar_t* text;
        const wchar_t* hint;  // nullptr: none
        bool visible, enabled;
        DWORD styleBits;  // all must be set
    };
    const Expect controls[] = {
        {kButton3, L"Excel から取得", L"アクティブな Excel から選択範囲を取得します", true, true, 0},
        {kButton4, L"CAD へ挿入", L"DXF ファイル作成,、AutoCAD, Bricscad に挿入", true, false, 0},
        {kButton2, L"Bricscad へ描画", nullptr, false, true, 0},
        {kLabel + 1, L"対象セル：", nullptr, true, true, 0},
        {kEdit + 2, L"", nullptr, true, true, ES_READONLY},
        {kLabel + 2, L"～", nullptr, true, true, 0},
        {kEdit + 3, L"", nullptr, true, true, ES_READONLY},
        {kLabel + 4, L"", nullptr, true, true, 0},
        {kEdit + 13, L"", L"文字高さ [Enter]で更新", true, true, ES_RIGHT},
        {kSpeedButton1, L"左", L"文字基点 [左]", true, true, BS_FLAT},
        {kSpeedButton2, L"中", L"文字基点 [中]", true, true, BS_FLAT},
        {kSpeedButton3, L"右", L"文字基点 [右]", true, true, BS_FLAT},
        {kEdit + 11, L"", L"列幅 [Enter]で更新", true, true, ES_RIGHT},
        {kEdit + 12, L"", L"行高さ [Enter]で更新", true, true, ES_RIGHT},
        {kCheckBox1, L"セルを描画", nullptr, true, true, 0},
        {kEdit + 1, L"", L"赤文字の時：改行コードが含まれている", true, true, 0},
        {kLabel + 13, L"", nullptr, true, true, 0},
        {kStringGrid1, nullptr, L"範囲選択=固定部クリック or [Shift]+矢印キー. 右クリックで選択範囲の文字変換メニュー",
         true, true, 0},
        // Second tab (hidden: "visible" here means its own WS_VISIBLE).
        {kGroupBox1, L"表示", nullptr, true, true, 0},
        {kLabel + 7, L"X 尺度", nullptr, true, true, 0},
        {kEdit + 4, L"20", nullptr, true, true, ES_RIGHT},
        {kLabel + 8, L"Y 尺度", nullptr, true, true, 0},
        {kEdit + 5, L"3", nullptr, true, true, ES_RIGHT},
        {kGroupBox2, L"CAD, DXF", nullptr, true, true, 0},
        {kLabel + 15, L"X 尺度", nullptr, true, true, 0},
        {kEdit + 6, L"3", nullptr, true, true, ES_RIGHT},
        {kLabel + 16, L"Y 尺度", nullptr, true, true, 0},
        {kEdit + 7, L"0.43", nullptr, true, true, ES_RIGHT},
        {kLabel + 17, L"文字尺度", nullptr, true, true, 0},
        {kEdit + 8, L"0.27", nullptr, true, true, ES_RIGHT},
        {kLabel + 18, L"文字基点オフセット X 尺度", nullptr, true, true, 0},
        {kLabel + 9, L"文字高さの", nullptr, true, true, 0},
        {kEdit + 9, L"0.8", nullptr, true, true, ES_RIGHT},
        {kLabel + 10, L"倍", nullptr, true, true, 0},
        {kLabel + 11, L"セル区切り線の色番号", nullptr, true, false, 0},
        {kLabel + 12, L"( BYLAER = 256 )", nullptr, true, false, 0},
        {kEdit + 10, L"252", nullptr, true, false, ES_RIGHT},
        {kButton1, L"変更を反映", nullptr, true, true, 0},
        {kButton5, L"逆算", nullptr, false, true, 0},
        {kGroupBox3, L"シートの見た目", nullptr, true, true, 0},
        {kCheckBox2, L"文字をセルに収める", nullptr, true, true, BS_AUTOCHECKBOX},
        {kCheckBox3, L"縦位置をシートに合わせる", nullptr, true, true, BS_AUTOCHECKBOX},
        {kCheckBox4, L"罫線の種類を描く", nullptr, true, true, BS_AUTOCHECKBOX},
        {kCheckBox5, L"塗りつぶしを描く", nullptr, true, true, BS_AUTOCHECKBOX},
        {kLabel + 19, L"半角文字の幅", nullptr, true, true, 0},
        {kEdit + 14, L"0.5", nullptr, true, true, ES_RIGHT},
        {kLabel + 20, L"倍", nullptr, true, true, 0},
        {kLabel + 21, L"行間", nullptr, true, true, 0},
        {kEdit + 15, L"1", nullptr, true, true, ES_RIGHT},
        {kLabel + 22, L"倍", nullptr, true, true, 0},
        {kPreview, nullptr, nullptr, true, true, 0},
    };
    for (const Expect& e : controls) {
        SCOPED_TRACE(e.id);
        HWND h = w.Control(e.id);
        ASSERT_NE(h, nullptr);
        if (e.text) {
            EXPECT_EQ(WindowText(h), e.text);
        }
        EXPECT_EQ(Hint(h), e.hint ? e.hint : L"");
        const LONG_PTR style = GetWindowLongPtrW(h, GWL_STYLE);
        EXPECT_EQ((style & WS_VISIBLE) != 0, e.visible);
        EXPECT_EQ(IsWindowEnabled(h) != 0, e.enabled);
        EXPECT_EQ(style & e.styleBits, static_cast<LONG_PTR>(e.styleBits));
    }
    EXPECT_FALSE(GetWindowLongPtrW(w.Control(kEdit + 2), GWL_STYLE) & WS_TABSTOP);
    EXPECT_FALSE(GetWindowLongPtrW(w.Control(kEdit + 3), GWL_STYLE) & WS_TABSTOP);
    EXPECT_EQ(SendMessageW(w.Control(kCheckBox1), BM_GETCHECK, 0, 0), BST_CHECKED);

    // Fonts: Tahoma 11 px, and 13 px for the grid and Edit1-3.
    for (int id : {static_cast<int>(kButton3), kEdit + 1, kEdit + 2, kEdit + 11}) {
        LOGFONTW lf{};
        GetObjectW(reinterpret_cast<HFONT>(SendMessageW(w.Control(id), WM_GETFONT, 0, 0)), sizeof(lf), &lf);
        EXPECT_EQ(std::wstring(lf.lfFaceName), L"Tahoma");
        EXPECT_EQ(lf.lfHeight, -ScalePx(id == kEdit + 1 || id == kEdit + 2 ? 13 : 11)) << id;
    }

    Grid& g1 = w.StringGrid1();
    EXPECT_EQ(g1.ColCount(), 5);
    EXPECT_EQ(g1.RowCount(), 5);
    EXPECT_EQ(g1.RowHeight(1), 20);
    EXPECT_EQ(g1.ColWidth(1), 64);
    Grid& g2 = w.StringGrid2();
    EXPECT_EQ(g2.ColCount(), 3);
    EXPECT_EQ(g2.RowCount(), 5);
    EXPECT_EQ(g2.RowHeight(0), 19);
    EXPECT_EQ(g2.ColWidth(0), 80);
    EXPECT_EQ(g2.ColWidth(1), 380);
    EXPECT_LE(g2.ColWidth(2), 0);
    const wchar_t* labels[] = {L"全幅", L"全高", L"列幅", L"行高", L"文字"};
    for (int row = 0; row < 5; ++row) EXPECT_EQ(g2.GetCellText(0, row), labels[row]);

    const std::vector<std::wstring> menu = {L"半角->全角",
                                            L"半角->全角（数字のみの文字列は除外）",
                                            L"半角カナ->全角",
                                            L"-",
                                            L"全角->半角",
                                            L"全角数字->半角",
                                            L"全角アルファベット->半角",
                                            L"-",
                                            L"代替文字を含む禁止文字->半角",
                                            L"-",
                                            L"置換"};
    ASSERT_EQ(GetMenuItemCount(w.PopupMenu1()), static_cast<int>(menu.size()));
    for (size_t i = 0; i < menu.size(); ++i) {
        wchar_t text[128] = {};
        if (GetMenuItemID(w.PopupMenu1(), static_cast<int>(i)) == 0) {
            EXPECT_EQ(menu[i], L"-");
            continue;
        }
        GetMenuStringW(w.PopupMenu1(), static_cast<UINT>(i), text, 128, MF_BYPOSITION);
        EXPECT_EQ(std::wstring(text), menu[i]);
    }

    // The dialogs: titles, fixed frames, their controls.
    EXPECT_EQ(WindowText(replace_->hwnd), L"置換");
    EXPECT_FALSE(IsWindowVisible(replace_->hwnd));
    EXPECT_FALSE(GetWindowLongPtrW(replace_->hwnd, GWL_STYLE) & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
    RECT rc;
    GetClientRect(replace_->hwnd, &rc);
    EXPECT_EQ(rc.right, ScalePx(218));
    EXPECT_EQ(rc.bottom, ScalePx(117));
    EXPECT_EQ(WindowText(replace_->Control(ReplaceDialog::kButton1)), L"実行");
    EXPECT_EQ(WindowText(replace_->Control(ReplaceDialog::kButton2)), L"中止");
    EXPECT_EQ(WindowText(backCalc_->hwnd), L"逆算");
    const wchar_t* rows[] = {L"全幅", L"全高", L"列幅", L"行高", L"文字高"};
    for (int row = 1; row <= 5; ++row) {
        HWND box = backCalc_->Control(BackCalcDialogWindow::kCheckBox + row);
        EXPECT_EQ(WindowText(box), rows[row - 1]);
        EXPECT_EQ(IsWindowEnabled(box) != 0, row != 3);
        EXPECT_EQ(IsWindowEnabled(backCalc_->Control(BackCalcDialogWindow::kEdit + row)) != 0, row != 3);
    }
}

TEST_F(MainWindowTest, ResizingKeepsRightAnchorsAndStretchesEditAndGrid) {
    MainWindow& w = Open();
    auto rectOf = [&](HWND h) {
        RECT r;
        GetWindowRect(h, &r);
        MapWindowPoints(HWND_DESKTOP, GetParent(h), reinterpret_cast<POINT*>(&r), 2);
        return r;
    };
    const RECT b3 = rectOf(w.Control(kButton3)), e1 = rectOf(w.Control(kEdit + 1)), e13 = rectOf(w.Control(kEdit + 13)),
               grid = rectOf(w.StringGrid1().hwnd), bar = rectOf(w.Control(kProgressBar1));
    RECT win;
    GetWindowRect(w.hwnd, &win);
    SetWindowPos(w.hwnd, nullptr, 0, 0, win.right - win.left + 100, win.bottom - win.top + 50,
                 SWP_NOMOVE | SWP_NOZORDER);
    PumpMessages();
    const RECT b3b = rectOf(w.Control(kButton3)), e1b = rectOf(w.Control(kEdit + 1)),
               e13b = rectOf(w.Control(kEdit + 13)), gridb = rectOf(w.StringGrid1().hwnd),
               barb = rectOf(w.Control(kProgressBar1));
    EXPECT_EQ(b3b.left, b3.left + 100);
    EXPECT_EQ(b3b.right - b3b.left, b3.right - b3.left);
    EXPECT_EQ(e1b.left, e1.left);
    EXPECT_EQ(e1b.right, e1.right + 100);
    EXPECT_EQ(e13b.left, e13.left);
    EXPECT_EQ(gridb.right, grid.right + 100);
    EXPECT_EQ(gridb.bottom, grid.bottom + 50);
    EXPECT_EQ(barb.top, bar.top + 50);
    EXPECT_EQ(barb.bottom - barb.top, ScalePx(9));
    RECT page;
    GetClientRect(w.Page(0), &page);
    EXPECT_EQ(barb.bottom, page.bottom);
}

TEST_F(MainWindowTest, SettingsAreWrittenAtCloseAndReadAtTheNextStart) {
    Open();
    EXPECT_EQ(WindowText(Ctl(kEdit + 7)), L"0.43");
    // Typed but not applied: not saved. Unchecking is saved without more ado.
    SetWindowTextW(Ctl(kEdit + 4), L"15");
    SendMessageW(Ctl(kCheckBox1), BM_CLICK, 0, 0);
    Close();
    const std::string first = ReadFile(ini_);
    EXPECT_EQ(first,
              "[Quillbox]\r\ncolXsc=20\r\nrowYsc=3\r\ncadXsc=3\r\ncadYsc=0.43\r\ncadTsc=0.27\r\ncadTof=0.8\r\n"
              "cellLineColor=252\r\ncellLineDraw=0\r\nxlsVerNum=16\r\n"
              "fitText=0\r\nhalfWidth=0.5\r\nsheetVAlign=0\r\nlineSpacing=1\r\nborderStyle=0\r\ncellFill=0\r\n");

    WriteFile(ini_,
              "[Mine]\r\nkeep=me\r\n[Quillbox]\r\ncolXsc=12.5\r\ncadYsc=abc\r\ncellLineDraw=5\r\nxlsVerNum=0x10\r\n");
    Open();
    EXPECT_EQ(WindowText(Ctl(kEdit + 4)), L"12.5");
    EXPECT_EQ(WindowText(Ctl(kEdit + 7)), L"0.43");
    EXPECT_EQ(SendMessageW(Ctl(kCheckBox1), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(window_->Model().settings.xlsVerNum, 16);
    Close();
    const std::string second = ReadFile(ini_);
    EXPECT_NE(second.find("[Mine]\r\nkeep=me\r\n"), std::string::npos) << second;
    EXPECT_NE(second.find("colXsc=12.5\r\n"), std::string::npos) << second;
    EXPECT_NE(second.find("cadYsc=0.43\r\n"), std::string::npos) << second;
    EXPECT_NE(second.find("cellLineDraw=1\r\n"), std::string::npos) << second;
    EXPECT_TRUE(boxes_.empty());
}

TEST_F(MainWindowTest, AnUnwritableSettingsFileIsReportedAndTheWindowStillCloses) {
    ini_ = L"Z:\\nonexistent-folder-for-tabulon\\x\\settings.ini";
    Open();
    HWND hwnd = window_->hwnd;
    SendMessageW(hwnd, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(hwnd));
    ASSERT_EQ(boxes_.size(), 1u);
    EXPECT_EQ(boxes_[0].text, ini_ + L" に書き込めません");
    EXPECT_EQ(boxes_[0].type & MB_ICONERROR, static_cast<UINT>(MB_ICONERROR));
}

TEST_F(MainWindowTest, AnUnwritableProgramFolderKeepsTheFilesInLocalAppData) {
    wchar_t module[MAX_PATH] = {};
    ASSERT_GT(GetModuleFileNameW(nullptr, module, MAX_PATH), 0u);
    std::wstring stem = module;
    stem = stem.substr(stem.find_last_of(L"\\/") + 1);
    stem.resize(stem.find_last_of(L'.'));
    wchar_t local[MAX_PATH] = {};
    ASSERT_GT(GetEnvironmentVariableW(L"LOCALAPPDATA", local, MAX_PATH), 0u);
    const std::wstring userFolder = std::wstring(local) + L"\\Tabulon";
    const std::wstring writable = TempPath(L"program");
    ASSERT_TRUE(CreateDirectoryW(writable.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
    struct Case {
        std::wstring programFolder;
        std::wstring folder;  // where the files go
    };
    // Z:\proc stands for "Program Files": not even an administrator creates a file there.
    const Case cases[] = {{L"Z:\\proc", userFolder}, {writable, writable}};
    for (const Case& c : cases) {
        SCOPED_TRACE(WideToUtf8(c.programFolder));
        const std::wstring ini = c.folder + L"\\" + stem + L".ini", dxf = c.folder + L"\\" + stem + L".dxf";
        DeleteFileW(ini.c_str());
        DeleteFileW(dxf.c_str());
        ini_.clear();
        dxf_.clear();
        programFolder_ = c.programFolder;
        std::vector<std::string> typed;
        insert_ = [&typed](const std::string& path) {
            typed.push_back(path);
            return InsertOutcome::Attempted;
        };
        Open();
        LoadTable();
        SendMessageW(Ctl(kButton4), BM_CLICK, 0, 0);
        PumpMessages();
        EXPECT_NE(ReadFile(dxf).find("R3C4"), std::string::npos) << "no drawing in " << WideToUtf8(c.folder);
        EXPECT_EQ(typed, std::vector<std::string>{WideToUtf8(dxf)});
        SetWindowTextW(Ctl(kEdit + 4), L"15");
        SendMessageW(Ctl(kCheckBox1), BM_CLICK, 0, 0);  // saved at the close
        Close();
        EXPECT_NE(ReadFile(ini).find("cellLineDraw=0\r\n"), std::string::npos)
            << "no settings in " << WideToUtf8(c.folder);
        // The next start reads them from there.
        Open();
        EXPECT_EQ(SendMessageW(Ctl(kCheckBox1), BM_GETCHECK, 0, 0), BST_UNCHECKED);
        Close();
        EXPECT_TRUE(boxes_.empty());
        DeleteFileW(ini.c_str());
        DeleteFileW(dxf.c_str());
    }
    RemoveDirectoryW(writable.c_str());
}

TEST_F(MainWindowTest, SwitchingToTheSettingsTabRefreshesTheSummary) {
    MainWindow& w = Open();
    LoadTable();
    HWND tab = GetDlgItem(w.hwnd, kPageControl1);
    auto switchTo = [&](int page) {
        SendMessageW(tab, TCM_SETCURSEL, page, 0);
        NMHDR n{tab, static_cast<UINT_PTR>(kPageControl1), static_cast<UINT>(TCN_SELCHANGE)};
        SendMessageW(w.hwnd, WM_NOTIFY, kPageControl1, reinterpret_cast<LPARAM>(&n));
        PumpMessages();
    };
    switchTo(1);
    EXPECT_TRUE(IsWindowVisible(w.Page(1)));
    EXPECT_FALSE(IsWindowVisible(w.Page(0)));
    const std::wstring width = w.StringGrid2().GetCellText(2, 0);
    EXPECT_FALSE(width.empty());
    EXPECT_FALSE(w.StringGrid2().GetCellText(1, 0).empty());

    switchTo(0);
    for (auto& cell : w.Model().table.cells) cell.drawW *= 2;
    switchTo(1);
    EXPECT_NE(w.StringGrid2().GetCellText(2, 0), width);
}

TEST_F(MainWindowTest, HeaderClicksSelectRowsColumnsAndTheTable) {
    MainWindow& w = Open();
    LoadTable();
    struct Case {
        int col, row;
        GridRect selection;
    };
    const Case cases[] = {
        {0, 0, {1, 1, 4, 3}},
        {3, 0, {3, 1, 3, 3}},
        {0, 2, {1, 2, 4, 2}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.col << "," << c.row);
        w.View().SetGridSelection({1, 1, 1, 1});
        ClickCell(c.col, c.row);
        EXPECT_EQ(w.View().GridSelection(), c.selection);
    }
}

// The grid painted into a bitmap, to look at pixels.
class Snapshot {
public:
    explicit Snapshot(Grid& grid) : grid_(grid) {
        RECT r;
        GetClientRect(grid.hwnd, &r);
        size_ = {r.right, r.bottom};
        WindowDcScope screen(grid.hwnd);
        dc_.reset(CreateCompatibleDC(screen.dc()));
        bitmap_.reset(CreateCompatibleBitmap(screen.dc(), size_.cx, size_.cy));
        SelectObject(dc_.get(), bitmap_.get());
        grid.Paint(dc_.get(), r);
    }
    COLORREF At(int x, int y) const { return GetPixel(dc_.get(), x, y); }
    // The leftmost and rightmost columns in the cell holding a pixel unlike its background.
    std::pair<int, int> InkSpan(int col, int row) const {
        RECT r;
        grid_.CellRect(col, row, &r);
        const COLORREF back = At(r.left + 1, r.bottom - 2);
        int first = -1, last = -1;
        for (int x = r.left; x < r.right; ++x) {
            for (int y = r.top; y < r.bottom; ++y) {
                if (At(x, y) != back) {
                    if (first < 0) first = x - r.left;
                    last = x - r.left;
                    break;
                }
            }
        }
        return {first, last};
    }
    // The lowest brightness (0 to 255) of any pixel in the cell.
    int Darkest(int col, int row) const {
        RECT r;
        grid_.CellRect(col, row, &r);
        int darkest = 255;
        for (int y = r.top; y < r.bottom; ++y) {
            for (int x = r.left; x < r.right; ++x) {
                const COLORREF c = At(x, y);
                darkest = std::min(darkest, (GetRValue(c) * 30 + GetGValue(c) * 59 + GetBValue(c) * 11) / 100);
            }
        }
        return darkest;
    }

private:
    Grid& grid_;
    SIZE size_{};
    UniqueMemoryDc dc_;
    UniqueHbitmap bitmap_;
};

TEST_F(MainWindowTest, AlignmentButtonsChangeTheSelectedRecordsAndThePainting) {
    MainWindow& w = Open();
    LoadTable();
    Grid& g = w.StringGrid1();
    RECT cell;
    g.CellRect(1, 3, &cell);
    const int width = cell.right - cell.left;
    const auto before = Snapshot(g).InkSpan(1, 3);
    ASSERT_GE(before.first, 0);
    EXPECT_LT(before.first, width / 4);  // general alignment paints left

    g.SetSelection({1, 2, 3, 3});  // 3 x 2
    SendMessageW(Ctl(kSpeedButton3), BM_CLICK, 0, 0);
    PumpMessages();
    const CellTable& t = w.Model().table;
    for (int r = 1; r <= 3; ++r) {
        for (int c = 1; c <= 4; ++c) {
            EXPECT_EQ(t.At(r, c).txtAlign, (r >= 2 && c <= 3) ? 3 : 0) << r << "," << c;
        }
    }
    const Snapshot after(g);
    EXPECT_GT(after.InkSpan(1, 3).first, width / 4);  // now right-aligned
    EXPECT_LT(after.InkSpan(4, 3).first, width / 4);  // outside the selection: unchanged
    // The buttons keep their look until the next inspection.
    EXPECT_TRUE(w.View().IsFlat(3));

    // Merged cells (2,2) and (3,2) are light cyan also while selected, framed in
    // the selection colour, their texts dark as the window's text; headers never.
    RECT merged, header;
    g.CellRect(2, 2, &merged);
    g.CellRect(2, 0, &header);
    const int inside = kMergedSelectionFrame;
    EXPECT_EQ(after.At(merged.right - inside - 1, merged.bottom - inside - 1), kMergedCellColor);
    EXPECT_EQ(after.At(merged.left, merged.bottom - 1), GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_EQ(after.At(merged.right - inside, merged.top + inside - 1), GetSysColor(COLOR_HIGHLIGHT));
    for (int col : {2, 3}) EXPECT_LT(after.Darkest(col, 2), 80) << col << ": the text stays readable";
    EXPECT_NE(after.At(header.left + 1, header.bottom - 2), kMergedCellColor);

    ClickCell(1, 2);
    EXPECT_FALSE(w.View().IsFlat(3));
    EXPECT_TRUE(w.View().IsFlat(1));
    EXPECT_TRUE(w.View().IsFlat(2));
}

TEST_F(MainWindowTest, Edit1ShowsAndEditsTheCurrentCell) {
    MainWindow& w = Open();
    LoadTable();
    w.Model().texts.Set(4, 3, "ab\ncd");
    ClickCell(2, 1);
    EXPECT_EQ(WindowText(Ctl(kEdit + 1)), L"R1C2");
    EXPECT_FALSE(w.View().Edit1Red());
    EXPECT_FALSE(WindowText(Ctl(kEdit + 11)).empty());

    w.StringGrid1().SetSelection({2, 1, 3, 2});
    SetWindowTextW(Ctl(kEdit + 1), L"新しい");
    PumpMessages();
    EXPECT_EQ(w.Model().texts.Get(2, 1), "新しい");
    EXPECT_EQ(w.Model().texts.Get(3, 1), "R1C3");
    EXPECT_EQ(w.Model().texts.Get(2, 2), "R2C2");
    EXPECT_EQ(w.Model().table.At(1, 2).str, "");  // the record keeps the captured text

    // Keyboard moves count as clicks; a line feed turns Edit1 red.
    ClickCell(3, 3);
    PressKey(w.StringGrid1().hwnd, VK_RIGHT);
    PumpMessages();
    EXPECT_EQ(w.Model().texts.Get(4, 3), WideToUtf8(WindowText(Ctl(kEdit + 1))));
    EXPECT_TRUE(w.View().Edit1Red());

    // Arrow keys show the code of the character after the caret; other keys leave it.
    HWND e1 = Ctl(kEdit + 1);
    struct Case {
        int caret;
        UINT key;
        const wchar_t* label;
    };
    const Case cases[] = {{2, VK_LEFT, L"[000A]"}, {0, VK_DOWN, L"[0061]"}, {5, VK_RIGHT, L""}, {2, 'A', L""}};
    for (const Case& c : cases) {
        SendMessageW(e1, EM_SETSEL, c.caret, c.caret);
        SendMessageW(e1, WM_KEYUP, c.key, 1 | (1u << 30) | (1u << 31));
        EXPECT_EQ(WindowText(Ctl(kLabel + 13)), c.label) << c.caret;
    }

    // An in-place edit of the grid reaches the model.
    ClickCell(1, 1);
    TypeChar(w.StringGrid1().hwnd, L'Z');
    PressKey(w.StringGrid1().EditHwnd(), VK_RETURN);
    PumpMessages();
    EXPECT_EQ(w.Model().texts.Get(1, 1), "Z");
    EXPECT_EQ(WindowText(Ctl(kEdit + 1)), L"Z");
}

TEST_F(MainWindowTest, TextTypedIntoTheEmptyStartUpGridStays) {
    MainWindow& w = Open();
    Grid& g = w.StringGrid1();
    ClickCell(2, 3);
    TypeChar(g.hwnd, L'a');
    TypeChar(g.hwnd, L'b');
    PressKey(g.EditHwnd(), VK_RETURN);
    PumpMessages();
    EXPECT_EQ(w.Model().texts.Get(2, 3), "ab");
    EXPECT_EQ(g.GetCellText(2, 3), L"ab");
    EXPECT_EQ(WindowText(Ctl(kEdit + 1)), L"ab");
    EXPECT_GE(Snapshot(g).InkSpan(2, 3).first, 0) << "the text is drawn";

    // The edit line writes into the empty grid too.
    ClickCell(4, 4);
    SetWindowTextW(Ctl(kEdit + 1), L"行");
    PumpMessages();
    EXPECT_EQ(g.GetCellText(4, 4), L"行");
    ClickCell(2, 3);
    EXPECT_EQ(WindowText(Ctl(kEdit + 1)), L"ab");
}

TEST_F(MainWindowTest, EnterInASizeEditAsksAndOverridesTheSelection) {
    MainWindow& w = Open();
    LoadTable();
    ClickCell(1, 1);
    HWND e13 = Ctl(kEdit + 13);
    SetWindowTextW(e13, L"7.5");
    answer_ = IDYES;
    SendMessageW(e13, WM_CHAR, L'\r', 1);
    ASSERT_EQ(boxes_.size(), 1u);
    EXPECT_EQ(boxes_[0].caption, L"確認");
    EXPECT_EQ(boxes_[0].type, static_cast<UINT>(MB_YESNO));
    EXPECT_EQ(boxes_[0].owner, w.StringGrid1().hwnd);
    EXPECT_EQ(w.Model().table.At(1, 1).drawTH, 7.5);
    EXPECT_EQ(WindowText(e13), L"7.500");
    EXPECT_NE(w.Model().table.At(1, 2).drawTH, 7.5);

    // Other characters are typed as usual.
    SendMessageW(e13, WM_CHAR, L'9', 1);
    EXPECT_EQ(boxes_.size(), 1u);
}

TEST_F(MainWindowTest, InsertWritesTheDrawingToTheGivenPath) {
    Open();
    SendMessageW(Ctl(kButton4), BM_CLICK, 0, 0);  // disabled and no table: nothing
    PumpMessages();
    EXPECT_EQ(GetFileAttributesW(dxf_.c_str()), INVALID_FILE_ATTRIBUTES);
    LoadTable();
    EXPECT_TRUE(IsWindowEnabled(Ctl(kButton4)));
    SendMessageW(Ctl(kButton4), BM_CLICK, 0, 0);
    PumpMessages();
    const std::string dxf = ReadFile(dxf_);
    EXPECT_NE(dxf.find("AC1009"), std::string::npos);
    EXPECT_NE(dxf.find("XLSCellText"), std::string::npos);
    EXPECT_NE(dxf.find("R3C4"), std::string::npos);
    EXPECT_TRUE(boxes_.empty());

    // Handed to the ezdxf audit that runs after these tests: 12 separator runs,
    // the merged area's outline and every cell's text, covered cells included.
    if (const char* folder = std::getenv("TABULON_TEST_OUTPUT")) {
        std::ofstream(std::string(folder) + "/main_window_insert.dxf", std::ios::binary) << dxf;
        std::string texts;
        for (int r = 1; r <= 3; ++r) {
            for (int c = 1; c <= 4; ++c) {
                texts += (texts.empty() ? "\"R" : ", \"R") + std::to_string(r) + "C" + std::to_string(c) + "\"";
            }
        }
        std::ofstream(std::string(folder) + "/main_window_insert.expect.json", std::ios::binary)
            << "{\"entities\": {\"LINE@XLSCellLine\": 12, \"POLYLINE@XLSCellLine\": 1, \"TEXT@XLSCellText\": 12},"
            << " \"texts\": [" << texts << "]}";
    }
}

TEST_F(MainWindowTest, AnInsertionThatCannotTypeThePathSaysSoOnce) {
    std::vector<std::string> handedOver;
    insert_ = [&](const std::string& path) {
        handedOver.push_back(path);
        return InsertOutcome::PathWithBlank;
    };
    MainWindow& w = Open();
    LoadTable();
    SendMessageW(Ctl(kButton4), BM_CLICK, 0, 0);
    PumpMessages();
    EXPECT_EQ(handedOver, std::vector<std::string>{WideToUtf8(dxf_)});
    ASSERT_EQ(boxes_.size(), 1u);
    EXPECT_EQ(boxes_[0].owner, w.hwnd);
    EXPECT_EQ(boxes_[0].caption, L"メッセージ");
    EXPECT_EQ(boxes_[0].type, static_cast<UINT>(MB_OK));
    EXPECT_EQ(boxes_[0].text.rfind(L"図面を保存しました: " + dxf_, 0), 0u);
}

TEST_F(MainWindowTest, ACloseWhileTheInsertionWaitsHidesTheWindowAndClosesAfterIt) {
    bool hiddenButAlive = false;
    insert_ = [&](const std::string&) {
        // As the wait for AutoCAD's pick does: the window keeps handling its
        // messages, and the user closes it meanwhile.
        PostMessageW(window_->hwnd, WM_CLOSE, 0, 0);
        DispatchWaitingMessages();
        hiddenButAlive = IsWindow(window_->hwnd) && !IsWindowVisible(window_->hwnd);
        return InsertOutcome::Attempted;
    };
    Open();
    LoadTable();
    SendMessageW(Ctl(kButton4), BM_CLICK, 0, 0);
    PumpMessages();
    EXPECT_TRUE(hiddenButAlive);
    EXPECT_EQ(window_->hwnd, nullptr);                                     // closed once the insertion returned
    EXPECT_NE(GetFileAttributesW(ini_.c_str()), INVALID_FILE_ATTRIBUTES);  // settings saved as on any close
}

TEST_F(MainWindowTest, ReplaceRunsThroughItsDialogAndKeepsItsTexts) {
    MainWindow& w = Open();
    LoadTable();
    w.StringGrid1().SetSelection({1, 1, 2, 2});
    SetWindowTextW(replace_->Control(ReplaceDialog::kEdit1), L"C");
    SetWindowTextW(replace_->Control(ReplaceDialog::kEdit2), L"x");
    // The click is waiting when the dialog's own loop starts.
    PostMessageW(replace_->hwnd, WM_COMMAND, MAKEWPARAM(ReplaceDialog::kButton1, BN_CLICKED),
                 reinterpret_cast<LPARAM>(replace_->Control(ReplaceDialog::kButton1)));
    Command(kN4);
    EXPECT_EQ(w.Model().texts.Get(1, 1), "R1x1");
    EXPECT_EQ(w.Model().texts.Get(2, 2), "R2x2");
    EXPECT_EQ(w.Model().texts.Get(3, 1), "R1C3");
    ASSERT_EQ(boxes_.size(), 1u);
    EXPECT_EQ(boxes_[0].text, L"4 個の文字列を置換しました.");
    EXPECT_FALSE(IsWindowVisible(replace_->hwnd));
    EXPECT_TRUE(IsWindowEnabled(w.hwnd));

    // The close box cancels; the texts stay for next time.
    PostMessageW(replace_->hwnd, WM_CLOSE, 0, 0);
    Command(kN4);
    EXPECT_EQ(boxes_.size(), 1u);
    EXPECT_EQ(WindowText(replace_->Control(ReplaceDialog::kEdit1)), L"C");
    EXPECT_TRUE(IsWindow(replace_->hwnd));

    // The width conversions of the menu reach the selection too.
    Command(kN1);
    EXPECT_EQ(w.Model().texts.Get(1, 1), "Ｒ１ｘ１");
    EXPECT_EQ(w.Model().texts.Get(3, 1), "R1C3");
}

TEST_F(MainWindowTest, ApplyingSettingsAsksOnTheMainWindow) {
    MainWindow& w = Open();
    LoadTable();
    SetWindowTextW(Ctl(kEdit + 6), L"6");
    answer_ = IDNO;
    Command(kButton1);
    EXPECT_EQ(w.Model().settings.cadXsc, 3);
    answer_ = IDYES;
    Command(kButton1);
    EXPECT_EQ(w.Model().settings.cadXsc, 6);
    ASSERT_EQ(boxes_.size(), 2u);
    EXPECT_EQ(boxes_[1].owner, w.hwnd);
    EXPECT_EQ(boxes_[1].caption, L"確認");
    EXPECT_EQ(boxes_[1].type, static_cast<UINT>(MB_YESNO));
}

// The look settings: shown from the settings file, applied with "変更を反映"
// (a number box without a number above zero gives the default), saved at close.
TEST_F(MainWindowTest, LookSettingsShowApplyAndSave) {
    WriteFile(ini_, "[Quillbox]\r\nfitText=1\r\nhalfWidth=0.6\r\nlineSpacing=1.3\r\n");
    MainWindow& w = Open();
    auto checked = [&](int id) { return SendMessageW(Ctl(id), BM_GETCHECK, 0, 0) == BST_CHECKED; };
    EXPECT_TRUE(checked(kCheckBox2));
    EXPECT_FALSE(checked(kCheckBox3));
    EXPECT_FALSE(checked(kCheckBox4));
    EXPECT_FALSE(checked(kCheckBox5));
    EXPECT_EQ(WindowText(Ctl(kEdit + 14)), L"0.6");
    EXPECT_EQ(WindowText(Ctl(kEdit + 15)), L"1.3");

    LoadTable();
    SendMessageW(Ctl(kCheckBox2), BM_CLICK, 0, 0);
    SendMessageW(Ctl(kCheckBox5), BM_CLICK, 0, 0);
    SetWindowTextW(Ctl(kEdit + 14), L"0");
    SetWindowTextW(Ctl(kEdit + 15), L"1.5");
    answer_ = IDYES;
    Command(kButton1);
    const ScaleSettings& s = w.Model().settings;
    EXPECT_FALSE(s.fitText);
    EXPECT_TRUE(s.cellFill);
    EXPECT_EQ(s.halfWidth, 0.5);
    EXPECT_EQ(s.lineSpacing, 1.5);

    Close();
    const std::string ini = ReadFile(ini_);
    for (const char* line : {"fitText=0", "cellFill=1", "halfWidth=0.5", "lineSpacing=1.5"}) {
        EXPECT_NE(ini.find(line), std::string::npos) << line << " in " << ini;
    }
}

// The preview pane as painted: a client-sized 32-bit picture read pixel by pixel.
class PanePicture {
public:
    explicit PanePicture(PreviewPane& pane) {
        RECT client;
        GetClientRect(pane.hwnd, &client);
        width_ = client.right;
        height_ = client.bottom;
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), width_, -height_, 1, 32, BI_RGB};
        void* bits = nullptr;
        UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
        UniqueHbitmap dib(CreateDIBSection(dc.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        HGDIOBJ old = SelectObject(dc.get(), dib.get());
        pane.Render(dc.get());
        GdiFlush();
        pixels_.assign(static_cast<const uint32_t*>(bits), static_cast<const uint32_t*>(bits) + width_ * height_);
        SelectObject(dc.get(), old);
    }
    // Whether a pixel within one of (x, y) is darker than light grey.
    bool Inside(double x, double y) const { return x >= 1 && y >= 1 && x < width_ - 1 && y < height_ - 1; }
    bool DarkNear(double x, double y) const {
        for (int dy = -1; dy <= 1; ++dy) {
            for (int dx = -1; dx <= 1; ++dx) {
                const int px = static_cast<int>(std::lround(x)) + dx, py = static_cast<int>(std::lround(y)) + dy;
                if (px < 0 || py < 0 || px >= width_ || py >= height_) continue;
                const uint32_t p = pixels_[py * width_ + px];
                if (((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF) < 3 * 160) return true;
            }
        }
        return false;
    }
    uint32_t At(double x, double y) const {
        return pixels_[static_cast<int>(std::lround(y)) * width_ + static_cast<int>(std::lround(x))] & 0xFFFFFF;
    }

private:
    int width_ = 0, height_ = 0;
    std::vector<uint32_t> pixels_;
};

// The preview shows a line wherever the table has a border and nothing where it
// has none, fitted to the pane, and still after a zoom about the cursor, a drag
// and a resize; a fill shows in its colour once the look asks for fills.
TEST_F(MainWindowTest, PreviewShowsTheBordersOfTheTable) {
    MainWindow& w = Open();
    tabulon::test::TestTable t(3, 4);
    for (int c = 1; c <= 4; ++c) t.table.At(1, c).lineBits = kEdgeTop | kEdgeBottom | kEdgeLeft | kEdgeRight;
    t.table.At(3, 2).fillColor = 0xFF0000;
    AppModel& m = w.Model();
    m.table = t.table;
    m.texts = t.texts;
    ComputeDrawingSizes(m.table, m.settings);
    SendMessageW(Ctl(kCheckBox1), BM_CLICK, 0, 0);  // no separator lines: only the borders
    ASSERT_EQ(SendMessageW(Ctl(kCheckBox1), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    w.SelectPage(2);
    EXPECT_TRUE(IsWindowVisible(w.Preview().hwnd));
    PreviewPane& pane = w.Preview();

    double xs[5] = {0}, ys[4] = {0};  // column and row boundaries, drawing units
    for (int c = 1; c <= 4; ++c) xs[c] = xs[c - 1] + m.table.At(1, c).drawW;
    for (int r = 1; r <= 3; ++r) ys[r] = ys[r - 1] - m.table.At(r, 1).drawH;
    auto check = [&](const char* when) {
        SCOPED_TRACE(when);
        const PanePicture picture(pane);
        const PreviewTransform at = pane.Transform();
        const double row1 = at.DeviceY((ys[0] + ys[1]) / 2), row3 = at.DeviceY((ys[2] + ys[3]) / 2);
        // Only what lies in the pane can be seen.
        auto dark = [&](double x, double y) -> std::optional<bool> {
            if (!picture.Inside(x, y)) return std::nullopt;
            return picture.DarkNear(x, y);
        };
        int seen = 0;
        for (int c = 0; c <= 4; ++c) {
            const double x = at.DeviceX(xs[c]);
            if (auto d = dark(x, row1)) {
                EXPECT_TRUE(*d) << "border left of column " << c + 1;
                ++seen;
            }
            if (auto d = dark(x, row3)) {
                EXPECT_FALSE(*d) << "no border in row 3, column " << c + 1;
                ++seen;
            }
        }
        for (int c = 1; c <= 4; ++c) {
            const double mid = at.DeviceX((xs[c - 1] + xs[c]) / 2);
            if (auto d = dark(mid, row1)) {
                EXPECT_FALSE(*d) << "inside column " << c;
                ++seen;
            }
            if (auto d = dark(mid, at.DeviceY(ys[0]))) {
                EXPECT_TRUE(*d) << "top border of column " << c;
                ++seen;
            }
            if (auto d = dark(mid, at.DeviceY(ys[1]))) {
                EXPECT_TRUE(*d) << "bottom border of column " << c;
                ++seen;
            }
        }
        EXPECT_GE(seen, 10);
        return at;
    };

    w.DrawingChanged();
    const PreviewTransform fitted = check("fitted");
    RECT client;
    GetClientRect(pane.hwnd, &client);
    // Fitted with the aspect ratio kept: one side fills the pane, less its margins.
    const double drawnW = fitted.scale * xs[4], drawnH = -fitted.scale * ys[3];
    EXPECT_TRUE(std::fabs(drawnW - (client.right - 16)) < 1 || std::fabs(drawnH - (client.bottom - 16)) < 1)
        << drawnW << " x " << drawnH;
    EXPECT_LE(drawnW, client.right - 15);
    EXPECT_LE(drawnH, client.bottom - 15);

    // The drawing point under the cursor stays under it.
    const POINT cursor{std::lround(fitted.DeviceX(xs[1])), std::lround(fitted.DeviceY(ys[1]))};
    pane.ZoomAt(cursor.x, cursor.y, 1.44);
    const PreviewTransform zoomed = check("zoomed");
    EXPECT_NEAR(zoomed.scale, fitted.scale * 1.44, 1e-9);
    EXPECT_NEAR(zoomed.DeviceX(xs[1]) - cursor.x, 1.44 * (fitted.DeviceX(xs[1]) - cursor.x), 1e-6);
    EXPECT_NEAR(zoomed.DeviceY(ys[1]) - cursor.y, 1.44 * (fitted.DeviceY(ys[1]) - cursor.y), 1e-6);
    pane.Pan(-20, 10);
    const PreviewTransform panned = check("panned");
    EXPECT_NEAR(panned.originX, zoomed.originX - 20, 1e-6);
    EXPECT_NEAR(panned.originY, zoomed.originY + 10, 1e-6);

    pane.Fit();
    RECT frame;
    GetWindowRect(w.hwnd, &frame);
    MoveWindow(w.hwnd, frame.left, frame.top, frame.right - frame.left + 200, frame.bottom - frame.top + 100, TRUE);
    PumpMessages();
    const PreviewTransform resized = check("resized");
    EXPECT_GT(resized.scale, fitted.scale);

    // Fills are drawn once the look asks for them, in their own colour.
    const double fillX = resized.DeviceX((xs[1] + xs[2]) / 2), fillY = resized.DeviceY((ys[2] + ys[3]) / 2);
    EXPECT_EQ(PanePicture(pane).At(fillX, fillY), 0xFFFFFFu);
    SendMessageW(Ctl(kCheckBox5), BM_CLICK, 0, 0);
    answer_ = IDYES;
    Command(kButton1);
    EXPECT_EQ(PanePicture(pane).At(fillX, fillY), 0xFF0000u);
}

TEST_F(MainWindowTest, CaptureWithoutASpreadsheetReportsItAndReenablesTheButton) {
    MainWindow& w = Open();
    SendMessageW(Ctl(kButton3), BM_CLICK, 0, 0);
    PumpMessages();
    ASSERT_EQ(boxes_.size(), 2u);
    EXPECT_EQ(boxes_[0].text, L"クラス名: Excel.Application.16 は無効です.");
    EXPECT_EQ(boxes_[1].text, L"取得に失敗しました.");
    for (const Box& b : boxes_) {
        EXPECT_EQ(b.owner, w.hwnd);
        EXPECT_EQ(b.caption, L"メッセージ");
        EXPECT_EQ(b.type, static_cast<UINT>(MB_OK));
    }
    EXPECT_TRUE(IsWindowEnabled(Ctl(kButton3)));
    EXPECT_FALSE(IsWindowEnabled(Ctl(kButton4)));
}

TEST_F(MainWindowTest, BackCalcDialogPairsItsRows) {
    Open();
    BackCalcDialogWindow& d = *backCalc_;
    // Typing into a row ticks it and unticks its partner.
    d.SetChecked(3, true);
    SetWindowTextW(d.Control(BackCalcDialogWindow::kEdit + 1), L"100");
    EXPECT_TRUE(d.Checked(1));
    EXPECT_FALSE(d.Checked(3));
    SendMessageW(d.Control(BackCalcDialogWindow::kCheckBox + 4), BM_CLICK, 0, 0);
    d.SetChecked(2, true);
    SendMessageW(d.Control(BackCalcDialogWindow::kCheckBox + 2), BM_CLICK, 0, 0);  // unticks 2
    SendMessageW(d.Control(BackCalcDialogWindow::kCheckBox + 2), BM_CLICK, 0, 0);  // ticks 2, unticks 4
    EXPECT_TRUE(d.Checked(2));
    EXPECT_FALSE(d.Checked(4));
    EXPECT_EQ(d.EditText(1), "100");
}

}  // namespace
}  // namespace tabulon::ui
