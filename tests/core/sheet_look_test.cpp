#include "core/sheet_look.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/capture_file.h"
#include "core/errors.h"

namespace tabulon {
namespace {

TEST(SheetLook, WidthEstimateCountsFullAndHalfWidth) {
    EXPECT_DOUBLE_EQ(EstimateTextWidth("AB 1", 0.5), 2.0);
    EXPECT_DOUBLE_EQ(EstimateTextWidth("日本語", 0.5), 3.0);
    EXPECT_DOUBLE_EQ(EstimateTextWidth("ｱｲｳ", 0.5), 1.5);  // half-width katakana: one byte in code page 932
    EXPECT_DOUBLE_EQ(EstimateTextWidth("Ａ①", 0.6), 2.0);
    EXPECT_DOUBLE_EQ(EstimateTextWidth("x😀", 0.6), 1.6);  // none in code page 932: written as \U+, counts full
}

TEST(SheetLook, WrappingBreaksWhereTheSheetWould) {
    struct Case {
        const char* text;
        double width;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"あいうえおかきく", 3, {"あいう", "えおか", "きく"}},
        {"one two three", 2, {"one", "two", "thre", "e"}},
        {"one two three", 3.5, {"one two", "three"}},
        {"one two three", 7, {"one two three"}},
        {"pipe 配管支持", 4, {"pipe 配", "管支持"}},
        {"配管、支持。", 2, {"配", "管、", "支", "持。"}},  // no line starts with 、 or 。
        {"ABCDEFGHIJ", 2, {"ABCD", "EFGH", "IJ"}},    // a word longer than the line is cut
        {"あ", 0.1, {"あ"}},                         // every line holds a character
        {"", 3, {""}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(WrapTextLine(c.text, c.width, 0.5), c.lines) << c.text << " in " << c.width;
    }
}

TEST(SheetLook, FillColoursGoToTheNearestColourNumberButNeverSeven) {
    EXPECT_EQ(NearestAci(0xFF0000), 1);
    EXPECT_EQ(NearestAci(0x0000FF), 5);
    EXPECT_EQ(NearestAci(0xFFFFFF), 255);  // 7 would plot black on white
    EXPECT_EQ(NearestAci(0x808080), 8);
    EXPECT_EQ(NearestAci(0xFF7F7F), 11);
    EXPECT_EQ(AciRgb(21), 0xFF9F7F);
}

TEST(SheetLook, CaptureFileCarriesTheLookAndOnlyWhenCaptured) {
    CellTable table;
    table.Replace(1, 2);
    TXlsxCellAttr& looked = table.At(1, 1);
    looked.wrapText = true;
    looked.txtVAlign = 3;
    looked.lineStyleTop = kBorderDouble;
    looked.lineStyleUp = kBorderMediumDashDotDot;
    looked.fillColor = 0x00FF80;
    GridTexts texts;
    texts.Resize(3, 2);
    const std::string json = WriteCaptureFile(table, texts, std::nullopt);
    EXPECT_NE(json.find(R"("wrapText": true, "txtVAlign": 3, "lineStyleTop": "double", "lineStyleUp": )"
                        R"("mediumDashDotDot", "fillColor": "#00FF80")"),
              std::string::npos)
        << json;
    // The plain cell writes nothing of the look.
    EXPECT_EQ(json.find("wrapText", json.find("\"str\"", json.find("\"str\"") + 1)), std::string::npos) << json;
    const Capture back = ParseCaptureFile(json);
    EXPECT_EQ(back.table.cells, table.cells);

    struct Bad {
        const char* cell;
        const char* message;
    };
    const Bad bad[] = {
        {R"("lineStyleTop": "wavy")", R"(cells[0].lineStyleTop: "wavy" is not a border style)"},
        {R"("lineStyleTop": 6)", "cells[0].lineStyleTop: expected a border style name, found 6"},
        {R"("fillColor": "red")", R"(cells[0].fillColor: "red" is not a colour "#RRGGBB")"},
        {R"("fillColor": "#12345G")", R"(cells[0].fillColor: "#12345G" is not a colour "#RRGGBB")"},
        {R"("txtVAlign": 4)", "cells[0].txtVAlign: 4 is out of range 0..3"},
        {R"("shrinkToFit": 1)", "cells[0].shrinkToFit: expected true or false, found 1"},
    };
    for (const Bad& b : bad) {
        const std::string file = std::string(R"({"rows": 1, "cols": 1, "cells": [{)") + b.cell + "}]}";
        try {
            ParseCaptureFile(file);
            ADD_FAILURE() << b.cell << " was taken";
        } catch (const TabulonError& e) {
            EXPECT_EQ(std::string(e.what()), b.message);
        }
    }
    // A null fill is no fill.
    EXPECT_EQ(ParseCaptureFile(R"({"rows": 1, "cols": 1, "cells": [{"fillColor": null}]})").table.At(1, 1).fillColor,
              TXlsxCellAttr::kNoFill);
}

}  // namespace
}  // namespace tabulon
