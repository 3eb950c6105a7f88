#include "support/test_support.h"

#include <cstdlib>
#include <filesystem>
#include <nlohmann/json.hpp>

#include "core/capture_file.h"
#include "core/dxf_file.h"
#include "core/errors.h"
#include "core/file_io.h"
#include "core/table_dxf.h"
#include "platform/platform_services.h"

namespace tabulon::test {

namespace fs = std::filesystem;

namespace {
// Every test program built with this file runs the core on this system's services.
const bool kServicesHandedOver = (UsePlatformServices(), true);
}  // namespace

std::string TestOutputDir() {
    const char* env = std::getenv("TABULON_TEST_OUTPUT");
    fs::path dir = env && *env ? fs::path(env) : fs::temp_directory_path() / "tabulon-test-output";
    fs::create_directories(dir);
    return dir.string();
}

std::string FreshDir(const std::string& name) {
    fs::path dir = fs::path(TestOutputDir()) / "work" / name;
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir.string();
}

void SaveForAudit(const std::string& name, const DxfLines& lines, const DxfExpectation& expect) {
    fs::path dir = TestOutputDir();
    SaveDxfLines(lines, (dir / (name + ".dxf")).string());
    nlohmann::json j;
    j["entities"] = expect.entities;
    j["texts"] = expect.texts;
    AtomicWriteFile((dir / (name + ".expect.json")).string(), j.dump(1));
}

std::string CaptureErrorOf(std::string_view json) {
    try {
        ParseCaptureFile(json);
    } catch (const TabulonError& e) {
        return e.what();
    }
    return "(no error)";
}

}  // namespace tabulon::test
