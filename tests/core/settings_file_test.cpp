#include "core/settings_file.h"

#include <gtest/gtest.h>

#include <optional>

namespace tabulon {
namespace {

TEST(SettingsFile, MissingFileOrSectionGivesDefaults) {
    for (const char* text : {"", "[Other]\ncolXsc=5\n", "colXsc=5\n"}) {
        ScaleSettings s = ReadScaleSettings(text);
        EXPECT_EQ(s.colXsc, 20) << text;
        EXPECT_EQ(s.rowYsc, 3);
        EXPECT_EQ(s.cadXsc, 3);
        EXPECT_EQ(s.cadYsc, 0.43);
        EXPECT_EQ(s.cadTsc, 0.27);
        EXPECT_EQ(s.cadTof, 0.8);
        EXPECT_EQ(s.cellLineColor, 252);
        EXPECT_TRUE(s.cellLineDraw);
        EXPECT_EQ(s.xlsVerNum, 16);
    }
}

TEST(SettingsFile, ReadsEveryKeyAndKeepsDefaultsPerKey) {
    const char* text =
        "; written by hand\r\n"
        "[Other]\r\ncadXsc=99\r\n"
        "[quillbox]\r\n"
        "colXsc=15\r\n"
        "  rowYsc = 2.5  \r\n"
        "cadXsc=1E1\r\n"
        "cadYsc=abc\r\n"
        "CADTSC=\"0.3\"\r\n"
        "cadTof=\r\n"
        "cellLineColor=0x100\r\n"
        "cellLineDraw=0\r\n"
        "xlsVerNum=0x10\r\n"
        "colXsc=77\r\n";  // the first entry wins
    ScaleSettings s = ReadScaleSettings(text);
    EXPECT_EQ(s.colXsc, 15);
    EXPECT_EQ(s.rowYsc, 2.5);
    EXPECT_EQ(s.cadXsc, 10);
    EXPECT_EQ(s.cadYsc, 0.43);  // not a number: default
    EXPECT_EQ(s.cadTsc, 0.3);
    EXPECT_EQ(s.cadTof, 0.8);  // empty: default
    EXPECT_EQ(s.cellLineColor, 256);
    EXPECT_FALSE(s.cellLineDraw);
    EXPECT_EQ(s.xlsVerNum, 16);
}

TEST(SettingsFile, CellLineDrawIsAnyNonZeroInteger) {
    const std::pair<const char*, bool> cases[] = {{"1", true},    {"0", false},  {"5", true}, {"-1", true},
                                                  {"0x0", false}, {"yes", true}, {"", true}};
    for (auto [value, want] : cases) {
        std::string text = std::string("[Quillbox]\ncellLineDraw=") + value + "\n";
        EXPECT_EQ(ReadScaleSettings(text).cellLineDraw, want) << value;
    }
}

TEST(SettingsFile, NumberRules) {
    const std::pair<const char*, std::optional<double>> cases[] = {{"0.43", 0.43},
                                                                   {"-2", -2},
                                                                   {"+1.5", 1.5},
                                                                   {"1e-5", 1e-5},
                                                                   {" 7 ", 7},
                                                                   {".5", 0.5},
                                                                   {"5.", 5},
                                                                   {"0", 0},
                                                                   {"", std::nullopt},
                                                                   {"abc", std::nullopt},
                                                                   {"1,5", std::nullopt},
                                                                   {"1.2.3", std::nullopt},
                                                                   {"0x10", std::nullopt},
                                                                   {"inf", std::nullopt},
                                                                   {"nan", std::nullopt},
                                                                   {"1e999", std::nullopt},
                                                                   {"1e", std::nullopt},
                                                                   {"--1", std::nullopt},
                                                                   {"1 000", std::nullopt}};
    for (auto [text, want] : cases) EXPECT_EQ(ParseSettingsNumber(text), want) << "\"" << text << "\"";
    EXPECT_EQ(ParseSettingsNumber("1,5", ','), 1.5);
    EXPECT_EQ(ParseSettingsNumber("1.5", ','), std::nullopt);
}

TEST(SettingsFile, IntegerRules) {
    const std::pair<const char*, std::optional<int32_t>> cases[] = {{"252", 252},
                                                                    {"-7", -7},
                                                                    {"+3", 3},
                                                                    {"0x10", 16},
                                                                    {"0X1f", 31},
                                                                    {"0xFFFFFFFF", -1},
                                                                    {"0x", std::nullopt},
                                                                    {"0x1FFFFFFFF", std::nullopt},
                                                                    {"0xG", std::nullopt},
                                                                    {"2147483647", 2147483647},
                                                                    {"2147483648", std::nullopt},
                                                                    {"1.0", std::nullopt},
                                                                    {"", std::nullopt},
                                                                    {"12abc", std::nullopt}};
    for (auto [text, want] : cases) EXPECT_EQ(ParseSettingsInteger(text), want) << "\"" << text << "\"";
}

TEST(SettingsFile, FindIniValueMatchesTheProfileApi) {
    const char* text = "\xEF\xBB\xBF[ Quillbox ]\nKey = 'quoted value' \nother=x\n[Next]\nkey=no\n";
    EXPECT_EQ(FindIniValue(text, "QUILLBOX", "key"), "quoted value");
    EXPECT_EQ(FindIniValue(text, "Quillbox", "missing"), std::nullopt);
    EXPECT_EQ(FindIniValue(text, "Next", "KEY"), "no");
}

TEST(SettingsFile, PartialSettingsOverrideOnlyWhatTheyHold) {
    ScaleSettings s;
    s.cadXsc = 9;
    PartialScaleSettings partial;
    partial.cadYsc = 1;
    partial.cellLineDraw = false;
    partial.ApplyTo(s);
    EXPECT_EQ(s.cadXsc, 9);
    EXPECT_EQ(s.cadYsc, 1);
    EXPECT_FALSE(s.cellLineDraw);
    EXPECT_EQ(s.xlsVerNum, 16);
}

}  // namespace
}  // namespace tabulon
