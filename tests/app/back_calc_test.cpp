#include "app/back_calc.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "app/fake_main_view.h"
#include "support/table_builder.h"

namespace tabulon {
namespace {

using test::FakeMainView;

class FakeDialog : public BackCalcDialogView {
public:
    std::map<int, std::string> edits;
    std::map<int, bool> checks;
    int shown = 0;
    // What the user does while the dialog is up; returns the button pressed.
    std::function<bool(FakeDialog&)> user = [](FakeDialog&) { return false; };

    std::string EditText(int row) override { return edits[row]; }
    void SetEditText(int row, std::string_view text) override { edits[row] = std::string(text); }
    bool Checked(int row) override { return checks[row]; }
    void SetChecked(int row, bool checked) override { checks[row] = checked; }
    bool ShowModal() override {
        ++shown;
        return user(*this);
    }
};

struct Fixture {
    AppModel model;
    FakeMainView view;
    FakeDialog dialog;
    BackCalcDialog handlers{dialog};
    SizesController sizes{model, view};
    BackCalcController backCalc{model, view, dialog, sizes};

    Fixture() {
        test::TestTable t(2, 5);  // total width 5 x 24 = 120
        t.Compute();
        model.table = t.table;
        view.texts[Ctl::Edit4] = "20";
        view.texts[Ctl::Edit5] = "3";
        view.texts[Ctl::Edit6] = "3";
        view.texts[Ctl::Edit7] = "0.43";
        view.texts[Ctl::Edit8] = "0.27";
        view.texts[Ctl::Edit9] = "0.8";
        view.texts[Ctl::Edit10] = "252";
        sizes.showWhSizeGrid2();
    }

    // The user types into row `row` and presses "実行".
    void TypeAndRun(std::map<int, std::string> typed) {
        dialog.user = [this, typed](FakeDialog& d) {
            for (const auto& [row, text] : typed) {
                d.SetEditText(row, text);
                handlers.EditChange(row);
            }
            return true;
        };
    }
};

TEST(BackCalcDialog, PairedBoxesExcludeEachOther) {
    FakeDialog d;
    BackCalcDialog h(d);
    h.EditChange(2);  // typing into the total height ticks it
    EXPECT_TRUE(d.checks[2]);
    d.SetChecked(4, true);  // ticking the row height unticks the total height
    h.CheckBoxClick(4);
    EXPECT_FALSE(d.checks[2]);
    EXPECT_TRUE(d.checks[4]);
    d.SetChecked(4, false);  // unticking changes nothing else
    h.CheckBoxClick(4);
    EXPECT_FALSE(d.checks[2]);
    h.EditChange(5);
    h.EditChange(1);
    EXPECT_TRUE(d.checks[5]);
    EXPECT_TRUE(d.checks[1]);
    h.EditChange(3);
    EXPECT_FALSE(d.checks[1]);
}

// Rows 2 (total height) and 4 (row height) both set the Y scale, rows 1 and 3
// the X scale: whichever of a pair the user touched last is the one applied.
TEST(BackCalc, OnlyTheLastTouchedOfAPairIsApplied) {
    // The current total height is 12.040 and the row height 6.020; the total
    // width 120.000 and the column width 24.000.
    struct Action {
        int row;
        const char* typed;  // nullptr: the box is ticked by a click
    };
    struct Case {
        std::string name;
        std::vector<Action> actions;
        std::vector<int> ticked;  // rows 1 to 5
        Ctl scale;
        std::string scaleText;
    };
    const Case cases[] = {
        {"row height, then total height", {{4, "18.06"}, {2, "24.08"}}, {2}, Ctl::Edit7, "0.86"},
        {"total height, then row height", {{2, "24.08"}, {4, "18.06"}}, {4}, Ctl::Edit7, "1.29"},
        {"both typed, then the row height ticked", {{4, "18.06"}, {2, "24.08"}, {4, nullptr}}, {4}, Ctl::Edit7,
         "1.29"},
        {"both typed, then the total height ticked", {{2, "24.08"}, {4, "18.06"}, {2, nullptr}}, {2}, Ctl::Edit7,
         "0.86"},
        {"column width, then total width", {{3, "72"}, {1, "60"}}, {1}, Ctl::Edit6, "1.5"},
        {"total width, then column width", {{1, "60"}, {3, "72"}}, {3}, Ctl::Edit6, "9"},
    };
    for (const Case& c : cases) {
        Fixture f;
        f.dialog.user = [&](FakeDialog& d) {
            for (const Action& a : c.actions) {
                if (a.typed) {
                    d.SetEditText(a.row, a.typed);
                    f.handlers.EditChange(a.row);
                } else {
                    d.SetChecked(a.row, true);
                    f.handlers.CheckBoxClick(a.row);
                }
            }
            return true;
        };
        f.view.answers = {true};
        f.backCalc.Button5Click();
        std::vector<int> ticked;
        for (int row = 1; row <= 5; ++row) {
            if (f.dialog.checks[row]) ticked.push_back(row);
        }
        EXPECT_EQ(ticked, c.ticked) << c.name;
        EXPECT_EQ(f.view.texts[c.scale], c.scaleText) << c.name;
    }
}

TEST(BackCalc, HalvingTheTotalWidthHalvesTheXScale) {
    Fixture f;
    f.TypeAndRun({{1, "60"}});
    f.view.answers = {true};
    f.backCalc.Button5Click();
    EXPECT_EQ(f.dialog.edits[2], "12.040");  // the dialog was filled with the current values
    EXPECT_EQ(f.view.texts[Ctl::Edit6], "1.5");
    EXPECT_EQ(f.model.settings.cadXsc, 1.5);
    EXPECT_EQ(f.view.summary[std::make_pair(2, 0)], "60.000");
}

TEST(BackCalc, TextHeightAndRowHeightTogether) {
    Fixture f;
    f.TypeAndRun({{4, "12.04"}, {5, "5.94"}});  // twice the row height and the text height
    f.view.answers = {true};
    f.backCalc.Button5Click();
    EXPECT_EQ(f.view.texts[Ctl::Edit7], "0.86");
    EXPECT_EQ(f.view.texts[Ctl::Edit8], "0.54");
    EXPECT_EQ(f.view.questions.size(), 1u);  // applied once
}

TEST(BackCalc, NothingHappensWithoutATableOnCancelOrWithoutTicks) {
    {
        Fixture f;
        f.model.table.Release();
        f.backCalc.Button5Click();
        EXPECT_EQ(f.dialog.shown, 0);
    }
    {
        Fixture f;
        f.dialog.user = [&](FakeDialog& d) {
            d.SetEditText(1, "60");
            f.handlers.EditChange(1);
            return false;  // 中止
        };
        f.backCalc.Button5Click();
        EXPECT_EQ(f.view.texts[Ctl::Edit6], "3");
        EXPECT_TRUE(f.view.questions.empty());
    }
    {
        Fixture f;
        f.dialog.user = [](FakeDialog&) { return true; };  // 実行 with nothing ticked
        f.backCalc.Button5Click();
        EXPECT_TRUE(f.view.questions.empty());
    }
}

TEST(BackCalc, WantedZeroChangesNothingButStillApplies) {
    for (const char* wanted : {"0", "-5", "abc", ""}) {
        Fixture f;
        f.TypeAndRun({{1, wanted}});
        f.view.answers = {false};
        f.backCalc.Button5Click();
        EXPECT_EQ(f.view.texts[Ctl::Edit6], "3") << wanted;
        EXPECT_EQ(f.view.questions.size(), 1u) << wanted;
    }
}

TEST(BackCalc, ZeroCurrentValueOrBadScaleEndsWithAnError) {
    {
        Fixture f;
        f.view.summary[std::make_pair(2, 1)] = "0.000";
        f.TypeAndRun({{1, "60"}, {2, "10"}});
        f.backCalc.Button5Click();
        EXPECT_EQ(f.view.texts[Ctl::Edit6], "1.5");  // the earlier row keeps its new text
        ASSERT_EQ(f.view.errors.size(), 1u);
        EXPECT_NE(f.view.errors[0].find("全高"), std::string::npos);
        EXPECT_TRUE(f.view.questions.empty());  // not applied
    }
    {
        Fixture f;
        f.view.texts[Ctl::Edit8] = "abc";
        f.TypeAndRun({{5, "5"}});
        f.backCalc.Button5Click();
        ASSERT_EQ(f.view.errors.size(), 1u);
        EXPECT_NE(f.view.errors[0].find("abc"), std::string::npos);
        EXPECT_EQ(f.view.texts[Ctl::Edit8], "abc");
    }
}

}  // namespace
}  // namespace tabulon
