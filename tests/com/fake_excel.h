// A stand-in for Excel's automation: an IDispatch object model with only the
// members a capture reads, answering from a workbook described in JSON. It logs
// every call it receives, so tests can check what was read and in which order.
#pragma once

#include <windows.h>
// The OLE headers need windows.h first.
#include <oleauto.h>

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace tabulon::fake {

struct Rect {
    int32_t row1 = 1, col1 = 1, row2 = 1, col2 = 1;
    bool Contains(int32_t row, int32_t col) const { return row >= row1 && row <= row2 && col >= col1 && col <= col2; }
};

// "E3" or "B2:C3", with or without "$".
bool ParseA1(const std::string& address, Rect& rect);

struct CellSpec {
    enum class Kind { Empty, Number, Text, Boolean, Error } kind = Kind::Empty;
    double number = 0;
    std::wstring text;  // the value of a text cell
    bool boolean = false;
    int32_t error = 0;  // 2042 for #N/A
    bool hasDisplay = false;
    std::wstring display;   // Range.Text when it differs from the value
    int32_t alignment = 1;  // xlGeneral
    double fontSize = 11;
    std::map<int32_t, int32_t> borders;  // border index -> line style; others -4142
    std::map<int32_t, int32_t> weights;  // border index -> weight; others 2 (thin)
    bool wrapText = false;
    bool shrinkToFit = false;
    int32_t verticalAlignment = -4107;  // xlBottom
    int32_t interiorPattern = -4142;    // xlNone
    int32_t interiorColor = 0xFFFFFF;   // 0xBBGGRR; white, as Excel reports an unfilled cell
};

struct Workbook {
    std::wstring workbookName = L"Book1.xlsx";
    std::wstring sheetName = L"Sheet1";
    bool chartSheet = false;     // the active sheet is a chart
    bool noWorkbook = false;     // ActiveWorkbook is Nothing
    bool shapeSelected = false;  // the selection is a shape, not cells
    Rect selection;
    double defaultWidth = 8.43, defaultHeight = 15;
    std::map<int32_t, double> widths;   // column -> characters
    std::map<int32_t, double> heights;  // row -> points
    std::vector<Rect> merges;
    std::map<std::pair<int32_t, int32_t>, CellSpec> cells;  // (row, col)

    const CellSpec& Cell(int32_t row, int32_t col) const;
    double Width(int32_t col) const;
    double Height(int32_t row) const;
    double LeftPoints(int32_t col) const;  // of the column's left edge
    double TopPoints(int32_t row) const;
    Rect MergeArea(int32_t row, int32_t col) const;
    bool Merged(int32_t row, int32_t col) const;
};

// Reads the book named name from the fixture file; throws std::runtime_error.
Workbook LoadWorkbook(const std::string& fixturePath, const std::string& name);

// A book of rows x cols cells selected from A1, of numbers and texts with some
// borders, for timing captures.
Workbook GeneratedWorkbook(int32_t rows, int32_t cols);

// What the fake received and what it holds; shared by all its objects.
struct FakeExcelState {
    Workbook book;
    std::mutex mutex;
    bool logging = true;
    std::vector<std::string> log;  // "Range.ColumnWidth", "Borders.Item(8)", "GetIDsOfNames(Range)" ...
    std::atomic<long> calls{0};    // Invoke and GetIDsOfNames
    std::atomic<long> liveObjects{0};
    std::vector<bool> screenUpdating;
    // After this many calls every call fails as if Excel had gone away; -1 never.
    long disconnectAfter = -1;
    // Rejects every call for this long from the first call it receives, as
    // Excel does while a cell is being edited; rejected calls are not counted.
    long rejectForMs = 0;
    std::atomic<long long> rejectFrom{-1};
    std::atomic<long> rejected{0};

    void Record(const std::string& entry);
    std::vector<std::string> TakeLog();
};

// A new Application object (one reference, owned by the caller).
IDispatch* NewFakeApplication(std::shared_ptr<FakeExcelState> state);

}  // namespace tabulon::fake
