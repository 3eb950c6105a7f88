// What a user would type for the insertion, written out in full, to compare
// with what the fake CAD programs received; and those texts made readable.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "cad/fake_cad_process.h"

namespace tabulon::test {

inline std::u16string U16(std::wstring_view text) {
    return std::u16string(text.begin(), text.end());
}

// A typed text made readable in failure messages: control characters by name.
inline std::string Shown(std::u16string_view text) {
    std::string out;
    for (char16_t c : text) {
        if (c == 0x03)
            out += "<ETX>";
        else if (c == 0x1B)
            out += "<ESC>";
        else if (c == 0x0D)
            out += "<CR>";
        else if (c >= 0x20 && c < 0x80)
            out += static_cast<char>(c);
        else {
            char code[12];
            std::snprintf(code, sizeof code, "<U+%04X>", static_cast<unsigned>(c));
            out += code;
        }
    }
    return out;
}

inline std::vector<std::string> Shown(const std::vector<std::u16string>& texts) {
    std::vector<std::string> out;
    for (const std::u16string& text : texts) out.push_back(Shown(text));
    return out;
}

// The texts the fake AutoCAD was handed, in order; each must have come with its zero.
inline std::vector<std::string> HandedTexts(const FakeCadProcess& acad) {
    const std::u16string log = acad.ReadLog();
    std::vector<std::string> texts = Shown(SplitAtZeros(log));
    if (!log.empty() && log.back() != u'\0') texts.back() += "<no terminating zero>";
    return texts;
}

// What the insertion types, written out in full.
inline std::u16string BcadInsertion(const std::u16string& path) {
    return u"\x1b\x1b-INSERT\r*" + path + u"\rS 1 R 0 ";
}
inline const std::u16string kSetSentinel = u"\x03\x03LASTPOINT 123,456,789 ";
inline const std::u16string kStartPick = u"_iD\r";
inline const std::u16string kQueryLastPoint = u"'SETVAR LASTPOINT\r";
inline const std::u16string kCloseQuery = u"\x03";
inline std::u16string AcadInsertion(const std::u16string& path, const std::u16string& xy) {
    return u"\x03\x03-INSERT\r*" + path + u"\r" + xy + u"\r1 0\r";
}
inline std::vector<std::u16string> WholeAcadDialogue(const std::u16string& path, const std::u16string& xy) {
    return {kSetSentinel, kStartPick, kQueryLastPoint, kCloseQuery, AcadInsertion(path, xy)};
}

}  // namespace tabulon::test
