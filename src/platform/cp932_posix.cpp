// Code page 932 through glibc's iconv. "CP932" is Microsoft's table; "SJIS" would
// differ on a dozen characters (backslash, tilde, NEC and IBM extensions).
#include <cstring>

#include "core/utf8.h"
#include "platform/code_page_932.h"
#include "platform/iconv_posix.h"

namespace tabulon::platform {

bool Cp932EncodeCodePoint(char32_t cp, char out[2], int& len) {
    static Iconv toCp932("CP932", "UTF-8");
    static Iconv fromCp932("UTF-8", "CP932");
    std::string utf8;
    AppendUtf8(utf8, cp);
    char encoded[8];
    size_t encodedLen = 0;
    if (!toCp932.Convert(utf8.data(), utf8.size(), encoded, sizeof encoded, encodedLen)) return false;
    if (encodedLen < 1 || encodedLen > 2) return false;
    char back[8];
    size_t backLen = 0;
    if (!fromCp932.Convert(encoded, encodedLen, back, sizeof back, backLen)) return false;
    if (std::string_view(back, backLen) != utf8) return false;  // a best-fit look-alike
    std::memcpy(out, encoded, encodedLen);
    len = static_cast<int>(encodedLen);
    return true;
}

}  // namespace tabulon::platform
