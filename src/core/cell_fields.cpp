#include "core/cell_fields.h"

#include <array>

namespace tabulon {

namespace {

constexpr std::string_view kBorderLookNames[kBorderLookCount] = {
    "plain",      "thin",          "medium",     "dashed",           "dotted",       "thick",       "double",
    "hair",       "mediumDashed",  "dashDot",    "mediumDashDot",    "dashDotDot",   "mediumDashDotDot",
    "slantDashDot",
};

}  // namespace

std::optional<size_t> FindCellField(std::string_view key, size_t from) {
    // Keys with their lengths, looked up for every key of every cell.
    static constexpr auto kKeys = [] {
        std::array<std::string_view, kCellFieldCount> keys{};
        for (size_t i = 0; i < kCellFieldCount; ++i) keys[i] = kCellFields[i].key;
        return keys;
    }();
    for (size_t n = 0; n < kCellFieldCount; ++n) {
        const size_t i = (from + n) % kCellFieldCount;
        if (key == kKeys[i]) return i;
    }
    return std::nullopt;
}

bool IsDefaultCellField(const CellField& field, const TXlsxCellAttr& cell) {
    static const TXlsxCellAttr fresh;
    switch (field.kind) {
        case CellFieldKind::Small:
        case CellFieldKind::Border: return cell.*field.small == fresh.*field.small;
        case CellFieldKind::Medium: return cell.*field.medium == fresh.*field.medium;
        case CellFieldKind::Flag: return cell.*field.flag == fresh.*field.flag;
        case CellFieldKind::Text: return cell.*field.text == fresh.*field.text;
        case CellFieldKind::Color: return cell.*field.color == fresh.*field.color;
    }
    return true;
}

std::string_view BorderLookName(uint8_t look) {
    return look < kBorderLookCount ? kBorderLookNames[look] : std::string_view("?");
}

std::optional<uint8_t> BorderLookFromName(std::string_view name) {
    for (uint8_t i = 0; i < kBorderLookCount; ++i) {
        if (kBorderLookNames[i] == name) return i;
    }
    return std::nullopt;
}

}  // namespace tabulon
