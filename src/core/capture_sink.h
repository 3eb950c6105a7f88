// Captures handed on a row at a time, as a reader produces them.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/capture_file.h"
#include "core/file_io.h"

namespace tabulon {

// Receives a capture row by row, top to bottom, so that a large capture need
// not be held whole.
class CaptureSink {
public:
    virtual ~CaptureSink() = default;
    // Before the first row: the size of the range and where it came from.
    virtual void Begin(int32_t rows, int32_t cols, const CaptureSource& source) = 0;
    // The next row's records, left to right; each working text is the record's str.
    virtual void Row(const std::vector<TXlsxCellAttr>& cells) = 0;
    // After the last row.
    virtual void End() = 0;
};

// Collects the rows into a Capture: the table, its working texts with the column
// letters and row numbers of the source in the headers, and the source.
class CaptureTableSink : public CaptureSink {
public:
    explicit CaptureTableSink(Capture& capture) : capture_(capture) {}
    void Begin(int32_t rows, int32_t cols, const CaptureSource& source) override;
    void Row(const std::vector<TXlsxCellAttr>& cells) override;
    void End() override {}

private:
    Capture& capture_;
    int32_t row_ = 0;
};

// Writes the capture file as the rows arrive: a chunk at a time into a
// temporary file beside path, which replaces path on Commit(). A sink dropped
// without Commit() leaves any file at path as it was, and no temporary file.
class CaptureFileSink : public CaptureSink {
public:
    CaptureFileSink(std::string path, std::optional<ScaleSettings> settings,
                    ReadOnlyFiles readOnly = ReadOnlyFiles::Refuse);
    void Begin(int32_t rows, int32_t cols, const CaptureSource& source) override;
    void Row(const std::vector<TXlsxCellAttr>& cells) override;
    void End() override;
    void Commit();

private:
    void Flush();

    std::string path_;
    std::optional<ScaleSettings> settings_;
    ReadOnlyFiles readOnly_;
    std::string buffer_;
    std::optional<CaptureFileWriter> writer_;
    std::optional<AtomicFileWriter> file_;
};

}  // namespace tabulon
