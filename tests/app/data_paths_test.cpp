#include "app/data_paths.h"

#include <gtest/gtest.h>

namespace tabulon {
namespace {

TEST(DataPaths, BesideTheExecutableWhenItsFolderCanBeWrittenElseInTheUsersFolder) {
    struct Case {
        bool writable;
        const char* userFolder;
        const char* ini;
        const char* dxf;
    };
    const Case cases[] = {
        {true, "C:\\Users\\山田 太郎\\AppData\\Local\\Tabulon", "C:\\Program Files\\Tabulon\\tabulon.ini",
         "C:\\Program Files\\Tabulon\\tabulon.dxf"},
        {false, "C:\\Users\\山田 太郎\\AppData\\Local\\Tabulon",
         "C:\\Users\\山田 太郎\\AppData\\Local\\Tabulon\\tabulon.ini",
         "C:\\Users\\山田 太郎\\AppData\\Local\\Tabulon\\tabulon.dxf"},
        // No user folder to be had: the executable's folder, which will report its own failure.
        {false, "", "C:\\Program Files\\Tabulon\\tabulon.ini", "C:\\Program Files\\Tabulon\\tabulon.dxf"},
    };
    for (const Case& c : cases) {
        const DataPaths paths = ChooseDataPaths(c.writable, "C:\\Program Files\\Tabulon", c.userFolder, "tabulon");
        EXPECT_EQ(paths.iniPath, c.ini) << c.writable << " " << c.userFolder;
        EXPECT_EQ(paths.dxfPath, c.dxf) << c.writable << " " << c.userFolder;
    }
}

}  // namespace
}  // namespace tabulon
