// "CAD へ挿入": the drawing beside the executable, then the hand-over to CAD.
#pragma once

#include <functional>
#include <string>

#include "app/app_model.h"
#include "app/main_view.h"
#include "core/cad_commands.h"

namespace tabulon {

class DrawController {
public:
    // Types the insertion into the running CAD applications; the path is UTF-8.
    using InsertIntoCad = std::function<InsertOutcome(const std::string& dxfPath)>;

    DrawController(AppModel& model, MainView& view, std::string dxfPath, InsertIntoCad insert)
        : model_(model), view_(view), dxfPath_(std::move(dxfPath)), insert_(std::move(insert)) {}

    void Button4Click();

    // True while the insertion waits for the user to pick a point in AutoCAD.
    // The window keeps handling messages meanwhile, so a second click or a
    // close can arrive; the click is ignored, and the close waits (the caller's
    // part) until the insertion has returned.
    bool Inserting() const { return inserting_; }

private:
    AppModel& model_;
    MainView& view_;
    std::string dxfPath_;
    InsertIntoCad insert_;
    bool inserting_ = false;
};

}  // namespace tabulon
