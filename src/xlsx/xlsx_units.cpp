#include "xlsx/xlsx_units.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "core/ascii.h"
#include "core/cell_table.h"

namespace tabulon::xlsx {

double RoundHalfEven(double value) {
    if (!std::isfinite(value)) return 0;
    double floor = std::floor(value);
    double diff = value - floor;
    if (diff > 0.5) return floor + 1;
    if (diff < 0.5) return floor;
    return std::fmod(floor, 2.0) == 0 ? floor : floor + 1;
}

uint16_t Low16(double roundedValue) {
    if (!std::isfinite(roundedValue)) return 0;
    int64_t whole = static_cast<int64_t>(std::clamp(roundedValue, -9.0e15, 9.0e15));
    return static_cast<uint16_t>(static_cast<uint64_t>(whole) & 0xFFFFu);
}

int MaxDigitWidth(std::string_view fontName, double fontSize) {
    if (!(fontSize > 0) || !std::isfinite(fontSize)) fontSize = 11;
    const std::string name = AsciiLower(fontName);
    // Measured digit widths of the fonts spreadsheets use as their standard font,
    // at the sizes they come with. Others are estimated from the em size: a digit
    // is about half an em in the fonts in use.
    struct Known {
        const char* name;
        double size;
        int width;
    };
    static const Known known[] = {
        {"calibri", 11, 7},    {"calibri", 10, 7},         {"calibri", 12, 8},         {"arial", 10, 7},
        {"arial", 11, 8},      {"arial", 12, 9},           {"ms pgothic", 11, 8},      {"ＭＳ Ｐゴシック", 11, 8},
        {"ms gothic", 11, 8},  {"ＭＳ ゴシック", 11, 8},   {"yu gothic", 11, 8},       {"游ゴシック", 11, 8},
        {"meiryo", 11, 8},     {"メイリオ", 11, 8},        {"times new roman", 10, 7}, {"aptos narrow", 11, 7},
        {"ms pgothic", 10, 7}, {"ＭＳ Ｐゴシック", 10, 7},
    };
    for (const Known& k : known) {
        if (name == k.name && std::fabs(fontSize - k.size) < 0.01) return k.width;
    }
    const int estimate = static_cast<int>(std::lround(fontSize * 96.0 / 72.0 * 0.5));
    return std::max(1, estimate);
}

int ColumnPixelsFromStoredWidth(double storedWidth, int mdw) {
    if (!(storedWidth > 0) || !std::isfinite(storedWidth)) return 0;
    storedWidth = std::min(storedWidth, 255.0 + 1.0);
    // The stored width counts 256ths of a digit; the spreadsheet adds half a pixel's
    // worth before truncating to whole pixels.
    return static_cast<int>(std::trunc((storedWidth * 256.0 + std::trunc(128.0 / mdw)) / 256.0 * mdw));
}

int ColumnPixelsFromBaseWidth(double baseColWidth, int mdw) {
    if (!(baseColWidth >= 0) || !std::isfinite(baseColWidth)) baseColWidth = 8;
    baseColWidth = std::min(baseColWidth, 255.0);
    // Base width in digits, plus 5 pixels of padding, rounded up to a multiple of 8.
    const double px = std::trunc(baseColWidth * mdw + 5);
    return static_cast<int>(std::ceil(px / 8.0) * 8.0);
}

double ColumnWidthFromPixels(int px, int mdw) {
    if (px <= 0) return 0;
    // Narrow columns, one digit and less, share the padding with the digit.
    double chars = px <= mdw + 5 ? static_cast<double>(px) / (mdw + 5) : static_cast<double>(px - 5) / mdw;
    return std::trunc(chars * 100.0 + 0.5) / 100.0;
}

bool ParseCellRefFast(const char* text, CellRef& ref) {
    int32_t col = 0;
    const char* p = text;
    while (*p == '$') ++p;
    while (true) {
        const char ch = AsciiUpper(*p);
        if (ch < 'A' || ch > 'Z') break;
        col = col * 26 + (ch - 'A' + 1);
        if (col > kMaxSheetCols) return false;
        ++p;
    }
    if (col == 0) return false;
    if (*p == '$') ++p;
    int32_t row = 0;
    const char* digits = p;
    while (*p >= '0' && *p <= '9') {
        row = row * 10 + (*p - '0');
        if (row > kMaxSheetRows) return false;
        ++p;
    }
    if (p == digits || row == 0 || *p != '\0') return false;
    ref.row = row;
    ref.col = col;
    return true;
}

std::optional<CellRef> ParseCellRef(std::string_view text) {
    if (text.empty() || text.size() > 16) return std::nullopt;
    char buffer[17];
    std::memcpy(buffer, text.data(), text.size());
    buffer[text.size()] = '\0';
    CellRef ref;
    if (!ParseCellRefFast(buffer, ref)) return std::nullopt;
    return ref;
}

std::optional<RangeRef> ParseRangeRef(std::string_view text) {
    const size_t colon = text.find(':');
    auto a = ParseCellRef(text.substr(0, colon));
    if (!a) return std::nullopt;
    CellRef b = *a;
    if (colon != std::string_view::npos) {
        auto second = ParseCellRef(text.substr(colon + 1));
        if (!second) return std::nullopt;
        b = *second;
    }
    RangeRef range;
    range.first = {std::min(a->row, b.row), std::min(a->col, b.col)};
    range.last = {std::max(a->row, b.row), std::max(a->col, b.col)};
    return range;
}

std::string CellName(int32_t row, int32_t col) {
    return ColumnLetters(col) + std::to_string(row);
}

std::string RangeName(const RangeRef& range) {
    if (range.IsSingleCell()) return CellName(range.first.row, range.first.col);
    return CellName(range.first.row, range.first.col) + ":" + CellName(range.last.row, range.last.col);
}

}  // namespace tabulon::xlsx
