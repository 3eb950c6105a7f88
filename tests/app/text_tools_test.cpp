#include <gtest/gtest.h>

#include "app/fake_main_view.h"
#include "app/text_tools_controller.h"

namespace tabulon {
namespace {

using test::FakeMainView;

class FakeReplaceDialog : public ReplaceDialogView {
public:
    std::string search, replacement;
    bool ok = true;
    int shown = 0;
    std::string SearchText() override { return search; }
    std::string ReplacementText() override { return replacement; }
    bool ShowModal() override {
        ++shown;
        return ok;
    }
};

struct Fixture {
    AppModel model;
    FakeMainView view;
    TextToolsController tools{model, view};

    // A 2 x 3 grid of texts, selection over all of it.
    Fixture(std::vector<std::string> cells) {
        model.texts.Resize(4, 3);
        for (size_t k = 0; k < cells.size(); ++k) {
            model.texts.Set(static_cast<int32_t>(k % 3) + 1, static_cast<int32_t>(k / 3) + 1, cells[k]);
        }
        model.texts.Set(1, 0, "A");  // headers are never touched
        model.texts.Set(0, 1, "1");
        view.selection = {1, 1, 3, 2};
    }
    std::string At(int c, int r) { return model.texts.Get(c, r); }
};

TEST(TextTools, SelectionWalkSkipsEmptyCellsAndHeaders) {
    Fixture f({"a", "", "c", "d", "e", ""});
    f.view.selection = {0, 0, 3, 1};  // reaching into the headers
    std::vector<std::string> seen;
    f.tools.ConvertSelection([&](const std::string& text) {
        seen.push_back(text);
        return text + "!";
    });
    EXPECT_EQ(seen, (std::vector<std::string>{"a", "c"}));  // row 1 only, left to right, empty skipped
    EXPECT_EQ(f.At(1, 1), "a!");
    EXPECT_EQ(f.At(2, 1), "");
    EXPECT_EQ(f.At(1, 2), "d");
    EXPECT_EQ(f.At(1, 0), "A");
    EXPECT_EQ(f.At(0, 1), "1");
    EXPECT_EQ(f.view.repaints, 1);
}

TEST(TextTools, ReplaceChangesTheFirstOccurrenceOnlyAndCounts) {
    struct Case {
        std::vector<std::string> cells;
        std::string search, replacement;
        std::vector<std::string> after;
        const char* message;
    };
    const Case cases[] = {
        {{"abcabc", "xyz", "", "", "", ""}, "abc", "Q", {"Qabc", "xyz", ""}, "1 個の文字列を置換しました."},
        {{"abc", "", "", "", "", ""}, "ABC", "Q", {"abc", "", ""}, "0 個の文字列を置換しました."},
        {{"a-b-c", "", "", "", "", ""}, "-", "", {"ab-c", "", ""}, "1 個の文字列を置換しました."},
        {{"abc", "x", "", "", "", ""}, "", "Q", {"abc", "x", ""}, "0 個の文字列を置換しました."},
        {{"第１号", "第２号", "号", "", "", ""}, "号", "番", {"第１番", "第２番", "番"}, "3 個の文字列を置換しました."},
    };
    for (const Case& c : cases) {
        Fixture f(c.cells);
        FakeReplaceDialog dialog;
        dialog.search = c.search;
        dialog.replacement = c.replacement;
        f.tools.N4Click(dialog);
        for (int col = 1; col <= 3; ++col) EXPECT_EQ(f.At(col, 1), c.after[static_cast<size_t>(col - 1)]);
        ASSERT_EQ(f.view.messages.size(), 1u);
        EXPECT_EQ(f.view.messages[0], c.message);
    }
}

TEST(TextTools, CancelChangesNothingAndSaysNothing) {
    Fixture f({"abc", "", "", "", "", ""});
    FakeReplaceDialog dialog;
    dialog.search = "a";
    dialog.ok = false;
    f.tools.N4Click(dialog);
    EXPECT_EQ(f.At(1, 1), "abc");
    EXPECT_TRUE(f.view.messages.empty());
}

}  // namespace
}  // namespace tabulon

namespace tabulon {
namespace {

TEST(TextTools, MenuConversionsRewriteTheSelectedTexts) {
    struct Case {
        const char* name;
        void (TextToolsController::*handler)();
        std::vector<std::string> before, after;
    };
    const Case cases[] = {
        {"N1", &TextToolsController::N1Click, {"abc", "123", "ｶﾅ"}, {"ａｂｃ", "１２３", "カナ"}},
        // Numbers and plain ASCII words stay as they are; anything else goes to full width.
        {"N12", &TextToolsController::N12Click, {"abc", "1,234.5", "No.1 ｶﾅ"}, {"abc", "1,234.5", "Ｎｏ．１　カナ"}},
        {"N5", &TextToolsController::N5Click, {"ﾊﾟﾝﾀﾞ", "abc", "ﾜﾞ"}, {"パンダ", "abc", "ワ゛"}},
        {"N2", &TextToolsController::N2Click, {"ＡＢＣ", "１２", "カナ"}, {"ABC", "12", "ｶﾅ"}},
        {"N6", &TextToolsController::N6Click, {"第１２号", "ＡＢ", "１"}, {"第12号", "ＡＢ", "1"}},
        {"N7", &TextToolsController::N7Click, {"ＡＢｃ", "１", "澤Ａ"}, {"ABc", "１", "澤A"}},
        {"N9", &TextToolsController::N9Click, {"（Ａ｜Ｂ）＝￥１００", "！", "x"}, {"(ＡlＢ)=\\１００", "!", "x"}},
    };
    for (const Case& c : cases) {
        Fixture f({c.before[0], c.before[1], c.before[2], "", "", ""});
        (f.tools.*c.handler)();
        for (int col = 1; col <= 3; ++col) {
            EXPECT_EQ(f.At(col, 1), c.after[static_cast<size_t>(col - 1)]) << c.name << " column " << col;
        }
        EXPECT_EQ(f.At(1, 2), "") << c.name;  // empty cells stay empty
    }
}

}  // namespace
}  // namespace tabulon
