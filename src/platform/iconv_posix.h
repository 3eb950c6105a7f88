// A glibc iconv descriptor for one direction of conversion.
#pragma once

#include <iconv.h>

#include <cerrno>
#include <cstddef>
#include <cstring>
#include <string>

#include "core/errors.h"

namespace tabulon {

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

    // Converts in[0 .. inLen) completely into out; false on any failure.
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

}  // namespace tabulon
