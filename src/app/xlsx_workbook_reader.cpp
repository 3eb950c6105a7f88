#include "app/xlsx_workbook_reader.h"

#include <filesystem>

#include "core/errors.h"
#include "xlsx/xlsx_capture.h"
#include "xlsx/xlsx_workbook.h"

namespace tabulon {

namespace {

class XlsxOpenWorkbook : public OpenWorkbook {
public:
    explicit XlsxOpenWorkbook(const std::string& path) : path_(path), book_(path) {}

    std::vector<WorkbookSheet> Sheets() override {
        std::vector<WorkbookSheet> sheets;
        for (const xlsx::SheetEntry& s : book_.Sheets()) sheets.push_back({s.name, s.isWorksheet});
        return sheets;
    }

    int ActiveSheet() override { return book_.ActiveSheet(); }

    std::string DefaultRange(const std::string& sheet) override {
        return xlsx::RangeName(xlsx::DefaultXlsxRange(book_, sheet).range);
    }

    // The capture reads the file afresh, exactly as the command line's does, so
    // that both give the same table.
    WorkbookCapture Capture(const std::string& sheet, const std::string& range) override {
        xlsx::XlsxCaptureOptions options;
        options.sheet = sheet;
        if (!range.empty()) options.range = range;
        xlsx::XlsxCaptureResult result = xlsx::CaptureXlsx(path_, options);
        WorkbookCapture out;
        out.capture = std::move(result.capture);
        out.sheet = result.sheet;
        out.firstRow = result.range.first.row;
        out.firstCol = result.range.first.col;
        if (out.capture.source && out.capture.source->workbook) out.workbookName = *out.capture.source->workbook;
        return out;
    }

private:
    std::string path_;
    xlsx::XlsxWorkbook book_;
};

}  // namespace

std::unique_ptr<OpenWorkbook> XlsxWorkbookReader::Open(const std::string& path) {
    return std::make_unique<XlsxOpenWorkbook>(path);
}

}  // namespace tabulon
