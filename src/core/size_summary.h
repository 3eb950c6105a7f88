// Numbers as the main window shows them, and the summary of a list of sizes.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tabulon {

// "%.3f": three decimals with the given decimal separator.
std::string FormatFixed3(double value, char decimalSeparator = '.');

// The locale's case-insensitive comparison: < 0, 0 or > 0.
using TextCompare = std::function<int(std::string_view, std::string_view)>;

struct SizeSummary {
    double mode = 0;  // the most frequent value as shown with three decimals
    double min = 0;
    double max = 0;
};

// The most frequent of values by their three-decimal text, with ties going to the
// text that sorts first (keys right-aligned in twelve characters, so the smallest
// of non-negative values), and the smallest and largest value. values must not
// be empty.
SizeSummary SummarizeSizes(const std::vector<double>& values, char decimalSeparator, const TextCompare& compare);

}  // namespace tabulon
