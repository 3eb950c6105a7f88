// "ファイルから取得" in tabulon.exe, started with "/open BOOK.xlsx": the sheet
// dialog offers the workbook's active sheet and saved selection, "実行"
// captures it, and "CAD へ挿入" writes the very drawing the Linux converter
// makes of the same workbook with the same settings (file_capture_inputs.py,
// run by CTest first).
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "e2e/e2e_support.h"
#include "platform/win_text.h"
#include "ui/sheet_range_dialog.h"

namespace tabulon {
namespace {

using test::TabulonProcess;
using ui::SheetRangeDialog;

// The settings of file_capture_inputs.py's INI, the look included.
std::vector<std::pair<std::string, std::string>> FileCaptureSettings() {
    auto settings = test::E2eSettings(16);
    for (const char* on : {"fitText", "sheetVAlign", "borderStyle", "cellFill"}) settings.emplace_back(on, "1");
    settings.emplace_back("lineSpacing", "1.3");
    return settings;
}

TEST(FileCaptureEndToEnd, TheDialogsCaptureDrawsAsTheLinuxConverterDoes) {
    const std::filesystem::path inputs = Utf8ToWide(TABULON_E2E_FILE_CAPTURE);
    const std::filesystem::path book = inputs / L"機器 表.xlsx";
    const std::optional<std::string> expected = TabulonProcess::ReadBytes(inputs / L"expected.dxf");
    ASSERT_TRUE(expected) << "no drawing from the Linux converter in " << WideToUtf8(inputs.wstring());

    TabulonProcess app(L"Tabulon File 1");
    ASSERT_TRUE(app.Start(FileCaptureSettings(), L"/open \"" + book.wstring() + L"\""));
    EXPECT_FALSE(app.IsEnabled(ui::kButton4));
    ASSERT_TRUE(app.Click(ui::kFileCaptureButton));

    HWND dialog = nullptr;
    ASSERT_TRUE(
        test::WaitUntil([&] { return (dialog = app.ShowingDialog()) != nullptr; }, TabulonProcess::kWaitTimeoutMs));
    test::Screenshot("e2e_file_capture_dialog");
    EXPECT_EQ(test::WindowTextOf(dialog), L"ファイルから取得 - 機器 表.xlsx");
    // The active sheet and the selection saved with it.
    EXPECT_EQ(test::WindowTextOf(GetDlgItem(dialog, SheetRangeDialog::kSheetCombo)), L"一覧");
    EXPECT_EQ(test::WindowTextOf(GetDlgItem(dialog, SheetRangeDialog::kRangeEdit)), L"B2:E6");
    HWND run = GetDlgItem(dialog, SheetRangeDialog::kButton1);
    ASSERT_TRUE(PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(SheetRangeDialog::kButton1, BN_CLICKED),
                             reinterpret_cast<LPARAM>(run)));

    const std::optional<test::SeenMessageBox> done = app.TakeMessageBox();
    ASSERT_TRUE(done);
    EXPECT_EQ(done->text, L" 取得しました.");
    ASSERT_TRUE(test::WaitUntil([&] { return app.IsEnabled(ui::kButton4); }, TabulonProcess::kWaitTimeoutMs));
    EXPECT_EQ(app.Caption(), L"機器 表.xlsx [一覧]");
    EXPECT_EQ(app.Text(ui::kEdit + 2), L"B2");
    EXPECT_EQ(app.Text(ui::kEdit + 3), L"E6");
    test::Screenshot("e2e_file_capture_done");

    ASSERT_TRUE(app.Click(ui::kButton4));
    ASSERT_TRUE(app.WaitIdle());
    const std::optional<test::SeenMessageBox> unexpected = app.OpenMessageBox();
    EXPECT_FALSE(unexpected) << WideToUtf8(unexpected->text);
    const std::optional<std::string> dxf = app.ReadDxf();
    ASSERT_TRUE(dxf) << "no drawing beside the program";
    EXPECT_TRUE(*dxf == *expected) << "the drawing differs from the Linux converter's: " << dxf->size() << " bytes, "
                                   << expected->size() << " expected";
    EXPECT_EQ(app.Quit(), 0u);
}

}  // namespace
}  // namespace tabulon
