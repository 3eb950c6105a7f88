#include "app/data_paths.h"

namespace tabulon {

DataPaths ChooseDataPaths(bool exeFolderWritable, const std::string& exeFolder, const std::string& userFolder,
                          const std::string& baseName) {
    const std::string folder = exeFolderWritable || userFolder.empty() ? exeFolder : userFolder;
    const std::string stem = folder + "\\" + baseName;
    return DataPaths{stem + ".ini", stem + ".dxf"};
}

}  // namespace tabulon
