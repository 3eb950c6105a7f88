// A workbook's parts that every sheet shares: the sheet list, the styles and the
// shared strings.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "xlsx/xlsx_archive.h"

namespace tabulon::xlsx {

struct SheetEntry {
    std::string name;
    std::string part;         // e.g. "xl/worksheets/sheet1.xml"; empty when not found
    bool isWorksheet = true;  // false for chart and dialog sheets
};

// One cell format (<cellXfs><xf>), resolved to what the capture needs.
struct CellFormat {
    std::string numberFormat = "General";
    double fontSize = 11;
    uint8_t txtAlign = 0;  // 0 general/other, 1 left, 2 centre, 3 right
    uint8_t lineBits = 0;  // core/cell_table.h kEdge* and kDiagonal*
    // The look: as core/cell_table.h's TXlsxCellAttr holds it.
    bool wrapText = false;
    bool shrinkToFit = false;
    uint8_t txtVAlign = 3;  // the sheet's default is the bottom
    uint8_t lineStyles[6] = {};  // BorderLook of top, bottom, left, right, "\\", "/"
    int32_t fillColor = -1;
};

class XlsxWorkbook {
public:
    // Opens the archive and reads the workbook, its relationships, styles and shared
    // strings. Throws TabulonError saying what is wrong.
    explicit XlsxWorkbook(const std::string& path, ArchiveLimits limits = {});

    const std::vector<SheetEntry>& Sheets() const { return sheets_; }
    int ActiveSheet() const { return activeSheet_; }  // index into Sheets()
    bool Date1904() const { return date1904_; }

    // The format of style index s; index 0 for an unknown one.
    const CellFormat& Format(uint32_t s) const { return s < formats_.size() ? formats_[s] : formats_[0]; }
    const std::string& SharedString(size_t index) const;
    size_t SharedStringCount() const { return sharedStrings_.size(); }
    // The font size all runs of a rich-text shared string share, or 0.
    double SharedStringRunSize(size_t index) const {
        return index < sharedStringSizes_.size() ? sharedStringSizes_[index] : 0;
    }

    // The standard font (of the Normal style), which column widths are counted in.
    const std::string& StandardFontName() const { return standardFontName_; }
    double StandardFontSize() const { return standardFontSize_; }
    int MaxDigitWidthPx() const { return maxDigitWidth_; }

    XlsxArchive& Archive() { return *archive_; }

private:
    void ReadStyles(const std::string& part, const std::string& themePart);
    void ReadSharedStrings(const std::string& part);

    std::unique_ptr<XlsxArchive> archive_;
    std::vector<SheetEntry> sheets_;
    int activeSheet_ = 0;
    bool date1904_ = false;
    std::vector<CellFormat> formats_;
    std::vector<std::string> sharedStrings_;
    std::vector<double> sharedStringSizes_;
    std::string standardFontName_ = "Calibri";
    double standardFontSize_ = 11;
    int maxDigitWidth_ = 7;
};

// A target of a relationship, resolved against the folder of the part that
// holds it ("worksheets/sheet1.xml" from "xl/workbook.xml" is
// "xl/worksheets/sheet1.xml"; "/xl/x.xml" is absolute).
std::string ResolvePartName(const std::string& sourcePart, const std::string& target);

}  // namespace tabulon::xlsx
