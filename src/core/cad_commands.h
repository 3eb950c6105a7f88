// Typing commands into a running CAD application and reading its prompts back
// (Japanese user interface), and the insertion of a saved drawing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/cad_windows.h"
#include "core/cell_table.h"
#include "core/window_system.h"

namespace tabulon {

inline constexpr char16_t kCadEsc = 0x1B;  // cancels whatever runs in BricsCAD
inline constexpr char16_t kCadEtx = 0x03;  // cancels whatever runs in AutoCAD
inline constexpr char16_t kCadCr = 0x0D;   // ends an input line

// AutoCAD takes a command text in a buffer of 512 code values with its zero. A
// longer text is never sent, not even cut short: a cut path inserts the wrong file.
inline constexpr size_t kMaxCommandChars = 511;

// Written into LASTPOINT before the user picks; still there afterwards means no pick.
inline constexpr TAcadPoint kLastPointSentinel{123, 456, 789};

// Timing of the point pick.
inline constexpr std::uint32_t kSysVarQueryPauseMs = 50;
inline constexpr std::uint32_t kPickPollIntervalMs = 100;
inline constexpr int kPickTimeoutSeconds = 60;

// Result codes of WaitAcadCommandEnd and PickAcadPoint.
inline constexpr int kCadDone = 1;       // ended normally; for the pick: a point was picked
inline constexpr int kCadCancelled = 0;  // ended without result
inline constexpr int kCadFailed = -1;    // not ready, prompt unreadable, or timed out

// The text after the last occurrence of marker, trimmed of blanks and control
// characters; empty when marker does not occur.
std::u16string TextAfterLast(std::u16string_view marker, std::u16string_view text);

// "x,y[,z]", optionally in double quotes, with '.' as the decimal separator as
// AutoCAD prints it. On failure, the coordinates read so far keep their values.
bool ParseAcadPoint(std::u16string_view text, TAcadPoint& point);

// The command texts typed for an insertion; path as typed after the "*".
std::u16string BcadInsertCommand(std::u16string_view path);
std::u16string AcadInsertCommand(std::u16string_view path, double x, double y);

// The dialogue with the CAD applications. Failures are reported only as false,
// empty or a result code; nothing is shown.
class CadCommands {
public:
    explicit CadCommands(CadWindows& windows) : windows_(windows), system_(windows.System()) {}

    // One WM_CHAR per UTF-16 code value into BricsCAD's command line.
    bool SendBcadCommand(std::u16string_view text);
    // One WM_COPYDATA to AutoCAD's main window, then a WM_NULL to wake it.
    bool SendAcadCommand(std::u16string_view text);

    // The whole text of a window of another process.
    std::u16string GetControlText(WindowHandle window);
    std::u16string GetAcadPromptText();
    std::u16string GetAcadHistoryText();

    int WaitAcadCommandEnd(std::u16string_view marker, int intervalMs, int timeoutSeconds);
    // The value AutoCAD shows for a system variable, or empty.
    std::u16string GetAcadSysVar(std::u16string_view name);
    // Lets the user pick a point in AutoCAD: 1 with the point, 0 when none was
    // picked (cancelled, sentinel left, unreadable value), -1 on failure.
    int PickAcadPoint(TAcadPoint& point);

    CadWindows& Windows() { return windows_; }

private:
    CadWindows& windows_;
    WindowSystem& system_;
};

// The questions an insertion asks about the saved drawing's path.
class DrawingPathProbe {
public:
    virtual ~DrawingPathProbe() = default;
    virtual bool FileExists(const std::u16string& path) = 0;
    // The short (8.3) form of an existing path, or empty when there is none.
    virtual std::u16string ShortPath(const std::u16string& path) = 0;
};

enum class InsertOutcome {
    Attempted,      // each running application was tried; silent whatever came of it
    FileMissing,    // no drawing at the path: nothing sent
    PathWithBlank,  // the path holds a blank and has no blank-free form: nothing sent
};

// The blank-free form of path to type after "*", or empty when there is none.
// CAD prompts end an input item at a blank, so a path with one would be cut.
std::u16string TypablePath(DrawingPathProbe& probe, const std::u16string& path);

// Types the insertion into BricsCAD if it runs, then into AutoCAD / DWG TrueView
// at a point the user picks there. Only PathWithBlank calls for a message to the
// user (the caller shows it); every other outcome stays silent.
InsertOutcome InsertDxfIntoCad(CadCommands& cad, DrawingPathProbe& probe, const std::u16string& path);

}  // namespace tabulon
