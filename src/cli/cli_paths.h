// File names on the command line are UTF-8; std::filesystem wants them tagged so
// on Windows, where a plain string would be read in the ANSI code page.
#pragma once

#include <filesystem>
#include <string>
#include <system_error>

namespace tabulon {

inline std::filesystem::path PathFromUtf8(const std::string& text) {
    return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

inline std::string Utf8FromPath(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

// True when `written` exists and is the same file as `read`: an output that
// would overwrite its own input.
inline bool SameFile(const std::filesystem::path& read, const std::filesystem::path& written) {
    std::error_code ec;
    return std::filesystem::exists(written, ec) && std::filesystem::equivalent(read, written, ec);
}

}  // namespace tabulon
