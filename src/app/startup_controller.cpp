#include "app/startup_controller.h"

#include <string>

#include "app/setting_controls.h"
#include "core/dxf_number.h"
#include "core/setting_fields.h"

namespace tabulon {

void StartupController::FormCreate(const SettingsReader& read) {
    for (Ctl c :
         {Ctl::Edit1, Ctl::Edit2, Ctl::Edit3, Ctl::Edit11, Ctl::Edit12, Ctl::Edit13, Ctl::Label4, Ctl::Label13}) {
        view_.SetText(c, "");
    }
    // The empty grid takes typing before any capture, as any grid does.
    model_.texts.Resize(view_.GridColCount(), view_.GridRowCount());
    const char sep = view_.DecimalSeparator();
    model_.settings = LoadScaleSettings(read, sep);
    const ScaleSettings& s = model_.settings;
    view_.SetCellLinesChecked(s.cellLineDraw);
    for (const SettingControl& control : kSettingControls) {
        const SettingField& f = kSettingFields[*FindSetting(control.key)];
        view_.SetText(control.edit, f.kind == SettingKind::Number ? DxfNumber(s.*f.number, sep)
                                                                  : std::to_string(s.*f.integer));
    }
    for (const SettingCheckBox& check : kSettingCheckBoxes) {
        view_.SetLookChecked(check.box, s.*kSettingFields[*FindSetting(check.key)].flag);
    }
    const char* labels[] = {"全幅", "全高", "列幅", "行高", "文字"};
    for (int row = 0; row < 5; ++row) view_.SetSummaryCell(0, row, labels[row]);
}

bool StartupController::FormCloseQuery(const SettingsWriter& write, const std::string& iniPath) {
    model_.table.Release();
    // The check box holds cellLineDraw; everything else is written as applied,
    // not as typed.
    ScaleSettings s = model_.settings;
    s.cellLineDraw = view_.CellLinesChecked();
    if (SaveScaleSettings(s, write, view_.DecimalSeparator())) view_.ShowError(iniPath + " に書き込めません");
    return true;
}

}  // namespace tabulon
