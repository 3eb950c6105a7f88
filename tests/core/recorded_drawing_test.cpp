#include "core/recorded_drawing.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/dxf_sink.h"
#include "core/r12_writer.h"
#include "core/table_dxf.h"
#include "support/table_builder.h"

namespace tabulon {
namespace {

using Kind = RecordedDrawing::Kind;

bool SamePoint(const TAcadPoint& a, const TAcadPoint& b) {
    return a.x == b.x && a.y == b.y && a.z == b.z;
}

// Every kind of entity, in drawing order, with what the pictures need of it.
TEST(RecordedDrawing, KeepsEntitiesInOrderWithTheirPointsNamesAndShownColours) {
    RecordedDrawing d;
    d.Begin({10, 5, {{"DASHED", "Dashed", {1, -0.5}}}, {{"Mine", 3}}});
    d.Line({0, 0, 0}, {10, 0, 0}, kLayerCellLine, "CONTINUOUS", 256);
    const TAcadPoint triangle[3] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    d.Polyline(triangle, 2, true, "Mine", "DASHED", 256);
    d.Polyline(triangle, -1, false, "Mine", "DASHED", 256);
    const TAcadPoint corners[4] = {{0, 0, 0}, {2, 0, 0}, {0, -1, 0}, {2, -1, 0}};
    d.Solid(corners, "0", 5);
    d.Text("A&B", {1, 1, 0}, {2, 2, 0}, 2.5, 0.8, 90, 0, 0, "", kLayerCellText, 256);
    d.Line({0, 0, 0}, {0, -5, 0}, "Mine", "DASHED", 1);
    d.End();

    struct Want {
        Kind kind;
        std::string layer, linetype;
        int shown;
        uint32_t points;
    };
    const Want want[] = {
        {Kind::Line, kLayerCellLine, "CONTINUOUS", 252, 2},
        {Kind::Polyline, "Mine", "DASHED", 3, 3},
        {Kind::Polyline, "Mine", "DASHED", 3, 0},  // no vertices: kept, drawn as nothing
        {Kind::Solid, "0", "", 5, 4},
        {Kind::Text, kLayerCellText, "", 7, 2},
        {Kind::Line, "Mine", "DASHED", 1, 2},
    };
    const auto& entities = d.Entities();
    ASSERT_EQ(entities.size(), std::size(want));
    uint32_t next = 0;
    for (size_t k = 0; k < entities.size(); ++k) {
        SCOPED_TRACE(k);
        const RecordedDrawing::Entity& e = entities[k];
        EXPECT_EQ(e.kind, want[k].kind);
        EXPECT_EQ(d.LayerOf(e), want[k].layer);
        EXPECT_EQ(d.LinetypeOf(e), want[k].linetype);
        EXPECT_EQ(d.ShownColorOf(e), want[k].shown);
        EXPECT_EQ(e.first, next);  // one vector of points, in order
        EXPECT_EQ(e.count, want[k].points);
        next += e.count;
    }
    EXPECT_EQ(d.Points().size(), next);
    EXPECT_TRUE(entities[1].closed);
    EXPECT_FALSE(entities[2].closed);
    // The solid's corners as given, in their Z.
    for (int i = 0; i < 4; ++i) EXPECT_TRUE(SamePoint(d.Points()[entities[3].first + i], corners[i]));
    const RecordedDrawing::Entity& text = entities[4];
    EXPECT_EQ(d.Texts().at(text.text), "A&B");
    EXPECT_EQ(text.height, 2.5);
    EXPECT_EQ(text.widthFactor, 0.8);
    EXPECT_EQ(text.rotation, 90);
    EXPECT_EQ(d.Tables().width, 10);
    EXPECT_EQ(d.Tables().layers.at(0).name, "Mine");
}

// A text's alignment codes, with its justification applied once, and the point
// it is placed by.
TEST(RecordedDrawing, TextsKeepTheirJustifiedAlignmentAndAnchor) {
    struct Case {
        const char* justify;
        int hJust, vJust;
        int wantH, wantV;
        bool bySecond;
    };
    const Case cases[] = {
        {"", 0, 0, 0, 0, false},   // left on the baseline: the first point
        {"", 1, 0, 1, 0, true},    // any other alignment: the second
        {"MC", 0, 0, 1, 2, true},  // middle centre
        {"TR", 0, 0, 2, 3, true},
        {"R", 0, 3, 2, 0, true},   // one letter: on the baseline
        {"L", 2, 2, 0, 0, false},
    };
    const TAcadPoint first{1, 2, 0}, second{3, 4, 0};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.justify) + " " + std::to_string(c.hJust) + "," + std::to_string(c.vJust));
        RecordedDrawing d;
        d.Begin({});
        d.Text("x", first, second, 1, 1, 0, c.hJust, c.vJust, c.justify, kLayerCellText, 256);
        ASSERT_EQ(d.Entities().size(), 1u);
        const RecordedDrawing::Entity& e = d.Entities()[0];
        EXPECT_EQ(e.hJust, c.wantH);
        EXPECT_EQ(e.vJust, c.wantV);
        EXPECT_TRUE(SamePoint(d.AnchorOf(e), c.bySecond ? second : first));
    }
}

TEST(RecordedDrawing, BeginAndClearForgetTheDrawingBefore) {
    RecordedDrawing d;
    d.Begin({4, 4, {}, {{"Old", 2}}});
    d.Line({0, 0, 0}, {1, 1, 0}, "Old", "CONTINUOUS", 256);
    d.Text("old", {0, 0, 0}, {0, 0, 0}, 1, 1, 0, 0, 0, "", "Old", 256);
    d.End();

    d.Begin({8, 2, {}, {}});
    d.Line({0, 0, 0}, {1, 1, 0}, "New", "CONTINUOUS", 256);
    ASSERT_EQ(d.Entities().size(), 1u);
    EXPECT_EQ(d.Points().size(), 2u);
    EXPECT_TRUE(d.Texts().empty());
    EXPECT_EQ(d.LayerOf(d.Entities()[0]), "New");
    EXPECT_EQ(d.ShownColorOf(d.Entities()[0]), 7);  // "Old" and its colour are gone
    EXPECT_EQ(d.Tables().width, 8);

    d.Clear();
    EXPECT_TRUE(d.Entities().empty());
    EXPECT_TRUE(d.Points().empty());
    EXPECT_EQ(d.Tables().width, 0);
}

// A table drawn into the recording holds what the DXF file of it holds.
TEST(RecordedDrawing, HoldsEveryEntityTheDxfFileHolds) {
    test::TestTable t(3, 3);
    t.Merge(1, 1, 2, 2);
    t.table.At(3, 3).fillColor = 0xFFFF00;
    t.table.At(3, 1).lineBits = kEdgeTop | kEdgeBottom;
    t.table.At(3, 2).lineBits = kDiagonalDown;
    t.Text(1, 1, "merged");
    t.Text(3, 3, "yellow");
    t.settings.cellFill = true;
    t.settings.borderStyle = true;
    t.Compute();

    RecordedDrawing recorded;
    ASSERT_TRUE(DrawTable(t.table, t.texts, t.settings, recorded));
    DxfLines lines;
    DxfSink dxf(lines);
    ASSERT_TRUE(DrawTable(t.table, t.texts, t.settings, dxf));

    DrawingCounts counts;
    for (const RecordedDrawing::Entity& e : recorded.Entities()) {
        switch (e.kind) {
            case Kind::Line: ++counts.lines; break;
            case Kind::Polyline: ++counts.polylines; break;
            case Kind::Text: ++counts.texts; break;
            case Kind::Solid: ++counts.solids; break;
        }
    }
    EXPECT_EQ(counts.lines, dxf.Counts().lines);
    EXPECT_EQ(counts.polylines, dxf.Counts().polylines);
    EXPECT_EQ(counts.texts, dxf.Counts().texts);
    EXPECT_EQ(counts.solids, dxf.Counts().solids);
    EXPECT_EQ(counts.polylines, 1u);
    EXPECT_EQ(counts.solids, 1u);
    EXPECT_EQ(recorded.Texts(), (std::vector<std::string>{"merged", "yellow"}));
    // Fills first, so that lines and texts stay on top.
    EXPECT_EQ(recorded.Entities().front().kind, Kind::Solid);
}

}  // namespace
}  // namespace tabulon
