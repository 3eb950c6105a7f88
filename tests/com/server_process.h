// Starts the fake Excel server (tabulon_fake_excel_server.exe, beside the
// running program) under a ProgID of its own, and stops it again, collecting
// what it counted.
#pragma once

#include <windows.h>

#include <cstdio>
#include <string>

#include "com/test_registration.h"

namespace tabulon::test {

class FakeExcelServer {
public:
    // args: "--book NAME --fixtures DIR" or "--generate ROWSxCOLS", and maybe "--no-log".
    bool Start(const std::string& args) {
        const std::wstring tag = std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(GetTickCount64());
        const std::wstring ready = L"TabulonFakeExcelReady-" + tag, quit = L"TabulonFakeExcelQuit-" + tag;
        ready_ = CreateEventW(nullptr, TRUE, FALSE, ready.c_str());
        quit_ = CreateEventW(nullptr, TRUE, FALSE, quit.c_str());
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        report_ = std::wstring(temp) + L"tabulon-fake-excel-" + tag + L".txt";
        wchar_t self[MAX_PATH];
        GetModuleFileNameW(nullptr, self, MAX_PATH);
        std::wstring exe(self);
        exe = exe.substr(0, exe.find_last_of(L"\\/") + 1) + L"tabulon_fake_excel_server.exe";
        const std::string names = "--progid " + class_.progId + " --clsid " + GuidText(class_.clsid) + " ";
        std::wstring command = L"\"" + exe + L"\" --ready " + ready + L" --quit " + quit + L" --parent " +
                               std::to_wstring(GetCurrentProcessId()) + L" --report \"" + report_ + L"\" " +
                               std::wstring(names.begin(), names.end()) + std::wstring(args.begin(), args.end());
        STARTUPINFOW si{};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi{};
        if (!ready_ || !quit_ ||
            !CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
            return false;
        }
        CloseHandle(pi.hThread);
        process_ = pi.hProcess;
        HANDLE either[2] = {ready_, process_};
        return WaitForMultipleObjects(2, either, FALSE, 60000) == WAIT_OBJECT_0;
    }

    // Asks the server to quit; reads its counts. False when it did not end.
    bool Stop(long& calls, long& live) {
        calls = live = -1;
        if (!process_) return false;
        SetEvent(quit_);
        const bool ended = WaitForSingleObject(process_, 60000) == WAIT_OBJECT_0;
        if (!ended) TerminateProcess(process_, 1);
        CloseHandle(process_);
        process_ = nullptr;
        if (FILE* in = _wfopen(report_.c_str(), L"r")) {
            if (std::fscanf(in, "calls %ld live %ld", &calls, &live) != 2) calls = live = -1;
            std::fclose(in);
        }
        DeleteFileW(report_.c_str());
        return ended;
    }

    // Ends the server at once, as when Excel is closed or crashes.
    void Kill() {
        if (!process_) return;
        TerminateProcess(process_, 1);
        WaitForSingleObject(process_, 60000);
    }

    // The name the server registered itself under, and its class id, which
    // another name (an "Excel.Application.NN") may be pointed at.
    const std::string& ProgId() const { return class_.progId; }
    const CLSID& Clsid() const { return class_.clsid; }

    ~FakeExcelServer() {
        long calls, live;
        if (process_) Stop(calls, live);
        if (ready_) CloseHandle(ready_);
        if (quit_) CloseHandle(quit_);
    }

private:
    HANDLE ready_ = nullptr, quit_ = nullptr, process_ = nullptr;
    std::wstring report_;
    TestClass class_ = NewTestClass("Server");
};

}  // namespace tabulon::test
