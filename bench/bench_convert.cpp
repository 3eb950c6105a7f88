// Times the whole conversion of generated tables, and the border consolidation
// alone, and reports each case's peak memory. Each case runs in a child process
// of its own, so the peak belongs to that case only.
//
//   tabulon_bench [OUTPUT_FOLDER]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "core/cell_table.h"
#include "core/drawing_sizes.h"
#include "core/keisen.h"
#include "core/table_dxf.h"
#include "platform/platform_services.h"
#include "run_in_child.h"
#include "support/literal_keisen.h"

using namespace tabulon;
using Clock = std::chrono::steady_clock;

namespace {

double Ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

// Every border set, one row in ten with a 1 x 3 merged area and one 2 x 2 area
// in every twenty rows, texts in every cell, a few of them on two lines.
// With checker set, only every other cell has borders: no border continues
// another, the case where comparing every pair costs the most.
void Generate(int32_t rows, int32_t cols, bool checker, CellTable& table, GridTexts& texts) {
    table.Replace(rows, cols);
    texts.Resize(cols + 1, rows + 1);
    for (int32_t r = 1; r <= rows; ++r) {
        texts.Set(0, r, std::to_string(r));
        for (int32_t c = 1; c <= cols; ++c) {
            TXlsxCellAttr& cell = table.At(r, c);
            cell.rowH = static_cast<uint16_t>(14 + (r % 3) * 4);
            cell.colW = static_cast<uint16_t>(6 + (c % 5) * 2);
            cell.txtSize = 11;
            cell.txtAlign = static_cast<uint8_t>(c % 4);
            cell.lineBits = !checker || (r + c) % 2 == 0 ? 15 : 0;
            cell.mergerowYscount = 1;
            cell.mergecolXscount = 1;
            std::string text =
                (c % 7 == 0) ? "系統 " + std::to_string(r) + "\n予備" : "部材-" + std::to_string(r * 100 + c);
            cell.str = text;
            texts.Set(c, r, std::move(text));
        }
    }
    auto merge = [&](int32_t row, int32_t col, uint16_t nr, uint16_t nc) {
        for (int32_t r = row; r < row + nr && r <= rows; ++r) {
            for (int32_t c = col; c < col + nc && c <= cols; ++c) {
                TXlsxCellAttr& cell = table.At(r, c);
                cell.cellMerge = true;
                cell.mergerowYscount = nr;
                cell.mergecolXscount = nc;
            }
        }
    };
    for (int32_t r = 5; r <= rows; r += 10) merge(r, 2, 1, 3);
    for (int32_t r = 12; r + 1 <= rows; r += 20) merge(r, cols > 6 ? 6 : 1, 2, 2);
}

void RunCase(int32_t rows, int32_t cols, bool checker, bool literalToo, const std::string& folder) {
    CellTable table;
    GridTexts texts;
    Generate(rows, cols, checker, table, texts);
    ScaleSettings settings;
    const std::string path = folder + "/bench-" + std::to_string(rows) + "x" + std::to_string(cols) + ".dxf";

    auto t0 = Clock::now();
    ComputeDrawingSizes(table, settings);
    WriteTableDxf(table, texts, settings, path);
    auto t1 = Clock::now();

    KeisenList vert, horz;
    CollectKeisen(table, vert, horz);
    const size_t segments = vert.size() + horz.size();
    KeisenList literalVert = vert, literalHorz = horz;
    auto t2 = Clock::now();
    ConsolidateKeisen(vert, horz);
    auto t3 = Clock::now();

    std::printf("%-9s %5d x %-3d %7zu segments  conversion %7.1f ms  consolidation %7.2f ms  file %5.1f MB",
                checker ? "checker" : "bordered", rows, cols, segments, Ms(t1 - t0), Ms(t3 - t2),
                static_cast<double>(std::filesystem::file_size(path)) / 1e6);
    if (literalToo) {
        auto t4 = Clock::now();
        test::LiteralConsolidate(literalVert, true);
        test::LiteralConsolidate(literalHorz, false);
        auto t5 = Clock::now();
        std::printf("  literal %8.2f ms (x%.1f)", Ms(t5 - t4), Ms(t5 - t4) / Ms(t3 - t2));
    }
    std::fflush(stdout);
    std::filesystem::remove(path);
}

}  // namespace

int main(int argc, char** argv) {
    UsePlatformServices();
    const std::string folder = argc > 1 ? argv[1] : std::filesystem::temp_directory_path().string();
    struct Case {
        int32_t rows, cols;
        bool checker, literal;
    };
    const Case cases[] = {{100, 20, false, true}, {1000, 20, false, true}, {2000, 50, false, false},
                          {100, 20, true, true},  {1000, 20, true, true},  {2000, 50, true, false}};
    std::printf(
        "Tabulon conversion benchmark: merged areas and texts in every cell; borders on every cell\n"
        "(bordered) or on every other cell (checker). Times include the file write; the literal\n"
        "column is the pairwise consolidation on the same segments.\n");
    for (const Case& c : cases) {
        if (!RunInChild([&] { RunCase(c.rows, c.cols, c.checker, c.literal, folder); })) return 1;
    }
    return 0;
}
