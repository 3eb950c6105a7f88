// The settings file through the Windows profile-string API.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tabulon {

// GetPrivateProfileStringW; nothing when the key (or the section) is missing.
std::optional<std::string> ReadProfileValue(const std::string& iniPath, std::string_view section, std::string_view key);

// WritePrivateProfileStringW; false when the file cannot be written.
bool WriteProfileValue(const std::string& iniPath, std::string_view section, std::string_view key,
                       std::string_view value);

}  // namespace tabulon
