// The XML parts of a workbook, packed into a sound ZIP archive here, so that
// the fuzzer spends its time on the workbook, styles, strings and sheet rather
// than on the container. The input holds the parts in the order of kParts,
// separated by NUL bytes; a part left out takes the default below, an empty one
// is left out of the archive.
#include <minizip/zip.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "xlsx_fuzz.h"

namespace {

struct Part {
    const char* name;
    const char* xml;
};

constexpr Part kParts[] = {
    {"[Content_Types].xml",
     R"(<?xml version="1.0"?><Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types"/>)"},
    {"_rels/.rels",
     R"(<?xml version="1.0"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
     R"(<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="xl/workbook.xml"/></Relationships>)"},
    {"xl/workbook.xml",
     R"(<?xml version="1.0"?><workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships">)"
     R"(<sheets><sheet name="Sheet1" sheetId="1" r:id="rId1"/></sheets></workbook>)"},
    {"xl/_rels/workbook.xml.rels",
     R"(<?xml version="1.0"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
     R"(<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="worksheets/sheet1.xml"/>)"
     R"(<Relationship Id="rId2" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles" Target="styles.xml"/>)"
     R"(<Relationship Id="rId3" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings" Target="sharedStrings.xml"/></Relationships>)"},
    {"xl/styles.xml",
     R"(<?xml version="1.0"?><styleSheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">)"
     R"(<fonts count="1"><font><sz val="11"/><name val="Calibri"/></font></fonts>)"
     R"(<borders count="1"><border><left/><right/><top/><bottom/><diagonal/></border></borders>)"
     R"(<cellStyleXfs count="1"><xf numFmtId="0" fontId="0" borderId="0"/></cellStyleXfs>)"
     R"(<cellXfs count="1"><xf numFmtId="0" fontId="0" borderId="0" xfId="0"/></cellXfs></styleSheet>)"},
    {"xl/sharedStrings.xml",
     R"(<?xml version="1.0"?><sst xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><si><t>A</t></si></sst>)"},
    {"xl/worksheets/sheet1.xml",
     R"(<?xml version="1.0"?><worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">)"
     R"(<sheetData><row r="1"><c r="A1" t="s"><v>0</v></c><c r="B1"><v>1.5</v></c></row></sheetData></worksheet>)"},
};

bool Pack(const std::string& path, std::string_view input) {
    zipFile zip = zipOpen64(path.c_str(), APPEND_STATUS_CREATE);
    if (!zip) return false;
    size_t pos = 0;
    for (const Part& part : kParts) {
        std::string_view xml = part.xml;
        if (pos <= input.size()) {
            const size_t end = std::min(input.find('\0', pos), input.size());
            xml = input.substr(pos, end - pos);
            pos = end + 1;
        }
        if (xml.empty()) continue;
        zip_fileinfo info{};
        if (zipOpenNewFileInZip64(zip, part.name, &info, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED, 1, 0) != ZIP_OK ||
            zipWriteInFileInZip(zip, xml.data(), static_cast<unsigned>(xml.size())) != ZIP_OK ||
            zipCloseFileInZip(zip) != ZIP_OK) {
            zipClose(zip, nullptr);
            return false;
        }
    }
    return zipClose(zip, nullptr) == ZIP_OK;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string& path = tabulon::fuzz::ScratchPath("parts");
    if (!Pack(path, std::string_view(reinterpret_cast<const char*>(data), size))) return 0;
    tabulon::fuzz::CaptureAndCheck(path);
    return 0;
}
