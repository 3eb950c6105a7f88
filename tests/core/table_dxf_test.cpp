#include "core/table_dxf.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "core/drawing_sizes.h"
#include "core/errors.h"
#include "support/dxf_reader.h"
#include "support/table_builder.h"
#include "support/test_support.h"

namespace tabulon {
namespace {

using test::Entity;
using test::OfType;
using test::TestTable;

struct Seg {
    double x0, y0, x1, y1;
    std::string layer;
};

bool Near(double a, double b) {
    return std::abs(a - b) < 1e-9;
}

std::vector<Seg> Lines(const std::vector<Entity>& entities, const std::string& layer = "") {
    std::vector<Seg> segs;
    for (const Entity& e : OfType(entities, "LINE")) {
        if (!layer.empty() && e.Layer() != layer) continue;
        segs.push_back({e.Num(10), e.Num(20), e.Num(11), e.Num(21), e.Layer()});
    }
    return segs;
}

::testing::AssertionResult SameSegs(const std::vector<Seg>& got, const std::vector<Seg>& want) {
    auto describe = [](const std::vector<Seg>& segs) {
        std::string s;
        for (const Seg& g : segs) {
            s += "  (" + std::to_string(g.x0) + ", " + std::to_string(g.y0) + ")-(" + std::to_string(g.x1) + ", " +
                 std::to_string(g.y1) + ") " + g.layer + "\n";
        }
        return s;
    };
    bool same = got.size() == want.size();
    for (size_t k = 0; same && k < got.size(); ++k) {
        same = Near(got[k].x0, want[k].x0) && Near(got[k].y0, want[k].y0) && Near(got[k].x1, want[k].x1) &&
               Near(got[k].y1, want[k].y1) && (want[k].layer.empty() || got[k].layer == want[k].layer);
    }
    if (same) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "got\n" << describe(got) << "want\n" << describe(want);
}

std::vector<Entity> Draw(TestTable& t, DxfLines* out = nullptr) {
    t.Compute();
    DxfLines lines;
    EXPECT_TRUE(BuildTableDxf(t.table, t.texts, t.settings, lines));
    auto entities = test::ReadEntities(lines.Text());
    if (out) *out = lines;
    return entities;
}

TEST(TableDxf, OneCellGivesFiveEntities) {
    TestTable t(1, 1);
    t.table.At(1, 1).txtAlign = 1;
    t.Text(1, 1, "A");
    DxfLines lines;
    auto entities = Draw(t, &lines);
    const double W = 24, H = 14 * 0.43, TH = 11 * 0.27;
    ASSERT_EQ(entities.size(), 5u);
    EXPECT_TRUE(SameSegs(Lines(entities), {{0, 0, W, 0, "XLSCellLine"},
                                           {0, -H, W, -H, "XLSCellLine"},
                                           {0, 0, 0, -H, "XLSCellLine"},
                                           {W, 0, W, -H, "XLSCellLine"}}));
    const Entity& text = entities[4];
    EXPECT_EQ(text.type, "TEXT");
    EXPECT_EQ(text.Layer(), "XLSCellText");
    EXPECT_EQ(text.Get(1), "A");
    EXPECT_TRUE(Near(text.Num(10), TH * 0.8));
    EXPECT_TRUE(Near(text.Num(20), -H / 2));
    EXPECT_EQ(text.Get(11), text.Get(10));
    EXPECT_EQ(text.Get(72), "0");
    EXPECT_EQ(text.Get(73), "2");
    EXPECT_EQ(text.Get(40), "2.97");
    EXPECT_EQ(text.Get(62), "256");
    test::SaveForAudit("table_one_cell", lines, {{{"LINE@XLSCellLine", 4}, {"TEXT@XLSCellText", 1}}, {"A"}});

    t.settings.cellLineDraw = false;
    entities = Draw(t);
    ASSERT_EQ(entities.size(), 1u);
    EXPECT_EQ(entities[0].type, "TEXT");
}

TEST(TableDxf, EmptyTableDrawsNothing) {
    TestTable t(0, 0);
    DxfLines lines;
    lines.Add("untouched");
    EXPECT_FALSE(BuildTableDxf(t.table, t.texts, t.settings, lines));
    EXPECT_EQ(lines.Count(), 1u);
    const std::string path = test::FreshDir("empty_table") + "/never.dxf";
    EXPECT_FALSE(WriteTableDxf(t.table, t.texts, t.settings, path));
    EXPECT_FALSE(std::ifstream(path).good());
}

TEST(TableDxf, OverflowingSizesAreRefusedNotWritten) {
    for (double ScaleSettings::*scale : {&ScaleSettings::cadXsc, &ScaleSettings::cadTsc, &ScaleSettings::cadTof}) {
        TestTable t(1, 2);
        t.Text(1, 1, "A");
        t.settings.*scale = 1e308;
        t.Compute();
        DxfLines lines;
        lines.Add("untouched");
        EXPECT_THROW(BuildTableDxf(t.table, t.texts, t.settings, lines), TabulonError);
        EXPECT_EQ(lines.Count(), 1u);
    }
}

TEST(TableDxf, SeparatorRunsStopAtMergedCells) {
    // Row 1: A B merged(C D); row 2: all four merged as two areas; row 3 plain.
    TestTable t(3, 4, 10, 10);  // drawW 30, drawH 4.3
    t.Merge(1, 3, 1, 2);
    t.Merge(2, 1, 1, 2);
    t.Merge(2, 3, 1, 2);
    auto entities = Draw(t);
    const double h = 4.3, W = 120, H = 3 * h;
    EXPECT_TRUE(SameSegs(Lines(entities, "XLSCellLine"),
                         {
                             {0, 0, 60, 0, ""},           // row 1 up to the merged cells, written once
                             {0, -2 * h, W, -2 * h, ""},  // row 2 is all merged: only row 3's top
                             {0, -H, W, -H, ""},          // bottom edge
                             {0, 0, 0, -h, ""},           // column 1: row 1, then rows 3
                             {0, -2 * h, 0, -H, ""},
                             {30, 0, 30, -h, ""},
                             {30, -2 * h, 30, -H, ""},
                             {60, -2 * h, 60, -H, ""},  // column 3: merged in rows 1 and 2
                             {90, -2 * h, 90, -H, ""},
                             {W, 0, W, -H, ""},  // right edge
                         }));
    // Each merged area has its closed outline.
    auto outlines = OfType(entities, "POLYLINE");
    ASSERT_EQ(outlines.size(), 3u);
    for (const Entity& p : outlines) {
        EXPECT_EQ(p.Get(70), "1");
        EXPECT_EQ(p.Layer(), "XLSCellLine");
    }
}

TEST(TableDxf, MergedAreaOutlineTextAndDiagonal) {
    TestTable t(3, 3);
    t.Merge(2, 2, 2, 2);
    t.table.At(2, 2).lineBits = kDiagonalUp;
    t.table.At(2, 2).txtAlign = 2;
    t.Text(2, 2, "合計");
    t.Text(3, 3, "covered");  // texts of covered cells are drawn too
    auto entities = Draw(t);
    const double w = 48, h = 2 * 14 * 0.43, top = -14 * 0.43, left = 24;
    std::vector<Entity> vertices = OfType(entities, "VERTEX");
    ASSERT_EQ(vertices.size(), 4u);
    const double want[4][2] = {{left, top}, {left + w, top}, {left + w, top - h}, {left, top - h}};
    for (int k = 0; k < 4; ++k) {
        EXPECT_TRUE(Near(vertices[k].Num(10), want[k][0])) << k;
        EXPECT_TRUE(Near(vertices[k].Num(20), want[k][1])) << k;
    }
    EXPECT_TRUE(SameSegs(Lines(entities, "XLSBordLine"), {{left, top - h, left + w, top, ""}}));
    auto texts = OfType(entities, "TEXT");
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].Get(1), "合計");
    EXPECT_TRUE(Near(texts[0].Num(10), left + w / 2));
    EXPECT_TRUE(Near(texts[0].Num(20), top - h / 2));
    EXPECT_EQ(texts[0].Get(72), "1");
    EXPECT_EQ(texts[1].Get(1), "covered");
    EXPECT_TRUE(Near(texts[1].Num(20), -2.5 * 14 * 0.43));

    // Without cell lines the outline goes, the diagonal stays.
    t.settings.cellLineDraw = false;
    entities = Draw(t);
    EXPECT_TRUE(OfType(entities, "POLYLINE").empty());
    EXPECT_EQ(Lines(entities, "XLSBordLine").size(), 1u);
    EXPECT_TRUE(Lines(entities, "XLSCellLine").empty());
}

TEST(TableDxf, DiagonalsOfPlainAndCoveredCells) {
    TestTable t(1, 3);
    t.table.At(1, 1).lineBits = kDiagonalDown | kDiagonalUp;  // a cross: "\\" first, then "/"
    t.table.At(1, 2).lineBits = kDiagonalUp;
    t.Merge(1, 3, 1, 1);
    t.table.At(1, 3).mark = true;  // covered: no diagonal
    t.table.At(1, 3).lineBits = kDiagonalDown;
    auto entities = Draw(t);
    const double h = 14 * 0.43;
    EXPECT_TRUE(SameSegs(Lines(entities, "XLSBordLine"),
                         {{0, 0, 24, -h, ""}, {0, -h, 24, 0, ""}, {24, -h, 48, 0, ""}}));
}

TEST(TableDxf, TextPointFollowsAlignment) {
    TestTable t(1, 4);
    const char* texts[] = {"general", "left", "centre", "right"};
    for (int c = 1; c <= 4; ++c) {
        t.table.At(1, c).txtAlign = static_cast<uint8_t>(c - 1);
        t.Text(1, c, texts[c - 1]);
    }
    t.settings.cadTof = 0.5;
    auto entities = OfType(Draw(t), "TEXT");
    ASSERT_EQ(entities.size(), 4u);
    const double th = 11 * 0.27;
    const double wantX[] = {th * 0.5, 24 + th * 0.5, 48 + 12, 96 - th * 0.5};
    const char* want72[] = {"0", "0", "1", "2"};
    for (int k = 0; k < 4; ++k) {
        EXPECT_TRUE(Near(entities[k].Num(10), wantX[k])) << texts[k];
        EXPECT_EQ(entities[k].Get(72), want72[k]) << texts[k];
        EXPECT_EQ(entities[k].Get(73), "2") << texts[k];
    }
}

struct TextCase {
    const char* text;
    std::vector<std::pair<std::string, double>> pieces;  // text, offset from the middle in text heights
};

class MultiLineTextTest : public ::testing::TestWithParam<TextCase> {};

TEST_P(MultiLineTextTest, LinesAreCentredOnePitchApart) {
    TestTable t(1, 1);
    t.Text(1, 1, GetParam().text);
    auto texts = OfType(Draw(t), "TEXT");
    const auto& want = GetParam().pieces;
    ASSERT_EQ(texts.size(), want.size());
    const double middle = -14 * 0.43 / 2, th = 11 * 0.27;
    for (size_t k = 0; k < want.size(); ++k) {
        EXPECT_EQ(texts[k].Get(1), want[k].first);
        EXPECT_TRUE(Near(texts[k].Num(20), middle + want[k].second * th)) << texts[k].Get(1);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, MultiLineTextTest,
                         ::testing::Values(TextCase{"A\n\nB", {{"A", 1}, {"B", -1}}},
                                           TextCase{"上\n下", {{"上", 0.5}, {"下", -0.5}}},
                                           TextCase{"A\n", {{"A", 0.5}}},  // a trailing line feed adds an empty piece
                                           TextCase{"A\r\nB\rC", {{"A", 1}, {"B", 0}, {"C", -1}}},
                                           TextCase{"tab\there\x01\x7F", {{"tab here  ", 0}}}, TextCase{"\n", {}}));

TEST(TableDxf, SplitTextLinesNeverLeavesControlCharacters) {
    for (const std::string& text : std::vector<std::string>{"a\r\n\r\nb", std::string("x\0y", 3), "\r\r", "末尾\r"}) {
        for (const std::string& piece : SplitTextLines(text)) {
            for (char ch : piece) EXPECT_FALSE(static_cast<unsigned char>(ch) < 0x20 || ch == 0x7F);
        }
    }
    EXPECT_EQ(SplitTextLines("\r\r").size(), 3u);
}

TEST(TableDxf, BordersAreJoinedIntoRuns) {
    // A fully bordered 2 x 3 table: three horizontal and four vertical lines.
    TestTable t(2, 3);
    for (auto& cell : t.table.cells) cell.lineBits = kEdgeTop | kEdgeBottom | kEdgeLeft | kEdgeRight;
    t.settings.cellLineDraw = false;
    DxfLines lines;
    auto entities = Draw(t, &lines);
    const double h = 14 * 0.43;
    EXPECT_TRUE(SameSegs(Lines(entities, "XLSBordLine"), {
                                                             {0, 0, 0, -2 * h, ""},
                                                             {24, 0, 24, -2 * h, ""},
                                                             {48, 0, 48, -2 * h, ""},
                                                             {72, 0, 72, -2 * h, ""},
                                                             {0, 0, 72, 0, ""},
                                                             {0, -h, 72, -h, ""},
                                                             {0, -2 * h, 72, -2 * h, ""},
                                                         }));
    test::SaveForAudit("table_bordered", lines, {{{"LINE@XLSBordLine", 7}}, {}});
}

TEST(TableDxf, HorizontalBordersAloneAreWritten) {
    TestTable t(2, 2);
    for (auto& cell : t.table.cells) cell.lineBits = kEdgeTop | kEdgeBottom;
    t.settings.cellLineDraw = false;
    auto segs = Lines(Draw(t), "XLSBordLine");
    ASSERT_EQ(segs.size(), 3u);
    for (const Seg& s : segs) EXPECT_EQ(s.y0, s.y1);
}

TEST(TableDxf, MergedCellsGiveOnlyTheirOutlineBorders) {
    // Every edge of every cell is bordered, but the 2 x 2 area keeps only its outline.
    TestTable t(2, 2);
    for (auto& cell : t.table.cells) cell.lineBits = 15;
    t.Merge(1, 1, 2, 2);
    t.settings.cellLineDraw = false;
    const double h = 14 * 0.43;
    EXPECT_TRUE(
        SameSegs(Lines(Draw(t), "XLSBordLine"),
                 {{0, 0, 0, -2 * h, ""}, {48, 0, 48, -2 * h, ""}, {0, 0, 48, 0, ""}, {0, -2 * h, 48, -2 * h, ""}}));
}

TEST(TableDxf, WholeJapaneseTableIsReadableByAReader) {
    // A small schedule with a merged title, a merged header block, borders, a
    // struck-through cell, multi-line texts and characters outside code page 932.
    TestTable t(4, 3, 10, 18, 10);
    t.Merge(1, 1, 1, 3);
    t.Merge(2, 1, 2, 1);
    for (auto& cell : t.table.cells) cell.lineBits = 15;
    t.table.At(4, 3).lineBits |= kDiagonalDown;
    t.table.At(1, 1).txtAlign = 2;
    t.Text(1, 1, "機器表（第１版）");
    t.Text(2, 1, "系統\n名称");
    t.Text(2, 2, "送風機");
    t.Text(2, 3, "¥1,200");
    t.Text(3, 2, "排気ファン");
    t.Text(3, 3, "한국〜");
    DxfLines lines;
    auto entities = Draw(t, &lines);
    EXPECT_EQ(OfType(entities, "POLYLINE").size(), 2u);
    test::SaveForAudit("table_japanese", lines,
                       {{{"TEXT@XLSCellText", 7},
                         {"POLYLINE@XLSCellLine", 2},
                         {"LINE@XLSBordLine", static_cast<int>(Lines(entities, "XLSBordLine").size())},
                         {"LINE@XLSCellLine", static_cast<int>(Lines(entities, "XLSCellLine").size())}},
                        {"機器表（第１版）", "系統", "名称", "送風機", "¥1,200", "排気ファン", "한국〜"}});
}

TEST(TableDxf, SaveReplacesTheFileAndEncodesShiftJis) {
    TestTable t(1, 1);
    t.Text(1, 1, "配管");
    t.Compute();
    const std::string dir = test::FreshDir("save");
    const std::string path = dir + "/out.dxf";
    ASSERT_TRUE(WriteTableDxf(t.table, t.texts, t.settings, path));
    std::ifstream in(path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(bytes.find("  1\r\n\x94\x7A\x8A\xC7\r\n"), std::string::npos);
    EXPECT_EQ(bytes.substr(bytes.size() - 10), "  0\r\nEOF\r\n");
    EXPECT_EQ(bytes.find('\xEF'), std::string::npos);  // no byte-order mark, no UTF-8
}

}  // namespace
}  // namespace tabulon

namespace tabulon {
namespace {

TEST(TableDxf, HiddenRowsAndColumnsDrawNoTextButKeepTheirLines) {
    test::TestTable t(3, 3);
    t.table.At(1, 2).colW = 0;  // a hidden column
    t.table.At(2, 2).colW = 0;
    t.table.At(3, 2).colW = 0;
    for (int32_t c = 1; c <= 3; ++c) t.table.At(2, c).rowH = 0;  // a hidden row
    t.table.At(3, 3).lineBits = kDiagonalDown;
    for (int32_t r = 1; r <= 3; ++r) {
        for (int32_t c = 1; c <= 3; ++c) t.Text(r, c, std::to_string(r) + "," + std::to_string(c));
    }
    t.Compute();
    DxfLines lines;
    ASSERT_TRUE(BuildTableDxf(t.table, t.texts, t.settings, lines));
    std::vector<std::string> drawn;
    for (const test::Entity& e : test::OfType(test::ReadEntities(lines.Text()), "TEXT")) drawn.push_back(e.Get(1));
    EXPECT_EQ(drawn, (std::vector<std::string>{"1,1", "1,3", "3,1", "3,3"}));

    // A merged area over the hidden row keeps its text; one made only of hidden
    // cells does not.
    test::TestTable m(3, 2);
    m.table.At(2, 1).rowH = 0;
    m.table.At(2, 2).rowH = 0;
    m.Merge(1, 1, 2, 1);
    m.Merge(2, 2, 1, 1);
    m.Text(1, 1, "area");
    m.Text(2, 2, "hidden area");
    m.Compute();
    lines.Clear();
    ASSERT_TRUE(BuildTableDxf(m.table, m.texts, m.settings, lines));
    drawn.clear();
    for (const test::Entity& e : test::OfType(test::ReadEntities(lines.Text()), "TEXT")) drawn.push_back(e.Get(1));
    EXPECT_EQ(drawn, (std::vector<std::string>{"area"}));
}

}  // namespace
}  // namespace tabulon
