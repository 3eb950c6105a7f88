#include "xlsx/xlsx_xml.h"

#include <algorithm>
#include <cstddef>
#include <cstdlib>

#include "core/errors.h"
#include "core/utf8.h"

namespace tabulon::xlsx {

namespace {

// The parsed parts live within a memory budget: a part of millions of tiny
// elements takes many times its size as a tree, and a refusal beats exhausting
// the machine. pugixml reports an allocation that fails as out of memory.
constexpr size_t kTreeBudget = 768u << 20;
size_t treeBytes = 0;

void* BudgetAllocate(size_t size) {
    if (size > kTreeBudget - treeBytes) return nullptr;
    auto* block = static_cast<size_t*>(std::malloc(size + sizeof(std::max_align_t)));
    if (!block) return nullptr;
    *block = size;
    treeBytes += size;
    return reinterpret_cast<char*>(block) + sizeof(std::max_align_t);
}

void BudgetFree(void* p) {
    if (!p) return;
    auto* block = reinterpret_cast<size_t*>(static_cast<char*>(p) - sizeof(std::max_align_t));
    treeBytes -= *block;
    std::free(block);
}

}  // namespace

pugi::xml_document ParsePart(std::string& data, const std::string& partName) {
    static const bool budgetSet = [] {
        pugi::set_memory_management_functions(BudgetAllocate, BudgetFree);
        return true;
    }();
    (void)budgetSet;
    pugi::xml_document doc;
    const unsigned options = pugi::parse_default | pugi::parse_ws_pcdata_single;
    pugi::xml_parse_result result = doc.load_buffer_inplace(data.data(), data.size(), options);
    if (result.status == pugi::status_out_of_memory) {
        throw TabulonError("part " + partName + " is too large to read (more than " +
                           std::to_string(kTreeBudget >> 20) + " MB as a tree of XML elements)");
    }
    if (!result) {
        // The offset counts bytes of the part as stored; tell a line and column.
        const size_t offset = std::min(static_cast<size_t>(std::max<ptrdiff_t>(result.offset, 0)), data.size());
        size_t line = 1, column = 1;
        for (size_t k = 0; k < offset; ++k) {
            if (data[k] == '\n') {
                ++line;
                column = 1;
            } else if ((static_cast<unsigned char>(data[k]) & 0xC0) != 0x80) {
                ++column;
            }
        }
        throw TabulonError("part " + partName + " is not well-formed XML: line " + std::to_string(line) + ", column " +
                           std::to_string(column) + ": " + result.description());
    }
    if (!doc.document_element()) throw TabulonError("part " + partName + " is empty");
    return doc;
}

namespace {

int HexValue(char ch) {
    if (ch >= '0' && ch <= '9') return ch - '0';
    if (ch >= 'a' && ch <= 'f') return ch - 'a' + 10;
    if (ch >= 'A' && ch <= 'F') return ch - 'A' + 10;
    return -1;
}

}  // namespace

std::string DecodeEscapes(const char* text) {
    if (!std::strstr(text, "_x")) return text;
    std::string out;
    const char* p = text;
    while (*p) {
        if (p[0] == '_' && p[1] == 'x') {
            int v[4];
            bool hex = true;
            for (int k = 0; k < 4 && hex; ++k) {
                v[k] = p[2 + k] ? HexValue(p[2 + k]) : -1;
                hex = v[k] >= 0;
            }
            if (hex && p[6] == '_') {
                uint32_t cp = static_cast<uint32_t>((v[0] << 12) | (v[1] << 8) | (v[2] << 4) | v[3]);
                // Surrogates are not characters of their own; keep them as written.
                if (cp < 0xD800 || cp > 0xDFFF) {
                    AppendUtf8(out, cp);
                    p += 7;
                    continue;
                }
            }
        }
        out += *p++;
    }
    return out;
}

}  // namespace tabulon::xlsx
