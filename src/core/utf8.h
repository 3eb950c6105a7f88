// UTF-8 decoding shared by the encoders and text tools.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tabulon {

inline constexpr char32_t kInvalidCodePoint = 0xFFFFFFFF;

// Decodes the code point at text[pos] and advances pos. A malformed sequence
// yields kInvalidCodePoint and advances by one byte.
char32_t DecodeUtf8(std::string_view text, size_t& pos);

// How many bytes the sequence led by this byte takes; 1 for a stray byte.
size_t Utf8SequenceLength(unsigned char lead);

void AppendUtf8(std::string& out, char32_t cp);

// True when text is well-formed UTF-8: no overlong forms, surrogates or code
// points past U+10FFFF, as JSON writers and readers demand.
bool IsValidUtf8(std::string_view text);

// text with every byte that DecodeUtf8 finds malformed replaced by U+FFFD.
std::string ToValidUtf8(std::string_view text);

}  // namespace tabulon
