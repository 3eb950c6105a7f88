// The workbook reader of "ファイルから取得" over the .xlsx reader (src/xlsx).
#pragma once

#include "app/workbook_reader.h"

namespace tabulon {

class XlsxWorkbookReader : public WorkbookReader {
public:
    std::unique_ptr<OpenWorkbook> Open(const std::string& path) override;
};

}  // namespace tabulon
