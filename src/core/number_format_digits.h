// Numbers laid out on a format's digit places: integer and fraction digits,
// grouping, scaling commas, percent, exponents and fractions such as "# ?/?".
#pragma once

#include <string>
#include <vector>

#include "core/number_format_tokens.h"

namespace tabulon::number_format {

// The text of a finite magnitude (>= 0) under a number section's tokens.
std::string FormatDigits(const std::vector<Token>& tokens, double magnitude);

}  // namespace tabulon::number_format
