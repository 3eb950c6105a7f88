#include <windows.h>

#include "platform/console.h"
#include "platform/win_text.h"

namespace tabulon {

namespace {

void Write(DWORD which, std::string_view text) {
    HANDLE handle = GetStdHandle(which);
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return;
    DWORD mode = 0;
    if (GetConsoleMode(handle, &mode)) {
        std::wstring wide = Utf8ToWide(text);
        DWORD written = 0;
        WriteConsoleW(handle, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
    } else {
        // Redirected: UTF-8 bytes, the way scripts read them.
        DWORD written = 0;
        WriteFile(handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    }
}

}  // namespace

void WriteOut(std::string_view text) {
    Write(STD_OUTPUT_HANDLE, text);
}
void WriteErr(std::string_view text) {
    Write(STD_ERROR_HANDLE, text);
}

}  // namespace tabulon
