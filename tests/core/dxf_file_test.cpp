#include "core/dxf_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "core/cp932.h"
#include "core/errors.h"
#include "core/table_dxf.h"
#include "support/dxf_reader.h"
#include "support/table_builder.h"
#include "support/test_support.h"

namespace tabulon {
namespace {

namespace fs = std::filesystem;

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

size_t FilesIn(const std::string& dir) {
    return static_cast<size_t>(std::distance(fs::directory_iterator(dir), fs::directory_iterator()));
}

// A table whose drawing spans many of the file's chunks, with Japanese texts
// (two bytes each in the file) all through it.
test::TestTable LargeTable() {
    test::TestTable t(150, 24);
    for (int32_t r = 1; r <= 150; ++r) {
        for (int32_t c = 1; c <= 24; ++c) {
            t.table.At(r, c).lineBits = static_cast<uint8_t>((r + c) % 3 == 0 ? 15 : 3);
            t.Text(r, c, (c % 5 == 0) ? "送風機 " + std::to_string(r) + "\n系統" : "部材-" + std::to_string(r * c));
        }
    }
    t.Merge(10, 2, 3, 4);
    t.Merge(40, 20, 2, 5);
    t.Compute();
    return t;
}

TEST(DxfFile, StreamedDrawingIsTheBuiltDrawingEncoded) {
    test::TestTable t = LargeTable();
    DxfLines lines;
    ASSERT_TRUE(BuildTableDxf(t.table, t.texts, t.settings, lines));
    const std::string path = test::FreshDir("streamed") + "/table.dxf";
    DrawingCounts counts;
    ASSERT_TRUE(WriteTableDxf(t.table, t.texts, t.settings, path, &counts));

    const std::string bytes = ReadBytes(path);
    ASSERT_GT(bytes.size(), 1u << 20) << "the drawing should span several chunks";
    EXPECT_TRUE(bytes == DxfTextEncoder().Encode(lines.Text())) << "streamed and built drawings differ";

    // The counts kept while writing are what a reader finds.
    const auto entities = test::ReadEntities(lines.Text());
    EXPECT_EQ(counts.lines, test::OfType(entities, "LINE").size());
    EXPECT_EQ(counts.polylines, test::OfType(entities, "POLYLINE").size());
    EXPECT_EQ(counts.texts, test::OfType(entities, "TEXT").size());
    EXPECT_EQ(counts.polylines, 2u);
}

TEST(DxfFile, UnfinishedDrawingLeavesTheOldFileAndNoTemporaryFile) {
    const std::string dir = test::FreshDir("unfinished");
    const std::string path = dir + "/table.dxf";
    std::ofstream(path, std::ios::binary) << "the good drawing";
    {
        DxfFileOutput out(path);
        // Several chunks go to the temporary file, then the drawing is abandoned.
        for (int k = 0; k < 200000; ++k) out.Add("  0\r\nLINE");
    }
    EXPECT_EQ(ReadBytes(path), "the good drawing");
    EXPECT_EQ(FilesIn(dir), 1u);

    // A refused drawing does not even start a temporary file.
    test::TestTable t(1, 2);
    t.settings.cadXsc = 1e308;
    t.Compute();
    EXPECT_THROW(WriteTableDxf(t.table, t.texts, t.settings, path), TabulonError);
    EXPECT_EQ(ReadBytes(path), "the good drawing");
    EXPECT_EQ(FilesIn(dir), 1u);

    DxfFileOutput out(path);
    out.Add("  0\r\nEOF");
    out.Commit();
    EXPECT_EQ(ReadBytes(path), "  0\r\nEOF\r\n");
    EXPECT_EQ(FilesIn(dir), 1u);
}

}  // namespace
}  // namespace tabulon
