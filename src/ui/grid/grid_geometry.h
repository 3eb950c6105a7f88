// The grid's layout rules without any window: where columns and rows are, what a
// point hits, how far it may scroll and where the keys move the current cell.
// Kept free of windows.h so that every rule can be tested on its own.
#pragma once

#include <cstddef>
#include <vector>

namespace tabulon::ui {

struct GridCell {
    int col = 0;
    int row = 0;
    friend bool operator==(const GridCell&, const GridCell&) = default;
};

// An inclusive block of cells in grid coordinates.
struct GridRange {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool Contains(int col, int row) const { return col >= left && col <= right && row >= top && row <= bottom; }
    friend bool operator==(const GridRange&, const GridRange&) = default;
};

// The block spanned by two corner cells, whichever way round they are.
GridRange RangeOf(GridCell a, GridCell b);

// Client pixels; right and bottom are exclusive, as in a Win32 RECT.
struct PixelRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

enum class GridHitKind {
    Outside,     // past the last column or row, or outside the client area
    Cell,        // col and row name the cell
    ColumnLine,  // in the header row, near the line after column col
    RowLine,     // in the header column, near the line after row row
};

struct GridHit {
    GridHitKind kind = GridHitKind::Outside;
    int col = -1;
    int row = -1;
    friend bool operator==(const GridHit&, const GridHit&) = default;
};

enum class GridKey { Left, Right, Up, Down, Home, End, PageUp, PageDown };

// Values for a scroll bar whose position counts scrollable columns or rows:
// nMin 0, nMax max, nPage page, nPos pos.
struct GridScrollBar {
    int max = 0;
    int page = 0;
    int pos = 0;
    friend bool operator==(const GridScrollBar&, const GridScrollBar&) = default;
};

// One direction of the grid: the columns or the rows. Indexes below fixed() are
// the headers, always shown; the rest scroll, first() being the one shown just
// after the headers. Each shown item is followed by a one-pixel grid line; an
// item of size 0 or less is hidden and takes no space.
class GridAxis {
public:
    static constexpr int kLineWidth = 1;
    // How close to a header line the pointer must be to resize.
    static constexpr int kSizingZone = 3;

    GridAxis(int count, int defaultSize);

    int count() const { return static_cast<int>(sizes_.size()); }
    int fixed() const { return fixed_; }
    // How many leading items are headers (0 or more); scrolls back to the start.
    void SetFixed(int fixed);
    int first() const { return first_; }
    int extent() const { return extent_; }

    // Keeps the sizes of the items that stay; new ones get the default size.
    void SetCount(int count);
    int Size(int i) const { return sizes_[static_cast<std::size_t>(i)]; }
    void SetSize(int i, int size);
    int DefaultSize() const { return defaultSize_; }
    // Also resets every item to that size.
    void SetDefaultSize(int size);
    bool Hidden(int i) const { return Size(i) <= 0; }
    int Pitch(int i) const { return Hidden(i) ? 0 : Size(i) + kLineWidth; }

    // The visible length in pixels (the client width or height).
    void SetExtent(int extent);
    int FixedExtent() const;

    // Clamped to fixed()..MaxFirst().
    void SetFirst(int first);
    // The lowest first() that still fills the view to the end of the table.
    int MaxFirst() const;
    // How many items from first() fit whole after the headers; at least 1.
    int PageCount() const;
    // The last index whose start lies inside the view (may be cut off).
    int LastVisible() const;

    // Start and end (exclusive, before the grid line) of item i in the view;
    // false when it is hidden, scrolled off or beyond the view.
    bool Span(int i, int* start, int* end) const;
    // The item at a pixel (its grid line included); -1 past the last item.
    int At(int pos) const;
    // The shown item whose following line is within kSizingZone of pos; -1 if none.
    int LineNear(int pos) const;

    // Moves |delta| shown items from `from`, staying among the scrollable ones.
    int Step(int from, int delta) const;
    // The shown item nearest to i, looking first in direction dir (+1 or -1).
    int Nearest(int i, int dir) const;
    int FirstShown() const;
    int LastShown() const;
    // Scrolls as little as possible so that item i is whole in view (or starts
    // the view when it is larger than the view).
    void EnsureVisible(int i);
    // The item a drag at pos points to: one beyond the view's edge when the
    // pointer has left it, so that dragging there scrolls.
    int DragIndex(int pos) const;
    GridScrollBar ScrollBar() const;

private:
    std::vector<int> sizes_;
    int defaultSize_;
    int fixed_ = 1;
    int first_ = 1;
    int extent_ = 0;
};

class GridGeometry {
public:
    static constexpr int kDefaultColWidth = 64;
    static constexpr int kDefaultRowHeight = 20;
    static constexpr int kDefaultCount = 5;

    GridGeometry();

    GridAxis cols;
    GridAxis rows;

    void SetClientSize(int width, int height);
    // The cell's rectangle without its grid lines; false when it is not in view.
    bool CellRect(int col, int row, PixelRect* rect) const;
    GridHit HitTest(int x, int y) const;
    bool IsFixed(int col, int row) const { return col < cols.fixed() || row < rows.fixed(); }
    // The nearest cell that can be current: never a header, never outside the table.
    GridCell ClampToBody(GridCell cell) const;
    // Where a navigation key moves the current cell. Ctrl with an arrow goes to
    // that edge of the table, Ctrl+Home/End to its first/last cell.
    GridCell Navigate(GridCell from, GridKey key, bool ctrl) const;
    GridCell DragCell(int x, int y) const { return {cols.DragIndex(x), rows.DragIndex(y)}; }
    void EnsureVisible(GridCell cell) {
        cols.EnsureVisible(cell.col);
        rows.EnsureVisible(cell.row);
    }
};

}  // namespace tabulon::ui
