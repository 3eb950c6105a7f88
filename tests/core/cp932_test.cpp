#include <gtest/gtest.h>

#include <string>

#include "core/cp932.h"

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
    ::testing::Values(
        EncodeCase{"  1\r\nA-1 \\ ~", "  1\r\nA-1 \\ ~"},
        EncodeCase{"配管", "\x94\x7A\x8A\xC7"},
        EncodeCase{"ｱｲｳﾞ", "\xB1\xB2\xB3\xDE"},                        // half-width katakana: one byte each
        EncodeCase{"澤邊", "\xE0\x56\xE7\xB2"},                          // lead bytes above 0xDF
        EncodeCase{"①㈱", "\x87\x40\x87\x8A"},                          // NEC special characters
        EncodeCase{"髙", "\xFB\xFC"},                                    // IBM extension
        EncodeCase{"～∥－", "\x81\x60\x81\x61\x81\x7C"},                // Microsoft's choices for these rows
        // Look-alikes that code page 932 only best-fits are escaped, not swapped.
        EncodeCase{"¥100", "\\U+00A5100"},
        EncodeCase{"A〜B", "A\\U+301CB"},
        EncodeCase{"한국", "\\U+D55C\\U+AD6D"},
        EncodeCase{"½é", "\\U+00BD\\U+00E9"},
        EncodeCase{"𠮷野家", "?\x96\xEC\x89\xC6"},                      // beyond the BMP: '?'
        EncodeCase{"a\xFF" "b", "a?b"}));                                 // a malformed byte

TEST(DxfTextEncoder, ReusesItsCacheAcrossCalls) {
    DxfTextEncoder encoder;
    EXPECT_EQ(encoder.Encode("한"), "\\U+D55C");
    EXPECT_EQ(encoder.Encode("한表"), "\\U+D55C\x95\x5C");
}

}  // namespace
}  // namespace tabulon
