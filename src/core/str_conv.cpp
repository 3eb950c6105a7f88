// The fixed conversion tables of the text tools, on code page 932 bytes.
#include "core/str_conv.h"

#include <cstdint>

#include "core/cp932.h"
#include "core/cp932_convert.h"

namespace tabulon {

namespace {

// Walks the text character by character: onDouble(code) for a lead byte with its
// trail byte, onSingle(byte) otherwise. A lead byte at the very end stands alone.
template <typename OnDouble, typename OnSingle>
std::string Walk(std::string_view cp932, OnDouble onDouble, OnSingle onSingle) {
    std::string out;
    out.reserve(cp932.size() * 2);
    size_t i = 0;
    while (i < cp932.size()) {
        uint8_t b = static_cast<uint8_t>(cp932[i]);
        if (IsCp932LeadByte(b) && i + 1 < cp932.size()) {
            uint16_t code = static_cast<uint16_t>(b << 8 | static_cast<uint8_t>(cp932[i + 1]));
            onDouble(out, code, cp932.substr(i, 2));
            i += 2;
        } else {
            i += onSingle(out, cp932.substr(i));
        }
    }
    return out;
}

// Double-byte characters found by lookup(code) become that single byte; the
// rest is copied.
template <typename Lookup>
std::string DoubleToSingle(std::string_view cp932, Lookup lookup) {
    return Walk(
        cp932,
        [&](std::string& out, uint16_t code, std::string_view bytes) {
            if (char c = lookup(code)) {
                out += c;
            } else {
                out += bytes;
            }
        },
        [](std::string& out, std::string_view rest) {
            out += rest[0];
            return size_t{1};
        });
}

struct SymbolRow {
    uint16_t full;
    char half;
};

// ｜ becomes the small letter L, not the vertical bar; ￥ becomes 0x5C, which
// Japanese fonts show as the yen sign.
constexpr SymbolRow kSymbols[29] = {
    {0x8143, ','}, {0x8144, '.'}, {0x8146, ':'}, {0x8147, ';'}, {0x8148, '?'},  {0x8149, '!'},
    {0x814D, '`'}, {0x814F, '^'}, {0x8151, '_'}, {0x815E, '/'}, {0x8162, 'l'},  {0x8169, '('},
    {0x816A, ')'}, {0x816D, '['}, {0x816E, ']'}, {0x816F, '{'}, {0x8170, '}'},  {0x817B, '+'},
    {0x817C, '-'}, {0x8181, '='}, {0x8183, '<'}, {0x8184, '>'}, {0x818F, '\\'}, {0x8190, '$'},
    {0x8193, '%'}, {0x8194, '#'}, {0x8195, '&'}, {0x8196, '*'}, {0x8197, '@'},
};

// The full-width result of each half-width byte 0xA0-0xDF, indexed by byte - 0xA0:
// 0xA0 (U+F8F0) becomes the ideographic space, then ｡｢｣､･ｦｧ ... ﾜﾝﾞﾟ in order.
constexpr uint16_t kHalfKana[64] = {
    0x8140, 0x8142, 0x8175, 0x8176, 0x8141, 0x8145, 0x8392, 0x8340,  //  ｡｢｣､･ｦｧ
    0x8342, 0x8344, 0x8346, 0x8348, 0x8383, 0x8385, 0x8387, 0x8362,  // ｨｩｪｫｬｭｮｯ
    0x815B, 0x8341, 0x8343, 0x8345, 0x8347, 0x8349, 0x834A, 0x834C,  // ｰｱｲｳｴｵｶｷ
    0x834E, 0x8350, 0x8352, 0x8354, 0x8356, 0x8358, 0x835A, 0x835C,  // ｸｹｺｻｼｽｾｿ
    0x835E, 0x8360, 0x8363, 0x8365, 0x8367, 0x8369, 0x836A, 0x836B,  // ﾀﾁﾂﾃﾄﾅﾆﾇ
    0x836C, 0x836D, 0x836E, 0x8371, 0x8374, 0x8377, 0x837A, 0x837D,  // ﾈﾉﾊﾋﾌﾍﾎﾏ
    0x837E, 0x8380, 0x8381, 0x8382, 0x8384, 0x8386, 0x8388, 0x8389,  // ﾐﾑﾒﾓﾔﾕﾖﾗ
    0x838A, 0x838B, 0x838C, 0x838D, 0x838F, 0x8393, 0x814A, 0x814B,  // ﾘﾙﾚﾛﾜﾝﾞﾟ
};

// Each entry: a half-width letter, then its full-width voiced (or semi-voiced) form.
constexpr std::string_view kVoicedPairs =  // ｶガｷギｸグｹゲｺゴｻザｼジｽズｾゼｿゾﾀダﾁヂﾂヅﾃデﾄドﾊバﾋビﾌブﾍベﾎボｳヴ
    "\xB6\x83\x4B\xB7\x83\x4D\xB8\x83\x4F\xB9\x83\x51\xBA\x83\x53\xBB\x83\x55\xBC\x83\x57"
    "\xBD\x83\x59\xBE\x83\x5B\xBF\x83\x5D\xC0\x83\x5F\xC1\x83\x61\xC2\x83\x64\xC3\x83\x66"
    "\xC4\x83\x68\xCA\x83\x6F\xCB\x83\x72\xCC\x83\x75\xCD\x83\x78\xCE\x83\x7B\xB3\x83\x94";
constexpr std::string_view kSemiVoicedPairs =  // ﾊパﾋピﾌプﾍペﾎポ
    "\xCA\x83\x70\xCB\x83\x73\xCC\x83\x76\xCD\x83\x79\xCE\x83\x7C";

constexpr uint8_t kVoicedMark = 0xDE;      // ﾞ
constexpr uint8_t kSemiVoicedMark = 0xDF;  // ﾟ

// The full-width form of letter followed by the mark, or "" when the pair table has none.
std::string_view FindPair(std::string_view pairs, char letter) {
    for (size_t k = 0; k + 3 <= pairs.size(); k += 3) {
        if (pairs[k] == letter) return pairs.substr(k + 1, 2);
    }
    return {};
}

void AppendDouble(std::string& out, uint16_t code) {
    out += static_cast<char>(code >> 8);
    out += static_cast<char>(code & 0xFF);
}

}  // namespace

std::string Cp932FullDigitsToHalf(std::string_view cp932) {
    return DoubleToSingle(cp932, [](uint16_t code) -> char {
        return code >= 0x824F && code <= 0x8258 ? static_cast<char>('0' + (code - 0x824F)) : 0;
    });
}

std::string Cp932FullLettersToHalf(std::string_view cp932) {
    return DoubleToSingle(cp932, [](uint16_t code) -> char {
        if (code >= 0x8260 && code <= 0x8279) return static_cast<char>('A' + (code - 0x8260));
        if (code >= 0x8281 && code <= 0x829A) return static_cast<char>('a' + (code - 0x8281));
        return 0;
    });
}

std::string Cp932FullSymbolsToHalf(std::string_view cp932) {
    return DoubleToSingle(cp932, [](uint16_t code) -> char {
        for (const SymbolRow& row : kSymbols) {
            if (row.full == code) return row.half;
        }
        return 0;
    });
}

std::string Cp932HalfKanaToFull(std::string_view cp932) {
    return Walk(
        cp932, [](std::string& out, uint16_t, std::string_view bytes) { out += bytes; },
        [](std::string& out, std::string_view rest) -> size_t {
            uint8_t b = static_cast<uint8_t>(rest[0]);
            if (b < 0xA0 || b > 0xDF) {
                out += rest[0];
                return 1;
            }
            if (rest.size() >= 2) {
                uint8_t next = static_cast<uint8_t>(rest[1]);
                std::string_view pair;
                if (next == kVoicedMark) pair = FindPair(kVoicedPairs, rest[0]);
                if (next == kSemiVoicedMark) pair = FindPair(kSemiVoicedPairs, rest[0]);
                if (!pair.empty()) {
                    out += pair;
                    return 2;
                }
            }
            AppendDouble(out, kHalfKana[b - 0xA0]);
            return 1;
        });
}

std::string FullDigitsToHalf(std::string_view text) {
    return Cp932ToUtf8(Cp932FullDigitsToHalf(Utf8ToCp932BestFit(text)));
}

std::string FullLettersToHalf(std::string_view text) {
    return Cp932ToUtf8(Cp932FullLettersToHalf(Utf8ToCp932BestFit(text)));
}

std::string FullSymbolsToHalf(std::string_view text) {
    return Cp932ToUtf8(Cp932FullSymbolsToHalf(Utf8ToCp932BestFit(text)));
}

std::string HalfKanaToFull(std::string_view text) {
    return Cp932ToUtf8(Cp932HalfKanaToFull(Utf8ToCp932BestFit(text)));
}

bool IsAsciiLetterText(std::string_view text) {
    for (char c : text) {
        bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
        if (!letter && c != '.' && c != ',' && c != '-') return false;
    }
    return true;
}

}  // namespace tabulon
