// The main window TForm1: two tabs, the controls on them, the cell grid and the
// summary grid, the right-click menu, and the controllers the events go to.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/app_model.h"
#include "app/back_calc.h"
#include "app/capture_controller.h"
#include "app/draw_controller.h"
#include "app/file_capture_controller.h"
#include "app/grid_controller.h"
#include "app/sizes_controller.h"
#include "app/startup_controller.h"
#include "app/text_tools_controller.h"
#include "app/xlsx_workbook_reader.h"
#include "platform/win_resource.h"
#include "ui/grid/grid.h"
#include "ui/layout.h"
#include "ui/preview/preview_pane.h"
#include "ui/win32_main_view.h"
#include "ui/window.h"

namespace tabulon::ui {

class ReplaceDialog;
class BackCalcDialogWindow;

// Control and menu identifiers; EditN is kEdit + N.
enum ControlId : int {
    kPageControl1 = 1000,
    kButton1 = 1001,
    kButton2,
    kButton3,
    kButton4,
    kButton5,
    kSpeedButton1 = 1011,
    kSpeedButton2,
    kSpeedButton3,
    kCheckBox1 = 1021,
    kProgressBar1 = 1022,
    kCheckBox2 = 1023,  // fitText; kCheckBox2 + LookCheck for the look's four boxes
    kCheckBox3,
    kCheckBox4,
    kCheckBox5,
    kStringGrid1 = 1031,
    kStringGrid2 = 1032,
    kPreview = 1033,
    kEdit = 1100,   // Edit1 .. Edit15
    kLabel = 1200,  // Label1 .. Label22
    kGroupBox1 = 1301,
    kGroupBox2 = 1302,
    kGroupBox3 = 1303,
    // PopupMenu1
    kN1 = 2001,
    kN2 = 2002,
    kN4 = 2004,
    kN5 = 2005,
    kN6 = 2006,
    kN7 = 2007,
    kN9 = 2009,
    kN12 = 2012,
    kFileCaptureButton = 1041,  // "ファイルから取得"
};

// A selected cell of a merged area keeps its light cyan and shows the selection
// as a frame this many pixels wide.
inline constexpr int kMergedSelectionFrame = 2;

struct MainWindowArgs {
    // Empty: the executable's name with ".ini" / ".dxf", beside it when its
    // folder can be written, else in the user's LocalAppData\Tabulon.
    std::wstring iniPath;
    std::wstring dxfPath;
    std::wstring programFolder;  // empty: the executable's own; else stands for it
    CaptureController::Attach attach;
    DrawController::InsertIntoCad insertIntoCad;
    MessageBoxFn messageBox;    // nullptr: MessageBoxW
    bool quitOnDestroy = true;  // the program ends with its main window
};

class MainWindow : public Window {
public:
    MainWindow();
    ~MainWindow() override;

    // Creates the window hidden, centred, with the settings loaded (FormCreate).
    bool Create(MainWindowArgs args);
    // The dialogs are created after the main window and live as long as it does.
    void AttachDialogs(ReplaceDialog& replace, BackCalcDialogWindow& backCalc);
    // "ファイルから取得" asks its questions through chooser, which outlives the window's use of it.
    void AttachWorkbookChooser(WorkbookChooser& chooser);
    // The workbook "ファイルから取得" opens next without the file dialog (UTF-8).
    void OpenWorkbookOnNextCapture(std::string path);

    HWND Control(int id) const;  // any control of either tab
    HWND Page(int index) const { return pages_[index]; }
    HWND Tooltip() const { return tooltip_; }
    HMENU PopupMenu1() const { return popup_.get(); }
    Grid& StringGrid1() { return grid1_; }
    Grid& StringGrid2() { return grid2_; }
    PreviewPane& Preview() { return preview_; }
    AppModel& Model() { return model_; }
    Win32MainView& View() { return *view_; }
    HFONT BaseFont() const { return baseFont_.get(); }
    const std::wstring& IniPath() const { return iniPath_; }
    const std::wstring& DxfPath() const { return dxfPath_; }

    // Shows tab `index` as the user's click would (PageControl1Change runs).
    void SelectPage(int index);
    // The table, its texts, sizes or settings changed.
    void DrawingChanged();

private:
    // main_window.cpp: creation and layout.
    void CreateControls();
    void CreateFirstPage(HWND page);
    void CreateSecondPage(HWND page);
    void CreateLookGroup(HWND page);
    void CreatePreviewPage(HWND page);
    void CreatePopupMenu1();
    void AddHint(HWND control, const wchar_t* hint);
    void PlacePages();

    // main_window_events.cpp: routing of the window's messages to the controllers.
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
    void OnCommand(int id, int code);
    LRESULT OnNotify(const NMHDR& header);
    LRESULT EditProc(HWND edit, UINT msg, WPARAM wp, LPARAM lp);
    void OnClose();
    // Posts the close that arrived while a capture or an insertion ran.
    void CloseIfAsked();
    void ConnectGrids();
    void PaintCell(int col, int row, const RECT& rect, const GridDrawState& state, HDC hdc, const std::wstring& text);

    MainWindowArgs args_;
    std::wstring iniPath_, dxfPath_;
    AppModel model_;
    std::unique_ptr<Win32MainView> view_;
    std::optional<StartupController> startup_;
    std::optional<SizesController> sizes_;
    std::optional<GridController> gridLogic_;
    std::optional<DrawController> draw_;
    std::optional<TextToolsController> textTools_;
    std::optional<CaptureController> capture_;
    bool closeWhenIdle_ = false;  // a close arrived during a capture or an insertion
    std::optional<BackCalcController> backCalc_;
    ReplaceDialog* replace_ = nullptr;
    XlsxWorkbookReader workbookReader_;
    std::optional<FileCaptureController> fileCapture_;
    std::string pendingWorkbook_;

    UniqueHfont baseFont_, gridFont_;
    HWND tab_ = nullptr;
    static constexpr int kPageCount = 3;
    HWND pages_[kPageCount] = {};
    HWND tooltip_ = nullptr;
    UniqueHmenu popup_;
    Grid grid1_, grid2_;
    PreviewPane preview_;
    Layout layout_;
    GridCell shownCell_{-1, -1};  // the current cell last reported to StringGrid1Click
    bool inFixedCellClick_ = false;
};

}  // namespace tabulon::ui
