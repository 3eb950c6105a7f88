// Test ProgIDs for the fake Excel and their registration. Wine reads class
// names from HKLM\Software\Classes only (HKCU's classes are not merged in).
//
// Each process makes up its own names and class ids: the running object table
// belongs to the whole Wine prefix, and test runs that share a prefix must not
// attach to each other's fakes.
#pragma once

#include <windows.h>
// The OLE headers need windows.h first.
#include <objbase.h>

#include <atomic>
#include <string>

namespace tabulon::test {

struct TestClass {
    std::string progId;  // "Tabulon.Fake<role>.<pid>.<n>", within the 39 characters a ProgID may have
    CLSID clsid{};
};

inline std::string GuidText(const CLSID& clsid) {
    wchar_t text[40] = {};
    StringFromGUID2(clsid, text, 40);
    return std::string(text, text + wcslen(text));
}

inline TestClass NewTestClass(const char* role) {
    static std::atomic<int> serial{0};
    TestClass c;
    c.progId = std::string("Tabulon.Fake") + role + "." + std::to_string(GetCurrentProcessId()) + "." +
               std::to_string(++serial);
    CoCreateGuid(&c.clsid);
    return c;
}

inline std::wstring ClassesKey(const std::string& progId) {
    return L"Software\\Classes\\" + std::wstring(progId.begin(), progId.end());
}

inline bool RegisterProgId(const std::string& progId, const CLSID& clsid) {
    wchar_t text[40];
    if (StringFromGUID2(clsid, text, 40) == 0) return false;
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, (ClassesKey(progId) + L"\\CLSID").c_str(), 0, nullptr, 0, KEY_WRITE,
                        nullptr, &key, nullptr) != ERROR_SUCCESS) {
        return false;
    }
    const LSTATUS status = RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                                          static_cast<DWORD>((wcslen(text) + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

inline void UnregisterProgId(const std::string& progId) {
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, ClassesKey(progId).c_str());
}

}  // namespace tabulon::test
