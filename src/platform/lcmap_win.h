// The Windows locale's own width mapping, for the core's width_conversion.h.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/width_conversion.h"

namespace tabulon::platform {

// LCMapStringW with LCMAP_FULLWIDTH or LCMAP_HALFWIDTH for the user's default
// locale; nullopt when it fails.
std::optional<std::string> LcMapWidth(std::string_view text, WidthForm form);

}  // namespace tabulon::platform
