#include "platform/platform_services.h"

#include <memory>

#include "platform/code_page_932.h"
#include "platform/file_io.h"
#ifdef _WIN32
#include "platform/lcmap_win.h"
#endif

namespace tabulon {

namespace {

std::unique_ptr<AtomicFileSink> OpenAtomicFile(const std::string& path, ReadOnlyFiles readOnly) {
    return std::make_unique<platform::AtomicFileWriter>(path, readOnly);
}

SystemServices MakePlatformServices() {
    SystemServices services;
    services.openInputFile = platform::OpenInputFile;
    services.openAtomicFile = OpenAtomicFile;
    services.checkReplaceable = platform::CheckReplaceable;
    services.cp932EncodeCodePoint = platform::Cp932EncodeCodePoint;
    services.utf8ToCp932BestFit = platform::Utf8ToCp932BestFit;
    services.cp932ToUtf8 = platform::Cp932ToUtf8;
#ifdef _WIN32
    services.mapWidth = platform::LcMapWidth;
#endif
    return services;
}

}  // namespace

const SystemServices& PlatformServices() {
    static const SystemServices services = MakePlatformServices();
    return services;
}

}  // namespace tabulon
