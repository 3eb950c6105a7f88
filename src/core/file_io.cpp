#include "core/file_io.h"

namespace tabulon {

void AtomicWriteFile(const std::string& path, std::string_view data) {
    AtomicFileWriter writer(path);
    writer.Write(data);
    writer.Commit();
}

}  // namespace tabulon
