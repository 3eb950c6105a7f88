#include "app/sizes_controller.h"

#include <gtest/gtest.h>

#include <functional>
#include <iterator>

#include "app/fake_main_view.h"
#include "core/size_summary.h"
#include "support/table_builder.h"

namespace tabulon {
namespace {

using test::FakeMainView;

// A captured 3 x 4 table of standard sizes in a model.
struct Fixture {
    AppModel model;
    FakeMainView view;
    SizesController sizes{model, view};

    explicit Fixture(int32_t rows = 3, int32_t cols = 4) {
        test::TestTable t(rows, cols);
        t.Compute();
        model.table = t.table;
        model.texts = t.texts;
        view.colCount = cols + 1;
        view.rowCount = rows + 1;
    }
};

TEST(SizeSummary, ModeTiesAndRange) {
    struct Case {
        std::vector<double> values;
        double mode, min, max;
    };
    const Case cases[] = {
        {{10, 20, 20, 10}, 10, 10, 20},  // a tie goes to the key that sorts first
        {{24, 24, 30}, 24, 24, 30},
        {{30, 24, 30}, 30, 24, 30},
        {{6.0200000000000005, 6.02, 9}, 6.02, 6.02, 9},  // counted by their three-decimal text
        {{-1, 5, 5, -1, -1}, -1, -1, 5},
        {{2.97}, 2.97, 2.97, 2.97},
    };
    auto ordinal = [](std::string_view a, std::string_view b) { return a.compare(b); };
    for (const Case& c : cases) {
        SizeSummary s = SummarizeSizes(c.values, '.', ordinal);
        EXPECT_DOUBLE_EQ(s.mode, c.mode) << c.values.size();
        EXPECT_DOUBLE_EQ(s.min, c.min);
        EXPECT_DOUBLE_EQ(s.max, c.max);
    }
    EXPECT_EQ(FormatFixed3(2.9700000000000002), "2.970");
    EXPECT_EQ(FormatFixed3(1234.5, ','), "1234,500");
    EXPECT_EQ(FormatFixed3(0.0005), "0.001");  // ties round to even in binary; 0.0005 is just above
}

TEST(SizesController, EmptyTableDoesNothing) {
    AppModel model;
    FakeMainView view;
    SizesController sizes(model, view);
    view.texts[Ctl::Label4] = "old";
    view.texts[Ctl::Edit4] = "15";
    sizes.ShowWHSize();
    EXPECT_EQ(view.texts[Ctl::Label4], "");
    sizes.PageControl1Change(1);
    sizes.Button1Click();
    EXPECT_TRUE(view.summary.empty());
    EXPECT_TRUE(view.questions.empty());
    EXPECT_EQ(model.settings.colXsc, 20);
    char16_t enter = u'\r';
    view.texts[Ctl::Edit12] = "5";
    EXPECT_TRUE(sizes.Edit12KeyPress(enter));
    EXPECT_TRUE(view.questions.empty());
}

TEST(SizesController, TotalsAndSummaryInTheUsersNumberFormat) {
    Fixture f;
    f.model.table.At(1, 2).drawW = 30;  // widths 24, 30, 24, 24
    f.sizes.ShowWHSize();
    EXPECT_EQ(f.view.texts[Ctl::Label4], "全体: W=102.000 x H=18.060");
    f.sizes.PageControl1Change(0);
    EXPECT_TRUE(f.view.summary.empty());  // the first tab refreshes nothing
    f.view.separator = ',';
    f.sizes.PageControl1Change(1);
    EXPECT_EQ(f.view.summary[std::make_pair(1, 0)], "102,000");
    EXPECT_EQ(f.view.summary[std::make_pair(2, 0)], "102,000");
    EXPECT_EQ(f.view.summary[std::make_pair(1, 1)], "18,060");
    EXPECT_EQ(f.view.summary[std::make_pair(1, 2)], "24,000 (24,000～30,000)");
    EXPECT_EQ(f.view.summary[std::make_pair(2, 2)], "24,000");
    EXPECT_EQ(f.view.summary[std::make_pair(1, 3)], "6,020 (6,020～6,020)");
    EXPECT_EQ(f.view.summary[std::make_pair(1, 4)], "2,970 (2,970～2,970)");
}

TEST(SizesController, ApplyingScalesAsksAndFallsBack) {
    Fixture f;
    f.model.table.At(1, 1).drawW = 99;  // an override, discarded by the recompute
    const Ctl edits[] = {Ctl::Edit4, Ctl::Edit5, Ctl::Edit6, Ctl::Edit7, Ctl::Edit8, Ctl::Edit9, Ctl::Edit10};
    const char* typed[] = {"15", "x", "abc", "", "1e-1", "0.5", "0x10"};
    for (int k = 0; k < 7; ++k) f.view.texts[edits[k]] = typed[k];

    f.view.answers = {false};
    f.sizes.Button1Click();
    ASSERT_EQ(f.view.questions.size(), 1u);
    EXPECT_EQ(f.view.questions[0].first, QuestionOwner::MainWindow);
    EXPECT_EQ(
        f.view.questions[0].second,
        "尺度を更新すると個別に設定した列幅、列高さ、文字高さがリセット（再計算）されます．\r設定を更新しますか？");
    EXPECT_EQ(f.model.settings.colXsc, 20);
    EXPECT_EQ(f.model.table.At(1, 1).drawW, 99);

    f.view.answers = {true};
    f.sizes.Button1Click();
    const ScaleSettings& s = f.model.settings;
    EXPECT_EQ(s.colXsc, 15);
    EXPECT_EQ(s.rowYsc, 3);    // fallback
    EXPECT_EQ(s.cadXsc, 10);   // fallback, not the default 3
    EXPECT_EQ(s.cadYsc, 1.5);  // fallback
    EXPECT_EQ(s.cadTsc, 0.1);
    EXPECT_EQ(s.cadTof, 0.5);
    EXPECT_EQ(s.cellLineColor, 16);
    EXPECT_EQ(f.view.texts[Ctl::Edit6], "abc");   // the edits keep what was typed
    EXPECT_EQ(f.model.table.At(1, 1).drawW, 80);  // recomputed with cadXsc 10
    EXPECT_EQ(f.view.summary[std::make_pair(2, 2)], "80.000");
}

// "変更を反映" takes each edit's own fallback when it holds no number; the
// settings held something else before, so a kept value cannot pass for it.
TEST(SizesController, EveryEditWithoutANumberTakesItsFallback) {
    struct Case {
        Ctl edit;
        std::function<double(const ScaleSettings&)> setting;
        double fallback;
    };
    const Case cases[] = {
        {Ctl::Edit4, [](const ScaleSettings& s) { return s.colXsc; }, 20},
        {Ctl::Edit5, [](const ScaleSettings& s) { return s.rowYsc; }, 3},
        {Ctl::Edit6, [](const ScaleSettings& s) { return s.cadXsc; }, 10},
        {Ctl::Edit7, [](const ScaleSettings& s) { return s.cadYsc; }, 1.5},
        {Ctl::Edit8, [](const ScaleSettings& s) { return s.cadTsc; }, 0.8},
        {Ctl::Edit9, [](const ScaleSettings& s) { return s.cadTof; }, 0.4},
        {Ctl::Edit10, [](const ScaleSettings& s) { return s.cellLineColor; }, 256},
    };
    for (const Case& c : cases) {
        for (const char* typed : {"", "abc", "1,5"}) {
            Fixture f;
            ScaleSettings& s = f.model.settings;
            s.colXsc = 11, s.rowYsc = 2, s.cadXsc = 5, s.cadYsc = 0.5, s.cadTsc = 0.3, s.cadTof = 0.7;
            s.cellLineColor = 7;
            const char* numbers[] = {"12", "4", "6", "0.6", "0.2", "0.9", "8"};
            for (size_t k = 0; k < std::size(cases); ++k) f.view.texts[cases[k].edit] = numbers[k];
            f.view.texts[c.edit] = typed;
            f.view.answers = {true};
            f.sizes.Button1Click();
            EXPECT_EQ(c.setting(s), c.fallback) << static_cast<int>(c.edit) << " \"" << typed << "\"";
        }
    }
}

// The look's check boxes and number boxes are applied with the scales; a number
// box without a number above zero gives the default, and only a Yes applies
// anything or redraws.
TEST(SizesController, AppliesTheLookSettings) {
    Fixture f;
    f.view.lookChecks = {{LookCheck::FitText, true}, {LookCheck::SheetVAlign, false},
                         {LookCheck::BorderStyle, true}, {LookCheck::CellFill, true}};
    f.view.texts[Ctl::Edit14] = "0.6";
    f.view.texts[Ctl::Edit15] = "1.3";
    f.view.answers = {false};
    f.sizes.Button1Click();
    EXPECT_FALSE(f.model.settings.fitText);
    EXPECT_EQ(f.model.settings.halfWidth, 0.5);
    EXPECT_EQ(f.view.drawingChanges, 0);

    f.model.settings.sheetVAlign = true;  // unticked on the tab: turned off
    f.view.answers = {true};
    f.sizes.Button1Click();
    const ScaleSettings& s = f.model.settings;
    EXPECT_TRUE(s.fitText);
    EXPECT_FALSE(s.sheetVAlign);
    EXPECT_TRUE(s.borderStyle);
    EXPECT_TRUE(s.cellFill);
    EXPECT_EQ(s.halfWidth, 0.6);
    EXPECT_EQ(s.lineSpacing, 1.3);
    EXPECT_EQ(f.view.drawingChanges, 1);

    for (const char* typed : {"", "abc", "0", "-1.5", "1,5"}) {
        Fixture g;
        g.model.settings.halfWidth = 0.7;
        g.model.settings.lineSpacing = 2;
        g.view.texts[Ctl::Edit14] = typed;
        g.view.texts[Ctl::Edit15] = typed;
        g.view.answers = {true};
        g.sizes.Button1Click();
        EXPECT_EQ(g.model.settings.halfWidth, 0.5) << '"' << typed << '"';
        EXPECT_EQ(g.model.settings.lineSpacing, 1.0) << '"' << typed << '"';
    }
}

TEST(SizesController, AnOverrideRedrawsOnlyWhenApplied) {
    Fixture f;
    f.view.texts[Ctl::Edit11] = "30";
    f.view.answers = {false, true};
    char16_t key = u'\r';
    f.sizes.Edit11KeyPress(key);
    EXPECT_EQ(f.view.drawingChanges, 0);
    key = u'\r';
    f.sizes.Edit11KeyPress(key);
    EXPECT_EQ(f.view.drawingChanges, 1);
}

struct OverrideCase {
    Ctl edit;
    const char* question;
};

class OverrideTest : public ::testing::TestWithParam<OverrideCase> {};

TEST_P(OverrideTest, NonPositiveOrNonNumbersAskNothing) {
    for (const char* typed : {"abc", "0", "-5", ""}) {
        Fixture f;
        f.view.texts[GetParam().edit] = typed;
        char16_t key = u'\r';
        SizesController& s = f.sizes;
        bool consumed = GetParam().edit == Ctl::Edit11   ? s.Edit11KeyPress(key)
                        : GetParam().edit == Ctl::Edit12 ? s.Edit12KeyPress(key)
                                                         : s.Edit13KeyPress(key);
        EXPECT_TRUE(consumed);
        EXPECT_EQ(key, 0);
        EXPECT_TRUE(f.view.questions.empty()) << typed;
        EXPECT_EQ(f.view.texts[GetParam().edit], typed);
    }
}

TEST_P(OverrideTest, OtherKeysPassThrough) {
    Fixture f;
    f.view.texts[GetParam().edit] = "5";
    char16_t key = u'7';
    EXPECT_FALSE(f.sizes.Edit11KeyPress(key));
    EXPECT_EQ(key, u'7');
    EXPECT_TRUE(f.view.questions.empty());
}

TEST_P(OverrideTest, NoTakesTheTypedValueBack) {
    Fixture f;
    f.view.col = 2;
    f.view.row = 3;
    f.view.texts[GetParam().edit] = "50";
    f.view.answers = {false};
    char16_t key = u'\r';
    if (GetParam().edit == Ctl::Edit11) f.sizes.Edit11KeyPress(key);
    if (GetParam().edit == Ctl::Edit12) f.sizes.Edit12KeyPress(key);
    if (GetParam().edit == Ctl::Edit13) f.sizes.Edit13KeyPress(key);
    ASSERT_EQ(f.view.questions.size(), 1u);
    EXPECT_EQ(f.view.questions[0].first, QuestionOwner::CellGrid);
    EXPECT_EQ(f.view.questions[0].second, GetParam().question);
    const TXlsxCellAttr& cell = f.model.table.At(3, 2);
    const double current = GetParam().edit == Ctl::Edit11   ? cell.drawW
                           : GetParam().edit == Ctl::Edit12 ? cell.drawH
                                                            : cell.drawTH;
    EXPECT_EQ(f.view.texts[GetParam().edit], FormatFixed3(current));
}

INSTANTIATE_TEST_SUITE_P(Edits, OverrideTest,
                         ::testing::Values(OverrideCase{Ctl::Edit11, "選択範囲の列幅を変更しますか？"},
                                           OverrideCase{Ctl::Edit12, "選択範囲の行高さを変更しますか？"},
                                           OverrideCase{Ctl::Edit13, "選択範囲の文字高さを変更しますか？"}));

TEST(SizesController, YesSetsWholeColumnsWholeRowsOrTheSelection) {
    // Selection: columns 2-3, rows 2-3 of a 3 x 4 table with a merged area at (1, 2).
    auto run = [](Ctl edit) {
        Fixture f;
        test::TestTable t(3, 4);
        t.Merge(1, 2, 1, 2);
        t.Compute();
        f.model.table = t.table;
        f.view.selection = {2, 2, 3, 3};
        f.view.texts[edit] = "12.5";
        f.view.answers = {true};
        char16_t key = u'\r';
        if (edit == Ctl::Edit11) f.sizes.Edit11KeyPress(key);
        if (edit == Ctl::Edit12) f.sizes.Edit12KeyPress(key);
        if (edit == Ctl::Edit13) f.sizes.Edit13KeyPress(key);
        EXPECT_EQ(f.view.texts[edit], "12.500");
        EXPECT_FALSE(f.view.texts[Ctl::Label4].empty());
        return f.model.table;
    };
    CellTable widths = run(Ctl::Edit11);
    for (int r = 1; r <= 3; ++r) {
        for (int c = 1; c <= 4; ++c) EXPECT_EQ(widths.At(r, c).drawW, (c == 2 || c == 3) ? 12.5 : 24) << r << c;
    }
    EXPECT_EQ(widths.At(1, 2).drawMW, 25);  // the merged area follows its columns

    CellTable heights = run(Ctl::Edit12);
    for (int r = 1; r <= 3; ++r) {
        for (int c = 1; c <= 4; ++c) EXPECT_DOUBLE_EQ(heights.At(r, c).drawH, (r == 2 || r == 3) ? 12.5 : 6.02);
    }

    CellTable textHeights = run(Ctl::Edit13);
    for (int r = 1; r <= 3; ++r) {
        for (int c = 1; c <= 4; ++c) {
            const bool selected = r >= 2 && r <= 3 && c >= 2 && c <= 3;
            EXPECT_DOUBLE_EQ(textHeights.At(r, c).drawTH, selected ? 12.5 : 2.97);
        }
    }
}

}  // namespace
}  // namespace tabulon
