// This system's services for the core (core/system_services.h).
#pragma once

#include "core/system_services.h"

namespace tabulon {

// Files and code page 932 from this system, and on Windows the locale's own
// width mapping.
const SystemServices& PlatformServices();

// Hands PlatformServices() to the core: the first thing every program does.
inline void UsePlatformServices() {
    SetSystemServices(PlatformServices());
}

}  // namespace tabulon
