// This system's files, for the core's file_io.h: whole-file reads and atomic
// replacement (file_io_posix.cpp, file_io_win.cpp). Paths are UTF-8; failures
// throw FileError naming the path and the system's reason.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "core/system_services.h"

namespace tabulon::platform {

std::unique_ptr<InputFile> OpenInputFile(const std::string& path, uint64_t maxBytes);
void CheckReplaceable(const std::string& path, ReadOnlyFiles readOnly);

// The temporary file beside path, renamed over it by Commit (see
// tabulon::AtomicFileWriter).
class AtomicFileWriter final : public AtomicFileSink {
public:
    explicit AtomicFileWriter(const std::string& path, ReadOnlyFiles readOnly);
    ~AtomicFileWriter() override;
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    void Write(std::string_view data) override;
    void Commit() override;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace tabulon::platform
