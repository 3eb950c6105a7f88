#include "core/cp932.h"

#include <cstring>

#include "core/utf8.h"

namespace tabulon {

namespace {
constexpr uint8_t kUnknown = 0;
constexpr uint8_t kMissing = 3;
}  // namespace

DxfTextEncoder::DxfTextEncoder() : state_(0x10000, kUnknown), bytes_(0x20000, 0) {}

void DxfTextEncoder::AppendCodePoint(std::string& out, char32_t cp) {
    if (cp == kInvalidCodePoint || cp > 0xFFFF) {
        out += '?';
        return;
    }
    uint8_t& state = state_[cp];
    if (state == kUnknown) {
        char buf[2] = {0, 0};
        int len = 0;
        // Windows also maps U+0080 and four private-use characters to the single
        // bytes 0x80, 0xA0 and 0xFD-0xFF, which other readers do not decode: those
        // are escaped like any missing character.
        const bool encoded = Cp932EncodeCodePoint(cp, buf, len);
        const unsigned char first = static_cast<unsigned char>(buf[0]);
        const bool singleByteOk = first < 0x80 || (first >= 0xA1 && first <= 0xDF);
        if (encoded && (len == 2 || (len == 1 && singleByteOk))) {
            state = static_cast<uint8_t>(len);
            bytes_[2 * cp] = buf[0];
            bytes_[2 * cp + 1] = len == 2 ? buf[1] : 0;
        } else {
            state = kMissing;
        }
    }
    if (state == kMissing) {
        static const char hex[] = "0123456789ABCDEF";
        out += "\\U+";
        out += hex[(cp >> 12) & 0xF];
        out += hex[(cp >> 8) & 0xF];
        out += hex[(cp >> 4) & 0xF];
        out += hex[cp & 0xF];
        return;
    }
    out.append(&bytes_[2 * cp], state);
}

std::string DxfTextEncoder::Encode(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    EncodeTo(utf8, out);
    return out;
}

void DxfTextEncoder::EncodeTo(std::string_view utf8, std::string& out) {
    size_t pos = 0;
    while (pos < utf8.size()) {
        // ASCII runs are the bulk of a DXF file and map to themselves.
        size_t run = pos;
        while (run + 8 <= utf8.size()) {
            uint64_t word;
            std::memcpy(&word, utf8.data() + run, 8);
            if (word & 0x8080808080808080ull) break;
            run += 8;
        }
        while (run < utf8.size() && static_cast<unsigned char>(utf8[run]) < 0x80) ++run;
        out.append(utf8.data() + pos, run - pos);
        pos = run;
        if (pos < utf8.size()) AppendCodePoint(out, DecodeUtf8(utf8, pos));
    }
}

}  // namespace tabulon
