// The captured fields of a cell record, described once: the capture file's
// reader and writer walk this table.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/cell_table.h"

namespace tabulon {

enum class CellFieldKind : uint8_t {
    Small,   // an integer held in 8 bits, 0..max
    Medium,  // an integer held in 16 bits, 0..65535
    Flag,    // true or false
    Text,    // a UTF-8 string
    Border,  // a BorderLook, by its name
    Color,   // "#RRGGBB", or null for none
};

struct CellField {
    const char* key;
    CellFieldKind kind;
    uint8_t TXlsxCellAttr::*small = nullptr;
    uint16_t TXlsxCellAttr::*medium = nullptr;
    bool TXlsxCellAttr::*flag = nullptr;
    std::string TXlsxCellAttr::*text = nullptr;
    int32_t TXlsxCellAttr::*color = nullptr;
    uint8_t max = 255;     // the largest Small value
    bool always = true;    // written for every cell; otherwise only when it is not the default
};

constexpr CellField SmallField(const char* key, uint8_t TXlsxCellAttr::*m, uint8_t max = 255, bool always = true) {
    return {key, CellFieldKind::Small, m, nullptr, nullptr, nullptr, nullptr, max, always};
}
constexpr CellField MediumField(const char* key, uint16_t TXlsxCellAttr::*m) {
    return {key, CellFieldKind::Medium, nullptr, m};
}
constexpr CellField FlagField(const char* key, bool TXlsxCellAttr::*m, bool always = true) {
    return {key, CellFieldKind::Flag, nullptr, nullptr, m, nullptr, nullptr, 255, always};
}
constexpr CellField TextField(const char* key, std::string TXlsxCellAttr::*m) {
    return {key, CellFieldKind::Text, nullptr, nullptr, nullptr, m};
}
constexpr CellField BorderField(const char* key, uint8_t TXlsxCellAttr::*m) {
    return {key, CellFieldKind::Border, m, nullptr, nullptr, nullptr, nullptr, kBorderLookCount - 1, false};
}
constexpr CellField ColorField(const char* key, int32_t TXlsxCellAttr::*m) {
    return {key, CellFieldKind::Color, nullptr, nullptr, nullptr, nullptr, m, 255, false};
}

// In the order the capture file writes them.
inline constexpr CellField kCellFields[] = {
    MediumField("rowH", &TXlsxCellAttr::rowH),
    MediumField("colW", &TXlsxCellAttr::colW),
    MediumField("txtSize", &TXlsxCellAttr::txtSize),
    SmallField("txtAlign", &TXlsxCellAttr::txtAlign),
    SmallField("lineBits", &TXlsxCellAttr::lineBits),
    FlagField("cellMerge", &TXlsxCellAttr::cellMerge),
    MediumField("mergerowYscount", &TXlsxCellAttr::mergerowYscount),
    MediumField("mergecolXscount", &TXlsxCellAttr::mergecolXscount),
    MediumField("mergeLeft", &TXlsxCellAttr::mergeLeft),
    MediumField("mergeTop", &TXlsxCellAttr::mergeTop),
    TextField("str", &TXlsxCellAttr::str),
    // The sheet's look: absent from files that do not know it.
    FlagField("wrapText", &TXlsxCellAttr::wrapText, false),
    FlagField("shrinkToFit", &TXlsxCellAttr::shrinkToFit, false),
    SmallField("txtVAlign", &TXlsxCellAttr::txtVAlign, 3, false),
    BorderField("lineStyleTop", &TXlsxCellAttr::lineStyleTop),
    BorderField("lineStyleBottom", &TXlsxCellAttr::lineStyleBottom),
    BorderField("lineStyleLeft", &TXlsxCellAttr::lineStyleLeft),
    BorderField("lineStyleRight", &TXlsxCellAttr::lineStyleRight),
    BorderField("lineStyleDown", &TXlsxCellAttr::lineStyleDown),
    BorderField("lineStyleUp", &TXlsxCellAttr::lineStyleUp),
    ColorField("fillColor", &TXlsxCellAttr::fillColor),
};

inline constexpr size_t kCellFieldCount = std::size(kCellFields);

// The index of the field with this key, or nothing. The search starts at
// index `from` and goes round: a reader that expects the next key finds it first.
std::optional<size_t> FindCellField(std::string_view key, size_t from = 0);

// Whether the field holds its default value in cell.
bool IsDefaultCellField(const CellField& field, const TXlsxCellAttr& cell);

// The name of a border look as the capture file writes it ("thin", "double", ...),
// and back.
std::string_view BorderLookName(uint8_t look);
std::optional<uint8_t> BorderLookFromName(std::string_view name);

}  // namespace tabulon
