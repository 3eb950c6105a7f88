#include "core/str_conv.h"

#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <string_view>

#include "core/cp932.h"
#include "core/cp932_convert.h"
#include "core/utf8.h"

namespace tabulon {
namespace {

using Conversion = std::string (*)(std::string_view);

struct Named {
    const char* name;
    Conversion convert;
};

const Named kConversions[] = {
    {"FullDigitsToHalf", FullDigitsToHalf},
    {"FullLettersToHalf", FullLettersToHalf},
    {"FullSymbolsToHalf", FullSymbolsToHalf},
    {"HalfKanaToFull", HalfKanaToFull},
};

struct Case {
    Conversion convert;
    const char* in;
    const char* out;
};

TEST(StrConv, ConvertsWhatItsTableHoldsAndNothingElse) {
    const Case cases[] = {
        {FullDigitsToHalf, "第１２号", "第12号"},
        {FullDigitsToHalf, "０１２３４５６７８９", "0123456789"},
        {FullDigitsToHalf, "Ａ１，", "Ａ1，"},
        {FullLettersToHalf, "ＡＢＣｘｙｚ１", "ABCxyz１"},
        {FullLettersToHalf, "ＡＺａｚ", "AZaz"},
        {FullSymbolsToHalf, "（Ａ｜Ｂ）＝￥１００", "(ＡlＢ)=\\１００"},
        {FullSymbolsToHalf, "，．：；？！｀＾＿／｜（）［］｛｝＋－＝＜＞￥＄％＃＆＊＠",
         ",.:;?!`^_/l()[]{}+-=<>\\$%#&*@"},
        {FullSymbolsToHalf, "　＼～＂’", "　＼～＂’"},  // not in the table
        {HalfKanaToFull, "ﾊﾟﾝﾀﾞ", "パンダ"},
        {HalfKanaToFull, "ﾜﾞ", "ワ゛"},  // no voiced pair for ﾜ
        {HalfKanaToFull, "ﾞｶ", "゛カ"},
        {HalfKanaToFull, "ｱﾊ", "アハ"},  // a trailing letter has no next character
        {HalfKanaToFull, "ﾃﾞｰﾀ1", "データ1"},
        {HalfKanaToFull, "ｳﾞｨｰﾅｽ", "ヴィーナス"},
        {HalfKanaToFull, "ｶﾟﾊﾞﾟﾊﾟﾞ", "カ゜バ゜パ゛"},  // a mark joins only where a pair exists, once
        {HalfKanaToFull, "ﾊﾞﾊﾟﾋﾞﾋﾟﾌﾞﾌﾟﾍﾞﾍﾟﾎﾞﾎﾟ", "バパビピブプベペボポ"},
        {HalfKanaToFull, "ｶﾞｷﾞｸﾞｹﾞｺﾞｻﾞｼﾞｽﾞｾﾞｿﾞﾀﾞﾁﾞﾂﾞﾃﾞﾄﾞ", "ガギグゲゴザジズゼゾダヂヅデド"},
        {HalfKanaToFull, "ｱﾞｦﾞﾝﾞﾅﾞﾏﾟ", "ア゛ヲ゛ン゛ナ゛マ゜"},
        {HalfKanaToFull, "\xEF\xA3\xB0", "　"},  // U+F8F0, code page 932's byte 0xA0
        {HalfKanaToFull, "ABC１ア", "ABC１ア"},
    };
    for (const Case& c : cases) EXPECT_EQ(c.convert(c.in), c.out) << c.in;
}

TEST(StrConv, HalfKanaToFullHasARowForEveryHalfWidthByte) {
    // U+FF61..U+FF9F in order, each alone.
    const std::string full =
        "。「」、・ヲァィゥェォャュョッーアイウエオカキクケコサシスセソタチツテトナニヌネノハヒフヘホマミムメモヤユヨラ"
        "リルレロワン゛゜";
    size_t pos = 0;
    for (char32_t half = 0xFF61; half <= 0xFF9F; ++half) {
        std::string in;
        AppendUtf8(in, half);
        size_t start = pos;
        DecodeUtf8(full, pos);
        EXPECT_EQ(HalfKanaToFull(in), full.substr(start, pos - start)) << "U+" << std::hex << unsigned(half);
    }
}

// Kanji whose code page 932 trail byte looks like a character of some table: a
// walk that lost step would read 烽O as ０, 焉i as （, 犖ﾞ as ｶﾞ, 玻 as ﾞ,
// 猝ﾟ as ﾊﾟ, 燿 as byte 0xA0, 邊 as ｲ.
TEST(StrConv, KanjiWithHighLeadBytesPassUnchangedWhateverFollows) {
    const char* kanji[] = {"澤", "邊", "烽", "焉", "犖", "玻", "猝", "燿", "濬"};
    const char* next[] = {"",  "A",  "O",  "i",  "`",  "1",  " ",  "\\", "ｱ",  "ｶ", "ﾞ",
                          "ﾟ", "ﾊﾟ", "１", "Ａ", "（", "ア", "漢", "澤", "　", "①", "한"};
    for (const Named& conversion : kConversions) {
        for (const char* k : kanji) {
            for (const char* n : next) {
                EXPECT_EQ(conversion.convert(std::string(k) + n), k + conversion.convert(n))
                    << conversion.name << ": " << k << n;
                EXPECT_EQ(conversion.convert(std::string(n) + k), conversion.convert(n) + k)
                    << conversion.name << ": " << n << k;
            }
        }
    }
}

TEST(StrConv, CharactersCodePage932LacksComeBackBestFitOrAsQuestionMarks) {
    for (const Named& conversion : kConversions) {
        EXPECT_EQ(conversion.convert("한국어"), "???") << conversion.name;
        EXPECT_EQ(conversion.convert("Café ¥500"), "Cafe \\500") << conversion.name;  // Windows' best fit
        EXPECT_EQ(conversion.convert("A〜B−C"), "A?B?C") << conversion.name;          // no best fit
        EXPECT_EQ(conversion.convert("𠮷野"), "??野") << conversion.name;             // two UTF-16 units
        EXPECT_EQ(conversion.convert(""), "") << conversion.name;
    }
    EXPECT_EQ(HalfKanaToFull("ゔｱ"), "ヴア");  // hiragana VU best-fits to katakana
}

// Every other character of code page 932 survives the round trip untouched.
TEST(StrConv, LeavesEveryCharacterOutsideItsTableAsItIs) {
    auto inTable = [](size_t which, char32_t c) {
        switch (which) {
            case 0: return c >= 0xFF10 && c <= 0xFF19;
            case 1: return (c >= 0xFF21 && c <= 0xFF3A) || (c >= 0xFF41 && c <= 0xFF5A);
            case 2:
                return std::u32string_view(U"，．：；？！｀＾＿／｜（）［］｛｝＋－＝＜＞￥＄％＃＆＊＠").find(c) !=
                       std::u32string_view::npos;
            default: return c >= 0xFF61 && c <= 0xFF9F;
        }
    };
    int checked = 0;
    for (char32_t c = 0x20; c <= 0xFFFF; ++c) {
        if (c >= 0xD800 && c <= 0xDFFF) continue;
        char bytes[2];
        int len = 0;
        if (!Cp932EncodeCodePoint(c, bytes, len)) continue;
        std::string text;
        AppendUtf8(text, c);
        for (size_t k = 0; k < std::size(kConversions); ++k) {
            if (inTable(k, c)) continue;
            ++checked;
            std::string got = kConversions[k].convert(text);
            if (got != text) {
                ADD_FAILURE() << kConversions[k].name << " changed U+" << std::hex << unsigned(c) << " to " << got;
                return;
            }
        }
    }
    EXPECT_GT(checked, 4 * 7000);
}

TEST(StrConv, ByteWalk) {
    // A lead byte at the very end stands alone and is copied.
    EXPECT_EQ(Cp932FullDigitsToHalf("\x82\x4F\x82"), std::string("0\x82"));
    EXPECT_EQ(Cp932HalfKanaToFull("\xB6\xDE\x82"), std::string("\x83\x4B\x82"));
    // Byte 0xA0 becomes the ideographic space; the 0xDE after a pairless letter stands alone.
    EXPECT_EQ(Cp932HalfKanaToFull("\xA0\xDC\xDE"), std::string("\x81\x40\x83\x8F\x81\x4A"));
    // Bytes 0x80 and 0xFD-0xFF are single characters outside the tables.
    EXPECT_EQ(Cp932HalfKanaToFull("\x80\xFD\xB1"), std::string("\x80\xFD\x83\x41"));
}

TEST(StrConv, IsAsciiLetterText) {
    for (const char* yes : {"", "Total", "A-B", "a.b,c", "-", "XYZxyz"}) EXPECT_TRUE(IsAsciiLetterText(yes)) << yes;
    for (const char* no : {"A1", "AB C", "A_B", "Ａ", "é", "ｱ", "A\t", "123"})
        EXPECT_FALSE(IsAsciiLetterText(no)) << no;
}

// The code page 932 hooks behave as Windows' own conversion on every platform.
TEST(Cp932Convert, EncodesAsWindowsDoes) {
    struct {
        const char* utf8;
        std::string cp932;
    } const cases[] = {
        {"A\\~ ｱﾞ配管澤", "A\\~ \xB1\xDE\x94\x7A\x8A\xC7\xE0\x56"},
        {"～∥－￥", "\x81\x60\x81\x61\x81\x7C\x81\x8F"},
        // Windows' best fit for Latin-1, whole.
        {"¡¢£¤¥¦§¨©ª«¬\xC2\xAD®¯°±²³´µ¶·¸¹º»¼½¾¿", std::string("!\x81\x91\x81\x92?\\|\x81\x98\x81\x4E"
                                                               "ca\x81\xE1\x81\xCA-R\x81\x50\x81\x8B\x81\x7D"
                                                               "23\x81\x4C\x83\xCA\x81\xF7\x81\x45\x81\x43"
                                                               "1o\x81\xE2????")},
        {"ÀÁÂÃÄÅÆÇÈÉÊËÌÍÎÏÐÑÒÓÔÕÖ×ØÙÚÛÜÝÞß", "AAAAAAACEEEEIIIIDNOOOOO\x81\x7EOUUUUYTs"},
        {"àáâãäåæçèéêëìíîïðñòóôõö÷øùúûüýþÿ", "aaaaaaaceeeeiiiidnooooo\x81\x80ouuuuyty"},
        {"ゔ〜−¤Œ한\xEF\xBF\xBD", "\x83\x94??????"},
        {"\xC2\x80\xEF\xA3\xB0\xEF\xA3\xB1\xEF\xA3\xB3", "\x80\xA0\xFD\xFF"},  // Windows' single-byte extras
        {"𠮷", "??"},
        {"a\xFF"
         "b",
         "a?b"},
    };
    for (const auto& c : cases) EXPECT_EQ(Utf8ToCp932BestFit(c.utf8), c.cp932) << c.utf8;
}

TEST(Cp932Convert, DecodesAsWindowsDoes) {
    EXPECT_EQ(Cp932ToUtf8("A\\~\xB1\xDE\x94\x7A\x8A\xC7\xE0\x56\x81\x60"), "A\\~ｱﾞ配管澤～");
    EXPECT_EQ(Cp932ToUtf8("\x80\xA0\xFD\xFE\xFF"), "\xC2\x80\xEF\xA3\xB0\xEF\xA3\xB1\xEF\xA3\xB2\xEF\xA3\xB3");
    EXPECT_EQ(Cp932ToUtf8("A\x82"), "A・");  // a lead byte without its trail byte
    EXPECT_EQ(Cp932ToUtf8(""), "");
}

}  // namespace
}  // namespace tabulon
