// Whole texts to and from code page 932 through the Windows code page tables.
#include <windows.h>

#include "platform/code_page_932.h"
#include "platform/win_text.h"

namespace tabulon::platform {

std::string Utf8ToCp932BestFit(std::string_view utf8) {
    std::wstring wide = Utf8ToWide(utf8);
    if (wide.empty()) return std::string();
    // Flags 0: Windows' best fit, and its default character '?' for the rest.
    int n = WideCharToMultiByte(932, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    if (n <= 0) return std::string(wide.size(), '?');
    std::string out(static_cast<size_t>(n), '\0');
    n = WideCharToMultiByte(932, 0, wide.data(), static_cast<int>(wide.size()), out.data(), n, nullptr, nullptr);
    out.resize(n > 0 ? static_cast<size_t>(n) : 0);
    return out;
}

std::string Cp932ToUtf8(std::string_view cp932) {
    if (cp932.empty()) return std::string();
    int n = MultiByteToWideChar(932, 0, cp932.data(), static_cast<int>(cp932.size()), nullptr, 0);
    if (n <= 0) return std::string();
    std::wstring wide(static_cast<size_t>(n), L'\0');
    n = MultiByteToWideChar(932, 0, cp932.data(), static_cast<int>(cp932.size()), wide.data(), n);
    wide.resize(n > 0 ? static_cast<size_t>(n) : 0);
    return WideToUtf8(wide);
}

}  // namespace tabulon::platform
