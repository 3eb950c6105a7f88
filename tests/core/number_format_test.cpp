#include "core/number_format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <ostream>

namespace tabulon {
namespace {

struct FormatCase {
    double value;
    const char* code;
    const char* text;
};

std::ostream& operator<<(std::ostream& os, const FormatCase& c) {
    return os << c.value << " under \"" << c.code << "\"";
}

void ExpectFormat(const FormatCase& c, bool date1904 = false) {
    bool supported = false;
    EXPECT_EQ(FormatNumber(c.value, c.code, date1904, &supported), c.text) << c;
    EXPECT_TRUE(supported) << c;
}

class NumberCodes : public ::testing::TestWithParam<FormatCase> {};
TEST_P(NumberCodes, ShowWhatTheSpreadsheetShows) {
    ExpectFormat(GetParam());
}

INSTANTIATE_TEST_SUITE_P(
    Placeholders, NumberCodes,
    ::testing::Values(
        FormatCase{0, "0", "0"}, FormatCase{7, "000", "007"}, FormatCase{0.5, "#.00", ".50"},
        FormatCase{0.5, "0.00", "0.50"}, FormatCase{0, "#,###", ""}, FormatCase{0, "#,##0", "0"},
        FormatCase{1.25, "0.0#", "1.25"}, FormatCase{1.5, "0.0#", "1.5"}, FormatCase{1, "#.##", "1."},
        FormatCase{5, "0.0?", "5.0 "}, FormatCase{5, "??0", "  5"}, FormatCase{123456, "0", "123456"},
        FormatCase{1.5, ".00", "1.50"},  // integer digits with no place of their own go before the point
        FormatCase{1234567, "#,##0", "1,234,567"}, FormatCase{1234567.891, "#,##0.00", "1,234,567.89"},
        FormatCase{5, "0,000", "0,005"}, FormatCase{999, "#,##0", "999"},
        FormatCase{1e20, "#,##0", "100,000,000,000,000,000,000"},
        FormatCase{1234567, "000-0000", "123-4567"}, FormatCase{3125550123, "(###) ###-####", "(312) 555-0123"}));

// Rounding works on the 15-digit decimal value, half away from zero.
INSTANTIATE_TEST_SUITE_P(
    Rounding, NumberCodes,
    ::testing::Values(FormatCase{2.675, "0.00", "2.68"}, FormatCase{1.005, "0.00", "1.01"},
                      FormatCase{0.5, "0", "1"}, FormatCase{1.5, "0", "2"}, FormatCase{2.5, "0", "3"},
                      FormatCase{-0.5, "0", "-1"}, FormatCase{-2.5, "0", "-3"},
                      FormatCase{1234.5, "#,##0", "1,235"}, FormatCase{0.1 + 0.2, "0.0000000000000000", "0.3000000000000000"},
                      FormatCase{9.995, "0.00", "10.00"}, FormatCase{999.5, "#,##0", "1,000"},
                      FormatCase{0.049, "0.0", "0.0"},
                      // A negative value that rounds to zero keeps its sign.
                      FormatCase{-0.4, "0", "-0"}, FormatCase{-0.001, "0.00", "-0.00"}));

INSTANTIATE_TEST_SUITE_P(
    ScalingPercentScientific, NumberCodes,
    ::testing::Values(FormatCase{1234567, "#,##0,", "1,235"}, FormatCase{1234567, "0.0,,", "1.2"},
                      FormatCase{1500, "#,##0,\"K\"", "2K"}, FormatCase{999999, "#,##0.0,,\"M\"", "1.0M"},
                      FormatCase{0.1234, "0%", "12%"}, FormatCase{0.12345, "0.00%", "12.35%"},
                      FormatCase{0.0145, "0.0%", "1.5%"}, FormatCase{1.5, "#,##0%", "150%"},
                      FormatCase{12345, "0.00E+00", "1.23E+04"}, FormatCase{0.00012345, "0.00E+00", "1.23E-04"},
                      FormatCase{12345, "0.00E-00", "1.23E04"}, FormatCase{0.00012345, "0.00E-00", "1.23E-04"},
                      FormatCase{9.999, "0.00E+00", "1.00E+01"}, FormatCase{0, "0.00E+00", "0.00E+00"},
                      FormatCase{-12345, "0.0E+0", "-1.2E+4"}, FormatCase{12345, "00.00E+00", "12.35E+03"},
                      FormatCase{1e100, "0.00E+00", "1.00E+100"},
                      // Engineering: exponents in steps of the integer places.
                      FormatCase{12345, "##0.0E+0", "12.3E+3"}, FormatCase{0.5, "##0.0E+0", "500.0E-3"},
                      FormatCase{999.96, "##0.0E+0", "1.0E+3"}, FormatCase{1234567, "##0.0E+0", "1.2E+6"}));

// Positive;negative;zero;text. A chosen negative section shows no minus sign
// of its own; with one section the minus goes in front of everything.
INSTANTIATE_TEST_SUITE_P(
    Sections, NumberCodes,
    ::testing::Values(FormatCase{-5, "#,##0;(#,##0)", "(5)"}, FormatCase{5, "#,##0;(#,##0)", "5"},
                      FormatCase{0, "#,##0;(#,##0)", "0"}, FormatCase{0, "0;-0;\"zero\"", "zero"},
                      FormatCase{-5, "0;-0;\"zero\";@", "-5"}, FormatCase{-1234.5, "#,##0 ;(#,##0)", "(1,235)"},
                      FormatCase{1234.5, "#,##0 ;(#,##0)", "1,235 "}, FormatCase{-5, "\"$\"#,##0", "-$5"},
                      FormatCase{-5, "0;\"\xE2\x96\xB2\"0", "\xE2\x96\xB2" "5"},  // ▲5
                      FormatCase{-0.001, "0.00;(0.00);\"-\"", "(0.00)"},
                      FormatCase{5, ";;;", ""}, FormatCase{-5, "0;", ""}, FormatCase{0, "0;-0;;@", ""},
                      FormatCase{1234.5, "[Red]#,##0.00", "1,234.50"},
                      FormatCase{-1234.5, "#,##0.00;[Red]-#,##0.00", "-1,234.50"},
                      FormatCase{-3, "[Blue]0;[Color10]0", "3"},
                      // A text section, General and the empty code show the General text.
                      FormatCase{12.5, "@", "12.5"}, FormatCase{-12.5, "@", "-12.5"}, FormatCase{1.0 / 3, "", "0.333333333"},
                      FormatCase{12.5, "General", "12.5"}, FormatCase{-12.5, "\"x\"General", "-x12.5"},
                      FormatCase{1234567.891, "General;(General)", "1234567.891"},
                      FormatCase{-2, "General;(General)", "(2)"},
                      FormatCase{0.25, "G/\xE6\xA8\x99\xE6\xBA\x96", "0.25"},  // G/標準
                      // A last section with @ is the text section, so negatives take the first.
                      FormatCase{-5, "0.0;@", "-5.0"}, FormatCase{-5, "0;0;@", "5"}));

// Conditions choose the section: the first that holds, then the second, then the third.
INSTANTIATE_TEST_SUITE_P(
    Conditions, NumberCodes,
    ::testing::Values(FormatCase{1234567, "[<=999]000;[<=9999]000-00;000-0000", "123-4567"},
                      FormatCase{12, "[<=999]000;[<=9999]000-00;000-0000", "012"},
                      FormatCase{1234, "[<=999]000;[<=9999]000-00;000-0000", "012-34"},
                      FormatCase{5550123, "[<=9999999]###-####;(###) ###-####", "555-0123"},
                      FormatCase{3125550123, "[<=9999999]###-####;(###) ###-####", "(312) 555-0123"},
                      FormatCase{150, "[Red][>=100]\"big \"0;\"small \"0", "big 150"},
                      FormatCase{5, "[Red][>=100]\"big \"0;\"small \"0", "small 5"},
                      FormatCase{-5, "[>=100]\"big \"0;\"small \"0", "-small 5"},
                      FormatCase{-5, "[<0]\"neg \"0;[>0]\"pos \"0;\"zero\"", "neg 5"},
                      FormatCase{5, "[<0]\"neg \"0;[>0]\"pos \"0;\"zero\"", "pos 5"},
                      FormatCase{0, "[<0]\"neg \"0;[>0]\"pos \"0;\"zero\"", "zero"},
                      FormatCase{3, "[=3]\"three\";[<>3]0", "three"}, FormatCase{4, "[=3]\"three\";[<>3]0", "4"}));

INSTANTIATE_TEST_SUITE_P(
    Literals, NumberCodes,
    ::testing::Values(FormatCase{5, "0 \"kg\"", "5 kg"}, FormatCase{5, "\\k0", "k5"}, FormatCase{5, "!k0", "k5"},
                      FormatCase{1234, "\xC2\xA5#,##0", "\xC2\xA5" "1,234"},                  // ¥1,234
                      FormatCase{1234, "#,##0\xE5\x86\x86", "1,234\xE5\x86\x86"},             // 1,234円
                      FormatCase{1234, "#,##0\"\xE5\x86\x86\"", "1,234\xE5\x86\x86"},
                      FormatCase{5, "\\\xE2\x84\x83" "0", "\xE2\x84\x83" "5"},                // escaped ℃
                      FormatCase{5, "$-+/():  0", "$-+/():  5"}, FormatCase{5, "0.0_);(0.0)", "5.0 "},
                      FormatCase{5, "_\xE5\x86\x86" "0", " 5"}, FormatCase{5, "* #,##0", "5"},
                      FormatCase{5, "**0", "5"}, FormatCase{5, "[$\xE2\x82\xAC-407]0", "\xE2\x82\xAC" "5"},  // €5
                      FormatCase{5, "[$-411]0.0", "5.0"}, FormatCase{5, "[$-ja-JP]0", "5"},
                      FormatCase{5, "0\"a;b\"", "5a;b"}, FormatCase{5, "0\\;0", "0;5"}));

// Whole numbers and fractions with the best denominator of the given places,
// or a fixed one.
INSTANTIATE_TEST_SUITE_P(
    Fractions, NumberCodes,
    ::testing::Values(FormatCase{1.5, "# ?/?", "1 1/2"}, FormatCase{0.5, "# ?/?", " 1/2"},
                      FormatCase{1, "# ?/?", "1    "}, FormatCase{0, "# ?/?", "0    "},
                      FormatCase{1.5, "# ?\?/?\?", "1  1/2 "}, FormatCase{3.14159, "# ??\?/??\?", "3  16/113"},
                      FormatCase{0.3333, "?/?", "1/3"}, FormatCase{1.75, "?/?", "7/4"},
                      FormatCase{2.125, "# ?/8", "2 1/8"}, FormatCase{0.97, "# ?/?", "1    "},
                      FormatCase{-1.5, "# ?/?", "-1 1/2"}, FormatCase{0.26, "?/4", "1/4"},
                      // Fixed denominators with zeros in them.
                      FormatCase{1.5, "?/10", "15/10"}, FormatCase{2.25, "# ?/100", "2 25/100"},
                      FormatCase{0.75, "?/20", "15/20"},
                      // Numbers too large for a fraction are shown whole.
                      FormatCase{1e15, "# ?/?", "1000000000000000    "}, FormatCase{1e15, "?/?", "1000000000000000/1"},
                      FormatCase{1.5, "?/? 0", "3/2 "}));

class DateCodes : public ::testing::TestWithParam<FormatCase> {};
TEST_P(DateCodes, ShowWhatTheSpreadsheetShows) {
    ExpectFormat(GetParam());
}

INSTANTIATE_TEST_SUITE_P(
    Dates, DateCodes,
    ::testing::Values(
        // The 1900 system: serial 1 is 1900-01-01, 60 the 1900-02-29 that never was.
        FormatCase{1, "yyyy/m/d", "1900/1/1"}, FormatCase{59, "yyyy/m/d", "1900/2/28"},
        FormatCase{60, "yyyy/m/d", "1900/2/29"}, FormatCase{61, "yyyy/m/d", "1900/3/1"},
        FormatCase{0, "yyyy/m/d", "1900/1/0"}, FormatCase{2958465, "yyyy/m/d", "9999/12/31"},
        FormatCase{45000, "yyyy-mm-dd", "2023-03-15"}, FormatCase{45000, "yy/m/d", "23/3/15"},
        FormatCase{45000, "y", "23"}, FormatCase{45000.75, "yyyy/m/d", "2023/3/15"},
        FormatCase{36526, "d-mmm-yy", "1-Jan-00"}, FormatCase{45000, "dd mmmm yyyy", "15 March 2023"},
        FormatCase{45000, "mmmmm", "M"}, FormatCase{45000, "ddd dddd", "Wed Wednesday"},
        FormatCase{1, "ddd", "Sun"}, FormatCase{61, "dddd", "Thursday"}, FormatCase{0, "ddd", "Sat"},
        FormatCase{45000, "m/d/yy", "3/15/23"}, FormatCase{45000, "mmm-yy", "Mar-23"},
        FormatCase{45000, "[$-F800]dddd, mmmm dd, yyyy", "2023\xE5\xB9\xB4" "3\xE6\x9C\x88" "15\xE6\x97\xA5"},
        FormatCase{45000, "[$-x-sysdate]dddd, mmmm dd, yyyy", "2023\xE5\xB9\xB4" "3\xE6\x9C\x88" "15\xE6\x97\xA5"}));

INSTANTIATE_TEST_SUITE_P(
    Times, DateCodes,
    ::testing::Values(
        FormatCase{0.5, "h:mm", "12:00"}, FormatCase{0.75, "h:mm AM/PM", "6:00 PM"},
        FormatCase{0.25, "hh:mm am/pm", "06:00 AM"}, FormatCase{0, "h AM/PM", "12 AM"},
        FormatCase{0.5, "h A/P", "12 P"}, FormatCase{0.25, "h a/p", "6 a"},
        FormatCase{45000.5, "yyyy/m/d h:mm", "2023/3/15 12:00"}, FormatCase{0.524259259259, "h:mm:ss", "12:34:56"},
        // m after h or before s is the minute.
        FormatCase{0.524259259259, "mm:ss", "34:56"}, FormatCase{45000.524259259259, "m/d h:m", "3/15 12:34"},
        FormatCase{0.0006944444, "mm:ss", "01:00"}, FormatCase{1.01, "mmss.0", "1424.0"},
        // Times round to the shown precision, seconds at least, and may carry into the next day.
        FormatCase{0.999999, "h:mm:ss", "0:00:00"}, FormatCase{0.999999, "yyyy/m/d h:mm", "1900/1/1 0:00"},
        FormatCase{0.99999, "h:mm:ss", "23:59:59"}, FormatCase{0.4375 - 0.4 / 86400, "h:mm", "10:30"},
        FormatCase{0.4375 - 0.6 / 86400, "h:mm", "10:29"}, FormatCase{0.123456, "h:mm:ss.00", "2:57:46.60"},
        FormatCase{0.123456, "h:mm:ss.0", "2:57:46.6"}, FormatCase{0.123456, "[ss].000", "10666.598"},
        // Elapsed time.
        FormatCase{1.5, "[h]:mm", "36:00"}, FormatCase{1.5, "[h]:mm:ss", "36:00:00"},
        FormatCase{0.999999, "[h]:mm:ss", "24:00:00"}, FormatCase{0.05, "[mm]:ss", "72:00"},
        FormatCase{0.05, "[m]", "72"}, FormatCase{0.05, "[s]", "4320"}, FormatCase{0.01, "[hh]", "00"}));

// Japanese calendar: eras from Meiji to Reiwa, weekdays in Japanese.
INSTANTIATE_TEST_SUITE_P(
    Japanese, DateCodes,
    ::testing::Values(
        FormatCase{45000, "yyyy\"\xE5\xB9\xB4\"m\"\xE6\x9C\x88\"d\"\xE6\x97\xA5\"",
                   "2023\xE5\xB9\xB4" "3\xE6\x9C\x88" "15\xE6\x97\xA5"},  // 2023年3月15日
        FormatCase{43586, "[$-411]ggge\"\xE5\xB9\xB4\"m\"\xE6\x9C\x88\"d\"\xE6\x97\xA5\"",
                   "\xE4\xBB\xA4\xE5\x92\x8C" "1\xE5\xB9\xB4" "5\xE6\x9C\x88" "1\xE6\x97\xA5"},  // 令和1年5月1日
        FormatCase{43586, "[$-ja-JP-x-gannen]ggge\"\xE5\xB9\xB4\"m\"\xE6\x9C\x88\"d\"\xE6\x97\xA5\"",
                   "\xE4\xBB\xA4\xE5\x92\x8C\xE5\x85\x83\xE5\xB9\xB4" "5\xE6\x9C\x88" "1\xE6\x97\xA5"},  // 令和元年5月1日
        FormatCase{45383, "[$-ja-JP-x-gannen]ggge\"\xE5\xB9\xB4\"", "\xE4\xBB\xA4\xE5\x92\x8C" "6\xE5\xB9\xB4"},
        FormatCase{43585, "[$-411]ge.m.d", "H31.4.30"}, FormatCase{43586, "ge.m.d", "R1.5.1"},
        FormatCase{32516, "ge.m.d", "H1.1.8"}, FormatCase{32515, "ge.m.d", "S64.1.7"},
        FormatCase{9856, "ge.m.d", "S1.12.25"}, FormatCase{9855, "ge.m.d", "T15.12.24"},
        FormatCase{4595, "ge.m.d", "T1.7.30"}, FormatCase{4594, "ge.m.d", "M45.7.29"},
        FormatCase{60, "ge.m.d", "M33.2.29"}, FormatCase{45383, "gge", "\xE4\xBB\xA4" "6"},      // 令6
        FormatCase{36526, "ggg ee", "\xE5\xB9\xB3\xE6\x88\x90 12"}, FormatCase{32874, "ee", "02"},  // 平成 12
        FormatCase{45383, "yyyy/m/d(aaa)", "2024/4/1(\xE6\x9C\x88)"},                                // (月)
        FormatCase{45382, "aaaa", "\xE6\x97\xA5\xE6\x9B\x9C\xE6\x97\xA5"},                           // 日曜日
        FormatCase{0.5, "h\"\xE6\x99\x82\"mm\"\xE5\x88\x86\"", "12\xE6\x99\x82" "00\xE5\x88\x86"}));  // 12時00分

TEST(NumberFormat, Date1904SystemStartsIn1904) {
    ExpectFormat({0, "yyyy/m/d", "1904/1/1"}, true);
    ExpectFormat({0, "dddd", "Friday"}, true);
    ExpectFormat({1, "yyyy/m/d", "1904/1/2"}, true);
    ExpectFormat({43586 - 1462, "yyyy/m/d aaa", "2019/5/1 \xE6\xB0\xB4"}, true);  // 水
    ExpectFormat({1.5, "[h]:mm", "36:00"}, true);
    // The same serial in the two systems is four years and a day apart.
    EXPECT_EQ(FormatNumber(45000, "yyyy/m/d", false), "2023/3/15");
    EXPECT_EQ(FormatNumber(45000, "yyyy/m/d", true), "2027/3/16");
}

// What is not supported comes back as the General text, flagged.
class UnsupportedCodes : public ::testing::TestWithParam<FormatCase> {};
TEST_P(UnsupportedCodes, FallBackToGeneral) {
    bool supported = true;
    EXPECT_EQ(FormatNumber(GetParam().value, GetParam().code, false, &supported), GetParam().text) << GetParam();
    EXPECT_FALSE(supported) << GetParam();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UnsupportedCodes,
    ::testing::Values(FormatCase{5, "[>=100]0", "5"}, FormatCase{5, "[>=100]0;[<0]0", "5"},
                      FormatCase{5, "[>=1e]0;0", "5"}, FormatCase{5, "[>1][<2]0", "5"},
                      FormatCase{12, "[DBNum1]0", "12"}, FormatCase{12, "[NatNum1]0", "12"},
                      FormatCase{45000, "[$-1010411]yyyy", "45000"}, FormatCase{45000, "bbbb/m/d", "45000"},
                      FormatCase{45000, "B2yyyy", "45000"}, FormatCase{12, "[Purple]0", "12"},
                      FormatCase{12, "0[", "12"}, FormatCase{1, "0;0;0;@;0", "1"},
                      FormatCase{45000, "yyyy 0.00", "45000"}, FormatCase{12, "h:mm:ss.0000", "12"},
                      // A spreadsheet shows ##### for negative dates and years past 9999.
                      FormatCase{-1, "yyyy/m/d", "-1"}, FormatCase{-0.5, "h:mm", "-0.5"},
                      FormatCase{2958466, "yyyy/m/d", "2958466"},
                      FormatCase{std::numeric_limits<double>::infinity(), "0", "#NUM!"}));

TEST(NumberFormat, SupportedFlagIsOptionalAndResetOnSuccess) {
    EXPECT_EQ(FormatNumber(150, "[>=100]0"), "150");
    bool supported = false;
    EXPECT_EQ(FormatNumber(2.5, "0.0", false, &supported), "2.5");
    EXPECT_TRUE(supported);
}

TEST(NumberFormat, BuiltinCodes) {
    EXPECT_EQ(BuiltinNumberFormatCode(0), "General");
    EXPECT_EQ(BuiltinNumberFormatCode(4), "#,##0.00");
    EXPECT_EQ(BuiltinNumberFormatCode(11), "0.00E+00");
    EXPECT_EQ(BuiltinNumberFormatCode(13), "# ?\?/?\?");
    EXPECT_EQ(BuiltinNumberFormatCode(14), "yyyy/m/d");
    EXPECT_EQ(BuiltinNumberFormatCode(22), "yyyy/m/d h:mm");
    EXPECT_EQ(BuiltinNumberFormatCode(27), "[$-411]ge.m.d");
    EXPECT_EQ(BuiltinNumberFormatCode(31), "yyyy\"\xE5\xB9\xB4\"m\"\xE6\x9C\x88\"d\"\xE6\x97\xA5\"");
    EXPECT_EQ(BuiltinNumberFormatCode(46), "[h]:mm:ss");
    EXPECT_EQ(BuiltinNumberFormatCode(49), "@");
    for (int id : {-1, 23, 26, 59, 81, 164, 1000}) EXPECT_EQ(BuiltinNumberFormatCode(id), "") << id;
}

TEST(NumberFormat, EveryBuiltinCodeIsSupported) {
    for (int id = 0; id < 164; ++id) {
        const std::string code = BuiltinNumberFormatCode(id);
        if (code.empty()) continue;
        for (double value : {0.0, 1.0, -1.0, 45000.524259259259}) {
            bool supported = false;
            FormatNumber(value, code, false, &supported);
            const bool isDate = (id >= 14 && id <= 22) || (id >= 27 && id <= 36) || (id >= 45 && id <= 47) ||
                                (id >= 50 && id <= 58);
            EXPECT_TRUE(supported || (isDate && value < 0)) << "id " << id << " value " << value;
        }
    }
    // A sample of what the Japanese edition shows for them.
    EXPECT_EQ(FormatNumber(45000.524259259259, BuiltinNumberFormatCode(22)), "2023/3/15 12:34");
    EXPECT_EQ(FormatNumber(45000, BuiltinNumberFormatCode(28)),
              "\xE4\xBB\xA4\xE5\x92\x8C" "5\xE5\xB9\xB4" "3\xE6\x9C\x88" "15\xE6\x97\xA5");  // 令和5年3月15日
    EXPECT_EQ(FormatNumber(0.524259259259, BuiltinNumberFormatCode(33)),
              "12\xE6\x99\x82" "34\xE5\x88\x86" "56\xE7\xA7\x92");  // 12時34分56秒
    EXPECT_EQ(FormatNumber(-1234.5, BuiltinNumberFormatCode(38)), "(1,235)");
    EXPECT_EQ(FormatNumber(12345, BuiltinNumberFormatCode(48)), "12.3E+3");
    EXPECT_EQ(FormatNumber(1.25, BuiltinNumberFormatCode(12)), "1 1/4");
}

struct GeneralCase {
    double value;
    const char* text;
};

class GeneralText : public ::testing::TestWithParam<GeneralCase> {};
TEST_P(GeneralText, FitsElevenCharacters) {
    EXPECT_EQ(GeneralNumberText(GetParam().value), GetParam().text) << GetParam().value;
    EXPECT_EQ(FormatNumber(GetParam().value, "General"), GetParam().text) << GetParam().value;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GeneralText,
    ::testing::Values(
        GeneralCase{0, "0"}, GeneralCase{-0.0, "0"}, GeneralCase{1, "1"}, GeneralCase{-0.5, "-0.5"},
        GeneralCase{1234567.891, "1234567.891"}, GeneralCase{0.1 + 0.2, "0.3"}, GeneralCase{1.0 / 3, "0.333333333"},
        GeneralCase{-1.0 / 3, "-0.333333333"}, GeneralCase{2.0 / 3, "0.666666667"}, GeneralCase{3.14159265358979, "3.141592654"},
        GeneralCase{12345678901, "12345678901"}, GeneralCase{-12345678901, "-12345678901"},
        GeneralCase{123456789012, "1.23457E+11"}, GeneralCase{99999999999.7, "1E+11"},
        GeneralCase{1234567890.5, "1234567891"}, GeneralCase{1e15, "1E+15"}, GeneralCase{1.5e300, "1.5E+300"},
        GeneralCase{1.23456789e100, "1.2346E+100"}, GeneralCase{0.0001, "0.0001"},
        GeneralCase{0.000099999999999999991, "0.0001"},  // below 0.0001 until rounded to 15 digits
        GeneralCase{0.000123456789, "0.000123457"}, GeneralCase{0.00001, "1E-05"},
        GeneralCase{0.0000123456789, "1.23457E-05"}, GeneralCase{1e-10, "1E-10"}, GeneralCase{-2.5e-7, "-2.5E-07"},
        GeneralCase{0.99999999999, "1"}, GeneralCase{45000.524259259259, "45000.52426"}));

TEST(GeneralText, NonFiniteValues) {
    EXPECT_EQ(GeneralNumberText(std::nan("")), "#NUM!");
    EXPECT_EQ(GeneralNumberText(-std::numeric_limits<double>::infinity()), "#NUM!");
}

TEST(IsNumericText, DigitsPointsCommasAndMinusOnly) {
    struct Case {
        const char* text;
        bool numeric;
    };
    for (const Case& c : {Case{"", true}, Case{"0", true}, Case{"1,234.50", true}, Case{"-3", true}, Case{"1-2", true},
                          Case{"...", true}, Case{"12a", false}, Case{" 1", false}, Case{"1 ", false},
                          Case{"+1", false}, Case{"1e5", false}, Case{"\xEF\xBC\x91", false},  // full-width 1
                          Case{"12%", false}, Case{"\xC2\xA5" "5", false}}) {
        EXPECT_EQ(IsNumericText(c.text), c.numeric) << '"' << c.text << '"';
    }
}

}  // namespace
}  // namespace tabulon
