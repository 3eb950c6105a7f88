// tabulon.exe as a process of its own, driven from outside the way a user
// would: a copy of the program in a fresh folder with its INI file beside it,
// clicks posted to its buttons, texts read with WM_GETTEXT, its message boxes
// waited for, read and answered, and the DXF it writes beside itself.
//
//   TabulonProcess app(L"Tabulon Test 1");          // blanks in the folder name welcome
//   ASSERT_TRUE(app.Start({{"xlsVerNum", "97"}}));   // settings written to the INI first
//   ASSERT_TRUE(app.Click(ui::kButton3));
//   auto box = app.TakeMessageBox();                 // waits, reads, presses OK
//   EXPECT_EQ(app.Text(ui::kEdit + 2), L"B2");
//   ASSERT_TRUE(app.Quit());
//
// Every wait has a deadline, so a hang fails the test instead of stopping it;
// the deadlines only bound hangs and are far above the normal times.
#pragma once

#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/settings_file.h"
#include "support/screen_picture.h"
#include "support/test_programs.h"
#include "ui/main_window.h"

namespace tabulon::test {

// A message box of the program's, as seen from outside.
struct SeenMessageBox {
    HWND hwnd = nullptr;
    std::wstring title;
    std::wstring text;
};

// Text of another process's window. GetWindowTextW returns "" for another
// process's controls, so this asks the window itself.
inline std::wstring WindowTextOf(HWND hwnd) {
    constexpr UINT kTimeoutMs = 10000;
    DWORD_PTR length = 0;
    if (!hwnd || !SendMessageTimeoutW(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kTimeoutMs, &length)) return L"";
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG,
                             kTimeoutMs, &copied)) {
        return L"";
    }
    text.resize(copied);
    return text;
}

inline std::wstring ClassNameOf(HWND hwnd) {
    wchar_t name[128] = {};
    GetClassNameW(hwnd, name, 128);
    return name;
}

// Polls condition every 20 ms until it holds or timeoutMs have passed.
inline bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        if (condition()) return true;
        if (GetTickCount64() > deadline) return false;
        Sleep(20);
    }
}

// The whole screen as a 24-bit BMP file, for people to look at; false when it
// could not be taken or written.
inline bool SaveScreenshot(const std::wstring& path) {
    ScreenPicture picture;
    return picture.Take() && picture.SaveBmp(path);
}

class TabulonProcess {
public:
    static constexpr DWORD kStartTimeoutMs = 60000;
    static constexpr DWORD kWaitTimeoutMs = 60000;

    // The copy goes to %TEMP%\tabulon-e2e-<this process id>\<folderName>, so
    // runs that share a Wine prefix do not meet; folderName may hold blanks.
    explicit TabulonProcess(const std::wstring& folderName) {
        root_ = std::filesystem::path(TempFolder()) / (L"tabulon-e2e-" + std::to_wstring(GetCurrentProcessId()));
        folder_ = root_ / folderName;
        exe_ = folder_ / L"tabulon.exe";
        ini_ = folder_ / L"tabulon.ini";
        dxf_ = folder_ / L"tabulon.dxf";
    }

    TabulonProcess(const TabulonProcess&) = delete;
    TabulonProcess& operator=(const TabulonProcess&) = delete;

    // Ends the program if it still runs and removes its folder.
    ~TabulonProcess() {
        if (process_) {
            if (Running()) {
                // A box left open by a failed test would keep the close waiting.
                for (int k = 0; k < 5; ++k) {
                    const std::optional<SeenMessageBox> box = OpenMessageBox();
                    if (!box || !Dismiss(*box, IDOK, 5000)) break;
                }
                if (main_) PostMessageW(main_, WM_CLOSE, 0, 0);
                if (WaitForSingleObject(process_, 20000) != WAIT_OBJECT_0) {
                    TerminateProcess(process_, 1);
                    WaitForSingleObject(process_, 20000);
                }
            }
            CloseHandle(process_);
        }
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
        std::filesystem::remove(root_, ignored);  // only once the last copy has gone
    }

    // Copies tabulon.exe (beside the running test program) into a fresh folder,
    // writes settings (key, value) into the INI file beside the copy, starts it
    // and waits for its main window.
    bool Start(const std::vector<std::pair<std::string, std::string>>& settings = {},
               const std::wstring& arguments = L"") {
        std::error_code error;
        std::filesystem::remove_all(folder_, error);
        if (!std::filesystem::create_directories(folder_, error)) return false;
        if (!CopyFileW(BesideThisProgram(L"tabulon.exe").c_str(), exe_.c_str(), TRUE)) return false;
        for (const auto& [key, value] : settings) {
            if (!WriteSetting(key, value)) return false;
        }
        LeaveWindowsUnmanaged();
        // The program finds its INI and DXF beside itself, not in the current
        // folder, which stays the test's.
        PROCESS_INFORMATION pi;
        if (!StartOnThisDesktop(exe_.wstring(), arguments, pi)) return false;
        CloseHandle(pi.hThread);
        process_ = pi.hProcess;
        processId_ = pi.dwProcessId;
        WaitForInputIdle(process_, kStartTimeoutMs);
        auto shown = [this] {
            main_ = FindTopLevel(L"TabulonMainWindow");
            return main_ != nullptr || !Running();
        };
        return WaitUntil(shown, kStartTimeoutMs) && main_ != nullptr;
    }

    const std::filesystem::path& Folder() const { return folder_; }
    const std::filesystem::path& ExePath() const { return exe_; }
    const std::filesystem::path& IniPath() const { return ini_; }
    const std::filesystem::path& DxfPath() const { return dxf_; }
    DWORD ProcessId() const { return processId_; }
    HANDLE Process() const { return process_; }
    HWND MainWindow() const { return main_; }

    bool Running() const { return process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT; }

    // A control of either tab by its id (ui::ControlId; EditN is ui::kEdit + N).
    HWND Control(int id) const {
        struct Search {
            int id;
            HWND found;
        } search{id, nullptr};
        if (!main_) return nullptr;
        EnumChildWindows(
            main_,
            [](HWND child, LPARAM lp) -> BOOL {
                auto* s = reinterpret_cast<Search*>(lp);
                if (GetDlgCtrlID(child) != s->id) return TRUE;
                s->found = child;
                return FALSE;
            },
            reinterpret_cast<LPARAM>(&search));
        return search.found;
    }

    std::wstring Caption() const { return WindowTextOf(main_); }
    std::wstring Text(int id) const { return WindowTextOf(Control(id)); }
    bool IsEnabled(int id) const {
        HWND control = Control(id);
        return control && IsWindowEnabled(control);
    }

    // Clicks a button by posting BM_CLICK, so the button runs its own click
    // and the handler runs in the program's own time: a capture handles
    // messages and shows a modal box, which a sent message would wait for.
    // False, and nothing sent, when a user could not click it either (disabled
    // or hidden).
    bool Click(int id) {
        HWND button = Control(id);
        if (!button || !IsWindowEnabled(button) || !IsWindowVisible(button)) return false;
        return PostMessageW(button, BM_CLICK, 0, 0) != FALSE;
    }

    // Waits until the program's thread has handled everything posted to it so
    // far. A handler that handles messages itself (a capture between rows, a
    // message box, the wait for a pick in AutoCAD) lets this through early:
    // wait for its box or for a button state then.
    bool WaitIdle(DWORD timeoutMs = kWaitTimeoutMs) {
        // The marker is a text limit on the read-only Edit2, which the program
        // never uses: posted behind the earlier messages, it is set once they
        // have been handled.
        HWND marker = Control(ui::kEdit + 2);
        const WPARAM value = 0x100000 + (++markers_ & 0xFFFFF);
        if (!marker || !PostMessageW(marker, EM_SETLIMITTEXT, value, 0)) return false;
        auto reached = [&] {
            DWORD_PTR limit = 0;
            if (!Running()) return true;
            return SendMessageTimeoutW(marker, EM_GETLIMITTEXT, 0, 0, SMTO_ABORTIFHUNG, 1000, &limit) && limit == value;
        };
        return WaitUntil(reached, timeoutMs) && Running();
    }

    // The program's message box showing now, if any.
    std::optional<SeenMessageBox> OpenMessageBox() const {
        HWND box = FindTopLevel(L"#32770");
        if (!box) return std::nullopt;
        return SeenMessageBox{box, WindowTextOf(box), BoxText(box)};
    }

    std::optional<SeenMessageBox> WaitForMessageBox(DWORD timeoutMs = kWaitTimeoutMs) {
        std::optional<SeenMessageBox> box;
        WaitUntil(
            [&] {
                box = OpenMessageBox();
                return box.has_value() || !Running();
            },
            timeoutMs);
        return box;
    }

    // Presses a button of the box (IDOK, IDYES, IDNO ...) and waits until the
    // box has gone.
    bool Dismiss(const SeenMessageBox& box, int button = IDOK, DWORD timeoutMs = kWaitTimeoutMs) {
        if (!PostMessageW(box.hwnd, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                          reinterpret_cast<LPARAM>(GetDlgItem(box.hwnd, button)))) {
            return false;
        }
        return WaitUntil([&] { return !IsWindow(box.hwnd); }, timeoutMs);
    }

    // Waits for the next message box, answers it with OK and returns it.
    std::optional<SeenMessageBox> TakeMessageBox(DWORD timeoutMs = kWaitTimeoutMs) {
        std::optional<SeenMessageBox> box = WaitForMessageBox(timeoutMs);
        if (box && !Dismiss(*box, IDOK, timeoutMs)) return std::nullopt;
        return box;
    }

    // Closes the main window as the user would and waits for the program to
    // end; its exit code, or nothing when it did not end.
    std::optional<DWORD> Quit(DWORD timeoutMs = kWaitTimeoutMs) {
        if (!process_) return std::nullopt;
        if (Running() && !PostMessageW(main_, WM_CLOSE, 0, 0)) return std::nullopt;
        if (WaitForSingleObject(process_, timeoutMs) != WAIT_OBJECT_0) return std::nullopt;
        DWORD code = 0;
        GetExitCodeProcess(process_, &code);
        main_ = nullptr;
        return code;
    }

    // The drawing "CAD へ挿入" wrote beside the program, as bytes (code page
    // 932); nothing when there is none.
    // The program's own dialog (ui::ModalDialog) that is showing, if any.
    HWND ShowingDialog() const { return FindTopLevel(L"TabulonModalDialog"); }

    std::optional<std::string> ReadDxf() const { return ReadBytes(dxf_); }

    // A value of the program's INI section, as the profile API reads it.
    std::optional<std::wstring> ReadSetting(const std::string& key) const {
        wchar_t value[256] = {};
        const DWORD n = GetPrivateProfileStringW(Wide(kSettingsSection).c_str(), Wide(key).c_str(), L"\x01", value, 256,
                                                 ini_.c_str());
        if (n == 1 && value[0] == L'\x01') return std::nullopt;
        return std::wstring(value, n);
    }

    bool WriteSetting(const std::string& key, const std::string& value) {
        return WritePrivateProfileStringW(Wide(kSettingsSection).c_str(), Wide(key).c_str(), Wide(value).c_str(),
                                          ini_.c_str()) != FALSE;
    }

    // A file's bytes, or nothing when it cannot be opened.
    static std::optional<std::string> ReadBytes(const std::filesystem::path& path) {
        FILE* in = _wfopen(path.c_str(), L"rb");
        if (!in) return std::nullopt;
        std::string bytes;
        char chunk[65536];
        size_t n;
        while ((n = std::fread(chunk, 1, sizeof chunk, in)) > 0) bytes.append(chunk, n);
        std::fclose(in);
        return bytes;
    }

private:
    // Xvfb runs no window manager, and Wine waits two seconds for one to
    // withdraw every top-level window the program hides (each message box
    // answered, the main window at the close). Windows that Wine leaves
    // unmanaged skip the wait, and Wine draws their frames and captions
    // itself, which the screenshots then show. The setting is Wine's own, per
    // program name, and means nothing to Windows.
    static void LeaveWindowsUnmanaged() {
        static const wchar_t kNo[] = L"N";
        RegSetKeyValueW(HKEY_CURRENT_USER, L"Software\\Wine\\AppDefaults\\tabulon.exe\\X11 Driver", L"Managed", REG_SZ,
                        kNo, sizeof kNo);
    }

    static std::wstring Wide(const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); }

    // A visible top-level window of the program with this class.
    HWND FindTopLevel(const wchar_t* className) const {
        struct Search {
            DWORD processId;
            const wchar_t* className;
            HWND found;
        } search{processId_, className, nullptr};
        EnumWindows(
            [](HWND hwnd, LPARAM lp) -> BOOL {
                auto* s = reinterpret_cast<Search*>(lp);
                DWORD owner = 0;
                GetWindowThreadProcessId(hwnd, &owner);
                if (owner != s->processId || !IsWindowVisible(hwnd) || ClassNameOf(hwnd) != s->className) return TRUE;
                s->found = hwnd;
                return FALSE;
            },
            reinterpret_cast<LPARAM>(&search));
        return search.found;
    }

    // A message box's text is its one static control with text (the icon's
    // static has none).
    static std::wstring BoxText(HWND box) {
        std::wstring text;
        EnumChildWindows(
            box,
            [](HWND child, LPARAM lp) -> BOOL {
                auto* t = reinterpret_cast<std::wstring*>(lp);
                if (_wcsicmp(ClassNameOf(child).c_str(), L"Static") != 0) return TRUE;
                *t = WindowTextOf(child);
                return t->empty();
            },
            reinterpret_cast<LPARAM>(&text));
        return text;
    }

    std::filesystem::path root_, folder_, exe_, ini_, dxf_;
    HANDLE process_ = nullptr;
    DWORD processId_ = 0;
    HWND main_ = nullptr;
    unsigned markers_ = 0;
};

}  // namespace tabulon::test
