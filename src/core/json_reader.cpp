#include "core/json_reader.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "core/errors.h"
#include "core/utf8.h"

namespace tabulon {

namespace {

constexpr int kEnd = -1;  // no byte: the input has ended

bool IsDigit(int c) {
    return c >= '0' && c <= '9';
}

// Bytes that stand for themselves inside a string: printable ASCII but for the
// quote and the backslash.
constexpr std::array<bool, 256> kPlainInString = [] {
    std::array<bool, 256> plain{};
    for (int c = 0x20; c < 0x80; ++c) plain[static_cast<size_t>(c)] = c != '"' && c != '\\';
    return plain;
}();

class Reader {
public:
    Reader(const JsonInput& input, JsonHandler& handler, const std::string& what)
        : input_(input), handler_(handler), what_(what) {}

    void Run() {
        if (Peek() == 0xEF) SkipByteOrderMark();
        Value();
        while (!open_.empty()) {
            const bool object = open_.back();
            const int c = SkipBlanks();
            if (c == (object ? '}' : ']')) {
                ++p_;
                open_.pop_back();
                justOpened_ = false;
                object ? handler_.EndObject() : handler_.EndArray();
                continue;
            }
            const bool first = justOpened_;
            justOpened_ = false;
            if (!first) {
                if (c != ',') Unexpected(c, object ? "',' or '}'" : "',' or ']'");
                ++p_;
            }
            if (object) {
                Member(first);
            } else {
                Value();
            }
        }
        const int c = SkipBlanks();
        if (c != kEnd) Unexpected(c, "the end of the input");
    }

private:
    // --- the input ---
    // Makes sure p_ points at a byte unless the input has ended.
    bool Fill() {
        if (p_ < end_) return true;
        if (ended_) return false;
        base_ += static_cast<uint64_t>(end_ - begin_);
        const std::string_view piece = input_();
        if (piece.empty()) {
            ended_ = true;
            begin_ = p_ = end_ = nullptr;
            return false;
        }
        begin_ = p_ = piece.data();
        end_ = p_ + piece.size();
        return true;
    }

    int Peek() { return Fill() ? static_cast<unsigned char>(*p_) : kEnd; }

    uint64_t Offset() const { return base_ + static_cast<uint64_t>(p_ - begin_); }

    int SkipBlanks() {
        for (;;) {
            while (p_ < end_) {
                const char c = *p_;
                if (c == ' ' || c == '\t' || c == '\r') {
                    ++p_;
                } else if (c == '\n') {
                    ++p_;
                    ++line_;
                    lineStart_ = Offset();
                    continuations_ = 0;
                } else {
                    return static_cast<unsigned char>(c);
                }
            }
            if (!Fill()) return kEnd;
        }
    }

    // --- mistakes ---
    // At offset, on the current line: columns count characters, so the UTF-8
    // continuation bytes read on this line do not count.
    [[noreturn]] void Fail(uint64_t offset, const std::string& reason) const {
        const uint64_t column = offset - lineStart_ - continuations_ + 1;
        throw TabulonError(what_ + ": line " + std::to_string(line_) + ", column " + std::to_string(column) +
                           ": syntax error - " + reason);
    }

    // At the byte p_ points at, which has been looked at (so the piece that
    // holds it is in), or at the end of the input.
    [[noreturn]] void FailHere(const std::string& reason) const {
        if (p_ < end_ && *p_ == '\0') Fail(Offset(), "a NUL byte is not allowed in a " + what_);
        Fail(Offset(), reason);
    }

    [[noreturn]] void Unexpected(int c, const char* expected) const {
        if (c == kEnd) FailHere(std::string("unexpected end of input; expected ") + expected);
        char shown[16];
        if (c > 0x20 && c < 0x7F) {
            std::snprintf(shown, sizeof shown, "'%c'", c);
        } else {
            std::snprintf(shown, sizeof shown, "byte 0x%02X", c);
        }
        FailHere(std::string("unexpected ") + shown + "; expected " + expected);
    }

    // --- values ---
    void SkipByteOrderMark() {
        for (int byte : {0xEF, 0xBB, 0xBF}) {
            if (Peek() != byte) FailHere("a byte order mark must be EF BB BF");
            ++p_;
        }
        continuations_ += 2;  // one character
    }

    // A value; a container is opened here and read on by Run.
    void Value() {
        const int c = SkipBlanks();
        switch (c) {
            case '{': return Open(true);
            case '[': return Open(false);
            case '"':
                ++p_;
                handler_.String(String());
                return;
            case 't':
                Literal("true");
                handler_.Boolean(true);
                return;
            case 'f':
                Literal("false");
                handler_.Boolean(false);
                return;
            case 'n':
                Literal("null");
                handler_.Null();
                return;
            default: break;
        }
        if (c == '-' || IsDigit(c)) return Number();
        Unexpected(c, "a value");
    }

    void Open(bool object) {
        ++p_;
        object ? handler_.StartObject() : handler_.StartArray();
        open_.push_back(object);
        justOpened_ = true;
    }

    void Member(bool first) {
        const int c = SkipBlanks();
        if (c != '"') Unexpected(c, first ? "a key or '}'" : "a key");
        ++p_;
        handler_.Key(String());
        const int colon = SkipBlanks();
        if (colon != ':') Unexpected(colon, "':'");
        ++p_;
        Value();
    }

    void Literal(std::string_view word) {
        for (char expected : word) {
            if (Peek() != expected) FailHere("invalid literal");
            ++p_;
        }
    }

    // The rest of a string whose opening quote has been read. Plain stretches
    // within one piece of input are handed on where they stand.
    std::string_view String() {
        text_.clear();
        bool copied = false;
        const char* run = p_;
        int pending = 0;  // continuation bytes still due
        unsigned char lo = 0x80, hi = 0xBF;
        for (;;) {
            while (p_ < end_ && pending == 0 && kPlainInString[static_cast<unsigned char>(*p_)]) ++p_;
            if (p_ == end_) {
                text_.append(run, p_);
                copied = true;
                if (!Fill()) FailHere("missing closing quote");
                run = p_;
                continue;
            }
            const auto u = static_cast<unsigned char>(*p_);
            if (pending > 0) {
                if (u < lo || u > hi) FailHere("invalid string: ill-formed UTF-8 byte");
                ++p_;
                ++continuations_;
                --pending;
                lo = 0x80;
                hi = 0xBF;
                continue;
            }
            if (u == '"') {
                std::string_view text(run, static_cast<size_t>(p_ - run));
                if (copied) text = text_.append(text);
                ++p_;
                return text;
            }
            if (u == '\\') {
                text_.append(run, p_);
                copied = true;
                ++p_;
                Escape();
                run = p_;
                continue;
            }
            if (u < 0x20) {
                char reason[64];
                std::snprintf(reason, sizeof reason, "invalid string: control character U+%04X must be escaped", u);
                FailHere(reason);
            }
            if (u >= 0xC2 && u <= 0xDF) {
                pending = 1;
            } else if (u == 0xE0) {
                pending = 2, lo = 0xA0;  // no overlong forms
            } else if ((u >= 0xE1 && u <= 0xEC) || u == 0xEE || u == 0xEF) {
                pending = 2;
            } else if (u == 0xED) {
                pending = 2, hi = 0x9F;  // no surrogates
            } else if (u == 0xF0) {
                pending = 3, lo = 0x90;
            } else if (u >= 0xF1 && u <= 0xF3) {
                pending = 3;
            } else if (u == 0xF4) {
                pending = 3, hi = 0x8F;  // nothing beyond U+10FFFF
            } else {
                FailHere("invalid string: ill-formed UTF-8 byte");
            }
            ++p_;
        }
    }

    // After a backslash.
    void Escape() {
        const int c = Peek();
        char plain = 0;
        switch (c) {
            case '"': plain = '"'; break;
            case '\\': plain = '\\'; break;
            case '/': plain = '/'; break;
            case 'b': plain = '\b'; break;
            case 'f': plain = '\f'; break;
            case 'n': plain = '\n'; break;
            case 'r': plain = '\r'; break;
            case 't': plain = '\t'; break;
            case 'u': break;
            default: FailHere("invalid string: forbidden character after backslash");
        }
        ++p_;
        if (plain) {
            text_ += plain;
            return;
        }
        uint32_t cp = FourHexDigits();
        if (cp >= 0xDC00 && cp <= 0xDFFF)
            Fail(Offset(), "invalid string: surrogate U+DC00..U+DFFF must follow U+D800..U+DBFF");
        if (cp >= 0xD800 && cp <= 0xDBFF) {
            constexpr const char* kUnpaired =
                "invalid string: surrogate U+D800..U+DBFF must be followed by U+DC00..U+DFFF";
            for (char expected : {'\\', 'u'}) {
                if (Peek() != expected) FailHere(kUnpaired);
                ++p_;
            }
            const uint32_t low = FourHexDigits();
            if (low < 0xDC00 || low > 0xDFFF) Fail(Offset(), kUnpaired);
            cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
        }
        AppendUtf8(text_, cp);
    }

    uint32_t FourHexDigits() {
        uint32_t value = 0;
        for (int i = 0; i < 4; ++i) {
            const int c = Peek();
            int digit = 0;
            if (IsDigit(c)) {
                digit = c - '0';
            } else if (c >= 'a' && c <= 'f') {
                digit = c - 'a' + 10;
            } else if (c >= 'A' && c <= 'F') {
                digit = c - 'A' + 10;
            } else {
                FailHere("invalid string: '\\u' must be followed by 4 hex digits");
            }
            value = value * 16 + static_cast<uint32_t>(digit);
            ++p_;
        }
        return value;
    }

    void Number() {
        number_.clear();
        auto take = [this] {
            number_ += *p_;
            ++p_;
            return Peek();
        };
        auto digits = [&](int c, const char* where) {
            if (!IsDigit(c)) FailHere(std::string("invalid number; expected a digit ") + where);
            while (IsDigit(c)) c = take();
            return c;
        };
        int c = Peek();
        if (c == '-') c = take();
        if (c == '0') {
            c = take();
        } else {
            c = digits(c, "after '-'");
        }
        bool whole = true;
        if (c == '.') {
            c = digits(take(), "after '.'");
            whole = false;
        }
        if (c == 'e' || c == 'E') {
            c = take();
            if (c == '+' || c == '-') c = take();
            c = digits(c, "in the exponent");
            whole = false;
        }
        const char* first = number_.data();
        const char* last = first + number_.size();
        if (whole) {
            if (number_[0] == '-') {
                int64_t value = 0;
                if (std::from_chars(first, last, value).ec == std::errc()) return handler_.Integer(value);
            } else {
                uint64_t value = 0;
                if (std::from_chars(first, last, value).ec == std::errc()) return handler_.Unsigned(value);
            }
        }
        double value = 0;
        if (std::from_chars(first, last, value).ec != std::errc()) {
            value = std::strtod(number_.c_str(), nullptr);  // beyond the range: infinite, or tiny and rounded
        }
        if (!std::isfinite(value)) Fail(Offset() - 1, "number overflow parsing '" + number_ + "'");
        handler_.Float(value, number_);
    }

    const JsonInput& input_;
    JsonHandler& handler_;
    const std::string& what_;

    const char* begin_ = nullptr;  // the current piece
    const char* p_ = nullptr;
    const char* end_ = nullptr;
    uint64_t base_ = 0;  // the offset of begin_
    bool ended_ = false;

    uint64_t line_ = 1;
    uint64_t lineStart_ = 0;      // the offset of the current line
    uint64_t continuations_ = 0;  // UTF-8 continuation bytes read on the current line

    std::vector<bool> open_;  // the open containers, innermost last: true for an object
    bool justOpened_ = false;
    std::string text_;    // a string that needed copying
    std::string number_;  // a number as written
};

}  // namespace

void ReadJson(const JsonInput& input, JsonHandler& handler, const std::string& what) {
    Reader(input, handler, what).Run();
}

JsonInput JsonText(std::string_view text, size_t pieceSize) {
    return [text, pieceSize]() mutable {
        const std::string_view piece = text.substr(0, pieceSize);
        text.remove_prefix(piece.size());
        return piece;
    };
}

}  // namespace tabulon
