#include "core/system_services.h"

#include <stdexcept>

#include "core/cp932.h"
#include "core/cp932_convert.h"
#include "core/file_io.h"

namespace tabulon {

namespace {

// Set once at start-up, read afterwards.
SystemServices current;
bool handedOver = false;

}  // namespace

void SetSystemServices(const SystemServices& services) {
    if (!services.openInputFile || !services.openAtomicFile || !services.checkReplaceable ||
        !services.cp932EncodeCodePoint ||
        !services.utf8ToCp932BestFit || !services.cp932ToUtf8) {
        throw std::invalid_argument("SetSystemServices: a service is missing");
    }
    current = services;
    handedOver = true;
}

const SystemServices& CurrentSystemServices() {
    if (!handedOver) throw std::logic_error("the program has not handed its system services to the core");
    return current;
}

// The core's own names for the services.

bool Cp932EncodeCodePoint(char32_t cp, char out[2], int& len) {
    return CurrentSystemServices().cp932EncodeCodePoint(cp, out, len);
}

std::string Utf8ToCp932BestFit(std::string_view utf8) {
    return CurrentSystemServices().utf8ToCp932BestFit(utf8);
}

std::string Cp932ToUtf8(std::string_view cp932) {
    return CurrentSystemServices().cp932ToUtf8(cp932);
}

}  // namespace tabulon
