#include "core/cell_table.h"

#include <stdexcept>

namespace tabulon {

void CellTable::Replace(int32_t rows, int32_t cols) {
    if (rows < 0 || cols < 0) throw std::invalid_argument("negative table size");
    cells.assign(static_cast<size_t>(rows) * static_cast<size_t>(cols), TXlsxCellAttr{});
    TableRows = rows;
    TableCols = cols;
}

void CellTable::Release() {
    cells.clear();
    cells.shrink_to_fit();
    TableCols = 0;
    TableRows = 0;
}

void GridTexts::Resize(int32_t cols, int32_t rows) {
    if (rows < 0 || cols < 0) throw std::invalid_argument("negative grid size");
    cols_ = cols;
    rows_ = rows;
    texts_.assign(static_cast<size_t>(cols) * static_cast<size_t>(rows), std::string());
}

const std::string& GridTexts::Get(int32_t col, int32_t row) const {
    static const std::string empty;
    if (col < 0 || row < 0 || col >= cols_ || row >= rows_) return empty;
    return texts_[static_cast<size_t>(row) * static_cast<size_t>(cols_) + static_cast<size_t>(col)];
}

void GridTexts::Set(int32_t col, int32_t row, std::string text) {
    if (col < 0 || row < 0 || col >= cols_ || row >= rows_) throw std::out_of_range("grid cell out of range");
    texts_[static_cast<size_t>(row) * static_cast<size_t>(cols_) + static_cast<size_t>(col)] = std::move(text);
}

std::string ColumnLetters(int32_t column) {
    std::string letters;
    while (column > 0) {
        --column;
        letters.insert(letters.begin(), static_cast<char>('A' + column % 26));
        column /= 26;
    }
    return letters;
}

}  // namespace tabulon
