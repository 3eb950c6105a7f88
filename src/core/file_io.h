// Whole-file reads and atomic replacement, implemented by the platform layer.
// Paths are UTF-8.
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace tabulon {

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
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// The whole of data, through an AtomicFileWriter.
void AtomicWriteFile(const std::string& path, std::string_view data);

}  // namespace tabulon
