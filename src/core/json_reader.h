// A streaming JSON reader: it reads its input a piece at a time and hands each
// part of the value to a handler as it comes, so that a large file is never
// held whole and its values go straight to where they belong.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace tabulon {

// The input, one piece after another: each call gives the next piece, valid
// until the next call; an empty one ends the input.
using JsonInput = std::function<std::string_view()>;

// A text in memory as input: in one piece, or in pieces of pieceSize bytes.
JsonInput JsonText(std::string_view text, size_t pieceSize = std::string_view::npos);

// The parts of a value in the order they stand. A text handed over is valid
// only during the call.
class JsonHandler {
public:
    virtual ~JsonHandler() = default;
    virtual void StartObject() = 0;
    virtual void EndObject() = 0;
    virtual void StartArray() = 0;
    virtual void EndArray() = 0;
    virtual void Key(std::string_view name) = 0;
    virtual void Null() = 0;
    virtual void Boolean(bool value) = 0;
    // A whole number without fraction or exponent: a negative one that fits
    // int64, a non-negative one that fits uint64. Larger ones come as Float.
    virtual void Integer(int64_t value) = 0;
    virtual void Unsigned(uint64_t value) = 0;
    // Any other number, with its text as written.
    virtual void Float(double value, std::string_view written) = 0;
    virtual void String(std::string_view text) = 0;
};

// Reads exactly one JSON value (RFC 8259; a UTF-8 byte order mark before it is
// allowed) and nothing after it but blanks. Strings must be valid UTF-8. Any
// nesting depth is read without recursion. On a mistake throws TabulonError
// "<what>: line L, column C: syntax error - <reason>", where columns count
// characters and the place is the offending byte, or the end of the input; a
// NUL byte is always "a NUL byte is not allowed in a <what>". What the handler
// throws passes through.
void ReadJson(const JsonInput& input, JsonHandler& handler, const std::string& what);

}  // namespace tabulon
