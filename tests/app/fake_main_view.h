// A main window without a window: records what the logic shows and answers
// questions from a script.
#pragma once

#include <deque>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "app/main_view.h"

namespace tabulon::test {

class FakeMainView : public MainView {
public:
    std::map<Ctl, std::string> texts;
    bool edit1Red = false;
    size_t caret = 0;
    int shownAlignment = -1;
    int32_t col = 1, row = 1, colCount = 5, rowCount = 5;
    GridRect selection{1, 1, 1, 1};
    int repaints = 0;
    std::map<std::pair<int, int>, std::string> summary;
    std::deque<bool> answers;  // Yes/No, in order
    std::vector<std::pair<QuestionOwner, std::string>> questions;
    char separator = '.';

    std::string Text(Ctl control) override { return texts[control]; }
    void SetText(Ctl control, std::string_view text) override { texts[control] = std::string(text); }
    void SetEdit1Red(bool red) override { edit1Red = red; }
    size_t Edit1Caret() override { return caret; }
    void ShowAlignment(int txtAlign) override { shownAlignment = txtAlign; }
    bool cellLines = false;
    bool CellLinesChecked() override { return cellLines; }
    void SetCellLinesChecked(bool checked) override { cellLines = checked; }
    int32_t GridCol() override { return col; }
    int32_t GridRow() override { return row; }
    int32_t GridColCount() override { return colCount; }
    int32_t GridRowCount() override { return rowCount; }
    GridRect GridSelection() override { return selection; }
    void SetGridSelection(const GridRect& s) override { selection = s; }
    void RepaintGrid() override { ++repaints; }
    std::string SummaryCell(int c, int r) override { return summary[{c, r}]; }
    void SetSummaryCell(int c, int r, std::string_view text) override { summary[{c, r}] = std::string(text); }
    std::vector<std::string> errors;
    void ShowError(std::string_view text) override { errors.emplace_back(text); }
    std::vector<std::string> messages;
    void ShowMessage(std::string_view text) override { messages.emplace_back(text); }
    std::vector<std::string> infos;
    void ShowInfo(std::string_view text) override { infos.emplace_back(text); }

    std::string caption;
    bool captureEnabled = true, insertEnabled = false, redraw = true;
    int32_t progressMax = 0, progress = 0, processed = 0;
    std::map<int32_t, int32_t> colWidths, rowHeights;
    void SetCaption(std::string_view text) override { caption = std::string(text); }
    void SetCaptureEnabled(bool enabled) override { captureEnabled = enabled; }
    void SetInsertEnabled(bool enabled) override { insertEnabled = enabled; }
    void SetProgressMax(int32_t max) override { progressMax = max; }
    void SetProgress(int32_t position) override { progress = position; }
    void ProcessMessages() override { ++processed; }
    void SetGridRedraw(bool on) override { redraw = on; }
    void SetGridSize(int32_t cols, int32_t rows) override {
        colCount = cols;
        rowCount = rows;
    }
    void SetGridColWidth(int32_t c, int32_t pixels) override { colWidths[c] = pixels; }
    void SetGridRowHeight(int32_t r, int32_t pixels) override { rowHeights[r] = pixels; }
    void SetGridCurrentCell(int32_t c, int32_t r) override {
        col = c;
        row = r;
    }
    bool AskYesNo(QuestionOwner owner, std::string_view text) override {
        questions.emplace_back(owner, std::string(text));
        if (answers.empty()) return false;
        bool answer = answers.front();
        answers.pop_front();
        return answer;
    }
    char DecimalSeparator() override { return separator; }
    int CompareTextIgnoreCase(std::string_view a, std::string_view b) override { return a.compare(b); }

    std::map<LookCheck, bool> lookChecks;
    bool LookChecked(LookCheck box) override { return lookChecks[box]; }
    void SetLookChecked(LookCheck box, bool checked) override { lookChecks[box] = checked; }
    int drawingChanges = 0;
    void DrawingChanged() override { ++drawingChanges; }
};

}  // namespace tabulon::test
