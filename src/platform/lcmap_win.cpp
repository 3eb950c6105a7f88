// Width mapping through the Windows locale tables.
#include "platform/lcmap_win.h"

#include <windows.h>

#include "platform/win_text.h"

namespace tabulon::platform {

std::optional<std::string> LcMapWidth(std::string_view text, WidthForm form) {
    std::wstring wide = Utf8ToWide(text);
    if (wide.empty()) return std::nullopt;
    LCID locale = GetUserDefaultLCID();
    DWORD flags = form == WidthForm::Full ? LCMAP_FULLWIDTH : LCMAP_HALFWIDTH;
    // The first call sizes the result: joining or splitting voiced marks changes the length.
    int n = LCMapStringW(locale, flags, wide.data(), static_cast<int>(wide.size()), nullptr, 0);
    if (n <= 0) return std::nullopt;
    std::wstring mapped(static_cast<size_t>(n), L'\0');
    n = LCMapStringW(locale, flags, wide.data(), static_cast<int>(wide.size()), mapped.data(), n);
    if (n <= 0) return std::nullopt;
    mapped.resize(static_cast<size_t>(n));
    return WideToUtf8(mapped);
}

}  // namespace tabulon::platform
