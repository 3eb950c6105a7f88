#include "core/drawing_sizes.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

#include "support/table_builder.h"

namespace tabulon {
namespace {

using test::TestTable;

TEST(CellTable, RowMajorAddressingAndReplace) {
    CellTable table;
    EXPECT_TRUE(table.IsEmpty());
    table.Replace(2, 3);
    ASSERT_EQ(table.cells.size(), 6u);
    EXPECT_EQ(&table.At(2, 3), &table.cells[5]);
    EXPECT_EQ(&table.At(1, 2), &table.cells[1]);
    table.At(2, 3).colW = 99;
    table.At(2, 3).str = "old";
    table.Replace(1, 1);  // a smaller capture keeps nothing of the earlier one
    ASSERT_EQ(table.cells.size(), 1u);
    EXPECT_EQ(table.At(1, 1).colW, 0);
    EXPECT_TRUE(table.At(1, 1).str.empty());
    table.Release();
    EXPECT_TRUE(table.IsEmpty());
    EXPECT_EQ(table.TableRows, 0);
}

TEST(CellTable, ColumnLetters) {
    const std::pair<int, const char*> cases[] = {{1, "A"},    {26, "Z"},    {27, "AA"},     {52, "AZ"}, {53, "BA"},
                                                 {702, "ZZ"}, {703, "AAA"}, {16384, "XFD"}, {0, ""},    {-5, ""}};
    for (auto [n, letters] : cases) EXPECT_EQ(ColumnLetters(n), letters) << n;
}

TEST(DrawingSizes, StandardSizesFromScales) {
    TestTable t(1, 1, 8, 14, 11);
    t.Compute();
    const TXlsxCellAttr& cell = t.table.At(1, 1);
    EXPECT_DOUBLE_EQ(cell.drawW, 24);
    EXPECT_DOUBLE_EQ(cell.drawH, 14 * 0.43);
    EXPECT_DOUBLE_EQ(cell.drawTH, 11 * 0.27);
    EXPECT_EQ(cell.drawMW, 0);
    EXPECT_EQ(cell.drawMH, 0);
    EXPECT_FALSE(cell.mark);
}

struct MergeCase {
    const char* name;
    int rows, cols;                    // table
    int row, col, areaRows, areaCols;  // merged area as captured
    std::vector<int> bits;             // mergeBits of the table, row-major, -1 = not merged
};

class MergeBitsTest : public ::testing::TestWithParam<MergeCase> {};

TEST_P(MergeBitsTest, OutlineBitsMarksAndSums) {
    const MergeCase& m = GetParam();
    TestTable t(m.rows, m.cols);
    for (int c = 1; c <= m.cols; ++c) t.table.At(1, c).colW = static_cast<uint16_t>(5 + c);  // 6, 7, 8 ...
    for (int r = 1; r <= m.rows; ++r) {
        for (int c = 1; c <= m.cols; ++c) t.table.At(r, c).rowH = static_cast<uint16_t>(10 * r);
    }
    t.Merge(m.row, m.col, static_cast<uint16_t>(m.areaRows), static_cast<uint16_t>(m.areaCols));
    t.Compute();
    for (int pass = 0; pass < 2; ++pass) {  // a second run changes nothing
        int expectedW = 0, expectedH = 0;
        for (int r = 1; r <= m.rows; ++r) {
            for (int c = 1; c <= m.cols; ++c) {
                const TXlsxCellAttr& cell = t.table.At(r, c);
                int want = m.bits[static_cast<size_t>((r - 1) * m.cols + (c - 1))];
                if (want < 0) continue;
                EXPECT_EQ(cell.mergeBits, want) << m.name << " cell (" << r << ", " << c << ")";
                bool anchor = r == m.row && c == m.col;
                EXPECT_EQ(cell.mark, !anchor) << m.name << " cell (" << r << ", " << c << ")";
                if (!anchor) {
                    EXPECT_EQ(cell.drawMW, 0);
                }
                if (r == m.row) expectedW += cell.colW;
                if (c == m.col) expectedH += cell.rowH;
            }
        }
        const TXlsxCellAttr& anchor = t.table.At(m.row, m.col);
        EXPECT_EQ(anchor.mergeW, expectedW) << m.name;
        EXPECT_EQ(anchor.mergeH, expectedH) << m.name;
        EXPECT_DOUBLE_EQ(anchor.drawMW, expectedW * 3.0) << m.name;
        EXPECT_DOUBLE_EQ(anchor.drawMH, expectedH * 0.43) << m.name;
        t.Compute();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Areas, MergeBitsTest,
    ::testing::Values(MergeCase{"2x2", 2, 2, 1, 1, 2, 2, {5, 9, 6, 10}}, MergeCase{"1x3", 1, 3, 1, 1, 1, 3, {7, 3, 11}},
                      MergeCase{"3x1", 3, 1, 1, 1, 3, 1, {13, 12, 14}},
                      MergeCase{
                          "3x3 inside 4x4", 4, 4, 2, 2, 3, 3, {-1, -1, -1, -1, -1, 5, 1, 9, -1, 4, 0, 8, -1, 6, 2, 10}},
                      MergeCase{"1x1", 1, 1, 1, 1, 1, 1, {15}},
                      // An area captured only in part is closed at the table's edge.
                      MergeCase{"3x3 cut by the table's right and bottom", 2, 2, 1, 1, 3, 3, {5, 9, 6, 10}},
                      MergeCase{"2x5 cut to 2x2", 3, 3, 2, 2, 2, 5, {-1, -1, -1, -1, 5, 9, -1, 6, 10}}));

TEST(DrawingSizes, CountsBelowOneCountAsOne) {
    TestTable t(2, 2);
    t.table.At(1, 1).cellMerge = true;
    t.table.At(1, 1).mergerowYscount = 0;
    t.table.At(1, 1).mergecolXscount = 0;
    t.Compute();
    EXPECT_EQ(t.table.At(1, 1).mergeBits, 15);
    EXPECT_FALSE(t.table.At(1, 2).mark);
    EXPECT_DOUBLE_EQ(t.table.At(1, 1).drawMW, 24);
}

TEST(DrawingSizes, MergedSizesFollowOverrides) {
    TestTable t(3, 3);
    t.Merge(1, 1, 2, 2);
    t.Compute();
    // Override the anchor column's width and the second row's height.
    for (int r = 1; r <= 3; ++r) t.table.At(r, 1).drawW = 50;
    for (int c = 1; c <= 3; ++c) t.table.At(2, c).drawH = 10;
    RecomputeMergedSizes(t.table);
    const TXlsxCellAttr& anchor = t.table.At(1, 1);
    EXPECT_DOUBLE_EQ(anchor.drawMW, 50 + 24);
    EXPECT_DOUBLE_EQ(anchor.drawMH, 14 * 0.43 + 10);
    EXPECT_EQ(anchor.mergeW, 16);  // the spreadsheet sum stays
    EXPECT_EQ(t.table.At(2, 2).drawMW, 0);
    // A full recompute discards the overrides.
    t.Compute();
    EXPECT_DOUBLE_EQ(t.table.At(1, 1).drawMW, 48);
    EXPECT_DOUBLE_EQ(t.table.At(1, 1).drawW, 24);
}

TEST(DrawingSizes, TotalsRunAlongFirstRowAndColumn) {
    TestTable t(2, 3);
    t.table.At(1, 2).colW = 10;
    t.table.At(2, 2).colW = 100;  // not in the first row: ignored
    t.table.At(2, 1).rowH = 20;
    t.table.At(2, 3).rowH = 200;  // not in the first column: ignored
    t.Compute();
    EXPECT_DOUBLE_EQ(TotalWidth(t.table), (8 + 10 + 8) * 3.0);
    EXPECT_DOUBLE_EQ(TotalHeight(t.table), 14 * 0.43 + 20 * 0.43);
    CellTable empty;
    EXPECT_EQ(TotalWidth(empty), 0);
    ComputeDrawingSizes(empty, t.settings);  // nothing to do, nothing to break
    RecomputeMergedSizes(empty);
}

}  // namespace
}  // namespace tabulon

namespace tabulon {
namespace {

// A range that starts inside a merged area holds only part of it, while its first
// cell still carries the whole area's counts. The part must not stretch over the
// plain cells or the other areas beside it.
struct CutAreaCase {
    const char* name;
    int32_t areaRows, areaCols;  // the part of the area inside a 3 x 3 table, from (1, 1)
    uint16_t countRows, countCols;  // the counts the captured cells carry
    bool neighbourIsOtherArea;      // the cells beside the part belong to another area
    int32_t wantRows, wantCols;
};

class CutAreaTest : public ::testing::TestWithParam<CutAreaCase> {};

TEST_P(CutAreaTest, AreaEndsWhereItsCellsEnd) {
    const CutAreaCase& p = GetParam();
    test::TestTable t(3, 3);
    for (int32_t r = 1; r <= 3; ++r) {
        for (int32_t c = 1; c <= 3; ++c) {
            TXlsxCellAttr& cell = t.table.At(r, c);
            const bool inPart = r <= p.areaRows && c <= p.areaCols;
            if (inPart) {
                cell.cellMerge = true;
                cell.mergerowYscount = p.countRows;
                cell.mergecolXscount = p.countCols;
                cell.mergeLeft = 10;
                cell.mergeTop = 20;
            } else if (p.neighbourIsOtherArea) {
                cell.cellMerge = true;
                cell.mergerowYscount = 3;
                cell.mergecolXscount = 3;
                cell.mergeLeft = 60;
                cell.mergeTop = 20;
            }
        }
    }
    if (p.neighbourIsOtherArea) {
        for (int32_t r = 1; r <= 3; ++r) t.table.At(r, 3).mergeTop = static_cast<uint16_t>(r == 1 ? 20 : 40);
    }
    t.Compute();
    const TXlsxCellAttr& anchor = t.table.At(1, 1);
    EXPECT_DOUBLE_EQ(anchor.drawMW, p.wantCols * 8 * 3.0);
    EXPECT_DOUBLE_EQ(anchor.drawMH, p.wantRows * 14 * 0.43);
    for (int32_t r = 1; r <= 3; ++r) {
        for (int32_t c = 1; c <= 3; ++c) {
            if (r == 1 && c == 1) continue;
            const bool covered = r <= p.wantRows && c <= p.wantCols;
            if (!p.neighbourIsOtherArea || covered) {
                EXPECT_EQ(t.table.At(r, c).mark, covered) << "cell " << r << "," << c;
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CutAreaTest,
    ::testing::Values(CutAreaCase{"whole 2x2 area", 2, 2, 2, 2, false, 2, 2},
                      CutAreaCase{"cut at the top: 2 of 4 rows", 2, 2, 4, 2, false, 2, 2},
                      CutAreaCase{"cut at the left: 2 of 5 columns", 2, 2, 2, 5, false, 2, 2},
                      CutAreaCase{"cut at both", 1, 2, 6, 6, false, 1, 2},
                      CutAreaCase{"another area beside it", 2, 2, 3, 3, true, 2, 2}),
    [](const auto& info) {
        std::string name = info.param.name;
        for (char& ch : name) {
            if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
        }
        return name;
    });

}  // namespace
}  // namespace tabulon
