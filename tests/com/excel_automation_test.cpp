// The Excel automation adapter against the fake Excel, in this process: the
// fake is registered in the running object table under a test ProgID, and the
// adapter finds it the way it finds Excel.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

#include "app/capture_controller.h"
#include "app/fake_main_view.h"
#include "com/fake_excel.h"
#include "com/server_process.h"
#include "com/test_registration.h"
#include "core/errors.h"
#include "platform/excel_automation_win.h"

namespace tabulon {
namespace {

using fake::FakeExcelState;
using test::FakeMainView;

class ComEnvironment : public ::testing::Environment {
public:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))); }
    void TearDown() override { CoUninitialize(); }
};
[[maybe_unused]] ::testing::Environment* const kCom = ::testing::AddGlobalTestEnvironment(new ComEnvironment);

// Registered for the whole run: one name the fake runs under, one that never runs.
const test::TestClass& Running() {
    static const test::TestClass c = test::NewTestClass("Excel");
    return c;
}
const test::TestClass& Idle() {
    static const test::TestClass c = test::NewTestClass("Idle");
    return c;
}

// The fake Excel with one book of the fixture, running while this lives.
class RunningFake {
public:
    explicit RunningFake(const std::string& book) : state(std::make_shared<FakeExcelState>()) {
        state->book = fake::LoadWorkbook(std::string(TABULON_COM_FIXTURES) + "/books.json", book);
        IDispatch* app = fake::NewFakeApplication(state);
        const HRESULT hr = RegisterActiveObject(app, Running().clsid, ACTIVEOBJECT_STRONG, &cookie_);
        app->Release();
        EXPECT_EQ(hr, S_OK);
    }
    ~RunningFake() {
        RevokeActiveObject(cookie_, nullptr);
        EXPECT_EQ(state->liveObjects, 0) << "objects the adapter did not release";
    }
    std::shared_ptr<FakeExcelState> state;

private:
    DWORD cookie_ = 0;
};

class ExcelAutomation : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ASSERT_TRUE(test::RegisterProgId(Running().progId, Running().clsid));
        ASSERT_TRUE(test::RegisterProgId(Idle().progId, Idle().clsid));
    }
    static void TearDownTestSuite() {
        test::UnregisterProgId(Running().progId);
        test::UnregisterProgId(Idle().progId);
    }
};

// A main window and a capture over the adapter, attached to progId whatever
// name the capture asks for; the names asked for are kept.
struct Capture {
    explicit Capture(std::string progId = Running().progId) : target(std::move(progId)) {}
    AppModel model;
    FakeMainView view;
    SizesController sizes{model, view};
    std::string target;
    std::vector<std::string> askedFor;
    CaptureController controller{model, view, sizes, [this](const std::string& progId) {
                                     askedFor.push_back(progId);
                                     return AttachToSpreadsheet(target);
                                 }};
};

size_t CountOf(const std::vector<std::string>& log, const std::string& prefix) {
    size_t n = 0;
    for (const std::string& entry : log) n += entry.rfind(prefix, 0) == 0;
    return n;
}

TEST_F(ExcelAutomation, CapturesTheSelectionThroughTheController) {
    RunningFake excel("schedule");
    Capture capture;
    capture.controller.Button3Click();
    const std::vector<std::string> log = excel.state->TakeLog();

    EXPECT_EQ(capture.askedFor, std::vector<std::string>{"Excel.Application.16"});
    EXPECT_EQ(capture.view.infos, std::vector<std::string>{" 取得しました. VerNo=.16"});
    EXPECT_TRUE(capture.view.insertEnabled);
    EXPECT_EQ(capture.view.caption, "設備表.xlsx [機器リスト]");
    EXPECT_EQ(capture.view.texts[Ctl::Edit2], "E3");
    EXPECT_EQ(capture.view.texts[Ctl::Edit3], "G4");
    EXPECT_EQ(excel.state->screenUpdating, (std::vector<bool>{false, true}));
    const CellTable& table = capture.model.table;
    ASSERT_EQ(table.TableCols, 3);
    ASSERT_EQ(table.TableRows, 2);
    EXPECT_EQ(capture.model.texts.Get(1, 0), "E");
    EXPECT_EQ(capture.model.texts.Get(3, 0), "G");
    EXPECT_EQ(capture.model.texts.Get(0, 1), "3");
    EXPECT_EQ(capture.model.texts.Get(0, 2), "4");
    EXPECT_EQ(capture.model.texts.Get(2, 2), "1,234.50");
    EXPECT_EQ(capture.view.colWidths[1], 160);  // 8.38 -> 8, x 20
    EXPECT_EQ(capture.view.rowHeights[1], 57);  // 18.75 -> 19, x 3

    struct Expected {
        int32_t r, c;
        uint16_t colW, rowH, txtSize;
        uint8_t txtAlign;
        const char* str;
        uint8_t lineBits;
        uint16_t mergeLeft, mergeTop;
    };
    // Columns A to D are 48 points wide, F is 75; rows 1 to 3 are 18.75 points high.
    const Expected cells[] = {
        {1, 1, 8, 19, 11, 3, "1-2", 3, 192, 38},        // a text of digits and "-", general: right
        {1, 2, 14, 19, 11, 3, "-12.5", 0, 240, 38},     // a general number: right; 13.5 -> 14
        {1, 3, 12, 19, 14, 2, "品名", 0, 315, 38},      // centred, font 14.5 -> 14; 12.5 -> 12
        {2, 1, 8, 14, 11, 0, "TRUE", 0, 192, 56},       // a boolean is no number; 13.5 -> 14
        {2, 2, 14, 14, 11, 1, "1,234.50", 0, 240, 56},  // left stays left
        {2, 3, 12, 14, 11, 0, "", 48, 315, 56},         // both diagonals (any style but none)
    };
    for (const Expected& e : cells) {
        SCOPED_TRACE("cell " + std::to_string(e.r) + "," + std::to_string(e.c));
        const TXlsxCellAttr& cell = table.At(e.r, e.c);
        EXPECT_EQ(cell.colW, e.colW);
        EXPECT_EQ(cell.rowH, e.rowH);
        EXPECT_EQ(cell.txtSize, e.txtSize);
        EXPECT_EQ(cell.txtAlign, e.txtAlign);
        EXPECT_EQ(cell.str, e.str);
        EXPECT_EQ(capture.model.texts.Get(e.c, e.r), e.str);
        EXPECT_EQ(cell.lineBits, e.lineBits);
        EXPECT_FALSE(cell.cellMerge);
        EXPECT_EQ(cell.mergerowYscount, 1);
        EXPECT_EQ(cell.mergecolXscount, 1);
        EXPECT_EQ(cell.mergeLeft, e.mergeLeft);
        EXPECT_EQ(cell.mergeTop, e.mergeTop);
        EXPECT_GT(cell.drawW, 0);  // drawing sizes computed
    }

    // The calls from the first cell's range to the last cell's last read.
    ASSERT_EQ(CountOf(log, "Worksheet.Range("), 6u);
    size_t first = 0, last = log.size();
    while (first < log.size() && log[first].rfind("Worksheet.Range(", 0) != 0) ++first;
    while (last > 0 && log[last - 1].rfind("Application.", 0) == 0) --last;  // screen updating back on
    std::printf("[ calls    ] capture of 3 x 2 cells: %zu calls, %.1f per cell\n", log.size(),
                static_cast<double>(last - first) / 6.0);
}

// What a cell's reads cost: each member once, each intermediate object once,
// a row's and a column's facts once, a border's weight only for a line, the
// merged area only for a merged cell.
TEST_F(ExcelAutomation, ReadsEachMemberOfACellOnceAndEachRowAndColumnOnce) {
    RunningFake excel("schedule");
    auto session = AttachToSpreadsheet(Running().progId);
    ASSERT_TRUE(session);
    EXPECT_EQ(session->WorksheetName(), "機器リスト");
    session->ReadCell(12, 28);  // the look's members are looked up by name on the first cell
    excel.state->TakeLog();
    const SheetCellReading e3 = session->ReadCell(3, 5);
    std::vector<std::string> log = excel.state->TakeLog();
    std::vector<std::string> expected = {"Worksheet.Range(E3)",
                                         "Range.ColumnWidth",
                                         "Range.RowHeight",
                                         "Range.HorizontalAlignment",
                                         "Range.Font",
                                         "Font.Size",
                                         "Range.Text",
                                         "Range.Value2",
                                         "Range.WrapText",
                                         "Range.ShrinkToFit",
                                         "Range.VerticalAlignment",
                                         "Range.Borders"};
    // Top is continuous, bottom double: their weights are read; the rest have no line.
    expected.insert(expected.end(), {"Borders.Item(8)", "Border.LineStyle", "Border.Weight", "Borders.Item(9)",
                                     "Border.LineStyle", "Border.Weight"});
    for (const char* index : {"7", "10", "5", "6"}) {
        expected.push_back(std::string("Borders.Item(") + index + ")");
        expected.push_back("Border.LineStyle");
    }
    expected.insert(expected.end(),
                    {"Range.Interior", "Interior.Pattern", "Range.MergeCells", "Range.Left", "Range.Top"});
    EXPECT_EQ(log, expected);
    std::printf("[ calls    ] one cell: %zu calls\n", log.size());
    EXPECT_DOUBLE_EQ(e3.columnWidth, 8.38);
    EXPECT_DOUBLE_EQ(e3.rowHeight, 18.75);
    EXPECT_EQ(e3.borderLineStyles, (std::array<int32_t, 6>{1, -4119, -4142, -4142, -4142, -4142}));
    EXPECT_EQ(e3.borderWeights, (std::array<int32_t, 6>{2, 2, 0, 0, 0, 0}));
    EXPECT_EQ(e3.mergeLeft, 192);
    EXPECT_EQ(e3.mergeTop, 37.5);

    // The same row: its height and top edge are known; the column's are read.
    const SheetCellReading f3 = session->ReadCell(3, 6);
    log = excel.state->TakeLog();
    EXPECT_EQ(CountOf(log, "Range.RowHeight"), 0u);
    EXPECT_EQ(CountOf(log, "Range.Top"), 0u);
    EXPECT_EQ(CountOf(log, "Range.ColumnWidth"), 1u);
    EXPECT_EQ(CountOf(log, "Range.Left"), 1u);
    EXPECT_DOUBLE_EQ(f3.rowHeight, 18.75);
    EXPECT_DOUBLE_EQ(f3.columnWidth, 13.5);
    EXPECT_EQ(f3.mergeTop, 37.5);
    EXPECT_EQ(f3.mergeLeft, 240);

    // A merged cell reads its area, once, and its position from there.
    const SheetCellReading b2 = session->ReadCell(2, 2);
    log = excel.state->TakeLog();
    ASSERT_GE(log.size(), 8u);
    EXPECT_EQ(std::vector<std::string>(log.end() - 8, log.end()),
              (std::vector<std::string>{"Range.MergeCells", "Range.MergeArea", "Range.Rows", "Rows.Count",
                                        "Range.Columns", "Columns.Count", "Range.Left", "Range.Top"}));
    EXPECT_TRUE(b2.mergeCells);
    EXPECT_EQ(b2.mergeRows, 2);
    EXPECT_EQ(b2.mergeCols, 2);
    EXPECT_EQ(b2.mergeLeft, 48);
    EXPECT_EQ(b2.mergeTop, 18.75);

    // The address of a cell beyond Z, built by the adapter.
    session->ReadCell(12, 29);
    EXPECT_EQ(excel.state->TakeLog().front(), "Worksheet.Range(AC12)");
}

// Wrapping, shrinking, the vertical alignment, each border's weight and the
// solid fill arrive in the table.
TEST_F(ExcelAutomation, ReadsTheLookOfEachCell) {
    RunningFake excel("look");
    auto session = AttachToSpreadsheet(Running().progId);
    ASSERT_TRUE(session);
    const SheetCellReading b2 = session->ReadCell(2, 2);
    EXPECT_TRUE(b2.wrapText);
    EXPECT_FALSE(b2.shrinkToFit);
    EXPECT_EQ(b2.verticalAlignment, -4160);
    EXPECT_EQ(b2.borderWeights, (std::array<int32_t, 6>{-4138, 4, 0, 0, 0, 0}));
    EXPECT_EQ(b2.interiorPattern, 1);
    EXPECT_EQ(b2.interiorColor, 0xF0E0D0);
    const SheetCellReading c2 = session->ReadCell(2, 3);
    EXPECT_FALSE(c2.wrapText);
    EXPECT_TRUE(c2.shrinkToFit);
    EXPECT_EQ(c2.verticalAlignment, -4108);
    EXPECT_EQ(c2.borderWeights, (std::array<int32_t, 6>{0, 0, 0, 0, 1, 0}));
    EXPECT_EQ(c2.interiorPattern, -4142);
    EXPECT_EQ(c2.interiorColor, 0);  // no pattern: the colour is not asked for
    excel.state->TakeLog();

    Capture capture;
    capture.controller.Button3Click();
    ASSERT_EQ(capture.view.infos, std::vector<std::string>{" 取得しました. VerNo=.16"});
    const CellTable& table = capture.model.table;
    struct Expected {
        int32_t r, c;
        bool wrap, shrink;
        uint8_t vAlign;
        int32_t fill;
        uint8_t top, bottom, down;
    };
    const Expected cells[] = {
        {1, 1, true, false, 1, 0xD0E0F0, kBorderMedium, kBorderThick, 0},
        {1, 2, false, true, 2, TXlsxCellAttr::kNoFill, 0, 0, kBorderDashed},
        {2, 1, false, false, 3, 0x000000, 0, kBorderThin, 0},  // a black fill is a fill
    };
    for (const Expected& e : cells) {
        SCOPED_TRACE(std::to_string(e.r) + "," + std::to_string(e.c));
        const TXlsxCellAttr& cell = table.At(e.r, e.c);
        EXPECT_EQ(cell.wrapText, e.wrap);
        EXPECT_EQ(cell.shrinkToFit, e.shrink);
        EXPECT_EQ(cell.txtVAlign, e.vAlign);
        EXPECT_EQ(cell.fillColor, e.fill);
        EXPECT_EQ(cell.lineStyleTop, e.top);
        EXPECT_EQ(cell.lineStyleBottom, e.bottom);
        EXPECT_EQ(cell.lineStyleDown, e.down);
    }
}

TEST_F(ExcelAutomation, TurnsValuesIntoTextAsTheUsersLocaleWritesThem) {
    RunningFake excel("schedule");
    auto session = AttachToSpreadsheet(Running().progId);
    ASSERT_TRUE(session);
    struct Case {
        int32_t row, col;
        const char* valueText;
    };
    // The prefix runs Japanese Windows, whose decimal separator is ".".
    const Case cases[] = {
        {3, 5, "1-2"},
        {3, 6, "-12.5"},
        {4, 6, "1234.5"},
        {6, 7, "0.1"},
        {4, 5, "True"},
        {6, 8, "False"},
        {3, 8, "0.333333333333333"},
        {4, 8, "1E20"},
        {5, 8, " 12"},
        {4, 7, ""},
        {5, 6, "2"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(session->ReadCell(c.row, c.col).valueText, c.valueText) << c.row << "," << c.col;
    }
    // #N/A: its text would read, its value cannot become text.
    EXPECT_THROW(session->ReadCell(6, 6), TabulonError);
}

TEST_F(ExcelAutomation, WritesNumbersWithTheUsersDecimalSeparator) {
    RunningFake excel("schedule");
    wchar_t before[8] = {};
    ASSERT_GT(GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, before, 8), 0);
    ASSERT_TRUE(SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, L","));
    struct Restore {
        const wchar_t* text;
        ~Restore() { SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, text); }
    } restore{before};
    auto session = AttachToSpreadsheet(Running().progId);
    ASSERT_TRUE(session);
    EXPECT_EQ(session->ReadCell(3, 6).valueText, "-12,5");
    EXPECT_EQ(session->ReadCell(4, 6).valueText, "1234,5");
}

TEST_F(ExcelAutomation, ReadsAMergedAreaInEachOfItsCells) {
    RunningFake excel("schedule");
    excel.state->book.selection = fake::Rect{2, 2, 3, 4};  // B2:D3, of which B2:C3 is merged
    Capture capture;
    capture.controller.Button3Click();
    ASSERT_EQ(capture.view.infos, std::vector<std::string>{" 取得しました. VerNo=.16"});
    for (int32_t r = 1; r <= 2; ++r) {
        for (int32_t c = 1; c <= 3; ++c) {
            SCOPED_TRACE(std::to_string(r) + "," + std::to_string(c));
            const TXlsxCellAttr& cell = capture.model.table.At(r, c);
            const bool merged = c <= 2;
            EXPECT_EQ(cell.cellMerge, merged);
            EXPECT_EQ(cell.mergerowYscount, merged ? 2 : 1);
            EXPECT_EQ(cell.mergecolXscount, merged ? 2 : 1);
            EXPECT_EQ(cell.mergeLeft, merged ? 48 : 144);
            EXPECT_EQ(cell.mergeTop, merged || r == 1 ? 19 : 38);  // 18.75, 37.5 -> 38
        }
    }
    EXPECT_EQ(capture.model.table.At(1, 1).str, "合計");
    EXPECT_TRUE(capture.model.table.At(2, 2).mark);  // covered by the area anchored at B2
}

TEST_F(ExcelAutomation, FindsNothingWithoutARunningInstanceOrARegisteredName) {
    RunningFake excel("schedule");  // running, but under another class id than these names
    EXPECT_EQ(AttachToSpreadsheet(Idle().progId), nullptr);
    EXPECT_EQ(AttachToSpreadsheet("Tabulon.NoSuchApplication.99"), nullptr);
    EXPECT_EQ(AttachToSpreadsheet(""), nullptr);

    for (const std::string& progId : {Idle().progId, std::string("Tabulon.NoSuchApplication.99")}) {
        Capture capture(progId);
        capture.model.table.Replace(1, 1);
        capture.model.table.At(1, 1).str = "前の表";
        capture.view.insertEnabled = true;
        capture.controller.Button3Click();
        EXPECT_EQ(capture.view.infos,
                  (std::vector<std::string>{"クラス名: Excel.Application.16 は無効です.", "取得に失敗しました."}))
            << progId;
        EXPECT_FALSE(capture.view.insertEnabled);
        EXPECT_EQ(capture.model.table.At(1, 1).str, "前の表");
    }
    EXPECT_EQ(excel.state->calls, 0);
}

TEST_F(ExcelAutomation, FailsWhenTheSheetOrSelectionIsNoRangeOfCells) {
    struct Case {
        const char* book;
        const char* why;
    };
    for (const Case& c : {Case{"chart", "a chart sheet is active"}, Case{"shape", "a shape is selected"},
                          Case{"noWorkbook", "no workbook is open"}}) {
        SCOPED_TRACE(c.why);
        RunningFake excel(c.book);
        Capture capture;
        capture.model.table.Replace(1, 1);
        capture.controller.Button3Click();
        EXPECT_EQ(capture.view.infos, std::vector<std::string>{"取得に失敗しました."});
        EXPECT_FALSE(capture.view.insertEnabled);
        EXPECT_EQ(capture.model.table.cells.size(), 1u);  // the table before stays
        EXPECT_EQ(excel.state->screenUpdating, (std::vector<bool>{false, true}));
        EXPECT_EQ(CountOf(excel.state->TakeLog(), "Worksheet.Range("), 0u);
    }
}

TEST_F(ExcelAutomation, AFailurePartWayLeavesTheTableAtItsNewSize) {
    {
        SCOPED_TRACE("an error value");
        RunningFake excel("schedule");
        excel.state->book.selection = fake::Rect{5, 5, 6, 7};  // E5:G6; F6 holds #N/A
        Capture capture;
        capture.controller.Button3Click();
        EXPECT_EQ(capture.view.infos, std::vector<std::string>{"取得に失敗しました."});
        EXPECT_FALSE(capture.view.insertEnabled);
        ASSERT_EQ(capture.model.table.cells.size(), 6u);
        EXPECT_EQ(capture.model.table.At(1, 1).str, "ポンプ");
        EXPECT_EQ(capture.model.table.At(2, 1).str, "3");
        EXPECT_EQ(capture.model.table.At(2, 1).txtAlign, 3);  // fill, but a number
        EXPECT_EQ(capture.model.table.At(2, 2).str, "");      // never read
        EXPECT_EQ(capture.model.table.At(2, 1).drawW, 0);     // drawing sizes not computed
        EXPECT_EQ(excel.state->screenUpdating, (std::vector<bool>{false, true}));
        EXPECT_TRUE(capture.view.redraw);
        EXPECT_EQ(CountOf(excel.state->TakeLog(), "Worksheet.Range("), 5u);  // E5 F5 G5 E6 F6
    }
    {
        SCOPED_TRACE("Excel goes away");
        RunningFake excel("schedule");
        excel.state->disconnectAfter = 60;  // within the second cell
        Capture capture;
        capture.controller.Button3Click();
        EXPECT_EQ(capture.view.infos, std::vector<std::string>{"取得に失敗しました."});
        EXPECT_FALSE(capture.view.insertEnabled);
        EXPECT_EQ(capture.model.table.At(1, 1).str, "1-2");
        EXPECT_EQ(capture.model.table.At(1, 2).str, "");
    }
}

// Excel runs in a process of its own: every call crosses to it, and only
// IDispatch, which marshals without Excel's type library, is asked for.
TEST_F(ExcelAutomation, CapturesFromAnotherProcessWithTheSameCalls) {
    long callsInProcess = 0;
    {
        RunningFake excel("schedule");
        Capture capture;
        capture.controller.Button3Click();
        callsInProcess = excel.state->calls;
    }
    test::FakeExcelServer server;
    ASSERT_TRUE(server.Start(std::string("--book schedule --fixtures \"") + TABULON_COM_FIXTURES + "\""));
    Capture capture(server.ProgId());
    capture.controller.Button3Click();
    EXPECT_EQ(capture.view.infos, std::vector<std::string>{" 取得しました. VerNo=.16"});
    EXPECT_EQ(capture.view.caption, "設備表.xlsx [機器リスト]");
    EXPECT_EQ(capture.model.table.At(1, 1).lineBits, 3);
    EXPECT_EQ(capture.model.table.At(1, 3).str, "品名");
    EXPECT_EQ(capture.model.table.At(2, 3).lineBits, 48);
    long calls = 0, live = 0;
    ASSERT_TRUE(server.Stop(calls, live));
    EXPECT_EQ(calls, callsInProcess);
    EXPECT_EQ(live, 0) << "objects the adapter did not release";
    std::printf("[ calls    ] across processes: %ld calls for 6 cells\n", calls);
}

// Excel closed while a capture runs: the calls fail, the capture ends with its
// failure message instead of hanging, and the adapter lets go of the dead proxies.
TEST_F(ExcelAutomation, FailsWhenExcelEndsDuringTheCapture) {
    test::FakeExcelServer server;
    ASSERT_TRUE(server.Start(std::string("--book schedule --fixtures \"") + TABULON_COM_FIXTURES + "\""));
    struct View : FakeMainView {
        std::function<void()> beforeSecondRow;
        void ProcessMessages() override {
            FakeMainView::ProcessMessages();
            if (processed == 2) beforeSecondRow();
        }
    };
    AppModel model;
    View view;
    view.beforeSecondRow = [&server] { server.Kill(); };
    SizesController sizes(model, view);
    const std::string progId = server.ProgId();
    CaptureController controller(model, view, sizes,
                                 [&progId](const std::string&) { return AttachToSpreadsheet(progId); });
    controller.Button3Click();
    EXPECT_EQ(view.infos, std::vector<std::string>{"取得に失敗しました."});
    EXPECT_FALSE(view.insertEnabled);
    EXPECT_TRUE(view.captureEnabled);
    EXPECT_TRUE(view.redraw);
    ASSERT_EQ(model.table.cells.size(), 6u);
    EXPECT_EQ(model.table.At(1, 3).str, "品名");  // the first row was read
    EXPECT_EQ(model.table.At(2, 1).str, "");      // the second was not
    test::UnregisterProgId(progId);               // the server had no chance to
}

// Excel rejects calls while a cell is being edited. A short rejection is
// ridden out; one longer than the wait fails with its own message. In this
// process and across processes, where the calls go through COM's channel.
TEST_F(ExcelAutomation, RidesOutABusyExcelForAWhileThenSaysItIsBusy) {
    const std::string busy = "Excel が応答しません。セルの編集を終えてから、もう一度取得してください.";
    struct Case {
        bool otherProcess;
        long rejectMs;
        bool captured;
    };
    const Case cases[] = {{false, 1500, true}, {false, 600000, false}, {true, 1500, true}, {true, 600000, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.otherProcess ? "across processes" : "in process") + ", rejecting for " +
                     std::to_string(c.rejectMs) + " ms");
        std::unique_ptr<RunningFake> inProcess;
        test::FakeExcelServer server;
        std::string progId = Running().progId;
        if (c.otherProcess) {
            ASSERT_TRUE(server.Start(std::string("--book schedule --fixtures \"") + TABULON_COM_FIXTURES +
                                     "\" --reject-ms " + std::to_string(c.rejectMs)));
            progId = server.ProgId();
        } else {
            inProcess = std::make_unique<RunningFake>("schedule");
            inProcess->state->rejectForMs = c.rejectMs;
        }
        Capture capture(progId);
        const ULONGLONG start = GetTickCount64();
        capture.controller.Button3Click();
        const ULONGLONG took = GetTickCount64() - start;
        if (c.captured) {
            EXPECT_EQ(capture.view.infos, std::vector<std::string>{" 取得しました. VerNo=.16"});
            EXPECT_EQ(capture.model.table.At(1, 3).str, "品名");
        } else {
            EXPECT_EQ(capture.view.infos, std::vector<std::string>{busy});
            EXPECT_FALSE(capture.view.insertEnabled);
            EXPECT_GE(took, 4900u);   // waited about five seconds,
            EXPECT_LT(took, 60000u);  // not for ever
        }
        EXPECT_TRUE(capture.view.captureEnabled);
        if (inProcess) {
            EXPECT_GT(inProcess->state->rejected.load(), 0);
        }
        std::printf("[ busy     ] %s\n", c.captured ? "ridden out" : "gave up");
    }
}

}  // namespace
}  // namespace tabulon
