#include "core/settings_file.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "support/test_support.h"

#ifdef _WIN32
#include "platform/profile_win.h"
#endif

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

TEST(SettingsFile, OnlyTheFirstSectionOfANameIsRead) {
    const char* text = "[Quillbox]\ncolXsc=5\n[Other]\n[QUILLBOX]\ncolXsc=6\nrowYsc=7\n";
    EXPECT_EQ(FindIniValue(text, "Quillbox", "colXsc"), "5");
    EXPECT_EQ(FindIniValue(text, "Quillbox", "rowYsc"), std::nullopt);
}

TEST(SettingsFile, SaveWritesEveryKeyInOrderAndStopsAtAFailure) {
    ScaleSettings s;
    s.cadYsc = 1.0 / 3.0;
    s.cadTof = 0.00001;
    s.cellLineDraw = false;
    s.cellLineColor = -1;
    std::vector<std::pair<std::string, std::string>> written;
    auto record = [&](std::string_view key, std::string_view value) {
        written.emplace_back(key, value);
        return true;
    };
    EXPECT_EQ(SaveScaleSettings(s, record), std::nullopt);
    const std::vector<std::pair<std::string, std::string>> want = {
        {"colXsc", "20"},   {"rowYsc", "3"},    {"cadXsc", "3"},         {"cadYsc", "0.333333333333333"},
        {"cadTsc", "0.27"}, {"cadTof", "1E-5"}, {"cellLineColor", "-1"}, {"cellLineDraw", "0"},
        {"xlsVerNum", "16"}, {"fitText", "0"},      {"halfWidth", "0.5"},    {"sheetVAlign", "0"},
        {"lineSpacing", "1"}, {"borderStyle", "0"},  {"cellFill", "0"}};
    EXPECT_EQ(written, want);

    written.clear();
    auto failAtCadXsc = [&](std::string_view key, std::string_view value) {
        written.emplace_back(key, value);
        return key != "cadXsc";
    };
    EXPECT_EQ(SaveScaleSettings(s, failAtCadXsc), "cadXsc");
    EXPECT_EQ(written.size(), 3u);  // nothing after the failing key

    written.clear();
    EXPECT_EQ(SaveScaleSettings(ScaleSettings{}, record, ','), std::nullopt);
    EXPECT_EQ(written[3].second, "0,43");
}

TEST(SettingsFile, WhatIsSavedLoadsBackTheSame) {
    ScaleSettings s;
    s.colXsc = 15;
    s.cadYsc = 0.1 + 0.2;
    s.cadTsc = 1e20;
    s.cellLineDraw = false;
    s.xlsVerNum = 14;
    for (char separator : {'.', ','}) {
        std::map<std::string, std::string, std::less<>> file;
        SaveScaleSettings(
            s,
            [&](std::string_view key, std::string_view value) {
                file[std::string(key)] = value;
                return true;
            },
            separator);
        ScaleSettings back = LoadScaleSettings(
            [&](std::string_view key) -> std::optional<std::string> {
                auto it = file.find(key);
                if (it == file.end()) return std::nullopt;
                return it->second;
            },
            separator);
        EXPECT_EQ(back.colXsc, 15);
        EXPECT_DOUBLE_EQ(back.cadYsc, 0.3);
        EXPECT_EQ(back.cadTsc, 1e20);
        EXPECT_FALSE(back.cellLineDraw);
        EXPECT_EQ(back.xlsVerNum, 14);
    }
}

#ifdef _WIN32
// The profile-string API is the reference for reading a settings file: our own
// reader, used where there is no such API, must find the same values.
const char* const kIniCorpus[] = {
    "; comment line\r\n[Other]\r\ncolXsc=99\r\n[ quillbox ]\r\n  colXsc = 15  \r\nrowYsc=\"2.5\"\r\n"
    "cadXsc='4'\r\ncadYsc=\"0.5\r\nnoequals\r\n;cadTsc=5\r\ncadTof=\r\ncolXsc=77\r\n[Quillbox]\r\n"
    "cellLineColor=0x10\r\n",
    "[Quillbox]\ncellLineDraw=0\nxlsVerNum=0x0F\ncadTsc=1e-3\n[Next]\ncadTof=9\n",
    "colXsc=1\n[Quillbox]\n\n\n   \ncolxsc=-3\nCADXSC = 1.5E2\ncellLineColor=abc\ncellLineDraw=5\n",
    "[Other]\nrowYsc=1\n",
    "",
};

const char* const kKeys[] = {"colXsc",        "rowYsc",       "cadXsc",    "cadYsc",   "cadTsc",  "cadTof",
                             "cellLineColor", "cellLineDraw", "xlsVerNum", "noequals", ";cadTsc", "missing"};

std::string WriteIni(const std::string& name, const std::string& text) {
    const std::string path = test::FreshDir("ini_" + name) + "/settings.ini";
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

TEST(SettingsFileOnWindows, OurReaderAgreesWithTheProfileApi) {
    int index = 0;
    for (const char* text : kIniCorpus) {
        const std::string path = WriteIni("read" + std::to_string(index++), text);
        for (const char* key : kKeys) {
            EXPECT_EQ(FindIniValue(text, kSettingsSection, key), ReadProfileValue(path, kSettingsSection, key))
                << "key " << key << " in\n"
                << text;
        }
        ScaleSettings ours = ReadScaleSettings(text);
        ScaleSettings api =
            LoadScaleSettings([&](std::string_view key) { return ReadProfileValue(path, kSettingsSection, key); });
        EXPECT_EQ(ours.colXsc, api.colXsc);
        EXPECT_EQ(ours.rowYsc, api.rowYsc);
        EXPECT_EQ(ours.cadXsc, api.cadXsc);
        EXPECT_EQ(ours.cadYsc, api.cadYsc);
        EXPECT_EQ(ours.cadTsc, api.cadTsc);
        EXPECT_EQ(ours.cadTof, api.cadTof);
        EXPECT_EQ(ours.cellLineColor, api.cellLineColor);
        EXPECT_EQ(ours.cellLineDraw, api.cellLineDraw);
        EXPECT_EQ(ours.xlsVerNum, api.xlsVerNum);
    }
}

TEST(SettingsFileOnWindows, SavingThroughTheApiKeepsEverythingElse) {
    const std::string text = "[Other]\r\nkeep=1\r\n[Quillbox]\r\ncadYsc=abc\r\nmine=yes\r\n[Last]\r\nz=2\r\n";
    const std::string path = WriteIni("save", text);
    ScaleSettings s;
    s.cadTof = 0.5;
    s.cellLineDraw = false;
    auto write = [&](std::string_view key, std::string_view value) {
        return WriteProfileValue(path, kSettingsSection, key, value);
    };
    EXPECT_EQ(SaveScaleSettings(s, write), std::nullopt);
    std::ifstream in(path, std::ios::binary);
    const std::string saved((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ScaleSettings back = ReadScaleSettings(saved);
    EXPECT_EQ(back.cadYsc, 0.43);  // the unreadable value was overwritten with the one in use
    EXPECT_EQ(back.cadTof, 0.5);
    EXPECT_FALSE(back.cellLineDraw);
    EXPECT_EQ(FindIniValue(saved, "Other", "keep"), "1");
    EXPECT_EQ(FindIniValue(saved, "Quillbox", "mine"), "yes");
    EXPECT_EQ(FindIniValue(saved, "Last", "z"), "2");

    // A fresh file lists the nine keys in their order.
    const std::string fresh = test::FreshDir("ini_fresh") + "/new.ini";
    EXPECT_EQ(SaveScaleSettings(ScaleSettings{},
                                [&](std::string_view key, std::string_view value) {
                                    return WriteProfileValue(fresh, kSettingsSection, key, value);
                                }),
              std::nullopt);
    std::ifstream freshIn(fresh, std::ios::binary);
    const std::string freshText((std::istreambuf_iterator<char>(freshIn)), std::istreambuf_iterator<char>());
    EXPECT_EQ(freshText,
              "[Quillbox]\r\ncolXsc=20\r\nrowYsc=3\r\ncadXsc=3\r\ncadYsc=0.43\r\ncadTsc=0.27\r\ncadTof=0.8\r\n"
              "cellLineColor=252\r\ncellLineDraw=1\r\nxlsVerNum=16\r\n"
              "fitText=0\r\nhalfWidth=0.5\r\nsheetVAlign=0\r\nlineSpacing=1\r\nborderStyle=0\r\ncellFill=0\r\n");

    // A folder that does not exist cannot take the file: the first key fails.
    const std::string nowhere = test::FreshDir("ini_nowhere") + "/no/such/folder/x.ini";
    EXPECT_EQ(SaveScaleSettings(s,
                                [&](std::string_view key, std::string_view value) {
                                    return WriteProfileValue(nowhere, kSettingsSection, key, value);
                                }),
              "colXsc");
}
#endif

TEST(SettingsFile, PartialSettingsOverrideOnlyWhatTheyHold) {
    ScaleSettings s;
    s.cadXsc = 9;
    PartialScaleSettings partial;
    partial.Set(&ScaleSettings::cadYsc, 1.0);
    partial.Set(&ScaleSettings::cellLineDraw, false);
    partial.ApplyTo(s);
    EXPECT_EQ(s.cadXsc, 9);
    EXPECT_EQ(s.cadYsc, 1);
    EXPECT_FALSE(s.cellLineDraw);
    EXPECT_EQ(s.xlsVerNum, 16);
}

}  // namespace
}  // namespace tabulon
