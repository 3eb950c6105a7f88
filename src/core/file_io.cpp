#include "core/file_io.h"

#include "core/system_services.h"

namespace tabulon {

std::unique_ptr<InputFile> OpenInputFile(const std::string& path, uint64_t maxBytes) {
    return CurrentSystemServices().openInputFile(path, maxBytes);
}

std::string ReadWholeFile(const std::string& path, uint64_t maxBytes) {
    const std::unique_ptr<InputFile> file = OpenInputFile(path, maxBytes);
    std::string data;
    if (file->KnownSize() > 0) data.reserve(static_cast<size_t>(file->KnownSize()));
    char buffer[65536];
    while (const size_t n = file->Read(buffer, sizeof buffer)) data.append(buffer, n);
    return data;
}

void CheckReplaceable(const std::string& path, ReadOnlyFiles readOnly) {
    CurrentSystemServices().checkReplaceable(path, readOnly);
}

AtomicFileWriter::AtomicFileWriter(const std::string& path, ReadOnlyFiles readOnly)
    : sink_(CurrentSystemServices().openAtomicFile(path, readOnly)) {}

AtomicFileWriter::~AtomicFileWriter() = default;

void AtomicFileWriter::Write(std::string_view data) {
    sink_->Write(data);
}

void AtomicFileWriter::Commit() {
    sink_->Commit();
}

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
