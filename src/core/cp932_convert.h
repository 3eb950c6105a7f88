// Whole texts to and from code page 932 the way Windows converts them, for the
// text tools that work on the code page 932 form of a cell text. (The DXF file
// has its own, lossless encoder in cp932.h.)
#pragma once

#include <string>
#include <string_view>

namespace tabulon {

// Through the program's system services (system_services.h: WideCharToMultiByte
// (932, 0) on Windows; iconv "CP932" plus Windows' best-fit table on POSIX). Encodes UTF-8 text as
// Windows does: a character that code page 932 lacks becomes its best-fit
// character where Windows has one (U+00A5 -> 0x5C, U+00E9 -> 'e', U+3094 ->
// 0x8394), and '?' otherwise. A character above U+FFFF gives "??", one '?' per
// UTF-16 unit, and a malformed UTF-8 byte gives '?'. Windows' single-byte
// extras round-trip: U+0080 <-> 0x80, U+F8F0 <-> 0xA0, U+F8F1..U+F8F3 <-> 0xFD..0xFF.
std::string Utf8ToCp932BestFit(std::string_view utf8);

// Decodes code page 932 bytes to UTF-8 as MultiByteToWideChar(932, 0) does. A
// byte pair that code page 932 does not define, or a lead byte at the end of
// the text, becomes U+30FB (Windows' default character for this code page).
std::string Cp932ToUtf8(std::string_view cp932);

}  // namespace tabulon
