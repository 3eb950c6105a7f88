// The real grid control, created in a top-level window and driven by the window
// messages a user's mouse and keyboard would produce.
#include "ui/grid/grid.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "ui/test_window.h"

namespace tabulon::ui {
namespace {

using namespace tabulon::ui::test;

class GridTest : public ::testing::Test {
protected:
    // One host for all: showing and destroying a top-level window costs Wine
    // about a second each without a window manager.
    static void SetUpTestSuite() {
        host_ = CreateHostWindow(700, 500);
        EXPECT_NE(host_, nullptr) << "error " << GetLastError();
    }
    static void TearDownTestSuite() { DestroyWindow(host_); }
    void TearDown() override {
        grid_.reset();
        SetModifiers(false, false);
        PumpMessages();
    }

    Grid& Make(int cols = 5, int rows = 5, GridCreateArgs args = {}) {
        args.parent = host_;
        if (args.rect.right == 0) args.rect = {0, 0, 400, 300};
        args.border = false;
        args.colCount = cols;
        args.rowCount = rows;
        grid_ = std::make_unique<Grid>();
        EXPECT_TRUE(grid_->Create(args));
        grid_->onSelectionChanged = [this] { ++selectionChanges_; };
        // The texts live here, as in an application's model.
        texts_.clear();
        asked_.clear();
        grid_->cellText = [this](int col, int row, std::wstring& text) {
            asked_.insert({col, row});
            auto it = texts_.find({col, row});
            if (it != texts_.end()) text = it->second;
        };
        grid_->onSetEditText = [this](int col, int row, const std::wstring& text) { texts_[{col, row}] = text; };
        SetFocus(grid_->hwnd);
        PumpMessages();
        return *grid_;
    }

    POINT Center(int col, int row) const {
        RECT r{};
        EXPECT_TRUE(grid_->CellRect(col, row, &r)) << col << "," << row;
        return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }
    HWND hwnd() const { return grid_->hwnd; }
    RECT Client() const {
        RECT r;
        GetClientRect(grid_->hwnd, &r);
        return r;
    }
    std::wstring EditText() const {
        wchar_t buffer[256] = {};
        GetWindowTextW(grid_->EditHwnd(), buffer, 256);
        return buffer;
    }

    // The owner changes a text and has the cell repainted.
    void SetText(int col, int row, const std::wstring& text) {
        texts_[{col, row}] = text;
        grid_->InvalidateCell(col, row);
    }

    static inline HWND host_ = nullptr;
    std::unique_ptr<Grid> grid_;
    int selectionChanges_ = 0;
    std::map<std::pair<int, int>, std::wstring> texts_;
    std::set<std::pair<int, int>> asked_;  // the cells whose texts the grid asked for
};

TEST_F(GridTest, StartsWithFiveByFiveAndTheFirstBodyCellCurrent) {
    Grid& g = Make();
    EXPECT_EQ(g.ColCount(), 5);
    EXPECT_EQ(g.RowCount(), 5);
    EXPECT_EQ(g.ColWidth(3), 64);
    EXPECT_EQ(g.RowHeight(3), 20);
    EXPECT_EQ(g.CurrentCell(), (GridCell{1, 1}));
    EXPECT_EQ(g.Selection(), (GridRange{1, 1, 1, 1}));
    EXPECT_EQ(GetWindowLongPtrW(hwnd(), GWL_STYLE) & WS_VSCROLL, 0) << "a table that fits needs no scroll bar";
}

TEST_F(GridTest, MouseDragSelectsARange) {
    struct Case {
        std::string name;
        GridCell down, move, up;
        GridRange selection;
        GridCell current;
    };
    const Case cases[] = {
        {"down-right", {2, 2}, {3, 2}, {4, 3}, {2, 2, 4, 3}, {2, 2}},
        {"up-left", {4, 3}, {3, 3}, {2, 1}, {2, 1, 4, 3}, {4, 3}},
        {"single click", {3, 4}, {3, 4}, {3, 4}, {3, 4, 3, 4}, {3, 4}},
        {"into the header row stops at the first row", {3, 3}, {3, 2}, {3, 0}, {3, 1, 3, 3}, {3, 3}},
        {"into the header column stops at the first column", {3, 3}, {2, 3}, {0, 3}, {1, 3, 3, 3}, {3, 3}},
    };
    for (const Case& c : cases) {
        Grid& g = Make();
        std::vector<GridCell> clicks;
        g.onClick = [&](int col, int row) { clicks.push_back({col, row}); };
        MouseDown(hwnd(), Center(c.down.col, c.down.row));
        MouseMove(hwnd(), Center(c.move.col, c.move.row));
        MouseMove(hwnd(), Center(c.up.col, c.up.row));
        MouseUp(hwnd(), Center(c.up.col, c.up.row));
        EXPECT_EQ(g.Selection(), c.selection) << c.name;
        EXPECT_EQ(g.CurrentCell(), c.current) << c.name;
        EXPECT_EQ(clicks, std::vector<GridCell>{c.current}) << c.name;
        EXPECT_GT(selectionChanges_, 0) << c.name;
        EXPECT_EQ(GetCapture(), nullptr) << c.name;
    }
}

TEST_F(GridTest, ShiftClickExtendsFromTheCurrentCell) {
    Grid& g = Make();
    Click(hwnd(), Center(3, 3));
    Click(hwnd(), Center(1, 2), MK_LBUTTON | MK_SHIFT);
    EXPECT_EQ(g.Selection(), (GridRange{1, 2, 3, 3}));
    EXPECT_EQ(g.CurrentCell(), (GridCell{3, 3}));
}

TEST_F(GridTest, KeyboardMovesAndShiftExtends) {
    struct Key {
        UINT vk;
        bool shift = false;
        bool ctrl = false;
    };
    struct Case {
        std::string name;
        std::vector<Key> keys;
        GridCell current;
        GridRange selection;
    };
    const Case cases[] = {
        {"arrow moves", {{VK_RIGHT}}, {3, 2}, {3, 2, 3, 2}},
        {"shift+arrows extend", {{VK_RIGHT, true}, {VK_DOWN, true}}, {2, 2}, {2, 2, 3, 3}},
        {"shift+arrow back shrinks", {{VK_RIGHT, true}, {VK_RIGHT, true}, {VK_LEFT, true}}, {2, 2}, {2, 2, 3, 2}},
        {"plain arrow collapses a range", {{VK_DOWN, true}, {VK_DOWN}}, {2, 3}, {2, 3, 2, 3}},
        {"extension stops at the header", {{VK_UP, true}, {VK_UP, true}, {VK_UP, true}}, {2, 2}, {2, 1, 2, 2}},
        {"arrow stops at the header", {{VK_LEFT}, {VK_LEFT}}, {1, 2}, {1, 2, 1, 2}},
        {"home and end", {{VK_END}}, {4, 2}, {4, 2, 4, 2}},
        {"shift+home", {{VK_HOME, true}}, {2, 2}, {1, 2, 2, 2}},
        {"ctrl+end", {{VK_END, false, true}}, {4, 4}, {4, 4, 4, 4}},
        {"ctrl+home", {{VK_HOME, false, true}}, {1, 1}, {1, 1, 1, 1}},
        {"shift+ctrl+end", {{VK_END, true, true}}, {2, 2}, {2, 2, 4, 4}},
    };
    for (const Case& c : cases) {
        Grid& g = Make();
        g.SetCurrentCell(2, 2);
        for (const Key& k : c.keys) PressKey(hwnd(), k.vk, k.shift, k.ctrl);
        EXPECT_EQ(g.CurrentCell(), c.current) << c.name;
        EXPECT_EQ(g.Selection(), c.selection) << c.name;
    }
}

TEST_F(GridTest, HeaderClicksAreReportedAndLeaveTheSelectionToTheApplication) {
    const std::pair<GridCell, GridCell> presses[] = {
        {{2, 0}, {2, 0}},  // column header
        {{0, 3}, {0, 3}},  // row header
        {{0, 0}, {0, 0}},  // corner
        {{2, 0}, {3, 0}},  // released on another header: no click
        {{2, 0}, {2, 2}},  // released in the body: no click
    };
    for (const auto& [down, up] : presses) {
        Grid& g = Make();
        g.SetSelection({1, 1, 2, 2});
        selectionChanges_ = 0;
        std::vector<GridCell> clicks;
        g.onFixedCellClick = [&](int col, int row) { clicks.push_back({col, row}); };
        // Away from the header lines, which would start a resize.
        POINT p = Center(down.col, down.row), q = Center(up.col, up.row);
        MouseDown(hwnd(), p);
        MouseMove(hwnd(), q);
        MouseUp(hwnd(), q);
        if (down == up)
            EXPECT_EQ(clicks, std::vector<GridCell>{down});
        else
            EXPECT_TRUE(clicks.empty());
        EXPECT_EQ(g.Selection(), (GridRange{1, 1, 2, 2}));
        EXPECT_EQ(selectionChanges_, 0);
    }
}

TEST_F(GridTest, SetSelectionClampsToTheBody) {
    Grid& g = Make(6, 8);
    g.SetSelection({2, 0, 2, 99});  // a whole column, as the application makes it from a header click
    EXPECT_EQ(g.Selection(), (GridRange{2, 1, 2, 7}));
    EXPECT_EQ(g.CurrentCell(), (GridCell{2, 1}));
    g.SetSelection({-3, 0, 100, 100});
    EXPECT_EQ(g.Selection(), (GridRange{1, 1, 5, 7}));
}

TEST_F(GridTest, DraggingHeaderLinesResizesColumnsAndRows) {
    struct Case {
        std::string name;
        POINT down;
        POINT up;
        bool column;
        int index;
        int size;
        bool reported;
    };
    // Column 1's line is at x 129, row 2's at y 62.
    const Case cases[] = {
        {"widen a column", {128, 10}, {148, 10}, true, 1, 84, true},
        {"narrow a column to nothing", {130, 10}, {0, 10}, true, 1, 0, true},
        {"widen the header column", {64, 5}, {100, 5}, true, 0, 100, true},
        {"lower a row", {10, 62}, {10, 52}, false, 2, 10, true},
        {"raise a row", {12, 61}, {12, 91}, false, 2, 50, true},
        {"press without moving", {128, 10}, {128, 10}, true, 1, 64, false},
    };
    for (const Case& c : cases) {
        Grid& g = Make();
        std::vector<std::pair<int, int>> reports;
        g.onColWidthChanged = [&](int col, int w) { reports.push_back({col, w}); };
        g.onRowHeightChanged = [&](int row, int h) { reports.push_back({100 + row, h}); };
        EXPECT_EQ(g.HitTest(c.down).kind, c.column ? GridHitKind::ColumnLine : GridHitKind::RowLine) << c.name;
        MouseDown(hwnd(), c.down);
        MouseMove(hwnd(), c.up);
        MouseUp(hwnd(), c.up);
        EXPECT_EQ(c.column ? g.ColWidth(c.index) : g.RowHeight(c.index), c.size) << c.name;
        std::vector<std::pair<int, int>> expected;
        if (c.reported) expected.push_back({c.column ? c.index : 100 + c.index, c.size});
        EXPECT_EQ(reports, expected) << c.name;
        EXPECT_EQ(g.Selection(), (GridRange{1, 1, 1, 1})) << c.name << ": resizing selects nothing";
    }
}

TEST_F(GridTest, SizeCursorNearHeaderLines) {
    Make();
    struct Case {
        POINT at;
        LPCWSTR cursor;
    };
    const Case cases[] = {
        {{127, 10}, IDC_SIZEWE},  // column 1's line is at x 129
        {{10, 60}, IDC_SIZENS},   // row 2's line is at y 62
        {{100, 10}, IDC_ARROW},
        {{127, 60}, IDC_ARROW},  // in the body, lines are not handles
    };
    for (const Case& c : cases) {
        POINT screen = c.at;
        ClientToScreen(hwnd(), &screen);
        SetCursorPos(screen.x, screen.y);
        SetCursor(nullptr);
        SendMessageW(hwnd(), WM_SETCURSOR, reinterpret_cast<WPARAM>(hwnd()), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, c.cursor)) << c.at.x << "," << c.at.y;
    }
}

TEST_F(GridTest, ResizedColumnMovesTheCellsAfterIt) {
    Grid& g = Make();
    MouseDown(hwnd(), {129, 10});
    MouseMove(hwnd(), {159, 10});
    RECT r;
    ASSERT_TRUE(g.CellRect(2, 2, &r));
    EXPECT_EQ(r.left, 65 + 95) << "live while dragging";
    MouseUp(hwnd(), {159, 10});
    EXPECT_EQ(g.HitTest({170, 30}), (GridHit{GridHitKind::Cell, 2, 1}));
}

struct EditCase {
    std::string name;
    bool startWithF2;
    std::wstring typed;
    UINT endKey;  // VK_RETURN commits, VK_ESCAPE cancels
    std::wstring shownWhileEditing;
    std::wstring stored;
};

TEST_F(GridTest, EditingStartsWithAKeyAndEndsWithEnterOrEsc) {
    const EditCase cases[] = {
        {"typing replaces the text", false, L"xy", VK_RETURN, L"xy", L"xy"},
        {"F2 keeps the text and appends", true, L"z", VK_RETURN, L"oldz", L"oldz"},
        {"F2 then Enter stores it unchanged", true, L"", VK_RETURN, L"old", L"old"},
        {"Esc cancels", false, L"xy", VK_ESCAPE, L"xy", L"old"},
        {"Japanese characters, as an IME delivers them", false, L"\u8868\u5f62", VK_RETURN, L"\u8868\u5f62",
         L"\u8868\u5f62"},
    };
    for (const EditCase& c : cases) {
        Grid& g = Make();
        SetText(2, 3, L"old");
        g.SetCurrentCell(2, 3);
        std::vector<std::wstring> reports;
        g.onSetEditText = [&, store = g.onSetEditText](int col, int row, const std::wstring& text) {
            EXPECT_EQ((GridCell{col, row}), (GridCell{2, 3}));
            reports.push_back(text);
            store(col, row, text);
        };
        if (c.startWithF2) PressKey(hwnd(), VK_F2);
        // Every character goes to the grid: those after the first reach the editor
        // through it, as queued IME characters do.
        for (wchar_t ch : c.typed) TypeChar(hwnd(), ch);
        ASSERT_TRUE(g.IsEditing()) << c.name;
        EXPECT_TRUE(IsWindowVisible(g.EditHwnd())) << c.name;
        EXPECT_EQ(GetFocus(), g.EditHwnd()) << c.name;
        EXPECT_EQ(EditText(), c.shownWhileEditing) << c.name;
        RECT cell, edit;
        ASSERT_TRUE(g.CellRect(2, 3, &cell));
        GetWindowRect(g.EditHwnd(), &edit);
        MapWindowPoints(nullptr, hwnd(), reinterpret_cast<POINT*>(&edit), 2);
        EXPECT_TRUE(EqualRect(&cell, &edit)) << c.name << ": the editor covers the cell";

        PressKey(g.EditHwnd(), c.endKey);
        EXPECT_FALSE(g.IsEditing()) << c.name;
        EXPECT_FALSE(IsWindowVisible(g.EditHwnd())) << c.name;
        EXPECT_EQ(GetFocus(), hwnd()) << c.name;
        EXPECT_EQ(g.GetCellText(2, 3), c.stored) << c.name;
        EXPECT_EQ(reports.size(), c.endKey == VK_RETURN ? 1u : 0u) << c.name;
    }
}

TEST_F(GridTest, ClickingElsewhereCommitsTheEdit) {
    Grid& g = Make();
    g.SetCurrentCell(1, 1);
    TypeChar(hwnd(), L'a');
    ASSERT_TRUE(g.IsEditing());
    Click(hwnd(), Center(3, 3));
    EXPECT_FALSE(g.IsEditing());
    EXPECT_EQ(g.GetCellText(1, 1), L"a");
    EXPECT_EQ(g.CurrentCell(), (GridCell{3, 3}));
}

TEST_F(GridTest, DoubleClickEditsTheCurrentCell) {
    Grid& g = Make();
    SetText(2, 2, L"abc");
    Click(hwnd(), Center(2, 2));
    SendMessageW(hwnd(), WM_LBUTTONDBLCLK, MK_LBUTTON, ClientPoint(Center(2, 2)));
    ASSERT_TRUE(g.IsEditing());
    EXPECT_EQ(EditText(), L"abc");
    DWORD start = 0, end = 0;
    SendMessageW(g.EditHwnd(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 3u) << "caret at the end, nothing selected";
    EXPECT_EQ(end, 3u);
}

TEST_F(GridTest, EditingCanBeSwitchedOff) {
    GridCreateArgs args;
    args.editing = false;
    Grid& g = Make(5, 5, args);
    SetText(1, 1, L"keep");
    TypeChar(hwnd(), L'x');
    PressKey(hwnd(), VK_F2);
    SendMessageW(hwnd(), WM_LBUTTONDBLCLK, MK_LBUTTON, ClientPoint(Center(1, 1)));
    EXPECT_FALSE(g.IsEditing());
    EXPECT_EQ(g.GetCellText(1, 1), L"keep");
}

TEST_F(GridTest, ScrollBarMessagesMoveTheView) {
    struct Case {
        std::string name;
        UINT msg;
        WPARAM wp;
        int startTop;
        int top;  // -1: the last top row
        int left;
    };
    // 200 rows x 40 columns.
    const Case cases[] = {
        {"thumb track", WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 40), 1, 41, 1},
        {"thumb track back up", WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 3), 60, 4, 1},
        {"thumb position", WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 7), 20, 8, 1},
        {"thumb track past the end", WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 5000), 1, -1, 1},
        {"line down", WM_VSCROLL, SB_LINEDOWN, 1, 2, 1},
        {"line up", WM_VSCROLL, SB_LINEUP, 10, 9, 1},
        {"line up at the top", WM_VSCROLL, SB_LINEUP, 1, 1, 1},
        {"top", WM_VSCROLL, SB_TOP, 50, 1, 1},
        {"bottom", WM_VSCROLL, SB_BOTTOM, 1, -1, 1},
        {"horizontal thumb track", WM_HSCROLL, MAKEWPARAM(SB_THUMBTRACK, 5), 1, 1, 6},
        {"line right", WM_HSCROLL, SB_LINERIGHT, 1, 1, 2},
    };
    for (const Case& c : cases) {
        Grid& g = Make(40, 200);
        g.SetTopRow(c.startTop);
        ASSERT_EQ(g.TopRow(), c.startTop) << c.name;
        SendMessageW(hwnd(), c.msg, c.wp, 0);
        const int maxTop = g.Geometry().rows.MaxFirst();
        const int top = c.top >= 0 ? c.top : maxTop;
        EXPECT_EQ(g.TopRow(), top) << c.name;
        EXPECT_EQ(g.LeftCol(), c.left) << c.name;
        SCROLLINFO si{};
        si.cbSize = sizeof(si);
        si.fMask = SIF_ALL;
        GetScrollInfo(hwnd(), SB_VERT, &si);
        EXPECT_EQ(si.nPos, g.TopRow() - 1) << c.name << ": the scroll bar follows";
        EXPECT_EQ(g.HitTest(Center(g.LeftCol(), g.TopRow())), (GridHit{GridHitKind::Cell, g.LeftCol(), g.TopRow()}))
            << c.name;
    }
}

TEST_F(GridTest, PageDownTurnsAPageAndMovesTheCurrentCellWithIt) {
    Grid& g = Make(5, 200);
    const int page = g.Geometry().rows.PageCount();
    ASSERT_GT(page, 3);
    SendMessageW(hwnd(), WM_VSCROLL, SB_PAGEDOWN, 0);
    EXPECT_EQ(g.TopRow(), 1 + page);
    g.SetTopRow(1);
    g.SetCurrentCell(1, 3);
    PressKey(hwnd(), VK_NEXT);
    EXPECT_EQ(g.CurrentCell().row, 3 + page);
    EXPECT_EQ(g.TopRow(), 1 + page);
    PressKey(hwnd(), VK_PRIOR);
    EXPECT_EQ(g.CurrentCell().row, 3);
    EXPECT_EQ(g.TopRow(), 1);
}

TEST_F(GridTest, MouseWheelScrollsBySystemLines) {
    Grid& g = Make(5, 200);
    UINT lines = 3;
    SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    ASSERT_GT(lines, 0u);
    ASSERT_LT(lines, 20u);
    SendMessageW(hwnd(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-2 * WHEEL_DELTA)), 0);
    EXPECT_EQ(g.TopRow(), 1 + 2 * static_cast<int>(lines));
    // Half notches add up, as from a smooth wheel.
    SendMessageW(hwnd(), WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA / 2), 0);
    EXPECT_EQ(g.TopRow(), 1 + 2 * static_cast<int>(lines));
    SendMessageW(hwnd(), WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA / 2), 0);
    EXPECT_EQ(g.TopRow(), 1 + static_cast<int>(lines));
}

TEST_F(GridTest, NavigationKeepsTheCurrentCellInView) {
    for (bool scrollBars : {true, false}) {
        GridCreateArgs args;
        args.scrollBars = scrollBars;
        Grid& g = Make(40, 300, args);
        EXPECT_EQ((GetWindowLongPtrW(hwnd(), GWL_STYLE) & WS_VSCROLL) != 0, scrollBars);
        auto expectInView = [&](const char* what) {
            RECT cell, client = Client();
            GridCell c = g.CurrentCell();
            ASSERT_TRUE(g.CellRect(c.col, c.row, &cell)) << what;
            EXPECT_LE(cell.bottom, client.bottom) << what;
            EXPECT_LE(cell.right, client.right) << what;
        };
        for (int i = 0; i < 30; ++i) PressKey(hwnd(), VK_DOWN);
        EXPECT_EQ(g.CurrentCell().row, 31);
        EXPECT_GT(g.TopRow(), 1);
        expectInView("30 x down");
        for (int i = 0; i < 12; ++i) PressKey(hwnd(), VK_RIGHT, true);
        EXPECT_GT(g.LeftCol(), 1) << "extending follows the moving corner";
        PressKey(hwnd(), VK_END, false, true);
        EXPECT_EQ(g.CurrentCell(), (GridCell{39, 299}));
        EXPECT_EQ(g.TopRow(), g.Geometry().rows.MaxFirst());
        expectInView("ctrl+end");
        PressKey(hwnd(), VK_HOME, false, true);
        EXPECT_EQ(g.TopRow(), 1);
        EXPECT_EQ(g.LeftCol(), 1);
        // A click on a cell cut off at the bottom brings it whole into view.
        RECT client = Client();
        const GridHit hit = g.HitTest({100, client.bottom - 2});
        ASSERT_EQ(hit.kind, GridHitKind::Cell);
        Click(hwnd(), {100, client.bottom - 2});
        EXPECT_EQ(g.CurrentCell().row, hit.row);
        expectInView("click on a cut-off row");
    }
}

TEST_F(GridTest, RightClickReportsTheMenuPointAndKeepsTheSelection) {
    Grid& g = Make();
    g.SetSelection({1, 1, 2, 2});
    selectionChanges_ = 0;
    std::vector<POINT> menus;
    g.onContextMenu = [&](POINT p) { menus.push_back(p); };
    POINT p = Center(4, 4);
    SendMessageW(hwnd(), WM_RBUTTONDOWN, MK_RBUTTON, ClientPoint(p));
    SendMessageW(hwnd(), WM_RBUTTONUP, 0, ClientPoint(p));
    EXPECT_EQ(g.Selection(), (GridRange{1, 1, 2, 2}));
    EXPECT_EQ(selectionChanges_, 0);
    ASSERT_EQ(menus.size(), 1u);
    POINT screen = p;
    ClientToScreen(hwnd(), &screen);
    EXPECT_EQ(menus[0].x, screen.x);
    EXPECT_EQ(menus[0].y, screen.y);

    // From the keyboard (Shift+F10, the menu key) the menu opens below the current cell.
    SendMessageW(hwnd(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(hwnd()), MAKELPARAM(-1, -1));
    ASSERT_EQ(menus.size(), 2u);
    RECT cell;
    ASSERT_TRUE(g.CellRect(1, 1, &cell));
    POINT below{cell.left, cell.bottom};
    ClientToScreen(hwnd(), &below);
    EXPECT_EQ(menus[1].x, below.x);
    EXPECT_EQ(menus[1].y, below.y);
}

TEST_F(GridTest, OwnerDrawHookSeesOnlyTheCellsInView) {
    Grid& g = Make(31, 10001);
    g.SetSelection({2, 2, 3, 4});
    struct Drawn {
        GridCell cell;
        GridDrawState state;
    };
    std::vector<Drawn> drawn;
    g.onDrawCell = [&](int col, int row, const RECT& r, GridDrawState state, HDC dc, const std::wstring&) {
        drawn.push_back({{col, row}, state});
        DrawTextW(dc, L"x", 1, const_cast<RECT*>(&r), DT_SINGLELINE);
    };
    for (int top : {1, 5000, 9990}) {
        g.SetTopRow(top);
        UpdateWindow(hwnd());
        drawn.clear();
        RedrawWindow(hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);

        const GridAxis& cols = g.Geometry().cols;
        const GridAxis& rows = g.Geometry().rows;
        std::set<std::pair<int, int>> expected;
        auto inView = [](const GridAxis& a, int i) {
            int s, e;
            return a.Span(i, &s, &e);
        };
        for (int r = 0; r < g.RowCount(); ++r)
            if (inView(rows, r))
                for (int c = 0; c < g.ColCount(); ++c)
                    if (inView(cols, c)) expected.insert({c, r});
        ASSERT_GT(expected.size(), 20u) << "top " << top;
        ASSERT_LT(expected.size(), 400u) << "top " << top;
        std::set<std::pair<int, int>> seen;
        for (const Drawn& d : drawn) {
            EXPECT_TRUE(seen.insert({d.cell.col, d.cell.row}).second)
                << "drawn twice: " << d.cell.col << "," << d.cell.row;
            EXPECT_EQ(d.state.fixed, d.cell.col == 0 || d.cell.row == 0);
            const GridRange selection{2, 2, 3, 4};
            EXPECT_EQ(d.state.selected, !d.state.fixed && selection.Contains(d.cell.col, d.cell.row));
            EXPECT_EQ(d.state.focused, d.cell == (GridCell{2, 2}));
        }
        EXPECT_EQ(seen, expected) << "top " << top;
    }
}

// A 32-bit DIB, so GetPixel returns exactly the colours painted.
class MemoryCanvas {
public:
    MemoryCanvas(int width, int height) : dc_(CreateCompatibleDC(nullptr)) {
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
        bi.bmiHeader.biWidth = width;
        bi.bmiHeader.biHeight = -height;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        bi.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        bitmap_.reset(CreateDIBSection(dc_.get(), &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
        old_ = SelectObject(dc_.get(), bitmap_.get());
    }
    ~MemoryCanvas() { SelectObject(dc_.get(), old_); }
    HDC dc() const { return dc_.get(); }
    COLORREF At(int x, int y) const { return GetPixel(dc_.get(), x, y); }
    // Whether any pixel of the rectangle differs from `background`.
    bool Marked(const RECT& r, COLORREF background) const {
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                if (At(x, y) != background) return true;
        return false;
    }

private:
    UniqueMemoryDc dc_;
    UniqueHbitmap bitmap_;
    HGDIOBJ old_ = nullptr;
};

TEST_F(GridTest, PaintsHeadersSelectionLinesAndTexts) {
    for (COLORREF fixedColor : {CLR_DEFAULT, RGB(12, 200, 56)}) {
        GridCreateArgs args;
        args.fixedColor = fixedColor;
        Grid& g = Make(6, 6, args);
        g.SetColWidth(3, 0);
        g.SetSelection({1, 1, 2, 2});
        SetText(4, 4, L"\u8868\u8868\u8868");
        RECT client = Client();
        MemoryCanvas canvas(client.right, client.bottom);
        g.Paint(canvas.dc(), client);

        const COLORREF header = fixedColor == CLR_DEFAULT ? GetSysColor(COLOR_ACTIVECAPTION) : fixedColor;
        const COLORREF window = GetSysColor(COLOR_WINDOW);
        EXPECT_EQ(canvas.At(60, 17), header) << "corner";
        EXPECT_EQ(canvas.At(100, 3), header) << "column header";
        EXPECT_EQ(canvas.At(3, 100), header) << "row header";
        EXPECT_EQ(canvas.At(66, 22), GetSysColor(COLOR_HIGHLIGHT)) << "selected";
        EXPECT_EQ(canvas.At(140, 50), GetSysColor(COLOR_HIGHLIGHT)) << "selected";
        EXPECT_EQ(canvas.At(66, 70), window) << "unselected";
        EXPECT_EQ(canvas.At(129, 70), GetSysColor(COLOR_BTNFACE)) << "body grid line";
        // Column 3 is hidden: column 4 follows column 2 directly.
        RECT textCell, emptyCell;
        ASSERT_TRUE(g.CellRect(4, 4, &textCell));
        EXPECT_EQ(textCell.left, 3 * 65);
        ASSERT_TRUE(g.CellRect(5, 4, &emptyCell));
        EXPECT_TRUE(canvas.Marked(textCell, window)) << "text drawn";
        EXPECT_FALSE(canvas.Marked(emptyCell, window)) << "an empty cell stays plain";
        EXPECT_EQ(canvas.At(client.right - 2, client.bottom - 2), window) << "beyond the table";
    }
}

TEST_F(GridTest, OwnerDrawnCellsGetTheirBackgroundFirst) {
    Grid& g = Make();
    SetText(2, 2, L"text the hook does not draw");
    std::wstring handed;
    g.onDrawCell = [&](int col, int row, const RECT& r, GridDrawState, HDC dc, const std::wstring& text) {
        if (col == 2 && row == 2) handed = text;
        if (col == 3 && row == 3) {
            RECT inner{r.left + 10, r.top + 5, r.left + 20, r.top + 15};
            FillRect(dc, &inner, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        }
    };
    RECT client = Client();
    MemoryCanvas canvas(client.right, client.bottom);
    g.Paint(canvas.dc(), client);
    RECT cell;
    ASSERT_TRUE(g.CellRect(2, 2, &cell));
    EXPECT_FALSE(canvas.Marked(cell, GetSysColor(COLOR_WINDOW))) << "with a hook, the grid draws no text";
    EXPECT_EQ(handed, L"text the hook does not draw") << "the hook is handed the owner's text";
    ASSERT_TRUE(g.CellRect(3, 3, &cell));
    EXPECT_EQ(canvas.At(cell.left + 15, cell.top + 10), RGB(0, 0, 0));
    EXPECT_EQ(canvas.At(cell.left + 2, cell.top + 2), GetSysColor(COLOR_WINDOW));
}

TEST_F(GridTest, TextsComeFromTheOwnerForTheCellsOfTheTableOnly) {
    Grid& g = Make();
    SetText(3, 3, L"c3r3");
    SetText(1, 4, L"c1r4");
    SetText(0, 2, L"header");
    g.SetCurrentCell(4, 4);
    g.SetColCount(8);
    EXPECT_EQ(g.GetCellText(3, 3), L"c3r3");
    EXPECT_EQ(g.GetCellText(0, 2), L"header");
    g.SetRowCount(4);
    EXPECT_EQ(g.CurrentCell(), (GridCell{4, 3})) << "current cell follows the shrunk table";
    EXPECT_EQ(g.GetCellText(3, 3), L"c3r3");
    EXPECT_EQ(g.GetCellText(1, 4), L"") << "out of range now";

    // A paint asks for the cells it draws, and never for one beyond the table.
    asked_.clear();
    RedrawWindow(hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_TRUE(asked_.count({3, 3}));
    EXPECT_TRUE(asked_.count({0, 2}));
    for (const auto& [col, row] : asked_) {
        EXPECT_LT(col, 8);
        EXPECT_LT(row, 4);
    }
    g.SetRowCount(6);
    EXPECT_EQ(g.GetCellText(1, 4), L"c1r4") << "the owner's text shows again with its row";
    EXPECT_EQ(g.GetCellText(-1, 99), L"");
    g.SetRowCount(0);
    EXPECT_EQ(g.RowCount(), 2) << "a header and one body row remain";
}

}  // namespace
}  // namespace tabulon::ui
