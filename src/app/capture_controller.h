// "Excel から取得": the selected range of a running spreadsheet into the table.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "app/app_model.h"
#include "app/main_view.h"
#include "app/sizes_controller.h"
#include "core/spreadsheet_capture.h"

namespace tabulon {

class CaptureController {
public:
    // Attaches to the running application registered under a ProgID; nothing (or
    // a TabulonError) when there is none.
    using Attach = std::function<std::unique_ptr<SpreadsheetSession>(const std::string& progId)>;

    CaptureController(AppModel& model, MainView& view, SizesController& sizes, Attach attach)
        : model_(model), view_(view), sizes_(sizes), attach_(std::move(attach)) {}

    void Button3Click();

private:
    bool Capture(SpreadsheetSession& sheet);

    AppModel& model_;
    MainView& view_;
    SizesController& sizes_;
    Attach attach_;
};

}  // namespace tabulon
