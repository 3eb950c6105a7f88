#include "core/cad_windows.h"

#include <gtest/gtest.h>

#include <string>

#include "support/fake_window_system.h"

namespace tabulon {
namespace {

using test::AddFakeAcad;
using test::FakeAcad;
using test::FakeWindowSystem;
using test::kAcadMainClass;
using test::kAcadTextClass;

constexpr char16_t kCommandLineTitle[] = u"コマンドライン";

std::string Narrow(const std::u16string& text) {
    std::string out;
    for (char16_t c : text) out += c < 0x80 ? static_cast<char>(c) : '?';
    return out;
}

// ---- AutoCAD main window -----------------------------------------------------------

struct MainWindowCase {
    std::u16string title;
    std::u16string className;
    bool isMain;
};

class AcadMainWindowTest : public ::testing::TestWithParam<MainWindowCase> {};

TEST_P(AcadMainWindowTest, TitlePrefixAndClassDecide) {
    FakeWindowSystem desktop;
    desktop.AddTopLevel(u"Notepad", u"AutoCAD 2016 - メモ帳", 5);  // right title, wrong class
    const WindowHandle candidate = desktop.AddTopLevel(GetParam().className, GetParam().title, 7);
    CadWindows windows(desktop);

    EXPECT_EQ(windows.FindAcadMainWindow(), GetParam().isMain ? candidate : kNoWindow)
        << Narrow(GetParam().title) << " / " << Narrow(GetParam().className);
    EXPECT_EQ(windows.Memory().AcadProcessId, GetParam().isMain ? 7u : 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AcadMainWindowTest,
    ::testing::Values(MainWindowCase{u"AutoCAD 2016 - [Drawing1.dwg]", kAcadMainClass, true},
                      MainWindowCase{u"Autodesk AutoCAD 2016 - [Drawing1.dwg]", kAcadMainClass, true},
                      MainWindowCase{u"DWG TrueView 2018 - [a.dwg]", kAcadMainClass, true},
                      MainWindowCase{u"Autodesk DWG TrueView 2018", u"AfxMDIFrame140u", true},  // no ":8:" needed
                      MainWindowCase{u"AutoCAD 2016", u"AfxMDIFrame", true},
                      MainWindowCase{u"AutoCAD", kAcadMainClass, false},  // no blank after the name
                      MainWindowCase{u"DWG TrueView", kAcadMainClass, false},
                      MainWindowCase{u"autocad 2016", kAcadMainClass, false},
                      MainWindowCase{u"AUTODESK AutoCAD", kAcadMainClass, false},
                      MainWindowCase{u" AutoCAD 2016", kAcadMainClass, false},
                      MainWindowCase{u"", kAcadMainClass, false},
                      MainWindowCase{u"AutoCAD 2016", kAcadTextClass, false},  // ":b:" is the text window's mark
                      MainWindowCase{u"AutoCAD 2016", u"afx:00400000:8:00010003", false},
                      MainWindowCase{u"AutoCAD 2016", u"MyAfx:00400000:8:0001", false},
                      MainWindowCase{u"AutoCAD 2016", u"AfxFrameOrView140u", false},
                      MainWindowCase{u"AutoCAD 2016", u"Afx:", false}));

TEST(AcadMainWindow, TheTopmostOfTwoInstancesWins) {
    FakeWindowSystem desktop;
    const FakeAcad first = AddFakeAcad(desktop, 100);
    const FakeAcad second = AddFakeAcad(desktop, 200, u"DWG TrueView 2018 - [b.dwg]");
    CadWindows windows(desktop);

    EXPECT_EQ(windows.FindAcadMainWindow(), first.main);
    EXPECT_EQ(windows.Memory().AcadProcessId, 100u);

    desktop.RaiseToTop(second.main);
    EXPECT_EQ(windows.FindAcadMainWindow(), second.main);
    EXPECT_EQ(windows.Memory().AcadProcessId, 200u);
}

TEST(AcadMainWindow, AFailedSearchKeepsTheWindowOnlyReadinessClearsIt) {
    FakeWindowSystem desktop;
    const FakeAcad acad = AddFakeAcad(desktop, 100);
    CadWindows windows(desktop);
    ASSERT_TRUE(windows.ActivateAcad());
    EXPECT_EQ(desktop.messages.back().kind, FakeWindowSystem::Kind::Foreground);
    EXPECT_EQ(desktop.messages.back().to, acad.main);

    desktop.Close(acad.main);
    EXPECT_EQ(windows.FindAcadMainWindow(), acad.main);  // remembered, though stale
    EXPECT_EQ(windows.Memory().AcadProcessId, 100u);
    const size_t sent = desktop.messages.size();
    EXPECT_FALSE(windows.ActivateAcad());  // the stale handle fails IsWindow
    EXPECT_EQ(desktop.messages.size(), sent);

    EXPECT_FALSE(windows.IsAcadReady());
    EXPECT_EQ(windows.Memory().AcadMainWnd, kNoWindow);
}

struct ReadyCase {
    const char* name;
    bool running, visible, enabled, ready;
};

class AcadReadyTest : public ::testing::TestWithParam<ReadyCase> {};

TEST_P(AcadReadyTest, NeedsAVisibleEnabledMainWindow) {
    FakeWindowSystem desktop;
    const FakeAcad acad = AddFakeAcad(desktop, 100);
    desktop.At(acad.main).visible = GetParam().visible;
    desktop.At(acad.main).enabled = GetParam().enabled;  // disabled: a modal dialog is open
    if (!GetParam().running) desktop.Close(acad.main);
    CadWindows windows(desktop);
    EXPECT_EQ(windows.IsAcadReady(), GetParam().ready) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(Cases, AcadReadyTest,
                         ::testing::Values(ReadyCase{"ready", true, true, true, true},
                                           ReadyCase{"hidden", true, false, true, false},
                                           ReadyCase{"modal dialog", true, true, false, false},
                                           ReadyCase{"not running", false, true, true, false}));

// ---- AutoCAD text window and panes -----------------------------------------------------

TEST(AcadTextPanes, FindsTheTextWindowOfTheMainWindowsProcessAndItsPanes) {
    FakeWindowSystem desktop;
    const FakeAcad first = AddFakeAcad(desktop, 100);
    const FakeAcad second = AddFakeAcad(desktop, 200);
    desktop.RaiseToTop(second.textWindow);  // the other instance's text window lies above
    CadWindows windows(desktop);

    EXPECT_EQ(windows.FindAcadTextPanes(), first.textWindow);
    EXPECT_EQ(windows.Memory().AcadPromptPane, first.promptPane);
    EXPECT_EQ(windows.Memory().AcadHistoryPane, first.historyPane);

    desktop.RaiseToTop(second.main);
    EXPECT_EQ(windows.FindAcadTextPanes(), second.textWindow);
    EXPECT_EQ(windows.Memory().AcadPromptPane, second.promptPane);
}

TEST(AcadTextPanes, ATextWindowOfAnotherProcessIsNeverTaken) {
    FakeWindowSystem desktop;
    desktop.AddTopLevel(kAcadMainClass, u"AutoCAD 2016 - [Drawing1.dwg]", 100);
    const WindowHandle foreign = desktop.AddTopLevel(kAcadTextClass, u"AutoCAD テキスト ウィンドウ", 300);
    desktop.AddChild(desktop.AddChild(desktop.AddChild(foreign)));
    CadWindows windows(desktop);

    EXPECT_EQ(windows.FindAcadTextPanes(), kNoWindow);
    EXPECT_EQ(windows.Memory().AcadPromptPane, kNoWindow);
}

TEST(AcadTextPanes, NoTextWindowWithoutAMainWindow) {
    FakeWindowSystem desktop;
    const FakeAcad acad = AddFakeAcad(desktop, 100);
    desktop.Close(acad.main);
    CadWindows windows(desktop);
    EXPECT_EQ(windows.FindAcadTextPanes(), kNoWindow);
}

struct TextWindowCase {
    std::u16string title;
    std::u16string className;
    bool matches;
};

class AcadTextWindowTest : public ::testing::TestWithParam<TextWindowCase> {};

TEST_P(AcadTextWindowTest, TitleAndClassDecide) {
    FakeWindowSystem desktop;
    desktop.AddTopLevel(kAcadMainClass, u"AutoCAD 2016 - [Drawing1.dwg]", 100);
    const WindowHandle text = desktop.AddTopLevel(GetParam().className, GetParam().title, 100);
    CadWindows windows(desktop);
    EXPECT_EQ(windows.FindAcadTextPanes(), GetParam().matches ? text : kNoWindow)
        << Narrow(GetParam().title) << " / " << Narrow(GetParam().className);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AcadTextWindowTest,
    ::testing::Values(TextWindowCase{u"AutoCAD テキスト ウィンドウ - Drawing1.dwg", kAcadTextClass, true},
                      TextWindowCase{u"Autodesk DWG TrueView テキスト ウィンドウ", kAcadTextClass, true},
                      TextWindowCase{u"AutoCAD テキスト　ウィンドウ", kAcadTextClass, false},  // U+3000
                      TextWindowCase{u"AutoCAD テキストウィンドウ", kAcadTextClass, false},
                      TextWindowCase{u"テキスト ウィンドウ - AutoCAD ", kAcadTextClass, false},
                      TextWindowCase{u"autocad テキスト ウィンドウ", kAcadTextClass, false},
                      TextWindowCase{u"AutoCAD テキスト ウィンドウ", kAcadMainClass, false},
                      TextWindowCase{u"AutoCAD テキスト ウィンドウ", u"AfxMDIFrame:b:", false}));

TEST(AcadTextPanes, PanesAreRecomputedFromTheRememberedTextWindow) {
    FakeWindowSystem desktop;
    const FakeAcad acad = AddFakeAcad(desktop, 100);
    CadWindows windows(desktop);
    ASSERT_EQ(windows.FindAcadTextPanes(), acad.textWindow);

    // The text window goes: the search finds nothing and keeps it, the panes read zero.
    desktop.Close(acad.textWindow);
    EXPECT_EQ(windows.FindAcadTextPanes(), acad.textWindow);
    EXPECT_EQ(windows.Memory().AcadPromptPane, kNoWindow);
    EXPECT_EQ(windows.Memory().AcadHistoryPane, kNoWindow);
}

TEST(AcadTextPanes, AShortChainOfChildrenGivesNoPanes) {
    FakeWindowSystem desktop;
    desktop.AddTopLevel(kAcadMainClass, u"AutoCAD 2016", 100);
    const WindowHandle text = desktop.AddTopLevel(kAcadTextClass, u"AutoCAD テキスト ウィンドウ", 100);
    const WindowHandle level2 = desktop.AddChild(desktop.AddChild(text));
    desktop.AddChild(text);  // a sibling at the first level changes nothing
    CadWindows windows(desktop);

    EXPECT_EQ(windows.FindAcadTextPanes(), text);
    EXPECT_EQ(windows.Memory().AcadPromptPane, kNoWindow);  // level 2 has no child: no early stop

    const WindowHandle prompt = desktop.AddChild(level2);
    windows.FindAcadTextPanes();
    EXPECT_EQ(windows.Memory().AcadPromptPane, prompt);
    EXPECT_EQ(windows.Memory().AcadHistoryPane, kNoWindow);  // no sibling yet
}

// ---- BricsCAD ------------------------------------------------------------------------

TEST(Bcad, ActivationRewritesTheMainWindowEveryTime) {
    FakeWindowSystem desktop;
    const WindowHandle main = desktop.AddTopLevel(u"BricscadMainWindow", u"BricsCAD V19", 40);
    CadWindows windows(desktop);

    ASSERT_TRUE(windows.ActivateBcad());
    EXPECT_EQ(windows.Memory().BcadMainWnd, main);
    ASSERT_EQ(desktop.Count(FakeWindowSystem::Kind::Foreground), 1u);
    EXPECT_EQ(desktop.messages.back().to, main);

    desktop.Close(main);
    EXPECT_FALSE(windows.ActivateBcad());
    EXPECT_EQ(windows.Memory().BcadMainWnd, kNoWindow);
    EXPECT_EQ(desktop.Count(FakeWindowSystem::Kind::Foreground), 1u);
}

TEST(Bcad, GetWindowClassNameIsEmptyForAClosedWindow) {
    FakeWindowSystem desktop;
    const WindowHandle main = desktop.AddTopLevel(u"BricscadMainWindow", u"BricsCAD", 40);
    CadWindows windows(desktop);
    EXPECT_EQ(windows.GetWindowClassName(main), u"BricscadMainWindow");
    desktop.Close(main);
    EXPECT_EQ(windows.GetWindowClassName(main), u"");
    EXPECT_EQ(windows.GetWindowClassName(kNoWindow), u"");
}

// Builds the command-line bar's inner chain: `depth` first-child levels below the
// bar, with the input control as the next sibling of the deepest one.
WindowHandle AddInputBelow(FakeWindowSystem& desktop, WindowHandle bar, int depth, std::u16string inputClass) {
    WindowHandle reached = bar;
    for (int level = 0; level < depth; ++level) reached = desktop.AddChild(reached, u"BcadPanel");
    const WindowHandle parent = desktop.At(reached).parent;
    if (parent == kNoWindow) return desktop.AddTopLevel(std::move(inputClass), u"", desktop.At(reached).pid);
    return desktop.AddChild(parent, std::move(inputClass));
}

struct CommandLineCase {
    const char* name;
    bool floating;
    int depth;
    std::u16string inputClass;
    std::uint32_t barPid;  // the BricsCAD process is 40
    bool found;
};

class BcadCommandLineTest : public ::testing::TestWithParam<CommandLineCase> {};

TEST_P(BcadCommandLineTest, WalksDownToTheRichEdit) {
    const CommandLineCase& c = GetParam();
    FakeWindowSystem desktop;
    const WindowHandle main = desktop.AddTopLevel(u"BricscadMainWindow", u"BricsCAD V19", 40);
    desktop.AddChild(main, u"BcadToolbar", u"ツールバー");
    WindowHandle bar;
    if (c.floating) {
        bar = desktop.AddTopLevel(u"BcadFloatingBar", kCommandLineTitle, c.barPid);
    } else {
        bar = desktop.AddChild(main, u"BcadDockBar", kCommandLineTitle);
    }
    const WindowHandle input = AddInputBelow(desktop, bar, c.depth, c.inputClass);
    CadWindows windows(desktop);

    EXPECT_EQ(windows.FindBcadCommandLine(), c.found ? input : kNoWindow) << c.name;
    EXPECT_EQ(windows.Memory().BcadMainWnd, main);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BcadCommandLineTest,
    ::testing::Values(CommandLineCase{"docked, bar without children", false, 0, u"RICHEDIT50W", 40, true},
                      CommandLineCase{"docked, two levels", false, 2, u"RICHEDIT50W", 40, true},
                      CommandLineCase{"docked, four levels", false, 4, u"RICHEDIT50W", 40, true},
                      CommandLineCase{"docked, five levels", false, 5, u"RICHEDIT50W", 40, false},
                      CommandLineCase{"docked, other rich edit", false, 4, u"RichEdit50W", 40, false},
                      CommandLineCase{"docked, older rich edit", false, 2, u"RICHEDIT20W", 40, false},
                      CommandLineCase{"floating, three levels", true, 3, u"RICHEDIT50W", 40, true},
                      CommandLineCase{"floating, five levels", true, 5, u"RICHEDIT50W", 40, true},
                      CommandLineCase{"floating, six levels", true, 6, u"RICHEDIT50W", 40, false},
                      CommandLineCase{"floating, other rich edit", true, 5, u"RICHEDIT50W ", 40, false},
                      CommandLineCase{"floating, another process", true, 5, u"RICHEDIT50W", 41, false}));

TEST(Bcad, AFloatingCommandLineIsUsedWhenTheDockedOneHasNoInput) {
    FakeWindowSystem desktop;
    const WindowHandle main = desktop.AddTopLevel(u"BricscadMainWindow", u"BricsCAD", 40);
    AddInputBelow(desktop, desktop.AddChild(main, u"BcadDockBar", kCommandLineTitle), 1, u"Static");
    const WindowHandle bar = desktop.AddTopLevel(u"BcadFloatingBar", kCommandLineTitle, 40);
    const WindowHandle input = AddInputBelow(desktop, bar, 5, u"RICHEDIT50W");
    CadWindows windows(desktop);
    EXPECT_EQ(windows.FindBcadCommandLine(), input);
}

TEST(Bcad, NoCommandLineWithoutBricsCad) {
    FakeWindowSystem desktop;
    // Another program's command line, complete with a rich edit: never ours to type into.
    const WindowHandle bar = desktop.AddTopLevel(u"OtherBar", kCommandLineTitle, 77);
    AddInputBelow(desktop, bar, 2, u"RICHEDIT50W");
    CadWindows windows(desktop);
    EXPECT_EQ(windows.FindBcadCommandLine(), kNoWindow);
    EXPECT_EQ(windows.Memory().BcadMainWnd, kNoWindow);
}

}  // namespace
}  // namespace tabulon
