// Whole-file reads and atomic replacement, implemented by the platform layer.
// Paths are UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace tabulon {

// Reads a file; throws TabulonError naming the path and the system's reason.
std::string ReadWholeFile(const std::string& path);

// Writes data to a temporary file beside path, flushes it to disk and renames it
// over path. On failure the temporary file is removed, any previous file at path
// is left intact, and TabulonError names the path and the system's reason.
void AtomicWriteFile(const std::string& path, std::string_view data);

}  // namespace tabulon
