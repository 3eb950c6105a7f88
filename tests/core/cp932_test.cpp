#include "core/cp932.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <string>

#include "core/utf8.h"

namespace tabulon {
namespace {

struct EncodeCase {
    const char* utf8;
    std::string cp932;
};

class DxfTextEncoderTest : public ::testing::TestWithParam<EncodeCase> {};

TEST_P(DxfTextEncoderTest, Encodes) {
    DxfTextEncoder encoder;
    EXPECT_EQ(encoder.Encode(GetParam().utf8), GetParam().cp932) << GetParam().utf8;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DxfTextEncoderTest,
    ::testing::Values(EncodeCase{"  1\r\nA-1 \\ ~", "  1\r\nA-1 \\ ~"}, EncodeCase{"配管", "\x94\x7A\x8A\xC7"},
                      EncodeCase{"ｱｲｳﾞ", "\xB1\xB2\xB3\xDE"},           // half-width katakana: one byte each
                      EncodeCase{"澤邊", "\xE0\x56\xE7\xB2"},           // lead bytes above 0xDF
                      EncodeCase{"①㈱", "\x87\x40\x87\x8A"},            // NEC special characters
                      EncodeCase{"髙", "\xFB\xFC"},                     // IBM extension
                      EncodeCase{"～∥－", "\x81\x60\x81\x61\x81\x7C"},  // Microsoft's choices for these rows
                      // Look-alikes that code page 932 only best-fits are escaped, not swapped.
                      EncodeCase{"¥100", "\\U+00A5100"}, EncodeCase{"A〜B", "A\\U+301CB"},
                      EncodeCase{"한국", "\\U+D55C\\U+AD6D"}, EncodeCase{"½é", "\\U+00BD\\U+00E9"},
                      EncodeCase{"𠮷野家", "?\x96\xEC\x89\xC6"},  // beyond the BMP: '?'
                      EncodeCase{"a\xFF"
                                 "b",
                                 "a?b"}));  // a malformed byte

TEST(DxfTextEncoder, ReusesItsCacheAcrossCalls) {
    DxfTextEncoder encoder;
    EXPECT_EQ(encoder.Encode("한"), "\\U+D55C");
    EXPECT_EQ(encoder.Encode("한表"), "\\U+D55C\x95\x5C");
}

}  // namespace
}  // namespace tabulon

namespace tabulon {
namespace {

// Every BMP character against an independent table of code page 932: the same
// bytes on every platform, and \U+XXXX for everything the table lacks.
TEST(DxfTextEncoder, MatchesTheReferenceTableForTheWholeBmp) {
    std::ifstream in(std::string(TABULON_SOURCE_DIR) + "/tests/golden/cp932-map.txt");
    ASSERT_TRUE(in.good());
    std::map<char32_t, std::string> expected;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        char32_t cp = static_cast<char32_t>(std::stoul(line.substr(0, 4), nullptr, 16));
        std::string bytes;
        for (size_t k = 5; k + 1 < line.size() + 1 && k + 2 <= line.size(); k += 2) {
            bytes += static_cast<char>(std::stoul(line.substr(k, 2), nullptr, 16));
        }
        expected[cp] = bytes;
    }
    ASSERT_GT(expected.size(), 9000u);

    DxfTextEncoder encoder;
    int mismatches = 0;
    for (char32_t cp = 0x80; cp <= 0xFFFF && mismatches < 20; ++cp) {
        if (cp >= 0xD800 && cp <= 0xDFFF) continue;
        std::string utf8;
        AppendUtf8(utf8, cp);
        auto found = expected.find(cp);
        char escape[16];
        std::snprintf(escape, sizeof escape, "\\U+%04X", static_cast<unsigned>(cp));
        const std::string want = found != expected.end() ? found->second : std::string(escape);
        const std::string got = encoder.Encode(utf8);
        if (got != want) {
            ++mismatches;
            ADD_FAILURE() << "U+" << std::hex << static_cast<unsigned>(cp) << ": got " << ::testing::PrintToString(got)
                          << ", want " << ::testing::PrintToString(want);
        }
    }
}

}  // namespace
}  // namespace tabulon
