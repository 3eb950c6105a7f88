// An "Excel.Application.NN" of the test's own. tabulon.exe builds that name
// from xlsVerNum in its INI file and looks Excel up by it, so pointing the name
// at the class id of a fake Excel server sends the program's real capture to
// the fake.
//
// The name lives in the Wine prefix's registry, which parallel runs share: a
// run claims the first number nobody holds, marking it with its process id,
// and removes the name again when done. A name whose owner has died is taken
// over.
#pragma once

#include <windows.h>

#include <string>

#include "com/test_registration.h"

namespace tabulon::test {

class ExcelVersionName {
public:
    ExcelVersionName() = default;
    ExcelVersionName(const ExcelVersionName&) = delete;
    ExcelVersionName& operator=(const ExcelVersionName&) = delete;
    ~ExcelVersionName() {
        if (number_) UnregisterProgId(ProgId());
    }

    // Takes the first free number from first on (97: beyond the versions Excel
    // has used). False when none of count numbers was free.
    bool Claim(int first = 97, int count = 100) {
        for (int n = first; n < first + count; ++n) {
            const std::wstring key = ClassesKey(ProgIdFor(n));
            for (int attempt = 0; attempt < 2; ++attempt) {
                HKEY h = nullptr;
                DWORD disposition = 0;
                if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, &h,
                                    &disposition) != ERROR_SUCCESS) {
                    break;
                }
                // Creating the key is the claim: only one creator is told it is new.
                if (disposition == REG_CREATED_NEW_KEY) {
                    const DWORD self = GetCurrentProcessId();
                    RegSetValueExW(h, kOwnerValue, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&self), sizeof self);
                    RegCloseKey(h);
                    number_ = n;
                    return true;
                }
                DWORD owner = 0, size = sizeof owner, type = 0;
                const bool marked = RegQueryValueExW(h, kOwnerValue, nullptr, &type, reinterpret_cast<BYTE*>(&owner),
                                                     &size) == ERROR_SUCCESS &&
                                    type == REG_DWORD;
                RegCloseKey(h);
                if (!marked || Alive(owner)) break;  // a real Excel's, or another run's
                RegDeleteTreeW(HKEY_LOCAL_MACHINE, key.c_str());
            }
        }
        return false;
    }

    // Makes the name stand for clsid, as an installed Excel's does for its class.
    bool PointTo(const CLSID& clsid) { return number_ && RegisterProgId(ProgId(), clsid); }

    int Number() const { return number_; }
    std::string ProgId() const { return ProgIdFor(number_); }

private:
    static constexpr const wchar_t* kOwnerValue = L"TabulonTestOwner";

    static std::string ProgIdFor(int n) { return "Excel.Application." + std::to_string(n); }

    static bool Alive(DWORD processId) {
        HANDLE h = OpenProcess(SYNCHRONIZE, FALSE, processId);
        if (!h) return false;
        const bool alive = WaitForSingleObject(h, 0) == WAIT_TIMEOUT;
        CloseHandle(h);
        return alive;
    }

    int number_ = 0;
};

}  // namespace tabulon::test
