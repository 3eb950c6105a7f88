#include "app/capture_controller.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "app/fake_main_view.h"
#include "core/errors.h"

namespace tabulon {
namespace {

using test::FakeMainView;

// A spreadsheet with a selection and cells given by address.
class FakeSheet : public SpreadsheetSession {
public:
    SheetRange selection{3, 5, 2, 3};  // E3:G4
    std::map<std::pair<int32_t, int32_t>, SheetCellReading> cells;
    std::pair<int32_t, int32_t> failAt{-1, -1};
    std::vector<bool>* screenUpdating = nullptr;  // outlives the session, which the capture releases

    void SetScreenUpdating(bool on) override { screenUpdating->push_back(on); }
    std::string WorkbookName() override { return "Book1.xlsx"; }
    std::string WorksheetName() override { return "Sheet1"; }
    SheetRange Selection() override { return selection; }
    SheetCellReading ReadCell(int32_t row, int32_t col) override {
        if (std::make_pair(row, col) == failAt) throw TabulonError("#N/A cannot be read as text");
        auto it = cells.find({row, col});
        if (it != cells.end()) return it->second;
        SheetCellReading plain;
        plain.columnWidth = 8.38;
        plain.rowHeight = 18.75;
        plain.fontSize = 11;
        plain.text = ColumnLetters(col) + std::to_string(row);
        plain.valueText = plain.text;
        return plain;
    }
};

struct Fixture {
    AppModel model;
    FakeMainView view;
    SizesController sizes{model, view};
    std::vector<bool> screenUpdating;
    std::vector<std::string> attachedTo;
    CaptureController capture{model, view, sizes, [this](const std::string& progId) {
                                  attachedTo.push_back(progId);
                                  auto s = std::make_unique<FakeSheet>();
                                  s->screenUpdating = &screenUpdating;
                                  prepare(*s);
                                  return std::unique_ptr<SpreadsheetSession>(std::move(s));
                              }};
    std::function<void(FakeSheet&)> prepare = [](FakeSheet&) {};
};

TEST(SpreadsheetCapture, ReadingsBecomeRecords) {
    EXPECT_EQ(SpreadsheetProgId(16), "Excel.Application.16");
    EXPECT_EQ(SpreadsheetProgId(0), "Excel.Application.14");
    EXPECT_EQ(SpreadsheetProgId(-1), "Excel.Application.14");
    struct RoundCase {
        double in;
        uint16_t out;
    };
    for (auto [in, out] :
         {RoundCase{8.38, 8}, {18.75, 19}, {13.5, 14}, {12.5, 12}, {8.5, 8}, {65536.4, 0}, {-1, 65535}}) {
        EXPECT_EQ(RoundToField(in), out) << in;
    }
    struct AlignCase {
        int32_t alignment;
        std::string value;
        uint8_t txtAlign;
    };
    const AlignCase aligns[] = {{-4131, "12", 1}, {-4108, "", 2},  {-4152, "x", 3}, {1, "-12.5", 3},
                                {1, "abc", 0},    {1, "1-2", 3},   {1, "", 0},      {5, "3", 3},  // fill
                                {7, "abc", 0},    {1, "1E+20", 0}, {1, "True", 0}};
    for (const AlignCase& a : aligns) {
        SheetCellReading r;
        r.horizontalAlignment = a.alignment;
        r.valueText = a.value;
        EXPECT_EQ(CellFromReading(r).txtAlign, a.txtAlign) << a.alignment << " " << a.value;
    }
    SheetCellReading borders;
    borders.borderLineStyles = {1, -4119, -4142, -4142, 1, 1};  // thin top, double bottom, both diagonals
    EXPECT_EQ(CellFromReading(borders).lineBits, 1 + 2 + 16 + 32);
    // Without weights the look was not asked for: plain lines, as always.
    EXPECT_EQ(CellFromReading(borders).lineStyleBottom, kBorderPlain);
}

TEST(SpreadsheetCapture, TheLookFromStylesWeightsAlignmentAndInterior) {
    struct BorderCase {
        int32_t style, weight;
        uint8_t look;
    };
    const BorderCase borders[] = {
        {1, 2, kBorderThin},        {1, 1, kBorderHair},          {1, -4138, kBorderMedium},
        {1, 4, kBorderThick},       {-4119, 4, kBorderDouble},    {-4115, 2, kBorderDashed},
        {-4115, -4138, kBorderMediumDashed}, {-4118, 2, kBorderDotted}, {4, 2, kBorderDashDot},
        {4, -4138, kBorderMediumDashDot},    {5, 2, kBorderDashDotDot}, {5, 4, kBorderMediumDashDotDot},
        {13, -4138, kBorderSlantDashDot},
    };
    for (const BorderCase& b : borders) {
        SheetCellReading r;
        r.borderLineStyles = {b.style, -4142, -4142, -4142, -4142, b.style};
        r.borderWeights = {b.weight, 0, 0, 0, 0, b.weight};
        const TXlsxCellAttr cell = CellFromReading(r);
        EXPECT_EQ(cell.lineStyleTop, b.look) << b.style << " " << b.weight;
        EXPECT_EQ(cell.lineStyleUp, b.look) << b.style << " " << b.weight;
        EXPECT_EQ(cell.lineBits, kEdgeTop | kDiagonalUp);
    }
    struct AlignCase {
        int32_t vertical;
        uint8_t txtVAlign;
    };
    for (auto [vertical, txtVAlign] : {AlignCase{-4160, 1}, {-4108, 2}, {-4107, 3}, {-4130, 2}, {-4117, 2}, {0, 0}}) {
        SheetCellReading r;
        r.verticalAlignment = vertical;
        EXPECT_EQ(CellFromReading(r).txtVAlign, txtVAlign) << vertical;
    }
    SheetCellReading filled;
    filled.wrapText = true;
    filled.interiorPattern = 1;
    filled.interiorColor = 0x00CCFF;  // the application's colours are 0xBBGGRR: this is orange
    TXlsxCellAttr cell = CellFromReading(filled);
    EXPECT_TRUE(cell.wrapText);
    EXPECT_EQ(cell.fillColor, 0xFFCC00);
    filled.interiorPattern = -4142;  // no fill, whatever the colour says
    EXPECT_EQ(CellFromReading(filled).fillColor, TXlsxCellAttr::kNoFill);
}

TEST(CaptureController, CapturesTheSelection) {
    Fixture f;
    f.prepare = [](FakeSheet& s) {
        SheetCellReading merged;
        merged.columnWidth = 10;
        merged.rowHeight = 20;
        merged.fontSize = 12;
        merged.text = "合計";
        merged.mergeCells = true;
        merged.mergeRows = 2;
        merged.mergeCols = 1;
        s.cells[{3, 6}] = merged;
        merged.text = "";
        s.cells[{4, 6}] = merged;
    };
    f.capture.Button3Click();
    EXPECT_EQ(f.attachedTo, std::vector<std::string>{"Excel.Application.16"});
    EXPECT_EQ(f.view.caption, "Book1.xlsx [Sheet1]");
    EXPECT_EQ(f.view.texts[Ctl::Edit2], "E3");
    EXPECT_EQ(f.view.texts[Ctl::Edit3], "G4");
    EXPECT_EQ(f.model.table.TableCols, 3);
    EXPECT_EQ(f.model.table.TableRows, 2);
    EXPECT_EQ(f.model.texts.Get(1, 0), "E");
    EXPECT_EQ(f.model.texts.Get(3, 0), "G");
    EXPECT_EQ(f.model.texts.Get(0, 2), "4");
    EXPECT_EQ(f.model.texts.Get(3, 2), "G4");
    EXPECT_EQ(f.view.colWidths[0], 70);
    EXPECT_EQ(f.view.colWidths[1], 160);  // 8 x 20
    EXPECT_EQ(f.view.rowHeights[1], 57);  // 19 x 3
    const TXlsxCellAttr& anchor = f.model.table.At(1, 2);
    EXPECT_TRUE(anchor.cellMerge);
    EXPECT_EQ(anchor.str, "合計");
    EXPECT_GT(anchor.drawMH, 0);  // drawing sizes computed
    EXPECT_TRUE(f.model.table.At(2, 2).mark);
    EXPECT_EQ(f.view.processed, 2);  // once per row
    EXPECT_EQ(f.screenUpdating, (std::vector<bool>{false, true}));
    EXPECT_TRUE(f.view.redraw);
    EXPECT_EQ(f.view.infos, std::vector<std::string>{" 取得しました. VerNo=.16"});
    EXPECT_TRUE(f.view.insertEnabled);
    EXPECT_TRUE(f.view.captureEnabled);
    EXPECT_EQ(f.view.texts[Ctl::Label4], "全体: W=78.000 x H=16.340");  // 24 + 30 + 24, 19 x 0.43 x 2
}

// The grid shows a column colW x colXsc and a row rowH x rowYsc pixels wide,
// truncated: the default cells are 8 characters wide and 19 points high.
TEST(CaptureController, GridPixelSizesAreTruncatedProducts) {
    struct Case {
        double colXsc, rowYsc;
        int32_t colPixels, rowPixels;
    };
    const Case cases[] = {
        {7.7, 2.5, 61, 47},           // 61.6 and 47.5 would round up
        {12.4999, 0.99, 99, 18},      // 99.9992 and 18.81
        {0.1, 0.05, 0, 0},            // under one pixel: hidden
    };
    for (const Case& c : cases) {
        Fixture f;
        f.model.settings.colXsc = c.colXsc;
        f.model.settings.rowYsc = c.rowYsc;
        f.capture.Button3Click();
        EXPECT_EQ(f.view.colWidths[1], c.colPixels) << c.colXsc;
        EXPECT_EQ(f.view.colWidths[3], c.colPixels) << c.colXsc;
        EXPECT_EQ(f.view.rowHeights[2], c.rowPixels) << c.rowYsc;
    }
}

TEST(CaptureController, NoSpreadsheetRunning) {
    Fixture f;
    f.model.settings.xlsVerNum = 0;
    f.model.table.Replace(1, 1);
    CaptureController capture(f.model, f.view, f.sizes, [](const std::string&) -> std::unique_ptr<SpreadsheetSession> {
        throw TabulonError("MK_E_UNAVAILABLE");
    });
    f.view.insertEnabled = true;
    capture.Button3Click();
    EXPECT_EQ(f.view.infos,
              (std::vector<std::string>{"クラス名: Excel.Application.14 は無効です.", "取得に失敗しました."}));
    EXPECT_EQ(f.model.table.cells.size(), 1u);  // the previous table stays
    EXPECT_FALSE(f.view.insertEnabled);
    EXPECT_TRUE(f.view.captureEnabled);
}

TEST(CaptureController, AnErrorValueFailsTheCaptureHalfway) {
    Fixture f;
    f.prepare = [](FakeSheet& s) { s.failAt = {4, 6}; };
    f.capture.Button3Click();
    EXPECT_EQ(f.view.infos, std::vector<std::string>{"取得に失敗しました."});
    EXPECT_FALSE(f.view.insertEnabled);
    EXPECT_EQ(f.model.table.cells.size(), 6u);  // the new size, filled up to the failure
    EXPECT_EQ(f.model.table.At(2, 1).str, "E4");
    EXPECT_EQ(f.model.table.At(2, 1).drawW, 0);  // drawing sizes not computed
    EXPECT_EQ(f.screenUpdating, (std::vector<bool>{false, true}));
    EXPECT_TRUE(f.view.redraw);
}

}  // namespace
}  // namespace tabulon

namespace tabulon {
namespace {

// The window closing while the capture handles its messages.
class ClosingView : public test::FakeMainView {
public:
    std::function<void()> onMessages;
    void ProcessMessages() override {
        FakeMainView::ProcessMessages();
        if (onMessages) onMessages();
    }
};

TEST(CaptureController, ACancelDuringTheCaptureStopsBeforeTheNextRow) {
    AppModel model;
    ClosingView view;
    SizesController sizes(model, view);
    std::vector<bool> screen;
    CaptureController capture(model, view, sizes, [&](const std::string&) {
        auto s = std::make_unique<FakeSheet>();
        s->screenUpdating = &screen;
        return std::unique_ptr<SpreadsheetSession>(std::move(s));
    });
    int rowsSeen = 0;
    view.onMessages = [&] {
        EXPECT_TRUE(capture.Capturing());
        capture.Button3Click();  // a second click meanwhile is ignored
        if (++rowsSeen == 2) {
            capture.Cancel();       // the close arrives with the second row
            model.table.Release();  // ...and would release the table right after
        }
    };
    capture.Button3Click();
    EXPECT_FALSE(capture.Capturing());
    EXPECT_EQ(rowsSeen, 2);
    EXPECT_TRUE(model.table.IsEmpty());  // nothing was written after the release
    EXPECT_TRUE(view.infos.empty());     // no failure message for a window that is closing
    EXPECT_FALSE(view.insertEnabled);
    EXPECT_EQ(screen, (std::vector<bool>{false, true}));
}

}  // namespace
}  // namespace tabulon
