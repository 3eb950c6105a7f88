// A desktop of the test program's own. Windows are not found from any other
// desktop, and all Wine programs of one prefix otherwise share one: a
// tabulon.exe under test elsewhere in the prefix would type into this test's
// fake CAD windows, and this one into theirs.
//
// Register it once per test program, before the tests start windows:
//   ::testing::AddGlobalTestEnvironment(new tabulon::test::OwnDesktop(L"Role"));
// and start child programs on it with StartOnThisDesktop (support/test_programs.h).
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

namespace tabulon::test {

class OwnDesktop : public ::testing::Environment {
public:
    explicit OwnDesktop(const wchar_t* role) : role_(role) {}
    void SetUp() override {
        const std::wstring name = role_ + L"-" + std::to_wstring(GetCurrentProcessId());
        desktop_ = CreateDesktopW(name.c_str(), nullptr, nullptr, 0, GENERIC_ALL, nullptr);
        ASSERT_NE(desktop_, nullptr) << GetLastError();
        ASSERT_TRUE(SetThreadDesktop(desktop_)) << GetLastError();
    }

private:
    std::wstring role_;
    HDESK desktop_ = nullptr;
};

}  // namespace tabulon::test
