// MainView over the real controls of the main window.
#pragma once

#include <windows.h>

#include <array>
#include <functional>
#include <string>

#include "app/main_view.h"

namespace tabulon::ui {

class MainWindow;

// MessageBoxW's shape; tests answer questions through it instead of a real box.
using MessageBoxFn = std::function<int(HWND owner, const std::wstring& text, const std::wstring& caption, UINT type)>;

class Win32MainView : public MainView {
public:
    Win32MainView(MainWindow& window, MessageBoxFn messageBox);

    HWND ControlOf(Ctl control) const;
    bool Edit1Red() const { return edit1Red_; }
    // The alignment buttons' look: BS_FLAT unless raised as the indicator.
    bool IsFlat(int button) const;

    std::string Text(Ctl control) override;
    void SetText(Ctl control, std::string_view text) override;
    void SetEdit1Red(bool red) override;
    size_t Edit1Caret() override;
    bool CellLinesChecked() override;
    void SetCellLinesChecked(bool checked) override;
    void ShowAlignment(int txtAlign) override;

    int32_t GridCol() override;
    int32_t GridRow() override;
    int32_t GridColCount() override;
    int32_t GridRowCount() override;
    GridRect GridSelection() override;
    void SetGridSelection(const GridRect& selection) override;
    void RepaintGrid() override;

    std::string SummaryCell(int col, int row) override;
    void SetSummaryCell(int col, int row, std::string_view text) override;

    bool AskYesNo(QuestionOwner owner, std::string_view text) override;
    void ShowError(std::string_view text) override;
    void ShowMessage(std::string_view text) override;
    void ShowInfo(std::string_view text) override;

    void SetCaption(std::string_view text) override;
    void SetCaptureEnabled(bool enabled) override;
    void SetInsertEnabled(bool enabled) override;
    void SetProgressMax(int32_t max) override;
    void SetProgress(int32_t position) override;
    void ProcessMessages() override;

    void SetGridRedraw(bool on) override;
    void SetGridSize(int32_t cols, int32_t rows) override;
    void SetGridColWidth(int32_t col, int32_t pixels) override;
    void SetGridRowHeight(int32_t row, int32_t pixels) override;
    void SetGridCurrentCell(int32_t col, int32_t row) override;

    char DecimalSeparator() override;
    int CompareTextIgnoreCase(std::string_view a, std::string_view b) override;

    bool LookChecked(LookCheck box) override;
    void SetLookChecked(LookCheck box, bool checked) override;
    void DrawingChanged() override;

    // What StringGrid2 shows; empty outside its three columns and five rows.
    const std::string& SummaryText(int col, int row) const;

private:
    static constexpr int kSummaryCols = 3, kSummaryRows = 5;
    static bool InSummary(int col, int row);
    int Box(HWND owner, std::string_view text, const wchar_t* caption, UINT type);

    MainWindow& window_;
    MessageBoxFn messageBox_;
    bool edit1Red_ = false;
    bool gridRedraw_ = true;
    std::array<std::array<std::string, kSummaryCols>, kSummaryRows> summary_;  // [row][col]
};

}  // namespace tabulon::ui
