#include "core/capture_file.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <limits>
#include <sstream>

#include "core/errors.h"
#include "support/test_support.h"

#ifndef TABULON_SOURCE_DIR
#define TABULON_SOURCE_DIR "."
#endif

namespace tabulon {
namespace {

std::string ReadExample() {
    std::string path = std::string(TABULON_SOURCE_DIR) + "/examples/sample-capture.json";
#ifdef _WIN32
    if (!path.empty() && path.front() == '/') path = "Z:" + path;  // the tests run under Wine
#endif
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in.good()) << "cannot open " << path;
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// A capture file with the given rows, cols and cell objects; extra goes in front
// of them at the top level.
std::string Doc(int rows, int cols, const std::string& cells, const std::string& extra = "") {
    return "{\"rows\": " + std::to_string(rows) + ", \"cols\": " + std::to_string(cols) + ", " + extra +
           "\"cells\": [" + cells + "]}";
}

// n copies of one cell object, comma-separated.
std::string Repeat(int n, const std::string& cell = "{}") {
    std::string out;
    for (int i = 0; i < n; ++i) out += (i ? "," : "") + cell;
    return out;
}

ScaleSettings Full(const PartialScaleSettings& p) {
    ScaleSettings s;
    p.ApplyTo(s);
    return s;
}

void ExpectSameRecords(const Capture& a, const Capture& b) {
    ASSERT_EQ(a.table.TableRows, b.table.TableRows);
    ASSERT_EQ(a.table.TableCols, b.table.TableCols);
    ASSERT_EQ(a.table.cells.size(), b.table.cells.size());
    for (size_t i = 0; i < a.table.cells.size(); ++i) {
        SCOPED_TRACE("cell " + std::to_string(i));
        const TXlsxCellAttr& x = a.table.cells[i];
        const TXlsxCellAttr& y = b.table.cells[i];
        EXPECT_EQ(x.rowH, y.rowH);
        EXPECT_EQ(x.colW, y.colW);
        EXPECT_EQ(x.txtSize, y.txtSize);
        EXPECT_EQ(x.txtAlign, y.txtAlign);
        EXPECT_EQ(x.str, y.str);
        EXPECT_EQ(x.lineBits, y.lineBits);
        EXPECT_EQ(x.cellMerge, y.cellMerge);
        EXPECT_EQ(x.mergerowYscount, y.mergerowYscount);
        EXPECT_EQ(x.mergecolXscount, y.mergecolXscount);
        EXPECT_EQ(x.mergeLeft, y.mergeLeft);
        EXPECT_EQ(x.mergeTop, y.mergeTop);
    }
    ASSERT_EQ(a.texts.ColCount(), b.texts.ColCount());
    ASSERT_EQ(a.texts.RowCount(), b.texts.RowCount());
    for (int32_t r = 0; r < a.texts.RowCount(); ++r) {
        for (int32_t c = 0; c < a.texts.ColCount(); ++c) {
            EXPECT_EQ(a.texts.Get(c, r), b.texts.Get(c, r)) << "text at col " << c << ", row " << r;
        }
    }
}

void ExpectSameSource(const std::optional<CaptureSource>& a, const std::optional<CaptureSource>& b) {
    ASSERT_EQ(a.has_value(), b.has_value());
    if (!a) return;
    EXPECT_EQ(a->workbook, b->workbook);
    EXPECT_EQ(a->sheet, b->sheet);
    EXPECT_EQ(a->firstRow, b->firstRow);
    EXPECT_EQ(a->firstCol, b->firstCol);
}

// Every field of the settings present and equal to s, bit for bit.
void ExpectAllSettings(const PartialScaleSettings& p, const ScaleSettings& s) {
    EXPECT_TRUE(p.present.all());
    EXPECT_EQ(p.values, s);
}

// --- the example capture -------------------------------------------------------

TEST(CaptureFileExample, ParsesCleanlyAndHoldsConsistentMergedAreas) {
    std::vector<std::string> warnings;
    Capture cap = ParseCaptureFile(ReadExample(), &warnings);
    EXPECT_TRUE(warnings.empty()) << warnings.front();

    const CellTable& t = cap.table;
    ASSERT_EQ(t.TableRows, 10);
    ASSERT_EQ(t.TableCols, 7);
    ASSERT_TRUE(cap.source.has_value());
    EXPECT_EQ(cap.source->firstRow, 2);
    EXPECT_EQ(cap.source->firstCol, 2);
    EXPECT_EQ(cap.texts.Get(1, 0), "B");
    EXPECT_EQ(cap.texts.Get(7, 0), "H");
    EXPECT_EQ(cap.texts.Get(0, 10), "11");
    EXPECT_EQ(cap.settings.Get(&ScaleSettings::cellLineColor), 252);
    EXPECT_FALSE(cap.settings.Get(&ScaleSettings::colXsc).has_value());

    // What the drawing tests rely on: a title across the table, a multi-line header,
    // struck-through empty cells.
    EXPECT_EQ(t.At(1, 1).mergecolXscount, 7);
    EXPECT_EQ(cap.texts.Get(3, 3), "冷房\n(kW)");
    EXPECT_EQ(t.At(7, 3).lineBits & kDiagonalUp, kDiagonalUp);
    EXPECT_TRUE(t.At(7, 3).str.empty());

    // Every merged area: its cells all agree, lie inside the table, carry borders
    // only on the outline, and only the anchor holds text.
    std::vector<bool> covered(t.cells.size());
    for (int32_t r = 1; r <= t.TableRows; ++r) {
        for (int32_t c = 1; c <= t.TableCols; ++c) {
            const TXlsxCellAttr& a = t.At(r, c);
            if (!a.cellMerge || covered[(r - 1) * t.TableCols + (c - 1)]) continue;
            SCOPED_TRACE("area at row " + std::to_string(r) + ", col " + std::to_string(c));
            ASSERT_LE(r + a.mergerowYscount - 1, t.TableRows);
            ASSERT_LE(c + a.mergecolXscount - 1, t.TableCols);
            for (int32_t rr = r; rr < r + a.mergerowYscount; ++rr) {
                for (int32_t cc = c; cc < c + a.mergecolXscount; ++cc) {
                    const TXlsxCellAttr& m = t.At(rr, cc);
                    covered[(rr - 1) * t.TableCols + (cc - 1)] = true;
                    EXPECT_TRUE(m.cellMerge);
                    EXPECT_EQ(m.mergerowYscount, a.mergerowYscount);
                    EXPECT_EQ(m.mergecolXscount, a.mergecolXscount);
                    EXPECT_EQ(m.mergeLeft, a.mergeLeft);
                    EXPECT_EQ(m.mergeTop, a.mergeTop);
                    if (rr != r || cc != c) {
                        EXPECT_EQ(m.str, "");
                    }
                    uint8_t inner = (rr > r ? kEdgeTop : 0) | (rr < r + a.mergerowYscount - 1 ? kEdgeBottom : 0) |
                                    (cc > c ? kEdgeLeft : 0) | (cc < c + a.mergecolXscount - 1 ? kEdgeRight : 0);
                    EXPECT_EQ(m.lineBits & inner, 0) << "border inside the area at " << rr << "," << cc;
                }
            }
        }
    }
}

// --- round trips ------------------------------------------------------------------

TEST(CaptureFileRoundTrip, ExampleSurvivesWriteAndParse) {
    Capture first = ParseCaptureFile(ReadExample());
    ScaleSettings settings = Full(first.settings);
    std::string written = WriteCaptureFile(first.table, first.texts, settings, first.source);

    std::vector<std::string> warnings;
    Capture second = ParseCaptureFile(written, &warnings);
    EXPECT_TRUE(warnings.empty());
    ExpectSameRecords(first, second);
    ExpectAllSettings(second.settings, settings);
    ExpectSameSource(first.source, second.source);
    // Writing again gives the same file.
    EXPECT_EQ(WriteCaptureFile(second.table, second.texts, Full(second.settings), second.source), written);
}

TEST(CaptureFileRoundTrip, AwkwardValuesSurviveExactly) {
    Capture cap;
    cap.table.Replace(2, 3);
    cap.texts.Resize(4, 3);
    const std::string strs[6] = {
        "quote \" backslash \\ slash /",
        "tab\tCR LF\r\nLF\nend\n",
        std::string("nul\0ctl\x01\x1f del\x7f", 14),
        "機器表 🛠 NBSP\u00a0",
        "",
        "plain",
    };
    for (size_t i = 0; i < 6; ++i) {
        TXlsxCellAttr& a = cap.table.cells[i];
        a.rowH = static_cast<uint16_t>(i == 0 ? 65535 : 13 + i);
        a.colW = static_cast<uint16_t>(i == 1 ? 65535 : 6 + i);
        a.txtSize = static_cast<uint16_t>(9 + i);
        a.txtAlign = static_cast<uint8_t>(i == 2 ? 255 : i % 4);
        a.lineBits = static_cast<uint8_t>(i == 3 ? 255 : 1u << i);
        a.cellMerge = i % 2 == 0;
        a.mergerowYscount = static_cast<uint16_t>(i == 4 ? 65535 : i);
        a.mergecolXscount = static_cast<uint16_t>(i + 1);
        a.mergeLeft = static_cast<uint16_t>(i == 5 ? 65535 : 100 * i);
        a.mergeTop = static_cast<uint16_t>(7 * i);
        a.str = strs[i];
        cap.texts.Set(static_cast<int32_t>(i % 3 + 1), static_cast<int32_t>(i / 3 + 1), strs[i]);
    }
    cap.texts.Set(3, 1, "");           // edited to empty
    cap.texts.Set(2, 2, "added\n行");  // text where the capture had none
    ScaleSettings settings;
    settings.colXsc = 0.1;
    settings.rowYsc = 1.0 / 3.0;
    settings.cadXsc = 1e-300;
    settings.cadYsc = -2.5e10;
    settings.cadTsc = 123456.789;
    settings.cadTof = -0.0;
    settings.cellLineColor = INT32_MIN;
    settings.cellLineDraw = false;
    settings.xlsVerNum = -1;
    CaptureSource source;
    source.sheet = "シート \"1\"";
    source.firstCol = 16384;

    std::string written = WriteCaptureFile(cap.table, cap.texts, settings, source);
    Capture back = ParseCaptureFile(written);
    // The headers are the parser's own; give the original the same before comparing.
    for (int32_t c = 1; c <= 3; ++c) cap.texts.Set(c, 0, ColumnLetters(16383 + c));
    for (int32_t r = 1; r <= 2; ++r) cap.texts.Set(0, r, std::to_string(r));
    ExpectSameRecords(cap, back);
    ExpectAllSettings(back.settings, settings);
    EXPECT_TRUE(std::signbit(*back.settings.Get(&ScaleSettings::cadTof)));
    ExpectSameSource(source, back.source);

    // One cell per line, and "text" only for the two edited cells.
    size_t cellLines = 0, textKeys = 0;
    std::istringstream lines(written);
    for (std::string line; std::getline(lines, line);) {
        if (line.starts_with("  {\"rowH\"")) ++cellLines;
        if (line.find("\"text\":") != std::string::npos) ++textKeys;
    }
    EXPECT_EQ(cellLines, 6u);
    EXPECT_EQ(textKeys, 2u);
}

TEST(CaptureFileRoundTrip, WriterRefusesWhatCannotBeReadBack) {
    Capture cap;
    cap.table.Replace(1, 2);
    cap.texts.Resize(3, 2);
    cap.table.cells[1].str = "bad \xff byte";
    try {
        WriteCaptureFile(cap.table, cap.texts, ScaleSettings{});
        ADD_FAILURE() << "invalid UTF-8 was written";
    } catch (const TabulonError& e) {
        EXPECT_NE(std::string(e.what()).find("cells[1].str"), std::string::npos) << e.what();
    }

    cap.table.cells[1].str.clear();
    ScaleSettings settings;
    settings.cadTof = std::numeric_limits<double>::infinity();
    try {
        WriteCaptureFile(cap.table, cap.texts, settings);
        ADD_FAILURE() << "a non-finite number was written";
    } catch (const TabulonError& e) {
        EXPECT_NE(std::string(e.what()).find("settings.cadTof"), std::string::npos) << e.what();
    }
}

// --- validation ---------------------------------------------------------------------

TEST(CaptureFileErrors, RejectsMalformedFilesNamingThePlace) {
    struct Case {
        const char* name;
        std::string json;
        std::string message;  // a fragment of the error
    };
    const std::string ok1x1 = Doc(1, 1, "{}");
    const Case cases[] = {
        // The parser's own errors, placed by line and character column.
        {"syntax", "{\n  \"rows\": 1,\n  \"cols\": @\n}", "line 3, column 11"},
        {"syntax after wide text", "{\"cells\": [{\"str\": \"機器表\", @", "line 1, column 27"},
        {"truncated", "{\"rows\": 1,\n", "line 2, column 1"},
        {"empty", "", "line 1, column 1"},
        {"trailing data", ok1x1 + " {}", "line 1, column " + std::to_string(ok1x1.size() + 2)},
        {"invalid UTF-8", "{\"rows\": 1, \"cols\": 1, \"cells\": [{\"str\": \"a\xff\"}]}", "line 1, column 44"},
        {"number overflow", "{\"rows\": 1e999}", "line 1, column 14"},
        // Shape.
        {"top-level array", "[]", "top level: expected an object, found an array"},
        {"top-level number", "1", "top level: expected an object, found 1"},
        {"no rows", "{\"cols\": 1, \"cells\": [{}]}", "rows: missing"},
        {"no cols", "{\"rows\": 1, \"cells\": [{}]}", "cols: missing"},
        {"no cells", "{\"rows\": 1, \"cols\": 1}", "cells: missing"},
        {"too few cells", Doc(2, 3, Repeat(5)), "cells: expected 6 cell objects (rows 2 x cols 3), found 5"},
        {"too many cells", Doc(1, 1, Repeat(2)), "cells: expected 1 cell objects (rows 1 x cols 1), found 2"},
        // Cells beyond rows x cols are counted and checked, not kept.
        {"far too many cells", Doc(2, 2, Repeat(50000)),
         "cells: expected 4 cell objects (rows 2 x cols 2), found 50000"},
        {"a surplus cell's mistake", Doc(1, 1, "{}, {\"text\": 5}"), "cells[1].text: expected a string, found 5"},
        {"size changed after the cells", "{\"rows\": 1, \"cols\": 1, \"cells\": [{}, {}], \"rows\": 2}",
         "rows, cols: given again after cells, with another size"},
        {"product beyond 32 bits", Doc(65536, 65536, ""), "expected 4294967296 cell objects"},
        {"rows without cols", Doc(5, 0, ""), "rows, cols: 5 x 0 is not a table"},
        {"cells not an array", "{\"rows\": 0, \"cols\": 0, \"cells\": {}}",
         "cells: expected an array, found an object"},
        {"cell not an object", Doc(1, 2, "{}, 7"), "cells[1]: expected an object, found 7"},
        {"cell is an array", Doc(1, 2, "{}, []"), "cells[1]: expected an object, found an array"},
        // rows and cols.
        {"rows negative", Doc(-1, 1, ""), "rows: expected a non-negative integer, found -1"},
        {"rows a string", "{\"rows\": \"2\", \"cols\": 1, \"cells\": []}",
         "rows: expected a non-negative integer, found a string"},
        {"rows fractional", "{\"rows\": 3.5, \"cols\": 1, \"cells\": []}",
         "rows: expected a non-negative integer, found 3.5"},
        {"rows null", "{\"rows\": null, \"cols\": 1, \"cells\": []}",
         "rows: expected a non-negative integer, found null"},
        {"cols beyond int32", "{\"rows\": 1, \"cols\": 2147483648, \"cells\": []}",
         "cols: 2147483648 is out of range 0..2147483646"},
        {"cols beyond int64", "{\"rows\": 1, \"cols\": 18446744073709551615, \"cells\": []}",
         "cols: 18446744073709551615 is out of range"},
        {"rows huge float", "{\"rows\": 1e20, \"cols\": 1, \"cells\": []}", "rows: 1e20 is out of range 0..2147483646"},
        // Cell fields.
        {"rowH too big", Doc(2, 4, Repeat(7) + ", {\"rowH\": 70000}"), "cells[7].rowH: 70000 is out of range 0..65535"},
        {"mergeTop negative", Doc(1, 1, "{\"mergeTop\": -1}"), "cells[0].mergeTop: -1 is out of range 0..65535"},
        {"txtAlign past 8 bits", Doc(1, 1, "{\"txtAlign\": 256}"), "cells[0].txtAlign: 256 is out of range 0..255"},
        {"lineBits negative", Doc(1, 1, "{\"lineBits\": -1}"), "cells[0].lineBits: -1 is out of range 0..255"},
        {"colW fractional", Doc(1, 1, "{\"colW\": 3.5}"), "cells[0].colW: expected an integer, found 3.5"},
        {"txtSize as text", Doc(1, 1, "{\"txtSize\": \"11\"}"),
         "cells[0].txtSize: expected an integer, found a string"},
        {"mergeLeft object", Doc(1, 1, "{\"mergeLeft\": {}}"),
         "cells[0].mergeLeft: expected an integer, found an object"},
        {"cellMerge number", Doc(2, 2, Repeat(3) + ", {\"cellMerge\": 1}"),
         "cells[3].cellMerge: expected true or false, found 1"},
        {"str number", Doc(1, 1, "{\"str\": 5}"), "cells[0].str: expected a string, found 5"},
        {"text null", Doc(1, 1, "{\"text\": null}"), "cells[0].text: expected a string, found null"},
        {"text array", Doc(1, 1, "{\"text\": [\"a\"]}"), "cells[0].text: expected a string, found an array"},
        // Settings.
        {"settings array", Doc(1, 1, "{}", "\"settings\": [], "), "settings: expected an object, found an array"},
        {"setting as text", Doc(1, 1, "{}", "\"settings\": {\"colXsc\": \"20\"}, "),
         "settings.colXsc: expected a number, found a string"},
        {"colour fractional", Doc(1, 1, "{}", "\"settings\": {\"cellLineColor\": 2.5}, "),
         "settings.cellLineColor: expected an integer, found 2.5"},
        {"version past int32", Doc(1, 1, "{}", "\"settings\": {\"xlsVerNum\": 1e10}, "),
         "settings.xlsVerNum: 1e10 is out of range -2147483648..2147483647"},
        {"draw flag number", Doc(1, 1, "{}", "\"settings\": {\"cellLineDraw\": 1}, "),
         "settings.cellLineDraw: expected true or false, found 1"},
        // Source.
        {"source string", Doc(1, 1, "{}", "\"source\": \"Book1\", "), "source: expected an object, found a string"},
        {"workbook number", Doc(1, 1, "{}", "\"source\": {\"workbook\": 5}, "),
         "source.workbook: expected a string, found 5"},
        {"firstRow zero", Doc(1, 1, "{}", "\"source\": {\"firstRow\": 0}, "),
         "source.firstRow: expected a positive integer, found 0"},
        {"firstCol beyond int32", Doc(1, 1, "{}", "\"source\": {\"firstCol\": 2147483648}, "),
         "source.firstCol: 2147483648 is out of range 1..2147483647"},
        {"rows run past int32", Doc(2, 1, "{},{}", "\"source\": {\"firstRow\": 2147483647}, "),
         "source.firstRow: 2147483647 with 2 rows runs past"},
    };
    for (const Case& c : cases) {
        std::string error = test::CaptureErrorOf(c.json);
        EXPECT_NE(error.find(c.message), std::string::npos) << c.name << ": got \"" << error << "\"";
    }
}

// --- what a valid file gives ----------------------------------------------------

TEST(CaptureFileParse, MissingKeysTakeFreshValuesAndTextFollowsStr) {
    Capture cap = ParseCaptureFile(Doc(1, 5,
                                       "{},"
                                       "{\"str\": \"a\\nb\"},"
                                       "{\"text\": \"edited\", \"str\": \"captured\"},"
                                       "{\"text\": \"only text\"},"
                                       "{\"str\": \"x\", \"text\": \"\"}"));
    const TXlsxCellAttr fresh;
    const TXlsxCellAttr& a = cap.table.At(1, 1);
    EXPECT_EQ(a.rowH, fresh.rowH);
    EXPECT_EQ(a.colW, fresh.colW);
    EXPECT_EQ(a.txtSize, fresh.txtSize);
    EXPECT_EQ(a.txtAlign, fresh.txtAlign);
    EXPECT_EQ(a.lineBits, fresh.lineBits);
    EXPECT_EQ(a.cellMerge, fresh.cellMerge);
    EXPECT_EQ(a.mergerowYscount, fresh.mergerowYscount);
    EXPECT_EQ(a.mergecolXscount, fresh.mergecolXscount);
    EXPECT_EQ(a.mergeLeft, fresh.mergeLeft);
    EXPECT_EQ(a.mergeTop, fresh.mergeTop);

    const struct {
        int32_t col;
        const char* str;
        const char* text;
    } expected[] = {
        {1, "", ""}, {2, "a\nb", "a\nb"}, {3, "captured", "edited"}, {4, "", "only text"}, {5, "x", ""},
    };
    for (const auto& e : expected) {
        EXPECT_EQ(cap.table.At(1, e.col).str, e.str) << "col " << e.col;
        EXPECT_EQ(cap.texts.Get(e.col, 1), e.text) << "col " << e.col;
    }
    EXPECT_FALSE(cap.source.has_value());
    EXPECT_TRUE(cap.settings.Empty());
}

TEST(CaptureFileParse, AcceptsIntegralFloatsSettingSubsetsAndAnyKeyOrder) {
    // cells before rows and cols; integral floats for integers; integers for numbers.
    Capture cap = ParseCaptureFile(
        "{\"cells\": [{\"rowH\": 18.0, \"colW\": 1e2, \"mergeTop\": -0.0}],"
        " \"settings\": {\"colXsc\": 20, \"cadYsc\": 0.43, \"cellLineColor\": -1.0, \"cellLineDraw\": false},"
        " \"cols\": 1, \"rows\": 1.0}");
    EXPECT_EQ(cap.table.At(1, 1).rowH, 18);
    EXPECT_EQ(cap.table.At(1, 1).colW, 100);
    EXPECT_EQ(cap.table.At(1, 1).mergeTop, 0);
    EXPECT_EQ(cap.settings.Get(&ScaleSettings::colXsc), 20.0);
    EXPECT_EQ(cap.settings.Get(&ScaleSettings::cadYsc), 0.43);
    EXPECT_EQ(cap.settings.Get(&ScaleSettings::cellLineColor), -1);
    EXPECT_EQ(cap.settings.Get(&ScaleSettings::cellLineDraw), false);
    EXPECT_FALSE(cap.settings.Get(&ScaleSettings::rowYsc).has_value());
    EXPECT_FALSE(cap.settings.Get(&ScaleSettings::xlsVerNum).has_value());
}

TEST(CaptureFileParse, HeadersStartAtTheSourceOrigin) {
    const struct {
        const char* source;
        std::vector<std::string> cols;
        std::vector<std::string> rows;
    } cases[] = {
        {"", {"A", "B", "C"}, {"1", "2"}},
        {"\"source\": {\"workbook\": \"b.xlsx\"}, ", {"A", "B", "C"}, {"1", "2"}},
        {"\"source\": {\"firstRow\": 5, \"firstCol\": 26}, ", {"Z", "AA", "AB"}, {"5", "6"}},
        {"\"source\": {\"firstCol\": 702}, ", {"ZZ", "AAA", "AAB"}, {"1", "2"}},
        {"\"source\": {\"firstRow\": 1048575}, ", {"A", "B", "C"}, {"1048575", "1048576"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.source);
        Capture cap = ParseCaptureFile(Doc(2, 3, Repeat(6), c.source));
        ASSERT_EQ(cap.texts.ColCount(), 4);
        ASSERT_EQ(cap.texts.RowCount(), 3);
        EXPECT_EQ(cap.texts.Get(0, 0), "");
        for (int32_t col = 1; col <= 3; ++col) EXPECT_EQ(cap.texts.Get(col, 0), c.cols[col - 1]);
        for (int32_t row = 1; row <= 2; ++row) EXPECT_EQ(cap.texts.Get(0, row), c.rows[row - 1]);
    }

    Capture empty = ParseCaptureFile(Doc(0, 0, ""));
    EXPECT_TRUE(empty.table.IsEmpty());
    EXPECT_EQ(empty.texts.ColCount(), 1);
    EXPECT_EQ(empty.texts.RowCount(), 1);
}

TEST(CaptureFileParse, UnknownKeysAreSkippedWithAWarning) {
    // The unknown values hold known names and nesting; none of it may leak in.
    const std::string json =
        "{\"comment\": {\"rows\": 99, \"cells\": [[{\"rowH\": 1}]]},"
        " \"rows\": 1, \"cols\": 3,"
        " \"settings\": {\"colxsc\": 1, \"cadXsc\": 4},"
        " \"source\": {\"url\": [\"x\", {\"y\": null}], \"sheet\": \"S\"},"
        " \"cells\": [{\"font\": \"MS Gothic\", \"rowH\": 7},"
        "            {\"font\": {\"rowH\": 1}, \"rowh\": 9},"
        "            {\"font\": null, \"str\": \"z\"}],"
        " \"version\": 2}";
    std::vector<std::string> warnings;
    Capture cap = ParseCaptureFile(json, &warnings);
    EXPECT_EQ(cap.table.At(1, 1).rowH, 7);
    EXPECT_EQ(cap.table.At(1, 2).rowH, 0);
    EXPECT_EQ(cap.table.At(1, 3).str, "z");
    EXPECT_EQ(cap.settings.Get(&ScaleSettings::cadXsc), 4.0);
    EXPECT_FALSE(cap.settings.Get(&ScaleSettings::colXsc).has_value());
    EXPECT_EQ(cap.source->sheet, "S");

    const std::vector<std::string> expected = {
        "comment: unknown key, ignored",       "settings.colxsc: unknown key, ignored",
        "source.url: unknown key, ignored",    "cells[0].font: unknown key, ignored (found in 3 cells)",
        "cells[1].rowh: unknown key, ignored", "version: unknown key, ignored",
    };
    EXPECT_EQ(warnings, expected);

    // Without a list the same file still parses.
    EXPECT_EQ(ParseCaptureFile(json).table.At(1, 1).rowH, 7);
}

TEST(CaptureFileParse, LargeTableRoundTrips) {
    Capture cap;
    cap.table.Replace(2000, 50);
    cap.texts.Resize(51, 2001);
    for (int32_t r = 1; r <= 2000; ++r) {
        for (int32_t c = 1; c <= 50; ++c) {
            TXlsxCellAttr& a = cap.table.At(r, c);
            a.rowH = static_cast<uint16_t>(13 + r % 17);
            a.colW = static_cast<uint16_t>(6 + c % 15);
            a.txtSize = 11;
            a.txtAlign = static_cast<uint8_t>(c % 4);
            a.lineBits = 15;
            a.str = "部材 " + std::to_string(r) + "-" + std::to_string(c);
            cap.texts.Set(c, r, c == 7 ? "edited" : a.str);
        }
    }
    std::string written = WriteCaptureFile(cap.table, cap.texts, ScaleSettings{});

    Capture back = ParseCaptureFile(written);

    ASSERT_EQ(back.table.cells.size(), 100000u);
    EXPECT_EQ(back.table.At(2000, 50).str, "部材 2000-50");
    EXPECT_EQ(back.table.At(1234, 9).rowH, 13 + 1234 % 17);
    EXPECT_EQ(back.texts.Get(7, 1999), "edited");
    EXPECT_EQ(back.texts.Get(50, 0), "AX");
    EXPECT_EQ(back.texts.Get(0, 2000), "2000");
}

}  // namespace
}  // namespace tabulon

namespace tabulon {
namespace {

TEST(CaptureFileWrite, WithoutSettingsTheReaderKeepsItsOwn) {
    CellTable table;
    table.Replace(1, 1);
    GridTexts texts;
    texts.Resize(2, 2);
    const std::string written = WriteCaptureFile(table, texts, std::nullopt);
    EXPECT_EQ(written.find("settings"), std::string::npos);
    Capture back = ParseCaptureFile(written);
    EXPECT_FALSE(back.settings.Get(&ScaleSettings::cadXsc).has_value());
    EXPECT_FALSE(back.settings.Get(&ScaleSettings::cellLineDraw).has_value());
}

}  // namespace
}  // namespace tabulon
