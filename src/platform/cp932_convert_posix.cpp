// Whole texts to and from code page 932 as Windows converts them, on iconv.
// glibc's "CP932" holds Microsoft's round-trip table, but neither Windows'
// best-fit mappings nor its single-byte extras (0x80, 0xA0, 0xFD-0xFF); both
// are added here.
#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <vector>

#include "core/cp932.h"
#include "core/errors.h"
#include "core/utf8.h"
#include "platform/code_page_932.h"
#include "platform/iconv_posix.h"

namespace tabulon::platform {

namespace {

struct BestFit {
    char16_t cp;
    uint16_t code;  // one byte when below 0x100
};

// Every one-way mapping of Windows' code page 932 best-fit table
// (WideCharToMultiByte(932, 0) on a Japanese system): Latin-1 letters and signs
// to their look-alikes, and hiragana VU to katakana VU. Sorted by cp.
constexpr BestFit kBestFit[] = {
    {0x00A1, 0x21}, {0x00A2, 0x8191}, {0x00A3, 0x8192}, {0x00A5, 0x5C},   {0x00A6, 0x7C},   {0x00A9, 0x63},
    {0x00AA, 0x61}, {0x00AB, 0x81E1}, {0x00AC, 0x81CA}, {0x00AD, 0x2D},   {0x00AE, 0x52},   {0x00AF, 0x8150},
    {0x00B2, 0x32}, {0x00B3, 0x33},   {0x00B5, 0x83CA}, {0x00B7, 0x8145}, {0x00B8, 0x8143}, {0x00B9, 0x31},
    {0x00BA, 0x6F}, {0x00BB, 0x81E2}, {0x00C0, 0x41},   {0x00C1, 0x41},   {0x00C2, 0x41},   {0x00C3, 0x41},
    {0x00C4, 0x41}, {0x00C5, 0x41},   {0x00C6, 0x41},   {0x00C7, 0x43},   {0x00C8, 0x45},   {0x00C9, 0x45},
    {0x00CA, 0x45}, {0x00CB, 0x45},   {0x00CC, 0x49},   {0x00CD, 0x49},   {0x00CE, 0x49},   {0x00CF, 0x49},
    {0x00D0, 0x44}, {0x00D1, 0x4E},   {0x00D2, 0x4F},   {0x00D3, 0x4F},   {0x00D4, 0x4F},   {0x00D5, 0x4F},
    {0x00D6, 0x4F}, {0x00D8, 0x4F},   {0x00D9, 0x55},   {0x00DA, 0x55},   {0x00DB, 0x55},   {0x00DC, 0x55},
    {0x00DD, 0x59}, {0x00DE, 0x54},   {0x00DF, 0x73},   {0x00E0, 0x61},   {0x00E1, 0x61},   {0x00E2, 0x61},
    {0x00E3, 0x61}, {0x00E4, 0x61},   {0x00E5, 0x61},   {0x00E6, 0x61},   {0x00E7, 0x63},   {0x00E8, 0x65},
    {0x00E9, 0x65}, {0x00EA, 0x65},   {0x00EB, 0x65},   {0x00EC, 0x69},   {0x00ED, 0x69},   {0x00EE, 0x69},
    {0x00EF, 0x69}, {0x00F0, 0x64},   {0x00F1, 0x6E},   {0x00F2, 0x6F},   {0x00F3, 0x6F},   {0x00F4, 0x6F},
    {0x00F5, 0x6F}, {0x00F6, 0x6F},   {0x00F8, 0x6F},   {0x00F9, 0x75},   {0x00FA, 0x75},   {0x00FB, 0x75},
    {0x00FC, 0x75}, {0x00FD, 0x79},   {0x00FE, 0x74},   {0x00FF, 0x79},   {0x3094, 0x8394},
};

// Windows' single-byte code points that glibc leaves out.
constexpr BestFit kSingleByteExtras[] = {
    {0x0080, 0x80}, {0xF8F0, 0xA0}, {0xF8F1, 0xFD}, {0xF8F2, 0xFE}, {0xF8F3, 0xFF},
};

void AppendCode(std::string& out, uint16_t code) {
    if (code >= 0x100) out += static_cast<char>(code >> 8);
    out += static_cast<char>(code & 0xFF);
}

// The bytes Windows writes for a BMP code point, remembered (0: not looked up yet).
// The text tools run on the one user-interface thread, so the memo needs no lock.
uint16_t EncodeBmp(char32_t cp) {
    static std::vector<uint16_t> cache(0x10000, 0);
    uint16_t& slot = cache[cp];
    if (slot != 0) return slot;
    uint16_t code = '?';
    char bytes[2];
    int len = 0;
    if (Cp932EncodeCodePoint(cp, bytes, len)) {
        code = len == 1 ? static_cast<uint8_t>(bytes[0])
                        : static_cast<uint16_t>(static_cast<uint8_t>(bytes[0]) << 8 | static_cast<uint8_t>(bytes[1]));
    } else {
        auto find = [cp](const BestFit* begin, const BestFit* end) -> const BestFit* {
            auto it = std::lower_bound(begin, end, cp, [](const BestFit& e, char32_t c) { return e.cp < c; });
            return it != end && it->cp == cp ? it : nullptr;
        };
        if (auto e = find(std::begin(kSingleByteExtras), std::end(kSingleByteExtras))) {
            code = e->code;
        } else if (auto f = find(std::begin(kBestFit), std::end(kBestFit))) {
            code = f->code;
        }
    }
    slot = code;
    return code;
}

// Decodes one double-byte character; kInvalidCodePoint when undefined.
char32_t DecodePair(Iconv& fromCp932, char lead, char trail) {
    const char in[2] = {lead, trail};
    char out[8];
    size_t outLen = 0;
    if (!fromCp932.Convert(in, 2, out, sizeof out, outLen)) return kInvalidCodePoint;
    size_t pos = 0;
    const std::string_view utf8(out, outLen);
    const char32_t cp = DecodeUtf8(utf8, pos);
    return pos == utf8.size() ? cp : kInvalidCodePoint;
}

constexpr char32_t kDefaultChar = 0x30FB;  // what Windows decodes an undefined code to

}  // namespace

std::string Utf8ToCp932BestFit(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    size_t pos = 0;
    while (pos < utf8.size()) {
        char32_t cp = DecodeUtf8(utf8, pos);
        if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (cp == kInvalidCodePoint || (cp >= 0xD800 && cp <= 0xDFFF)) {
            out += '?';
        } else if (cp > 0xFFFF) {
            out += "??";  // Windows sees the two halves of a surrogate pair
        } else {
            AppendCode(out, EncodeBmp(cp));
        }
    }
    return out;
}

std::string Cp932ToUtf8(std::string_view cp932) {
    static Iconv fromCp932("UTF-8", "CP932");
    std::string out;
    out.reserve(cp932.size() * 3 / 2);
    for (size_t i = 0; i < cp932.size(); ++i) {
        uint8_t b = static_cast<uint8_t>(cp932[i]);
        char32_t cp;
        if (b < 0x80) {
            cp = b;
        } else if (b >= 0xA1 && b <= 0xDF) {
            cp = 0xFF61 + (b - 0xA1);
        } else if (IsCp932LeadByte(b)) {
            if (i + 1 >= cp932.size()) {
                cp = kDefaultChar;
            } else {
                cp = DecodePair(fromCp932, cp932[i], cp932[i + 1]);
                if (cp == kInvalidCodePoint) cp = kDefaultChar;
                ++i;
            }
        } else {
            cp = kDefaultChar;
            for (const BestFit& e : kSingleByteExtras) {
                if (e.code == b) cp = e.cp;
            }
        }
        AppendUtf8(out, cp);
    }
    return out;
}

}  // namespace tabulon::platform
