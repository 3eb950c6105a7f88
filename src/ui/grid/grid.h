// The cell grid control: one header row and column, range selection, resizing by
// the header lines, in-place editing and an owner-draw hook. It paints only the
// cells in view, through one back buffer, and holds no window per cell, so large
// tables stay smooth. It keeps no texts either: it asks its owner for the text
// of a cell when it draws or edits that cell.
#pragma once

#include <windows.h>
// after windows.h
#include <commctrl.h>

#include <functional>
#include <string>

#include "platform/win_resource.h"
#include "ui/grid/grid_geometry.h"
#include "ui/window.h"

namespace tabulon::ui {

struct GridCreateArgs {
    HWND parent = nullptr;
    RECT rect{};
    int id = 0;
    HFONT font = nullptr;  // nullptr: the default GUI font; the grid does not own it
    bool editing = true;
    bool scrollBars = true;
    bool border = true;
    int colCount = GridGeometry::kDefaultCount;
    int rowCount = GridGeometry::kDefaultCount;
    int fixedCols = 1;  // header columns
    int fixedRows = 1;  // header rows
    int defaultColWidth = GridGeometry::kDefaultColWidth;
    int defaultRowHeight = GridGeometry::kDefaultRowHeight;
    COLORREF fixedColor = CLR_DEFAULT;  // CLR_DEFAULT: the system's active-caption colour
    // With onDrawCell set, the grid still fills each cell's background first.
    bool defaultDrawing = true;
};

struct GridDrawState {
    bool selected = false;
    bool fixed = false;
    bool focused = false;  // the current cell
};

class Grid : public Window {
public:
    Grid() = default;
    ~Grid() override;

    bool Create(const GridCreateArgs& args);

    // The text of a cell, asked for whenever the cell is drawn or edited. It
    // fills `text`, which arrives empty. Unset: every cell is empty.
    std::function<void(int col, int row, std::wstring& text)> cellText;
    // A click on a body cell (reported when the button is released).
    std::function<void(int col, int row)> onClick;
    // A click on a header cell, not on one of its lines.
    std::function<void(int col, int row)> onFixedCellClick;
    std::function<void()> onSelectionChanged;
    // An edit was committed: the owner stores the text, and the grid shows it.
    std::function<void(int col, int row, const std::wstring& text)> onSetEditText;
    std::function<void(int col, int width)> onColWidthChanged;
    std::function<void(int row, int height)> onRowHeightChanged;
    // A right click or the menu key; the selection is left as it was.
    std::function<void(POINT screen)> onContextMenu;
    // Replaces the grid's own text drawing. The colours for the state are set in
    // hdc; text is the cell's text.
    std::function<void(int col, int row, const RECT& rect, GridDrawState state, HDC hdc, const std::wstring& text)>
        onDrawCell;

    // Table size, headers included.
    void SetColCount(int count);
    void SetRowCount(int count);
    int ColCount() const { return geo_.cols.count(); }
    int RowCount() const { return geo_.rows.count(); }
    int FixedCols() const { return geo_.cols.fixed(); }
    int FixedRows() const { return geo_.rows.fixed(); }
    // Widths and heights in pixels; -1 or 0 hides a column or row.
    void SetColWidth(int col, int width);
    void SetRowHeight(int row, int height);
    int ColWidth(int col) const { return geo_.cols.Size(col); }
    int RowHeight(int row) const { return geo_.rows.Size(row); }
    void SetDefaultColWidth(int width);
    void SetDefaultRowHeight(int height);

    // The owner's text of a cell in the table; empty outside it.
    std::wstring GetCellText(int col, int row) const;
    // Repaints a cell whose text the owner changed.
    void InvalidateCell(int col, int row);

    // The current cell is the selection's anchor; the selection never includes headers.
    GridCell CurrentCell() const { return anchor_; }
    GridRange Selection() const { return RangeOf(anchor_, extent_); }
    void SetCurrentCell(int col, int row);
    // Selects a block (clamped to the body) with the current cell at its top left.
    void SetSelection(const GridRange& range);

    int TopRow() const { return geo_.rows.first(); }
    int LeftCol() const { return geo_.cols.first(); }
    void SetTopRow(int row);
    void SetLeftCol(int col);

    GridHit HitTest(POINT client) const { return geo_.HitTest(client.x, client.y); }
    // The cell's client rectangle without its grid lines; false when not in view.
    bool CellRect(int col, int row, RECT* rect) const;
    const GridGeometry& Geometry() const { return geo_; }

    bool IsEditing() const { return editing_; }
    HWND EditHwnd() const { return edit_; }
    // selectAll: typing replaces the text (as when a key starts the edit);
    // otherwise the caret goes to the end (F2, double click).
    void BeginEdit(bool selectAll);
    void EndEdit(bool commit);

    // Paints the part `area` of the grid into any DC, as WM_PAINT would.
    void Paint(HDC hdc, const RECT& area);

private:
    enum class Drag { None, Select, ColSize, RowSize, FixedPress };

    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
    void OnDestroyed() override;
    LRESULT EditProc(HWND edit, UINT msg, WPARAM wp, LPARAM lp);
    void OnPaint();
    void OnSize();
    void OnKeyDown(WPARAM key);
    void OnChar(WPARAM ch, LPARAM lp);
    void OnButtonDown(POINT pt, WPARAM keys, bool doubleClick);
    void OnMouseMove(POINT pt);
    void OnButtonUp(POINT pt);
    // Ends a mouse gesture: reports a new size, a click or a header click.
    void FinishDrag(Drag drag, POINT pt);
    void OnScroll(int bar, WPARAM wp);
    void OnWheel(int delta);
    void OnContextMenu(LPARAM lp);
    bool OnSetCursor();

    void Navigate(GridKey key, bool shift, bool ctrl);
    // Sets the anchor and the selection's moving corner; scrolls `show` into view if given.
    void MoveTo(GridCell anchor, GridCell extent, const GridCell* show);
    void ScrollTo(int leftCol, int topRow);
    void SetCount(GridAxis& axis, int count);
    void AfterLayoutChange();
    void UpdateScrollBars();
    void Invalidate();
    // The cell's text into textBuffer_, which keeps its storage from cell to cell.
    const std::wstring& TextForDrawing(int col, int row);
    struct Palette;
    void DrawCell(HDC hdc, int col, int row, const RECT& rect, const Palette& palette, const GridRange& selection);

    GridGeometry geo_;
    std::wstring textBuffer_;
    GridCell anchor_{1, 1};
    GridCell extent_{1, 1};

    HFONT font_ = nullptr;
    COLORREF fixedColor_ = CLR_DEFAULT;
    bool editable_ = true;
    bool defaultDrawing_ = true;
    bool scrollBars_ = true;
    bool updatingBars_ = false;
    GridScrollBar shownBars_[2] = {{-1, -1, -1}, {-1, -1, -1}};  // horizontal, vertical

    HWND edit_ = nullptr;
    bool editing_ = false;
    GridCell editCell_{};

    Drag drag_ = Drag::None;
    int dragIndex_ = -1;
    int dragStartPos_ = 0;
    int dragStartSize_ = 0;
    GridCell pressedFixed_{};
    int wheelRemainder_ = 0;

    UniqueHbitmap backBuffer_;
    SIZE backSize_{};
};

}  // namespace tabulon::ui
