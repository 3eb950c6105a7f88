// "CAD へ挿入": the drawing beside the executable, then the hand-over to CAD.
#pragma once

#include <functional>
#include <string>

#include "app/app_model.h"
#include "app/main_view.h"

namespace tabulon {

class DrawController {
public:
    using InsertIntoCad = std::function<void(const std::string& dxfPath)>;

    DrawController(AppModel& model, MainView& view, std::string dxfPath, InsertIntoCad insert)
        : model_(model), view_(view), dxfPath_(std::move(dxfPath)), insert_(std::move(insert)) {}

    void Button4Click();

private:
    AppModel& model_;
    MainView& view_;
    std::string dxfPath_;
    InsertIntoCad insert_;
};

}  // namespace tabulon
