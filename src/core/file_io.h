// Whole-file reads and atomic replacement, through the system services the
// program handed to the core (system_services.h). Paths are UTF-8.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "core/errors.h"

namespace tabulon {

// The most ReadWholeFile reads unless told otherwise: far beyond any capture a
// table of cells gives, yet short of exhausting memory.
inline constexpr uint64_t kMaxInputBytes = 1ull << 30;

// A regular file or a pipe open for reading, a piece at a time (OpenInputFile).
class InputFile {
public:
    virtual ~InputFile() = default;
    // Fills buffer with up to size bytes; returns how many, 0 at the end.
    // Throws FileError naming the path when the system fails, and when the
    // input runs past the most the file was opened for.
    virtual size_t Read(char* buffer, size_t size) = 0;
    // The size of a regular file when it was opened; 0 for a pipe.
    virtual uint64_t KnownSize() const = 0;
};

// Opens a regular file or a pipe. Anything else (a folder, a device, a socket)
// is refused before it is read, and so is more than maxBytes of data, so that
// "/dev/zero" or an endless pipe cannot eat the memory. Throws FileError naming
// the path and the reason.
std::unique_ptr<InputFile> OpenInputFile(const std::string& path, uint64_t maxBytes = kMaxInputBytes);

// The whole of what OpenInputFile opens, with the same refusals.
std::string ReadWholeFile(const std::string& path, uint64_t maxBytes = kMaxInputBytes);

// What an AtomicFileWriter does with a file that is marked read-only.
enum class ReadOnlyFiles : uint8_t { Refuse, Replace };

// The file to be replaced is read-only, and the writer was not told to replace
// such files. The command line offers the choice; the message does not.
class ReadOnlyFileError : public FileError {
public:
    using FileError::FileError;
};

class AtomicFileSink;

// Writes a file beside path under a temporary name and, on Commit(), flushes it
// to disk and renames it over path. Until then any previous file at path stays
// as it was; a writer destroyed without Commit() removes its temporary file.
// Only a regular file is ever replaced: a folder, a device, a pipe, a socket or
// a symbolic link at path is refused at construction, and so is a read-only
// file unless readOnly says Replace. The new file keeps the replaced file's
// permissions (and, where the system lets us, its owner). Failures throw
// FileError naming path and the reason.
class AtomicFileWriter {
public:
    explicit AtomicFileWriter(const std::string& path, ReadOnlyFiles readOnly = ReadOnlyFiles::Refuse);
    ~AtomicFileWriter();
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    void Write(std::string_view data);
    void Commit();

private:
    std::unique_ptr<AtomicFileSink> sink_;
};

// The whole of data, through an AtomicFileWriter.
void AtomicWriteFile(const std::string& path, std::string_view data, ReadOnlyFiles readOnly = ReadOnlyFiles::Refuse);

// Throws what an AtomicFileWriter for path would throw at construction, without
// writing anything: lets a command refuse its output before the work is done.
void CheckReplaceable(const std::string& path, ReadOnlyFiles readOnly = ReadOnlyFiles::Refuse);

// "1 GB", "16 MB", "300 bytes": a limit for messages.
std::string ByteSizeText(uint64_t bytes);

}  // namespace tabulon
