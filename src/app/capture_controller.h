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

    // True while a capture runs. It lets the window handle messages once per row,
    // so a close can arrive in the middle of it.
    bool Capturing() const { return capturing_; }
    // Ends a running capture at the next row, as a failed one: the window asks
    // for this before it closes, so the table is never written after its release.
    void Cancel() { cancelled_ = true; }

private:
    bool Capture(SpreadsheetSession& sheet);

    AppModel& model_;
    MainView& view_;
    SizesController& sizes_;
    Attach attach_;
    bool capturing_ = false;
    bool cancelled_ = false;
    bool busy_ = false;  // the spreadsheet rejected calls for as long as it was waited for
};

}  // namespace tabulon
