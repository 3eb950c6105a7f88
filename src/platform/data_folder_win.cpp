#include "platform/data_folder_win.h"

#include <windows.h>
// after windows.h
#include <knownfolders.h>
#include <objbase.h>
#include <shlobj.h>

namespace tabulon {

bool FolderCanBeWritten(const std::wstring& folder) {
    const std::wstring probe = folder + L"\\~tabulon-probe-" + std::to_wstring(GetCurrentProcessId()) + L".tmp";
    // Deleted as its handle closes, so nothing stays behind.
    const HANDLE file =
        CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                    FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    CloseHandle(file);
    return true;
}

std::wstring UserDataFolder() {
    PWSTR base = nullptr;
    const HRESULT hr = SHGetKnownFolderPath(FOLDERID_LocalAppData, KF_FLAG_CREATE, nullptr, &base);
    std::wstring folder;
    if (SUCCEEDED(hr) && base) folder = std::wstring(base) + L"\\Tabulon";
    CoTaskMemFree(base);
    if (folder.empty()) return folder;
    if (!CreateDirectoryW(folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) return std::wstring();
    return folder;
}

}  // namespace tabulon
