#include "core/size_summary.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <stdexcept>
#include <unordered_map>
#include <utility>

#include "core/ascii.h"
#include "core/settings_file.h"

namespace tabulon {

std::string FormatFixed3(double value, char decimalSeparator) {
    if (!std::isfinite(value)) return std::isnan(value) ? "NAN" : (value < 0 ? "-INF" : "INF");
    char buf[400];
    auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, 3);
    std::string text(buf, res.ptr);
    if (decimalSeparator != '.') std::replace(text.begin(), text.end(), '.', decimalSeparator);
    return text;
}

SizeSummary SummarizeSizes(const std::vector<double>& values, char decimalSeparator, const TextCompare& compare) {
    if (values.empty()) throw std::invalid_argument("no sizes to summarise");
    SizeSummary summary;
    summary.min = summary.max = values.front();
    // Keys in order of first appearance, counted without regard to case; a table
    // of a hundred thousand cells has only a handful of distinct text heights.
    std::vector<std::pair<std::string, int>> keys;
    std::unordered_map<std::string, size_t> indexOf;
    for (double v : values) {
        if (v < summary.min) summary.min = v;
        if (v > summary.max) summary.max = v;
        std::string key = FormatFixed3(v, decimalSeparator);
        if (key.size() < 12) key.insert(0, 12 - key.size(), ' ');
        key += ' ';
        auto [it, added] = indexOf.emplace(AsciiLower(key), keys.size());
        if (added) {
            keys.emplace_back(std::move(key), 1);
        } else {
            ++keys[it->second].second;
        }
    }
    std::stable_sort(keys.begin(), keys.end(),
                     [&](const auto& a, const auto& b) { return compare(a.first, b.first) < 0; });
    const auto* best = &keys.front();
    for (const auto& entry : keys) {
        if (entry.second > best->second) best = &entry;
    }
    std::string text;
    for (char ch : best->first) {
        if (ch != ' ') text += ch;
    }
    summary.mode = ParseSettingsNumber(text, decimalSeparator).value_or(0);
    return summary;
}

}  // namespace tabulon
