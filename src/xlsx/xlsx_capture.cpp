#include "xlsx/xlsx_capture.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "core/ascii.h"
#include "core/capture_sink.h"
#include "core/dxf_number.h"
#include "core/errors.h"
#include "core/number_format.h"
#include "core/utf8.h"
#include "xlsx/xlsx_sheet_scan.h"
#include "xlsx/xlsx_iso_date.h"
#include "xlsx/xlsx_stream.h"
#include "xlsx/xlsx_workbook.h"
#include "xlsx/xlsx_xml.h"

namespace tabulon::xlsx {

namespace {

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

// --- opening the worksheet ------------------------------------------------------

std::optional<RangeRef> WantedRange(const XlsxCaptureOptions& options) {
    if (!options.range) return std::nullopt;
    auto range = ParseRangeRef(*options.range);
    if (!range) throw TabulonError("\"" + *options.range + "\" is not a range of cells; write it like A1:F20 or C4");
    return range;
}

const SheetEntry& OpenWorksheet(const XlsxWorkbook& book, const std::optional<std::string>& wanted) {
    const SheetEntry& sheet = book.Sheets()[static_cast<size_t>(ChooseSheet(book, wanted))];
    if (!sheet.isWorksheet) throw TabulonError("sheet \"" + sheet.name + "\" is not a worksheet (a chart sheet?)");
    if (sheet.part.empty())
        throw TabulonError("the workbook lists sheet \"" + sheet.name + "\" but has no part for it");
    // Everything that goes into the capture is text a capture file can hold.
    if (!IsValidUtf8(sheet.name)) throw TabulonError("the sheet's name is not valid UTF-8; the workbook is damaged");
    return sheet;
}

// --- choosing the range -------------------------------------------------------------

// The range: asked for, else the saved selection when it is more than the
// cursor, else the used range.
void ChooseRange(SheetScan& scan, const std::optional<RangeRef>& wantedRange, const XlsxCaptureOptions& options,
                 const SheetEntry& sheet, XlsxCaptureResult& result) {
    RangeRef range;
    if (wantedRange) {
        range = *wantedRange;
        result.rangeOrigin = "as asked";
    } else {
        // Merged areas count as used, whatever their cells hold.
        for (const RangeRef& m : scan.merges) {
            scan.Extend(m.first.row, m.first.col);
            scan.Extend(m.last.row, m.last.col);
        }
        const RangeRef& used = scan.used;
        const std::optional<RangeRef> selection = SavedSelection(scan);
        if (selection && !selection->IsSingleCell()) {
            range = *selection;
            result.rangeOrigin = "the selection saved with the sheet";
            // Whole rows or columns selected: the part of them that holds cells.
            if (scan.anyCell && (range.Rows() > options.maxRows || range.CellCount() > options.maxCells)) {
                RangeRef within{
                    {std::max(range.first.row, used.first.row), std::max(range.first.col, used.first.col)},
                    {std::min(range.last.row, used.last.row), std::min(range.last.col, used.last.col)}};
                if (within.first.row <= within.last.row && within.first.col <= within.last.col) {
                    range = within;
                    result.rangeOrigin =
                        "the selection saved with the sheet, " + RangeName(*selection) + ", within the used range";
                }
            }
        } else {
            if (!scan.anyCell) {
                throw TabulonError("sheet \"" + sheet.name +
                                   "\" holds no cells and no range is selected in it; choose one with --range");
            }
            range = used;
            result.rangeOrigin = selection ? "the used range; the saved selection is the single cell " +
                                                 RangeName(*selection)
                                           : "the used range";
        }
    }
    result.range = range;
}

// A range a capture can hold, or the reason it cannot.
void CheckRangeLimits(const RangeRef& range, const XlsxCaptureOptions& options) {
    if (range.Rows() > options.maxRows) {
        throw TabulonError("range " + RangeName(range) + " has " + std::to_string(range.Rows()) +
                           " rows; a capture holds at most " + std::to_string(options.maxRows));
    }
    if (range.CellCount() > options.maxCells) {
        throw TabulonError("range " + RangeName(range) + " has " + std::to_string(range.CellCount()) +
                           " cells; a capture holds at most " + std::to_string(options.maxCells));
    }
}

// --- reading one cell's value -----------------------------------------------------------

// A <c> element as the sheet holds it.
struct CellElement {
    int32_t row = 0, col = 0;
    uint32_t style = 0;
    std::string type;
    bool hasValue = false;  // a <v>
    std::string value;      // the last <v>'s text
    bool hasInline = false;  // an <is>
    std::string inlineText;  // the last <is>'s text
    double inlineRunSize = 0;  // the size its runs agree on, or 0
    bool formula = false;
};

struct CellValue {
    std::string shown;
    bool numeric = false;  // the value is a number, so General alignment draws it to the right
    double runSize = 0;    // a rich text whose runs all have this size shows in it
};

// What the capture could not reproduce exactly, counted as the cells are read.
struct CaptureNotes {
    size_t formulasWithoutResult = 0, unsupportedFormats = 0;
    std::string firstFormula, firstUnsupported;
};

CellValue ReadCellValue(const CellElement& c, const XlsxWorkbook& book, const std::string& sheetRef,
                        CaptureNotes& notes) {
    const char* type = c.type.c_str();
    const char* v = c.value.c_str();
    std::string shown, value;
    double runSize = 0;
    if (std::strcmp(type, "e") == 0) {
        throw TabulonError(sheetRef + "!" + CellName(c.row, c.col) + " holds the error value " +
                           (c.hasValue ? c.value : std::string("#VALUE!")) +
                           "; correct the cell or leave it out of the range");
    } else if (std::strcmp(type, "inlineStr") == 0) {
        value = shown = c.hasInline ? c.inlineText : DecodeEscapes(v);
        if (c.hasInline) runSize = c.inlineRunSize;
    } else if (!c.hasValue) {
        if (c.formula && notes.formulasWithoutResult++ == 0) notes.firstFormula = CellName(c.row, c.col);
    } else if (std::strcmp(type, "s") == 0) {
        char* end = nullptr;
        const unsigned long long k = std::strtoull(v, &end, 10);
        if (end == v || k >= book.SharedStringCount()) {
            throw TabulonError(sheetRef + "!" + CellName(c.row, c.col) + " refers to shared string \"" + c.value +
                               "\", which the workbook does not have");
        }
        value = shown = book.SharedString(static_cast<size_t>(k));
        runSize = book.SharedStringRunSize(static_cast<size_t>(k));
    } else if (std::strcmp(type, "str") == 0) {
        value = shown = DecodeEscapes(v);
    } else if (std::strcmp(type, "b") == 0) {
        const bool on = std::strcmp(v, "0") != 0 && *v != '\0';
        shown = on ? "TRUE" : "FALSE";
        value = on ? "True" : "False";
    } else {
        std::optional<double> number;
        if (std::strcmp(type, "d") == 0) {
            const IsoDate date = IsoDateSerial(c.value, book.Date1904());
            if (date.status == IsoDate::OutOfRange) {
                throw TabulonError(sheetRef + "!" + CellName(c.row, c.col) + " holds the date \"" + c.value +
                                   "\", which lies outside the years 1 to 9999; correct the cell or leave it out of "
                                   "the range");
            }
            if (date.status == IsoDate::Serial) number = date.serial;
        } else {
            char* end = nullptr;
            const double x = std::strtod(v, &end);
            if (end != v && std::isfinite(x)) number = x;
        }
        if (!number) {
            value = shown = c.value;
        } else {
            bool supported = true;
            const std::string& format = book.Format(c.style).numberFormat;
            shown = FormatNumber(*number, format, book.Date1904(), &supported);
            if (!supported && notes.unsupportedFormats++ == 0) {
                notes.firstUnsupported = CellName(c.row, c.col) + " (\"" + format + "\")";
            }
            value = DxfNumber(*number);
        }
    }
    // Everything that goes into the capture is text a capture file can hold.
    if (!IsValidUtf8(shown)) {
        throw TabulonError(sheetRef + "!" + CellName(c.row, c.col) +
                           " holds text that is not valid UTF-8; the workbook is damaged");
    }
    CellValue out;
    out.numeric = !value.empty() && IsNumericText(value);
    out.shown = std::move(shown);
    out.runSize = runSize;
    return out;
}

// --- sizes, formats and merged areas of a record -------------------------------------------

// What a cell's format gives its record: the one place a record reads its style.
// A rich text whose runs agree on a size shows in it, as the spreadsheet reports
// the characters' size, whatever the format says.
void ApplyFormat(TXlsxCellAttr& cell, const CellFormat& format, bool numeric, double runSize) {
    cell.txtSize = Low16(RoundHalfEven(runSize > 0 ? runSize : format.fontSize));
    cell.txtAlign = format.txtAlign;
    if (cell.txtAlign == 0 && numeric) cell.txtAlign = 3;
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
}

// The row's and column's sizes; a cell outside merged areas is its own merge area.
void ApplySizes(TXlsxCellAttr& cell, uint16_t rowH, uint16_t colW, uint16_t left, uint16_t top) {
    cell.rowH = rowH;
    cell.colW = colW;
    cell.cellMerge = false;
    cell.mergerowYscount = 1;
    cell.mergecolXscount = 1;
    cell.mergeLeft = left;
    cell.mergeTop = top;
}

// A merged area as its cells record it.
struct MergeArea {
    uint16_t rows, cols;
    uint16_t left, top;  // points on the sheet, low 16 bits
};

void ApplyMerge(TXlsxCellAttr& cell, const MergeArea& area) {
    cell.cellMerge = true;
    cell.mergerowYscount = area.rows;
    cell.mergecolXscount = area.cols;
    cell.mergeLeft = area.left;
    cell.mergeTop = area.top;
}

// The merged areas over the range, cell by cell. Merged areas never overlap in
// a sound workbook; checking it also bounds the work to the size of the range.
class MergeLayout {
public:
    MergeLayout(const std::vector<RangeRef>& merges, const RangeRef& range, const SheetGeometry& geometry,
                const std::string& sheetName)
        : range_(range), cols_(static_cast<size_t>(range.Cols())) {
        for (const RangeRef& area : merges) {
            const int32_t r0 = std::max(area.first.row, range.first.row), r1 = std::min(area.last.row, range.last.row);
            const int32_t c0 = std::max(area.first.col, range.first.col), c1 = std::min(area.last.col, range.last.col);
            if (r0 > r1 || c0 > c1) continue;
            if (index_.empty()) index_.assign(static_cast<size_t>(range.CellCount()), 0);
            areas_.push_back({Low16(static_cast<double>(area.Rows())), Low16(static_cast<double>(area.Cols())),
                              Low16(RoundHalfEven(geometry.ColumnLeft(area.first.col))),
                              Low16(RoundHalfEven(geometry.RowTop(area.first.row)))});
            const uint32_t number = static_cast<uint32_t>(areas_.size());
            for (int32_t r = r0; r <= r1 && overlap_.empty(); ++r) {
                for (int32_t c = c0; c <= c1; ++c) {
                    uint32_t& seen = index_[Offset(r, c)];
                    if (seen) {
                        // Told once the cells have been read, as their faults come first.
                        overlap_ = "sheet \"" + sheetName + "\" is damaged: merged area " + RangeName(area) +
                                   " overlaps another one at " + CellName(r, c);
                        break;
                    }
                    seen = number;
                }
            }
            if (!overlap_.empty()) break;
        }
    }

    const MergeArea* At(int32_t row, int32_t col) const {
        if (index_.empty()) return nullptr;
        const uint32_t number = index_[Offset(row, col)];
        return number ? &areas_[number - 1] : nullptr;
    }

    void ThrowIfOverlapping() const {
        if (!overlap_.empty()) throw TabulonError(overlap_);
    }

private:
    size_t Offset(int32_t row, int32_t col) const {
        return static_cast<size_t>(row - range_.first.row) * cols_ + static_cast<size_t>(col - range_.first.col);
    }

    RangeRef range_;
    size_t cols_;
    std::vector<MergeArea> areas_;
    std::vector<uint32_t> index_;  // per cell of the range: its area's number from 1, or 0
    std::string overlap_;
};

// --- reading the cells -------------------------------------------------------------------

// A cell of a row not yet handed on: its format, and its value as shown.
struct PendingCell {
    uint32_t style = 0;
    bool numeric = false;
    std::string shown;
    double runSize = 0;
};

// The rows of the range as they are read, handed to the sink in order. When the
// sheet lists its rows in order, a row is handed on as soon as the next one
// starts and only one is held; otherwise every row is held until the end.
class RowAssembler {
public:
    RowAssembler(const RangeRef& range, bool streaming, const XlsxWorkbook& book, const SheetGeometry& geometry,
                 const MergeLayout& merges, CaptureSink& sink)
        : range_(range),
          cols_(static_cast<int32_t>(range.Cols())),
          streaming_(streaming),
          book_(book),
          geometry_(geometry),
          merges_(merges),
          sink_(sink),
          nextRow_(range.first.row) {
        colW_.resize(static_cast<size_t>(cols_));
        left_.resize(static_cast<size_t>(cols_));
        for (int32_t c = 0; c < cols_; ++c) {
            colW_[c] = Low16(RoundHalfEven(geometry.ColumnWidth(range.first.col + c)));
            left_[c] = Low16(RoundHalfEven(geometry.ColumnLeft(range.first.col + c)));
        }
        const size_t rows = streaming ? 1 : static_cast<size_t>(range.Rows());
        pending_.resize(rows * static_cast<size_t>(cols_));
        for (size_t r = 0; r < rows; ++r) ResetRow(&pending_[r * static_cast<size_t>(cols_)]);
        record_.resize(static_cast<size_t>(cols_));
    }

    // The cells of row r, which the sheet now lists.
    PendingCell* BeginRow(int32_t r) {
        if (!streaming_) return &pending_[static_cast<size_t>(r - range_.first.row) * static_cast<size_t>(cols_)];
        while (nextRow_ < r) Emit(nextRow_++, nullptr);
        ResetRow(pending_.data());
        return pending_.data();
    }

    void EndRow(int32_t r) {
        if (!streaming_) return;
        Emit(r, pending_.data());
        nextRow_ = r + 1;
    }

    // Hands on every row not yet handed on.
    void Finish() {
        if (!streaming_) {
            for (int32_t r = range_.first.row; r <= range_.last.row; ++r)
                Emit(r, &pending_[static_cast<size_t>(r - range_.first.row) * static_cast<size_t>(cols_)]);
            return;
        }
        while (nextRow_ <= range_.last.row) Emit(nextRow_++, nullptr);
    }

private:
    // Formats of the cells: the cell's own, else its row's, else its column's.
    void ResetRow(PendingCell* cells) {
        for (int32_t c = 0; c < cols_; ++c) cells[c] = {geometry_.ColumnStyle(range_.first.col + c), false, {}};
    }

    // The records of row r from its pending cells; a row the sheet does not list
    // has only its columns' formats.
    void Emit(int32_t r, PendingCell* cells) {
        if (!cells) {
            ResetRow(pending_.data());
            cells = pending_.data();
        }
        const uint16_t rowH = Low16(RoundHalfEven(geometry_.RowHeight(r)));
        const uint16_t top = Low16(RoundHalfEven(geometry_.RowTop(r)));
        for (int32_t c = 0; c < cols_; ++c) {
            PendingCell& pending = cells[c];
            TXlsxCellAttr& cell = record_[static_cast<size_t>(c)];
            cell = TXlsxCellAttr{};
            ApplySizes(cell, rowH, colW_[c], left_[c], top);
            ApplyFormat(cell, book_.Format(pending.style), pending.numeric, pending.runSize);
            if (const MergeArea* area = merges_.At(r, range_.first.col + c)) ApplyMerge(cell, *area);
            cell.str = std::move(pending.shown);
        }
        sink_.Row(record_);
    }

    RangeRef range_;
    int32_t cols_;
    bool streaming_;
    const XlsxWorkbook& book_;
    const SheetGeometry& geometry_;
    const MergeLayout& merges_;
    CaptureSink& sink_;
    int32_t nextRow_;
    std::vector<uint16_t> colW_, left_;
    std::vector<PendingCell> pending_;
    std::vector<TXlsxCellAttr> record_;
};

// The second pass over the sheet: the values of the cells in the range.
class CellsHandler : public XmlStreamHandler {
public:
    CellsHandler(const SheetEntry& sheet, const RangeRef& range, bool rowsInOrder, const XlsxWorkbook& book,
                 RowAssembler& rows, CaptureNotes& notes)
        : sheet_(sheet),
          sheetRef_(QuotedSheet(sheet.name)),
          range_(range),
          rowsInOrder_(rowsInOrder),
          book_(book),
          rows_(rows),
          notes_(notes) {}

    void Start(const char* name, const char** attributes) override {
        const size_t depth = depth_++;
        if (inInline_) {
            inline_.Start(name, depth - 4, attributes);
        } else if (depth == 1) {
            if (std::strcmp(name, "sheetData") == 0 && !seenData_) inData_ = seenData_ = true;
        } else if (depth == 2 && inData_ && std::strcmp(name, "row") == 0) {
            RowStart(attributes);
        } else if (depth == 3 && rowCells_ && std::strcmp(name, "c") == 0) {
            CellStart(attributes);
        } else if (depth == 4 && inCell_) {
            // The last <v> and the last <is> count.
            if (std::strcmp(name, "v") == 0) {
                cell_.hasValue = inValue_ = true;
                cell_.value.clear();
            } else if (std::strcmp(name, "is") == 0) {
                cell_.hasInline = inInline_ = true;
                inline_.Begin();
            } else if (std::strcmp(name, "f") == 0) {
                cell_.formula = true;
            }
        }
    }

    void End(const char*) override {
        const size_t depth = --depth_;
        if (inInline_ && depth > 4) {
            inline_.End(depth - 4);
        } else if (depth == 4) {
            if (inInline_) {
                cell_.inlineText = inline_.Finish();
                cell_.inlineRunSize = inline_.RunSize();
            }
            inValue_ = inInline_ = false;
        } else if (depth == 3 && inCell_) {
            inCell_ = false;
            CellEnd();
        } else if (depth == 2 && rowCells_) {
            rowCells_ = nullptr;
            rows_.EndRow(row_);
        } else if (depth == 1) {
            inData_ = false;
        }
    }

    void Text(std::string_view text) override {
        if (inInline_)
            inline_.Text(text, depth_ - 4);
        else if (inValue_ && depth_ == 5)
            cell_.value.append(text);
    }

private:
    void RowStart(const char** attributes) {
        const int32_t r = IntValue(FindAttribute(attributes, "r"), rowNumber_ + 1);
        rowNumber_ = r;
        if (rowsInOrder_ && r > range_.last.row) {
            StopStream();  // the rest of the sheet lies below the range
            return;
        }
        if (r < range_.first.row || r > range_.last.row) return;
        row_ = r;
        rowCells_ = rows_.BeginRow(r);
        if (FlagValue(FindAttribute(attributes, "customFormat"))) {
            const uint32_t s = UIntValue(FindAttribute(attributes, "s"), 0);
            for (int64_t c = 0; c < range_.Cols(); ++c) rowCells_[c].style = s;
        }
        col_ = 0;
    }

    void CellStart(const char** attributes) {
        CellRef ref;
        if (const char* a = FindAttribute(attributes, "r")) {
            if (!ParseCellRefFast(a, ref)) {
                throw TabulonError("sheet \"" + sheet_.name + "\" has a cell named \"" + a + "\"");
            }
        } else {
            ref = {row_, col_ + 1};
        }
        col_ = ref.col;
        if (ref.col < range_.first.col || ref.col > range_.last.col) return;
        inCell_ = true;
        cell_.row = row_;
        cell_.col = ref.col;
        cell_.style = UIntValue(FindAttribute(attributes, "s"), 0);
        const char* type = FindAttribute(attributes, "t");
        cell_.type = type ? type : "";
        cell_.hasValue = cell_.hasInline = cell_.formula = false;
        cell_.value.clear();
        cell_.inlineText.clear();
        cell_.inlineRunSize = 0;
    }

    void CellEnd() {
        PendingCell& pending = rowCells_[cell_.col - range_.first.col];
        pending.style = cell_.style;
        CellValue value = ReadCellValue(cell_, book_, sheetRef_, notes_);
        pending.numeric = value.numeric;
        pending.shown = std::move(value.shown);
        pending.runSize = value.runSize;
    }

    const SheetEntry& sheet_;
    const std::string sheetRef_;
    RangeRef range_;
    bool rowsInOrder_;
    const XlsxWorkbook& book_;
    RowAssembler& rows_;
    CaptureNotes& notes_;

    size_t depth_ = 0;
    bool seenData_ = false, inData_ = false;
    int32_t rowNumber_ = 0, row_ = 0, col_ = 0;
    PendingCell* rowCells_ = nullptr;  // the row being read, when it lies in the range
    bool inCell_ = false, inValue_ = false, inInline_ = false;
    CellElement cell_;
    StringItemReader inline_;
};

void ReadCells(XlsxWorkbook& book, const SheetEntry& sheet, const SheetScan& scan, const SheetGeometry& geometry,
               const std::string& path, XlsxCaptureResult& result, CaptureSink& sink) {
    const RangeRef& range = result.range;
    const MergeLayout merges(scan.merges, range, geometry, sheet.name);

    CaptureSource source;
    const std::u8string fileName = std::filesystem::path(std::u8string(path.begin(), path.end())).filename().u8string();
    source.workbook = ToValidUtf8(std::string(fileName.begin(), fileName.end()));  // any bytes on Linux
    source.sheet = sheet.name;
    source.firstRow = range.first.row;
    source.firstCol = range.first.col;
    sink.Begin(static_cast<int32_t>(range.Rows()), static_cast<int32_t>(range.Cols()), source);

    RowAssembler rows(range, scan.rowsInOrder, book, geometry, merges, sink);
    CaptureNotes notes;
    CellsHandler handler(sheet, range, scan.rowsInOrder, book, rows, notes);
    StreamPart(book.Archive(), sheet.part, handler);
    rows.Finish();

    if (notes.formulasWithoutResult) {
        result.warnings.push_back(std::to_string(notes.formulasWithoutResult) +
                                  " formula cell(s) have no saved result and are left empty, the first at " +
                                  notes.firstFormula +
                                  "; open and save the workbook in a spreadsheet program to store results");
    }
    if (notes.unsupportedFormats) {
        result.warnings.push_back(std::to_string(notes.unsupportedFormats) +
                                  " number(s) have a format this program cannot show exactly and appear in the General "
                                  "format, the first at " +
                                  notes.firstUnsupported);
    }
    merges.ThrowIfOverlapping();
    sink.End();
}

}  // namespace

XlsxCaptureResult CaptureXlsx(const std::string& path, const XlsxCaptureOptions& options, CaptureSink& sink) {
    const std::optional<RangeRef> wantedRange = WantedRange(options);
    XlsxWorkbook book(path, options.limits);
    const SheetEntry& sheet = OpenWorksheet(book, options.sheet);
    SheetScan scan = ScanRows(book.Archive(), sheet, !wantedRange);
    XlsxCaptureResult result;
    result.sheet = sheet.name;
    ChooseRange(scan, wantedRange, options, sheet, result);
    CheckRangeLimits(result.range, options);
    const SheetGeometry geometry(book, scan);
    ReadCells(book, sheet, scan, geometry, path, result, sink);
    return result;
}

XlsxCaptureResult CaptureXlsx(const std::string& path, const XlsxCaptureOptions& options) {
    Capture capture;
    CaptureTableSink sink(capture);
    XlsxCaptureResult result = CaptureXlsx(path, options, sink);
    result.capture = std::move(capture);
    return result;
}

}  // namespace tabulon::xlsx

namespace tabulon::xlsx {

XlsxDefaultRange DefaultXlsxRange(XlsxWorkbook& book, const std::string& sheetName,
                                  const XlsxCaptureOptions& options) {
    const SheetEntry& sheet = OpenWorksheet(book, sheetName);
    SheetScan scan = ScanRows(book.Archive(), sheet, true);
    XlsxCaptureResult result;
    ChooseRange(scan, std::nullopt, options, sheet, result);
    return {result.range, result.rangeOrigin};
}

}  // namespace tabulon::xlsx
