#include "xlsx/xlsx_zip_open.h"

#include <windows.h>

// After unzip.h, which declares the types it uses.
#include <minizip/iowin32.h>

#include "platform/win_text.h"

namespace tabulon::xlsx {

unzFile OpenZipArchive(const std::string& path) {
    // minizip's Win32 file functions in their UTF-16 flavour: CreateFileW, so
    // a name in any script opens whatever the system's code page.
    const std::wstring wide = Utf8ToWide(path);
    zlib_filefunc64_def files{};
    fill_win32_filefunc64W(&files);
    return unzOpen2_64(wide.c_str(), &files);
}

}  // namespace tabulon::xlsx
