// What the core needs from the operating system, handed to it by the program:
// files, code page 932 and the locale's width mapping. The core names no
// operating system and links no platform code; the platform layer has this
// system's set (platform/platform_services.h), and every program hands it over
// before it reads or writes a file or converts a text.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "core/file_io.h"
#include "core/width_conversion.h"

namespace tabulon {

// A file being written under a temporary name (see AtomicFileWriter in file_io.h).
class AtomicFileSink {
public:
    virtual ~AtomicFileSink() = default;  // without Commit, the temporary file goes
    virtual void Write(std::string_view data) = 0;
    virtual void Commit() = 0;
};

struct SystemServices {
    // file_io.h
    std::unique_ptr<InputFile> (*openInputFile)(const std::string& path, uint64_t maxBytes) = nullptr;
    std::unique_ptr<AtomicFileSink> (*openAtomicFile)(const std::string& path, ReadOnlyFiles readOnly) = nullptr;
    void (*checkReplaceable)(const std::string& path, ReadOnlyFiles readOnly) = nullptr;
    // cp932.h and cp932_convert.h
    bool (*cp932EncodeCodePoint)(char32_t cp, char out[2], int& len) = nullptr;
    std::string (*utf8ToCp932BestFit)(std::string_view utf8) = nullptr;
    std::string (*cp932ToUtf8)(std::string_view cp932) = nullptr;
    // width_conversion.h: the system's own width mapping; nullptr for the portable one.
    WidthMapper mapWidth = nullptr;
};

// Hands the services to the core; throws std::invalid_argument when one that
// must be there is missing.
void SetSystemServices(const SystemServices& services);
// The services handed over. Throws std::logic_error when the program handed
// none: a fault of the program, never of its input.
const SystemServices& CurrentSystemServices();

}  // namespace tabulon
