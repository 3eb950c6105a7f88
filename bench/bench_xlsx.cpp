// Times the capture of a generated workbook: 5,000 rows x 30 columns with
// shared strings, numbers under several formats, borders, fonts, alignments and
// merged areas, the way a spreadsheet program saves them. Each case runs in a
// child process of its own, so the peak memory belongs to that case only.
//
//   tabulon_bench_xlsx [OUTPUT_FOLDER]
#include <minizip/zip.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "core/capture_file.h"
#include "core/cell_table.h"
#include "run_in_child.h"
#include "xlsx/xlsx_capture.h"

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
        "<alignment horizontal=\"center\"/></xf></cellXfs></styleSheet>";

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
            "vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml\"/></Types>");
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

void RunCase(const std::string& path, bool writeJson) {
    auto t0 = Clock::now();
    xlsx::XlsxCaptureResult result = xlsx::CaptureXlsx(path);
    auto t1 = Clock::now();
    std::printf("capture %6.1f ms  %5lld x %-3lld", Ms(t1 - t0), static_cast<long long>(result.range.Rows()),
                static_cast<long long>(result.range.Cols()));
    if (writeJson) {
        std::string json =
            WriteCaptureFile(result.capture.table, result.capture.texts, ScaleSettings{}, result.capture.source);
        auto t2 = Clock::now();
        std::printf("  + capture file %6.1f ms (%.1f MB)", Ms(t2 - t1), json.size() / 1e6);
    }
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    const std::string folder = argc > 1 ? argv[1] : std::filesystem::temp_directory_path().string();
    const std::string path = folder + "/bench-5000x30.xlsx";
    auto g0 = Clock::now();
    const std::string sizes = Generate(5000, 30, path);
    auto g1 = Clock::now();
    std::printf(
        "Tabulon workbook capture benchmark: 5,000 x 30 cells, shared strings, four formats with\n"
        "borders, a 14 pt font, merged areas; %s, %.1f MB .xlsx (generated in %.0f ms).\n",
        sizes.c_str(), std::filesystem::file_size(path) / 1e6, Ms(g1 - g0));
    for (bool writeJson : {false, true}) {
        if (!RunInChild([&] { RunCase(path, writeJson); })) return 1;
    }
    std::filesystem::remove(path);
    return 0;
}
