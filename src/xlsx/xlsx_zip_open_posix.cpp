#include "xlsx/xlsx_zip_open.h"

namespace tabulon::xlsx {

unzFile OpenZipArchive(const std::string& path) {
    return unzOpen64(path.c_str());
}

}  // namespace tabulon::xlsx
