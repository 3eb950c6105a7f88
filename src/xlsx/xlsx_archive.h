// The ZIP container of a workbook, read with limits so that a hostile file
// (a "ZIP bomb") cannot exhaust memory.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <string_view>

namespace tabulon::xlsx {

struct ArchiveLimits {
    uint64_t maxEntryBytes = 256ull << 20;  // one part, inflated
    uint64_t maxTotalBytes = 512ull << 20;  // all parts read, inflated
    uint64_t maxRatio = 250;                // inflated / compressed, checked past ratioFloorBytes
    uint64_t ratioFloorBytes = 8ull << 20;
};

class XlsxArchive {
public:
    // Opens the file; throws TabulonError when it cannot be read, is not a ZIP
    // archive or its directory is damaged. path is UTF-8.
    explicit XlsxArchive(const std::string& path, ArchiveLimits limits = {});
    ~XlsxArchive();
    XlsxArchive(const XlsxArchive&) = delete;
    XlsxArchive& operator=(const XlsxArchive&) = delete;

    // The inflated part (names compare without regard to case, as in packages),
    // or nothing when the archive has no such part. Throws TabulonError when the
    // part is damaged, encrypted or larger than the limits allow.
    std::optional<std::string> Read(const std::string& name);

    // As Read, but a missing part is an error naming it.
    std::string ReadRequired(const std::string& name);

    // Inflates the part a piece at a time into consume, under the same limits,
    // so that a large part never sits in memory whole. Returns false when the
    // archive has no such part. A part read again does not count twice towards
    // the limit of all parts.
    bool Stream(const std::string& name, const std::function<void(std::string_view)>& consume);

private:
    void* zip_ = nullptr;
    ArchiveLimits limits_;
    uint64_t total_ = 0;
    std::set<std::string> counted_;  // parts already counted towards total_
};

}  // namespace tabulon::xlsx
