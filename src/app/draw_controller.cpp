#include "app/draw_controller.h"

#include "core/errors.h"
#include "core/table_dxf.h"

namespace tabulon {

void DrawController::Button4Click() {
    ScaleSettings settings = model_.settings;
    settings.cellLineDraw = view_.CellLinesChecked();  // read at the moment of the click
    try {
        if (!WriteTableDxf(model_.table, model_.texts, settings, dxfPath_)) return;
    } catch (const FileError& e) {
        view_.ShowError("ファイル \"" + dxfPath_ + "\" を作成できません。" + e.reason());
        return;
    } catch (const TabulonError&) {
        view_.ShowError("ファイル \"" + dxfPath_ +
                        "\" を作成できません。図面の寸法が大きすぎます。尺度を確かめてください。");
        return;
    }
    if (insert_) insert_(dxfPath_);
}

}  // namespace tabulon
