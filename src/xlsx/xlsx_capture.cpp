#include "xlsx/xlsx_capture.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "core/ascii.h"
#include "core/dxf_number.h"
#include "core/errors.h"
#include "core/number_format.h"
#include "core/utf8.h"
#include "xlsx/xlsx_iso_date.h"
#include "xlsx/xlsx_workbook.h"
#include "xlsx/xlsx_xml.h"

namespace tabulon::xlsx {

namespace {

constexpr double kPointsPerPixel = 0.75;  // 96 dpi

// A sheet name as it is written before "!" in a reference.
std::string QuotedSheet(const std::string& name) {
    if (name.find_first_of(" -+()!,;'&^%$#@~`{}[]=<>") == std::string::npos) return name;
    std::string out = "'";
    for (char ch : name) {
        out += ch;
        if (ch == '\'') out += '\'';
    }
    return out + "'";
}

int ChooseSheet(const XlsxWorkbook& book, const std::optional<std::string>& wanted) {
    const auto& sheets = book.Sheets();
    if (!wanted) return book.ActiveSheet();
    for (size_t k = 0; k < sheets.size(); ++k) {
        if (sheets[k].name == *wanted) return static_cast<int>(k);
    }
    // Sheet names do not depend on case in spreadsheets.
    for (size_t k = 0; k < sheets.size(); ++k) {
        if (AsciiEqualsIgnoreCase(sheets[k].name, *wanted)) return static_cast<int>(k);
    }
    std::string list;
    for (const SheetEntry& s : sheets) list += (list.empty() ? "\"" : ", \"") + s.name + "\"";
    throw TabulonError("the workbook has no sheet \"" + *wanted + "\"; its sheets are " + list);
}

struct SavedRow {
    int32_t row;
    double height;  // points, as shown (0 when hidden)
};

class SheetGeometry {
public:
    SheetGeometry(const XlsxWorkbook& book, pugi::xml_node worksheet) {
        const int mdw = book.MaxDigitWidthPx();
        mdw_ = mdw;
        pugi::xml_node format = FirstChild(worksheet, "sheetFormatPr");
        int defaultPx;
        if (pugi::xml_attribute w = format.attribute("defaultColWidth")) {
            defaultPx = ColumnPixelsFromStoredWidth(w.as_double(), mdw);
        } else {
            defaultPx = ColumnPixelsFromBaseWidth(format.attribute("baseColWidth").as_double(8), mdw);
        }
        // Without a saved default, the height a row of the standard font gets.
        const double standardHeight = std::round(book.StandardFontSize() * 15.0 / 11.0 / 0.75) * 0.75;
        defaultHeight_ = std::max(0.0, format.attribute("defaultRowHeight").as_double(standardHeight));
        if (BoolAttribute(format, "zeroHeight")) defaultHeight_ = 0;

        colPx_.assign(kMaxSheetCols + 1, defaultPx);
        colStyle_.assign(kMaxSheetCols + 1, 0);
        colPx_[0] = 0;
        // Columns are listed once each; a list that sets far more than the sheet has
        // columns is damaged (and would cost time for nothing).
        int64_t assigned = 0;
        for (pugi::xml_node cols = FirstChild(worksheet, "cols"); cols; cols = cols.next_sibling()) {
            if (!IsElement(cols, "cols")) continue;
            for (pugi::xml_node col = cols.first_child(); col; col = col.next_sibling()) {
                if (!IsElement(col, "col")) continue;
                const int32_t lo = std::clamp<int32_t>(col.attribute("min").as_int(0), 1, kMaxSheetCols);
                const int32_t hi = std::clamp<int32_t>(col.attribute("max").as_int(lo), lo, kMaxSheetCols);
                int px = defaultPx;
                if (pugi::xml_attribute w = col.attribute("width"))
                    px = ColumnPixelsFromStoredWidth(w.as_double(), mdw);
                if (BoolAttribute(col, "hidden")) px = 0;
                const uint32_t style = col.attribute("style").as_uint(0);
                assigned += hi - lo + 1;
                if (assigned > 4 * kMaxSheetCols) throw TabulonError("the column list of the sheet is damaged");
                for (int32_t c = lo; c <= hi; ++c) {
                    colPx_[c] = px;
                    colStyle_[c] = style;
                }
            }
        }
        colLeftPx_.assign(kMaxSheetCols + 2, 0);
        for (int32_t c = 1; c <= kMaxSheetCols; ++c) colLeftPx_[c + 1] = colLeftPx_[c] + colPx_[c];
    }

    void AddRow(int32_t row, double height) { rows_.push_back({row, height}); }

    // Rows arrive in order in a well-made sheet; sort in case they do not.
    void FinishRows() {
        std::stable_sort(rows_.begin(), rows_.end(),
                         [](const SavedRow& a, const SavedRow& b) { return a.row < b.row; });
        // A row listed twice: the last one counts.
        std::vector<SavedRow> unique;
        for (const SavedRow& r : rows_) {
            if (!unique.empty() && unique.back().row == r.row)
                unique.back() = r;
            else
                unique.push_back(r);
        }
        rows_.swap(unique);
        extraBefore_.assign(rows_.size() + 1, 0);
        for (size_t k = 0; k < rows_.size(); ++k)
            extraBefore_[k + 1] = extraBefore_[k] + rows_[k].height - defaultHeight_;
    }

    double RowHeight(int32_t row) const {
        auto it =
            std::lower_bound(rows_.begin(), rows_.end(), row, [](const SavedRow& r, int32_t v) { return r.row < v; });
        return it != rows_.end() && it->row == row ? it->height : defaultHeight_;
    }
    // Top edge of a row, points from the sheet's top.
    double RowTop(int32_t row) const {
        auto it =
            std::lower_bound(rows_.begin(), rows_.end(), row, [](const SavedRow& r, int32_t v) { return r.row < v; });
        return defaultHeight_ * (row - 1) + extraBefore_[static_cast<size_t>(it - rows_.begin())];
    }
    // The column width the spreadsheet reports (characters, two decimals).
    double ColumnWidth(int32_t col) const { return ColumnWidthFromPixels(colPx_[col], mdw_); }
    // Left edge of a column, points from the sheet's left.
    double ColumnLeft(int32_t col) const { return static_cast<double>(colLeftPx_[col]) * kPointsPerPixel; }
    uint32_t ColumnStyle(int32_t col) const { return colStyle_[col]; }

private:
    int mdw_ = 7;
    double defaultHeight_ = 15;
    std::vector<int> colPx_;
    std::vector<int64_t> colLeftPx_;
    std::vector<uint32_t> colStyle_;
    std::vector<SavedRow> rows_;
    std::vector<double> extraBefore_;
};

// The range the sheet saved as its selection: the first range of the active
// pane's selection.
std::optional<RangeRef> SavedSelection(pugi::xml_node worksheet) {
    pugi::xml_node view = FirstChild(FirstChild(worksheet, "sheetViews"), "sheetView");
    if (!view) return std::nullopt;
    const char* activePane = FirstChild(view, "pane").attribute("activePane").value();
    if (!*activePane && FirstChild(view, "pane")) activePane = "bottomRight";
    pugi::xml_node chosen;
    for (pugi::xml_node sel = view.first_child(); sel; sel = sel.next_sibling()) {
        if (!IsElement(sel, "selection")) continue;
        const char* pane = sel.attribute("pane").value();
        if (!*pane) pane = "topLeft";
        if (!chosen) chosen = sel;
        if (std::strcmp(pane, *activePane ? activePane : "topLeft") == 0) {
            chosen = sel;
            break;
        }
    }
    if (!chosen) return std::nullopt;
    std::string sqref = chosen.attribute("sqref").value();
    if (sqref.empty()) sqref = chosen.attribute("activeCell").value();
    const size_t space = sqref.find(' ');
    return ParseRangeRef(std::string_view(sqref).substr(0, space));
}

}  // namespace

XlsxCaptureResult CaptureXlsx(const std::string& path, const XlsxCaptureOptions& options) {
    std::optional<RangeRef> wantedRange;
    if (options.range) {
        wantedRange = ParseRangeRef(*options.range);
        if (!wantedRange) {
            throw TabulonError("\"" + *options.range + "\" is not a range of cells; write it like A1:F20 or C4");
        }
    }

    XlsxWorkbook book(path, options.limits);
    const int sheetIndex = ChooseSheet(book, options.sheet);
    const SheetEntry& sheet = book.Sheets()[static_cast<size_t>(sheetIndex)];
    if (!sheet.isWorksheet) throw TabulonError("sheet \"" + sheet.name + "\" is not a worksheet (a chart sheet?)");
    if (sheet.part.empty())
        throw TabulonError("the workbook lists sheet \"" + sheet.name + "\" but has no part for it");
    std::string data = book.Archive().ReadRequired(sheet.part);
    pugi::xml_document doc = ParsePart(data, sheet.part);
    pugi::xml_node worksheet = doc.document_element();
    if (!IsElement(worksheet, "worksheet")) throw TabulonError("sheet \"" + sheet.name + "\" is not a worksheet");
    const std::string sheetRef = QuotedSheet(sheet.name);
    // Everything that goes into the capture is text a capture file can hold.
    if (!IsValidUtf8(sheet.name)) throw TabulonError("the sheet's name is not valid UTF-8; the workbook is damaged");

    XlsxCaptureResult result;
    result.sheet = sheet.name;

    // Merged areas.
    std::vector<RangeRef> merges;
    for (pugi::xml_node m = FirstChild(FirstChild(worksheet, "mergeCells"), "mergeCell"); m; m = m.next_sibling()) {
        if (!IsElement(m, "mergeCell")) continue;
        auto area = ParseRangeRef(m.attribute("ref").value());
        if (area && !area->IsSingleCell()) merges.push_back(*area);
    }

    // First pass over the rows: their heights, and the cells' extent.
    SheetGeometry geometry(book, worksheet);
    pugi::xml_node sheetData = FirstChild(worksheet, "sheetData");
    bool anyCell = false;
    RangeRef used{{kMaxSheetRows, kMaxSheetCols}, {1, 1}};
    auto extend = [&](int32_t row, int32_t col) {
        anyCell = true;
        used.first.row = std::min(used.first.row, row);
        used.first.col = std::min(used.first.col, col);
        used.last.row = std::max(used.last.row, row);
        used.last.col = std::max(used.last.col, col);
    };
    {
        int32_t rowNumber = 0;
        for (pugi::xml_node row = sheetData.first_child(); row; row = row.next_sibling()) {
            if (!IsElement(row, "row")) continue;
            const int r = row.attribute("r").as_int(rowNumber + 1);
            if (r < 1 || r > kMaxSheetRows) {
                throw TabulonError("sheet \"" + sheet.name + "\" has a row numbered " + row.attribute("r").value());
            }
            rowNumber = r;
            const bool hidden = BoolAttribute(row, "hidden");
            if (pugi::xml_attribute ht = row.attribute("ht"); ht || hidden) {
                geometry.AddRow(r, hidden ? 0 : std::max(0.0, ht.as_double()));
            }
            if (wantedRange) continue;
            int32_t col = 0;
            for (pugi::xml_node c = row.first_child(); c; c = c.next_sibling()) {
                if (!IsElement(c, "c")) continue;
                CellRef ref;
                if (pugi::xml_attribute a = c.attribute("r")) {
                    if (!ParseCellRefFast(a.value(), ref)) continue;
                } else {
                    ref = {r, col + 1};
                }
                col = ref.col;
                if (c.first_child() || c.attribute("s").as_uint(0) != 0) extend(r, ref.col);
            }
        }
    }
    geometry.FinishRows();

    // The range: asked for, else the saved selection when it is more than the
    // cursor, else the used range.
    RangeRef range;
    if (wantedRange) {
        range = *wantedRange;
        result.rangeOrigin = "as asked";
    } else if (auto selection = SavedSelection(worksheet); selection && !selection->IsSingleCell()) {
        for (const RangeRef& m : merges) {
            extend(m.first.row, m.first.col);
            extend(m.last.row, m.last.col);
        }
        range = *selection;
        result.rangeOrigin = "the selection saved with the sheet";
        // Whole rows or columns selected: the part of them that holds cells.
        if (anyCell && (range.Rows() > options.maxRows || range.CellCount() > options.maxCells)) {
            RangeRef within{{std::max(range.first.row, used.first.row), std::max(range.first.col, used.first.col)},
                            {std::min(range.last.row, used.last.row), std::min(range.last.col, used.last.col)}};
            if (within.first.row <= within.last.row && within.first.col <= within.last.col) {
                range = within;
                result.rangeOrigin =
                    "the selection saved with the sheet, " + RangeName(*selection) + ", within the used range";
            }
        }
    } else {
        for (const RangeRef& m : merges) {
            extend(m.first.row, m.first.col);
            extend(m.last.row, m.last.col);
        }
        if (!anyCell) {
            throw TabulonError("sheet \"" + sheet.name +
                               "\" holds no cells and no range is selected in it; choose one with --range");
        }
        range = used;
        result.rangeOrigin = selection
                                 ? "the used range; the saved selection is the single cell " + RangeName(*selection)
                                 : "the used range";
    }
    result.range = range;
    if (range.Rows() > options.maxRows) {
        throw TabulonError("range " + RangeName(range) + " has " + std::to_string(range.Rows()) +
                           " rows; a capture holds at most " + std::to_string(options.maxRows));
    }
    if (range.CellCount() > options.maxCells) {
        throw TabulonError("range " + RangeName(range) + " has " + std::to_string(range.CellCount()) +
                           " cells; a capture holds at most " + std::to_string(options.maxCells));
    }

    const int32_t nRows = static_cast<int32_t>(range.Rows());
    const int32_t nCols = static_cast<int32_t>(range.Cols());
    Capture& capture = result.capture;
    CellTable& table = capture.table;
    GridTexts& texts = capture.texts;
    table.Replace(nRows, nCols);
    texts.Resize(nCols + 1, nRows + 1);
    for (int32_t c = 1; c <= nCols; ++c) texts.Set(c, 0, ColumnLetters(range.first.col + c - 1));
    for (int32_t r = 1; r <= nRows; ++r) texts.Set(0, r, std::to_string(range.first.row + r - 1));

    // Formats of the cells: the cell's own, else its row's, else its column's.
    std::vector<uint32_t> styles(static_cast<size_t>(nRows) * static_cast<size_t>(nCols), 0);
    for (int32_t r = 0; r < nRows; ++r) {
        for (int32_t c = 0; c < nCols; ++c)
            styles[static_cast<size_t>(r) * nCols + c] = geometry.ColumnStyle(range.first.col + c);
    }
    std::vector<uint8_t> numeric(styles.size(), 0);
    // A rich text whose runs all have one size shows in that size, whatever the format says.
    std::vector<double> runSizes(styles.size(), 0);

    size_t formulasWithoutResult = 0, unsupportedFormats = 0;
    std::string firstFormula, firstUnsupported;
    int32_t rowNumber = 0;
    for (pugi::xml_node row = sheetData.first_child(); row; row = row.next_sibling()) {
        if (!IsElement(row, "row")) continue;
        const int32_t r = row.attribute("r").as_int(rowNumber + 1);
        rowNumber = r;
        if (r < range.first.row || r > range.last.row) continue;
        const size_t rowBase = static_cast<size_t>(r - range.first.row) * static_cast<size_t>(nCols);
        if (BoolAttribute(row, "customFormat")) {
            const uint32_t s = row.attribute("s").as_uint(0);
            std::fill(styles.begin() + static_cast<ptrdiff_t>(rowBase),
                      styles.begin() + static_cast<ptrdiff_t>(rowBase + nCols), s);
        }
        int32_t col = 0;
        for (pugi::xml_node c = row.first_child(); c; c = c.next_sibling()) {
            if (!IsElement(c, "c")) continue;
            CellRef ref;
            if (pugi::xml_attribute a = c.attribute("r")) {
                if (!ParseCellRefFast(a.value(), ref)) {
                    throw TabulonError("sheet \"" + sheet.name + "\" has a cell named \"" + a.value() + "\"");
                }
            } else {
                ref = {r, col + 1};
            }
            col = ref.col;
            if (ref.col < range.first.col || ref.col > range.last.col) continue;
            const size_t index = rowBase + static_cast<size_t>(ref.col - range.first.col);
            const uint32_t s = c.attribute("s").as_uint(0);
            styles[index] = s;

            const char* type = c.attribute("t").value();
            pugi::xml_node v;
            pugi::xml_node is;
            bool formula = false;
            for (pugi::xml_node child = c.first_child(); child; child = child.next_sibling()) {
                if (IsElement(child, "v"))
                    v = child;
                else if (IsElement(child, "is"))
                    is = child;
                else if (IsElement(child, "f"))
                    formula = true;
            }
            std::string shown, value;
            if (std::strcmp(type, "e") == 0) {
                throw TabulonError(sheetRef + "!" + CellName(r, ref.col) + " holds the error value " +
                                   (v ? v.child_value() : "#VALUE!") +
                                   "; correct the cell or leave it out of the range");
            } else if (std::strcmp(type, "inlineStr") == 0) {
                value = shown = is ? StringItemText(is, &runSizes[index]) : DecodeEscapes(v.child_value());
            } else if (!v) {
                if (formula) {
                    if (formulasWithoutResult++ == 0) firstFormula = CellName(r, ref.col);
                }
            } else if (std::strcmp(type, "s") == 0) {
                char* end = nullptr;
                const char* text = v.child_value();
                const unsigned long long k = std::strtoull(text, &end, 10);
                if (end == text || k >= book.SharedStringCount()) {
                    throw TabulonError(sheetRef + "!" + CellName(r, ref.col) + " refers to shared string \"" + text +
                                       "\", which the workbook does not have");
                }
                value = shown = book.SharedString(static_cast<size_t>(k));
                runSizes[index] = book.SharedStringRunSize(static_cast<size_t>(k));
            } else if (std::strcmp(type, "str") == 0) {
                value = shown = DecodeEscapes(v.child_value());
            } else if (std::strcmp(type, "b") == 0) {
                const bool on = std::strcmp(v.child_value(), "0") != 0 && *v.child_value() != '\0';
                shown = on ? "TRUE" : "FALSE";
                value = on ? "True" : "False";
            } else {
                std::optional<double> number;
                const char* text = v.child_value();
                if (std::strcmp(type, "d") == 0) {
                    const IsoDate date = IsoDateSerial(text, book.Date1904());
                    if (date.status == IsoDate::OutOfRange) {
                        throw TabulonError(sheetRef + "!" + CellName(r, ref.col) + " holds the date \"" + text +
                                           "\", which lies outside the years 1 to 9999; correct the cell or leave "
                                           "it out of the range");
                    }
                    if (date.status == IsoDate::Serial) number = date.serial;
                } else {
                    char* end = nullptr;
                    const double x = std::strtod(text, &end);
                    if (end != text && std::isfinite(x)) number = x;
                }
                if (!number) {
                    value = shown = text;
                } else {
                    bool supported = true;
                    shown = FormatNumber(*number, book.Format(s).numberFormat, book.Date1904(), &supported);
                    if (!supported && unsupportedFormats++ == 0) {
                        firstUnsupported = CellName(r, ref.col) + " (\"" + book.Format(s).numberFormat + "\")";
                    }
                    value = DxfNumber(*number);
                }
            }
            if (!IsValidUtf8(shown)) {
                throw TabulonError(sheetRef + "!" + CellName(r, ref.col) +
                                   " holds text that is not valid UTF-8; the workbook is damaged");
            }
            numeric[index] = !value.empty() && IsNumericText(value);
            TXlsxCellAttr& cell = table.At(r - range.first.row + 1, ref.col - range.first.col + 1);
            texts.Set(ref.col - range.first.col + 1, r - range.first.row + 1, shown);
            cell.str = std::move(shown);
        }
    }
    if (formulasWithoutResult) {
        result.warnings.push_back(std::to_string(formulasWithoutResult) +
                                  " formula cell(s) have no saved result and are left empty, the first at " +
                                  firstFormula +
                                  "; open and save the workbook in a spreadsheet program to store results");
    }
    if (unsupportedFormats) {
        result.warnings.push_back(std::to_string(unsupportedFormats) +
                                  " number(s) have a format this program cannot show exactly and appear in the General "
                                  "format, the first at " +
                                  firstUnsupported);
    }

    // Sizes, formats and merged areas of every cell of the range.
    std::vector<uint16_t> colW(static_cast<size_t>(nCols)), rowH(static_cast<size_t>(nRows));
    for (int32_t c = 0; c < nCols; ++c) colW[c] = Low16(RoundHalfEven(geometry.ColumnWidth(range.first.col + c)));
    for (int32_t r = 0; r < nRows; ++r) rowH[r] = Low16(RoundHalfEven(geometry.RowHeight(range.first.row + r)));
    for (int32_t r = 1; r <= nRows; ++r) {
        const uint16_t top = Low16(RoundHalfEven(geometry.RowTop(range.first.row + r - 1)));
        for (int32_t c = 1; c <= nCols; ++c) {
            const size_t index = static_cast<size_t>(r - 1) * nCols + (c - 1);
            const CellFormat& format = book.Format(styles[index]);
            TXlsxCellAttr& cell = table.At(r, c);
            cell.rowH = rowH[r - 1];
            cell.colW = colW[c - 1];
            cell.txtSize = Low16(RoundHalfEven(runSizes[index] > 0 ? runSizes[index] : format.fontSize));
            cell.txtAlign = format.txtAlign;
            if (cell.txtAlign == 0 && numeric[index]) cell.txtAlign = 3;
            cell.lineBits = format.lineBits;
            cell.wrapText = format.wrapText;
            cell.shrinkToFit = format.shrinkToFit;
            cell.txtVAlign = format.txtVAlign;
            cell.lineStyleTop = format.lineStyles[0];
            cell.lineStyleBottom = format.lineStyles[1];
            cell.lineStyleLeft = format.lineStyles[2];
            cell.lineStyleRight = format.lineStyles[3];
            cell.lineStyleDown = format.lineStyles[4];
            cell.lineStyleUp = format.lineStyles[5];
            cell.fillColor = format.fillColor;
            // A cell outside merged areas is its own merge area.
            cell.cellMerge = false;
            cell.mergerowYscount = 1;
            cell.mergecolXscount = 1;
            cell.mergeLeft = Low16(RoundHalfEven(geometry.ColumnLeft(range.first.col + c - 1)));
            cell.mergeTop = top;
        }
    }
    // Merged areas never overlap in a sound workbook; checking it also bounds the
    // work to the size of the range.
    std::vector<uint8_t> merged(styles.size(), 0);
    for (const RangeRef& area : merges) {
        const int32_t r0 = std::max(area.first.row, range.first.row), r1 = std::min(area.last.row, range.last.row);
        const int32_t c0 = std::max(area.first.col, range.first.col), c1 = std::min(area.last.col, range.last.col);
        if (r0 > r1 || c0 > c1) continue;
        const uint16_t rows = Low16(static_cast<double>(area.Rows()));
        const uint16_t cols = Low16(static_cast<double>(area.Cols()));
        const uint16_t left = Low16(RoundHalfEven(geometry.ColumnLeft(area.first.col)));
        const uint16_t top = Low16(RoundHalfEven(geometry.RowTop(area.first.row)));
        for (int32_t r = r0; r <= r1; ++r) {
            for (int32_t c = c0; c <= c1; ++c) {
                uint8_t& seen = merged[static_cast<size_t>(r - range.first.row) * nCols + (c - range.first.col)];
                if (seen) {
                    throw TabulonError("sheet \"" + sheet.name + "\" is damaged: merged area " + RangeName(area) +
                                       " overlaps another one at " + CellName(r, c));
                }
                seen = 1;
                TXlsxCellAttr& cell = table.At(r - range.first.row + 1, c - range.first.col + 1);
                cell.cellMerge = true;
                cell.mergerowYscount = rows;
                cell.mergecolXscount = cols;
                cell.mergeLeft = left;
                cell.mergeTop = top;
            }
        }
    }

    CaptureSource source;
    const std::u8string fileName = std::filesystem::path(std::u8string(path.begin(), path.end())).filename().u8string();
    source.workbook = ToValidUtf8(std::string(fileName.begin(), fileName.end()));  // any bytes on Linux
    source.sheet = sheet.name;
    source.firstRow = range.first.row;
    source.firstCol = range.first.col;
    capture.source = source;
    return result;
}

}  // namespace tabulon::xlsx
