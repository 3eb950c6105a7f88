// Half-width and full-width forms of characters, as the platform maps them.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tabulon {

enum class WidthForm { Full, Half };

// Every character that has a full-width (half-width) form becomes that form:
// ASCII and the ideographic space, katakana with their voiced and semi-voiced
// marks (joined into one character on the way to full width, split on the way
// to half width), Japanese punctuation, and the other half-width forms. The
// mapping is the system's own where the program's system services have one
// (LCMapStringW for the user's default locale on Windows), the portable mapping
// below otherwise. When the system's mapping fails, the text comes back
// unchanged rather than empty, so a cell never loses its text.
std::string ToFullWidth(std::string_view text);
std::string ToHalfWidth(std::string_view text);

// The portable mapping, built to give Windows' results for Japanese text.
std::string PortableToFullWidth(std::string_view text);
std::string PortableToHalfWidth(std::string_view text);

// A width mapping that may fail (nullopt).
using WidthMapper = std::optional<std::string> (*)(std::string_view text, WidthForm form);

// text mapped by mapper, or text itself when the mapping fails.
std::string MapWidth(std::string_view text, WidthForm form, WidthMapper mapper);

}  // namespace tabulon
