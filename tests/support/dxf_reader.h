// A minimal reader of the ENTITIES section, for checking drawings in the tests.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tabulon::test {

struct Entity {
    std::string type;
    std::vector<std::pair<int, std::string>> groups;

    // The first value of a group code, or "" when absent.
    std::string Get(int code) const;
    double Num(int code) const;
    std::string Layer() const { return Get(8); }
};

// The entities of a DXF text, in file order (VERTEX and SEQEND included).
std::vector<Entity> ReadEntities(std::string_view dxf);

// Only the entities of one type.
std::vector<Entity> OfType(const std::vector<Entity>& entities, std::string_view type);

}  // namespace tabulon::test
