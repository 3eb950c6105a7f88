#include "app/back_calc.h"

#include "core/dxf_number.h"
#include "core/settings_file.h"

namespace tabulon {

namespace {

int PartnerOf(int row) {
    switch (row) {
        case 1: return 3;
        case 3: return 1;
        case 2: return 4;
        case 4: return 2;
        default: return 0;
    }
}

struct Row {
    const char* caption;
    Ctl scale;
    const char* scaleName;
};

const Row kRows[6] = {
    {},
    {"全幅", Ctl::Edit6, "X 尺度"},
    {"全高", Ctl::Edit7, "Y 尺度"},
    {"列幅", Ctl::Edit6, "X 尺度"},
    {"行高", Ctl::Edit7, "Y 尺度"},
    {"文字高", Ctl::Edit8, "文字尺度"},
};

}  // namespace

void BackCalcDialog::CheckBoxClick(int row) {
    const int partner = PartnerOf(row);
    if (partner != 0 && view_.Checked(row)) view_.SetChecked(partner, false);
}

void BackCalcDialog::EditChange(int row) {
    view_.SetChecked(row, true);
    CheckBoxClick(row);
}

void BackCalcController::Button5Click() {
    for (int row = 1; row <= 5; ++row) dialog_.SetEditText(row, view_.SummaryCell(2, row - 1));
    for (int row = 1; row <= 5; ++row) dialog_.SetChecked(row, false);
    if (model_.table.IsEmpty()) return;
    if (!dialog_.ShowModal()) return;

    const char sep = view_.DecimalSeparator();
    bool anyTicked = false;
    for (int row = 1; row <= 5; ++row) {
        if (!dialog_.Checked(row)) continue;
        anyTicked = true;
        const std::string currentText = view_.SummaryCell(2, row - 1);
        if (currentText.empty()) continue;
        const double wanted = ParseSettingsNumber(dialog_.EditText(row), sep).value_or(0);
        const std::optional<double> current = ParseSettingsNumber(currentText, sep);
        // A current size of 0, or a scale that is no number, cannot be scaled: say
        // which, and leave the settings as they are.
        if (!current || *current == 0) {
            view_.ShowError(std::string("「") + kRows[row].caption + "」の現在の値が " +
                            (current ? "0 のため" : "数値でないため") + "逆算できません。");
            return;
        }
        const double ratio = wanted / *current;
        if (!(ratio > 0)) continue;
        const std::string scaleText = view_.Text(kRows[row].scale);
        const std::optional<double> scale = ParseSettingsNumber(scaleText, sep);
        if (!scale) {
            view_.ShowError(std::string("設定の ") + kRows[row].scaleName + " 「" + scaleText +
                            "」が数値でないため逆算できません。");
            return;
        }
        view_.SetText(kRows[row].scale, DxfNumber(*scale * ratio, sep));
    }
    if (anyTicked) sizes_.Button1Click();
}

}  // namespace tabulon
