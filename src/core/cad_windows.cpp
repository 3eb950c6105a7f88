// Finding the windows of a running BricsCAD, AutoCAD or DWG TrueView.
#include "core/cad_windows.h"

#include <string_view>

namespace tabulon {
namespace {

constexpr std::u16string_view kBcadMainClass = u"BricscadMainWindow";
constexpr std::u16string_view kBcadCommandLineTitle = u"コマンドライン";
constexpr std::u16string_view kBcadInputClass = u"RICHEDIT50W";
constexpr std::u16string_view kAcadTitlePrefixes[] = {u"DWG TrueView ", u"AutoCAD ", u"Autodesk "};
constexpr std::u16string_view kAfxPrefix = u"Afx:";
constexpr std::u16string_view kMainFrameMark = u":8:";
constexpr std::u16string_view kMdiFramePrefix = u"AfxMDIFrame";
constexpr std::u16string_view kTextWindowMark = u":b:";
constexpr std::u16string_view kTextWindowTitle = u"テキスト ウィンドウ";

// The lookups read titles and class names into buffers of 255 code values.
constexpr size_t kNameChars = 254;

// Docked, the input control sits at most four first-child steps below the bar;
// floating, the bar's own frame adds one level.
constexpr int kDockedDepth = 4;
constexpr int kFloatingDepth = 5;

std::u16string Clipped(std::u16string text) {
    if (text.size() > kNameChars) text.resize(kNameChars);
    return text;
}

bool HasAcadTitlePrefix(std::u16string_view title) {
    for (std::u16string_view prefix : kAcadTitlePrefixes) {
        if (title.starts_with(prefix)) return true;
    }
    return false;
}

}  // namespace

std::u16string CadWindows::GetWindowClassName(WindowHandle window) {
    if (!system_.IsWindow(window)) return {};
    return system_.ClassName(window);
}

bool CadWindows::ActivateBcad() {
    memory_.BcadMainWnd = system_.FindTopLevel(kBcadMainClass, std::nullopt);
    if (!system_.IsWindow(memory_.BcadMainWnd)) return false;
    system_.SetForeground(memory_.BcadMainWnd);
    return true;
}

WindowHandle CadWindows::CommandLineInput(WindowHandle bar, int maxDepth) {
    WindowHandle reached = bar;
    for (int depth = 0; depth < maxDepth; ++depth) {
        const WindowHandle child = system_.FirstChild(reached);
        if (child == kNoWindow) break;
        reached = child;
    }
    const WindowHandle input = system_.NextSibling(reached);
    // Only BricsCAD's own control takes typed characters as command input.
    return GetWindowClassName(input) == kBcadInputClass ? input : kNoWindow;
}

WindowHandle CadWindows::FindBcadCommandLine() {
    memory_.BcadMainWnd = system_.FindTopLevel(kBcadMainClass, std::nullopt);
    const std::uint32_t bcadProcess = system_.ProcessId(memory_.BcadMainWnd);

    WindowHandle input = kNoWindow;
    if (memory_.BcadMainWnd != kNoWindow) {
        const WindowHandle docked = system_.FindChild(memory_.BcadMainWnd, std::nullopt, kBcadCommandLineTitle);
        if (docked != kNoWindow) input = CommandLineInput(docked, kDockedDepth);
    }
    if (input == kNoWindow) {
        const WindowHandle floating = system_.FindTopLevel(std::nullopt, kBcadCommandLineTitle);
        // Another program's window of that title must never receive our typing.
        if (floating != kNoWindow && bcadProcess != 0 && system_.ProcessId(floating) == bcadProcess) {
            input = CommandLineInput(floating, kFloatingDepth);
        }
    }
    return input;
}

WindowHandle CadWindows::FindAcadMainWindow() {
    for (WindowHandle window : system_.TopLevelWindows()) {
        const std::u16string title = Clipped(system_.WindowTitle(window));
        if (title.empty() || !HasAcadTitlePrefix(title)) continue;
        const std::u16string cls = Clipped(system_.ClassName(window));
        const bool mainFrame = (cls.starts_with(kAfxPrefix) && cls.find(kMainFrameMark) != std::u16string::npos) ||
                               cls.starts_with(kMdiFramePrefix);
        if (!mainFrame) continue;
        memory_.AcadMainWnd = window;
        memory_.AcadProcessId = system_.ProcessId(window);
        break;
    }
    return memory_.AcadMainWnd;
}

WindowHandle CadWindows::FindAcadTextPanes() {
    FindAcadMainWindow();
    for (WindowHandle window : system_.TopLevelWindows()) {
        const std::u16string title = Clipped(system_.WindowTitle(window));
        if (title.empty() || !HasAcadTitlePrefix(title)) continue;
        const std::u16string cls = Clipped(system_.ClassName(window));
        if (!cls.starts_with(kAfxPrefix) || cls.find(kTextWindowMark) == std::u16string::npos) continue;
        if (title.find(kTextWindowTitle) == std::u16string::npos) continue;
        // With two instances running, the panes must belong to the one we type into.
        if (system_.ProcessId(window) != memory_.AcadProcessId) continue;
        memory_.AcadTextWnd = window;
        break;
    }
    memory_.AcadPromptPane = system_.FirstChild(system_.FirstChild(system_.FirstChild(memory_.AcadTextWnd)));
    memory_.AcadHistoryPane = system_.NextSibling(memory_.AcadPromptPane);
    return memory_.AcadTextWnd;
}

bool CadWindows::ActivateAcad() {
    FindAcadMainWindow();
    if (!system_.IsWindow(memory_.AcadMainWnd)) return false;
    system_.SetForeground(memory_.AcadMainWnd);
    return true;
}

bool CadWindows::IsAcadReady() {
    memory_.AcadMainWnd = kNoWindow;
    FindAcadMainWindow();
    return system_.IsVisible(memory_.AcadMainWnd) && system_.IsEnabled(memory_.AcadMainWnd);
}

}  // namespace tabulon
