// Text output of the command line. Strings are UTF-8; the Windows console gets
// them as UTF-16.
#pragma once

#include <string_view>

namespace tabulon {

void WriteOut(std::string_view text);
void WriteErr(std::string_view text);

}  // namespace tabulon
