#include "core/r12_writer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/test_support.h"

namespace tabulon {
namespace {

std::vector<std::string> Items(const DxfLines& lines, size_t from = 0) {
    std::vector<std::string> items;
    for (size_t k = from; k < lines.Count(); ++k) items.emplace_back(lines.Item(k));
    return items;
}

// The lines of a whole drawing with no entities, as a reader sees them.
const char* const kEmptyDrawing =
    "  0\r\nSECTION\r\n  2\r\nHEADER\r\n  9\r\n$ACADVER\r\n  1\r\nAC1009\r\n  9\r\n$CELTYPE\r\n  6\r\nBYLAYER\r\n"
    "  9\r\n$CECOLOR\r\n 62\r\n256\r\n  9\r\n$DWGCODEPAGE\r\n  3\r\nANSI_932\r\n  0\r\nENDSEC\r\n"
    "  0\r\nSECTION\r\n  2\r\nTABLES\r\n"
    "  0\r\nTABLE\r\n  2\r\nLTYPE\r\n 70\r\n     2\r\n  0\r\nLTYPE\r\n"
    "  2\r\nCONTINUOUS\r\n 70\r\n     0\r\n  3\r\nSolid line\r\n 72\r\n    65\r\n 73\r\n     0\r\n 40\r\n0.0\r\n"
    "  0\r\nENDTAB\r\n"
    "  0\r\nTABLE\r\n  2\r\nLAYER\r\n 70\r\n     4\r\n"
    "  0\r\nLAYER\r\n  2\r\n0\r\n 70\r\n     0\r\n 62\r\n     7\r\n  6\r\nCONTINUOUS\r\n"
    "  0\r\nLAYER\r\n  2\r\nXLSCellLine\r\n 70\r\n     0\r\n 62\r\n   252\r\n  6\r\nCONTINUOUS\r\n"
    "  0\r\nLAYER\r\n  2\r\nXLSCellText\r\n 70\r\n     0\r\n 62\r\n     7\r\n  6\r\nCONTINUOUS\r\n"
    "  0\r\nLAYER\r\n  2\r\nXLSBordLine\r\n 70\r\n     0\r\n 62\r\n     7\r\n  6\r\nCONTINUOUS\r\n"
    "  0\r\nENDTAB\r\n"
    "  0\r\nENDSEC\r\n  0\r\nSECTION\r\n  2\r\nENTITIES\r\n"
    "  0\r\nENDSEC\r\n  0\r\nEOF\r\n";

void BeginDrawing(DxfLines& lines) {
    DxfWriteHeader(lines);
    DxfWriteLtypeTable(lines);
    DxfWriteLayerTable(lines);
    DxfBeginEntities(lines);
}

TEST(R12Writer, DrawingWithoutEntitiesIsComplete) {
    DxfLines lines;
    lines.Add("left over from an earlier drawing");
    BeginDrawing(lines);
    DxfWriteEnd(lines);
    EXPECT_EQ(lines.Text(), kEmptyDrawing);
    EXPECT_EQ(lines.Count(), 2u + 7u + 2u + 4u * 5u + 1u + 2u + 2u);
    test::SaveForAudit("writer_empty", lines, {});
}

TEST(R12Writer, LineItems) {
    DxfLines lines;
    DxfWriteLine(lines, {0, 0, 0}, {12.5, -3, 0}, "XLSBordLine", "BYLAYER", 256);
    EXPECT_EQ(Items(lines), (std::vector<std::string>{
                                "  0\r\nLINE",
                                "  8\r\nXLSBordLine\r\n  6\r\nBYLAYER\r\n 62\r\n256\r\n 48\r\n1.0",
                                " 10\r\n0\r\n 20\r\n0\r\n 30\r\n0",
                                " 11\r\n12.5\r\n 21\r\n-3\r\n 31\r\n0",
                            }));
}

TEST(R12Writer, SmallCoordinatesSwitchToExponentBelowOneTenThousandth) {
    DxfLines lines;
    DxfWriteLine(lines, {0.00001, 0.0001, 0}, {1, 1, 1}, "L", "BYLAYER", -1);
    EXPECT_EQ(lines.Item(1), "  8\r\nL\r\n  6\r\nBYLAYER\r\n 62\r\n-1\r\n 48\r\n1.0");
    EXPECT_EQ(lines.Item(2), " 10\r\n1E-5\r\n 20\r\n0.0001\r\n 30\r\n0");
}

TEST(R12Writer, PolylineItems) {
    const TAcadPoint square[4] = {{0, 0, 7}, {2.5, 0, 7}, {2.5, -1, 7}, {0, -1, 7}};
    DxfLines lines;
    DxfWritePolyline(lines, square, 3, true, "XLSCellLine", "BYLAYER", 256);
    std::vector<std::string> expected = {
        "  0\r\nPOLYLINE", "  8\r\nXLSCellLine\r\n  6\r\nBYLAYER\r\n 62\r\n256\r\n 48\r\n1.0",
        " 66\r\n1",        " 10\r\n0.0\r\n 20\r\n0.0\r\n 30\r\n0.0",
        " 70\r\n1",
    };
    const char* coords[4] = {" 10\r\n0\r\n 20\r\n0\r\n 30\r\n0.0", " 10\r\n2.5\r\n 20\r\n0\r\n 30\r\n0.0",
                             " 10\r\n2.5\r\n 20\r\n-1\r\n 30\r\n0.0", " 10\r\n0\r\n 20\r\n-1\r\n 30\r\n0.0"};
    for (const char* c : coords) {  // the vertex z is always the literal 0.0
        expected.push_back("  0\r\nVERTEX");
        expected.push_back("  8\r\nXLSCellLine");
        expected.push_back(c);
    }
    expected.push_back("  0\r\nSEQEND");
    EXPECT_EQ(Items(lines), expected);
}

TEST(R12Writer, OpenPolylineWithoutVertices) {
    DxfLines lines;
    DxfWritePolyline(lines, nullptr, -1, false, "X", "BYLAYER", 3);
    EXPECT_EQ(Items(lines), (std::vector<std::string>{
                                "  0\r\nPOLYLINE", "  8\r\nX\r\n  6\r\nBYLAYER\r\n 62\r\n3\r\n 48\r\n1.0", " 66\r\n1",
                                " 10\r\n0.0\r\n 20\r\n0.0\r\n 30\r\n0.0", " 70\r\n0", "  0\r\nSEQEND"}));
}

TEST(R12Writer, TextItems) {
    DxfLines lines;
    DxfWriteText(lines, "配管", {1.5, -2, 0}, {1.5, -2, 0}, 2.97, 1.0, 0.0, 0, 0, "MC", "XLSCellText", 256);
    EXPECT_EQ(Items(lines), (std::vector<std::string>{
                                "  0\r\nTEXT",
                                "  8\r\nXLSCellText",
                                "  7\r\nSTANDARD",
                                " 62\r\n256",
                                " 10\r\n1.5\r\n 20\r\n-2\r\n 30\r\n0",
                                " 11\r\n1.5\r\n 21\r\n-2\r\n 31\r\n0",
                                "  1\r\n配管",
                                " 40\r\n2.97",
                                " 41\r\n1",
                                " 50\r\n0",
                                " 51\r\n0.0",
                                " 71\r\n0",
                                " 72\r\n1\r\n 73\r\n2",
                            }));
}

struct JustifyCase {
    const char* justify;
    int hIn, vIn;
    int hOut, vOut;
};

class JustificationTest : public ::testing::TestWithParam<JustifyCase> {};

TEST_P(JustificationTest, OverridesCodes) {
    const JustifyCase& c = GetParam();
    DxfLines lines;
    DxfWriteText(lines, "A", {}, {}, 1, 1, 0, c.hIn, c.vIn, c.justify, "L", 256);
    EXPECT_EQ(lines.Item(12), " 72\r\n" + std::to_string(c.hOut) + "\r\n 73\r\n" + std::to_string(c.vOut))
        << "justification \"" << c.justify << "\"";
}

INSTANTIATE_TEST_SUITE_P(Cases, JustificationTest,
                         ::testing::Values(JustifyCase{"MC", 0, 0, 1, 2}, JustifyCase{"ML", 5, 5, 0, 2},
                                           JustifyCase{"MR", 0, 0, 2, 2}, JustifyCase{"TL", 9, 9, 0, 3},
                                           JustifyCase{"BC", 9, 9, 1, 1}, JustifyCase{"XR", 9, 7, 2, 7},
                                           JustifyCase{"MX", 9, 7, 9, 2}, JustifyCase{"A", 0, 2, 3, 0},
                                           JustifyCase{"F", 0, 2, 5, 0}, JustifyCase{"Q", 4, 2, 4, 0},
                                           JustifyCase{"ml", 4, 1, 4, 1}, JustifyCase{"", 4, 1, 4, 1},
                                           JustifyCase{"MCL", 4, 1, 4, 1}));

TEST(R12Writer, VarToAcadPointsFillsOnlyWhenCountsMatch) {
    TAcadPoint target[4] = {{9, 9, 9}, {9, 9, 9}, {9, 9, 9}, {9, 9, 9}};
    EXPECT_FALSE(VarToAcadPoints({1, 2, 3, 4, 5, 6}, target, 3));
    EXPECT_EQ(target[0].x, 9);
    EXPECT_TRUE(VarToAcadPoints({1, 2, 3, 4, 5, 6, 7, 8}, target, 3));
    EXPECT_EQ(target[3].x, 7);
    EXPECT_EQ(target[3].y, 8);
    EXPECT_EQ(target[3].z, 0);
    EXPECT_TRUE(VarToAcadPoints({1, 2, 3, 4, 5, 6, 7, 8, 9}, target, 3));  // an odd last coordinate is ignored
    const double p[3] = {1, -2, 3};
    TAcadPoint q = VarToAcadPoint(p);
    EXPECT_EQ(q.x, 1);
    EXPECT_EQ(q.y, -2);
    EXPECT_EQ(q.z, 3);
}

TEST(R12Writer, SavedEntitiesAreReadable) {
    // One of each entity, including a text that code page 932 cannot hold whole.
    DxfLines lines;
    BeginDrawing(lines);
    DxfWriteLine(lines, {0, 0, 0}, {12.5, -3, 0}, kLayerBordLine, "BYLAYER", 256);
    const TAcadPoint square[4] = {{0, 0, 0}, {1, 0, 0}, {1, -1, 0}, {0, -1, 0}};
    DxfWritePolyline(lines, square, 3, true, kLayerCellLine, "BYLAYER", 256);
    DxfWriteText(lines, "寸法 ①・㈱ 한국 ½", {1, 1, 0}, {1, 1, 0}, 2.5, 1, 0, 0, 0, "ML", kLayerCellText, 256);
    DxfWriteEnd(lines);
    test::SaveForAudit(
        "writer_entities", lines,
        {{{"LINE@XLSBordLine", 1}, {"POLYLINE@XLSCellLine", 1}, {"TEXT@XLSCellText", 1}}, {"寸法 ①・㈱ 한국 ½"}});
}

}  // namespace
}  // namespace tabulon
