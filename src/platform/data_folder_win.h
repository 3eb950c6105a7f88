// The folders the program keeps its settings file and its drawing in.
#pragma once

#include <string>

namespace tabulon {

// Whether a file can be created in folder: a probe file is made and deleted
// again. Installed under "Program Files", the program's own folder cannot be.
bool FolderCanBeWritten(const std::wstring& folder);

// The user's "Tabulon" folder under the local application data, created when
// missing; empty when there is none to be had.
std::wstring UserDataFolder();

}  // namespace tabulon
