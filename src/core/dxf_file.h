// A DXF file written as the drawing is made.
#pragma once

#include <optional>
#include <string>

#include "core/cp932.h"
#include "core/file_io.h"
#include "core/r12_writer.h"

namespace tabulon {

// Items go to a temporary file beside path a chunk at a time, encoded in code
// page 932, so the drawing never sits in memory whole. Commit() writes the rest
// and puts the file in place of path; until then any file at path stays as it
// was, and an output dropped without Commit() leaves nothing behind. The
// temporary file is made when the first chunk is written, so a drawing refused
// before its first item touches nothing. Failures throw TabulonError naming path.
class DxfFileOutput : public DxfOutput {
public:
    explicit DxfFileOutput(std::string path, ReadOnlyFiles readOnly = ReadOnlyFiles::Refuse);

    // Drops the items not yet written; the file must not have been started.
    void Clear() override;
    void Commit();

private:
    void ItemEnded() override;
    void Flush();

    std::string path_;
    ReadOnlyFiles readOnly_;
    std::optional<AtomicFileWriter> file_;
    DxfTextEncoder encoder_;
    std::string encoded_;
};

// Encodes the items in code page 932 and replaces the file at path atomically.
void SaveDxfLines(const DxfLines& lines, const std::string& path, ReadOnlyFiles readOnly = ReadOnlyFiles::Refuse);

}  // namespace tabulon
