#include "core/capture_sink.h"

namespace tabulon {

namespace {

// Large enough that each write is cheap, small enough to stay in the cache.
constexpr size_t kChunk = 1 << 18;

}  // namespace

void CaptureTableSink::Begin(int32_t rows, int32_t cols, const CaptureSource& source) {
    capture_.table.Replace(rows, cols);
    capture_.texts.Resize(cols + 1, rows + 1);
    if (source.firstCol) {
        for (int32_t c = 1; c <= cols; ++c) capture_.texts.Set(c, 0, ColumnLetters(*source.firstCol + c - 1));
    }
    if (source.firstRow) {
        for (int32_t r = 1; r <= rows; ++r) capture_.texts.Set(0, r, std::to_string(*source.firstRow + r - 1));
    }
    capture_.source = source;
    row_ = 0;
}

void CaptureTableSink::Row(const std::vector<TXlsxCellAttr>& cells) {
    ++row_;
    for (int32_t c = 1; c <= capture_.table.TableCols; ++c) {
        const TXlsxCellAttr& cell = cells[static_cast<size_t>(c - 1)];
        capture_.table.At(row_, c) = cell;
        capture_.texts.Set(c, row_, cell.str);
    }
}

CaptureFileSink::CaptureFileSink(std::string path, std::optional<ScaleSettings> settings, ReadOnlyFiles readOnly)
    : path_(std::move(path)), settings_(std::move(settings)), readOnly_(readOnly) {}

void CaptureFileSink::Begin(int32_t rows, int32_t cols, const CaptureSource& source) {
    buffer_.reserve(kChunk + (kChunk >> 2));
    writer_.emplace(buffer_, rows, cols, settings_, source);
}

void CaptureFileSink::Row(const std::vector<TXlsxCellAttr>& cells) {
    for (const TXlsxCellAttr& cell : cells) writer_->AddCell(cell, cell.str);
    if (buffer_.size() >= kChunk) Flush();
}

void CaptureFileSink::End() {
    writer_->Finish();
}

void CaptureFileSink::Flush() {
    // The file is made once there is something to write, so a capture refused
    // while its first rows are read leaves nothing behind.
    if (!file_) file_.emplace(path_, readOnly_);
    file_->Write(buffer_);
    buffer_.clear();
}

void CaptureFileSink::Commit() {
    Flush();
    file_->Commit();
}

}  // namespace tabulon
