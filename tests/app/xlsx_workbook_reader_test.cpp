// The real reader behind "ファイルから取得" on a small workbook of the repository.
#include "app/xlsx_workbook_reader.h"

#include <gtest/gtest.h>

#include "core/errors.h"

#ifndef TABULON_SOURCE_DIR
#define TABULON_SOURCE_DIR "."
#endif

namespace tabulon {
namespace {

const std::string kBook = std::string(TABULON_SOURCE_DIR) + "/fuzz/corpus/xlsx_file/table.xlsx";

// B2:E4 holds the cells; the saved selection is the single cell A1, so the
// default is the used range.
TEST(XlsxWorkbookReader, SheetsDefaultRangeAndCaptureOfARealWorkbook) {
    XlsxWorkbookReader reader;
    std::unique_ptr<OpenWorkbook> book = reader.Open(kBook);
    const std::vector<WorkbookSheet> sheets = book->Sheets();
    ASSERT_EQ(sheets.size(), 1u);
    EXPECT_EQ(sheets[0].name, "機器表");
    EXPECT_TRUE(sheets[0].isWorksheet);
    EXPECT_EQ(book->ActiveSheet(), 0);
    EXPECT_EQ(book->DefaultRange("機器表"), "B2:E4");

    const WorkbookCapture whole = book->Capture("機器表", "");
    EXPECT_EQ(whole.workbookName, "table.xlsx");
    EXPECT_EQ(whole.sheet, "機器表");
    EXPECT_EQ(std::make_pair(whole.firstRow, whole.firstCol), std::make_pair(2, 2));
    EXPECT_EQ(whole.capture.table.TableRows, 3);
    EXPECT_EQ(whole.capture.table.TableCols, 4);
    EXPECT_EQ(whole.capture.texts.Get(1, 0), "B");
    EXPECT_EQ(whole.capture.texts.Get(0, 1), "2");

    const WorkbookCapture one = book->Capture("機器表", "c3");
    EXPECT_EQ(std::make_pair(one.firstRow, one.firstCol), std::make_pair(3, 3));
    EXPECT_EQ(one.capture.table.TableRows * one.capture.table.TableCols, 1);
}

TEST(XlsxWorkbookReader, FaultsComeAsTabulonErrors) {
    XlsxWorkbookReader reader;
    EXPECT_THROW(reader.Open(std::string(TABULON_SOURCE_DIR) + "/README.md"), TabulonError);
    EXPECT_THROW(reader.Open(std::string(TABULON_SOURCE_DIR) + "/no such book.xlsx"), TabulonError);
    std::unique_ptr<OpenWorkbook> book = reader.Open(kBook);
    EXPECT_THROW(book->DefaultRange("Sheet9"), TabulonError);
    EXPECT_THROW(book->Capture("機器表", "B2:"), TabulonError);
    EXPECT_THROW(book->Capture("機器表", "A1:A70000"), TabulonError);  // more rows than a capture holds
}

}  // namespace
}  // namespace tabulon
