// Whole-file reads and atomic replacement, through the system services the
// program handed to the core (system_services.h). Paths are UTF-8.
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace tabulon {

class AtomicFileSink;

// Reads a file; throws TabulonError naming the path and the system's reason.
std::string ReadWholeFile(const std::string& path);

// Writes a file beside path under a temporary name and, on Commit(), flushes it
// to disk and renames it over path. Until then any previous file at path stays
// as it was; a writer destroyed without Commit() removes its temporary file.
// Failures throw TabulonError naming path and the system's reason.
class AtomicFileWriter {
public:
    explicit AtomicFileWriter(const std::string& path);
    ~AtomicFileWriter();
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    void Write(std::string_view data);
    void Commit();

private:
    std::unique_ptr<AtomicFileSink> sink_;
};

// The whole of data, through an AtomicFileWriter.
void AtomicWriteFile(const std::string& path, std::string_view data);

}  // namespace tabulon
