// "CAD へ挿入" end to end: tabulon.exe captures from the fake Excel, then its
// own click types the insertion into fake BricsCAD and AutoCAD programs, each a
// process of its own. What the fakes received is compared with the exact texts
// a user would have typed.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cad/fake_cad_process.h"
#include "cad/typed_texts.h"
#include "e2e/e2e_support.h"
#include "platform/win_text.h"
#include "support/own_desktop.h"

namespace tabulon {
namespace {

using test::BcadInsertion;
using test::CapturedBook;
using test::FakeCadProcess;
using test::HandedTexts;
using test::kSetSentinel;
using test::kStartPick;
using test::Shown;
using test::TabulonProcess;
using test::WholeAcadDialogue;
using ui::kButton4;

// The programs meet on a desktop of their own, away from other test runs'
// CAD windows in the same Wine prefix.
const ::testing::Environment* const kOwnDesktop =
    ::testing::AddGlobalTestEnvironment(new test::OwnDesktop(L"TabulonEndToEnd"));

using test::kAutoCad;
using test::kBricsCad;
using test::U16;

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
                Shown(path).c_str());
    EXPECT_EQ(typed, BcadInsertion(path)) << Shown(typed);
    EXPECT_EQ(path.find(u' '), std::u16string::npos) << Shown(path);
    // The same file, by its long name.
    EXPECT_EQ(LongPath(path), book.app.DxfPath().wstring());
}

TEST(CadInsertEndToEnd, AutoCadAsksForThePointAndInsertsThere) {
    CapturedBook book(L"TabulonCad2");
    ASSERT_TRUE(book.Capture());
    FakeCadProcess autocad;
    ASSERT_TRUE(autocad.Start(kAutoCad, L"--pick 12.5,7,0"));

    InsertAndClose(book.app);
    EXPECT_EQ(HandedTexts(autocad), Shown(WholeAcadDialogue(U16(book.app.DxfPath().wstring()), u"12.5,7")));
}

TEST(CadInsertEndToEnd, ACancelledPickInsertsNothingAndSaysNothing) {
    CapturedBook book(L"TabulonCad3");
    ASSERT_TRUE(book.Capture());
    FakeCadProcess autocad;
    ASSERT_TRUE(autocad.Start(kAutoCad, L"--title \"DWG TrueView 2018 - [Drawing1.dwg]\" --pick-cancel"));

    InsertAndClose(book.app);
    EXPECT_EQ(HandedTexts(autocad), Shown({kSetSentinel, kStartPick}));
    EXPECT_TRUE(book.app.ReadDxf());
}

TEST(CadInsertEndToEnd, WithBothRunningBricsCadAndAutoCadEachInsert) {
    CapturedBook book(L"TabulonCad4");
    ASSERT_TRUE(book.Capture());
    FakeCadProcess bricscad, autocad;
    ASSERT_TRUE(bricscad.Start(kBricsCad, L"--floating"));
    ASSERT_TRUE(autocad.Start(kAutoCad, L"--pick -3.25,1000,0"));

    InsertAndClose(book.app);
    const std::u16string path = U16(book.app.DxfPath().wstring());
    EXPECT_EQ(Shown(bricscad.ReadLog()), Shown(BcadInsertion(path)));
    EXPECT_EQ(HandedTexts(autocad), Shown(WholeAcadDialogue(path, u"-3.25,1000")));
    // BricsCAD is typed into to the end before AutoCAD hears anything.
    const auto [bricscadFirst, bricscadLast] = bricscad.InputSpan();
    const auto [autocadFirst, autocadLast] = autocad.InputSpan();
    EXPECT_GT(bricscadFirst, 0);
    EXPECT_LT(bricscadLast, autocadFirst);
}

}  // namespace
}  // namespace tabulon
