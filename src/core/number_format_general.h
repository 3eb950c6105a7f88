// The General format: as many digits as fit in a cell of standard width.
#pragma once

#include <string>

namespace tabulon::number_format {

// The General text of a finite magnitude (>= 0): at most ten digits and the
// point, or "d.dddddE+xx" for the very large and very small.
std::string GeneralMagnitude(double magnitude);

}  // namespace tabulon::number_format
