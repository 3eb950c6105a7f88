// The settings file: whatever is read is saved, and what is saved reads back to
// the same values and saves to the same text, with either decimal separator.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/dxf_number.h"
#include "core/settings_file.h"
#include "fuzz_checks.h"

using namespace tabulon;
using tabulon::fuzz::Require;

namespace {

std::string Save(const ScaleSettings& s, char separator) {
    std::string text = "[Quillbox]\r\n";
    const auto failed = SaveScaleSettings(
        s,
        [&](std::string_view key, std::string_view value) {
            text.append(key).append("=").append(value).append("\r\n");
            return true;
        },
        separator);
    Require(!failed, "a key was not written");
    return text;
}

void CheckNumberText(std::string_view text, char separator) {
    const auto value = ParseSettingsNumber(text, separator);
    if (!value) return;
    Require(std::isfinite(*value), "a non-finite number was read");
    // What the program writes for a number reads back, and writes the same again.
    const std::string written = DxfNumber(*value, separator);
    const auto back = ParseSettingsNumber(written, separator);
    Require(back.has_value(), "\"" + written + "\" does not read back");
    Require(DxfNumber(*back, separator) == written, "\"" + written + "\" reads back as another number");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view ini(reinterpret_cast<const char*>(data), size);
    for (const char separator : {'.', ','}) {
        const ScaleSettings first = ReadScaleSettings(ini, separator);
        const std::string saved = Save(first, separator);
        const ScaleSettings second = ReadScaleSettings(saved, separator);
        Require(Save(second, separator) == saved, "settings saved, read and saved again differ:\n" + saved);
        Require(second.cellLineColor == first.cellLineColor && second.cellLineDraw == first.cellLineDraw &&
                    second.xlsVerNum == first.xlsVerNum,
                "an integer setting changed on the way back");
        for (const double value :
             {second.colXsc, second.rowYsc, second.cadXsc, second.cadYsc, second.cadTsc, second.cadTof}) {
            Require(std::isfinite(value), "a setting is not finite");
        }
        CheckNumberText(ini, separator);
    }
    if (const auto integer = ParseSettingsInteger(ini)) {
        Require(ParseSettingsInteger(std::to_string(*integer)) == integer, "an integer does not read back");
    }
    return 0;
}
