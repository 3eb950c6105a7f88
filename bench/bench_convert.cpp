// Times the conversion of generated tables the way `tabulon convert` does it, step
// by step (capture file read, drawing sizes, drawing and write), with the border
// joining alone beside it, the peak memory of the conversion, the speed the
// machine allows for the same bytes, and ezdxf's streaming writer on the same
// entities. Every step runs in a child process of its own, so each peak belongs
// to that step only.
//
//   tabulon_bench [OUTPUT_FOLDER] [--repeat N] [--only ROWSxCOLS] [--keep]
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "core/capture_file.h"
#include "core/cell_table.h"
#include "core/drawing_sizes.h"
#include "core/dxf_number.h"
#include "core/file_io.h"
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

struct Case {
    const char* name;
    int32_t rows, cols;
    bool checker;
    double scale;  // cadXsc and cadYsc; 0 keeps the defaults
    bool literal;  // time the pairwise consolidation too
    bool peer;     // time ezdxf on the same entities
};

ScaleSettings SettingsOf(const Case& c) {
    ScaleSettings settings;
    if (c.scale != 0) settings.cadXsc = settings.cadYsc = c.scale;
    return settings;
}

// Every border set, one row in ten with a 1 x 3 merged area and one 2 x 2 area
// in every twenty rows, texts in every cell, a few of them on two lines.
// With checker set, only every other cell has borders: no border continues
// another, the case where comparing every pair costs the most.
void Generate(int32_t rows, int32_t cols, bool checker, CellTable& table, GridTexts& texts) {
    table.Replace(rows, cols);
    texts.Resize(cols + 1, rows + 1);
    for (int32_t c = 1; c <= cols; ++c) texts.Set(c, 0, ColumnLetters(c));
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

// The capture file of the case, written once for the steps that read it.
struct Prepared {
    double megabytes;
};

Prepared WriteCapture(const Case& c, const std::string& path) {
    CellTable table;
    GridTexts texts;
    Generate(c.rows, c.cols, c.checker, table, texts);
    const std::string json = WriteCaptureFile(table, texts, std::nullopt);
    AtomicWriteFile(path, json);
    return {static_cast<double>(json.size()) / 1e6};
}

// The conversion, as the command runs it.
struct Conversion {
    double readMs, sizesMs, drawMs;
    double fileMB;
    double readPeakMiB;  // the peak when the capture has been read
};

Conversion Convert(const Case& c, const std::string& capturePath, const std::string& dxfPath) {
    auto t0 = Clock::now();
    Capture capture = ReadCaptureFile(capturePath);
    auto t1 = Clock::now();
    const double readPeak = PeakSoFarMiB();
    const ScaleSettings settings = SettingsOf(c);
    ComputeDrawingSizes(capture.table, settings);
    auto t2 = Clock::now();
    WriteTableDxf(capture.table, capture.texts, settings, dxfPath);
    auto t3 = Clock::now();
    return {Ms(t1 - t0), Ms(t2 - t1), Ms(t3 - t2), static_cast<double>(std::filesystem::file_size(dxfPath)) / 1e6,
            readPeak};
}

// The border joining alone, on the same table.
struct Borders {
    size_t segments;
    double ms;
    double literalMs;  // 0 when not timed
};

Borders TimeBorders(const Case& c, const std::string& capturePath) {
    Capture capture = ReadCaptureFile(capturePath);
    ComputeDrawingSizes(capture.table, SettingsOf(c));
    auto t0 = Clock::now();
    KeisenRuns vert(true), horz(false);
    CollectKeisenRuns(capture.table, vert, horz);
    auto t1 = Clock::now();
    Borders b{vert.SegmentCount() + horz.SegmentCount(), Ms(t1 - t0), 0};
    if (c.literal) {
        KeisenList literalVert, literalHorz;
        CollectKeisen(capture.table, literalVert, literalHorz);
        auto t2 = Clock::now();
        test::LiteralConsolidate(literalVert, true);
        test::LiteralConsolidate(literalHorz, false);
        b.literalMs = Ms(Clock::now() - t2);
    }
    return b;
}

// The machine's limit for the drawing: formatting the file's numbers with the
// same formatter, and writing its bytes to disk (and syncing them, as the
// converter does) from a plain loop.
struct Limit {
    size_t numbers;
    double ms;
};

Limit MeasureLimit(const std::string& dxfPath, const std::string& scratchPath) {
    const std::string text = ReadWholeFile(dxfPath);
    std::vector<double> numbers;
    // Values of the real group codes 10-59, as the file holds them.
    size_t pos = 0;
    while (pos < text.size()) {
        const size_t codeEnd = text.find("\r\n", pos);
        if (codeEnd == std::string::npos) break;
        const size_t valueEnd = text.find("\r\n", codeEnd + 2);
        if (valueEnd == std::string::npos) break;
        const int code = std::atoi(text.c_str() + pos);
        if (code >= 10 && code <= 59) numbers.push_back(std::strtod(text.c_str() + codeEnd + 2, nullptr));
        pos = valueEnd + 2;
    }
    auto t0 = Clock::now();
    std::string buffer;
    buffer.reserve(1 << 21);
    size_t formatted = 0;
    for (double v : numbers) {
        AppendDxfNumber(buffer, v);
        buffer += "\r\n";
        if (buffer.size() >= (1 << 20)) {
            formatted += buffer.size();
            buffer.clear();
        }
    }
    formatted += buffer.size();
    auto t1 = Clock::now();
    const int fd = open(scratchPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) throw std::runtime_error("cannot write " + scratchPath);
    for (size_t at = 0; at < text.size();) {
        const size_t chunk = std::min<size_t>(1 << 20, text.size() - at);
        const ssize_t n = write(fd, text.data() + at, chunk);
        if (n <= 0) throw std::runtime_error("cannot write " + scratchPath);
        at += static_cast<size_t>(n);
    }
    fsync(fd);
    close(fd);
    auto t2 = Clock::now();
    std::filesystem::remove(scratchPath);
    if (formatted == 0 && !numbers.empty()) std::printf("?");  // keeps the loop from being optimised away
    return {numbers.size(), Ms(t1 - t0) + Ms(t2 - t1)};
}

// ezdxf's streaming R12 writer on the entities of our drawing: its seconds.
std::optional<double> TimeEzdxf(const std::string& script, const std::string& dxfPath, const std::string& outPath) {
    auto run = RunProgram({"/usr/bin/python3", script, dxfPath, outPath});
    std::filesystem::remove(outPath);
    if (!run) return std::nullopt;
    return std::strtod(run->result.c_str(), nullptr);
}

}  // namespace

int main(int argc, char** argv) {
    UsePlatformServices();
    std::string folder = std::filesystem::temp_directory_path().string();
    int repeat = 1;
    std::string only;  // "ROWSxCOLS": that size alone
    bool keep = false;  // leave the capture files and drawings in the folder
    for (int k = 1; k < argc; ++k) {
        if (std::string(argv[k]) == "--repeat" && k + 1 < argc)
            repeat = std::max(1, std::atoi(argv[++k]));
        else if (std::string(argv[k]) == "--keep")
            keep = true;
        else if (std::string(argv[k]) == "--only" && k + 1 < argc)
            only = argv[++k];
        else
            folder = argv[k];
    }
    const std::string peerScript = (std::filesystem::path(TABULON_BENCH_DIR) / "ezdxf_peer.py").string();
    const bool haveEzdxf = PythonHas("ezdxf");
    const Case cases[] = {
        {"bordered", 100, 20, false, 0, true, true},      {"bordered", 1000, 20, false, 0, true, true},
        {"bordered", 2000, 50, false, 0, false, true},    {"bordered", 5000, 100, false, 0, false, true},
        {"checker", 100, 20, true, 0, true, false},       {"checker", 1000, 20, true, 0, true, false},
        {"checker", 2000, 50, true, 0, false, true},      {"checker@1e10", 200, 200, true, 1e10, false, false},
        {"checker@1e10", 400, 400, true, 1e10, false, false},
    };
    std::printf(
        "Tabulon conversion benchmark: texts in every cell, merged areas, borders on every cell (bordered)\n"
        "or every other cell (checker; @1e10: cadXsc = cadYsc = 1e10). Steps as `tabulon convert` runs them:\n"
        "read = capture file read and parsed, sizes = drawing sizes, draw = drawing built and written;\n"
        "MB/s over draw and over all three; peak = the conversion's peak memory, and the peak once the\n"
        "capture was read; limit = the same numbers formatted and the same bytes written and synced by a\n"
        "plain loop; borders = border joining alone, per segment; ezdxf = its streaming R12 writer given\n"
        "the same entities, as a multiple of our sizes + draw time. Best of %d run(s).\n\n",
        repeat);
    std::printf("%-13s %11s %8s %8s %6s %8s %7s %6s %6s %7s %6s %6s %5s %5s %8s %8s %10s\n", "case", "size",
                "segments", "read ms", "sizes", "draw ms", "file MB", "MB/s", "all", "peak", "read", "limit", "draw",
                "all", "borders", "literal", "ezdxf");
    std::printf("%-13s %11s %8s %8s %6s %8s %7s %6s %6s %7s %6s %6s %5s %5s %8s %8s %10s\n", "", "", "", "", "ms", "",
                "", "draw", "MB/s", "MiB", "MiB", "MB/s", "%lim", "%lim", "ns/seg", "x", "s (x)");
    for (const Case& c : cases) {
        if (!only.empty() && only != std::to_string(c.rows) + "x" + std::to_string(c.cols)) continue;
        const std::string stem = folder + "/bench-" + std::string(c.name).substr(0, 7) + "-" + std::to_string(c.rows) +
                                 "x" + std::to_string(c.cols) + (c.scale != 0 ? "-huge" : "");
        const std::string capturePath = stem + ".json", dxfPath = stem + ".dxf";
        auto prepared = RunInChild([&] { return WriteCapture(c, capturePath); });
        std::optional<ChildRun<Conversion>> conversion;
        std::optional<ChildRun<Borders>> borders;
        std::optional<ChildRun<Limit>> limit;
        auto total = [](const Conversion& v) { return v.readMs + v.sizesMs + v.drawMs; };
        for (int run = 0; run < repeat && prepared; ++run) {
            auto v = RunInChild([&] { return Convert(c, capturePath, dxfPath); });
            auto b = RunInChild([&] { return TimeBorders(c, capturePath); });
            auto l = RunInChild([&] { return MeasureLimit(dxfPath, stem + ".plain"); });
            if (!v || !b || !l) {
                conversion.reset();
                break;
            }
            if (!conversion || total(v->result) < total(conversion->result)) conversion = v;
            if (!borders || b->result.ms < borders->result.ms) borders = b;
            if (!limit || l->result.ms < limit->result.ms) limit = l;
        }
        if (!conversion) {
            std::printf("%s %dx%d: a step failed\n", c.name, c.rows, c.cols);
            return 1;
        }
        const Conversion& v = conversion->result;
        const double drawRate = v.fileMB / (v.drawMs / 1e3);
        const double allRate = v.fileMB / (total(v) / 1e3);
        const double limitRate = v.fileMB / (limit->result.ms / 1e3);
        char size[32], literal[16] = "-", peer[24] = "-";
        std::snprintf(size, sizeof size, "%d x %d", c.rows, c.cols);
        const Borders& b = borders->result;
        if (b.literalMs > 0) std::snprintf(literal, sizeof literal, "%.1f", b.literalMs / b.ms);
        if (c.peer && haveEzdxf) {
            if (auto seconds = TimeEzdxf(peerScript, dxfPath, stem + ".ezdxf.dxf")) {
                std::snprintf(peer, sizeof peer, "%.2f (%.1f)", *seconds, *seconds * 1e3 / (v.sizesMs + v.drawMs));
            }
        }
        std::printf(
            "%-13s %11s %8zu %8.1f %6.1f %8.1f %7.1f %6.0f %6.0f %7.1f %6.1f %6.0f %5.0f %5.0f %8.1f %8s %10s\n",
            c.name, size, b.segments, v.readMs, v.sizesMs, v.drawMs, v.fileMB, drawRate, allRate,
            conversion->peakMiB, v.readPeakMiB, limitRate, 100 * drawRate / limitRate, 100 * allRate / limitRate,
            b.segments ? b.ms * 1e6 / static_cast<double>(b.segments) : 0.0, literal, peer);
        std::fflush(stdout);
        if (!keep) {
            std::filesystem::remove(capturePath);
            std::filesystem::remove(dxfPath);
        }
    }
    if (!haveEzdxf) std::printf("(ezdxf is not installed for /usr/bin/python3: its column is left out)\n");
    return 0;
}
