// The text tools: full- and half-width conversions and the fixed tables keep
// text valid and settle after one pass; the DXF encoder gives whole code page
// 932 characters.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/cp932.h"
#include "core/str_conv.h"
#include "core/width_conversion.h"
#include "fuzz_checks.h"

using namespace tabulon;
using tabulon::fuzz::Require;

namespace {

template <typename Convert>
void CheckSettles(const char* name, Convert convert, std::string_view text, bool utf8) {
    const std::string once = convert(text);
    if (utf8) Require(fuzz::IsUtf8(once), std::string(name) + ": valid text in, broken UTF-8 out");
    if (utf8) Require(convert(once) == once, std::string(name) + ": a second pass changed the text");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const bool utf8 = fuzz::IsUtf8(text);
    CheckSettles("PortableToFullWidth", PortableToFullWidth, text, utf8);
    CheckSettles("PortableToHalfWidth", PortableToHalfWidth, text, utf8);
    CheckSettles("ToFullWidth", ToFullWidth, text, utf8);
    CheckSettles("ToHalfWidth", ToHalfWidth, text, utf8);
    CheckSettles("FullDigitsToHalf", FullDigitsToHalf, text, utf8);
    CheckSettles("FullLettersToHalf", FullLettersToHalf, text, utf8);
    CheckSettles("FullSymbolsToHalf", FullSymbolsToHalf, text, utf8);
    CheckSettles("HalfKanaToFull", HalfKanaToFull, text, utf8);
    (void)Cp932HalfKanaToFull(text);  // any bytes, as a code page 932 text
    (void)Cp932FullSymbolsToHalf(text);
    DxfTextEncoder encoder;
    Require(fuzz::IsCp932(encoder.Encode(text)), "the DXF encoder split a character");
    return 0;
}
