#include "core/file_io.h"

namespace tabulon {

void AtomicWriteFile(const std::string& path, std::string_view data, ReadOnlyFiles readOnly) {
    AtomicFileWriter writer(path, readOnly);
    writer.Write(data);
    writer.Commit();
}

std::string ByteSizeText(uint64_t bytes) {
    if (bytes >= (1ull << 30) && bytes % (1ull << 30) == 0) return std::to_string(bytes >> 30) + " GB";
    if (bytes >= (1ull << 20) && bytes % (1ull << 20) == 0) return std::to_string(bytes >> 20) + " MB";
    if (bytes >= (1ull << 10) && bytes % (1ull << 10) == 0) return std::to_string(bytes >> 10) + " KB";
    return std::to_string(bytes) + (bytes == 1 ? " byte" : " bytes");
}

}  // namespace tabulon
