// A stand-in for BricsCAD (Japanese user interface) with just what the insertion
// relies on: the main window's class, the command-line bar titled
// "コマンドライン" docked in it or floating, and below the bar the input control
// of class "RICHEDIT50W" that takes typed characters.
//
//   tabulon_fake_bricscad [--floating] [--disabled] [--input-class NAME]
//                         [--no-main] [--no-command-line]
//                         [--log FILE] [--ready EVENT] [--quit EVENT] [--parent PID]
//
// --floating        the bar is a top-level window of this process, not a child of the main window
// --disabled        the main window is disabled, as while a modal dialog shows
// --input-class     the input control's class instead of "RICHEDIT50W"
// --no-main         no main window, only a floating bar (another program's window of that title)
// --no-command-line the main window without any bar
// --log FILE        every code value the input control receives by WM_CHAR, as UTF-16LE
//
// Wine's own rich edit reports its class as "RichEdit50W" and ignores WM_CHAR 13,
// so the input control is a class of ours that handles WM_CHAR itself.
#include <string>
#include <vector>

#include "cad/fake_cad_app.h"

namespace {

using namespace tabulon::fake;

constexpr wchar_t kMainClass[] = L"BricscadMainWindow";
constexpr wchar_t kPanelClass[] = L"TabulonFakeBcadPanel";
constexpr wchar_t kBarTitle[] = L"コマンドライン";
// Docked, the control lies beside the window four first-child steps below the
// bar; floating, the bar's own frame adds a fifth.
constexpr int kDockedSteps = 4;
constexpr int kFloatingSteps = 5;

ReceivedLog received;
std::wstring typed;  // shown in the control, for screenshots

LRESULT CALLBACK MainProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

LRESULT CALLBACK InputProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_CHAR: {
            const wchar_t code = static_cast<wchar_t>(wParam);
            received.Append(&code, 1);
            typed.push_back(code >= L' ' ? code : L'\n');
            InvalidateRect(hwnd, nullptr, TRUE);
            return 0;
        }
        case WM_PAINT: PaintText(hwnd, typed, 3); return 0;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

HWND Panel(HWND parent, const wchar_t* title = L"") {
    return CreateWindowExW(0, kPanelClass, title, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 600, 120, parent,
                           nullptr, GetModuleHandleW(nullptr), nullptr);
}

// Builds `steps` levels of first children below the bar and puts the input
// control right after the deepest of them. That one has a child of its own, so a
// walk one step too short or too long misses the control.
bool BuildInputBelow(HWND bar, int steps, const std::wstring& inputClass) {
    HWND parent = bar;
    for (int level = 1; level < steps; ++level) parent = Panel(parent);
    HWND deepest = Panel(parent);
    Panel(deepest);
    HWND input = CreateWindowExW(0, inputClass.c_str(), L"", WS_CHILD | WS_VISIBLE, 0, 60, 600, 60, parent, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
    if (!input) return false;
    PlaceAfter(input, deepest);
    HWND reached = bar;
    for (int step = 0; step < steps; ++step) reached = GetWindow(reached, GW_CHILD);
    return reached == deepest && GetWindow(reached, GW_HWNDNEXT) == input;
}

}  // namespace

int main() {
    Session session;
    bool floating = false, disabled = false, noMain = false, noCommandLine = false;
    std::wstring inputClass = L"RICHEDIT50W";
    const std::vector<std::wstring> args = Arguments();
    for (size_t k = 0; k < args.size(); ++k) {
        if (session.Take(args, k)) continue;
        if (args[k] == L"--floating")
            floating = true;
        else if (args[k] == L"--disabled")
            disabled = true;
        else if (args[k] == L"--no-main")
            noMain = floating = true;
        else if (args[k] == L"--no-command-line")
            noCommandLine = true;
        else if (args[k] == L"--input-class" && k + 1 < args.size())
            inputClass = args[++k];
        else
            return Fail("unknown option; see the head of fake_bricscad.cpp");
    }
    if (!received.Open(session.log)) return Fail("cannot create the log");

    if (!RegisterPlainClass(kMainClass, MainProc) || !RegisterPlainClass(kPanelClass, DefWindowProcW) ||
        !RegisterPlainClass(inputClass.c_str(), InputProc)) {
        return Fail("cannot register the window classes");
    }
    HINSTANCE instance = GetModuleHandleW(nullptr);
    HWND main = nullptr;
    if (!noMain) {
        main = CreateWindowExW(0, kMainClass, L"BricsCAD - [Drawing1.dwg]", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0,
                               800, 600, nullptr, nullptr, instance, nullptr);
        if (!main) return Fail("cannot create the main window");
        // A drawing area comes first, so the bar is found by its title, not its place.
        Panel(main, L"Drawing1.dwg");
    }
    if (!noCommandLine) {
        HWND bar = floating ? CreateWindowExW(WS_EX_TOOLWINDOW, kPanelClass, kBarTitle,
                                              WS_POPUP | WS_CAPTION | WS_VISIBLE | WS_CLIPCHILDREN, 100, 620, 600, 140,
                                              main, nullptr, instance, nullptr)
                            : Panel(main, kBarTitle);
        if (!bar || !BuildInputBelow(bar, floating ? kFloatingSteps : kDockedSteps, inputClass)) {
            return Fail("cannot build the command line");
        }
    }
    if (main) {
        ShowWindow(main, SW_SHOWNORMAL);
        if (disabled) EnableWindow(main, FALSE);
    }
    return ServeUntilQuit(session);
}
