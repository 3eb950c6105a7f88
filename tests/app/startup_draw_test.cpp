#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>

#include "app/draw_controller.h"
#include "app/fake_main_view.h"
#include "app/startup_controller.h"
#include "core/settings_file.h"
#include "support/dxf_reader.h"
#include "support/table_builder.h"
#include "support/test_support.h"

namespace tabulon {
namespace {

using test::FakeMainView;

using IniMap = std::map<std::string, std::string, std::less<>>;

SettingsReader ReaderOf(const IniMap& ini) {
    return [&ini](std::string_view key) -> std::optional<std::string> {
        auto it = ini.find(key);
        if (it == ini.end()) return std::nullopt;
        return it->second;
    };
}

// A captured 1 x 1 table holding the text "A", with its drawing sizes.
void LoadOneTextTable(AppModel& model) {
    test::TestTable t(1, 1);
    t.Text(1, 1, "A");
    t.Compute();
    model.table = t.table;
    model.texts = t.texts;
}

TEST(StartupController, FirstRunShowsDefaultsAndCloseWritesEveryKey) {
    AppModel model;
    FakeMainView view;
    StartupController startup(model, view);
    view.texts[Ctl::Edit1] = "design text";
    view.texts[Ctl::Label4] = "Label4";
    IniMap none;
    startup.FormCreate(ReaderOf(none));
    EXPECT_EQ(view.texts[Ctl::Edit1], "");
    EXPECT_EQ(view.texts[Ctl::Label4], "");
    const std::pair<Ctl, const char*> shown[] = {{Ctl::Edit4, "20"},   {Ctl::Edit5, "3"},    {Ctl::Edit6, "3"},
                                                 {Ctl::Edit7, "0.43"}, {Ctl::Edit8, "0.27"}, {Ctl::Edit9, "0.8"},
                                                 {Ctl::Edit10, "252"}};
    for (auto [ctl, text] : shown) EXPECT_EQ(view.texts[ctl], text);
    EXPECT_TRUE(view.cellLines);
    EXPECT_EQ(view.summary[std::make_pair(0, 4)], "文字");

    model.table.Replace(2, 2);
    view.cellLines = false;         // unchecked by the user
    view.texts[Ctl::Edit4] = "15";  // typed but never applied: not saved
    std::vector<std::string> order;
    IniMap written;
    EXPECT_TRUE(startup.FormCloseQuery(
        [&](std::string_view key, std::string_view value) {
            order.emplace_back(key);
            written[std::string(key)] = value;
            return true;
        },
        "C:/Tabulon/tabulon.ini"));
    EXPECT_TRUE(model.table.IsEmpty());
    EXPECT_EQ(order, (std::vector<std::string>{"colXsc", "rowYsc", "cadXsc", "cadYsc", "cadTsc", "cadTof",
                                               "cellLineColor", "cellLineDraw", "xlsVerNum", "fitText",
                                               "halfWidth", "sheetVAlign", "lineSpacing", "borderStyle",
                                               "cellFill"}));
    EXPECT_EQ(written["colXsc"], "20");
    EXPECT_EQ(written["cellLineDraw"], "0");
    EXPECT_TRUE(view.errors.empty());
}

TEST(StartupController, ReadsTheFileInTheUsersFormatAndReportsAFailedWrite) {
    AppModel model;
    FakeMainView view;
    view.separator = ',';
    StartupController startup(model, view);
    IniMap ini = {{"cadYsc", "letters"}, {"cadTsc", "0,5"}, {"cellLineDraw", "5"}, {"xlsVerNum", "0x10"}};
    startup.FormCreate(ReaderOf(ini));
    EXPECT_EQ(model.settings.cadYsc, 0.43);
    EXPECT_EQ(model.settings.cadTsc, 0.5);
    EXPECT_EQ(model.settings.xlsVerNum, 16);
    EXPECT_TRUE(view.cellLines);
    EXPECT_EQ(view.texts[Ctl::Edit7], "0,43");
    EXPECT_EQ(view.texts[Ctl::Edit9], "0,8");

    int writes = 0;
    startup.FormCloseQuery([&](std::string_view, std::string_view) { return ++writes < 3; }, "D:/ro/tabulon.ini");
    EXPECT_EQ(writes, 3);  // nothing after the failing key
    ASSERT_EQ(view.errors.size(), 1u);
    EXPECT_EQ(view.errors[0], "D:/ro/tabulon.ini に書き込めません");
}

// The look settings are shown at start in the user's number format: the file's
// values, or the defaults where it has none.
TEST(StartupController, ShowsTheLookSettings) {
    struct Case {
        IniMap ini;
        char separator;
        std::map<LookCheck, bool> checks;
        const char* halfWidth;
        const char* lineSpacing;
    };
    const Case cases[] = {
        {{}, '.', {{LookCheck::FitText, false}, {LookCheck::SheetVAlign, false}, {LookCheck::BorderStyle, false},
                   {LookCheck::CellFill, false}}, "0.5", "1"},
        {{{"fitText", "1"}, {"cellFill", "1"}, {"halfWidth", "0,6"}, {"lineSpacing", "1,3"}}, ',',
         {{LookCheck::FitText, true}, {LookCheck::SheetVAlign, false}, {LookCheck::BorderStyle, false},
          {LookCheck::CellFill, true}}, "0,6", "1,3"},
        {{{"sheetVAlign", "1"}, {"borderStyle", "1"}, {"halfWidth", "0"}, {"lineSpacing", "-2"}}, '.',
         {{LookCheck::FitText, false}, {LookCheck::SheetVAlign, true}, {LookCheck::BorderStyle, true},
          {LookCheck::CellFill, false}}, "0.5", "1"},
    };
    for (const Case& c : cases) {
        AppModel model;
        FakeMainView view;
        view.separator = c.separator;
        // Every box starts ticked, so that an unticked one was set by the start.
        for (auto& [box, checked] : c.checks) view.lookChecks[box] = true;
        StartupController startup(model, view);
        startup.FormCreate(ReaderOf(c.ini));
        EXPECT_EQ(view.lookChecks, c.checks) << c.halfWidth;
        EXPECT_EQ(view.texts[Ctl::Edit14], c.halfWidth);
        EXPECT_EQ(view.texts[Ctl::Edit15], c.lineSpacing);
    }
}

TEST(DrawController, WritesBesideTheExecutableAndHandsOverToCad) {
    AppModel model;
    FakeMainView view;
    const std::string dir = test::FreshDir("draw_controller");
    const std::string path = dir + "/tabulon.dxf";
    std::vector<std::string> handedOver;
    DrawController draw(model, view, path, [&](const std::string& p) {
        handedOver.push_back(p);
        return InsertOutcome::Attempted;
    });

    draw.Button4Click();  // no table: nothing at all
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_TRUE(handedOver.empty());

    LoadOneTextTable(model);
    view.cellLines = false;  // the check box as it is at the click, not the loaded setting
    draw.Button4Click();
    ASSERT_TRUE(std::filesystem::exists(path));
    EXPECT_EQ(handedOver, std::vector<std::string>{path});
    std::ifstream in(path, std::ios::binary);
    const std::string dxf((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(test::ReadEntities(dxf).size(), 1u);  // the text only

    // A folder in the way of the file: the message names the path, nothing is handed over.
    const std::string blocked = dir + "/blocked.dxf";
    std::filesystem::create_directory(blocked);
    DrawController failing(model, view, blocked, [&](const std::string& p) {
        handedOver.push_back(p);
        return InsertOutcome::Attempted;
    });
    failing.Button4Click();
    ASSERT_EQ(view.errors.size(), 1u);
    EXPECT_EQ(view.errors[0].rfind("ファイル \"" + blocked + "\" を作成できません。", 0), 0u);
    EXPECT_EQ(handedOver.size(), 1u);
    EXPECT_TRUE(view.infos.empty());
}

TEST(DrawController, OnlyAPathTheCadPromptWouldCutIsReported) {
    AppModel model;
    LoadOneTextTable(model);
    const std::string path = test::FreshDir("draw_outcomes") + "/my drawings/tabulon.dxf";
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    const struct {
        InsertOutcome outcome;
        bool reported;
    } cases[] = {
        {InsertOutcome::Attempted, false}, {InsertOutcome::FileMissing, false}, {InsertOutcome::PathWithBlank, true}};
    for (const auto& c : cases) {
        FakeMainView view;
        DrawController draw(model, view, path, [&](const std::string&) { return c.outcome; });
        draw.Button4Click();
        EXPECT_TRUE(view.errors.empty());
        EXPECT_TRUE(view.messages.empty());
        ASSERT_EQ(view.infos.size(), c.reported ? 1u : 0u) << static_cast<int>(c.outcome);
        if (c.reported) {
            // Saved, where, and why it did not reach the CAD application.
            EXPECT_NE(view.infos[0].find("図面を保存しました: " + path), std::string::npos);
            EXPECT_NE(view.infos[0].find("空白が含まれるため、CAD へ挿入できませんでした"), std::string::npos);
        }
    }
}

TEST(DrawController, AClickWhileTheInsertionWaitsIsIgnored) {
    AppModel model;
    LoadOneTextTable(model);
    FakeMainView view;
    const std::string path = test::FreshDir("draw_reentry") + "/tabulon.dxf";
    int calls = 0;
    std::optional<DrawController> draw;
    draw.emplace(model, view, path, [&](const std::string&) {
        ++calls;
        EXPECT_TRUE(draw->Inserting());
        // The user clicks again while AutoCAD waits for the point: the file
        // must stay as handed over, and no second dialogue starts.
        std::filesystem::remove(path);
        draw->Button4Click();
        EXPECT_FALSE(std::filesystem::exists(path));
        return InsertOutcome::Attempted;
    });
    draw->Button4Click();
    EXPECT_EQ(calls, 1);
    EXPECT_FALSE(draw->Inserting());
    draw->Button4Click();  // and once it has returned, the button works again
    EXPECT_EQ(calls, 2);
}

}  // namespace
}  // namespace tabulon
