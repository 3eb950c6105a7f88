// pugixml helpers for workbook parts: elements are matched by local name, so
// parts written with namespace prefixes ("x:row") read the same as plain ones.
#pragma once

#include <cstring>
#include <pugixml.hpp>
#include <string>

namespace tabulon::xlsx {

inline const char* LocalName(const char* name) {
    const char* colon = std::strrchr(name, ':');
    return colon ? colon + 1 : name;
}

inline bool IsElement(pugi::xml_node node, const char* local) {
    return node.type() == pugi::node_element && std::strcmp(LocalName(node.name()), local) == 0;
}

inline pugi::xml_node FirstChild(pugi::xml_node node, const char* local) {
    for (pugi::xml_node child = node.first_child(); child; child = child.next_sibling()) {
        if (IsElement(child, local)) return child;
    }
    return {};
}

// An attribute by local name ("r:id" matches "id"); unprefixed names first.
inline pugi::xml_attribute AttributeLocal(pugi::xml_node node, const char* local) {
    if (pugi::xml_attribute plain = node.attribute(local)) return plain;
    for (pugi::xml_attribute a = node.first_attribute(); a; a = a.next_attribute()) {
        if (std::strcmp(LocalName(a.name()), local) == 0) return a;
    }
    return {};
}

// "1", "true" and "on" are true; anything else, and a missing attribute, false.
inline bool BoolAttribute(pugi::xml_node node, const char* name) {
    const char* v = node.attribute(name).value();
    return std::strcmp(v, "1") == 0 || std::strcmp(v, "true") == 0 || std::strcmp(v, "on") == 0;
}

// Parses a part in place. Throws TabulonError naming the part and the line and
// column where the XML goes wrong.
pugi::xml_document ParsePart(std::string& data, const std::string& partName);

// Decodes the _xHHHH_ escapes the format uses for characters XML cannot hold.
std::string DecodeEscapes(const char* text);

}  // namespace tabulon::xlsx
