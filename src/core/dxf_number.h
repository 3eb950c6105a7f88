// The general number format used for every real the program writes as text.
#pragma once

#include <string>

namespace tabulon {

// Rounds to 15 significant digits and writes as few digits as the rounded value
// needs: fixed notation when the rounded value is 0 or 0.0001 <= |v| < 1e15,
// otherwise "d.dddE[-]x". No trailing zeros, no "+", no thousands separator.
// DXF files always use '.', whatever the locale; numbers shown to the user pass
// the locale's separator.
std::string DxfNumber(double value, char decimalSeparator = '.');

// Appends DxfNumber(value) to out; the writer's hot path.
void AppendDxfNumber(std::string& out, double value, char decimalSeparator = '.');

}  // namespace tabulon
