// Code page 932 through the Windows code page tables.
#include <windows.h>

#include "platform/code_page_932.h"

namespace tabulon::platform {

bool Cp932EncodeCodePoint(char32_t cp, char out[2], int& len) {
    if (cp > 0xFFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
    wchar_t wide = static_cast<wchar_t>(cp);
    char encoded[4];
    BOOL usedDefault = FALSE;
    int n = WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, &wide, 1, encoded, sizeof encoded, nullptr, &usedDefault);
    if (n < 1 || n > 2 || usedDefault) return false;
    wchar_t back[4];
    int m = MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, encoded, n, back, 4);
    if (m != 1 || back[0] != wide) return false;
    out[0] = encoded[0];
    if (n == 2) out[1] = encoded[1];
    len = n;
    return true;
}

}  // namespace tabulon::platform
