// Starts the fake Excel server (tabulon_fake_excel_server.exe, beside the
// running program) under a ProgID of its own, and stops it again, collecting
// what it counted.
#pragma once

#include <windows.h>

#include <cstdio>
#include <string>

#include "com/test_registration.h"
#include "support/test_programs.h"

namespace tabulon::test {

class FakeExcelServer {
public:
    // args: "--book NAME --fixtures DIR" or "--generate ROWSxCOLS", and maybe "--no-log".
    bool Start(const std::string& args) {
        report_ = TempFolder() + L"tabulon-fake-excel-" + program_.Tag() + L".txt";
        const std::string names = "--progid " + class_.progId + " --clsid " + GuidText(class_.clsid) + " ";
        return program_.Start(L"tabulon_fake_excel_server.exe", L"--report \"" + report_ + L"\" " +
                                                                    std::wstring(names.begin(), names.end()) +
                                                                    std::wstring(args.begin(), args.end()));
    }

    // Asks the server to quit; reads its counts. False when it did not end.
    bool Stop(long& calls, long& live) {
        calls = live = -1;
        if (!program_.Started()) return false;
        const bool ended = program_.Stop(60000).has_value();
        if (FILE* in = _wfopen(report_.c_str(), L"r")) {
            if (std::fscanf(in, "calls %ld live %ld", &calls, &live) != 2) calls = live = -1;
            std::fclose(in);
        }
        DeleteFileW(report_.c_str());
        return ended;
    }

    // Ends the server at once, as when Excel is closed or crashes.
    void Kill() { program_.Kill(); }

    // The name the server registered itself under, and its class id, which
    // another name (an "Excel.Application.NN") may be pointed at.
    const std::string& ProgId() const { return class_.progId; }
    const CLSID& Clsid() const { return class_.clsid; }

    ~FakeExcelServer() {
        long calls, live;
        if (program_.Started()) Stop(calls, live);
    }

private:
    FakeProgram program_;
    std::wstring report_;
    TestClass class_ = NewTestClass("Server");
};

}  // namespace tabulon::test
