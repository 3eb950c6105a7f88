// Finding the windows of a running BricsCAD, AutoCAD or DWG TrueView by their
// classes and titles (Japanese user interface). Nothing is cached between
// operations: each lookup searches again, and the handles it finds are kept only
// for the next step of the same dialogue.
#pragma once

#include <cstdint>
#include <string>

#include "core/window_system.h"

namespace tabulon {

// The handles the lookups remember, all zero at start. Any of them may have gone
// stale; consumers test them with IsWindow or send regardless.
struct CadWindowMemory {
    WindowHandle BcadMainWnd{};       // rewritten by every BricsCAD lookup, zero included
    WindowHandle AcadMainWnd{};       // only a successful search writes it; IsAcadReady clears it first
    std::uint32_t AcadProcessId = 0;  // written together with AcadMainWnd
    WindowHandle AcadTextWnd{};       // only a successful text-window search writes it
    WindowHandle AcadPromptPane{};    // recomputed from AcadTextWnd at every text-window search
    WindowHandle AcadHistoryPane{};   // next sibling of AcadPromptPane, recomputed with it
};

// One per run of the program: it holds the remembered handles.
class CadWindows {
public:
    explicit CadWindows(WindowSystem& system) : system_(system) {}

    // The class name, or empty when the window does not exist.
    std::u16string GetWindowClassName(WindowHandle window);

    // Finds BricsCAD's main window and brings it to the foreground.
    bool ActivateBcad();
    // The rich-edit input control of BricsCAD's command line, docked or floating.
    WindowHandle FindBcadCommandLine();

    // The topmost AutoCAD / DWG TrueView main frame; returns AcadMainWnd, which a
    // search that finds nothing leaves as it was.
    WindowHandle FindAcadMainWindow();
    // The text window of that same process and its prompt and history panes;
    // returns AcadTextWnd.
    WindowHandle FindAcadTextPanes();
    bool ActivateAcad();
    // A main window found afresh that is visible and enabled (no modal dialog).
    bool IsAcadReady();

    const CadWindowMemory& Memory() const { return memory_; }
    WindowSystem& System() { return system_; }

private:
    WindowHandle CommandLineInput(WindowHandle bar, int maxDepth);

    WindowSystem& system_;
    CadWindowMemory memory_;
};

}  // namespace tabulon
