// Values at the edges of what the readers and formatters take: each case once
// went wrong (a setting that did not read back, a NUL byte that ended a capture
// file early, a fraction whose numerator overflowed).
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <map>
#include <optional>
#include <string>

#include "core/capture_file.h"
#include "core/dxf_number.h"
#include "core/errors.h"
#include "core/number_format.h"
#include "core/settings_file.h"
#include "core/utf8.h"
#include "support/test_support.h"

namespace tabulon {
namespace {

constexpr double kMax = std::numeric_limits<double>::max();

// Saves settings to INI text the way the program does, with either separator.
std::string SaveToText(const ScaleSettings& s, char separator) {
    std::string text = "[Quillbox]\r\n";
    SaveScaleSettings(
        s,
        [&](std::string_view key, std::string_view value) {
            text.append(key).append("=").append(value).append("\r\n");
            return true;
        },
        separator);
    return text;
}

TEST(SettingsRoundTrip, EveryFiniteValueThatIsSavedReadsBack) {
    const double values[] = {kMax,
                             -kMax,
                             std::nextafter(kMax, 0.0),
                             1.797693134862315e308,  // the smallest that the format rounds up to the largest text
                             std::numeric_limits<double>::denorm_min(),
                             -std::numeric_limits<double>::min(),
                             1e15,
                             0.1 + 0.2,
                             -0.0};
    for (const char separator : {'.', ','}) {
        for (const double value : values) {
            ScaleSettings s;
            s.cadTof = value;
            s.colXsc = value;
            const std::string saved = SaveToText(s, separator);
            const ScaleSettings back = ReadScaleSettings(saved, separator);
            // Not the default: the saved text was read.
            const double expected = ParseSettingsNumber(DxfNumber(value, separator), separator).value_or(-1);
            EXPECT_NE(expected, -1) << DxfNumber(value, separator);
            EXPECT_EQ(back.cadTof, expected) << saved;
            EXPECT_EQ(back.colXsc, expected);
            // Saved again, the file does not change.
            EXPECT_EQ(SaveToText(back, separator), saved);
        }
    }
    EXPECT_EQ(ParseSettingsNumber("1.79769313486232E308"), kMax);
    EXPECT_EQ(ParseSettingsNumber("-1,79769313486232E308", ','), -kMax);
}

TEST(SettingsRoundTrip, NumbersBeyondTheLargestWrittenAreStillRefused) {
    for (const char* text : {"1.79769313486233E308", "1.8e308", "1e309", "-1e400", "1e-400", "1e99999999999"}) {
        EXPECT_EQ(ParseSettingsNumber(text), std::nullopt) << text;
        EXPECT_EQ(ReadScaleSettings(std::string("[Quillbox]\ncadTof=") + text).cadTof, 0.8) << text;
    }
}

TEST(CaptureFileNul, ANulByteIsASyntaxErrorWhereItStands) {
    using namespace std::string_literals;
    const std::string valid = R"({"rows": 1, "cols": 1, "cells": [{"str": "A"}]})";
    const std::map<std::string, std::string> cases = {
        // After a complete capture, the parser took the NUL for the end of input.
        {valid + "\0 not JSON {{{"s, "line 1, column 48: "},
        {valid + "\n  \0"s, "line 2, column 3: "},
        {"\0"s, "line 1, column 1: "},
        // Inside the capture, and inside a string.
        {R"({"rows": 1, "cols": 1, "cells": [{"str": "A"}])"s + "\0]}"s, "line 1, column 47: "},
        {R"({"rows": 1, "cols": 1, "cells": [{"str": "A)"s + "\0\"}]}"s, "line 1, column 44: "},
    };
    for (const auto& [json, place] : cases) {
        EXPECT_EQ(test::CaptureErrorOf(json),
                  "capture file: " + place + "syntax error - a NUL byte is not allowed in a capture file");
    }
    // An earlier mistake is reported as it stands.
    EXPECT_NE(test::CaptureErrorOf(R"({"rows": 1,, )"s + "\0"s).find("column 12"), std::string::npos);
    EXPECT_EQ(test::CaptureErrorOf(valid), "(no error)");
}

TEST(FractionFormat, NumeratorsBeyondLongLongAreWrittenInFull) {
    const struct {
        double value;
        const char* code;
        const char* shown;
    } cases[] = {
        {1e11, "?/999999999", "99999999900000000000/999999999"},
        {-1e11, "?/999999999", "-99999999900000000000/999999999"},
        {1e12, "?/999999999", "999999999000000000000/999999999"},
        {1e12, "?/8", "8000000000000/8"},  // once shown as 1000000000000/8
        {123456789.125, "?/8", "987654313/8"},
        {2.5, "?/999999999", "2499999998/999999999"},  // small ones as before
        {2.5, "# ?/4", "2 2/4"},
    };
    for (const auto& c : cases) {
        bool supported = false;
        EXPECT_EQ(FormatNumber(c.value, c.code, false, &supported), c.shown) << c.value << " " << c.code;
        EXPECT_TRUE(supported);
    }
    // The largest double: every digit there, none invented.
    const std::string huge = FormatNumber(kMax, "?/999999999");
    EXPECT_EQ(huge.substr(0, 24), "179769313306462686513768");
    EXPECT_EQ(huge.size(), 318u + 10u);
}

TEST(Utf8Validity, WhatAJsonWriterRefusesIsFoundAndReplaced) {
    const struct {
        const char* text;
        bool valid;
        const char* repaired;
    } cases[] = {
        {"日本 abc", true, "日本 abc"},
        {"\xF0\x9F\x98\x80", true, "\xF0\x9F\x98\x80"},
        {"a\xC0\x80", false, "a\uFFFD\uFFFD"},                    // overlong NUL
        {"\xED\xA0\x80", false, "\uFFFD\uFFFD\uFFFD"},            // a surrogate, as &#xD800; gives it
        {"\xF4\x90\x80\x80", false, "\uFFFD\uFFFD\uFFFD\uFFFD"},  // past U+10FFFF
        {"\xE6\x97", false, "\uFFFD\uFFFD"},                      // cut short
        {"b\xFFk", false, "b\uFFFDk"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsValidUtf8(c.text), c.valid) << c.text;
        EXPECT_EQ(ToValidUtf8(c.text), c.repaired) << c.text;
        EXPECT_TRUE(IsValidUtf8(ToValidUtf8(c.text)));
    }
}

}  // namespace
}  // namespace tabulon
