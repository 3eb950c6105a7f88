// Number formats: any value under any format code gives text, and a code the
// formatter does not support gives the General text and says so.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "core/number_format.h"
#include "fuzz_checks.h"

using namespace tabulon;
using tabulon::fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    // Any double, NaNs, infinities and subnormals included, or a plain number.
    double value = 0;
    if (input.ConsumeBool()) {
        const uint64_t bits = input.ConsumeIntegral<uint64_t>();
        std::memcpy(&value, &bits, sizeof value);
    } else {
        value = static_cast<double>(input.ConsumeIntegralInRange<int64_t>(-100000000, 100000000)) /
                static_cast<double>(input.ConsumeIntegralInRange<int>(1, 10000));
    }
    const bool date1904 = input.ConsumeBool();
    const std::string code = input.ConsumeRemainingBytesAsString();

    bool supported = false;
    const std::string shown = FormatNumber(value, code, date1904, &supported);
    const std::string general = GeneralNumberText(value);
    if (!supported) Require(shown == general, "an unsupported code did not give the General text");
    if (fuzz::IsUtf8(code)) Require(fuzz::IsUtf8(shown), "valid text in, broken UTF-8 out");
    Require(fuzz::IsUtf8(general) && !general.empty(), "the General text is broken");
    (void)IsNumericText(shown);
    (void)BuiltinNumberFormatCode(static_cast<int>(value == value && value > -1e9 && value < 1e9 ? value : 0));
    return 0;
}
