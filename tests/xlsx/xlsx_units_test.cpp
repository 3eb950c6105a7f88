// The measures and names the workbook reader computes by rule: column widths,
// A1 references, part names and the format's character escapes.
#include "xlsx/xlsx_units.h"

#include <gtest/gtest.h>

#include "xlsx/xlsx_workbook.h"
#include "xlsx/xlsx_xml.h"

namespace tabulon::xlsx {
namespace {

TEST(XlsxUnits, RoundHalfEvenAsTheSpreadsheetRounds) {
    const std::pair<double, double> cases[] = {{8.5, 8}, {13.5, 14}, {18.75, 19}, {12.5, 12},  {8.43, 8},
                                               {0.5, 0}, {1.5, 2},   {-2.5, -2},  {19.29, 19}, {0, 0}};
    for (auto [in, out] : cases) EXPECT_EQ(RoundHalfEven(in), out) << in;
    EXPECT_EQ(Low16(65536 + 7), 7);
    EXPECT_EQ(Low16(65535), 65535);
}

// Stored width -> pixels -> the width the spreadsheet reports, for the standard
// fonts' digit widths (Calibri 11: 7 px; MS PGothic 11: 8 px).
TEST(XlsxUnits, ColumnWidthsAsReported) {
    struct Case {
        double stored;
        int mdw;
        int px;
        double reported;
    };
    const Case cases[] = {
        {9.140625, 7, 64, 8.43},  // Calibri's default column
        {20, 7, 140, 19.29},      // 20 as stored shows as 19.29
        {9, 8, 72, 8.38},         // MS PGothic's default column
        {2.71, 7, 19, 2.0},
        {0.5, 7, 3, 0.25},  // narrower than one digit and its padding
        {0, 7, 0, 0},
    };
    for (const Case& c : cases) {
        const int px = ColumnPixelsFromStoredWidth(c.stored, c.mdw);
        EXPECT_EQ(px, c.px) << c.stored;
        EXPECT_DOUBLE_EQ(ColumnWidthFromPixels(px, c.mdw), c.reported) << c.stored;
    }
    // Default widths from baseColWidth 8: padded and rounded up to 8 pixels.
    EXPECT_EQ(ColumnPixelsFromBaseWidth(8, 7), 64);
    EXPECT_EQ(ColumnPixelsFromBaseWidth(8, 8), 72);
    EXPECT_EQ(MaxDigitWidth("Calibri", 11), 7);
    EXPECT_EQ(MaxDigitWidth("ＭＳ Ｐゴシック", 11), 8);
    EXPECT_EQ(MaxDigitWidth("Unknown Sans", 22), 15);
}

TEST(XlsxUnits, RangeNames) {
    struct Case {
        const char* text;
        const char* name;  // nullptr: rejected
    };
    const Case cases[] = {
        {"A1:F20", "A1:F20"},
        {"F20:A1", "A1:F20"},
        {"F1:A20", "A1:F20"},
        {"$b$2:$C$3", "B2:C3"},
        {"c4", "C4"},
        {"C4:C4", "C4"},
        {"XFD1048576", "XFD1048576"},
        {"XFE1", nullptr},
        {"A1048577", nullptr},
        {"A0", nullptr},
        {"A1:", nullptr},
        {":B2", nullptr},
        {"1:2", nullptr},
        {"A:C", nullptr},
        {"A1:B2:C3", nullptr},
        {"A 1", nullptr},
        {"", nullptr},
        {"AAAAAAAAAAAAAAAAAA1", nullptr},
    };
    for (const Case& c : cases) {
        auto range = ParseRangeRef(c.text);
        if (!c.name) {
            EXPECT_FALSE(range) << c.text;
        } else {
            ASSERT_TRUE(range) << c.text;
            EXPECT_EQ(RangeName(*range), c.name);
        }
    }
    auto range = ParseRangeRef("B2:D4");
    EXPECT_EQ(range->Rows(), 3);
    EXPECT_EQ(range->Cols(), 3);
}

TEST(XlsxUnits, PartNamesAndEscapes) {
    EXPECT_EQ(ResolvePartName("xl/workbook.xml", "worksheets/sheet1.xml"), "xl/worksheets/sheet1.xml");
    EXPECT_EQ(ResolvePartName("xl/workbook.xml", "/xl/worksheets/sheet1.xml"), "xl/worksheets/sheet1.xml");
    EXPECT_EQ(ResolvePartName("xl/worksheets/sheet1.xml", "../drawings/d.xml"), "xl/drawings/d.xml");
    EXPECT_EQ(ResolvePartName("", "xl/workbook.xml"), "xl/workbook.xml");

    EXPECT_EQ(DecodeEscapes("a_x000D__x000A_b"), "a\r\nb");
    EXPECT_EQ(DecodeEscapes("_x005F_x0041_"), "_x0041_");  // an escaped underscore keeps what follows
    EXPECT_EQ(DecodeEscapes("_x00e9_"), "\xC3\xA9");
    EXPECT_EQ(DecodeEscapes("_xZZZZ_ and _x12"), "_xZZZZ_ and _x12");
}

}  // namespace
}  // namespace tabulon::xlsx
