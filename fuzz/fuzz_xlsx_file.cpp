// A workbook file as it comes: ZIP container, parts and all.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "xlsx_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string& path = tabulon::fuzz::ScratchPath("file");
    tabulon::fuzz::WriteScratch(path, std::string_view(reinterpret_cast<const char*>(data), size));
    tabulon::fuzz::CaptureAndCheck(path);
    return 0;
}
