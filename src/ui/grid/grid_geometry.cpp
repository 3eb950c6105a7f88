#include "ui/grid/grid_geometry.h"

#include <algorithm>
#include <cstdlib>

namespace tabulon::ui {

GridRange RangeOf(GridCell a, GridCell b) {
    return {std::min(a.col, b.col), std::min(a.row, b.row), std::max(a.col, b.col), std::max(a.row, b.row)};
}

// --- GridAxis ------------------------------------------------------------------

GridAxis::GridAxis(int count, int defaultSize) : defaultSize_(defaultSize) {
    SetCount(count);
}

void GridAxis::SetCount(int count) {
    // A grid always keeps one scrollable item, so that a current cell exists.
    sizes_.resize(static_cast<size_t>(std::max(count, fixed_ + 1)), defaultSize_);
    SetFirst(first_);
}

void GridAxis::SetFixed(int fixed) {
    fixed_ = std::max(fixed, 0);
    first_ = fixed_;
    SetCount(count());
}

void GridAxis::SetSize(int i, int size) {
    if (i < 0 || i >= count()) return;
    sizes_[static_cast<size_t>(i)] = size;
    SetFirst(first_);
}

void GridAxis::SetDefaultSize(int size) {
    defaultSize_ = size;
    std::fill(sizes_.begin(), sizes_.end(), size);
    SetFirst(first_);
}

void GridAxis::SetExtent(int extent) {
    extent_ = std::max(extent, 0);
    SetFirst(first_);
}

int GridAxis::FixedExtent() const {
    int sum = 0;
    for (int i = 0; i < fixed_; ++i) sum += Pitch(i);
    return sum;
}

void GridAxis::SetFirst(int first) {
    first_ = std::clamp(first, fixed_, MaxFirst());
}

int GridAxis::MaxFirst() const {
    // The last item's own grid line may fall off the view.
    const int room = extent_ - FixedExtent() + kLineWidth;
    int used = 0;
    int best = count();
    for (int i = count() - 1; i >= fixed_; --i) {
        used += Pitch(i);
        if (used > room) break;
        best = i;
    }
    // When not even the last item fits, it still gets shown, cut off.
    return std::max(std::min(best, count() - 1), fixed_);
}

int GridAxis::PageCount() const {
    const int room = extent_ - FixedExtent();
    int used = 0;
    int n = 0;
    for (int i = first_; i < count(); ++i) {
        if (!Hidden(i) && used + Size(i) > room) break;
        used += Pitch(i);
        ++n;
    }
    return std::max(n, 1);
}

int GridAxis::LastVisible() const {
    int pos = FixedExtent();
    int last = first_;
    for (int i = first_; i < count() && pos < extent_; ++i) {
        if (!Hidden(i)) last = i;
        pos += Pitch(i);
    }
    return last;
}

bool GridAxis::Span(int i, int* start, int* end) const {
    if (i < 0 || i >= count() || Hidden(i)) return false;
    int pos = 0;
    if (i < fixed_) {
        for (int k = 0; k < i; ++k) pos += Pitch(k);
    } else {
        if (i < first_) return false;
        pos = FixedExtent();
        for (int k = first_; k < i; ++k) {
            pos += Pitch(k);
            if (pos >= extent_) return false;  // stop early on large tables
        }
    }
    if (pos >= extent_) return false;
    *start = pos;
    *end = pos + Size(i);
    return true;
}

int GridAxis::At(int pos) const {
    if (pos < 0 || pos >= extent_) return -1;
    int edge = 0;
    for (int i = 0; i < fixed_; ++i) {
        edge += Pitch(i);
        if (pos < edge) return i;
    }
    for (int i = first_; i < count() && edge < extent_; ++i) {
        edge += Pitch(i);
        if (pos < edge) return i;
    }
    return -1;
}

int GridAxis::LineNear(int pos) const {
    int best = -1;
    int bestDistance = kSizingZone + 1;
    auto consider = [&](int i, int start) {
        if (Hidden(i)) return;
        int distance = std::abs(pos - (start + Size(i)));
        // On a tie the later line wins, so a narrow item can still be widened.
        if (distance <= bestDistance && distance <= kSizingZone) {
            best = i;
            bestDistance = distance;
        }
    };
    int start = 0;
    for (int i = 0; i < fixed_; ++i) {
        consider(i, start);
        start += Pitch(i);
    }
    for (int i = first_; i < count() && start < extent_; ++i) {
        consider(i, start);
        start += Pitch(i);
    }
    return best;
}

int GridAxis::Step(int from, int delta) const {
    int i = std::clamp(from, fixed_, count() - 1);
    const int dir = delta < 0 ? -1 : 1;
    for (int left = std::abs(delta); left > 0; --left) {
        int j = i + dir;
        while (j >= fixed_ && j < count() && Hidden(j)) j += dir;
        if (j < fixed_ || j >= count()) break;
        i = j;
    }
    return i;
}

int GridAxis::Nearest(int i, int dir) const {
    i = std::clamp(i, fixed_, count() - 1);
    if (!Hidden(i)) return i;
    for (int j = i + dir; j >= fixed_ && j < count(); j += dir)
        if (!Hidden(j)) return j;
    for (int j = i - dir; j >= fixed_ && j < count(); j -= dir)
        if (!Hidden(j)) return j;
    return i;
}

int GridAxis::FirstShown() const {
    for (int i = fixed_; i < count(); ++i)
        if (!Hidden(i)) return i;
    return fixed_;
}

int GridAxis::LastShown() const {
    for (int i = count() - 1; i >= fixed_; --i)
        if (!Hidden(i)) return i;
    return count() - 1;
}

void GridAxis::EnsureVisible(int i) {
    if (i < fixed_ || i >= count()) return;
    if (i < first_) {
        SetFirst(i);
        return;
    }
    const int room = extent_ - FixedExtent();
    int used = 0;
    for (int k = first_; k < i; ++k) {
        used += Pitch(k);
        if (used > room) break;
    }
    if (used + std::max(Size(i), 0) <= room) return;
    // Walk back from i to find the first item that lets i end inside the view.
    int newFirst = i;
    used = std::max(Size(i), 0);
    for (int k = i - 1; k >= fixed_; --k) {
        if (used + Pitch(k) > room) break;
        used += Pitch(k);
        newFirst = k;
    }
    SetFirst(newFirst);
}

int GridAxis::DragIndex(int pos) const {
    if (pos < FixedExtent()) return Step(first_, -1);
    if (pos >= extent_) return Step(LastVisible(), +1);
    int i = At(pos);
    if (i < 0) return LastShown();  // past the end of the table, inside the view
    return i;
}

GridScrollBar GridAxis::ScrollBar() const {
    const int scrollable = count() - fixed_;
    return {scrollable - 1, count() - MaxFirst(), first_ - fixed_};
}

// --- GridGeometry --------------------------------------------------------------

GridGeometry::GridGeometry() : cols(kDefaultCount, kDefaultColWidth), rows(kDefaultCount, kDefaultRowHeight) {}

void GridGeometry::SetClientSize(int width, int height) {
    cols.SetExtent(width);
    rows.SetExtent(height);
}

bool GridGeometry::CellRect(int col, int row, PixelRect* rect) const {
    int left, right, top, bottom;
    if (!cols.Span(col, &left, &right) || !rows.Span(row, &top, &bottom)) return false;
    *rect = {left, top, right, bottom};
    return true;
}

GridHit GridGeometry::HitTest(int x, int y) const {
    if (x < 0 || y < 0 || x >= cols.extent() || y >= rows.extent()) return {};
    const int col = cols.At(x);
    const int row = rows.At(y);
    if (y < rows.FixedExtent()) {
        int line = cols.LineNear(x);
        if (line >= 0) return {GridHitKind::ColumnLine, line, row};
    }
    if (x < cols.FixedExtent()) {
        int line = rows.LineNear(y);
        if (line >= 0) return {GridHitKind::RowLine, col, line};
    }
    if (col < 0 || row < 0) return {GridHitKind::Outside, col, row};
    return {GridHitKind::Cell, col, row};
}

GridCell GridGeometry::ClampToBody(GridCell cell) const {
    return {std::clamp(cell.col, cols.fixed(), cols.count() - 1), std::clamp(cell.row, rows.fixed(), rows.count() - 1)};
}

GridCell GridGeometry::Navigate(GridCell from, GridKey key, bool ctrl) const {
    GridCell to = ClampToBody(from);
    switch (key) {
        case GridKey::Left: to.col = ctrl ? cols.FirstShown() : cols.Step(to.col, -1); break;
        case GridKey::Right: to.col = ctrl ? cols.LastShown() : cols.Step(to.col, +1); break;
        case GridKey::Up: to.row = ctrl ? rows.FirstShown() : rows.Step(to.row, -1); break;
        case GridKey::Down: to.row = ctrl ? rows.LastShown() : rows.Step(to.row, +1); break;
        case GridKey::Home:
            to.col = cols.FirstShown();
            if (ctrl) to.row = rows.FirstShown();
            break;
        case GridKey::End:
            to.col = cols.LastShown();
            if (ctrl) to.row = rows.LastShown();
            break;
        // A page counts rows as the scroll position does, hidden ones included.
        case GridKey::PageUp: to.row = rows.Nearest(to.row - rows.PageCount(), -1); break;
        case GridKey::PageDown: to.row = rows.Nearest(to.row + rows.PageCount(), +1); break;
    }
    return to;
}

}  // namespace tabulon::ui
