// A stand-in for AutoCAD or DWG TrueView (Japanese user interface) with just
// what the insertion relies on: a main frame found by its title and class that
// takes command input by WM_COPYDATA, and a text window of the same process whose
// prompt pane (first child of first child of first child) and history pane (the
// prompt pane's next sibling) answer WM_GETTEXT. Its command line understands the
// few commands the insertion types, the way the Japanese AutoCAD answers them.
//
//   tabulon_fake_autocad [--title TEXT] [--mdi-frame] [--text-title TEXT] [--no-text-window]
//                        [--disabled] [--hidden]
//                        [--pick X,Y,Z | --pick-cancel | --pick-never] [--pick-delay MS]
//                        [--history-lines N]
//                        [--log FILE] [--ready EVENT] [--quit EVENT] [--parent PID]
//
// --title          main frame title (default "AutoCAD 2016 - [Drawing1.dwg]")
// --mdi-frame      main frame class "AfxMDIFrame140u" instead of an "Afx:...:8:..." one
// --text-title     text window title (default "AutoCAD テキスト ウィンドウ - Drawing1.dwg")
// --no-text-window no text window at all
// --disabled       main frame disabled, as while a modal dialog shows
// --hidden         main frame never shown
// --pick           the user picks this point MS after ID asks for one (default: 300 ms)
// --pick-cancel    the user presses Esc instead
// --pick-never     the user never answers (the default)
// --history-lines  fills the history with N lines of earlier work first
// --log FILE       every WM_COPYDATA text with dwData 1, its bytes as they came
//                  (UTF-16LE, the sender's terminating zero included), one after another
//
// Command input: ETX cancels what runs; CR and blank end an input item. Commands:
// ID (point prompt, then as --pick*), a system variable name or 'SETVAR name
// (prompt "NAME の新しい値を入力 <value>: "; LASTPOINT only is known, printed
// with four decimals), ACADVER (read-only: a history line "ACADVER = ... (読み込み専用)"),
// -INSERT (asks block name, insertion point, scale and rotation in turn).
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "cad/fake_cad_app.h"

namespace {

using namespace tabulon::fake;

constexpr wchar_t kAfxMainClass[] = L"Afx:00400000:8:00010003:00000000:00000000";
constexpr wchar_t kMdiMainClass[] = L"AfxMDIFrame140u";
constexpr wchar_t kTextWindowClass[] = L"Afx:00400000:b:00010003:00000006:00000000";
constexpr wchar_t kPanelClass[] = L"TabulonFakeAcadPanel";
constexpr wchar_t kPaneClass[] = L"TabulonFakeAcadPane";

constexpr wchar_t kIdlePrompt[] = L"コマンド: ";
constexpr wchar_t kCancelled[] = L"*キャンセル*";
constexpr wchar_t kAcadVer[] = L"\"20.1s (LMS Tech)\"";
constexpr UINT_PTR kPickTimer = 1;
constexpr wchar_t kEtx = 0x03;

enum class PickAnswer { Point, Cancel, Never };

struct Point {
    double x = 0, y = 0, z = 0;
};

bool ParsePoint(const std::wstring& text, Point& point) {
    Point p;
    wchar_t rest = 0;
    const int read = std::swscanf(text.c_str(), L"%lf,%lf,%lf%lc", &p.x, &p.y, &p.z, &rest);
    if (read != 3 && read != 2) return false;
    if (read == 2) p.z = 0;
    point = p;
    return true;
}

std::wstring Upper(std::wstring text) {
    for (wchar_t& c : text) {
        if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
    }
    return text;
}

// The panes keep their own texts and answer WM_GETTEXT with them, as the real
// panes do; their window titles stay empty.
std::wstring promptText, historyText;
HWND promptPane = nullptr, historyPane = nullptr;

LRESULT CALLBACK PaneProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    const std::wstring* text = hwnd == promptPane ? &promptText : hwnd == historyPane ? &historyText : nullptr;
    if (text) {
        switch (msg) {
            case WM_GETTEXTLENGTH: return static_cast<LRESULT>(text->size());
            case WM_GETTEXT: {
                const size_t room = static_cast<size_t>(wParam);
                if (room == 0) return 0;
                const size_t copied = text->size() < room - 1 ? text->size() : room - 1;
                wchar_t* out = reinterpret_cast<wchar_t*>(lParam);
                text->copy(out, copied);
                out[copied] = L'\0';
                return static_cast<LRESULT>(copied);
            }
            case WM_PAINT: PaintText(hwnd, *text); return 0;
        }
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

// The command line: what it asks, what it answers and what it remembers.
class CommandLine {
public:
    PickAnswer pickAnswer = PickAnswer::Never;
    Point pickedPoint;
    UINT pickDelayMs = 300;
    HWND frame = nullptr;

    void Start(int historyLines) {
        std::wstring history = L"AutoCAD メニュー ユーティリティ がロードされました。\r\n";
        for (int k = 1; k <= historyLines; ++k)
            history += L"コマンド: LINE 始点を指定: 10," + std::to_wstring(k) + L"\r\n";
        // A cancel before any pick must not count against the next one.
        history += std::wstring(kIdlePrompt) + kCancelled + L"\r\n";
        historyText = history;
        Ask(kIdlePrompt);
    }

    void Type(const std::wstring& text) {
        for (wchar_t c : text) {
            if (c == kEtx) {
                Cancel();
            } else if (c == L'\r' || c == L' ') {
                const std::wstring item = pending_;
                pending_.clear();
                Echo(item);
                Answer(item);
            } else {
                pending_ += c;
            }
        }
    }

    void PickTimeUp() {
        KillTimer(frame, kPickTimer);
        if (mode_ != Mode::Picking) return;
        if (pickAnswer == PickAnswer::Point) {
            lastPoint_ = pickedPoint;
            wchar_t line[160];
            std::swprintf(line, 160, L"X = %.4f     Y = %.4f     Z = %.4f", lastPoint_.x, lastPoint_.y, lastPoint_.z);
            History(line);
            Idle();
        } else if (pickAnswer == PickAnswer::Cancel) {
            Cancel();
        }
    }

private:
    enum class Mode {
        Idle,
        VariableName,
        VariableValue,
        Picking,
        InsertName,
        InsertPoint,
        InsertScale,
        InsertRotation
    };

    void Ask(const std::wstring& prompt) {
        promptText = prompt;
        InvalidateRect(promptPane, nullptr, TRUE);
    }
    void History(const std::wstring& line) {
        historyText += line + L"\r\n";
        InvalidateRect(historyPane, nullptr, TRUE);
    }
    void Echo(const std::wstring& item) { History(promptText + item); }
    void Idle() {
        mode_ = Mode::Idle;
        Ask(kIdlePrompt);
    }

    void Cancel() {
        KillTimer(frame, kPickTimer);
        History(promptText + pending_ + kCancelled);
        pending_.clear();
        Idle();
    }

    std::wstring LastPointText() const {
        wchar_t text[160];
        std::swprintf(text, 160, L"%.4f,%.4f,%.4f", lastPoint_.x, lastPoint_.y, lastPoint_.z);
        return text;
    }

    // A variable typed as a command or named to SETVAR.
    void Variable(const std::wstring& upper) {
        if (upper == L"ACADVER") {
            History(std::wstring(L"ACADVER = ") + kAcadVer + L" (読み込み専用)");
            Idle();
        } else if (upper == L"LASTPOINT") {
            mode_ = Mode::VariableValue;
            Ask(L"LASTPOINT の新しい値を入力 <" + LastPointText() + L">: ");
        } else {
            History(L"変数名が見つかりません。");
            Idle();
        }
    }

    void Answer(const std::wstring& item) {
        const std::wstring upper = Upper(item);
        switch (mode_) {
            case Mode::Idle:
                if (item.empty()) break;
                if (upper == L"_ID" || upper == L"ID") {
                    mode_ = Mode::Picking;
                    Ask(L"点を指定: ");
                    if (pickAnswer != PickAnswer::Never) SetTimer(frame, kPickTimer, pickDelayMs, nullptr);
                } else if (upper == L"'SETVAR" || upper == L"SETVAR") {
                    mode_ = Mode::VariableName;
                    Ask(L"変数名を入力 または [?]: ");
                } else if (upper == L"ACADVER" || upper == L"LASTPOINT") {
                    Variable(upper);
                } else if (upper == L"-INSERT" || upper == L"_-INSERT") {
                    mode_ = Mode::InsertName;
                    Ask(L"ブロック名を入力 または [?]: ");
                } else {
                    History(L"\"" + item + L"\" は不明なコマンドです。F1 キーを押すとヘルプが表示されます。");
                    Idle();
                }
                break;
            case Mode::VariableName: Variable(upper); break;
            case Mode::VariableValue: {
                Point p;
                if (item.empty() || ParsePoint(item, p)) {
                    if (!item.empty()) lastPoint_ = p;
                    Idle();
                } else {
                    History(L"2D 点または 3D 点が必要です。");
                }
                break;
            }
            case Mode::Picking:
                // Only a click answers the pick here.
                break;
            case Mode::InsertName:
                mode_ = Mode::InsertPoint;
                Ask(L"挿入位置を指定 または [基点(B)/尺度(S)/回転(R)]: ");
                break;
            case Mode::InsertPoint:
                mode_ = Mode::InsertScale;
                Ask(L"尺度を指定 <1>: ");
                break;
            case Mode::InsertScale:
                mode_ = Mode::InsertRotation;
                Ask(L"回転角度を指定 <0>: ");
                break;
            case Mode::InsertRotation: Idle(); break;
        }
    }

    Mode mode_ = Mode::Idle;
    std::wstring pending_;
    Point lastPoint_;
};

ReceivedLog received;
CommandLine commandLine;

LRESULT CALLBACK FrameProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_COPYDATA: {
            const auto* record = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
            if (!record || record->dwData != 1) return FALSE;
            const auto* text = static_cast<const wchar_t*>(record->lpData);
            const size_t count = record->cbData / sizeof(wchar_t);
            received.Append(text, count);
            // The command text ends at its zero, as AutoCAD reads it.
            size_t length = 0;
            while (length < count && text[length] != L'\0') ++length;
            commandLine.Type(std::wstring(text, length));
            return TRUE;
        }
        case WM_TIMER:
            if (wParam == kPickTimer) commandLine.PickTimeUp();
            return 0;
        case WM_DESTROY: PostQuitMessage(0); return 0;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

HWND Panel(HWND parent, int x, int y, int width, int height, const wchar_t* cls = kPanelClass) {
    return CreateWindowExW(0, cls, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_BORDER, x, y, width, height,
                           parent, nullptr, GetModuleHandleW(nullptr), nullptr);
}

// Text window > frame > view > {prompt pane, history pane}.
bool BuildTextWindow(HWND owner, const std::wstring& title) {
    HWND window = CreateWindowExW(0, kTextWindowClass, title.c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE, 120, 300, 640,
                                  360, owner, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!window) return false;
    HWND frame = Panel(window, 0, 0, 620, 320);
    HWND view = Panel(frame, 0, 0, 620, 320);
    historyPane = Panel(view, 0, 0, 620, 280, kPaneClass);
    promptPane = Panel(view, 0, 280, 620, 30, kPaneClass);
    PlaceAfter(historyPane, promptPane);
    return GetWindow(GetWindow(GetWindow(window, GW_CHILD), GW_CHILD), GW_CHILD) == promptPane &&
           GetWindow(promptPane, GW_HWNDNEXT) == historyPane;
}

}  // namespace

int main() {
    Session session;
    std::wstring title = L"AutoCAD 2016 - [Drawing1.dwg]";
    std::wstring textTitle = L"AutoCAD テキスト ウィンドウ - Drawing1.dwg";
    bool mdiFrame = false, textWindow = true, disabled = false, hidden = false;
    int historyLines = 0;
    const std::vector<std::wstring> args = Arguments();
    for (size_t k = 0; k < args.size(); ++k) {
        if (session.Take(args, k)) continue;
        const std::wstring& arg = args[k];
        const bool hasValue = k + 1 < args.size();
        if (arg == L"--title" && hasValue)
            title = args[++k];
        else if (arg == L"--text-title" && hasValue)
            textTitle = args[++k];
        else if (arg == L"--mdi-frame")
            mdiFrame = true;
        else if (arg == L"--no-text-window")
            textWindow = false;
        else if (arg == L"--disabled")
            disabled = true;
        else if (arg == L"--hidden")
            hidden = true;
        else if (arg == L"--pick" && hasValue && ParsePoint(args[k + 1], commandLine.pickedPoint))
            commandLine.pickAnswer = PickAnswer::Point, ++k;
        else if (arg == L"--pick-cancel")
            commandLine.pickAnswer = PickAnswer::Cancel;
        else if (arg == L"--pick-never")
            commandLine.pickAnswer = PickAnswer::Never;
        else if (arg == L"--pick-delay" && hasValue)
            commandLine.pickDelayMs = static_cast<UINT>(std::wcstoul(args[++k].c_str(), nullptr, 10));
        else if (arg == L"--history-lines" && hasValue)
            historyLines = static_cast<int>(std::wcstol(args[++k].c_str(), nullptr, 10));
        else
            return Fail("unknown option; see the head of fake_autocad.cpp");
    }
    if (!received.Open(session.log)) return Fail("cannot create the log");

    const wchar_t* mainClass = mdiFrame ? kMdiMainClass : kAfxMainClass;
    if (!RegisterPlainClass(mainClass, FrameProc) || !RegisterPlainClass(kTextWindowClass, DefWindowProcW) ||
        !RegisterPlainClass(kPanelClass, DefWindowProcW) || !RegisterPlainClass(kPaneClass, PaneProc)) {
        return Fail("cannot register the window classes");
    }
    HWND frame = CreateWindowExW(0, mainClass, title.c_str(), WS_OVERLAPPEDWINDOW, 0, 0, 800, 600, nullptr, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
    if (!frame) return Fail("cannot create the main frame");
    commandLine.frame = frame;
    if (textWindow && !BuildTextWindow(frame, textTitle)) return Fail("cannot build the text window");
    commandLine.Start(historyLines);
    if (!hidden) ShowWindow(frame, SW_SHOWNORMAL);
    if (disabled) EnableWindow(frame, FALSE);
    return ServeUntilQuit(session);
}
