#include "app/file_capture_controller.h"

#include <gtest/gtest.h>

#include <map>

#include "app/capture_controller.h"
#include "app/fake_main_view.h"
#include "core/errors.h"

namespace tabulon {
namespace {

using test::FakeMainView;

// A workbook whose sheets, default ranges, captures and faults the test sets.
struct FakeBook {
    std::vector<WorkbookSheet> sheets{{"表紙", true}, {"一覧", true}, {"グラフ", false}};
    int active = 1;
    std::map<std::string, std::string> defaults{{"表紙", "A1:C3"}, {"一覧", "B2:E6"}};
    std::string openFault, captureFault;
    WorkbookCapture result;
    std::vector<std::pair<std::string, std::string>> captured;  // sheet, range
};

class FakeOpenWorkbook : public OpenWorkbook {
public:
    explicit FakeOpenWorkbook(FakeBook& book) : book_(book) {}
    std::vector<WorkbookSheet> Sheets() override { return book_.sheets; }
    int ActiveSheet() override { return book_.active; }
    std::string DefaultRange(const std::string& sheet) override {
        auto it = book_.defaults.find(sheet);
        if (it == book_.defaults.end()) throw TabulonError("sheet \"" + sheet + "\" holds no cells");
        return it->second;
    }
    WorkbookCapture Capture(const std::string& sheet, const std::string& range) override {
        book_.captured.emplace_back(sheet, range);
        if (!book_.captureFault.empty()) throw TabulonError(book_.captureFault);
        return book_.result;
    }

private:
    FakeBook& book_;
};

class FakeReader : public WorkbookReader {
public:
    FakeBook book;
    std::vector<std::string> opened;
    std::unique_ptr<OpenWorkbook> Open(const std::string& path) override {
        opened.push_back(path);
        if (!book.openFault.empty()) throw TabulonError(book.openFault);
        return std::make_unique<FakeOpenWorkbook>(book);
    }
};

// Answers for the user, and remembers what it was asked.
class FakeChooser : public WorkbookChooser {
public:
    std::optional<std::string> file = "C:\\図面\\機器表.xlsx";
    std::optional<SheetRangeAnswer> answer = SheetRangeAnswer{1, "B2:E6"};
    int fileQuestions = 0;
    std::vector<SheetRangeQuestion> questions;
    std::vector<std::string> otherDefaults;  // the default of every sheet, asked while the dialog is open

    std::optional<std::string> ChooseWorkbookFile() override {
        ++fileQuestions;
        return file;
    }
    std::optional<SheetRangeAnswer> ChooseSheetAndRange(const SheetRangeQuestion& question) override {
        questions.push_back(question);
        otherDefaults.clear();
        for (int k = 0; k < static_cast<int>(question.sheets.size()); ++k)
            otherDefaults.push_back(question.defaultRange(k));
        return answer;
    }
};

// The spreadsheet program's sheet with the cells of the fake book: E3:G4 with a
// merged pair and sizes of their own.
class ExcelSheet : public SpreadsheetSession {
public:
    void SetScreenUpdating(bool) override {}
    std::string WorkbookName() override { return "機器表.xlsx"; }
    std::string WorksheetName() override { return "一覧"; }
    SheetRange Selection() override { return {3, 5, 2, 3}; }
    SheetCellReading ReadCell(int32_t row, int32_t col) override {
        SheetCellReading r;
        r.columnWidth = 8.38 + col;
        r.rowHeight = 18.75 + row;
        r.fontSize = 11;
        r.text = ColumnLetters(col) + std::to_string(row);
        r.valueText = r.text;
        r.horizontalAlignment = col == 5 ? -4108 : 1;
        if (col == 6) {
            r.text = row == 3 ? "合計" : "";
            r.mergeCells = true;
            r.mergeRows = 2;
            r.mergeCols = 1;
        }
        return r;
    }
};

struct Fixture {
    AppModel model;
    FakeMainView view;
    SizesController sizes{model, view};
    FakeReader reader;
    FakeChooser chooser;
    FileCaptureController files{model, view, sizes, reader, chooser};
};

// The table, texts and grid a capture from the spreadsheet program leaves.
struct ExcelFixture {
    AppModel model;
    FakeMainView view;
    SizesController sizes{model, view};
    CaptureController capture{model, view, sizes,
                              [](const std::string&) { return std::make_unique<ExcelSheet>(); }};
};

// What the file gives for the range: the records the spreadsheet program's
// capture made, before any drawing size.
WorkbookCapture FromExcel(const AppModel& excel) {
    WorkbookCapture out;
    out.capture.table.Replace(excel.table.TableRows, excel.table.TableCols);
    for (int32_t r = 1; r <= excel.table.TableRows; ++r) {
        for (int32_t c = 1; c <= excel.table.TableCols; ++c) {
            TXlsxCellAttr& cell = out.capture.table.At(r, c);
            cell = excel.table.At(r, c);
            cell.mergeW = cell.mergeH = 0;
            cell.mergeBits = 0;
            cell.mark = false;
            cell.drawW = cell.drawH = cell.drawMW = cell.drawMH = cell.drawTH = 0;
        }
    }
    out.capture.texts = excel.texts;
    out.workbookName = "機器表.xlsx";
    out.sheet = "一覧";
    out.firstRow = 3;
    out.firstCol = 5;
    return out;
}

TEST(FileCaptureController, FillsTheTableAndTheWindowAsTheSpreadsheetCaptureDoes) {
    ExcelFixture excel;
    excel.model.settings.colXsc = 12;
    excel.model.settings.rowYsc = 2.5;
    excel.capture.Button3Click();
    ASSERT_EQ(excel.model.table.TableRows, 2);

    Fixture f;
    f.model.settings = excel.model.settings;
    f.reader.book.result = FromExcel(excel.model);
    f.files.FileButtonClick();

    EXPECT_EQ(f.reader.opened, std::vector<std::string>{"C:\\図面\\機器表.xlsx"});
    EXPECT_EQ(f.reader.book.captured, (std::vector<std::pair<std::string, std::string>>{{"一覧", "B2:E6"}}));
    EXPECT_EQ(f.model.table.cells, excel.model.table.cells);  // drawing sizes included
    ASSERT_EQ(f.model.texts.ColCount(), excel.model.texts.ColCount());
    ASSERT_EQ(f.model.texts.RowCount(), excel.model.texts.RowCount());
    for (int32_t r = 0; r < f.model.texts.RowCount(); ++r)
        for (int32_t c = 0; c < f.model.texts.ColCount(); ++c)
            EXPECT_EQ(f.model.texts.Get(c, r), excel.model.texts.Get(c, r)) << c << "," << r;
    EXPECT_EQ(f.view.caption, excel.view.caption);
    EXPECT_EQ(f.view.caption, "機器表.xlsx [一覧]");
    for (Ctl edit : {Ctl::Edit2, Ctl::Edit3, Ctl::Label4}) EXPECT_EQ(f.view.texts[edit], excel.view.texts[edit]);
    EXPECT_EQ(f.view.texts[Ctl::Edit3], "G4");
    EXPECT_EQ(f.view.colWidths, excel.view.colWidths);
    EXPECT_EQ(f.view.rowHeights, excel.view.rowHeights);
    EXPECT_EQ(std::tie(f.view.colCount, f.view.rowCount, f.view.col, f.view.row),
              std::tie(excel.view.colCount, excel.view.rowCount, excel.view.col, excel.view.row));
    EXPECT_TRUE(f.view.redraw);
    EXPECT_TRUE(f.view.insertEnabled);
    EXPECT_TRUE(f.view.errors.empty());
    EXPECT_EQ(f.view.infos, std::vector<std::string>{" 取得しました."});
}

TEST(FileCaptureController, TheDialogOffersTheSheetsWithTheActiveOneAndItsDefaultRange) {
    Fixture f;
    f.chooser.answer = SheetRangeAnswer{0, "a1:b2"};
    f.reader.book.result.capture.table.Replace(1, 1);
    f.reader.book.result.capture.texts.Resize(2, 2);
    f.files.FileButtonClick();
    ASSERT_EQ(f.chooser.questions.size(), 1u);
    const SheetRangeQuestion& q = f.chooser.questions[0];
    EXPECT_EQ(q.workbookName, "機器表.xlsx");
    EXPECT_EQ(q.sheets, (std::vector<std::string>{"表紙", "一覧", "グラフ"}));
    EXPECT_EQ(q.selected, 1);
    EXPECT_EQ(q.range, "B2:E6");
    // A chart sheet has no range to offer; the others have their own.
    EXPECT_EQ(f.chooser.otherDefaults, (std::vector<std::string>{"A1:C3", "B2:E6", ""}));
    // The range goes to the reader as the user wrote it.
    EXPECT_EQ(f.reader.book.captured, (std::vector<std::pair<std::string, std::string>>{{"表紙", "a1:b2"}}));
}

TEST(FileCaptureController, AnActiveSheetOutOfRangeOrWithoutCellsStillOpensTheDialog) {
    Fixture f;
    f.reader.book.active = 7;
    f.chooser.answer.reset();
    f.files.FileButtonClick();
    ASSERT_EQ(f.chooser.questions.size(), 1u);
    EXPECT_EQ(f.chooser.questions[0].selected, 0);
    EXPECT_EQ(f.chooser.questions[0].range, "A1:C3");

    f.reader.book.active = 0;
    f.reader.book.defaults.clear();
    f.files.FileButtonClick();
    ASSERT_EQ(f.chooser.questions.size(), 2u);
    EXPECT_EQ(f.chooser.questions[1].range, "");
    EXPECT_TRUE(f.reader.book.captured.empty());
    EXPECT_TRUE(f.view.errors.empty());
}

// Every way out before the capture ends leaves the earlier table, the window
// and the insert button as they were, and says why in Japanese with the detail.
TEST(FileCaptureController, FailuresAndCancelsLeaveThePreviousTable) {
    struct Case {
        const char* name;
        std::function<void(Fixture&)> arrange;
        std::vector<std::string> errors;
    };
    const std::vector<Case> cases = {
        {"file dialog cancelled", [](Fixture& f) { f.chooser.file.reset(); }, {}},
        {"sheet dialog cancelled", [](Fixture& f) { f.chooser.answer.reset(); }, {}},
        {"damaged file",
         [](Fixture& f) { f.reader.book.openFault = "the file is not a ZIP archive"; },
         {"ブックを読めません: the file is not a ZIP archive"}},
        {"no sheets", [](Fixture& f) { f.reader.book.sheets.clear(); },
         {"ブックを読めません: the workbook lists no sheets"}},
        {"error value",
         [](Fixture& f) { f.reader.book.captureFault = "一覧!C4 holds the error value #DIV/0!"; },
         {"ブックから取得できません: 一覧!C4 holds the error value #DIV/0!"}},
        {"range too large",
         [](Fixture& f) { f.reader.book.captureFault = "range A1:A70000 has 70000 rows; a capture holds at most 65535"; },
         {"ブックから取得できません: range A1:A70000 has 70000 rows; a capture holds at most 65535"}},
        {"empty capture", [](Fixture&) {}, {"ブックから取得できません: the range holds no cells"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Fixture f;
        f.model.table.Replace(1, 2);
        f.model.table.At(1, 2).str = "前の表";
        f.model.texts.Resize(3, 2);
        f.model.texts.Set(2, 1, "前の表");
        f.view.caption = "Book0.xlsx [Sheet1]";
        f.view.insertEnabled = true;
        c.arrange(f);
        f.files.FileButtonClick();
        EXPECT_EQ(f.view.errors, c.errors);
        EXPECT_TRUE(f.view.infos.empty());
        EXPECT_EQ(f.model.table.TableCols, 2);
        EXPECT_EQ(f.model.table.At(1, 2).str, "前の表");
        EXPECT_EQ(f.model.texts.Get(2, 1), "前の表");
        EXPECT_EQ(f.view.caption, "Book0.xlsx [Sheet1]");
        EXPECT_TRUE(f.view.insertEnabled);
    }
}

TEST(FileCaptureController, APendingWorkbookIsOpenedOnceWithoutTheFileDialog) {
    Fixture f;
    f.chooser.answer.reset();
    f.files.SetPendingWorkbook("Z:\\tmp\\book 1.xlsx");
    f.files.FileButtonClick();
    f.files.FileButtonClick();
    EXPECT_EQ(f.chooser.fileQuestions, 1);
    EXPECT_EQ(f.reader.opened, (std::vector<std::string>{"Z:\\tmp\\book 1.xlsx", "C:\\図面\\機器表.xlsx"}));
}

}  // namespace
}  // namespace tabulon
