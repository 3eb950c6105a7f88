// "CAD へ挿入" end to end: tabulon.exe captures from the fake Excel, then its
// own click types the insertion into fake BricsCAD and AutoCAD programs, each a
// process of its own. What the fakes received is compared with the exact texts
// a user would have typed.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cad/fake_cad_process.h"
#include "e2e/e2e_support.h"
#include "platform/win_text.h"
#include "support/own_desktop.h"

namespace tabulon {
namespace {

using test::CapturedBook;
using test::FakeCadProcess;
using test::SplitAtZeros;
using test::TabulonProcess;
using ui::kButton4;

// The programs meet on a desktop of their own, away from other test runs'
// CAD windows in the same Wine prefix.
const ::testing::Environment* const kOwnDesktop =
    ::testing::AddGlobalTestEnvironment(new test::OwnDesktop(L"TabulonEndToEnd"));

constexpr wchar_t kBricsCad[] = L"tabulon_fake_bricscad.exe";
constexpr wchar_t kAutoCad[] = L"tabulon_fake_autocad.exe";

std::u16string U16(const std::wstring& text) {
    return std::u16string(text.begin(), text.end());
}
std::u16string U16(const std::filesystem::path& path) {
    return U16(path.wstring());
}

std::string Printable(const std::u16string& text) {
    std::wstring shown;
    for (char16_t c : text) {
        if (c == 0x1B)
            shown += L"<ESC>";
        else if (c == 0x03)
            shown += L"<ETX>";
        else if (c == 0x0D)
            shown += L"<CR>";
        else
            shown += static_cast<wchar_t>(c);
    }
    return WideToUtf8(shown);
}

std::u16string BricsCadTyping(const std::u16string& path) {
    return u"\x1B\x1B-INSERT\r*" + path + u"\rS 1 R 0 ";
}

std::vector<std::u16string> AutoCadDialogue(const std::u16string& path, const std::u16string& point) {
    return {u"\x03\x03LASTPOINT 123,456,789 ", u"_iD\r", u"'SETVAR LASTPOINT\r", u"\x03",
            u"\x03\x03-INSERT\r*" + path + u"\r" + point + u"\r1 0\r"};
}

// The path after "*" in what BricsCAD was typed, up to the CR that ends it.
std::u16string TypedPath(const std::u16string& typed) {
    const size_t star = typed.find(u'*');
    if (star == std::u16string::npos) return {};
    const size_t cr = typed.find(u'\r', star);
    return typed.substr(star + 1, cr == std::u16string::npos ? std::u16string::npos : cr - star - 1);
}

std::wstring LongPath(const std::u16string& path) {
    const std::wstring shortPath(path.begin(), path.end());
    wchar_t buffer[MAX_PATH] = {};
    const DWORD n = GetLongPathNameW(shortPath.c_str(), buffer, MAX_PATH);
    return n > 0 && n < MAX_PATH ? std::wstring(buffer, n) : L"";
}

// Clicks "CAD へ挿入" and closes the program right after. The close waits until
// the insertion has returned (a pick in AutoCAD included), so once the program
// has ended, everything it was going to type has been typed, and a message box
// would have kept it from ending.
void InsertAndClose(TabulonProcess& app) {
    ASSERT_TRUE(app.Click(kButton4));
    const std::optional<DWORD> code = app.Quit();
    if (!code) {
        const std::optional<test::SeenMessageBox> box = app.OpenMessageBox();
        FAIL() << "the program did not end" << (box ? ": a box says " + WideToUtf8(box->text) : std::string());
    }
    EXPECT_EQ(*code, 0u);
}

TEST(CadInsertEndToEnd, BricsCadGetsTheShortFormOfAPathWithABlank) {
    CapturedBook book(L"Tabulon CAD 1");
    ASSERT_TRUE(book.Capture());
    FakeCadProcess bricscad;
    ASSERT_TRUE(bricscad.Start(kBricsCad));

    InsertAndClose(book.app);
    ASSERT_TRUE(book.app.ReadDxf()) << "no drawing beside the program";
    const std::u16string typed = bricscad.ReadLog();
    const std::u16string path = TypedPath(typed);
    std::printf("[ path     ] %s is typed as %s\n", WideToUtf8(book.app.DxfPath().wstring()).c_str(),
                Printable(path).c_str());
    EXPECT_EQ(typed, BricsCadTyping(path)) << Printable(typed);
    EXPECT_EQ(path.find(u' '), std::u16string::npos) << Printable(path);
    // The same file, by its long name.
    EXPECT_EQ(LongPath(path), book.app.DxfPath().wstring());
}

TEST(CadInsertEndToEnd, AutoCadAsksForThePointAndInsertsThere) {
    CapturedBook book(L"TabulonCad2");
    ASSERT_TRUE(book.Capture());
    FakeCadProcess autocad;
    ASSERT_TRUE(autocad.Start(kAutoCad, L"--pick 12.5,7,0"));

    InsertAndClose(book.app);
    const std::vector<std::u16string> received = SplitAtZeros(autocad.ReadLog());
    const std::vector<std::u16string> expected = AutoCadDialogue(U16(book.app.DxfPath()), u"12.5,7");
    ASSERT_EQ(received.size(), expected.size());
    for (size_t k = 0; k < expected.size(); ++k) EXPECT_EQ(received[k], expected[k]) << Printable(received[k]);
}

TEST(CadInsertEndToEnd, ACancelledPickInsertsNothingAndSaysNothing) {
    CapturedBook book(L"TabulonCad3");
    ASSERT_TRUE(book.Capture());
    FakeCadProcess autocad;
    ASSERT_TRUE(autocad.Start(kAutoCad, L"--title \"DWG TrueView 2018 - [Drawing1.dwg]\" --pick-cancel"));

    InsertAndClose(book.app);
    const std::vector<std::u16string> received = SplitAtZeros(autocad.ReadLog());
    const std::vector<std::u16string> expected = {u"\x03\x03LASTPOINT 123,456,789 ", u"_iD\r"};
    EXPECT_EQ(received, expected);
    EXPECT_TRUE(book.app.ReadDxf());
}

TEST(CadInsertEndToEnd, WithBothRunningBricsCadAndAutoCadEachInsert) {
    CapturedBook book(L"TabulonCad4");
    ASSERT_TRUE(book.Capture());
    FakeCadProcess bricscad, autocad;
    ASSERT_TRUE(bricscad.Start(kBricsCad, L"--floating"));
    ASSERT_TRUE(autocad.Start(kAutoCad, L"--pick -3.25,1000,0"));

    InsertAndClose(book.app);
    const std::u16string path = U16(book.app.DxfPath());
    EXPECT_EQ(bricscad.ReadLog(), BricsCadTyping(path)) << Printable(bricscad.ReadLog());
    EXPECT_EQ(SplitAtZeros(autocad.ReadLog()), AutoCadDialogue(path, u"-3.25,1000"));
    // BricsCAD is typed into to the end before AutoCAD hears anything.
    const auto [bricscadFirst, bricscadLast] = bricscad.InputSpan();
    const auto [autocadFirst, autocadLast] = autocad.InputSpan();
    EXPECT_GT(bricscadFirst, 0);
    EXPECT_LT(bricscadLast, autocadFirst);
}

}  // namespace
}  // namespace tabulon
