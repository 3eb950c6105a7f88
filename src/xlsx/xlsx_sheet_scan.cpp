#include "xlsx/xlsx_sheet_scan.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "core/errors.h"
#include "xlsx/xlsx_stream.h"

namespace tabulon::xlsx {

namespace {

// Where an element sits, as far as the scan cares. Only the first <sheetViews>,
// <sheetView>, <sheetData> and <mergeCells> count, as a sheet has one of each.
enum class Place : uint8_t {
    Other,
    Worksheet,
    SheetViews,
    SheetView,
    Cols,
    SheetData,
    Row,
    Cell,
    MergeCells,
};

class ScanHandler : public XmlStreamHandler {
public:
    ScanHandler(const SheetEntry& sheet, bool findExtent, SheetScan& scan)
        : sheet_(sheet), findExtent_(findExtent), scan_(scan) {}

    void Start(const char* name, const char** attributes) override {
        const Place parent = places_.empty() ? Place::Other : places_.back();
        Place place = Place::Other;
        if (places_.empty()) {
            if (std::strcmp(name, "worksheet") != 0) {
                throw TabulonError("sheet \"" + sheet_.name + "\" is not a worksheet");
            }
            place = Place::Worksheet;
        } else if (parent == Place::Worksheet) {
            place = WorksheetChild(name, attributes);
        } else if (parent == Place::SheetViews && !seenView_ && std::strcmp(name, "sheetView") == 0) {
            seenView_ = true;
            place = Place::SheetView;
        } else if (parent == Place::SheetView) {
            ViewChild(name, attributes);
        } else if (parent == Place::Cols && std::strcmp(name, "col") == 0) {
            Column(attributes);
        } else if (parent == Place::SheetData && std::strcmp(name, "row") == 0) {
            place = Place::Row;
            RowStart(attributes);
        } else if (parent == Place::Row && std::strcmp(name, "c") == 0) {
            place = Place::Cell;
            CellStart(attributes);
        } else if (parent == Place::Cell) {
            cellHasContent_ = true;
        } else if (parent == Place::MergeCells && std::strcmp(name, "mergeCell") == 0) {
            auto area = ParseRangeRef(Value(FindAttribute(attributes, "ref")));
            if (area && !area->IsSingleCell()) scan_.merges.push_back(*area);
        }
        places_.push_back(place);
    }

    void End(const char*) override {
        if (places_.back() == Place::Cell) CellEnd();
        places_.pop_back();
    }

    void Text(std::string_view text) override {
        if (!text.empty() && !places_.empty() && places_.back() == Place::Cell) cellHasContent_ = true;
    }

private:
    static const char* Value(const char* value) { return value ? value : ""; }

    Place WorksheetChild(const char* name, const char** attributes) {
        if (std::strcmp(name, "sheetViews") == 0 && !seenViews_) {
            seenViews_ = true;
            return Place::SheetViews;
        }
        if (std::strcmp(name, "sheetFormatPr") == 0 && !seenFormat_) {
            seenFormat_ = true;
            if (const char* w = FindAttribute(attributes, "defaultColWidth")) scan_.defaultColWidth = DoubleValue(w);
            scan_.baseColWidth = DoubleValue(FindAttribute(attributes, "baseColWidth"), 8);
            if (const char* h = FindAttribute(attributes, "defaultRowHeight")) scan_.defaultRowHeight = DoubleValue(h);
            scan_.zeroHeight = FlagValue(FindAttribute(attributes, "zeroHeight"));
            return Place::Other;
        }
        if (std::strcmp(name, "cols") == 0) return Place::Cols;
        if (std::strcmp(name, "sheetData") == 0 && !seenData_) {
            seenData_ = true;
            return Place::SheetData;
        }
        if (std::strcmp(name, "mergeCells") == 0 && !seenMerges_) {
            seenMerges_ = true;
            return Place::MergeCells;
        }
        return Place::Other;
    }

    void ViewChild(const char* name, const char** attributes) {
        if (std::strcmp(name, "pane") == 0 && !scan_.hasPane) {
            scan_.hasPane = true;
            scan_.activePane = Value(FindAttribute(attributes, "activePane"));
        } else if (std::strcmp(name, "selection") == 0 && scan_.selections.size() < kMaxSelections) {
            scan_.selections.push_back({Value(FindAttribute(attributes, "pane")),
                                        Value(FindAttribute(attributes, "sqref")),
                                        Value(FindAttribute(attributes, "activeCell"))});
        }
    }

    void Column(const char** attributes) {
        const int32_t lo = std::clamp<int32_t>(IntValue(FindAttribute(attributes, "min"), 0), 1, kMaxSheetCols);
        const int32_t hi = std::clamp<int32_t>(IntValue(FindAttribute(attributes, "max"), lo), lo, kMaxSheetCols);
        // Columns are listed once each; a list that sets far more than the sheet has
        // columns is damaged (and would cost time for nothing).
        assigned_ += hi - lo + 1;
        if (assigned_ > 4 * kMaxSheetCols) throw TabulonError("the column list of the sheet is damaged");
        ColumnSpan span{lo, hi, std::nullopt, FlagValue(FindAttribute(attributes, "hidden")),
                        UIntValue(FindAttribute(attributes, "style"), 0)};
        if (const char* w = FindAttribute(attributes, "width")) span.width = DoubleValue(w);
        scan_.columns.push_back(span);
    }

    void RowStart(const char** attributes) {
        const char* number = FindAttribute(attributes, "r");
        const int r = IntValue(number, rowNumber_ + 1);
        if (r < 1 || r > kMaxSheetRows) {
            throw TabulonError("sheet \"" + sheet_.name + "\" has a row numbered " + Value(number));
        }
        if (r <= rowNumber_) scan_.rowsInOrder = false;
        rowNumber_ = r;
        const bool hidden = FlagValue(FindAttribute(attributes, "hidden"));
        const char* ht = FindAttribute(attributes, "ht");
        if (ht || hidden) scan_.rows.push_back({r, hidden ? 0 : std::max(0.0, DoubleValue(ht))});
        col_ = 0;
    }

    void CellStart(const char** attributes) {
        cellCounts_ = false;
        if (!findExtent_) return;
        CellRef ref;
        if (const char* a = FindAttribute(attributes, "r")) {
            if (!ParseCellRefFast(a, ref)) return;
        } else {
            ref = {rowNumber_, col_ + 1};
        }
        col_ = ref.col;
        cellCounts_ = true;
        cellCol_ = ref.col;
        cellHasContent_ = UIntValue(FindAttribute(attributes, "s"), 0) != 0;
    }

    void CellEnd() {
        if (cellCounts_ && cellHasContent_) scan_.Extend(rowNumber_, cellCol_);
    }

    // A view has a selection per pane, four at most; more are damage.
    static constexpr size_t kMaxSelections = 64;

    const SheetEntry& sheet_;
    bool findExtent_;
    SheetScan& scan_;
    std::vector<Place> places_;
    bool seenViews_ = false, seenView_ = false, seenFormat_ = false, seenData_ = false, seenMerges_ = false;
    int64_t assigned_ = 0;
    int32_t rowNumber_ = 0;
    int32_t col_ = 0;
    bool cellCounts_ = false;
    int32_t cellCol_ = 0;
    bool cellHasContent_ = false;
};

}  // namespace

SheetScan ScanRows(XlsxArchive& archive, const SheetEntry& sheet, bool findExtent) {
    SheetScan scan;
    ScanHandler handler(sheet, findExtent, scan);
    if (!StreamPart(archive, sheet.part, handler)) {
        throw TabulonError("the workbook has no part " + sheet.part + " (not a spreadsheet, or damaged)");
    }
    return scan;
}

std::optional<RangeRef> SavedSelection(const SheetScan& scan) {
    if (scan.selections.empty()) return std::nullopt;
    std::string activePane = scan.activePane;
    if (activePane.empty() && scan.hasPane) activePane = "bottomRight";
    const std::string wanted = activePane.empty() ? "topLeft" : activePane;
    const Selection* chosen = &scan.selections.front();
    for (const Selection& sel : scan.selections) {
        if ((sel.pane.empty() ? "topLeft" : sel.pane) == wanted) {
            chosen = &sel;
            break;
        }
    }
    const std::string& sqref = chosen->sqref.empty() ? chosen->activeCell : chosen->sqref;
    return ParseRangeRef(std::string_view(sqref).substr(0, sqref.find(' ')));
}

SheetGeometry::SheetGeometry(const XlsxWorkbook& book, const SheetScan& scan) {
    const int mdw = book.MaxDigitWidthPx();
    mdw_ = mdw;
    const int defaultPx = scan.defaultColWidth ? ColumnPixelsFromStoredWidth(*scan.defaultColWidth, mdw)
                                               : ColumnPixelsFromBaseWidth(scan.baseColWidth, mdw);
    // Without a saved default, the height a row of the standard font gets.
    const double standardHeight = std::round(book.StandardFontSize() * 15.0 / 11.0 / 0.75) * 0.75;
    defaultHeight_ = std::max(0.0, scan.defaultRowHeight.value_or(standardHeight));
    if (scan.zeroHeight) defaultHeight_ = 0;

    colPx_.assign(kMaxSheetCols + 1, defaultPx);
    colStyle_.assign(kMaxSheetCols + 1, 0);
    colPx_[0] = 0;
    for (const ColumnSpan& span : scan.columns) {
        int px = span.width ? ColumnPixelsFromStoredWidth(*span.width, mdw) : defaultPx;
        if (span.hidden) px = 0;
        for (int32_t c = span.lo; c <= span.hi; ++c) {
            colPx_[c] = px;
            colStyle_[c] = span.style;
        }
    }
    colLeftPx_.assign(kMaxSheetCols + 2, 0);
    for (int32_t c = 1; c <= kMaxSheetCols; ++c) colLeftPx_[c + 1] = colLeftPx_[c] + colPx_[c];

    // Rows arrive in order in a well-made sheet; sort in case they do not. A
    // row listed twice: the last one counts.
    rows_ = scan.rows;
    std::stable_sort(rows_.begin(), rows_.end(),
                     [](const SavedRow& a, const SavedRow& b) { return a.row < b.row; });
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

double SheetGeometry::RowHeight(int32_t row) const {
    auto it = std::lower_bound(rows_.begin(), rows_.end(), row, [](const SavedRow& r, int32_t v) { return r.row < v; });
    return it != rows_.end() && it->row == row ? it->height : defaultHeight_;
}

double SheetGeometry::RowTop(int32_t row) const {
    auto it = std::lower_bound(rows_.begin(), rows_.end(), row, [](const SavedRow& r, int32_t v) { return r.row < v; });
    return defaultHeight_ * (row - 1) + extraBefore_[static_cast<size_t>(it - rows_.begin())];
}

double SheetGeometry::ColumnLeft(int32_t col) const {
    constexpr double kPointsPerPixel = 0.75;  // 96 dpi
    return static_cast<double>(colLeftPx_[col]) * kPointsPerPixel;
}

}  // namespace tabulon::xlsx
