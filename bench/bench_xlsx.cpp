// Times the capture of generated workbooks (5,000 x 30 and 20,000 x 50 cells) with
// shared strings, numbers under several formats, borders, fonts, alignments and
// merged areas, the way a spreadsheet program saves them, and openpyxl's
// read-only mode on the same sheets. Each step runs in a child process of its
// own, so the peak memory belongs to that step only.
//
//   tabulon_bench_xlsx [OUTPUT_FOLDER] [--repeat N] [--keep]
//
// --keep leaves the generated workbooks in the folder, for a profiler.
#include <minizip/zip.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/platform_services.h"
#include "core/capture_file.h"
#include "core/cell_table.h"
#include "core/capture_sink.h"
#include "core/file_io.h"
#include "run_in_child.h"
#include "xlsx/xlsx_capture.h"
#include "xlsx/xlsx_workbook.h"

using namespace tabulon;
using Clock = std::chrono::steady_clock;

namespace {

double Ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

void AddPart(zipFile zip, const char* name, const std::string& data) {
    zip_fileinfo info{};
    if (zipOpenNewFileInZip64(zip, name, &info, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED, 6, 0) != ZIP_OK ||
        zipWriteInFileInZip(zip, data.data(), static_cast<unsigned>(data.size())) != ZIP_OK ||
        zipCloseFileInZip(zip) != ZIP_OK) {
        std::fprintf(stderr, "cannot write %s\n", name);
        std::exit(1);
    }
}

const char* kNs = "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"";
const char* kRelNs = "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\"";

std::string Generate(int rows, int cols, const std::string& path) {
    std::string sst, sheet;
    int strings = 0;
    sheet.reserve(static_cast<size_t>(rows) * cols * 40);
    sheet += std::string("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<worksheet ") + kNs + " " +
             kRelNs + "><dimension ref=\"A1:" + ColumnLetters(cols) + std::to_string(rows) +
             "\"/><sheetViews><sheetView workbookViewId=\"0\"><selection activeCell=\"A1\" sqref=\"A1\"/></sheetView>"
             "</sheetViews><sheetFormatPr defaultRowHeight=\"13.5\"/><cols>";
    for (int c = 1; c <= cols; ++c) {
        sheet += "<col min=\"" + std::to_string(c) + "\" max=\"" + std::to_string(c) + "\" width=\"" +
                 std::to_string(6 + c % 7) + ".625\" customWidth=\"1\"/>";
    }
    sheet += "</cols><sheetData>";
    for (int r = 1; r <= rows; ++r) {
        sheet += "<row r=\"" + std::to_string(r) + "\"" + (r % 4 == 0 ? " ht=\"18.75\" customHeight=\"1\"" : "") + ">";
        for (int c = 1; c <= cols; ++c) {
            const std::string ref = ColumnLetters(c) + std::to_string(r);
            const int style = 1 + (r + c) % 4;
            if (c % 3 == 1) {
                sst += "<si><t>部材-" + std::to_string(r * 100 + c) + "</t></si>";
                sheet += "<c r=\"" + ref + "\" s=\"" + std::to_string(style) + "\" t=\"s\"><v>" +
                         std::to_string(strings++) + "</v></c>";
            } else {
                sheet += "<c r=\"" + ref + "\" s=\"" + std::to_string(style) + "\"><v>" +
                         std::to_string(r * 1.25 + c * 1000.5) + "</v></c>";
            }
        }
        sheet += "</row>";
    }
    sheet += "</sheetData><mergeCells>";
    for (int r = 5; r + 1 <= rows; r += 10) {
        sheet += "<mergeCell ref=\"B" + std::to_string(r) + ":D" + std::to_string(r + 1) + "\"/>";
    }
    sheet += "</mergeCells></worksheet>";
    sst = std::string("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<sst ") + kNs + " count=\"" +
          std::to_string(strings) + "\" uniqueCount=\"" + std::to_string(strings) + "\">" + sst + "</sst>";

    const std::string styles =
        std::string("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<styleSheet ") + kNs +
        "><numFmts count=\"1\"><numFmt numFmtId=\"164\" formatCode=\"#,##0.00\"/></numFmts>"
        "<fonts count=\"2\"><font><sz val=\"11\"/><name val=\"ＭＳ Ｐゴシック\"/></font>"
        "<font><b/><sz val=\"14\"/><name val=\"ＭＳ Ｐゴシック\"/></font></fonts>"
        "<fills count=\"1\"><fill><patternFill patternType=\"none\"/></fill></fills>"
        "<borders count=\"2\"><border><left/><right/><top/><bottom/><diagonal/></border>"
        "<border diagonalUp=\"1\"><left style=\"thin\"/><right style=\"thin\"/><top style=\"thin\"/>"
        "<bottom style=\"double\"/><diagonal style=\"thin\"/></border></borders>"
        "<cellStyleXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\"/></cellStyleXfs>"
        "<cellXfs count=\"5\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\" xfId=\"0\"/>"
        "<xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"1\" xfId=\"0\" applyBorder=\"1\"/>"
        "<xf numFmtId=\"164\" fontId=\"0\" fillId=\"0\" borderId=\"1\" xfId=\"0\" applyNumberFormat=\"1\"/>"
        "<xf numFmtId=\"14\" fontId=\"1\" fillId=\"0\" borderId=\"0\" xfId=\"0\" applyNumberFormat=\"1\"/>"
        "<xf numFmtId=\"3\" fontId=\"0\" fillId=\"0\" borderId=\"1\" xfId=\"0\" applyAlignment=\"1\">"
        "<alignment horizontal=\"center\"/></xf></cellXfs><cellStyles count=\"1\"><cellStyle name=\"Normal\" "
        "xfId=\"0\" builtinId=\"0\"/></cellStyles></styleSheet>";

    zipFile zip = zipOpen64(path.c_str(), 0);
    if (!zip) {
        std::fprintf(stderr, "cannot create %s\n", path.c_str());
        std::exit(1);
    }
    AddPart(zip, "[Content_Types].xml",
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Types xmlns=\"http://schemas.openxmlformats.org/package/"
            "2006/content-types\"><Default Extension=\"rels\" ContentType=\"application/"
            "vnd.openxmlformats-package.relationships+xml\"/><Default Extension=\"xml\" ContentType=\"application/"
            "xml\"/><Override PartName=\"/xl/workbook.xml\" ContentType=\"application/"
            "vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml\"/><Override PartName=\"/xl/"
            "worksheets/sheet1.xml\" ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml."
            "worksheet+xml\"/><Override PartName=\"/xl/styles.xml\" ContentType=\"application/"
            "vnd.openxmlformats-officedocument.spreadsheetml.styles+xml\"/><Override PartName=\"/xl/"
            "sharedStrings.xml\" ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml."
            "sharedStrings+xml\"/></Types>");
    AddPart(zip, "_rels/.rels",
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Relationships xmlns=\"http://schemas.openxmlformats.org/"
            "package/2006/relationships\"><Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/"
            "officeDocument/2006/relationships/officeDocument\" Target=\"xl/workbook.xml\"/></Relationships>");
    AddPart(zip, "xl/workbook.xml",
            std::string("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<workbook ") + kNs + " " + kRelNs +
                "><bookViews><workbookView activeTab=\"0\"/></bookViews><sheets><sheet name=\"機器表\" "
                "sheetId=\"1\" r:id=\"rId1\"/></sheets></workbook>");
    const std::string rel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";
    AddPart(zip, "xl/_rels/workbook.xml.rels",
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Relationships xmlns=\"http://schemas.openxmlformats.org/"
            "package/2006/relationships\"><Relationship Id=\"rId1\" Type=\"" +
                rel + "worksheet\" Target=\"worksheets/sheet1.xml\"/><Relationship Id=\"rId2\" Type=\"" + rel +
                "styles\" Target=\"styles.xml\"/><Relationship Id=\"rId3\" Type=\"" + rel +
                "sharedStrings\" Target=\"sharedStrings.xml\"/></Relationships>");
    AddPart(zip, "xl/styles.xml", styles);
    AddPart(zip, "xl/sharedStrings.xml", sst);
    AddPart(zip, "xl/worksheets/sheet1.xml", sheet);
    zipClose(zip, nullptr);
    return std::to_string(sheet.size() / 1000000.0).substr(0, 4) + " MB sheet, " +
           std::to_string(sst.size() / 1000000.0).substr(0, 4) + " MB shared strings";
}

// The workbook's shared parts alone: relationships, styles, shared strings.
struct Opening {
    double ms;
};

Opening OpenWorkbook(const std::string& path) {
    auto t0 = Clock::now();
    xlsx::XlsxWorkbook book(path);
    return {Ms(Clock::now() - t0)};
}

// The range read into a table in memory, as `tabulon convert BOOK.xlsx` does.
struct InMemory {
    double ms;
    int64_t rows, cols;
};

InMemory CaptureToTable(const std::string& path) {
    auto t0 = Clock::now();
    xlsx::XlsxCaptureResult result = xlsx::CaptureXlsx(path);
    return {Ms(Clock::now() - t0), result.range.Rows(), result.range.Cols()};
}

// `tabulon capture`: the capture file written as the sheet is read.
struct ToFile {
    double ms;
    double fileMB;
};

ToFile CaptureToFile(const std::string& path, const std::string& jsonPath) {
    auto t0 = Clock::now();
    CaptureFileSink file(jsonPath, std::nullopt);
    xlsx::CaptureXlsx(path, {}, file);
    file.Commit();
    return {Ms(Clock::now() - t0), static_cast<double>(std::filesystem::file_size(jsonPath)) / 1e6};
}

struct Generated {
    char sizes[96];
    double ms;
};

}  // namespace

int main(int argc, char** argv) {
    tabulon::UsePlatformServices();
    std::string folder = std::filesystem::temp_directory_path().string();
    int repeat = 1;
    bool keep = false;
    for (int k = 1; k < argc; ++k) {
        if (std::string(argv[k]) == "--repeat" && k + 1 < argc)
            repeat = std::max(1, std::atoi(argv[++k]));
        else if (std::string(argv[k]) == "--keep")
            keep = true;
        else
            folder = argv[k];
    }
    const std::string peerScript = (std::filesystem::path(TABULON_BENCH_DIR) / "openpyxl_peer.py").string();
    const bool haveOpenpyxl = PythonHas("openpyxl");
    std::printf(
        "Tabulon workbook capture benchmark: shared strings, numbers in four formats with borders, a 14 pt\n"
        "font, merged areas. open = the workbook's shared parts (styles, shared strings); table = the range\n"
        "read into cells in memory, as `tabulon convert BOOK.xlsx` does; file = the capture file written as\n"
        "the sheet is read, as `tabulon capture` does; openpyxl = its read-only mode reading values, formats,\n"
        "borders and merged ranges of the same sheet, and its time as a multiple of ours (file).\n"
        "Best of %d run(s).\n\n",
        repeat);
    std::printf("%-11s %-44s %7s %8s %8s %8s %8s %8s %14s %9s\n", "cells", "workbook", "open ms", "table ms",
                "peak MiB", "file ms", "file MB", "peak MiB", "openpyxl s (x)", "peak MiB");
    const int sizes[][2] = {{5000, 30}, {20000, 50}};
    for (const auto& size : sizes) {
        const int rows = size[0], cols = size[1];
        const std::string path = folder + "/bench-" + std::to_string(rows) + "x" + std::to_string(cols) + ".xlsx";
        const std::string jsonPath = path + ".json";
        auto generated = RunInChild([&] {
            auto g0 = Clock::now();
            Generated g{};
            const std::string sizes = Generate(rows, cols, path);
            std::snprintf(g.sizes, sizeof g.sizes, "%s, %.1f MB .xlsx", sizes.c_str(),
                          std::filesystem::file_size(path) / 1e6);
            g.ms = Ms(Clock::now() - g0);
            return g;
        });
        if (!generated) {
            std::printf("%d x %d: the workbook could not be made\n", rows, cols);
            return 1;
        }
        std::optional<ChildRun<Opening>> opening;
        std::optional<ChildRun<InMemory>> table;
        std::optional<ChildRun<ToFile>> file;
        for (int run = 0; run < repeat; ++run) {
            auto o = RunInChild([&] { return OpenWorkbook(path); });
            auto t = RunInChild([&] { return CaptureToTable(path); });
            auto f = RunInChild([&] { return CaptureToFile(path, jsonPath); });
            if (!o || !t || !f) {
                std::printf("%d x %d: a step failed\n", rows, cols);
                return 1;
            }
            if (!opening || o->result.ms < opening->result.ms) opening = o;
            if (!table || t->result.ms < table->result.ms) table = t;
            if (!file || f->result.ms < file->result.ms) file = f;
        }
        char peer[32] = "-", peerPeak[16] = "-";
        if (haveOpenpyxl) {
            if (auto run = RunProgram({"/usr/bin/python3", peerScript, path})) {
                const double seconds = std::strtod(run->result.c_str(), nullptr);
                std::snprintf(peer, sizeof peer, "%.2f (%.1f)", seconds, seconds * 1e3 / file->result.ms);
                std::snprintf(peerPeak, sizeof peerPeak, "%.1f", run->peakMiB);
            }
        }
        char cells[24];
        std::snprintf(cells, sizeof cells, "%lld x %lld", static_cast<long long>(table->result.rows),
                      static_cast<long long>(table->result.cols));
        std::printf("%-11s %-44s %7.1f %8.1f %8.1f %8.1f %8.1f %8.1f %14s %9s\n", cells, generated->result.sizes,
                    opening->result.ms, table->result.ms, table->peakMiB, file->result.ms, file->result.fileMB,
                    file->peakMiB, peer, peerPeak);
        std::fflush(stdout);
        if (!keep) std::filesystem::remove(path);
        std::filesystem::remove(jsonPath);
    }
    if (!haveOpenpyxl) std::printf("(openpyxl is not installed for /usr/bin/python3: its columns are left out)\n");
    return 0;
}
