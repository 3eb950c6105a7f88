#include "ui/cad_insert.h"

#include "platform/win_text.h"
#include "platform/window_system_win.h"

namespace tabulon::ui {

InsertOutcome InsertIntoRunningCad(const std::string& dxfPath) {
    static Win32WindowSystem system;
    static CadWindows windows(system);
    static CadCommands commands(windows);
    Win32DrawingPathProbe probe;
    const std::wstring path = Utf8ToWide(dxfPath);
    return InsertDxfIntoCad(commands, probe, std::u16string(path.begin(), path.end()));
}

}  // namespace tabulon::ui
