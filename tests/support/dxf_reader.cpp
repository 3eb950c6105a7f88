#include "support/dxf_reader.h"

#include <cstdlib>
#include <stdexcept>

namespace tabulon::test {

std::string Entity::Get(int code) const {
    for (const auto& [c, v] : groups) {
        if (c == code) return v;
    }
    return "";
}

double Entity::Num(int code) const {
    std::string v = Get(code);
    if (v.empty()) throw std::runtime_error(type + " has no group " + std::to_string(code));
    return std::strtod(v.c_str(), nullptr);
}

std::vector<Entity> ReadEntities(std::string_view dxf) {
    std::vector<std::string_view> lines;
    size_t pos = 0;
    while (pos < dxf.size()) {
        size_t eol = dxf.find("\r\n", pos);
        if (eol == std::string_view::npos) throw std::runtime_error("line without CR LF at the end of the file");
        lines.push_back(dxf.substr(pos, eol - pos));
        pos = eol + 2;
    }
    if (lines.size() % 2 != 0) throw std::runtime_error("odd number of lines");
    std::vector<Entity> entities;
    bool inEntities = false;
    for (size_t k = 0; k + 1 < lines.size(); k += 2) {
        int code = std::atoi(std::string(lines[k]).c_str());
        std::string value(lines[k + 1]);
        if (code == 2 && value == "ENTITIES") {
            inEntities = true;
            continue;
        }
        if (!inEntities) continue;
        if (code == 0) {
            if (value == "ENDSEC") break;
            entities.push_back(Entity{value, {}});
        } else if (!entities.empty()) {
            entities.back().groups.emplace_back(code, value);
        }
    }
    return entities;
}

std::vector<Entity> OfType(const std::vector<Entity>& entities, std::string_view type) {
    std::vector<Entity> result;
    for (const Entity& e : entities) {
        if (e.type == type) result.push_back(e);
    }
    return result;
}

}  // namespace tabulon::test
