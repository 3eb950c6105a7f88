// What the end-to-end tests share: the settings the copied program starts with,
// the fake Excel's book, screenshots, and a program that has captured that book.
#pragma once

#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "com/server_process.h"
#include "e2e/excel_version_name.h"
#include "e2e/tabulon_process.h"
#include "support/test_support.h"

namespace tabulon::test {

// Scales of round numbers, so that the drawing's measures read off the
// workbook's: characters x 10 across, points x 2 down, text 0.5 per point.
inline std::vector<std::pair<std::string, std::string>> E2eSettings(int xlsVerNum) {
    return {{"xlsVerNum", std::to_string(xlsVerNum)},
            {"cadXsc", "10"},
            {"cadYsc", "2"},
            {"cadTsc", "0.5"},
            {"cadTof", "0.8"},
            {"cellLineDraw", "1"}};
}

inline std::string FakeExcelArgs(const char* book) {
    return std::string("--book ") + book + " --fixtures \"" + TABULON_E2E_FIXTURES + "\"";
}

// For people to look at; a screen that cannot be taken fails nothing.
inline void Screenshot(const std::string& name) {
    const std::filesystem::path dir = std::filesystem::path(TestOutputDir()) / "screenshots";
    std::error_code ignored;
    std::filesystem::create_directories(dir, ignored);
    if (!SaveScreenshot((dir / (name + ".bmp")).wstring())) std::printf("no screenshot for %s\n", name.c_str());
}

// A fake Excel with the book "equipment" under a name of the program's own,
// and tabulon.exe that has captured its selection.
class CapturedBook {
public:
    explicit CapturedBook(const wchar_t* folderName) : app(folderName) {}

    // False, with the reason printed, when any step fails.
    bool Capture() {
        if (!excel_.Start(FakeExcelArgs("equipment")) || !name_.Claim() || !name_.PointTo(excel_.Clsid())) {
            std::printf("the fake Excel did not start\n");
            return false;
        }
        if (!app.Start(E2eSettings(name_.Number())) || !app.Click(ui::kButton3)) {
            std::printf("tabulon.exe did not start\n");
            return false;
        }
        const std::optional<SeenMessageBox> done = app.TakeMessageBox();
        if (!done || done->text.find(L"取得しました") == std::wstring::npos) {
            std::printf("the capture did not end well\n");
            return false;
        }
        return WaitUntil([&] { return app.IsEnabled(ui::kButton3) && app.IsEnabled(ui::kButton4); },
                         TabulonProcess::kWaitTimeoutMs);
    }

    TabulonProcess app;

private:
    FakeExcelServer excel_;
    ExcelVersionName name_;
};

}  // namespace tabulon::test
