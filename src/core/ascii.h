// Case in ASCII letters only. Keys, names and codes that a file or a user types
// match whatever their case; other letters are compared as they stand, so the
// result never depends on the process's locale.
#pragma once

#include <concepts>
#include <cstddef>
#include <string>
#include <string_view>

namespace tabulon {

template <std::integral Char>
constexpr Char AsciiLower(Char c) {
    return c >= Char('A') && c <= Char('Z') ? static_cast<Char>(c - Char('A') + Char('a')) : c;
}

template <std::integral Char>
constexpr Char AsciiUpper(Char c) {
    return c >= Char('a') && c <= Char('z') ? static_cast<Char>(c - Char('a') + Char('A')) : c;
}

inline std::string AsciiLower(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = AsciiLower(c);
    return out;
}

inline bool AsciiStartsWithIgnoreCase(std::string_view text, std::string_view prefix) {
    if (prefix.size() > text.size()) return false;
    for (size_t k = 0; k < prefix.size(); ++k) {
        if (AsciiLower(text[k]) != AsciiLower(prefix[k])) return false;
    }
    return true;
}

inline bool AsciiEqualsIgnoreCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && AsciiStartsWithIgnoreCase(a, b);
}

}  // namespace tabulon
