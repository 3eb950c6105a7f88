#include "ui/grid/grid.h"

#include <windowsx.h>

#include <algorithm>
#include <vector>

#include "ui/window_text.h"

namespace tabulon::ui {

namespace {

// The grid paints all of itself, and double clicks start an edit.
const WindowClassArgs kGridClass{.name = L"TabulonGrid", .style = CS_DBLCLKS, .background = nullptr};
constexpr int kTextInset = 2;

// The classic fast solid fill: an opaque text output of nothing.
void FillSolid(HDC dc, const RECT& r, COLORREF color) {
    SetBkColor(dc, color);
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
}

struct Slot {
    int index;
    int start;
    int end;  // exclusive, before the grid line
};

// The shown items of one direction, headers first, as far as the view reaches.
void VisibleSlots(const GridAxis& axis, std::vector<Slot>* slots) {
    slots->clear();
    int pos = 0;
    auto add = [&](int i) {
        if (!axis.Hidden(i)) slots->push_back({i, pos, pos + axis.Size(i)});
        pos += axis.Pitch(i);
    };
    for (int i = 0; i < axis.fixed() && pos < axis.extent(); ++i) add(i);
    for (int i = axis.first(); i < axis.count() && pos < axis.extent(); ++i) add(i);
}

bool Overlaps(const RECT& a, const RECT& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

POINT PointOf(LPARAM lp) {
    return {GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
}

}  // namespace

struct Grid::Palette {
    COLORREF fixedBack, fixedText, fixedLine;
    COLORREF back, text, line;
    COLORREF selectedBack, selectedText;
};

Grid::~Grid() {
    // The window outlives nothing of ours: its editor stops calling back first.
    editing_ = false;
    if (edit_) RemoveControlSubclass<&Grid::EditProc>(edit_);
}

void Grid::OnDestroyed() {
    edit_ = nullptr;
    editing_ = false;
}

bool Grid::Create(const GridCreateArgs& args) {
    font_ = args.font ? args.font : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    fixedColor_ = args.fixedColor;
    editable_ = args.editing;
    defaultDrawing_ = args.defaultDrawing;
    scrollBars_ = args.scrollBars;
    geo_.cols.SetFixed(args.fixedCols);
    geo_.rows.SetFixed(args.fixedRows);
    geo_.cols.SetDefaultSize(args.defaultColWidth);
    geo_.rows.SetDefaultSize(args.defaultRowHeight);
    geo_.cols.SetCount(args.colCount);
    geo_.rows.SetCount(args.rowCount);
    anchor_ = extent_ = geo_.ClampToBody({0, 0});

    WindowCreateArgs window;
    window.exStyle = args.border ? WS_EX_CLIENTEDGE : 0;
    window.style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_CLIPCHILDREN;
    if (scrollBars_) window.style |= WS_HSCROLL | WS_VSCROLL;
    window.rect = args.rect;
    window.parent = args.parent;
    window.id = args.id;
    if (!CreateWindowOf(kGridClass, window)) return false;
    UpdateScrollBars();
    return true;
}

// --- table ---------------------------------------------------------------------

void Grid::SetColCount(int count) {
    SetCount(geo_.cols, count);
}

void Grid::SetRowCount(int count) {
    SetCount(geo_.rows, count);
}

void Grid::SetCount(GridAxis& axis, int count) {
    EndEdit(true);
    axis.SetCount(std::max(count, axis.fixed() + 1));  // one body column or row at least
    MoveTo(geo_.ClampToBody(anchor_), geo_.ClampToBody(extent_), nullptr);
    AfterLayoutChange();
}

void Grid::SetColWidth(int col, int width) {
    geo_.cols.SetSize(col, width);
    AfterLayoutChange();
}

void Grid::SetRowHeight(int row, int height) {
    geo_.rows.SetSize(row, height);
    AfterLayoutChange();
}

void Grid::SetDefaultColWidth(int width) {
    geo_.cols.SetDefaultSize(width);
    AfterLayoutChange();
}

void Grid::SetDefaultRowHeight(int height) {
    geo_.rows.SetDefaultSize(height);
    AfterLayoutChange();
}

std::wstring Grid::GetCellText(int col, int row) const {
    std::wstring text;
    if (cellText && col >= 0 && row >= 0 && col < ColCount() && row < RowCount()) cellText(col, row, text);
    return text;
}

const std::wstring& Grid::TextForDrawing(int col, int row) {
    textBuffer_.clear();
    if (cellText) cellText(col, row, textBuffer_);
    return textBuffer_;
}

void Grid::InvalidateCell(int col, int row) {
    RECT r;
    if (hwnd && CellRect(col, row, &r)) InvalidateRect(hwnd, &r, FALSE);
}

bool Grid::CellRect(int col, int row, RECT* rect) const {
    PixelRect p;
    if (!geo_.CellRect(col, row, &p)) return false;
    *rect = {p.left, p.top, p.right, p.bottom};
    return true;
}

// --- selection and scrolling --------------------------------------------------------

void Grid::SetCurrentCell(int col, int row) {
    GridCell cell = geo_.ClampToBody({col, row});
    MoveTo(cell, cell, &cell);
}

void Grid::SetSelection(const GridRange& range) {
    // No scrolling: a whole column chosen from its header should not jump to the top.
    MoveTo(geo_.ClampToBody({range.left, range.top}), geo_.ClampToBody({range.right, range.bottom}), nullptr);
}

void Grid::MoveTo(GridCell anchor, GridCell extent, const GridCell* show) {
    const bool changed = !(anchor == anchor_) || !(extent == extent_);
    if (editing_ && !(anchor == editCell_)) EndEdit(true);
    anchor_ = anchor;
    extent_ = extent;
    const int left = LeftCol(), top = TopRow();
    if (show) geo_.EnsureVisible(*show);
    if (left != LeftCol() || top != TopRow()) UpdateScrollBars();
    if (changed || left != LeftCol() || top != TopRow()) Invalidate();
    if (changed && onSelectionChanged) onSelectionChanged();
}

void Grid::SetTopRow(int row) {
    ScrollTo(LeftCol(), row);
}
void Grid::SetLeftCol(int col) {
    ScrollTo(col, TopRow());
}

void Grid::ScrollTo(int leftCol, int topRow) {
    const int left = LeftCol(), top = TopRow();
    geo_.cols.SetFirst(leftCol);
    geo_.rows.SetFirst(topRow);
    if (left == LeftCol() && top == TopRow()) return;
    // The editor sits over a cell that has just moved.
    EndEdit(true);
    UpdateScrollBars();
    Invalidate();
}

void Grid::Navigate(GridKey key, bool shift, bool ctrl) {
    const GridCell from = shift ? extent_ : anchor_;
    const GridCell to = geo_.Navigate(from, key, ctrl);
    // A page key turns the page as well, so the cell keeps its place on screen.
    if (key == GridKey::PageUp || key == GridKey::PageDown) {
        geo_.rows.SetFirst(TopRow() + (to.row - from.row));
        UpdateScrollBars();
        Invalidate();
    }
    if (shift)
        MoveTo(anchor_, to, &to);
    else
        MoveTo(to, to, &to);
}

void Grid::AfterLayoutChange() {
    if (editing_) EndEdit(true);
    UpdateScrollBars();
    Invalidate();
}

void Grid::UpdateScrollBars() {
    if (!hwnd || updatingBars_) return;
    updatingBars_ = true;
    // Showing one bar narrows the client area, which may call for the other one.
    for (int pass = 0; pass < 3; ++pass) {
        RECT before;
        GetClientRect(hwnd, &before);
        geo_.SetClientSize(before.right, before.bottom);
        if (!scrollBars_) break;
        for (int bar : {SB_HORZ, SB_VERT}) {
            GridScrollBar values = bar == SB_HORZ ? geo_.cols.ScrollBar() : geo_.rows.ScrollBar();
            // Setting a scroll bar repaints it, which is slow under Wine: only on change.
            GridScrollBar& shown = bar == SB_HORZ ? shownBars_[0] : shownBars_[1];
            if (values == shown) continue;
            shown = values;
            SCROLLINFO si{};
            si.cbSize = sizeof(si);
            si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
            si.nMax = values.max;
            si.nPage = static_cast<UINT>(values.page);
            si.nPos = values.pos;
            SetScrollInfo(hwnd, bar, &si, TRUE);
        }
        RECT after;
        GetClientRect(hwnd, &after);
        if (after.right == before.right && after.bottom == before.bottom) break;
    }
    updatingBars_ = false;
}

void Grid::Invalidate() {
    if (hwnd) InvalidateRect(hwnd, nullptr, FALSE);
}

// --- editing -------------------------------------------------------------------

void Grid::BeginEdit(bool selectAll) {
    if (!editable_ || editing_ || !hwnd) return;
    MoveTo(anchor_, extent_, &anchor_);
    RECT r;
    if (!CellRect(anchor_.col, anchor_.row, &r)) return;
    if (!edit_) {
        edit_ = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | ES_AUTOHSCROLL, 0, 0, 0, 0, hwnd, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
        if (!edit_) return;
        SubclassControl<&Grid::EditProc>(edit_, this);
        SendMessageW(edit_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
        SendMessageW(edit_, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(kTextInset - 1, kTextInset - 1));
    }
    editCell_ = anchor_;
    const std::wstring text = GetCellText(anchor_.col, anchor_.row);
    SetWindowTextW(edit_, text.c_str());
    const auto length = static_cast<LPARAM>(text.size());
    SendMessageW(edit_, EM_SETSEL, selectAll ? 0 : length, length);
    MoveWindow(edit_, r.left, r.top, r.right - r.left, r.bottom - r.top, FALSE);
    editing_ = true;
    ShowWindow(edit_, SW_SHOW);
    SetFocus(edit_);
}

void Grid::EndEdit(bool commit) {
    if (!editing_) return;
    editing_ = false;
    const std::wstring text = commit ? WindowText(edit_) : std::wstring();
    const bool hadFocus = GetFocus() == edit_;
    ShowWindow(edit_, SW_HIDE);
    if (hadFocus) SetFocus(hwnd);
    Invalidate();
    if (commit && onSetEditText) onSetEditText(editCell_.col, editCell_.row, text);
}

LRESULT Grid::EditProc(HWND edit, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_GETDLGCODE:
            // Enter and Esc belong to the editor, not to a dialog's default buttons.
            return DefSubclassProc(edit, msg, wp, lp) | DLGC_WANTALLKEYS;
        case WM_KEYDOWN:
            if (wp == VK_RETURN || wp == VK_ESCAPE) {
                EndEdit(wp == VK_RETURN);
                return 0;
            }
            if (wp == VK_UP || wp == VK_DOWN || wp == VK_PRIOR || wp == VK_NEXT) {
                // As in a spreadsheet: leaving the line commits and moves on.
                EndEdit(true);
                OnKeyDown(wp);
                return 0;
            }
            break;
        case WM_CHAR:
            if (wp == L'\r' || wp == 0x1b || wp == L'\t') return 0;  // no beep
            break;
        case WM_KILLFOCUS: {
            LRESULT result = DefSubclassProc(edit, msg, wp, lp);
            if (editing_) EndEdit(true);
            return result;
        }
    }
    return DefSubclassProc(edit, msg, wp, lp);
}

// --- messages ------------------------------------------------------------------

LRESULT Grid::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_PAINT: OnPaint(); return 0;
        case WM_ERASEBKGND: return 1;  // the paint covers everything
        case WM_SIZE: OnSize(); return 0;
        case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS;
        case WM_SETFOCUS:
        case WM_KILLFOCUS: Invalidate(); return 0;
        case WM_SETFONT:
            font_ = wp ? reinterpret_cast<HFONT>(wp) : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
            if (edit_) SendMessageW(edit_, WM_SETFONT, wp, FALSE);
            if (LOWORD(lp)) Invalidate();
            return 0;
        case WM_GETFONT: return reinterpret_cast<LRESULT>(font_);
        case WM_KEYDOWN: OnKeyDown(wp); return 0;
        case WM_CHAR: OnChar(wp, lp); return 0;
        case WM_LBUTTONDOWN: OnButtonDown(PointOf(lp), wp, false); return 0;
        case WM_LBUTTONDBLCLK: OnButtonDown(PointOf(lp), wp, true); return 0;
        case WM_MOUSEMOVE: OnMouseMove(PointOf(lp)); return 0;
        case WM_LBUTTONUP: OnButtonUp(PointOf(lp)); return 0;
        case WM_CAPTURECHANGED:
            if (reinterpret_cast<HWND>(lp) != hwnd && drag_ != Drag::None) {
                Drag drag = drag_;
                drag_ = Drag::None;
                FinishDrag(drag, {-1, -1});
            }
            return 0;
        case WM_RBUTTONDOWN:
            // Focus only: the selection stays for the context menu to act on.
            if (GetFocus() != hwnd) SetFocus(hwnd);
            EndEdit(true);
            return 0;
        case WM_CONTEXTMENU:
            if (!onContextMenu) break;  // DefWindowProc passes it to the parent
            OnContextMenu(lp);
            return 0;
        case WM_SETCURSOR:
            if (LOWORD(lp) == HTCLIENT && OnSetCursor()) return TRUE;
            break;
        case WM_VSCROLL: OnScroll(SB_VERT, wp); return 0;
        case WM_HSCROLL: OnScroll(SB_HORZ, wp); return 0;
        case WM_MOUSEWHEEL: OnWheel(GET_WHEEL_DELTA_WPARAM(wp)); return 0;
    }
    return Window::WndProc(msg, wp, lp);
}

void Grid::OnSize() {
    UpdateScrollBars();
    if (editing_) EndEdit(true);
    Invalidate();
}

void Grid::OnKeyDown(WPARAM key) {
    const bool shift = GetKeyState(VK_SHIFT) < 0;
    const bool ctrl = GetKeyState(VK_CONTROL) < 0;
    switch (key) {
        case VK_LEFT: Navigate(GridKey::Left, shift, ctrl); break;
        case VK_RIGHT: Navigate(GridKey::Right, shift, ctrl); break;
        case VK_UP: Navigate(GridKey::Up, shift, ctrl); break;
        case VK_DOWN: Navigate(GridKey::Down, shift, ctrl); break;
        case VK_HOME: Navigate(GridKey::Home, shift, ctrl); break;
        case VK_END: Navigate(GridKey::End, shift, ctrl); break;
        case VK_PRIOR: Navigate(GridKey::PageUp, shift, ctrl); break;
        case VK_NEXT: Navigate(GridKey::PageDown, shift, ctrl); break;
        case VK_F2: BeginEdit(false); break;
    }
}

void Grid::OnChar(WPARAM ch, LPARAM lp) {
    // Characters queued before the editor took the focus (an IME result arrives
    // as several) still belong to it.
    if (editing_) {
        SendMessageW(edit_, WM_CHAR, ch, lp);
        return;
    }
    if (!editable_ || ch < 0x20 || ch == 0x7f) return;
    BeginEdit(true);
    if (editing_) SendMessageW(edit_, WM_CHAR, ch, lp);
}

void Grid::OnButtonDown(POINT pt, WPARAM keys, bool doubleClick) {
    if (GetFocus() != hwnd) SetFocus(hwnd);
    EndEdit(true);
    const GridHit hit = geo_.HitTest(pt.x, pt.y);
    switch (hit.kind) {
        case GridHitKind::ColumnLine:
        case GridHitKind::RowLine: {
            const bool col = hit.kind == GridHitKind::ColumnLine;
            drag_ = col ? Drag::ColSize : Drag::RowSize;
            dragIndex_ = col ? hit.col : hit.row;
            dragStartPos_ = col ? pt.x : pt.y;
            dragStartSize_ = std::max(col ? ColWidth(hit.col) : RowHeight(hit.row), 0);
            SetCapture(hwnd);
            return;
        }
        case GridHitKind::Cell: {
            const GridCell cell{hit.col, hit.row};
            if (geo_.IsFixed(cell.col, cell.row)) {
                drag_ = Drag::FixedPress;
                pressedFixed_ = cell;
                SetCapture(hwnd);
                return;
            }
            if (doubleClick && cell == anchor_ && editable_) {
                BeginEdit(false);
                return;
            }
            if (keys & MK_SHIFT)
                MoveTo(anchor_, cell, &cell);
            else
                MoveTo(cell, cell, &cell);
            drag_ = Drag::Select;
            SetCapture(hwnd);
            return;
        }
        case GridHitKind::Outside: return;
    }
}

void Grid::OnMouseMove(POINT pt) {
    switch (drag_) {
        case Drag::ColSize: {
            const int width = std::max<int>(dragStartSize_ + pt.x - dragStartPos_, 0);
            if (width != ColWidth(dragIndex_)) SetColWidth(dragIndex_, width);
            break;
        }
        case Drag::RowSize: {
            const int height = std::max<int>(dragStartSize_ + pt.y - dragStartPos_, 0);
            if (height != RowHeight(dragIndex_)) SetRowHeight(dragIndex_, height);
            break;
        }
        case Drag::Select: {
            const GridCell cell = geo_.ClampToBody(geo_.DragCell(pt.x, pt.y));
            if (!(cell == extent_)) MoveTo(anchor_, cell, &cell);
            break;
        }
        case Drag::None:
        case Drag::FixedPress: break;
    }
}

void Grid::OnButtonUp(POINT pt) {
    const Drag drag = drag_;
    if (drag == Drag::None) return;
    drag_ = Drag::None;
    if (GetCapture() == hwnd) ReleaseCapture();
    FinishDrag(drag, pt);
}

void Grid::FinishDrag(Drag drag, POINT pt) {
    switch (drag) {
        case Drag::ColSize:
            if (ColWidth(dragIndex_) != dragStartSize_ && onColWidthChanged)
                onColWidthChanged(dragIndex_, ColWidth(dragIndex_));
            break;
        case Drag::RowSize:
            if (RowHeight(dragIndex_) != dragStartSize_ && onRowHeightChanged)
                onRowHeightChanged(dragIndex_, RowHeight(dragIndex_));
            break;
        case Drag::Select:
            if (onClick) onClick(anchor_.col, anchor_.row);
            break;
        case Drag::FixedPress: {
            // Only a press and release on the same header cell counts.
            const GridHit hit = geo_.HitTest(pt.x, pt.y);
            if (hit.kind == GridHitKind::Cell && GridCell{hit.col, hit.row} == pressedFixed_ && onFixedCellClick)
                onFixedCellClick(hit.col, hit.row);
            break;
        }
        case Drag::None: break;
    }
}

void Grid::OnScroll(int bar, WPARAM wp) {
    GridAxis& axis = bar == SB_VERT ? geo_.rows : geo_.cols;
    const int first = axis.first();
    int target = first;
    switch (LOWORD(wp)) {
        case SB_LINEUP: target = axis.Step(first, -1); break;
        case SB_LINEDOWN: target = axis.Step(first, +1); break;
        case SB_PAGEUP: target = first - axis.PageCount(); break;
        case SB_PAGEDOWN: target = first + axis.PageCount(); break;
        case SB_TOP: target = axis.fixed(); break;
        case SB_BOTTOM: target = axis.MaxFirst(); break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: {
            // The message carries 16 bits; the scroll bar knows the full position.
            int pos = HIWORD(wp);
            SCROLLINFO si{};
            si.cbSize = sizeof(si);
            si.fMask = SIF_TRACKPOS | SIF_RANGE;
            if (scrollBars_ && GetScrollInfo(hwnd, bar, &si) && si.nMax > 0xFFFF) pos = si.nTrackPos;
            target = axis.fixed() + pos;
            break;
        }
        default: return;
    }
    if (bar == SB_VERT)
        ScrollTo(LeftCol(), target);
    else
        ScrollTo(target, TopRow());
}

void Grid::OnWheel(int delta) {
    UINT lines = 3;
    SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    wheelRemainder_ += delta;
    const int notches = wheelRemainder_ / WHEEL_DELTA;
    wheelRemainder_ -= notches * WHEEL_DELTA;
    if (notches == 0 || lines == 0) return;
    const int step = lines == WHEEL_PAGESCROLL ? geo_.rows.PageCount() : static_cast<int>(lines);
    ScrollTo(LeftCol(), geo_.rows.Step(TopRow(), -notches * step));
}

void Grid::OnContextMenu(LPARAM lp) {
    POINT pt = PointOf(lp);
    if (pt.x == -1 && pt.y == -1) {
        // From the keyboard: open below the current cell.
        RECT r{};
        CellRect(anchor_.col, anchor_.row, &r);
        pt = {r.left, r.bottom};
        ClientToScreen(hwnd, &pt);
    }
    onContextMenu(pt);
}

bool Grid::OnSetCursor() {
    GridHitKind kind = GridHitKind::Outside;
    if (drag_ == Drag::ColSize) {
        kind = GridHitKind::ColumnLine;
    } else if (drag_ == Drag::RowSize) {
        kind = GridHitKind::RowLine;
    } else {
        POINT pt;
        GetCursorPos(&pt);
        ScreenToClient(hwnd, &pt);
        kind = geo_.HitTest(pt.x, pt.y).kind;
    }
    if (kind == GridHitKind::ColumnLine) {
        SetCursor(LoadCursorW(nullptr, IDC_SIZEWE));
        return true;
    }
    if (kind == GridHitKind::RowLine) {
        SetCursor(LoadCursorW(nullptr, IDC_SIZENS));
        return true;
    }
    return false;
}

// --- painting ------------------------------------------------------------------

void Grid::OnPaint() {
    PaintScope paint(hwnd);
    RECT client;
    GetClientRect(hwnd, &client);
    if (client.right <= 0 || client.bottom <= 0) return;
    if (!backBuffer_ || backSize_.cx < client.right || backSize_.cy < client.bottom) {
        backSize_ = {std::max(client.right, backSize_.cx), std::max(client.bottom, backSize_.cy)};
        backBuffer_.reset(CreateCompatibleBitmap(paint.dc(), backSize_.cx, backSize_.cy));
    }
    const RECT& area = paint.area();
    UniqueMemoryDc memory(CreateCompatibleDC(paint.dc()));
    if (!memory || !backBuffer_) {
        Paint(paint.dc(), area);  // no memory for a buffer: paint directly
        return;
    }
    SelectObjectScope bitmap(memory.get(), backBuffer_.get());
    Paint(memory.get(), area);
    BitBlt(paint.dc(), area.left, area.top, area.right - area.left, area.bottom - area.top, memory.get(), area.left,
           area.top, SRCCOPY);
}

void Grid::Paint(HDC hdc, const RECT& area) {
    SelectObjectScope font(hdc, font_);
    const int oldMode = SetBkMode(hdc, TRANSPARENT);
    const COLORREF oldText = GetTextColor(hdc);
    const COLORREF oldBack = GetBkColor(hdc);

    Palette palette{};
    palette.fixedBack = fixedColor_ == CLR_DEFAULT ? GetSysColor(COLOR_ACTIVECAPTION) : fixedColor_;
    palette.fixedText = GetSysColor(COLOR_CAPTIONTEXT);
    palette.fixedLine = GetSysColor(COLOR_BTNSHADOW);
    palette.back = GetSysColor(COLOR_WINDOW);
    palette.text = GetSysColor(COLOR_WINDOWTEXT);
    palette.line = GetSysColor(COLOR_BTNFACE);
    palette.selectedBack = GetSysColor(COLOR_HIGHLIGHT);
    palette.selectedText = GetSysColor(COLOR_HIGHLIGHTTEXT);

    std::vector<Slot> cols, rows;
    VisibleSlots(geo_.cols, &cols);
    VisibleSlots(geo_.rows, &rows);
    const GridRange selection = Selection();
    for (const Slot& row : rows) {
        if (row.start >= area.bottom || row.end + GridAxis::kLineWidth <= area.top) continue;
        for (const Slot& col : cols) {
            const RECT cell{col.start, row.start, col.end, row.end};
            const RECT withLines{cell.left, cell.top, cell.right + GridAxis::kLineWidth,
                                 cell.bottom + GridAxis::kLineWidth};
            if (!Overlaps(withLines, area)) continue;
            DrawCell(hdc, col.index, row.index, cell, palette, selection);
            const COLORREF line = geo_.IsFixed(col.index, row.index) ? palette.fixedLine : palette.line;
            FillSolid(hdc, {cell.right, cell.top, withLines.right, withLines.bottom}, line);
            FillSolid(hdc, {cell.left, cell.bottom, cell.right, withLines.bottom}, line);
        }
    }

    // What lies beyond the last column and row.
    const int gridRight = cols.empty() ? 0 : cols.back().end + GridAxis::kLineWidth;
    const int gridBottom = rows.empty() ? 0 : rows.back().end + GridAxis::kLineWidth;
    if (gridRight < area.right)
        FillSolid(hdc, {std::max(gridRight, static_cast<int>(area.left)), area.top, area.right, area.bottom},
                  palette.back);
    if (gridBottom < area.bottom && area.left < gridRight)
        FillSolid(hdc,
                  {area.left, std::max(gridBottom, static_cast<int>(area.top)),
                   std::min(gridRight, static_cast<int>(area.right)), area.bottom},
                  palette.back);

    RECT focus;
    if (hwnd && GetFocus() == hwnd && CellRect(anchor_.col, anchor_.row, &focus)) {
        SetTextColor(hdc, palette.selectedText);
        SetBkColor(hdc, palette.selectedBack);
        DrawFocusRect(hdc, &focus);
    }

    SetTextColor(hdc, oldText);
    SetBkColor(hdc, oldBack);
    SetBkMode(hdc, oldMode);
}

void Grid::DrawCell(HDC hdc, int col, int row, const RECT& rect, const Palette& palette, const GridRange& selection) {
    GridDrawState state;
    state.fixed = geo_.IsFixed(col, row);
    state.selected = !state.fixed && selection.Contains(col, row);
    state.focused = !state.fixed && GridCell{col, row} == anchor_;
    const COLORREF back = state.fixed ? palette.fixedBack : state.selected ? palette.selectedBack : palette.back;
    const COLORREF text = state.fixed ? palette.fixedText : state.selected ? palette.selectedText : palette.text;

    if (onDrawCell) {
        if (defaultDrawing_) FillSolid(hdc, rect, back);
        SetTextColor(hdc, text);
        onDrawCell(col, row, rect, state, hdc, TextForDrawing(col, row));
        // The hook may have changed what the next cell relies on.
        SetBkMode(hdc, TRANSPARENT);
        SelectObject(hdc, font_);
        return;
    }
    FillSolid(hdc, rect, back);
    const std::wstring& content = TextForDrawing(col, row);
    if (content.empty()) return;
    SetTextColor(hdc, text);
    RECT inset{rect.left + kTextInset, rect.top, rect.right - kTextInset, rect.bottom};
    DrawTextW(hdc, content.c_str(), static_cast<int>(content.size()), &inset,
              DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

}  // namespace tabulon::ui
