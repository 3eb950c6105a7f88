#include "app/draw_controller.h"

#include "core/errors.h"
#include "core/scope_exit.h"
#include "core/table_dxf.h"

namespace tabulon {

void DrawController::Button4Click() {
    // A click while the previous insertion still waits would rewrite the file
    // that AutoCAD is about to be told to insert.
    if (inserting_) return;
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
    if (!insert_) return;

    InsertOutcome outcome;
    {
        inserting_ = true;
        ScopeExit done([this] { inserting_ = false; });
        outcome = insert_(dxfPath_);
    }
    // Every other outcome stays silent: no CAD running, a busy one, a cancelled
    // pick. A path the CAD prompt would cut at its blank is the one case the
    // user can do something about.
    if (outcome == InsertOutcome::PathWithBlank) {
        view_.ShowInfo("図面を保存しました: " + dxfPath_ +
                       "\nこのパスには空白が含まれるため、CAD へ挿入できませんでした。"
                       "空白を含まないフォルダーに tabulon.exe を置いてください。");
    }
}

}  // namespace tabulon
