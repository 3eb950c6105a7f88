// Code page 932 (Microsoft Shift-JIS) at the file boundary.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tabulon {

// Through the program's system services (system_services.h: iconv "CP932" on
// POSIX, WideCharToMultiByte on Windows). Encodes one BMP code point into out[0..len) when code page 932
// holds it exactly, that is when it decodes back to the same code point; best-fit
// look-alikes (U+00A5 -> 0x5C, U+301C -> 0x8160) count as missing.
bool Cp932EncodeCodePoint(char32_t cp, char out[2], int& len);

// True for a byte that starts a double-byte character.
constexpr bool IsCp932LeadByte(uint8_t b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

// Encodes UTF-8 text for a DXF file. A BMP character missing from code page 932 is
// written as the DXF escape \U+XXXX, which CAD programs decode; characters above
// U+FFFF and malformed bytes become '?'.
class DxfTextEncoder {
public:
    DxfTextEncoder();
    std::string Encode(std::string_view utf8);
    // Appends the encoding of utf8 to out.
    void EncodeTo(std::string_view utf8, std::string& out);

private:
    void AppendCodePoint(std::string& out, char32_t cp);
    // Per BMP code point: 0 unknown yet, 1-2 encoded length, 3 missing.
    std::vector<uint8_t> state_;
    std::vector<char> bytes_;
};

}  // namespace tabulon
