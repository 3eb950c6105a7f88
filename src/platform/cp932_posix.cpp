// Code page 932 through glibc's iconv. "CP932" is Microsoft's table; "SJIS" would
// differ on a dozen characters (backslash, tilde, NEC and IBM extensions).
#include <iconv.h>

#include <cerrno>
#include <cstring>

#include "core/cp932.h"
#include "core/errors.h"
#include "core/utf8.h"

namespace tabulon {

namespace {

class Iconv {
public:
    Iconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {
        if (cd_ == reinterpret_cast<iconv_t>(-1)) {
            throw TabulonError(std::string("iconv cannot convert from ") + from + " to " + to + ": " +
                               std::strerror(errno));
        }
    }
    ~Iconv() { iconv_close(cd_); }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;

    // Converts in completely; false on any failure.
    bool Convert(const char* in, size_t inLen, char* out, size_t outCap, size_t& outLen) {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char* inPtr = const_cast<char*>(in);
        char* outPtr = out;
        size_t inLeft = inLen;
        size_t outLeft = outCap;
        if (iconv(cd_, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1)) return false;
        if (iconv(cd_, nullptr, nullptr, &outPtr, &outLeft) == static_cast<size_t>(-1)) return false;
        outLen = outCap - outLeft;
        return inLeft == 0;
    }

private:
    iconv_t cd_;
};

}  // namespace

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

}  // namespace tabulon
