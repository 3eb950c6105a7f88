// What the main window's logic needs from the window: control texts, the cell
// grid's selection, the summary grid and questions. The Win32 layer implements
// it; the tests use a fake.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tabulon {

// The controls whose texts the logic reads or writes.
enum class Ctl {
    Edit1,
    Edit2,
    Edit3,
    Edit4,
    Edit5,
    Edit6,
    Edit7,
    Edit8,
    Edit9,
    Edit10,
    Edit11,
    Edit12,
    Edit13,
    Label4,
    Label13,
    Edit14,  // halfWidth
    Edit15,  // lineSpacing
};

// The settings tab's check boxes of the sheet's look.
enum class LookCheck { FitText, SheetVAlign, BorderStyle, CellFill };

// A rectangle of grid columns and rows, inclusive.
struct GridRect {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const GridRect&) const = default;
};

// Which window owns a question box.
enum class QuestionOwner { MainWindow, CellGrid };

class MainView {
public:
    virtual ~MainView() = default;

    // Texts are UTF-8.
    virtual std::string Text(Ctl control) = 0;
    virtual void SetText(Ctl control, std::string_view text) = 0;

    // Edit1's font colour: red while the text holds a line feed.
    virtual void SetEdit1Red(bool red) = 0;
    // The caret position in Edit1, in UTF-16 units.
    virtual size_t Edit1Caret() = 0;
    // CheckBox1 "セルを描画".
    virtual bool CellLinesChecked() = 0;
    virtual void SetCellLinesChecked(bool checked) = 0;
    // The alignment buttons: the one for txtAlign 1, 2 or 3 raised, the others flat;
    // any other value makes all three flat.
    virtual void ShowAlignment(int txtAlign) = 0;

    // StringGrid1: the current cell, the selection, repainting.
    virtual int32_t GridCol() = 0;
    virtual int32_t GridRow() = 0;
    virtual int32_t GridColCount() = 0;
    virtual int32_t GridRowCount() = 0;
    virtual GridRect GridSelection() = 0;
    virtual void SetGridSelection(const GridRect& selection) = 0;
    virtual void RepaintGrid() = 0;

    // StringGrid2, the summary on the second tab.
    virtual std::string SummaryCell(int col, int row) = 0;
    virtual void SetSummaryCell(int col, int row, std::string_view text) = 0;

    // A Yes/No box titled "確認" without icon; true for Yes.
    virtual bool AskYesNo(QuestionOwner owner, std::string_view text) = 0;
    // An error box owned by the main window.
    virtual void ShowError(std::string_view text) = 0;
    // A plain message with an OK button, centred on the screen.
    virtual void ShowMessage(std::string_view text) = 0;
    // An OK box titled "メッセージ" without icon, owned by the main window.
    virtual void ShowInfo(std::string_view text) = 0;

    // The window's caption, the capture and insert buttons, the progress bar.
    virtual void SetCaption(std::string_view text) = 0;
    virtual void SetCaptureEnabled(bool enabled) = 0;
    virtual void SetInsertEnabled(bool enabled) = 0;
    virtual void SetProgressMax(int32_t max) = 0;
    virtual void SetProgress(int32_t position) = 0;
    // Handles the window messages that are waiting, so the window stays alive
    // during a long capture.
    virtual void ProcessMessages() = 0;

    // StringGrid1's shape, set by a capture. Counts include the header row and
    // column; the texts come from the model.
    virtual void SetGridRedraw(bool on) = 0;
    virtual void SetGridSize(int32_t cols, int32_t rows) = 0;
    virtual void SetGridColWidth(int32_t col, int32_t pixels) = 0;
    virtual void SetGridRowHeight(int32_t row, int32_t pixels) = 0;
    virtual void SetGridCurrentCell(int32_t col, int32_t row) = 0;

    // The user's number format and text comparison.
    virtual char DecimalSeparator() = 0;
    virtual int CompareTextIgnoreCase(std::string_view a, std::string_view b) = 0;

    // The look check boxes on the settings tab.
    virtual bool LookChecked(LookCheck box) = 0;
    virtual void SetLookChecked(LookCheck box, bool checked) = 0;
    // The table, its texts, sizes or settings changed: whatever shows the drawing
    // draws it again.
    virtual void DrawingChanged() = 0;
};

}  // namespace tabulon
