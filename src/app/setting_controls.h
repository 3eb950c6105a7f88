// Which edit of the settings tab shows which setting, and what "変更を反映"
// takes when that edit holds no number (or, for a setting that must be above
// zero, one that is not); which check box shows which flag.
#pragma once

#include "app/main_view.h"

namespace tabulon {

struct SettingControl {
    Ctl edit;
    const char* key;  // in kSettingFields
    double fallback;
};

inline constexpr SettingControl kSettingControls[] = {
    {Ctl::Edit4, "colXsc", 20},   {Ctl::Edit5, "rowYsc", 3},    {Ctl::Edit6, "cadXsc", 10},
    {Ctl::Edit7, "cadYsc", 1.5},  {Ctl::Edit8, "cadTsc", 0.8},  {Ctl::Edit9, "cadTof", 0.4},
    {Ctl::Edit10, "cellLineColor", 256}, {Ctl::Edit14, "halfWidth", 0.5},   {Ctl::Edit15, "lineSpacing", 1.0},
};

struct SettingCheckBox {
    LookCheck box;
    const char* key;  // a Flag in kSettingFields
};

inline constexpr SettingCheckBox kSettingCheckBoxes[] = {
    {LookCheck::FitText, "fitText"},
    {LookCheck::SheetVAlign, "sheetVAlign"},
    {LookCheck::BorderStyle, "borderStyle"},
    {LookCheck::CellFill, "cellFill"},
};

}  // namespace tabulon
