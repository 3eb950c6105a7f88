// The border consolidation as first written, kept as the oracle that the fast
// version is checked against, and as the baseline of the benchmark.
#pragma once

#include <cstddef>

#include "core/keisen.h"

namespace tabulon::test {

// Every unmarked record against every later unmarked record: one pass to join,
// one to drop duplicates.
inline void LiteralConsolidate(KeisenList& list, bool vertical) {
    if (list.size() < 2) return;
    const size_t n = list.size();
    for (size_t i = 0; i + 1 < n; ++i) {
        if (list[i].mark) continue;
        for (size_t j = i + 1; j < n; ++j) {
            if (list[j].mark) continue;
            TXlsxKeisen& a = list[i];
            TXlsxKeisen& b = list[j];
            bool continues = vertical ? NearlyEqual(a.edpt.x, b.stpt.x) && NearlyEqual(a.edpt.y, b.stpt.y)
                                      : NearlyEqual(a.edpt.y, b.stpt.y) && NearlyEqual(a.edpt.x, b.stpt.x);
            if (continues) {
                if (vertical)
                    a.edpt.y = b.edpt.y;
                else
                    a.edpt.x = b.edpt.x;
                b.mark = true;
            }
        }
    }
    for (size_t i = 0; i + 1 < n; ++i) {
        if (list[i].mark) continue;
        for (size_t j = i + 1; j < n; ++j) {
            if (list[j].mark) continue;
            const TXlsxKeisen& a = list[i];
            TXlsxKeisen& b = list[j];
            bool duplicate;
            if (vertical) {
                duplicate = NearlyEqual(a.stpt.x, b.stpt.x) &&
                            ((NearlyEqual(a.stpt.y, b.stpt.y) && NearlyEqual(a.edpt.y, b.edpt.y)) ||
                             (NearlyEqual(a.edpt.y, b.stpt.y) && NearlyEqual(a.stpt.y, b.edpt.y)));
            } else {
                duplicate = NearlyEqual(a.edpt.y, b.stpt.y) &&
                            ((NearlyEqual(a.stpt.x, b.stpt.x) && NearlyEqual(a.edpt.x, b.edpt.x)) ||
                             (NearlyEqual(a.edpt.x, b.stpt.x) && NearlyEqual(a.stpt.x, b.edpt.x)));
            }
            if (duplicate) b.mark = true;
        }
    }
}

}  // namespace tabulon::test
