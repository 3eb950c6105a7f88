// The fixed conversion tables of the text tools. They work on the code page 932
// form of a text, so a character that code page 932 lacks is replaced on the way
// in (by Windows' best fit, else '?') and does not come back.
#pragma once

#include <string>
#include <string_view>

namespace tabulon {

// UTF-8 in, UTF-8 out.
std::string FullDigitsToHalf(std::string_view text);   // ０-９ to 0-9
std::string FullLettersToHalf(std::string_view text);  // Ａ-Ｚ, ａ-ｚ to A-Z, a-z
std::string FullSymbolsToHalf(std::string_view text);  // 29 symbols; ｜ becomes 'l', ￥ becomes '\'
std::string HalfKanaToFull(std::string_view text);     // ｱ to ア, ｶﾞ to ガ, ﾊﾟ to パ

// The same conversions on code page 932 bytes.
std::string Cp932FullDigitsToHalf(std::string_view cp932);
std::string Cp932FullLettersToHalf(std::string_view cp932);
std::string Cp932FullSymbolsToHalf(std::string_view cp932);
std::string Cp932HalfKanaToFull(std::string_view cp932);

// True when every character is A-Z, a-z, '.', ',' or '-'; true for "".
bool IsAsciiLetterText(std::string_view text);

}  // namespace tabulon
