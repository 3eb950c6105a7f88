// This system's code page 932 tables, for the core's cp932.h and
// cp932_convert.h, which describe what each function gives
// (cp932_posix.cpp and cp932_convert_posix.cpp on iconv, cp932_win.cpp and
// cp932_convert_win.cpp on the Windows code page tables).
#pragma once

#include <string>
#include <string_view>

namespace tabulon::platform {

bool Cp932EncodeCodePoint(char32_t cp, char out[2], int& len);
std::string Utf8ToCp932BestFit(std::string_view utf8);
std::string Cp932ToUtf8(std::string_view cp932);

}  // namespace tabulon::platform
