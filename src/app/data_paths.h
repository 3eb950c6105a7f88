// Where the settings file and the drawing are kept: beside the executable when
// its folder can be written, else in a folder of the user's own (installed
// under "Program Files", the program's folder is read-only).
#pragma once

#include <string>

namespace tabulon {

struct DataPaths {
    std::string iniPath;
    std::string dxfPath;
};

// exeFolder and userFolder without a trailing separator; baseName the
// executable's name without its extension ("tabulon"). Both files go to the
// same folder, so the settings saved there are the ones read on the next start.
DataPaths ChooseDataPaths(bool exeFolderWritable, const std::string& exeFolder, const std::string& userFolder,
                          const std::string& baseName);

}  // namespace tabulon
