// The fake Excel as a process of its own, as the real one runs: it registers
// its ProgID and its Application in the running object table, signals that it
// is ready, and serves calls until told to quit (or its parent is gone).
//
//   tabulon_fake_excel_server --progid NAME --clsid {GUID} --ready EVENT --quit EVENT --parent PID --report FILE
//                             (--book NAME --fixtures DIR | --generate ROWSxCOLS) [--no-log] [--reject-ms N]
//
// --reject-ms N: every call is rejected as "busy" for N ms from the first one,
// as Excel rejects calls while a cell is being edited.
//
// On quit it writes "calls N" and "live N" (objects still alive after its
// Application was revoked) to the report file.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "com/fake_excel.h"
#include "com/test_registration.h"

namespace {

std::wstring Wide(const std::string& text) {
    return std::wstring(text.begin(), text.end());
}

}  // namespace

int main(int argc, char** argv) {
    using namespace tabulon;
    std::string progId, clsidText, ready, quit, report, book, fixtures, generate;
    DWORD parent = 0;
    bool logging = true;
    long rejectMs = 0;
    for (int k = 1; k < argc; ++k) {
        const std::string arg = argv[k];
        const char* next = k + 1 < argc ? argv[k + 1] : "";
        if (arg == "--progid")
            progId = next, ++k;
        else if (arg == "--clsid")
            clsidText = next, ++k;
        else if (arg == "--ready")
            ready = next, ++k;
        else if (arg == "--quit")
            quit = next, ++k;
        else if (arg == "--report")
            report = next, ++k;
        else if (arg == "--book")
            book = next, ++k;
        else if (arg == "--fixtures")
            fixtures = next, ++k;
        else if (arg == "--generate")
            generate = next, ++k;
        else if (arg == "--parent")
            parent = static_cast<DWORD>(std::strtoul(next, nullptr, 10)), ++k;
        else if (arg == "--reject-ms")
            rejectMs = std::strtol(next, nullptr, 10), ++k;
        else if (arg == "--no-log")
            logging = false;
        else {
            std::fprintf(stderr, "unknown argument %s\n", arg.c_str());
            return 2;
        }
    }
    HANDLE readyEvent = OpenEventW(EVENT_MODIFY_STATE, FALSE, Wide(ready).c_str());
    HANDLE quitEvent = OpenEventW(SYNCHRONIZE, FALSE, Wide(quit).c_str());
    HANDLE parentProcess = OpenProcess(SYNCHRONIZE, FALSE, parent);
    if (!readyEvent || !quitEvent || !parentProcess) {
        std::fprintf(stderr, "cannot open the events or the parent process\n");
        return 1;
    }
    CLSID clsid;
    if (progId.empty() || FAILED(CLSIDFromString(Wide(clsidText).c_str(), &clsid))) {
        std::fprintf(stderr, "give --progid and --clsid\n");
        return 2;
    }
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 1;

    auto state = std::make_shared<fake::FakeExcelState>();
    state->logging = logging;
    state->rejectForMs = rejectMs;
    try {
        int rows = 0, cols = 0;
        if (!generate.empty() && std::sscanf(generate.c_str(), "%dx%d", &rows, &cols) == 2) {
            state->book = fake::GeneratedWorkbook(rows, cols);
        } else {
            state->book = fake::LoadWorkbook(fixtures + "/books.json", book);
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    if (!test::RegisterProgId(progId, clsid)) return 1;
    IDispatch* app = fake::NewFakeApplication(state);
    DWORD cookie = 0;
    const HRESULT hr = RegisterActiveObject(app, clsid, ACTIVEOBJECT_STRONG, &cookie);
    app->Release();
    if (FAILED(hr)) return 1;
    SetEvent(readyEvent);

    // Calls into a single-threaded apartment arrive as window messages.
    HANDLE waitFor[2] = {quitEvent, parentProcess};
    const ULONGLONG deadline = GetTickCount64() + 20 * 60 * 1000;
    for (;;) {
        const DWORD r = MsgWaitForMultipleObjects(2, waitFor, FALSE, 1000, QS_ALLINPUT);
        if (r == WAIT_OBJECT_0 || r == WAIT_OBJECT_0 + 1 || GetTickCount64() > deadline) break;
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    RevokeActiveObject(cookie, nullptr);
    test::UnregisterProgId(progId);
    if (FILE* out = std::fopen(report.c_str(), "w")) {
        std::fprintf(out, "calls %ld\nlive %ld\n", state->calls.load(), state->liveObjects.load());
        std::fclose(out);
    }
    CoUninitialize();
    return 0;
}
