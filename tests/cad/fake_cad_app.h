// What the fake BricsCAD and the fake AutoCAD share: their session options, the
// log of what they received, and a message loop that ends when the test says so
// or when the test program is gone.
#pragma once

#include <windows.h>
// CommandLineToArgvW needs windows.h first.
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace tabulon::fake {

// The command line as UTF-16 words: titles are Japanese, and argv would carry
// them in code page 932.
inline std::vector<std::wstring> Arguments() {
    int count = 0;
    wchar_t** words = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::wstring> args;
    for (int k = 1; k < count; ++k) args.emplace_back(words[k]);
    LocalFree(words);
    return args;
}

// Written straight through to the file on every call, so the test reads what
// arrived as soon as its SendMessageW has returned.
class ReceivedLog {
public:
    bool Open(const std::wstring& path) {
        if (path.empty()) return true;
        file_ = Create(path);
        times_ = Create(path + L".times");
        return file_ != INVALID_HANDLE_VALUE && times_ != INVALID_HANDLE_VALUE;
    }
    // UTF-16LE code values, as they came.
    void Append(const wchar_t* text, size_t count) {
        if (file_ == INVALID_HANDLE_VALUE || count == 0) return;
        DWORD written = 0;
        WriteFile(file_, text, static_cast<DWORD>(count * sizeof(wchar_t)), &written, nullptr);
        // When the first and the last input arrived, on the performance counter,
        // which all processes share: tells which fake was typed into first.
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        if (span_[0] == 0) span_[0] = now.QuadPart;
        span_[1] = now.QuadPart;
        SetFilePointer(times_, 0, nullptr, FILE_BEGIN);
        WriteFile(times_, span_, sizeof span_, &written, nullptr);
    }
    ~ReceivedLog() {
        if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
        if (times_ != INVALID_HANDLE_VALUE) CloseHandle(times_);
    }

private:
    static HANDLE Create(const std::wstring& path) {
        return CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    }

    HANDLE file_ = INVALID_HANDLE_VALUE;
    HANDLE times_ = INVALID_HANDLE_VALUE;
    LONGLONG span_[2] = {0, 0};
};

// --ready EVENT, --quit EVENT, --parent PID and --log FILE, as the launcher in
// fake_cad_process.h passes them. Without them the fake runs until its main
// window is closed, for trying it by hand.
struct Session {
    std::wstring ready, quit, log;
    DWORD parent = 0;

    // Takes the option at args[k] (and its value) when it is one of ours.
    bool Take(const std::vector<std::wstring>& args, size_t& k) {
        const std::wstring& arg = args[k];
        const bool hasValue = k + 1 < args.size();
        if (!hasValue) return false;
        if (arg == L"--ready")
            ready = args[++k];
        else if (arg == L"--quit")
            quit = args[++k];
        else if (arg == L"--log")
            log = args[++k];
        else if (arg == L"--parent")
            parent = static_cast<DWORD>(std::wcstoul(args[++k].c_str(), nullptr, 10));
        else
            return false;
        return true;
    }
};

inline int Fail(const char* why) {
    std::fprintf(stderr, "%s (error %lu)\n", why, GetLastError());
    return 1;
}

// Signals that the windows exist, then serves messages until the quit event is
// set, the parent ends, the windows are gone, or 20 minutes have passed: a fake
// must never outlive a test run that was killed.
inline int ServeUntilQuit(const Session& session) {
    std::vector<HANDLE> ends;
    if (!session.quit.empty()) {
        HANDLE quit = OpenEventW(SYNCHRONIZE, FALSE, session.quit.c_str());
        if (!quit) return Fail("cannot open the quit event");
        ends.push_back(quit);
    }
    if (session.parent != 0) {
        HANDLE parent = OpenProcess(SYNCHRONIZE, FALSE, session.parent);
        if (!parent) return Fail("cannot open the parent process");
        ends.push_back(parent);
    }
    if (!session.ready.empty()) {
        HANDLE ready = OpenEventW(EVENT_MODIFY_STATE, FALSE, session.ready.c_str());
        if (!ready || !SetEvent(ready)) return Fail("cannot signal the ready event");
        CloseHandle(ready);
    }
    const ULONGLONG deadline = GetTickCount64() + 20 * 60 * 1000;
    for (;;) {
        const DWORD woken = MsgWaitForMultipleObjectsEx(static_cast<DWORD>(ends.size()), ends.data(), 1000, QS_ALLINPUT,
                                                        MWMO_INPUTAVAILABLE);
        if (woken < WAIT_OBJECT_0 + ends.size() || GetTickCount64() > deadline) break;
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) return 0;
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    return 0;
}

inline ATOM RegisterPlainClass(const wchar_t* name, WNDPROC proc) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = name;
    return RegisterClassExW(&wc);
}

// Puts `window` directly after `after` among its siblings, so GW_HWNDNEXT from
// `after` reaches it whatever order the system created them in.
inline void PlaceAfter(HWND window, HWND after) {
    SetWindowPos(window, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

// Paints a window's text (kept by its owner), its last lines only, so that
// screenshots show what the test left there.
inline void PaintText(HWND hwnd, std::wstring text, int lastLines = 12) {
    size_t from = text.size();
    for (int line = 0; line < lastLines && from != std::wstring::npos && from > 0; ++line) {
        from = text.rfind(L'\n', from - 1);
    }
    if (from != std::wstring::npos && from < text.size()) text.erase(0, from);
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    RECT area;
    GetClientRect(hwnd, &area);
    FillRect(dc, &area, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
    HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &area, DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(dc, old);
    EndPaint(hwnd, &ps);
}

}  // namespace tabulon::fake
