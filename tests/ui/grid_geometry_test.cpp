#include "ui/grid/grid_geometry.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace tabulon::ui {
namespace {

// Default layout: columns 64 px and rows 20 px, each followed by a 1-px line, so
// column c starts at 65*c and row r at 21*r.
GridGeometry Layout(int cols, int rows, int width, int height) {
    GridGeometry g;
    g.cols.SetCount(cols);
    g.rows.SetCount(rows);
    g.SetClientSize(width, height);
    return g;
}

struct HitCase {
    std::string name;
    std::function<void(GridGeometry&)> setup;
    int x, y;
    GridHit expected;
};

TEST(GridGeometry, HitTestFindsCellsHeaderLinesAndEmptySpace) {
    using K = GridHitKind;
    auto none = [](GridGeometry&) {};
    auto hideCol2 = [](GridGeometry& g) { g.cols.SetSize(2, 0); };
    auto hideCol2Minus = [](GridGeometry& g) { g.cols.SetSize(2, -1); };
    auto scrolled = [](GridGeometry& g) {
        g.cols.SetCount(20);
        g.rows.SetCount(50);
        g.cols.SetFirst(5);
        g.rows.SetFirst(10);
    };
    const HitCase cases[] = {
        {"corner", none, 10, 10, {K::Cell, 0, 0}},
        {"body cell", none, 70, 25, {K::Cell, 1, 1}},
        {"grid line belongs to the cell before it", none, 129, 41, {K::Cell, 1, 1}},
        {"column line itself", none, 64, 10, {K::ColumnLine, 0, 0}},
        {"3 px left of a column line", none, 61, 10, {K::ColumnLine, 0, 0}},
        {"4 px left of a column line", none, 60, 10, {K::Cell, 0, 0}},
        {"3 px right of a column line", none, 67, 10, {K::ColumnLine, 0, 0}},
        {"column line below the header row is no line", none, 129, 30, {K::Cell, 1, 1}},
        {"row line in the header column", none, 10, 41, {K::RowLine, 0, 1}},
        {"row line beside the header column is no line", none, 100, 41, {K::Cell, 1, 1}},
        {"column line wins in the corner", none, 64, 20, {K::ColumnLine, 0, 0}},
        {"last column's line can be grabbed from outside", none, 326, 10, {K::ColumnLine, 4, 0}},
        {"beyond the last column", none, 340, 10, {K::Outside, -1, 0}},
        {"beyond the last row", none, 100, 200, {K::Outside, 1, -1}},
        {"outside the client area", none, -1, 5, {K::Outside, -1, -1}},
        {"right of the client area", none, 400, 5, {K::Outside, -1, -1}},
        {"hidden column takes no space", hideCol2, 131, 30, {K::Cell, 3, 1}},
        {"a line next to a hidden column is the shown one's", hideCol2, 130, 5, {K::ColumnLine, 1, 0}},
        {"width -1 hides too", hideCol2Minus, 131, 30, {K::Cell, 3, 1}},
        {"scrolled: first body column after the header", scrolled, 70, 25, {K::Cell, 5, 10}},
        {"scrolled: header lines follow the scrolled columns", scrolled, 129, 5, {K::ColumnLine, 5, 0}},
        {"scrolled: header stays", scrolled, 10, 30, {K::Cell, 0, 10}},
    };
    for (const HitCase& c : cases) {
        GridGeometry g = Layout(5, 5, 400, 300);
        c.setup(g);
        EXPECT_EQ(g.HitTest(c.x, c.y), c.expected) << c.name;
    }
}

TEST(GridGeometry, CellRectsFollowWidthsAndScrolling) {
    GridGeometry g = Layout(20, 50, 400, 300);
    g.cols.SetSize(1, 100);
    PixelRect r;
    ASSERT_TRUE(g.CellRect(1, 1, &r));
    EXPECT_EQ(r, (PixelRect{65, 21, 165, 41}));
    ASSERT_TRUE(g.CellRect(2, 0, &r));
    EXPECT_EQ(r, (PixelRect{166, 0, 230, 20}));

    g.rows.SetFirst(10);
    EXPECT_FALSE(g.CellRect(1, 9, &r)) << "scrolled off above";
    ASSERT_TRUE(g.CellRect(1, 10, &r));
    EXPECT_EQ(r.top, 21);
    EXPECT_FALSE(g.CellRect(1, 30, &r)) << "below the view";
    g.cols.SetSize(3, 0);
    EXPECT_FALSE(g.CellRect(3, 10, &r)) << "hidden";
    EXPECT_FALSE(g.CellRect(99, 10, &r)) << "no such column";
}

TEST(GridGeometry, ScrollLimitsAndScrollBarAgree) {
    struct Case {
        std::string name;
        std::function<void(GridAxis&)> setup;
        int extent;
        int maxFirst;
        int pageCount;
        GridScrollBar bar;
    };
    auto rows = [](int n) { return [n](GridAxis& a) { a.SetCount(n); }; };
    // 215 px: the header takes 21, leaving room for nine 20-px rows and their lines.
    const Case cases[] = {
        {"uniform rows", rows(100), 215, 91, 9, {98, 9, 0}},
        {"last line may fall off the view", rows(100), 21 + 9 * 21 - 1, 91, 9, {98, 9, 0}},
        {"one pixel short of the ninth row", rows(100), 21 + 9 * 21 - 2, 92, 8, {98, 8, 0}},
        {"a tall last row",
         [](GridAxis& a) {
             a.SetCount(100);
             a.SetSize(99, 150);
         },
         215,
         97,
         9,
         {98, 3, 0}},
        {"hidden rows at the end take no room",
         [](GridAxis& a) {
             a.SetCount(100);
             for (int i = 95; i < 100; ++i) a.SetSize(i, 0);
         },
         215,
         86,
         9,
         {98, 14, 0}},
        {"everything fits", rows(5), 300, 1, 4, {3, 4, 0}},
        {"a row taller than the view",
         [](GridAxis& a) {
             a.SetCount(3);
             a.SetSize(2, 500);
         },
         215,
         2,
         1,
         {1, 1, 0}},
    };
    for (const Case& c : cases) {
        GridAxis axis(5, GridGeometry::kDefaultRowHeight);
        c.setup(axis);
        axis.SetExtent(c.extent);
        EXPECT_EQ(axis.MaxFirst(), c.maxFirst) << c.name;
        EXPECT_EQ(axis.PageCount(), c.pageCount) << c.name;
        EXPECT_EQ(axis.ScrollBar(), c.bar) << c.name;
        // The scroll bar's last position is the last first row.
        EXPECT_EQ(c.bar.max - c.bar.page + 1, std::max(c.maxFirst - axis.fixed(), 0)) << c.name;
        axis.SetFirst(1000);
        EXPECT_EQ(axis.first(), c.maxFirst) << c.name;
        axis.SetFirst(-5);
        EXPECT_EQ(axis.first(), axis.fixed()) << c.name;
    }
}

TEST(GridGeometry, EnsureVisibleScrollsAsLittleAsPossible) {
    for (bool hideSome : {false, true}) {
        GridAxis axis(200, 20);
        axis.SetSize(7, 45);
        if (hideSome)
            for (int i = 40; i < 60; ++i) axis.SetSize(i, 0);
        axis.SetExtent(215);
        for (int start : {1, 50, 190}) {
            for (int target : {1, 2, 7, 8, 30, 61, 100, 180, 199}) {
                if (axis.Hidden(target)) continue;
                axis.SetFirst(start);
                const int before = axis.first();
                axis.EnsureVisible(target);
                int top = 0, bottom = 0;
                ASSERT_TRUE(axis.Span(target, &top, &bottom)) << start << " -> " << target;
                EXPECT_LE(bottom, axis.extent()) << start << " -> " << target;
                EXPECT_GE(top, axis.FixedExtent()) << start << " -> " << target;
                if (axis.first() > before) {
                    // One row less far and the target would not fit.
                    GridAxis less = axis;
                    less.SetFirst(axis.Step(axis.first(), -1));
                    bool fits = less.Span(target, &top, &bottom) && bottom <= less.extent();
                    EXPECT_FALSE(fits) << start << " -> " << target;
                } else if (axis.first() < before) {
                    EXPECT_EQ(axis.first(), target) << start << " -> " << target;
                } else {
                    EXPECT_EQ(before, axis.first());
                }
            }
        }
    }
}

TEST(GridGeometry, NavigationKeysStayInTheBodyAndSkipHiddenCells) {
    // 10 x 10 cells, column 3 and row 5 hidden; the view shows 4 body rows, so a
    // page is 5 rows counting the hidden one.
    GridGeometry g = Layout(10, 10, 400, 21 + 4 * 21);
    g.cols.SetSize(3, 0);
    g.rows.SetSize(5, -1);
    ASSERT_EQ(g.rows.PageCount(), 5);
    struct Case {
        GridCell from;
        GridKey key;
        bool ctrl;
        GridCell to;
    };
    using K = GridKey;
    const Case cases[] = {
        {{2, 2}, K::Right, false, {4, 2}},  {{4, 2}, K::Left, false, {2, 2}},     {{1, 1}, K::Left, false, {1, 1}},
        {{1, 1}, K::Up, false, {1, 1}},     {{2, 4}, K::Down, false, {2, 6}},     {{2, 6}, K::Up, false, {2, 4}},
        {{9, 9}, K::Right, false, {9, 9}},  {{9, 9}, K::Down, false, {9, 9}},     {{5, 5}, K::Home, false, {1, 5}},
        {{5, 7}, K::Home, true, {1, 1}},    {{5, 7}, K::End, false, {9, 7}},      {{5, 7}, K::End, true, {9, 9}},
        {{5, 7}, K::Right, true, {9, 7}},   {{5, 7}, K::Left, true, {1, 7}},      {{5, 7}, K::Down, true, {5, 9}},
        {{5, 7}, K::Up, true, {5, 1}},      {{2, 1}, K::PageDown, false, {2, 6}}, {{2, 8}, K::PageDown, false, {2, 9}},
        {{2, 9}, K::PageUp, false, {2, 4}}, {{2, 0}, K::PageDown, false, {2, 6}}, {{2, 7}, K::PageUp, false, {2, 2}},
        {{2, 3}, K::PageUp, false, {2, 1}}, {{0, 0}, K::Right, false, {2, 1}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(g.Navigate(c.from, c.key, c.ctrl), c.to)
            << "from " << c.from.col << "," << c.from.row << " key " << static_cast<int>(c.key) << " ctrl " << c.ctrl;
    }

    g.cols.SetSize(9, 0);
    EXPECT_EQ(g.Navigate({2, 2}, K::End, false), (GridCell{8, 2})) << "a hidden last column is skipped";
    g.rows.SetSize(7, 0);
    EXPECT_EQ(g.Navigate({2, 2}, K::PageDown, false), (GridCell{2, 8})) << "a page ending on a hidden row goes on";
    g.rows.SetSize(8, 0);
    g.rows.SetSize(9, 0);
    EXPECT_EQ(g.Navigate({2, 4}, K::PageDown, false), (GridCell{2, 6})) << "nothing shown after it: back";
}

TEST(GridGeometry, DragPastTheEdgesPointsOneCellFurther) {
    GridGeometry g = Layout(30, 100, 400, 215);
    g.rows.SetFirst(10);
    // Rows 10..18 are whole in view; 19 is cut off.
    EXPECT_EQ(g.DragCell(100, 5).row, 9) << "into the header row: the row above the view";
    EXPECT_EQ(g.DragCell(100, 30).row, 10);
    EXPECT_EQ(g.DragCell(100, 500).row, g.rows.LastVisible() + 1) << "below the view";
    EXPECT_EQ(g.DragCell(-20, 30).col, 1) << "left of the header: stays at the first body column";

    GridGeometry small = Layout(3, 3, 400, 300);
    EXPECT_EQ(small.DragCell(390, 290), (GridCell{2, 2})) << "empty space inside the view: the last cell";
}

TEST(GridGeometry, RangeOfAnyTwoCornersIsNormalised) {
    EXPECT_EQ(RangeOf({4, 2}, {1, 7}), (GridRange{1, 2, 4, 7}));
    EXPECT_EQ(RangeOf({1, 7}, {4, 2}), (GridRange{1, 2, 4, 7}));
    EXPECT_TRUE((GridRange{1, 2, 4, 7}).Contains(4, 7));
    EXPECT_FALSE((GridRange{1, 2, 4, 7}).Contains(5, 7));
}

}  // namespace
}  // namespace tabulon::ui

namespace tabulon::ui {
namespace {

// A summary grid: a label column, but values from the first row on.
TEST(GridGeometry, WithoutAHeaderRowTheFirstRowIsBody) {
    GridGeometry geo;
    geo.rows.SetFixed(0);
    geo.rows.SetCount(5);
    EXPECT_FALSE(geo.IsFixed(1, 0));
    EXPECT_TRUE(geo.IsFixed(0, 3));
    const GridCell corner = geo.ClampToBody({0, 0});
    EXPECT_EQ(corner.col, 1);
    EXPECT_EQ(corner.row, 0);
    EXPECT_EQ(geo.rows.FixedExtent(), 0);
    EXPECT_EQ(geo.rows.first(), 0);
}

}  // namespace
}  // namespace tabulon::ui
