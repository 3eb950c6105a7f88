// A capture file, as the converter reads it: parsed, written and read back the
// same, then drawn into a well-formed DXF (or refused with a message). Read in
// small pieces it gives the same capture or the same message; and an
// independent JSON parser agrees on what is JSON.
#include <cstddef>
#include <cstdint>
#include <nlohmann/json.hpp>
#include <string_view>
#include <vector>

#include "core/json_reader.h"
#include "fuzz_checks.h"

using namespace tabulon;
using tabulon::fuzz::Require;

namespace {

// The capture written out again, or the message.
std::string Outcome(const JsonInput& input, uint64_t sizeHint) {
    try {
        const Capture capture = ParseCaptureFile(input, sizeHint);
        return WriteCaptureFile(capture.table, capture.texts, std::nullopt, capture.source);
    } catch (const TabulonError& e) {
        return std::string("error: ") + e.what();
    }
}

void CheckPiecesAndJson(std::string_view json) {
    const std::string expected = Outcome(JsonText(json), json.size());
    for (size_t size : {1, 3, 7}) {
        Require(Outcome(JsonText(json, size), 0) == expected,
                "read in pieces of " + std::to_string(size) + " it differs");
    }
    // That parser takes a NUL byte for the end of the input; here it is an error.
    if (json.find('\0') != std::string_view::npos) return;
    const bool syntaxError =
        expected.starts_with("error: capture file: line ") && expected.find(": syntax error - ") != std::string::npos;
    const bool isJson = nlohmann::json::accept(json.begin(), json.end());
    Require(!(isJson && syntaxError), "valid JSON refused as a syntax error: " + expected);
    Require(isJson || expected.starts_with("error: "), "invalid JSON accepted");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view json(reinterpret_cast<const char*>(data), size);
    CheckPiecesAndJson(json);
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
