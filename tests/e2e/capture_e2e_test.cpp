// tabulon.exe and the fake Excel, each in a process of its own. The program's
// own capture finds the fake by the "Excel.Application.NN" its INI file names
// and reads it through COM across processes; its own "CAD へ挿入" writes the
// drawing beside it. Clicks go in as window messages, and what comes out is
// what a user sees: message boxes, the caption, the edits, the totals, the DXF.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "e2e/e2e_support.h"
#include "platform/win_text.h"
#include "support/dxf_reader.h"
#include "support/test_support.h"

namespace tabulon {
namespace {

using test::TabulonProcess;
using ui::kButton3;
using ui::kButton4;
using ui::kEdit;
using ui::kLabel;

std::string Utf8FromCodePage(const std::string& bytes, UINT codePage) {
    const int n = MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), wide.data(), n);
    const int m = WideCharToMultiByte(CP_UTF8, 0, wide.data(), n, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(m), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), n, utf8.data(), m, nullptr, nullptr);
    return utf8;
}

// The drawing and what ezdxf must find in it, for the audit after the tests.
void SaveForAudit(const std::string& name, const std::string& dxf, const nlohmann::json& expect) {
    const std::filesystem::path dir = test::TestOutputDir();
    FILE* out = _wfopen((dir / (name + ".dxf")).c_str(), L"wb");
    ASSERT_NE(out, nullptr);
    std::fwrite(dxf.data(), 1, dxf.size(), out);
    std::fclose(out);
    out = _wfopen((dir / (name + ".expect.json")).c_str(), L"wb");
    ASSERT_NE(out, nullptr);
    const std::string json = expect.dump(1);
    std::fwrite(json.data(), 1, json.size(), out);
    std::fclose(out);
}

// The selection B2:E6 of the fixture book "equipment": columns of 8, 14, 8 and
// 10 characters (40 x 10 = 400 wide), rows of 24 and 4 x 19 points (100 x 2 =
// 200 high). B2:E2, E4:E5 and B6:C6 are merged.
struct ExpectedText {
    const char* text;
    int hJust;  // 0 left, 1 centre, 2 right
    double height;
};
const ExpectedText kTexts[] = {
    // Row 2: the merged title, centred, 14 pt.
    {"機器一覧表", 1, 7},
    // Row 3: centred headers, 11 pt as most cells.
    {"番号", 1, 5.5},
    {"品名", 1, 5.5},
    {"数量", 1, 5.5},
    {"備考", 1, 5.5},
    // Row 4: under general alignment a number goes right and a text stays left; E4:E5 is set left.
    {"1", 2, 5.5},
    {"ポンプ", 0, 5.5},
    {"3", 2, 5.5},
    {"屋外設置", 0, 5.5},
    // Row 5: a 9 pt text; the displayed text of the number 10.5.
    {"2", 2, 5.5},
    {"送風機", 0, 4.5},
    {"10.50", 2, 5.5},
    // Row 6: B6:C6 is set right, and its 10.5 pt rounds to 10.
    {"合計", 2, 5},
    {"13.5", 2, 5.5},
};

// Where the texts of merged areas stand: in the middle of the whole area.
struct ExpectedPoint {
    const char* text;
    double x, y;
};
const ExpectedPoint kMergedTextPoints[] = {
    {"機器一覧表", 200, -24},   // centre of 400 x 48
    {"屋外設置", 304.4, -124},  // 300 + 5.5 x 0.8; two rows of 38 below -86
    {"合計", 216, -181},        // 220 - 5 x 0.8; one row below -162
};

struct Segment {
    double x0, y0, x1, y1;
};

// The border lines of the book, each run joined into one line.
const Segment kBorders[] = {
    {0, -48, 400, -48},      // the header row's top edge
    {0, -86, 400, -86},      // and its double bottom edge
    {0, -162, 400, -162},    // the total row's top edge, across the merged B6:C6
    {0, -200, 400, -200},    // and its double bottom edge
    {220, -48, 220, -200},   // the left edge of D3:D6
    {300, -162, 400, -200},  // the diagonal down in E6
};

Segment Ordered(Segment s) {
    if (std::tie(s.x1, s.y1) < std::tie(s.x0, s.y0)) {
        std::swap(s.x0, s.x1);
        std::swap(s.y0, s.y1);
    }
    return s;
}

bool Near(const Segment& a, const Segment& b) {
    constexpr double kTolerance = 1e-9;
    return std::fabs(a.x0 - b.x0) < kTolerance && std::fabs(a.y0 - b.y0) < kTolerance &&
           std::fabs(a.x1 - b.x1) < kTolerance && std::fabs(a.y1 - b.y1) < kTolerance;
}

std::string Describe(const Segment& s) {
    char text[128];
    std::snprintf(text, sizeof text, "(%g, %g)-(%g, %g)", s.x0, s.y0, s.x1, s.y1);
    return text;
}

void ExpectTheBooksDrawing(const std::string& dxf) {
    const std::vector<test::Entity> entities = test::ReadEntities(dxf);
    const std::vector<test::Entity> texts = test::OfType(entities, "TEXT");
    ASSERT_EQ(texts.size(), std::size(kTexts));
    for (size_t k = 0; k < texts.size(); ++k) {
        const ExpectedText& e = kTexts[k];
        SCOPED_TRACE(e.text);
        EXPECT_EQ(Utf8FromCodePage(texts[k].Get(1), 932), e.text);
        EXPECT_EQ(texts[k].Num(72), e.hJust);
        EXPECT_EQ(texts[k].Num(40), e.height);
    }
    for (const ExpectedPoint& p : kMergedTextPoints) {
        SCOPED_TRACE(p.text);
        auto text = std::find_if(texts.begin(), texts.end(),
                                 [&](const test::Entity& t) { return Utf8FromCodePage(t.Get(1), 932) == p.text; });
        ASSERT_NE(text, texts.end());
        EXPECT_NEAR(text->Num(11), p.x, 1e-9);
        EXPECT_NEAR(text->Num(21), p.y, 1e-9);
    }

    std::vector<Segment> borders;
    for (const test::Entity& line : test::OfType(entities, "LINE")) {
        if (line.Layer() == "XLSBordLine") {
            borders.push_back(Ordered({line.Num(10), line.Num(20), line.Num(11), line.Num(21)}));
        }
    }
    std::string drawn;
    for (const Segment& s : borders) drawn += Describe(s) + " ";
    EXPECT_EQ(borders.size(), std::size(kBorders)) << drawn;
    for (const Segment& expected : kBorders) {
        EXPECT_TRUE(
            std::any_of(borders.begin(), borders.end(), [&](const Segment& s) { return Near(s, Ordered(expected)); }))
            << Describe(expected) << " missing from " << drawn;
    }
}

nlohmann::json TheBooksExpectation() {
    nlohmann::json expect;
    // Separator runs: 5 along the rows and 6 down the columns, edges included;
    // one outline per merged area.
    expect["entities"] = {{"LINE@XLSCellLine", 11},
                          {"POLYLINE@XLSCellLine", 3},
                          {"LINE@XLSBordLine", static_cast<int>(std::size(kBorders))},
                          {"TEXT@XLSCellText", static_cast<int>(std::size(kTexts))}};
    expect["texts"] = nlohmann::json::array();
    for (const ExpectedText& t : kTexts) expect["texts"].push_back(t.text);
    return expect;
}

TEST(CaptureEndToEnd, CapturesFromTheRunningExcelAndWritesTheDrawingBesideTheProgram) {
    test::FakeExcelServer excel;
    ASSERT_TRUE(excel.Start(test::FakeExcelArgs("equipment")));
    test::ExcelVersionName name;
    ASSERT_TRUE(name.Claim());
    ASSERT_TRUE(name.PointTo(excel.Clsid()));
    std::printf("[ excel    ] the fake runs as %s\n", name.ProgId().c_str());
    TabulonProcess app(L"Tabulon Test 1");
    ASSERT_TRUE(app.Start(test::E2eSettings(name.Number())));
    EXPECT_FALSE(app.IsEnabled(kButton4));

    ASSERT_TRUE(app.Click(kButton3));
    const std::optional<test::SeenMessageBox> done = app.WaitForMessageBox();
    ASSERT_TRUE(done);
    test::Screenshot("e2e_capture_done");
    EXPECT_EQ(done->title, L"メッセージ");
    EXPECT_EQ(done->text, Utf8ToWide(" 取得しました. VerNo=." + std::to_string(name.Number())));
    ASSERT_TRUE(app.Dismiss(*done));
    ASSERT_TRUE(test::WaitUntil([&] { return app.IsEnabled(kButton3); }, TabulonProcess::kWaitTimeoutMs));
    EXPECT_TRUE(app.IsEnabled(kButton4));
    EXPECT_EQ(app.Caption(), L"機器表.xlsx [一覧]");
    EXPECT_EQ(app.Text(kEdit + 2), L"B2");
    EXPECT_EQ(app.Text(kEdit + 3), L"E6");
    EXPECT_EQ(app.Text(kLabel + 4), L"全体: W=400.000 x H=200.000");

    // No CAD runs, so the drawing is all there is, and nothing is said.
    ASSERT_TRUE(app.Click(kButton4));
    ASSERT_TRUE(app.WaitIdle());
    const std::optional<test::SeenMessageBox> unexpected = app.OpenMessageBox();
    EXPECT_FALSE(unexpected) << WideToUtf8(unexpected->text);
    const std::optional<std::string> dxf = app.ReadDxf();
    ASSERT_TRUE(dxf) << "no drawing beside the program";
    SaveForAudit("e2e_capture", *dxf, TheBooksExpectation());
    ExpectTheBooksDrawing(*dxf);

    // Excel quits; the next capture fails and leaves the table and window as
    // they were, but the drawing can no longer be inserted.
    long calls = 0, live = 0;
    ASSERT_TRUE(excel.Stop(calls, live));
    EXPECT_EQ(live, 0) << "objects the program did not release";
    std::printf("[ calls    ] %ld automation calls across processes for 20 cells\n", calls);
    ASSERT_TRUE(app.Click(kButton3));
    for (const std::string& expected :
         {"クラス名: " + name.ProgId() + " は無効です.", std::string("取得に失敗しました.")}) {
        const std::optional<test::SeenMessageBox> box = app.TakeMessageBox();
        ASSERT_TRUE(box);
        EXPECT_EQ(box->text, Utf8ToWide(expected));
    }
    ASSERT_TRUE(test::WaitUntil([&] { return app.IsEnabled(kButton3); }, TabulonProcess::kWaitTimeoutMs));
    EXPECT_FALSE(app.IsEnabled(kButton4));
    EXPECT_EQ(app.Caption(), L"機器表.xlsx [一覧]");
    EXPECT_EQ(app.Text(kEdit + 2), L"B2");
    EXPECT_EQ(app.Text(kEdit + 3), L"E6");
    EXPECT_EQ(app.Text(kLabel + 4), L"全体: W=400.000 x H=200.000");

    // The settings go back to the INI beside the program when it closes, the
    // ones the file did not hold included.
    ASSERT_EQ(app.Quit(), 0u);
    EXPECT_EQ(app.ReadSetting("xlsVerNum"), std::to_wstring(name.Number()));
    EXPECT_EQ(app.ReadSetting("cadXsc"), L"10");
    EXPECT_EQ(app.ReadSetting("colXsc"), L"20");
}

TEST(CaptureEndToEnd, WithoutARunningExcelTheCaptureSaysSoAndChangesNothing) {
    // Excel installed but not running: the name has a class, nobody serves it.
    test::ExcelVersionName name;
    ASSERT_TRUE(name.Claim());
    CLSID idle{};
    ASSERT_EQ(CoCreateGuid(&idle), S_OK);
    ASSERT_TRUE(name.PointTo(idle));
    TabulonProcess app(L"Tabulon Test 2");
    ASSERT_TRUE(app.Start(test::E2eSettings(name.Number())));

    ASSERT_TRUE(app.Click(kButton3));
    const std::optional<test::SeenMessageBox> invalid = app.WaitForMessageBox();
    ASSERT_TRUE(invalid);
    test::Screenshot("e2e_capture_no_excel");
    EXPECT_EQ(invalid->title, L"メッセージ");
    EXPECT_EQ(invalid->text, Utf8ToWide("クラス名: " + name.ProgId() + " は無効です."));
    ASSERT_TRUE(app.Dismiss(*invalid));
    const std::optional<test::SeenMessageBox> failed = app.TakeMessageBox();
    ASSERT_TRUE(failed);
    EXPECT_EQ(failed->text, L"取得に失敗しました.");

    ASSERT_TRUE(test::WaitUntil([&] { return app.IsEnabled(kButton3); }, TabulonProcess::kWaitTimeoutMs));
    EXPECT_FALSE(app.Click(kButton4)) << "CAD へ挿入 stays disabled";
    EXPECT_EQ(app.Caption(), L"Tabulon 2023.02.04 (64bit)");
    EXPECT_EQ(app.Text(kEdit + 2), L"");
    EXPECT_EQ(app.Text(kEdit + 3), L"");
    EXPECT_EQ(app.Text(kLabel + 4), L"");
    EXPECT_FALSE(app.ReadDxf());
    EXPECT_EQ(app.Quit(), 0u);
}

// While a cell is being edited Excel rejects every call. The program waits
// about five seconds, answering its own window meanwhile: a short edit is
// ridden out, a long one ends in the message asking to finish the edit.
TEST(CaptureEndToEnd, ABusyExcelIsWaitedForThenTheCaptureSaysItIsBusy) {
    struct Case {
        long rejectMs;
        bool captured;
    };
    const Case cases[] = {{2000, true}, {600000, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE("rejecting for " + std::to_string(c.rejectMs) + " ms");
        test::FakeExcelServer excel;
        ASSERT_TRUE(excel.Start(test::FakeExcelArgs("equipment") + " --reject-ms " + std::to_string(c.rejectMs)));
        test::ExcelVersionName name;
        ASSERT_TRUE(name.Claim());
        ASSERT_TRUE(name.PointTo(excel.Clsid()));
        TabulonProcess app(L"Tabulon Test Busy");
        ASSERT_TRUE(app.Start(test::E2eSettings(name.Number())));
        const ULONGLONG start = GetTickCount64();
        ASSERT_TRUE(app.Click(kButton3));
        Sleep(1000);
        // The window answers while the capture waits.
        const ULONGLONG asked = GetTickCount64();
        EXPECT_EQ(app.Caption(), L"Tabulon 2023.02.04 (64bit)");
        EXPECT_LT(GetTickCount64() - asked, 1000u) << "the window did not answer while Excel was busy";
        const std::optional<test::SeenMessageBox> box = app.TakeMessageBox();
        ASSERT_TRUE(box);
        const ULONGLONG took = GetTickCount64() - start;
        if (c.captured) {
            EXPECT_EQ(box->text, Utf8ToWide(" 取得しました. VerNo=." + std::to_string(name.Number())));
            EXPECT_EQ(app.Caption(), L"機器表.xlsx [一覧]");
        } else {
            EXPECT_EQ(box->text, L"Excel が応答しません。セルの編集を終えてから、もう一度取得してください.");
            EXPECT_GE(took, 4900u);
            ASSERT_TRUE(test::WaitUntil([&] { return app.IsEnabled(kButton3); }, TabulonProcess::kWaitTimeoutMs));
            EXPECT_FALSE(app.IsEnabled(kButton4));
        }
        EXPECT_EQ(app.Quit(), 0u);
    }
}

}  // namespace
}  // namespace tabulon
