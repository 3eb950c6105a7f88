// The programs a test starts beside itself (tabulon.exe, the fakes of Excel and
// the CAD applications) as processes of their own, on the test's desktop.
//
// A fake takes three session options first: --ready EVENT, which it sets once
// it serves; --quit EVENT, which the test sets to end it; and --parent PID, the
// test program, with which it ends if the test dies.
#pragma once

#include <windows.h>

#include <atomic>
#include <optional>
#include <string>

namespace tabulon::test {

// %TEMP%, with its trailing backslash.
inline std::wstring TempFolder() {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    return temp;
}

// "station\desktop" of the calling thread, or empty when it cannot be told.
inline std::wstring ThreadDesktopName() {
    wchar_t station[256] = {}, desktop[256] = {};
    DWORD needed = 0;
    HDESK desk = GetThreadDesktop(GetCurrentThreadId());
    if (!desk || !GetUserObjectInformationW(desk, UOI_NAME, desktop, sizeof desktop, &needed) ||
        !GetUserObjectInformationW(GetProcessWindowStation(), UOI_NAME, station, sizeof station, &needed)) {
        return L"";
    }
    return std::wstring(station) + L"\\" + desktop;
}

// A program in the folder of the running test program.
inline std::wstring BesideThisProgram(const std::wstring& name) {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    const std::wstring path(self);
    return path.substr(0, path.find_last_of(L"\\/") + 1) + name;
}

// Starts exe with args on the desktop the calling thread works on (see
// support/own_desktop.h), which need not be its process's.
inline bool StartOnThisDesktop(const std::wstring& exe, const std::wstring& args, PROCESS_INFORMATION& pi) {
    std::wstring command = L"\"" + exe + L"\"" + (args.empty() ? L"" : L" " + args);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    std::wstring desktop = ThreadDesktopName();
    if (!desktop.empty()) si.lpDesktop = desktop.data();
    pi = PROCESS_INFORMATION{};
    return CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi);
}

// One start of a fake: its session events and its process.
class FakeProgram {
public:
    FakeProgram() {
        static std::atomic<int> serial{0};
        tag_ = std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++serial) + L"-" +
               std::to_wstring(GetTickCount64());
    }
    FakeProgram(const FakeProgram&) = delete;
    FakeProgram& operator=(const FakeProgram&) = delete;
    ~FakeProgram() {
        Stop(30000);
        for (HANDLE event : {ready_, quit_}) {
            if (event) CloseHandle(event);
        }
    }

    // Unique to this start, for naming the fake's files.
    const std::wstring& Tag() const { return tag_; }

    // Starts exeName (beside the test program) with the session options and
    // then args. False when it did not start or ended before it was ready.
    // Once per object: the events of a stopped start stay set.
    bool Start(const std::wstring& exeName, const std::wstring& args) {
        if (ready_ || quit_) return false;
        const std::wstring ready = L"TabulonFakeReady-" + tag_, quit = L"TabulonFakeQuit-" + tag_;
        ready_ = CreateEventW(nullptr, TRUE, FALSE, ready.c_str());
        quit_ = CreateEventW(nullptr, TRUE, FALSE, quit.c_str());
        PROCESS_INFORMATION pi;
        if (!ready_ || !quit_ ||
            !StartOnThisDesktop(BesideThisProgram(exeName),
                                L"--ready " + ready + L" --quit " + quit + L" --parent " +
                                    std::to_wstring(GetCurrentProcessId()) + L" " + args,
                                pi)) {
            return false;
        }
        CloseHandle(pi.hThread);
        process_ = pi.hProcess;
        processId_ = pi.dwProcessId;
        HANDLE either[2] = {ready_, process_};
        return WaitForMultipleObjects(2, either, FALSE, 60000) == WAIT_OBJECT_0;
    }

    // Asks the fake to quit and waits for it; ends it forcibly when it does not
    // end within timeoutMs. Its exit code when it ended by itself.
    std::optional<DWORD> Stop(DWORD timeoutMs) {
        if (!process_) return std::nullopt;
        SetEvent(quit_);
        std::optional<DWORD> code;
        if (WaitForSingleObject(process_, timeoutMs) == WAIT_OBJECT_0) {
            DWORD exitCode = 0;
            if (GetExitCodeProcess(process_, &exitCode)) code = exitCode;
        } else {
            TerminateProcess(process_, 1);
            WaitForSingleObject(process_, timeoutMs);
        }
        CloseHandle(process_);
        process_ = nullptr;
        return code;
    }

    // Ends the fake at once, as when the real application crashes.
    void Kill() {
        if (!process_) return;
        TerminateProcess(process_, 1);
        WaitForSingleObject(process_, 60000);
    }

    bool Started() const { return process_ != nullptr; }
    DWORD ProcessId() const { return processId_; }

private:
    std::wstring tag_;
    HANDLE ready_ = nullptr, quit_ = nullptr, process_ = nullptr;
    DWORD processId_ = 0;
};

}  // namespace tabulon::test
