// A capture file, as the converter reads it: parsed, written and read back the
// same, then drawn into a well-formed DXF (or refused with a message).
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "fuzz_checks.h"

using namespace tabulon;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view json(reinterpret_cast<const char*>(data), size);
    Capture capture;
    std::vector<std::string> warnings;
    try {
        capture = ParseCaptureFile(json, &warnings);
    } catch (const TabulonError&) {
        return 0;
    }
    // Only the keys the file holds come back when written in full; compare in full.
    ScaleSettings settings;
    capture.settings.ApplyTo(settings);
    fuzz::CheckCaptureRoundTrip(capture, settings);
    fuzz::CheckDrawing(capture, settings);
    return 0;
}
