// Opens a workbook's ZIP archive for minizip by its UTF-8 path. minizip's own
// unzOpen64 hands the path to the C library's fopen, which on Windows reads it
// in the ANSI code page; the Windows variant opens it as UTF-16 instead.
#pragma once

#include <minizip/unzip.h>

#include <string>

namespace tabulon::xlsx {

// The open archive, or nullptr when its directory cannot be read.
unzFile OpenZipArchive(const std::string& path);

}  // namespace tabulon::xlsx
