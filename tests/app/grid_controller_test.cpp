#include "app/grid_controller.h"

#include <gtest/gtest.h>

#include "app/fake_main_view.h"
#include "app/startup_controller.h"
#include "support/table_builder.h"

namespace tabulon {
namespace {

using test::FakeMainView;

struct Fixture {
    AppModel model;
    FakeMainView view;
    GridController grid{model, view};

    Fixture() {
        test::TestTable t(12, 4);
        t.Merge(2, 2, 2, 2);
        t.table.At(1, 1).txtAlign = 2;
        t.table.At(1, 2).txtAlign = 3;
        t.Text(1, 1, "上\n下");
        t.Text(1, 2, "plain");
        t.Compute();
        model.table = t.table;
        model.texts = t.texts;
        view.colCount = 5;
        view.rowCount = 13;
    }
};

TEST(GridController, InspectingTheCurrentCell) {
    Fixture f;
    f.view.texts[Ctl::Label13] = "[0041]";
    f.view.col = 1;
    f.view.row = 1;
    f.grid.StringGrid1Click();
    EXPECT_EQ(f.view.texts[Ctl::Edit1], "上\n下");
    EXPECT_TRUE(f.view.edit1Red);
    EXPECT_EQ(f.view.texts[Ctl::Label13], "");
    EXPECT_EQ(f.view.shownAlignment, 2);
    EXPECT_EQ(f.view.texts[Ctl::Edit11], "24.000");
    EXPECT_EQ(f.view.texts[Ctl::Edit12], "6.020");
    EXPECT_EQ(f.view.texts[Ctl::Edit13], "2.970");

    f.view.col = 2;
    f.grid.StringGrid1Click();
    EXPECT_EQ(f.view.texts[Ctl::Edit1], "plain");
    EXPECT_FALSE(f.view.edit1Red);
    EXPECT_EQ(f.view.shownAlignment, 3);

    // A header cell, or no table yet: the text is shown, the rest is left alone.
    f.view.shownAlignment = -1;
    f.view.col = 0;
    f.grid.StringGrid1Click();
    EXPECT_EQ(f.view.shownAlignment, -1);
    AppModel empty;
    empty.texts.Resize(5, 5);
    empty.texts.Set(1, 1, "x");
    FakeMainView view;
    GridController(empty, view).StringGrid1Click();
    EXPECT_EQ(view.texts[Ctl::Edit1], "x");
    EXPECT_EQ(view.shownAlignment, -1);
}

TEST(GridController, PaintingRules) {
    Fixture f;
    using Align = CellPaint::Align;
    struct Case {
        int32_t col, row;
        bool fixed;
        Align align;
        bool merged;
    };
    const Case cases[] = {
        {0, 0, true, Align::Centre, false},  {3, 0, true, Align::Centre, false},  // headers: centred, never cyan
        {1, 1, false, Align::Centre, false}, {2, 1, false, Align::Right, false},
        {3, 1, false, Align::Left, false},   {2, 2, false, Align::Left, true},  // anchor
        {3, 3, false, Align::Left, true},    {2, 3, false, Align::Left, true},  // covered
        {4, 4, false, Align::Left, false},
    };
    for (const Case& c : cases) {
        CellPaint p = f.grid.StringGrid1DrawCell(c.col, c.row, c.fixed);
        EXPECT_FALSE(p.useDefault);
        EXPECT_EQ(p.align, c.align) << c.col << "," << c.row;
        EXPECT_EQ(p.mergedBackground, c.merged) << c.col << "," << c.row;
    }
    AppModel empty;
    FakeMainView view;
    EXPECT_TRUE(GridController(empty, view).StringGrid1DrawCell(1, 1, false).useDefault);
}

TEST(GridController, HeaderClicksSelectColumnsRowsOrEverything) {
    Fixture f;
    f.grid.StringGrid1FixedCellClick(3, 0);
    EXPECT_EQ(f.view.selection, (GridRect{3, 1, 3, 12}));
    f.grid.StringGrid1FixedCellClick(0, 5);
    EXPECT_EQ(f.view.selection, (GridRect{1, 5, 4, 5}));
    f.grid.StringGrid1FixedCellClick(0, 0);
    EXPECT_EQ(f.view.selection, (GridRect{1, 1, 4, 12}));
}

TEST(GridController, AlignmentButtonsSetTheSelectionAndRepaint) {
    Fixture f;
    f.view.selection = {2, 4, 4, 5};  // 3 x 2
    f.grid.SpeedButton1Click(3);
    int changed = 0;
    for (int r = 1; r <= 12; ++r) {
        for (int c = 1; c <= 4; ++c) {
            const bool inside = r >= 4 && r <= 5 && c >= 2;
            if (inside) {
                EXPECT_EQ(f.model.table.At(r, c).txtAlign, 3);
            }
            changed += f.model.table.At(r, c).txtAlign == 3;
        }
    }
    EXPECT_EQ(changed, 6 + 1);  // and (1, 2), which was right-aligned before
    EXPECT_EQ(f.view.repaints, 1);
    EXPECT_EQ(f.view.shownAlignment, -1);  // the buttons' look follows the next inspection

    f.grid.SpeedButton1Click(7);  // not an alignment button
    EXPECT_EQ(f.view.repaints, 1);
    f.view.col = 0;  // no current cell: nothing changes, but the grid repaints
    f.grid.SpeedButton1Click(1);
    EXPECT_EQ(f.model.table.At(4, 2).txtAlign, 3);
    EXPECT_EQ(f.view.repaints, 2);
}

TEST(GridController, EditLineChangesOnlyTheCurrentCell) {
    Fixture f;
    f.view.col = 2;
    f.view.row = 1;
    f.view.selection = {1, 1, 4, 2};
    f.view.texts[Ctl::Edit1] = "新しい";
    f.grid.Edit1Change();
    EXPECT_EQ(f.model.texts.Get(2, 1), "新しい");
    EXPECT_EQ(f.model.texts.Get(1, 1), "上\n下");
    EXPECT_EQ(f.model.table.At(1, 2).str, "");  // the captured text is not touched
    f.view.col = 0;
    f.view.texts[Ctl::Edit1] = "header";
    f.grid.Edit1Change();
    EXPECT_EQ(f.model.texts.Get(0, 1), "");
}

// Before any capture the grid is empty, 5 x 5; what is typed into it stays.
TEST(GridController, TheStartUpGridKeepsWhatIsTyped) {
    AppModel model;
    FakeMainView view;
    StartupController startup(model, view);
    GridController grid(model, view);
    startup.FormCreate([](std::string_view) { return std::nullopt; });
    EXPECT_EQ(model.texts.ColCount(), view.colCount);
    EXPECT_EQ(model.texts.RowCount(), view.rowCount);
    view.col = 4;
    view.row = 4;
    view.texts[Ctl::Edit1] = "typed";
    grid.Edit1Change();
    EXPECT_EQ(model.texts.Get(4, 4), "typed");
    grid.StringGrid1Click();
    EXPECT_EQ(view.texts[Ctl::Edit1], "typed");
}

TEST(GridController, ArrowKeysShowTheCodeAfterTheCaret) {
    Fixture f;
    f.view.texts[Ctl::Edit1] = "a\n𠮷b";
    struct Case {
        uint16_t key;
        size_t caret;
        const char* label;
    };
    const Case cases[] = {
        {37, 0, "[0061]"}, {39, 1, "[000A]"}, {38, 2, "[D842]"},
        {40, 3, "[DFB7]"}, {37, 4, "[0062]"}, {39, 5, ""},  // at the end
        {65, 0, "keep"},                                    // not an arrow: unchanged
    };
    for (const Case& c : cases) {
        f.view.texts[Ctl::Label13] = "keep";
        f.view.caret = c.caret;
        f.grid.Edit1KeyUp(c.key);
        EXPECT_EQ(f.view.texts[Ctl::Label13], c.label) << c.caret;
    }
}

}  // namespace
}  // namespace tabulon
