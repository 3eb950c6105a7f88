#include "core/cad_commands.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "support/fake_window_system.h"

namespace tabulon {
namespace {

using test::AddFakeAcad;
using test::FakeAcad;
using test::FakeWindowSystem;
using Kind = FakeWindowSystem::Kind;

const std::u16string kIdle = u"コマンド: ";
const std::u16string kEtx(1, kCadEtx);
const std::u16string kEtx2(2, kCadEtx);
const std::u16string kEsc2(2, kCadEsc);

std::string Narrow(const std::u16string& text) {
    std::string out;
    for (char16_t c : text) out += c >= 0x20 && c < 0x80 ? static_cast<char>(c) : '?';
    return out;
}

// AutoCAD's command line as the dialogue meets it: it answers the texts it is
// handed the way the Japanese AutoCAD does, and a point pick resolves as scripted
// a few polls after "_iD" arrives.
class ScriptedAcad {
public:
    enum class Pick { Point, Cancel, NeverAnswer };

    explicit ScriptedAcad(FakeWindowSystem& desktop, std::uint32_t pid = 100)
        : acad(AddFakeAcad(desktop, pid)), desktop_(desktop) {
        desktop_.SetText(acad.promptPane, kIdle);
        desktop_.SetText(acad.historyPane, u"コマンド: ");
        desktop_.onCopyData = [this](WindowHandle to, const std::u16string& text) {
            if (to == acad.main) Receive(text);
        };
        desktop_.onSleep = [this] { Tick(); };
    }

    FakeAcad acad;
    Pick pick = Pick::Point;
    std::u16string pickedValue = u"12.5000,7.0000,0.0000";
    int pollsUntilPicked = 3;
    std::u16string lastPoint = u"0.0000,0.0000,0.0000";

private:
    void Receive(std::u16string text) {
        while (!text.empty() && text.front() == kCadEtx) {
            if (picking_) History(u"*キャンセル*\r\n");
            picking_ = false;
            text.erase(0, 1);
            Prompt(kIdle);
        }
        if (text.starts_with(u"LASTPOINT ")) {
            lastPoint = u"123.0000,456.0000,789.0000";
            History(u"LASTPOINT\r\nLASTPOINT の新しい値を入力 <0.0000,0.0000,0.0000>: 123,456,789\r\n" + kIdle);
        } else if (text == u"_iD\r") {
            History(u"_iD\r\n");
            Prompt(u"点を指定: ");
            picking_ = true;
            pollsLeft_ = pollsUntilPicked;
        } else if (text.starts_with(u"'SETVAR ")) {
            const std::u16string name = text.substr(8, text.size() - 9);
            Prompt(name + u" の新しい値を入力 <" + lastPoint + u">: ");
        }
    }
    void Tick() {
        if (!picking_ || pick == Pick::NeverAnswer || --pollsLeft_ > 0) return;
        picking_ = false;
        if (pick == Pick::Cancel) {
            History(u"点を指定: *キャンセル*\r\n" + kIdle);
        } else {
            lastPoint = pickedValue;
            History(u"点を指定:  X = 12.5000     Y = 7.0000     Z = 0.0000\r\n" + kIdle);
        }
        Prompt(kIdle);
    }
    void Prompt(const std::u16string& text) { desktop_.SetText(acad.promptPane, text); }
    void History(const std::u16string& text) { desktop_.At(acad.historyPane).text += text; }

    FakeWindowSystem& desktop_;
    bool picking_ = false;
    int pollsLeft_ = 0;
};

// BricsCAD with its command line docked.
struct FakeBcad {
    WindowHandle main{};
    WindowHandle input{};
};

FakeBcad AddFakeBcad(FakeWindowSystem& desktop) {
    FakeBcad bcad;
    bcad.main = desktop.AddTopLevel(u"BricscadMainWindow", u"BricsCAD V19 - [Drawing1.dwg]", 40);
    const WindowHandle bar = desktop.AddChild(bcad.main, u"BcadDockBar", u"コマンドライン");
    const WindowHandle frame = desktop.AddChild(desktop.AddChild(bar));
    desktop.AddChild(frame, u"BcadHistory");
    bcad.input = desktop.AddChild(frame, u"RICHEDIT50W");
    return bcad;
}

class FakeProbe : public DrawingPathProbe {
public:
    std::set<std::u16string> files;
    std::map<std::u16string, std::u16string> shortForms;
    int shortPathQueries = 0;

    bool FileExists(const std::u16string& path) override { return files.contains(path); }
    std::u16string ShortPath(const std::u16string& path) override {
        ++shortPathQueries;
        auto it = shortForms.find(path);
        return it == shortForms.end() ? path : it->second;  // as GetShortPathNameW without 8.3 names
    }
};

// Every hand-over to AutoCAD is one zero-terminated WM_COPYDATA with dwData 1,
// followed at once by a WM_NULL that wakes the application.
void ExpectWellFormedCopyData(const FakeWindowSystem& desktop) {
    for (size_t i = 0; i < desktop.messages.size(); ++i) {
        const auto& m = desktop.messages[i];
        if (m.kind != Kind::CopyData) continue;
        EXPECT_EQ(m.dwData, 1u);
        EXPECT_TRUE(m.zeroTerminated);
        EXPECT_EQ(m.bytes, (m.text.size() + 1) * 2);
        ASSERT_LT(i + 1, desktop.messages.size());
        EXPECT_EQ(desktop.messages[i + 1].kind, Kind::PostNull);
        EXPECT_EQ(desktop.messages[i + 1].to, m.to);
    }
}

// ---- text helpers ----------------------------------------------------------------------

struct AfterCase {
    std::u16string marker, text, after;
};

class TextAfterLastTest : public ::testing::TestWithParam<AfterCase> {};

TEST_P(TextAfterLastTest, CutsAtTheLastMarkerAndTrims) {
    EXPECT_EQ(TextAfterLast(GetParam().marker, GetParam().text), GetParam().after) << Narrow(GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Cases, TextAfterLastTest,
                         ::testing::Values(AfterCase{u"_iD", u"コマンド: _iD\r\n点を指定: *キャンセル*\r\nコマンド: ",
                                                     u"点を指定: *キャンセル*\r\nコマンド:"},
                                           AfterCase{u"_iD", u"_iD *キャンセル* _iD\r\n X = 1 \r\n", u"X = 1"},
                                           AfterCase{u"_iD", u"コマンド: _iD", u""},  // the marker ends the text
                                           AfterCase{u"_iD", u"コマンド: _ID", u""},  // case-sensitive
                                           AfterCase{u"_iD", u"", u""}, AfterCase{u"", u"abc", u""},
                                           AfterCase{u"a", u"aaa", u""},
                                           AfterCase{u"=", u"\t x = \x1f 1 \x7f", u"1 \x7f"}));

struct PointCase {
    std::u16string text;
    bool parses;
    TAcadPoint point;  // also what a failed parse leaves
};

class ParseAcadPointTest : public ::testing::TestWithParam<PointCase> {};

TEST_P(ParseAcadPointTest, ReadsCommaSeparatedCoordinates) {
    TAcadPoint point{9, 9, 9};
    EXPECT_EQ(ParseAcadPoint(GetParam().text, point), GetParam().parses) << Narrow(GetParam().text);
    EXPECT_EQ(point.x, GetParam().point.x);
    EXPECT_EQ(point.y, GetParam().point.y);
    EXPECT_EQ(point.z, GetParam().point.z);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ParseAcadPointTest,
    ::testing::Values(PointCase{u"10.5,20,0", true, {10.5, 20, 0}}, PointCase{u"10.5,20", true, {10.5, 20, 0}},
                      PointCase{u"\"1,2,3\"", true, {1, 2, 3}}, PointCase{u"12.5000,7.0000,0.0000", true, {12.5, 7, 0}},
                      PointCase{u"-1.5E3, +2 ,1e-2", true, {-1500, 2, 0.01}},
                      PointCase{u"123.0000,456.0000,789.0000", true, {123, 456, 789}},
                      PointCase{u"10.5", false, {0, 0, 0}}, PointCase{u",1,2", false, {0, 0, 0}},
                      PointCase{u"", false, {0, 0, 0}}, PointCase{u"\"", false, {0, 0, 0}},
                      PointCase{u"1,2,3,4", false, {1, 2, 0}},  // fails at z
                      PointCase{u"1,,3", false, {1, 0, 0}},     // the rest ",3" is no number
                      PointCase{u"1,2,", false, {1, 2, 0}},
                      PointCase{u"12,5,7,0", false, {12, 5, 0}},  // a locale comma is no separator here
                      PointCase{u"不明,1", false, {0, 0, 0}}, PointCase{u"1,inf", false, {1, 0, 0}},
                      PointCase{u"1,nan", false, {1, 0, 0}}, PointCase{u"1,+-2", false, {1, 0, 0}},
                      PointCase{u"1,0x10", false, {1, 0, 0}}));

TEST(CadCommandTexts, CoordinatesAreWrittenWithAPointWhateverTheLocale) {
    const std::u16string path = u"D:\\t\\a.dxf";
    const std::u16string head = kEtx2 + u"-INSERT\r*D:\\t\\a.dxf\r";
    EXPECT_EQ(AcadInsertCommand(path, 12.5, 7), head + u"12.5,7\r1 0\r");
    EXPECT_EQ(AcadInsertCommand(path, -0.25, 1234567.125), head + u"-0.25,1234567.125\r1 0\r");
    EXPECT_EQ(AcadInsertCommand(path, 0.1 + 0.2, 1e-5), head + u"0.3,1E-5\r1 0\r");
    EXPECT_EQ(BcadInsertCommand(path), kEsc2 + u"-INSERT\r*D:\\t\\a.dxf\rS 1 R 0 ");
}

// ---- sending -------------------------------------------------------------------------------

TEST(SendBcadCommand, TypesEveryUtf16CodeValue) {
    FakeWindowSystem desktop;
    const FakeBcad bcad = AddFakeBcad(desktop);
    CadWindows windows(desktop);
    CadCommands cad(windows);
    const std::u16string text = kEsc2 + u"-INSERT\r*D:\\図面\\𠮷.dxf\r";  // 𠮷 is a surrogate pair
    ASSERT_TRUE(cad.SendBcadCommand(text));
    EXPECT_EQ(desktop.TypedInto(bcad.input), text);
    EXPECT_EQ(desktop.Count(Kind::Char), text.size());
}

struct LengthCase {
    size_t length;
    bool sent;
};

class CommandLengthTest : public ::testing::TestWithParam<LengthCase> {};

TEST_P(CommandLengthTest, LongerThan511IsNeverSentNorCut) {
    FakeWindowSystem desktop;
    const FakeBcad bcad = AddFakeBcad(desktop);
    const FakeAcad acad = AddFakeAcad(desktop, 100);
    CadWindows windows(desktop);
    CadCommands cad(windows);
    const std::u16string text(GetParam().length, u'x');

    EXPECT_EQ(cad.SendBcadCommand(text), GetParam().sent);
    EXPECT_EQ(cad.SendAcadCommand(text), GetParam().sent);
    EXPECT_EQ(desktop.TypedInto(bcad.input), GetParam().sent ? text : u"");
    EXPECT_EQ(desktop.CopyDataTexts(acad.main), GetParam().sent ? std::vector{text} : std::vector<std::u16string>{});
    ExpectWellFormedCopyData(desktop);
}

INSTANTIATE_TEST_SUITE_P(Cases, CommandLengthTest,
                         ::testing::Values(LengthCase{0, true}, LengthCase{1, true}, LengthCase{511, true},
                                           LengthCase{512, false}, LengthCase{2000, false}));

TEST(SendCommand, NothingIsSentWithoutTheApplication) {
    FakeWindowSystem desktop;
    desktop.AddTopLevel(u"Notepad", u"AutoCAD 2016", 5);
    CadWindows windows(desktop);
    CadCommands cad(windows);
    EXPECT_FALSE(cad.SendBcadCommand(u"LINE\r"));
    EXPECT_FALSE(cad.SendAcadCommand(u"LINE\r"));
    EXPECT_TRUE(desktop.messages.empty());
}

// ---- reading back ---------------------------------------------------------------------------

struct ControlTextCase {
    const char* name;
    std::u16string text;
    std::optional<std::int64_t> reportedLength;
    std::u16string read;
    bool fetched;
};

class GetControlTextTest : public ::testing::TestWithParam<ControlTextCase> {};

TEST_P(GetControlTextTest, AsksTheLengthThenFetchesUpToTheFirstZero) {
    FakeWindowSystem desktop;
    const WindowHandle pane = desktop.AddTopLevel(u"Edit", u"", 100);
    desktop.SetText(pane, GetParam().text);
    desktop.At(pane).reportedLength = GetParam().reportedLength;
    CadWindows windows(desktop);
    CadCommands cad(windows);
    EXPECT_EQ(cad.GetControlText(pane), GetParam().read) << GetParam().name;
    EXPECT_EQ(desktop.getTextCalls, GetParam().fetched ? 1 : 0) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GetControlTextTest,
    ::testing::Values(ControlTextCase{"whole text", u"コマンド: ", std::nullopt, u"コマンド: ", true},
                      ControlTextCase{"empty", u"", std::nullopt, u"", false},
                      ControlTextCase{"negative length", u"abc", -1, u"", false},
                      ControlTextCase{"embedded zero", std::u16string(u"ab\0cd", 5), std::nullopt, u"ab", true},
                      ControlTextCase{"grew after the length", u"abcdef", 3, u"abc", true},
                      ControlTextCase{"shrank after the length", u"ab", 5, u"ab", true}));

TEST(GetControlText, AClosedWindowReadsEmpty) {
    FakeWindowSystem desktop;
    const FakeAcad acad = AddFakeAcad(desktop, 100);
    desktop.SetText(acad.promptPane, kIdle);
    CadWindows windows(desktop);
    CadCommands cad(windows);
    EXPECT_EQ(cad.GetAcadPromptText(), kIdle);
    desktop.Close(acad.textWindow);
    EXPECT_EQ(cad.GetAcadPromptText(), u"");
    EXPECT_EQ(cad.GetAcadHistoryText(), u"");
}

// ---- waiting for a command to end ------------------------------------------------------------

// One entry per poll: the prompt text, or one of these events on the main window.
const std::u16string kDisable = u"<disable>";
const std::u16string kHide = u"<hide>";
const std::u16string kClose = u"<close>";

struct WaitCase {
    const char* name;
    std::vector<std::u16string> polls;  // after these, the prompt stays as it is
    int result;
    int pollsTaken;
};

class WaitAcadCommandEndTest : public ::testing::TestWithParam<WaitCase> {};

TEST_P(WaitAcadCommandEndTest, CountsIdleAndEmptyReadings) {
    FakeWindowSystem desktop;
    const FakeAcad acad = AddFakeAcad(desktop, 100);
    desktop.SetText(acad.promptPane, u"点を指定: ");
    desktop.SetText(acad.historyPane, u"コマンド: _iD\r\n点を指定:  X = 1  Y = 2  Z = 0\r\n" + kIdle);
    const std::vector<std::u16string>& script = GetParam().polls;
    desktop.onSleep = [&] {
        const size_t poll = static_cast<size_t>(desktop.sleeps) - 1;
        if (poll >= script.size()) return;
        if (script[poll] == kDisable) {
            desktop.At(acad.main).enabled = false;
        } else if (script[poll] == kHide) {
            desktop.At(acad.main).visible = false;
        } else if (script[poll] == kClose) {
            desktop.Close(acad.main);
        } else {
            desktop.SetText(acad.promptPane, script[poll]);
        }
    };
    CadWindows windows(desktop);
    CadCommands cad(windows);

    EXPECT_EQ(cad.WaitAcadCommandEnd(u"_iD", 100, 60), GetParam().result) << GetParam().name;
    EXPECT_EQ(desktop.sleeps, GetParam().pollsTaken) << GetParam().name;
    EXPECT_EQ(desktop.pumps, GetParam().pollsTaken) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WaitAcadCommandEndTest,
    ::testing::Values(
        WaitCase{"idle twice", {kIdle, kIdle}, 1, 2},
        WaitCase{"an empty reading does not reset", {kIdle, u"", kIdle}, 1, 3},
        WaitCase{"another prompt resets", {kIdle, u"点を指定: ", kIdle, kIdle}, 1, 4},
        WaitCase{"prompt then idle", {u"点を指定: ", kIdle, kIdle}, 1, 3},
        WaitCase{"idle needs the exact text", {u"コマンド:", u"コマンド: ", u" コマンド: ", u"コマンド: "}, 1, 5},
        WaitCase{"two empty readings", {u"", u""}, -1, 2},
        WaitCase{"two empty readings in total", {u"", kIdle, u"点を指定: ", u""}, -1, 4},
        WaitCase{"modal dialog", {u"点を指定: ", kDisable}, -1, 2}, WaitCase{"hidden", {kHide}, -1, 1},
        WaitCase{"closed", {kIdle, kClose}, -1, 2}, WaitCase{"no idle prompt within the time", {}, -1, 601}));

TEST(WaitAcadCommandEnd, TheTextWindowGoneReadsEmptyAndAborts) {
    FakeWindowSystem desktop;
    const FakeAcad acad = AddFakeAcad(desktop, 100);
    desktop.SetText(acad.promptPane, kIdle);
    desktop.Close(acad.textWindow);
    CadWindows windows(desktop);
    CadCommands cad(windows);
    EXPECT_EQ(cad.WaitAcadCommandEnd(u"_iD", 100, 60), -1);
    EXPECT_EQ(desktop.sleeps, 2);
}

struct HistoryCase {
    std::u16string history;
    int result;
};

class WaitHistoryTest : public ::testing::TestWithParam<HistoryCase> {};

TEST_P(WaitHistoryTest, ACancelAfterTheLastMarkerGivesZero) {
    FakeWindowSystem desktop;
    const FakeAcad acad = AddFakeAcad(desktop, 100);
    desktop.SetText(acad.promptPane, kIdle);
    desktop.SetText(acad.historyPane, GetParam().history);
    CadWindows windows(desktop);
    CadCommands cad(windows);
    EXPECT_EQ(cad.WaitAcadCommandEnd(u"_iD", 100, 60), GetParam().result) << Narrow(GetParam().history);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WaitHistoryTest,
    ::testing::Values(HistoryCase{u"コマンド: _iD\r\n点を指定: *キャンセル*\r\nコマンド: ", 0},
                      HistoryCase{u"コマンド: _iD\r\n点を指定: キャンセル\r\n", 0},
                      HistoryCase{u"_iD *キャンセル*\r\nコマンド: _iD\r\n点を指定:  X = 1  Y = 2  Z = 0\r\n", 1},
                      HistoryCase{u"コマンド: LINE *キャンセル*\r\nコマンド: ", 1},  // no marker: nothing after it
                      HistoryCase{u"", 1}));

struct PollCountCase {
    int intervalMs, timeoutSeconds, polls;
};

class WaitPollCountTest : public ::testing::TestWithParam<PollCountCase> {};

TEST_P(WaitPollCountTest, PollsAreTheTimeOverTheIntervalPlusOne) {
    FakeWindowSystem desktop;
    const FakeAcad acad = AddFakeAcad(desktop, 100);
    desktop.SetText(acad.promptPane, u"点を指定: ");
    CadWindows windows(desktop);
    CadCommands cad(windows);
    EXPECT_EQ(cad.WaitAcadCommandEnd(u"_iD", GetParam().intervalMs, GetParam().timeoutSeconds), -1);
    EXPECT_EQ(desktop.sleeps, GetParam().polls);
    EXPECT_EQ(desktop.NowMs(), static_cast<std::uint64_t>(GetParam().polls) * GetParam().intervalMs);
}

INSTANTIATE_TEST_SUITE_P(Cases, WaitPollCountTest,
                         ::testing::Values(PollCountCase{100, 60, 601}, PollCountCase{250, 1, 5},
                                           PollCountCase{300, 1, 4}, PollCountCase{100, 0, 1}));

// ---- system variables -------------------------------------------------------------------------

struct SysVarCase {
    const char* label;
    std::u16string name;
    std::u16string query;  // what is sent before the closing ETX
    std::u16string prompt;
    std::u16string history;
    std::u16string value;
};

class GetAcadSysVarTest : public ::testing::TestWithParam<SysVarCase> {};

TEST_P(GetAcadSysVarTest, ReadsTheDefaultOrTheHistoryLine) {
    const SysVarCase& c = GetParam();
    FakeWindowSystem desktop;
    const FakeAcad acad = AddFakeAcad(desktop, 100);
    desktop.SetText(acad.promptPane, c.prompt);
    desktop.SetText(acad.historyPane, c.history);
    CadWindows windows(desktop);
    CadCommands cad(windows);
    windows.FindAcadMainWindow();  // the callers have just found it

    EXPECT_EQ(cad.GetAcadSysVar(c.name), c.value) << c.label;
    EXPECT_EQ(desktop.CopyDataTexts(acad.main), (std::vector{c.query, kEtx})) << c.label;
    EXPECT_EQ(desktop.NowMs(), kSysVarQueryPauseMs) << c.label;
    ExpectWellFormedCopyData(desktop);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GetAcadSysVarTest,
    ::testing::Values(SysVarCase{"default in the prompt", u"LASTPOINT", u"'SETVAR LASTPOINT\r",
                                 u"LASTPOINT の新しい値を入力 <12.5000,7.0000,0.0000>: ", u"",
                                 u"12.5000,7.0000,0.0000"},
                      SysVarCase{"last brackets win", u"OSMODE", u"'SETVAR OSMODE\r",
                                 u"<a> OSMODE の新しい値を入力 < 4133 >: ", u"", u"4133"},
                      SysVarCase{"lower-case acadver", u"acadver", u"acadver\r", u"",
                                 u"コマンド: acadver\r\nacadver = \"20.1s (LMS Tech)\" (読み込み専用)\r\n",
                                 u"\"20.1s (LMS Tech)\""},
                      SysVarCase{"mixed-case layerpmode", u"LayerPMode", u"LayerPMode\r",
                                 u"LAYERPMODE をオンまたはオフにする [オン(ON)/オフ(OFF)] <オン>: ", u"", u"オン"},
                      SysVarCase{"brackets the wrong way round", u"FILEDIA", u"'SETVAR FILEDIA\r", u"a > b < c",
                                 u"FILEDIA = 1 (読み込み専用)", u"1"},
                      SysVarCase{"history name is case-sensitive", u"filedia", u"'SETVAR filedia\r", u"",
                                 u"FILEDIA = 1 (読み込み専用)", u""},
                      SysVarCase{"history without a remark", u"ACADVER", u"ACADVER\r", u"", u"ACADVER = 20.1s", u""},
                      SysVarCase{"nothing to read", u"CLAYER", u"'SETVAR CLAYER\r", u"", u"", u""}));

TEST(GetAcadSysVar, NothingIsSentWithoutARememberedMainWindow) {
    FakeWindowSystem desktop;
    const FakeAcad acad = AddFakeAcad(desktop, 100);
    desktop.SetText(acad.promptPane, u"<1>");
    CadWindows windows(desktop);
    CadCommands cad(windows);
    EXPECT_EQ(cad.GetAcadSysVar(u"LASTPOINT"), u"");  // not searched here
    EXPECT_TRUE(desktop.messages.empty());
}

// ---- the point pick ----------------------------------------------------------------------------

struct PickCase {
    const char* name;
    ScriptedAcad::Pick pick;
    std::u16string pickedValue;
    int result;
    TAcadPoint point;
};

class PickAcadPointTest : public ::testing::TestWithParam<PickCase> {};

TEST_P(PickAcadPointTest, SetsTheSentinelPicksAndReadsLastPoint) {
    const PickCase& c = GetParam();
    FakeWindowSystem desktop;
    ScriptedAcad acad(desktop);
    acad.pick = c.pick;
    acad.pickedValue = c.pickedValue;
    CadWindows windows(desktop);
    CadCommands cad(windows);

    TAcadPoint point{9, 9, 9};
    EXPECT_EQ(cad.PickAcadPoint(point), c.result) << c.name;
    EXPECT_EQ(point.x, c.point.x) << c.name;
    EXPECT_EQ(point.y, c.point.y) << c.name;
    EXPECT_EQ(point.z, c.point.z) << c.name;
    const std::vector<std::u16string> sent = desktop.CopyDataTexts(acad.acad.main);
    ASSERT_GE(sent.size(), 2u);
    EXPECT_EQ(sent[0], kEtx2 + u"LASTPOINT 123,456,789 ");
    EXPECT_EQ(sent[1], u"_iD\r");
    ExpectWellFormedCopyData(desktop);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PickAcadPointTest,
    ::testing::Values(
        PickCase{"picked", ScriptedAcad::Pick::Point, u"12.5000,7.0000,0.0000", 1, {12.5, 7, 0}},
        PickCase{"picked at the origin", ScriptedAcad::Pick::Point, u"0.0000,0.0000,0.0000", 1, {0, 0, 0}},
        PickCase{
            "sentinel left in place", ScriptedAcad::Pick::Point, u"123.0000,456.0000,789.0000", 0, {123, 456, 789}},
        PickCase{
            "near the sentinel", ScriptedAcad::Pick::Point, u"123.0000,456.0000,789.0001", 1, {123, 456, 789.0001}},
        PickCase{"unreadable value", ScriptedAcad::Pick::Point, u"1.0000", 0, {0, 0, 0}},
        PickCase{"cancelled", ScriptedAcad::Pick::Cancel, u"", 0, {0, 0, 0}}));

TEST(PickAcadPoint, GivesUpAfterSixtySecondsAndSendsNothingMore) {
    FakeWindowSystem desktop;
    ScriptedAcad acad(desktop);
    acad.pick = ScriptedAcad::Pick::NeverAnswer;
    CadWindows windows(desktop);
    CadCommands cad(windows);

    TAcadPoint point;
    EXPECT_EQ(cad.PickAcadPoint(point), -1);
    EXPECT_EQ(desktop.sleeps, 601);
    EXPECT_EQ(desktop.NowMs(), 60100u);                           // the fake clock: 601 polls of 100 ms
    EXPECT_EQ(desktop.CopyDataTexts(acad.acad.main).size(), 2u);  // the ID command stays open
}

TEST(PickAcadPoint, NotRunningGivesMinusOneAndSendsNothing) {
    FakeWindowSystem desktop;
    CadWindows windows(desktop);
    CadCommands cad(windows);
    TAcadPoint point;
    EXPECT_EQ(cad.PickAcadPoint(point), -1);
    EXPECT_TRUE(desktop.messages.empty());
}

// ---- the insertion -------------------------------------------------------------------------------

const std::u16string kPath = u"D:\\t\\a.dxf";

TEST(InsertDxfIntoCad, AutoCadAloneGetsTheWholeDialogue) {
    FakeWindowSystem desktop;
    ScriptedAcad acad(desktop);
    FakeProbe probe;
    probe.files.insert(kPath);
    CadWindows windows(desktop);
    CadCommands cad(windows);

    EXPECT_EQ(InsertDxfIntoCad(cad, probe, kPath), InsertOutcome::Attempted);
    EXPECT_EQ(desktop.CopyDataTexts(acad.acad.main),
              (std::vector<std::u16string>{kEtx2 + u"LASTPOINT 123,456,789 ", u"_iD\r", u"'SETVAR LASTPOINT\r", kEtx,
                                           kEtx2 + u"-INSERT\r*D:\\t\\a.dxf\r12.5,7\r1 0\r"}));
    ExpectWellFormedCopyData(desktop);
    EXPECT_EQ(desktop.Count(Kind::Char), 0u);
    EXPECT_EQ(probe.shortPathQueries, 0);
}

TEST(InsertDxfIntoCad, BricsCadFirstThenAutoCad) {
    FakeWindowSystem desktop;
    const FakeBcad bcad = AddFakeBcad(desktop);
    ScriptedAcad acad(desktop);
    FakeProbe probe;
    probe.files.insert(kPath);
    CadWindows windows(desktop);
    CadCommands cad(windows);

    EXPECT_EQ(InsertDxfIntoCad(cad, probe, kPath), InsertOutcome::Attempted);
    EXPECT_EQ(desktop.TypedInto(bcad.input), kEsc2 + u"-INSERT\r*D:\\t\\a.dxf\rS 1 R 0 ");
    const std::vector<std::u16string> acadTexts = desktop.CopyDataTexts(acad.acad.main);
    ASSERT_EQ(acadTexts.size(), 5u);
    EXPECT_EQ(acadTexts.back(), kEtx2 + u"-INSERT\r*D:\\t\\a.dxf\r12.5,7\r1 0\r");

    // Order: BricsCAD to the front and typed into, then AutoCAD to the front.
    std::vector<std::pair<Kind, WindowHandle>> firstSteps;
    for (const auto& m : desktop.messages) {
        if (firstSteps.empty() || firstSteps.back() != std::pair{m.kind, m.to}) firstSteps.push_back({m.kind, m.to});
    }
    ASSERT_GE(firstSteps.size(), 4u);
    EXPECT_EQ(firstSteps[0], (std::pair{Kind::Foreground, bcad.main}));
    EXPECT_EQ(firstSteps[1], (std::pair{Kind::Char, bcad.input}));
    EXPECT_EQ(firstSteps[2], (std::pair{Kind::Foreground, acad.acad.main}));
    EXPECT_EQ(firstSteps[3], (std::pair{Kind::CopyData, acad.acad.main}));
}

struct SkipCase {
    const char* name;
    bool bcadEnabled, acadEnabled;
    ScriptedAcad::Pick pick;
    std::u16string pickedValue;
    bool bcadTyped, acadAsked, acadInserted;
};

class InsertSkipTest : public ::testing::TestWithParam<SkipCase> {};

TEST_P(InsertSkipTest, EachApplicationIsSkippedOnItsOwn) {
    const SkipCase& c = GetParam();
    FakeWindowSystem desktop;
    const FakeBcad bcad = AddFakeBcad(desktop);
    desktop.At(bcad.main).enabled = c.bcadEnabled;
    ScriptedAcad acad(desktop);
    desktop.At(acad.acad.main).enabled = c.acadEnabled;
    acad.pick = c.pick;
    acad.pickedValue = c.pickedValue;
    FakeProbe probe;
    probe.files.insert(kPath);
    CadWindows windows(desktop);
    CadCommands cad(windows);

    EXPECT_EQ(InsertDxfIntoCad(cad, probe, kPath), InsertOutcome::Attempted) << c.name;
    EXPECT_EQ(desktop.TypedInto(bcad.input).empty(), !c.bcadTyped) << c.name;
    const std::vector<std::u16string> sent = desktop.CopyDataTexts(acad.acad.main);
    EXPECT_EQ(!sent.empty(), c.acadAsked) << c.name;
    EXPECT_EQ(!sent.empty() && sent.back().starts_with(kEtx2 + u"-INSERT"), c.acadInserted) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, InsertSkipTest,
    ::testing::Values(
        SkipCase{"BricsCAD behind a modal dialog", false, true, ScriptedAcad::Pick::Point, u"1,2,0", false, true, true},
        SkipCase{"AutoCAD behind a modal dialog", true, false, ScriptedAcad::Pick::Point, u"1,2,0", true, false, false},
        SkipCase{"pick cancelled", true, true, ScriptedAcad::Pick::Cancel, u"", true, true, false},
        SkipCase{"sentinel left", true, true, ScriptedAcad::Pick::Point, u"123,456,789", true, true, false},
        SkipCase{"unreadable LASTPOINT", true, true, ScriptedAcad::Pick::Point, u"?", true, true, false},
        SkipCase{"no pick within the time", true, true, ScriptedAcad::Pick::NeverAnswer, u"", true, true, false}));

TEST(InsertDxfIntoCad, AVanishedFileSendsNothingAnywhere) {
    FakeWindowSystem desktop;
    AddFakeBcad(desktop);
    ScriptedAcad acad(desktop);
    FakeProbe probe;
    CadWindows windows(desktop);
    CadCommands cad(windows);
    EXPECT_EQ(InsertDxfIntoCad(cad, probe, kPath), InsertOutcome::FileMissing);
    EXPECT_TRUE(desktop.messages.empty());
}

TEST(InsertDxfIntoCad, NoApplicationRunningIsSilent) {
    FakeWindowSystem desktop;
    FakeProbe probe;
    probe.files.insert(kPath);
    CadWindows windows(desktop);
    CadCommands cad(windows);
    EXPECT_EQ(InsertDxfIntoCad(cad, probe, kPath), InsertOutcome::Attempted);
    EXPECT_TRUE(desktop.messages.empty());
}

struct BlankPathCase {
    const char* name;
    std::u16string path;
    std::optional<std::u16string> shortForm;  // nullopt: the system answers the long path
    InsertOutcome outcome;
    std::u16string typed;  // empty: nothing sent anywhere
};

class InsertBlankPathTest : public ::testing::TestWithParam<BlankPathCase> {};

TEST_P(InsertBlankPathTest, TypesABlankFreePathOrNothing) {
    const BlankPathCase& c = GetParam();
    FakeWindowSystem desktop;
    const FakeBcad bcad = AddFakeBcad(desktop);
    ScriptedAcad acad(desktop);
    FakeProbe probe;
    probe.files.insert(c.path);
    if (c.shortForm) probe.shortForms[c.path] = *c.shortForm;
    CadWindows windows(desktop);
    CadCommands cad(windows);

    EXPECT_EQ(InsertDxfIntoCad(cad, probe, c.path), c.outcome) << c.name;
    if (c.typed.empty()) {
        EXPECT_TRUE(desktop.messages.empty()) << c.name;
        return;
    }
    EXPECT_EQ(desktop.TypedInto(bcad.input), BcadInsertCommand(c.typed)) << c.name;
    EXPECT_EQ(desktop.CopyDataTexts(acad.acad.main).back(), AcadInsertCommand(c.typed, 12.5, 7)) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, InsertBlankPathTest,
    ::testing::Values(BlankPathCase{"no blank", u"D:\\t\\a.dxf", u"D:\\SHOULD~1\\NOT.DXF", InsertOutcome::Attempted,
                                    u"D:\\t\\a.dxf"},
                      BlankPathCase{"blank with a short form", u"C:\\Program Files\\Tabulon\\tabulon.dxf",
                                    u"C:\\PROGRA~1\\Tabulon\\tabulon.dxf", InsertOutcome::Attempted,
                                    u"C:\\PROGRA~1\\Tabulon\\tabulon.dxf"},
                      BlankPathCase{"blank, short names off", u"C:\\Program Files\\Tabulon\\tabulon.dxf", std::nullopt,
                                    InsertOutcome::PathWithBlank, u""},
                      BlankPathCase{"blank, short form unavailable", u"C:\\Users\\Taro Yamada\\tabulon.dxf", u"",
                                    InsertOutcome::PathWithBlank, u""},
                      BlankPathCase{"blank, short form still with a blank", u"C:\\a b\\c d\\t.dxf",
                                    u"C:\\AB~1\\c d\\t.dxf", InsertOutcome::PathWithBlank, u""}));

struct PathLengthCase {
    size_t pathLength;
    bool bcadTyped, acadAsked, acadInserted;
};

class InsertPathLengthTest : public ::testing::TestWithParam<PathLengthCase> {};

TEST_P(InsertPathLengthTest, AnApplicationWhoseCommandWouldExceed511IsSkipped) {
    const PathLengthCase& c = GetParam();
    FakeWindowSystem desktop;
    const FakeBcad bcad = AddFakeBcad(desktop);
    ScriptedAcad acad(desktop);
    const std::u16string path = u"D:\\" + std::u16string(c.pathLength - 7, u'x') + u".dxf";
    ASSERT_EQ(path.size(), c.pathLength);
    FakeProbe probe;
    probe.files.insert(path);
    CadWindows windows(desktop);
    CadCommands cad(windows);

    InsertDxfIntoCad(cad, probe, path);
    const std::u16string typed = desktop.TypedInto(bcad.input);
    EXPECT_EQ(typed, c.bcadTyped ? BcadInsertCommand(path) : u"") << c.pathLength;
    bool bcadActivated = false;
    for (const auto& m : desktop.messages) bcadActivated |= m.kind == Kind::Foreground && m.to == bcad.main;
    EXPECT_EQ(bcadActivated, c.bcadTyped) << c.pathLength;
    const std::vector<std::u16string> sent = desktop.CopyDataTexts(acad.acad.main);
    EXPECT_EQ(!sent.empty(), c.acadAsked) << c.pathLength;
    const bool inserted = !sent.empty() && sent.back().starts_with(kEtx2 + u"-INSERT");
    EXPECT_EQ(inserted, c.acadInserted) << c.pathLength;
    if (inserted) {
        EXPECT_EQ(sent.back().size(), 511u);
    }
    for (const std::u16string& text : sent) EXPECT_LE(text.size(), kMaxCommandChars);
}

// The BricsCAD command is 20 characters plus the path; the AutoCAD one 20 plus the
// path plus the picked coordinates beyond "0,0" ("12.5,7": three more).
INSTANTIATE_TEST_SUITE_P(Cases, InsertPathLengthTest,
                         ::testing::Values(PathLengthCase{488, true, true, true},
                                           PathLengthCase{489, true, true, false},
                                           PathLengthCase{491, true, true, false},
                                           PathLengthCase{492, false, false, false}));

}  // namespace
}  // namespace tabulon
