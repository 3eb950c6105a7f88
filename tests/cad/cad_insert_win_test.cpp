// Finding BricsCAD and AutoCAD and inserting a drawing into them, over the real
// Win32 window system, against fake CAD programs running as processes of their
// own (tabulon_fake_bricscad.exe, tabulon_fake_autocad.exe). What crosses the
// process boundary is checked in the fakes' logs.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <fstream>
#include <ostream>
#include <string>
#include <vector>

#include "cad/fake_cad_process.h"
#include "cad/typed_texts.h"
#include "core/cad_commands.h"
#include "core/cad_windows.h"
#include "platform/window_system_win.h"
#include "support/own_desktop.h"

namespace tabulon {
namespace {

using test::AcadInsertion;
using test::BcadInsertion;
using test::FakeCadProcess;
using test::HandedTexts;
using test::kCloseQuery;
using test::kQueryLastPoint;
using test::kSetSentinel;
using test::kStartPick;
using test::Shown;
using test::SplitAtZeros;
using test::TempFolder;
using test::WholeAcadDialogue;

// The tests and their fakes meet on a desktop of their own.
const ::testing::Environment* const kOwnDesktop =
    ::testing::AddGlobalTestEnvironment(new test::OwnDesktop(L"TabulonCadTests"));

using test::kAutoCad;
using test::kBricsCad;
using test::U16;

// The real window system, watched: it notes which application got input in what
// order, and counts the pick's waits. With skipPickWaits those waits take a
// millisecond instead of their interval, so a pick nobody answers runs out of
// polls in seconds rather than a minute.
class WatchedWindowSystem final : public WindowSystem {
public:
    std::string inputOrder;  // 'B' per WM_CHAR, 'A' per WM_COPYDATA
    int sleeps = 0;
    int pickPolls = 0;
    bool skipPickWaits = false;

    WindowHandle FindTopLevel(std::optional<std::u16string_view> className,
                              std::optional<std::u16string_view> title) override {
        return real_.FindTopLevel(className, title);
    }
    WindowHandle FindChild(WindowHandle parent, std::optional<std::u16string_view> className,
                           std::optional<std::u16string_view> title) override {
        return real_.FindChild(parent, className, title);
    }
    std::vector<WindowHandle> TopLevelWindows() override { return real_.TopLevelWindows(); }
    std::u16string ClassName(WindowHandle window) override { return real_.ClassName(window); }
    std::u16string WindowTitle(WindowHandle window) override { return real_.WindowTitle(window); }
    std::uint32_t ProcessId(WindowHandle window) override { return real_.ProcessId(window); }
    WindowHandle FirstChild(WindowHandle window) override { return real_.FirstChild(window); }
    WindowHandle NextSibling(WindowHandle window) override { return real_.NextSibling(window); }
    bool IsWindow(WindowHandle window) override { return real_.IsWindow(window); }
    bool IsVisible(WindowHandle window) override { return real_.IsVisible(window); }
    bool IsEnabled(WindowHandle window) override { return real_.IsEnabled(window); }
    void SetForeground(WindowHandle window) override { real_.SetForeground(window); }
    void SendChar(WindowHandle window, char16_t code) override {
        inputOrder += 'B';
        real_.SendChar(window, code);
    }
    void SendCopyData(WindowHandle window, std::uintptr_t dwData, std::span<const std::byte> bytes) override {
        inputOrder += 'A';
        real_.SendCopyData(window, dwData, bytes);
    }
    void PostNull(WindowHandle window) override { real_.PostNull(window); }
    std::int64_t GetTextLength(WindowHandle window) override { return real_.GetTextLength(window); }
    std::u16string GetText(WindowHandle window, std::size_t capacity) override {
        return real_.GetText(window, capacity);
    }
    void Sleep(std::uint32_t milliseconds) override {
        ++sleeps;
        const bool pickPoll = milliseconds == kPickPollIntervalMs;
        if (pickPoll) ++pickPolls;
        real_.Sleep(pickPoll && skipPickWaits ? 1 : milliseconds);
    }
    void PumpMessages() override { real_.PumpMessages(); }
    std::uint64_t NowMs() override { return real_.NowMs(); }

private:
    Win32WindowSystem real_;
};

// One run of the program's CAD dialogue: its remembered windows start empty.
struct CadSession {
    WatchedWindowSystem system;
    CadWindows windows{system};
    CadCommands commands{windows};
    Win32DrawingPathProbe probe;

    InsertOutcome Insert(const std::u16string& path) { return InsertDxfIntoCad(commands, probe, path); }
};

// A saved drawing in a folder of its own, removed afterwards. The default names
// hold Japanese but no blank, so the path is typed as it is.
class DrawingFile {
public:
    explicit DrawingFile(std::wstring root = TempFolder(), const std::wstring& folder = L"tabulon-cad-図面",
                         const std::wstring& file = L"table.dxf") {
        static std::atomic<int> serial{0};
        folder_ = root + folder + L"-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++serial);
        CreateDirectoryW(folder_.c_str(), nullptr);
        path_ = folder_ + L"\\" + file;
        std::ofstream(path_.c_str(), std::ios::binary) << "  0\r\nEOF\r\n";
    }
    ~DrawingFile() {
        DeleteFileW(path_.c_str());
        RemoveDirectoryW(folder_.c_str());
    }
    std::u16string Path() const { return U16(path_); }

private:
    std::wstring folder_, path_;
};

constexpr wchar_t kBcadInputClass[] = L"RICHEDIT50W";

// Under Wine, the class name other processes read for a window is spelled as
// the first holder of that name spelled it, in any letter case: class names
// share one case-blind atom table per Wine session, and a name keeps its
// spelling while anything holds it (another program's class of that name, a
// second test run in the same prefix). A test that holds the fake's own spelling
// from before the fake starts decides the reading itself. A name held in another
// spelling is let go when its holder ends, so the hold waits a while for that;
// if it never happens the test fails and says who spells the name. On Windows
// class names are the process's own and the hold changes nothing.
class ClassNameSpelling {
public:
    explicit ClassNameSpelling(const wchar_t* name) : wanted_(name) {
        const ULONGLONG deadline = GetTickCount64() + 15000;
        while (!HeldAsWanted(GlobalFindAtomW(name)) && GetTickCount64() < deadline) Sleep(50);
        atom_ = GlobalAddAtomW(name);
    }
    ~ClassNameSpelling() {
        if (atom_) GlobalDeleteAtom(atom_);
    }
    ClassNameSpelling(const ClassNameSpelling&) = delete;
    ClassNameSpelling& operator=(const ClassNameSpelling&) = delete;

    // Empty when the name is held as wanted; otherwise why not.
    std::string Problem() const {
        if (atom_ == 0) return "the class name could not be held (error " + std::to_string(GetLastError()) + ")";
        if (HeldAsWanted(atom_)) return "";
        std::string shown = "another program in this Wine session spells the class name as ";
        for (wchar_t c : Spelling(atom_)) shown += static_cast<char>(c < 0x80 ? c : '?');
        return shown;
    }

private:
    static std::wstring Spelling(ATOM atom) {
        wchar_t held[256] = {};
        return atom != 0 && GlobalGetAtomNameW(atom, held, 256) > 0 ? std::wstring(held) : std::wstring();
    }
    // Also true when nobody holds the name yet: the hold will spell it.
    bool HeldAsWanted(ATOM atom) const { return atom == 0 || Spelling(atom) == wanted_; }

    std::wstring wanted_;
    ATOM atom_ = 0;
};

template <typename Case>
std::string CaseName(const ::testing::TestParamInfo<Case>& info) {
    return info.param.name;
}

// --- BricsCAD -------------------------------------------------------------------------

struct BcadCase {
    const char* name;
    const wchar_t* args;
    const wchar_t* inputClass;
    bool typed;
};
// Failure messages name the case rather than dump its bytes.
void PrintTo(const BcadCase& c, std::ostream* os) {
    *os << c.name;
}

class BricsCadInsertTest : public ::testing::TestWithParam<BcadCase> {};

TEST_P(BricsCadInsertTest, TypesTheInsertionIntoTheCommandLineInputOnly) {
    const BcadCase& c = GetParam();
    const ClassNameSpelling spelling(c.inputClass);
    ASSERT_EQ(spelling.Problem(), "");
    FakeCadProcess bcad;
    ASSERT_TRUE(bcad.Start(kBricsCad, std::wstring(c.args) + L" --input-class " + c.inputClass));
    DrawingFile drawing;
    CadSession cad;

    EXPECT_EQ(cad.Insert(drawing.Path()), InsertOutcome::Attempted);

    EXPECT_EQ(Shown(bcad.ReadLog()), c.typed ? Shown(BcadInsertion(drawing.Path())) : "");
    EXPECT_TRUE(bcad.Stop());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BricsCadInsertTest,
    ::testing::Values(BcadCase{"Docked", L"", kBcadInputClass, true},
                      BcadCase{"Floating", L"--floating", kBcadInputClass, true},
                      // Wine's own rich edit spells it so: only BricsCAD's control takes commands.
                      BcadCase{"DockedInputOfAnotherSpelling", L"", L"RichEdit50W", false},
                      BcadCase{"FloatingInputOfAnotherRichEdit", L"--floating", L"RICHEDIT20W", false},
                      BcadCase{"MainWindowDisabledByADialog", L"--disabled", kBcadInputClass, false},
                      BcadCase{"FloatingMainWindowDisabled", L"--floating --disabled", kBcadInputClass, false}),
    CaseName<BcadCase>);

TEST(BricsCadInsert, AFloatingCommandLineOfAnotherProcessIsNeverTypedInto) {
    FakeCadProcess bcad, stranger;
    ASSERT_TRUE(bcad.Start(kBricsCad, L"--no-command-line"));
    ASSERT_TRUE(stranger.Start(kBricsCad, L"--no-main"));
    DrawingFile drawing;
    CadSession cad;

    EXPECT_EQ(cad.Insert(drawing.Path()), InsertOutcome::Attempted);

    EXPECT_EQ(cad.system.inputOrder, "");
    EXPECT_EQ(Shown(stranger.ReadLog()), "");
}

// --- AutoCAD and DWG TrueView ------------------------------------------------------------

// How far the dialogue with AutoCAD got.
enum class Reached { Nothing, Pick, PickAndQuery, Insertion };

struct AcadCase {
    const char* name;
    const wchar_t* args;
    Reached reached;
    const char16_t* xy = u"";  // the insertion point typed, for Reached::Insertion
};
void PrintTo(const AcadCase& c, std::ostream* os) {
    *os << c.name;
}

class AutoCadInsertTest : public ::testing::TestWithParam<AcadCase> {};

TEST_P(AutoCadInsertTest, AsksForAPointAndInsertsThere) {
    const AcadCase& c = GetParam();
    FakeCadProcess acad;
    ASSERT_TRUE(acad.Start(kAutoCad, c.args));
    DrawingFile drawing;
    CadSession cad;

    EXPECT_EQ(cad.Insert(drawing.Path()), InsertOutcome::Attempted);

    std::vector<std::u16string> expected;
    switch (c.reached) {
        case Reached::Nothing: break;
        case Reached::Pick: expected = {kSetSentinel, kStartPick}; break;
        case Reached::PickAndQuery: expected = {kSetSentinel, kStartPick, kQueryLastPoint, kCloseQuery}; break;
        case Reached::Insertion: expected = WholeAcadDialogue(drawing.Path(), c.xy); break;
    }
    EXPECT_EQ(HandedTexts(acad), Shown(expected));
    EXPECT_TRUE(acad.Stop());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AutoCadInsertTest,
    ::testing::Values(AcadCase{"AutoCad", L"--pick 12.5,7,0", Reached::Insertion, u"12.5,7"},
                      AcadCase{"DwgTrueView",
                               L"--title \"DWG TrueView 2018 - [Drawing1.dwg]\" "
                               L"--text-title \"DWG TrueView テキスト ウィンドウ - Drawing1.dwg\" --pick -3.25,1000,2",
                               Reached::Insertion, u"-3.25,1000"},
                      AcadCase{"AutodeskInAnMdiFrame",
                               L"--title \"Autodesk AutoCAD 2016 - [Drawing1.dwg]\" --mdi-frame --pick 0.125,-40,0",
                               Reached::Insertion, u"0.125,-40"},
                      AcadCase{"PickCancelled", L"--pick-cancel", Reached::Pick},
                      // The point the sentinel holds cannot be told from no pick at all.
                      AcadCase{"SentinelPointPicked", L"--pick 123,456,789", Reached::PickAndQuery},
                      // Not ready: the wait for the pick ends at its first poll.
                      AcadCase{"MainFrameHidden", L"--hidden --pick 12.5,7,0", Reached::Pick},
                      // The prompt reads empty, twice.
                      AcadCase{"NoTextWindow", L"--no-text-window --pick 12.5,7,0", Reached::Pick},
                      AcadCase{"MainFrameDisabledByADialog", L"--disabled --pick 12.5,7,0", Reached::Nothing},
                      AcadCase{"TitleInLowerCase", L"--title \"autocad 2016 - [Drawing1.dwg]\" --pick 12.5,7,0",
                               Reached::Nothing}),
    CaseName<AcadCase>);

TEST(AutoCadInsert, APickNobodyAnswersEndsAfterItsPollsAndLeavesIdWaiting) {
    FakeCadProcess acad;
    ASSERT_TRUE(acad.Start(kAutoCad, L"--pick-never"));
    DrawingFile drawing;
    CadSession cad;
    cad.system.skipPickWaits = true;

    EXPECT_EQ(cad.Insert(drawing.Path()), InsertOutcome::Attempted);

    EXPECT_EQ(HandedTexts(acad), Shown({kSetSentinel, kStartPick}));
    EXPECT_EQ(cad.system.pickPolls, 601);  // a minute at 100 ms, and the first poll
    EXPECT_EQ(Shown(cad.commands.GetAcadPromptText()), Shown(u"点を指定: "));
}

struct SysVarCase {
    const char* name;
    const wchar_t* args;
    const char16_t* variable;
    const char16_t* value;
    std::vector<std::u16string> handed;
};
void PrintTo(const SysVarCase& c, std::ostream* os) {
    *os << c.name;
}

class AutoCadSysVarTest : public ::testing::TestWithParam<SysVarCase> {};

// The value comes from the prompt's default or, for a read-only variable, from
// the end of a long history: the whole pane text must come across.
TEST_P(AutoCadSysVarTest, ReadsTheValueAcrossProcesses) {
    const SysVarCase& c = GetParam();
    FakeCadProcess acad;
    ASSERT_TRUE(acad.Start(kAutoCad, c.args));
    CadSession cad;
    ASSERT_NE(cad.windows.FindAcadMainWindow(), kNoWindow);
    ASSERT_TRUE(cad.commands.SendAcadCommand(u"LASTPOINT 1.5,-2,3 "));

    EXPECT_EQ(Shown(cad.commands.GetAcadSysVar(c.variable)), Shown(c.value));

    std::vector<std::u16string> handed{u"LASTPOINT 1.5,-2,3 "};
    handed.insert(handed.end(), c.handed.begin(), c.handed.end());
    EXPECT_EQ(HandedTexts(acad), Shown(handed));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AutoCadSysVarTest,
    ::testing::Values(
        SysVarCase{"LastPoint", L"", u"LASTPOINT", u"1.5000,-2.0000,3.0000", {kQueryLastPoint, kCloseQuery}},
        SysVarCase{"AcadVerAfterALongHistory",
                   L"--history-lines 3000",
                   u"acadver",
                   u"\"20.1s (LMS Tech)\"",
                   {u"acadver\r", kCloseQuery}}),
    CaseName<SysVarCase>);

// --- both, neither, and the path typed ---------------------------------------------------

TEST(CadInsert, BricsCadIsTypedIntoBeforeAutoCadIsAskedForAPoint) {
    const ClassNameSpelling spelling(kBcadInputClass);
    ASSERT_EQ(spelling.Problem(), "");
    FakeCadProcess bcad, acad;
    ASSERT_TRUE(bcad.Start(kBricsCad));
    ASSERT_TRUE(acad.Start(kAutoCad, L"--pick 12.5,7,0"));
    DrawingFile drawing;
    CadSession cad;

    EXPECT_EQ(cad.Insert(drawing.Path()), InsertOutcome::Attempted);

    const std::u16string typed = BcadInsertion(drawing.Path());
    EXPECT_EQ(Shown(bcad.ReadLog()), Shown(typed));
    EXPECT_EQ(HandedTexts(acad), Shown(WholeAcadDialogue(drawing.Path(), u"12.5,7")));
    EXPECT_EQ(cad.system.inputOrder, std::string(typed.size(), 'B') + "AAAAA");
}

TEST(CadInsert, WithNoApplicationRunningNothingIsSentNorAwaited) {
    DrawingFile drawing;
    CadSession cad;

    EXPECT_EQ(cad.Insert(drawing.Path()), InsertOutcome::Attempted);

    EXPECT_EQ(cad.system.inputOrder, "");
    EXPECT_EQ(cad.system.sleeps, 0);
}

TEST(CadInsert, AFileGoneBeforeTheInsertionIsSentNowhere) {
    FakeCadProcess bcad, acad;
    ASSERT_TRUE(bcad.Start(kBricsCad));
    ASSERT_TRUE(acad.Start(kAutoCad, L"--pick 12.5,7,0"));
    std::u16string path;
    {
        DrawingFile drawing;
        path = drawing.Path();
    }
    CadSession cad;

    EXPECT_EQ(cad.Insert(path), InsertOutcome::FileMissing);

    EXPECT_EQ(Shown(bcad.ReadLog()), "");
    EXPECT_EQ(HandedTexts(acad), std::vector<std::string>{});
}

std::wstring ShortPathOf(const std::wstring& path) {
    wchar_t buffer[MAX_PATH * 2];
    const DWORD length = GetShortPathNameW(path.c_str(), buffer, MAX_PATH * 2);
    return length > 0 && length < MAX_PATH * 2 ? std::wstring(buffer, length) : L"";
}

std::wstring LongPathOf(const std::wstring& path) {
    wchar_t buffer[MAX_PATH * 2];
    const DWORD length = GetLongPathNameW(path.c_str(), buffer, MAX_PATH * 2);
    return length > 0 && length < MAX_PATH * 2 ? std::wstring(buffer, length) : L"";
}

struct BlankPathCase {
    const char* name;
    const wchar_t* root;  // empty: the temp folder
};
void PrintTo(const BlankPathCase& c, std::ostream* os) {
    *os << c.name;
}

class BlankPathTest : public ::testing::TestWithParam<BlankPathCase> {};

// A blank ends an input item at the CAD prompts, so the short form is typed.
TEST_P(BlankPathTest, APathWithABlankIsTypedInItsShortForm) {
    const std::wstring root = *GetParam().root ? GetParam().root : TempFolder();
    if (GetFileAttributesW(root.c_str()) == INVALID_FILE_ATTRIBUTES) GTEST_SKIP() << "no such folder here";
    const ClassNameSpelling spelling(kBcadInputClass);
    ASSERT_EQ(spelling.Problem(), "");
    FakeCadProcess bcad, acad;
    ASSERT_TRUE(bcad.Start(kBricsCad));
    ASSERT_TRUE(acad.Start(kAutoCad, L"--pick 12.5,7,0"));
    DrawingFile drawing(root, L"tabulon cad 図面", L"table 1.dxf");
    const std::u16string path = drawing.Path();
    const std::wstring longPath(path.begin(), path.end());
    const std::wstring shortPath = ShortPathOf(longPath);
    ASSERT_EQ(shortPath.find(L' '), std::wstring::npos) << Shown(U16(shortPath));
    ASSERT_EQ(LongPathOf(shortPath), longPath) << "the short form names the same file";
    CadSession cad;

    EXPECT_EQ(cad.Insert(path), InsertOutcome::Attempted);

    EXPECT_EQ(Shown(bcad.ReadLog()), Shown(BcadInsertion(U16(shortPath))));
    EXPECT_EQ(HandedTexts(acad), Shown(WholeAcadDialogue(U16(shortPath), u"12.5,7")));
}

INSTANTIATE_TEST_SUITE_P(Cases, BlankPathTest,
                         ::testing::Values(BlankPathCase{"TempFolderOnDriveC", L""},
                                           // Under Wine, Z: is the Linux root.
                                           BlankPathCase{"LinuxTmpOnDriveZ", L"Z:\\tmp\\"}),
                         CaseName<BlankPathCase>);

}  // namespace
}  // namespace tabulon
