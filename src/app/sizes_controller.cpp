#include "app/sizes_controller.h"

#include <algorithm>
#include <string>
#include <vector>

#include "app/setting_controls.h"
#include "core/drawing_sizes.h"
#include "core/settings_file.h"
#include "core/size_summary.h"

namespace tabulon {

double SizesController::ReadNumber(Ctl edit, double fallback) {
    return ParseSettingsNumber(view_.Text(edit), view_.DecimalSeparator()).value_or(fallback);
}

void SizesController::ShowWHSize() {
    if (model_.table.IsEmpty()) {
        view_.SetText(Ctl::Label4, "");
        return;
    }
    const char sep = view_.DecimalSeparator();
    view_.SetText(Ctl::Label4, "全体: W=" + FormatFixed3(TotalWidth(model_.table), sep) +
                                   " x H=" + FormatFixed3(TotalHeight(model_.table), sep));
}

void SizesController::showWhSizeGrid2() {
    const CellTable& table = model_.table;
    if (table.IsEmpty()) return;
    const char sep = view_.DecimalSeparator();
    const TextCompare compare = [this](std::string_view a, std::string_view b) {
        return view_.CompareTextIgnoreCase(a, b);
    };
    auto show = [&](int row, const std::vector<double>& values) {
        const SizeSummary s = SummarizeSizes(values, sep, compare);
        const std::string mode = FormatFixed3(s.mode, sep);
        view_.SetSummaryCell(2, row, mode);
        view_.SetSummaryCell(1, row, mode + " (" + FormatFixed3(s.min, sep) + "～" + FormatFixed3(s.max, sep) + ")");
    };
    std::vector<double> values;
    for (int32_t c = 1; c <= table.TableCols; ++c) values.push_back(table.At(1, c).drawW);
    show(2, values);
    values.clear();
    for (int32_t r = 1; r <= table.TableRows; ++r) values.push_back(table.At(r, 1).drawH);
    show(3, values);
    values.clear();
    for (const TXlsxCellAttr& cell : table.cells) values.push_back(cell.drawTH);
    show(4, values);

    const std::string w = FormatFixed3(TotalWidth(table), sep);
    const std::string h = FormatFixed3(TotalHeight(table), sep);
    view_.SetSummaryCell(1, 0, w);
    view_.SetSummaryCell(2, 0, w);
    view_.SetSummaryCell(1, 1, h);
    view_.SetSummaryCell(2, 1, h);
}

void SizesController::PageControl1Change(int page) {
    if (page == 1) showWhSizeGrid2();
}

void SizesController::Button1Click() {
    if (model_.table.IsEmpty()) return;
    // The two lines are joined by a bare carriage return.
    if (!view_.AskYesNo(QuestionOwner::MainWindow,
                        "尺度を更新すると個別に設定した列幅、列高さ、文字高さがリセット（再計算）されます．\r"
                        "設定を更新しますか？")) {
        return;
    }
    ScaleSettings& s = model_.settings;
    for (const SettingControl& control : kSettingControls) {
        const SettingField& f = kSettingFields[*FindSetting(control.key)];
        if (f.kind == SettingKind::Number) {
            const double value = ReadNumber(control.edit, control.fallback);
            s.*f.number = f.Accepts(value) ? value : control.fallback;
        } else {
            s.*f.integer = ParseSettingsInteger(view_.Text(control.edit)).value_or(static_cast<int32_t>(control.fallback));
        }
    }
    for (const SettingCheckBox& check : kSettingCheckBoxes) {
        s.*kSettingFields[*FindSetting(check.key)].flag = view_.LookChecked(check.box);
    }
    ComputeDrawingSizes(model_.table, s);
    showWhSizeGrid2();
    view_.DrawingChanged();
}

bool SizesController::OverrideKeyPress(Ctl edit, char16_t& key) {
    if (key != u'\r') return false;
    key = 0;
    const double x = ReadNumber(edit, 0);
    CellTable& table = model_.table;
    if (x <= 0 || table.IsEmpty()) return true;

    struct Override {
        const char* question;
        double TXlsxCellAttr::*field;
    };
    const Override o = edit == Ctl::Edit11 ? Override{"選択範囲の列幅を変更しますか？", &TXlsxCellAttr::drawW}
                       : edit == Ctl::Edit12 ? Override{"選択範囲の行高さを変更しますか？", &TXlsxCellAttr::drawH}
                                             : Override{"選択範囲の文字高さを変更しますか？", &TXlsxCellAttr::drawTH};
    const char sep = view_.DecimalSeparator();
    if (!view_.AskYesNo(QuestionOwner::CellGrid, o.question)) {
        // Take back what was typed: the current cell's value.
        const int32_t c = view_.GridCol(), r = view_.GridRow();
        if (c >= 1 && r >= 1 && c <= table.TableCols && r <= table.TableRows) {
            view_.SetText(edit, FormatFixed3(table.At(r, c).*o.field, sep));
        }
        return true;
    }
    // Widths go to whole columns and heights to whole rows, so every row keeps the
    // same column positions and every column the same row heights.
    const GridRect sel = view_.GridSelection();
    const int32_t left = std::max(sel.left, 1), right = std::min(sel.right, table.TableCols);
    const int32_t top = std::max(sel.top, 1), bottom = std::min(sel.bottom, table.TableRows);
    const bool wholeColumns = edit == Ctl::Edit11;
    const bool wholeRows = edit == Ctl::Edit12;
    for (int32_t r = wholeColumns ? 1 : top; r <= (wholeColumns ? table.TableRows : bottom); ++r) {
        for (int32_t c = wholeRows ? 1 : left; c <= (wholeRows ? table.TableCols : right); ++c) {
            table.At(r, c).*o.field = x;
        }
    }
    if (edit != Ctl::Edit13) RecomputeMergedSizes(table);
    ShowWHSize();
    view_.DrawingChanged();
    view_.SetText(edit, FormatFixed3(x, sep));
    return true;
}

}  // namespace tabulon
