#include "core/file_io.h"

#include "core/system_services.h"

namespace tabulon {

AtomicFileWriter::AtomicFileWriter(const std::string& path) : sink_(CurrentSystemServices().openAtomicFile(path)) {}

AtomicFileWriter::~AtomicFileWriter() = default;

void AtomicFileWriter::Write(std::string_view data) {
    sink_->Write(data);
}

void AtomicFileWriter::Commit() {
    sink_->Commit();
}

void AtomicWriteFile(const std::string& path, std::string_view data) {
    AtomicFileWriter writer(path);
    writer.Write(data);
    writer.Commit();
}

}  // namespace tabulon
