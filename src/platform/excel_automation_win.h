// A running Excel as the capture's SpreadsheetSession, over its automation.
#pragma once

#include <memory>
#include <string>

#include "core/spreadsheet_capture.h"

namespace tabulon {

// Attaches to the running instance registered under progId (CLSIDFromProgID,
// then GetActiveObject). Nothing when the name is not registered or no instance
// runs; a TabulonError for any other failure. It never starts an instance.
//
// COM must already be initialised on the calling thread (the main window does
// it, single-threaded apartment); the session neither initialises nor
// uninitialises COM, and must be released on that thread before the caller's
// CoUninitialize.
//
// Every member is reached through IDispatch alone, never a cast to Excel's own
// interfaces: IDispatch marshals between processes without Excel's type
// library, and each cast to another interface costs a round trip of its own.
std::unique_ptr<SpreadsheetSession> AttachToSpreadsheet(const std::string& progId);

}  // namespace tabulon
