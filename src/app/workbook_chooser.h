// The two questions "ファイルから取得" asks: which workbook file, and which sheet
// and range of it. The Win32 layer answers with the standard file dialog and
// its own sheet dialog; the tests answer for the user.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tabulon {

// What the sheet dialog shows when it opens, and how it follows the user.
struct SheetRangeQuestion {
    std::string workbookName;
    std::vector<std::string> sheets;
    int selected = 0;   // the active sheet
    std::string range;  // the selected sheet's default range, or "" when it has none
    // The default range of another sheet, for when the user picks it; "" when it has none.
    std::function<std::string(int sheet)> defaultRange;
};

struct SheetRangeAnswer {
    int sheet = 0;  // index into SheetRangeQuestion::sheets
    std::string range;
};

class WorkbookChooser {
public:
    virtual ~WorkbookChooser() = default;
    // The path (UTF-8) of the workbook to open, or nothing when the user cancels.
    virtual std::optional<std::string> ChooseWorkbookFile() = 0;
    // The sheet and range, or nothing when the user cancels.
    virtual std::optional<SheetRangeAnswer> ChooseSheetAndRange(const SheetRangeQuestion& question) = 0;
};

}  // namespace tabulon
