#include "core/width_conversion.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/system_services.h"
#include "core/utf8.h"

namespace tabulon {
namespace {

struct Case {
    const char* in;
    const char* out;
};

// These hold for the platform mapping (LCMapStringW on Windows) and the portable one alike.
const Case kToFull[] = {
    {"AB 12", "ＡＢ　１２"},
    {"A1", "Ａ１"},
    {"ﾊﾟﾝﾀﾞ", "パンダ"},
    {"ﾃﾞｰﾀ1", "データ１"},
    {"ｳﾞｨｰﾅｽ", "ヴィーナス"},
    {"ｶﾞｷﾞｸﾞｹﾞｺﾞｻﾞｼﾞｽﾞｾﾞｿﾞﾀﾞﾁﾞﾂﾞﾃﾞﾄﾞ", "ガギグゲゴザジズゼゾダヂヅデド"},
    {"ﾊﾞﾊﾟﾋﾞﾋﾟﾌﾞﾌﾟﾍﾞﾍﾟﾎﾞﾎﾟ", "バパビピブプベペボポ"},
    {"ﾜﾞｦﾞ", "ヷヺ"},
    {"｡｢ｱｲｳ｣､･ｰｧｯｬ", "。「アイウ」、・ーァッャ"},
    {"(a+b)*c=d!?\"#$%&'@[]^_`{|}~", "（ａ＋ｂ）＊ｃ＝ｄ！？＂＃＄％＆＇＠［］＾＿｀｛｜｝～"},
    {"第3号 澤邊 ガ", "第３号　澤邊　ガ"},  // already full width: unchanged
    {"한국 ¥¢", "한국　￥￠"},
    {"\\", "\\"},  // the yen sign of Japanese fonts has no full-width pair on Windows
};

const Case kToHalf[] = {
    {"ＡＢ　１２", "AB 12"},
    {"データ１", "ﾃﾞｰﾀ1"},
    {"パンダ", "ﾊﾟﾝﾀﾞ"},
    {"ガギグゲゴザジズゼゾダヂヅデド", "ｶﾞｷﾞｸﾞｹﾞｺﾞｻﾞｼﾞｽﾞｾﾞｿﾞﾀﾞﾁﾞﾂﾞﾃﾞﾄﾞ"},
    {"バパビピブプベペボポ", "ﾊﾞﾊﾟﾋﾞﾋﾟﾌﾞﾌﾟﾍﾞﾍﾟﾎﾞﾎﾟ"},
    {"ヴヷヺ", "ｳﾞﾜﾞｦﾞ"},
    {"。「アイウ」、・ーァッャ゛゜", "｡｢ｱｲｳ｣､･ｰｧｯｬﾞﾟ"},
    {"ヮヵヶヰヱ", "ヮヵヶヰヱ"},        // no half-width forms
    {"ひらがな がぱ", "ひらがな がぱ"},  // hiragana stays
    {"第３号　澤邊", "第3号 澤邊"},
    {"“引用”‘’", "\"引用\"''"},
    {"＼￥", "＼¥"},
    {"한국", "한국"},
};

TEST(WidthConversion, PlatformMapping) {
    for (const Case& c : kToFull) EXPECT_EQ(ToFullWidth(c.in), c.out) << c.in;
    for (const Case& c : kToHalf) EXPECT_EQ(ToHalfWidth(c.in), c.out) << c.in;
    EXPECT_EQ(ToFullWidth(""), "");
    EXPECT_EQ(ToHalfWidth(""), "");
}

TEST(WidthConversion, PortableMapping) {
    for (const Case& c : kToFull) EXPECT_EQ(PortableToFullWidth(c.in), c.out) << c.in;
    for (const Case& c : kToHalf) EXPECT_EQ(PortableToHalfWidth(c.in), c.out) << c.in;
    // As Windows maps them: lone marks become the combining marks; only a
    // half-width mark joins, and only to a letter that has a joined form.
    EXPECT_EQ(PortableToFullWidth("ﾞｶ"), "\u3099カ");
    EXPECT_EQ(PortableToFullWidth("ｶ゛ｱﾞかﾞ"), "カ\u3099ア\u3099か\u3099");
    EXPECT_EQ(PortableToFullWidth("ヰﾞヽﾞカﾞ"), "ヸヾカ\u3099");
    EXPECT_EQ(PortableToFullWidth("ﾊ"), "ハ");
    EXPECT_EQ(PortableToHalfWidth("カ\u3099ヾ"), "ｶﾞヽﾞ");
    EXPECT_EQ(PortableToHalfWidth("a\xFF"), "a\uFFFD");
}

// Full width after half width gives back every katakana that has a half-width form.
TEST(WidthConversion, KatakanaRoundTrip) {
    for (char32_t c = 0x30A1; c <= 0x30FC; ++c) {
        if (c == 0x30EE || c == 0x30F0 || c == 0x30F1 || c == 0x30F5 || c == 0x30F6 || c == 0x30F8 || c == 0x30F9 ||
            c == 0x30FD || c == 0x30FE) {
            continue;  // ヮヰヱヵヶ and what is built on them have none
        }
        std::string full;
        AppendUtf8(full, c);
        EXPECT_EQ(ToFullWidth(ToHalfWidth(full)), full) << full;
        EXPECT_EQ(PortableToFullWidth(PortableToHalfWidth(full)), full) << full;
    }
}

std::optional<std::string> FailingMapper(std::string_view, WidthForm) {
    return std::nullopt;
}
std::optional<std::string> UpperMapper(std::string_view text, WidthForm) {
    return "<" + std::string(text) + ">";
}

TEST(WidthConversion, AFailedMappingKeepsTheText) {
    EXPECT_EQ(MapWidth("ﾃﾞｰﾀ1", WidthForm::Full, FailingMapper), "ﾃﾞｰﾀ1");
    EXPECT_EQ(MapWidth("データ１", WidthForm::Half, FailingMapper), "データ１");
    EXPECT_EQ(MapWidth("ab", WidthForm::Half, UpperMapper), "<ab>");
    EXPECT_EQ(MapWidth("", WidthForm::Half, UpperMapper), "");  // nothing to map
}

#ifdef _WIN32
// The portable mapping against LCMapStringW, over ASCII, the CJK symbols and
// kana, and the half-width and full-width forms: each character alone, each
// katakana and half-width form followed by a voiced or semi-voiced mark, and
// sentences.
TEST(WidthConversion, PortableMappingMatchesWindows) {
    std::vector<std::string> corpus;
    auto add = [&](std::u32string_view chars) {
        std::string text;
        for (char32_t c : chars) AppendUtf8(text, c);
        corpus.push_back(text);
    };
    for (char32_t c = 0x20; c <= 0x7E; ++c) add({&c, 1});
    for (char32_t c = 0x3000; c <= 0x30FF; ++c) add({&c, 1});
    for (char32_t c = 0xFF00; c <= 0xFFEF; ++c) add({&c, 1});
    for (char32_t c : {0xA2,   0xA3,   0xA5,   0xA6,   0xAC,   0xAF,   0x20A9, 0x2985, 0x2986, 0x2018, 0x2019,
                       0x201C, 0x201D, 0x2190, 0x2191, 0x2192, 0x2193, 0x2502, 0x25A0, 0x25CB, 0x3131, 0x3164}) {
        add({&c, 1});
    }
    for (char32_t mark : {0xFF9E, 0xFF9F, 0x309B, 0x309C}) {
        for (char32_t c = 0x30A1; c <= 0x30FF; ++c) add(std::u32string{c, mark});
        for (char32_t c = 0xFF61; c <= 0xFF9F; ++c) add(std::u32string{c, mark});
    }
    for (const char* sentence :
         {"ﾃﾞｰﾀ1 の確認（ﾊﾟﾝﾀﾞ）", "データ１　ガス管 150A×2", "ｳﾞｪﾙｻｲﾕ宮殿, ﾜﾞｲﾝ & ﾁｰｽﾞ!", "〒100-0001 東京都千代田区",
          "「ｶﾀｶﾅ」、『かな』。", "ＡＢＣ－１２３＿ｘｙｚ", "Ｗ１２００×Ｄ６００×Ｈ７２０ｍｍ", "ﾎﾟﾝﾌﾟﾞ ﾊﾟﾊﾟ ﾞﾟ"}) {
        corpus.push_back(sentence);
    }
    for (const Case& c : kToFull) corpus.push_back(c.in);
    for (const Case& c : kToHalf) corpus.push_back(c.in);

    // The system's own mapping, as the program's services hand it to the core.
    const WidthMapper lcMapWidth = CurrentSystemServices().mapWidth;
    ASSERT_NE(lcMapWidth, nullptr) << "Windows maps widths with LCMapStringW";
    int mismatches = 0;
    for (const std::string& text : corpus) {
        for (WidthForm form : {WidthForm::Full, WidthForm::Half}) {
            std::optional<std::string> windows = lcMapWidth(text, form);
            ASSERT_TRUE(windows.has_value()) << text;
            std::string portable = form == WidthForm::Full ? PortableToFullWidth(text) : PortableToHalfWidth(text);
            if (portable != *windows && ++mismatches <= 20) {
                ADD_FAILURE() << (form == WidthForm::Full ? "full" : "half") << " width of " << text << ": portable "
                              << portable << ", Windows " << *windows;
            }
        }
    }
    EXPECT_EQ(mismatches, 0);
    EXPECT_GT(corpus.size(), 1000u);
}
#endif

}  // namespace
}  // namespace tabulon
