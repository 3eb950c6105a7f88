// Times captures from the fake Excel in another process, as a real capture
// runs: every call crosses processes. Prints the figures, asserts nothing.
//
//   tabulon_com_bench [ROWSxCOLS ...]      (default: 100x20; the test run uses 10x20)
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "app/capture_controller.h"
#include "app/fake_main_view.h"
#include "com/server_process.h"
#include "platform/excel_automation_win.h"

namespace {

using Clock = std::chrono::steady_clock;

HRESULT Get(IDispatch* object, DISPID id, VARIANT& result, VARIANTARG* arg = nullptr) {
    DISPPARAMS params{arg, nullptr, arg ? 1u : 0u, 0};
    VariantInit(&result);
    return object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET | DISPATCH_METHOD, &params, &result,
                          nullptr, nullptr);
}

// What one call costs across processes: a plain property read against a read
// that returns an object (which is marshalled, and released again).
void TimeSingleCalls(const std::string& progId) {
    CLSID clsid;
    IUnknown* running = nullptr;
    IDispatch* app = nullptr;
    const std::wstring name(progId.begin(), progId.end());
    if (FAILED(CLSIDFromProgID(name.c_str(), &clsid)) || FAILED(GetActiveObject(clsid, nullptr, &running)) ||
        FAILED(running->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&app)))) {
        std::printf("single calls: cannot attach\n");
        if (running) running->Release();
        return;
    }
    running->Release();
    wchar_t activeSheet[] = L"ActiveSheet", range[] = L"Range";
    LPOLESTR names[1] = {activeSheet};
    DISPID id = 0;
    VARIANT sheet, cell, value;
    VARIANTARG address;
    VariantInit(&address);
    address.vt = VT_BSTR;
    address.bstrVal = SysAllocString(L"A1");
    if (SUCCEEDED(app->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id)) && SUCCEEDED(Get(app, id, sheet))) {
        names[0] = range;
        if (SUCCEEDED(sheet.pdispVal->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id)) &&
            SUCCEEDED(Get(sheet.pdispVal, id, cell, &address))) {
            constexpr int kCalls = 200;
            auto start = Clock::now();
            for (int k = 0; k < kCalls; ++k) {
                Get(cell.pdispVal, 242, value);  // ColumnWidth
                VariantClear(&value);
            }
            const double plain = std::chrono::duration<double, std::milli>(Clock::now() - start).count() / kCalls;
            start = Clock::now();
            for (int k = 0; k < kCalls; ++k) {
                Get(cell.pdispVal, 146, value);  // Font
                VariantClear(&value);
            }
            const double object = std::chrono::duration<double, std::milli>(Clock::now() - start).count() / kCalls;
            std::printf(
                "single calls across processes: %.3f ms per property read, %.3f ms per object read and "
                "release\n",
                plain, object);
            VariantClear(&cell);
        }
        VariantClear(&sheet);
    }
    VariantClear(&address);
    app->Release();
}

}  // namespace

int main(int argc, char** argv) {
    using namespace tabulon;
    std::vector<std::string> sizes;
    for (int k = 1; k < argc; ++k) sizes.emplace_back(argv[k]);
    if (sizes.empty()) sizes.emplace_back("100x20");
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 1;
    {
        test::FakeExcelServer server;
        if (server.Start("--generate 1x1 --no-log")) TimeSingleCalls(server.ProgId());
    }
    int status = 0;
    for (const std::string& size : sizes) {
        int rows = 0, cols = 0;
        if (std::sscanf(size.c_str(), "%dx%d", &rows, &cols) != 2 || rows < 1 || cols < 1) {
            std::fprintf(stderr, "bad size %s\n", size.c_str());
            return 2;
        }
        test::FakeExcelServer server;
        if (!server.Start("--generate " + size + " --no-log")) {
            std::fprintf(stderr, "the fake Excel server did not start\n");
            return 1;
        }
        AppModel model;
        test::FakeMainView view;
        SizesController sizesController(model, view);
        CaptureController capture(model, view, sizesController,
                                  [&server](const std::string&) { return AttachToSpreadsheet(server.ProgId()); });
        const auto start = Clock::now();
        capture.Button3Click();
        const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        long calls = 0, live = 0;
        server.Stop(calls, live);
        const double cells = static_cast<double>(rows) * cols;
        const bool ok = view.insertEnabled && model.table.TableRows == rows && model.table.TableCols == cols;
        if (!ok) status = 1;
        const double captureCalls = calls;
        std::printf(
            "capture %dx%d across processes: %s, %.0f ms, %.2f ms per cell, %.1f calls per cell, "
            "%.3f ms per call\n",
            rows, cols, ok ? "ok" : "FAILED", ms, ms / cells, captureCalls / cells,
            captureCalls > 0 ? ms / captureCalls : 0.0);
    }
    CoUninitialize();
    return status;
}
