// The main window's start and close: the settings file and the initial texts.
#pragma once

#include <string>

#include "app/app_model.h"
#include "app/main_view.h"
#include "core/settings_file.h"

namespace tabulon {

class StartupController {
public:
    StartupController(AppModel& model, MainView& view) : model_(model), view_(view) {}

    // Clears the texts, loads the settings and shows them, labels the summary grid.
    void FormCreate(const SettingsReader& read);
    // Releases the table and writes every setting; a key that cannot be written
    // ends the writing with "<path> に書き込めません". The close always proceeds.
    bool FormCloseQuery(const SettingsWriter& write, const std::string& iniPath);

private:
    AppModel& model_;
    MainView& view_;
};

}  // namespace tabulon
