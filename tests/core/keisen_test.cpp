#include "core/keisen.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "core/table_dxf.h"
#include "support/literal_keisen.h"
#include "support/table_builder.h"

namespace tabulon {
namespace {

TXlsxKeisen Seg(double x0, double y0, double x1, double y1) {
    return {{x0, y0, 0}, {x1, y1, 0}, false};
}

bool SameBits(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

::testing::AssertionResult SameRecords(const KeisenList& got, const KeisenList& want) {
    if (got.size() != want.size()) return ::testing::AssertionFailure() << "sizes differ";
    for (size_t k = 0; k < got.size(); ++k) {
        const TXlsxKeisen& g = got[k];
        const TXlsxKeisen& w = want[k];
        if (g.mark != w.mark || !SameBits(g.stpt.x, w.stpt.x) || !SameBits(g.stpt.y, w.stpt.y) ||
            !SameBits(g.edpt.x, w.edpt.x) || !SameBits(g.edpt.y, w.edpt.y)) {
            return ::testing::AssertionFailure()
                   << "record " << k << ": got (" << g.stpt.x << ", " << g.stpt.y << ")-(" << g.edpt.x << ", "
                   << g.edpt.y << ") mark " << g.mark << ", want (" << w.stpt.x << ", " << w.stpt.y << ")-(" << w.edpt.x
                   << ", " << w.edpt.y << ") mark " << w.mark;
        }
    }
    return ::testing::AssertionSuccess();
}

void ConsolidateBoth(KeisenList vert, KeisenList horz, KeisenList& vertOut, KeisenList& horzOut) {
    ConsolidateKeisen(vert, horz);
    vertOut = vert;
    horzOut = horz;
}

TEST(Keisen, NearlyEqualIsInclusive) {
    EXPECT_TRUE(NearlyEqual(0, 0.000001));
    EXPECT_TRUE(NearlyEqual(-0.000001, 0));
    EXPECT_FALSE(NearlyEqual(0, 0.0000011));
    EXPECT_FALSE(NearlyEqual(0, std::nan("")));
}

TEST(Keisen, KnownCases) {
    struct Case {
        const char* name;
        bool vertical;
        KeisenList in;
        KeisenList out;
    };
    auto marked = [](TXlsxKeisen k) {
        k.mark = true;
        return k;
    };
    const Case cases[] = {
        {"empty", true, {}, {}},
        {"one record", true, {Seg(0, 0, 0, -1)}, {Seg(0, 0, 0, -1)}},
        {"chain of three",
         true,
         {Seg(0, 0, 0, -1), Seg(0, -1, 0, -2), Seg(0, -2, 0, -3)},
         {Seg(0, 0, 0, -3), marked(Seg(0, -1, 0, -2)), marked(Seg(0, -2, 0, -3))}},
        {"identical horizontals",
         false,
         {Seg(0, 5, 3, 5), Seg(0, 5, 3, 5)},
         {Seg(0, 5, 3, 5), marked(Seg(0, 5, 3, 5))}},
        // A reversed copy starts where the first one ends, so the join swallows it.
        {"reversed copy", false, {Seg(0, 5, 3, 5), Seg(3, 5, 0, 5)}, {Seg(0, 5, 0, 5), marked(Seg(3, 5, 0, 5))}},
        {"reversed duplicate of a grown record",
         true,
         {Seg(0, 0, 0, -1), Seg(0, -1, 0, -2), Seg(0, -2, 0, 0)},
         {Seg(0, 0, 0, 0), marked(Seg(0, -1, 0, -2)), marked(Seg(0, -2, 0, 0))}},
        {"continuation already passed",
         false,
         {Seg(0, 0, 1, 0), Seg(2, 0, 3, 0), Seg(1, 0, 2, 0)},
         {Seg(0, 0, 2, 0), Seg(2, 0, 3, 0), marked(Seg(1, 0, 2, 0))}},
        {"overlap is not a duplicate", false, {Seg(0, 0, 2, 0), Seg(0, 0, 1, 0)}, {Seg(0, 0, 2, 0), Seg(0, 0, 1, 0)}},
        {"touching within the tolerance",
         true,
         {Seg(0, 0, 0, -1), Seg(0.000001, -1, 0.000001, -2)},
         {Seg(0, 0, 0, -2), marked(Seg(0.000001, -1, 0.000001, -2))}},
        {"just beyond the tolerance",
         true,
         {Seg(0, 0, 0, -1), Seg(0.0000011, -1, 0.0000011, -2)},
         {Seg(0, 0, 0, -1), Seg(0.0000011, -1, 0.0000011, -2)}},
    };
    for (const Case& c : cases) {
        KeisenList vert, horz, none;
        if (c.vertical)
            ConsolidateBoth(c.in, none, vert, horz);
        else
            ConsolidateBoth(none, c.in, vert, horz);
        EXPECT_TRUE(SameRecords(c.vertical ? vert : horz, c.out)) << c.name;
    }
}

// Random lists built to hit the tolerance's edges, chains in every order,
// duplicates both ways round, odd shapes and far-away or non-finite points.
KeisenList RandomList(std::mt19937_64& rng, bool vertical, size_t count) {
    const double nudges[] = {0, 0, 0, 0, 0.5e-6, -0.5e-6, 1e-6, -1e-6, 1.1e-6, -1.1e-6, 2e-6, 1e-5, 0.9e-6};
    auto pick = [&](size_t n) { return static_cast<size_t>(rng() % n); };
    auto coord = [&](int span) {
        double base = static_cast<double>(static_cast<int>(pick(static_cast<size_t>(span))) - span / 2) * 0.43;
        return base + nudges[pick(std::size(nudges))];
    };
    KeisenList list;
    while (list.size() < count) {
        switch (pick(10)) {
            case 0:
            case 1:
            case 2:
            case 3: {  // a chain, then shuffled into place
                double fixed = coord(6), along = coord(8);
                size_t length = 1 + pick(5);
                KeisenList chain;
                for (size_t k = 0; k < length; ++k) {
                    double next = along + (vertical ? -0.43 : 0.43) + nudges[pick(std::size(nudges))] * (pick(3) == 0);
                    chain.push_back(vertical ? Seg(fixed, along, fixed, next) : Seg(along, fixed, next, fixed));
                    along = next;
                }
                std::shuffle(chain.begin(), chain.end(), rng);
                for (auto& s : chain) list.push_back(s);
                break;
            }
            case 4:
            case 5: {  // duplicate of an earlier record, maybe reversed, maybe nudged
                if (list.empty()) break;
                TXlsxKeisen d = list[pick(list.size())];
                d.mark = false;
                if (pick(2)) std::swap(d.stpt, d.edpt);
                if (pick(3) == 0) d.stpt.x += nudges[pick(std::size(nudges))];
                list.push_back(d);
                break;
            }
            case 6:
            case 7: {  // a lone record of the list's shape
                double fixed = coord(6), a = coord(8), b = coord(8);
                list.push_back(vertical ? Seg(fixed, a, fixed, b) : Seg(a, fixed, b, fixed));
                break;
            }
            case 8:  // any shape at all
                list.push_back(Seg(coord(6), coord(6), coord(6), coord(6)));
                break;
            default: {  // far away, or not a number
                const double odd[] = {1e12, -1e12, 2e9, 2e9 + 0.5e-6, std::nan(""), INFINITY, -INFINITY, 1e300};
                double v = odd[pick(std::size(odd))];
                list.push_back(vertical ? Seg(v, coord(4), v, coord(4)) : Seg(coord(4), v, coord(4), v));
                break;
            }
        }
    }
    return list;
}

// Random lists at huge scales: coordinates where one ulp is near the tolerance
// or far beyond it, on both sides of 2^32 (where the search changes how it
// numbers its buckets), up to the largest double; chains, repeats and
// neighbours a few ulps apart.
KeisenList RandomHugeList(std::mt19937_64& rng, bool vertical, size_t count) {
    auto pick = [&](size_t n) { return static_cast<size_t>(rng() % n); };
    const double bases[] = {4294967296.0, -4294967296.0, 2147483648.0, 8589934592.0, 1e10, -3e10, 6.02e13,
                            1099511627776.0, 1e15, 1e300, std::numeric_limits<double>::max(), -1e308, 0.0};
    const double scale = std::vector<double>{1e10, 4294967296.0 / 64, 1e9, 3e7}[pick(4)];
    auto nudge = [&](double v) {
        switch (pick(6)) {
            case 0: return std::nextafter(v, INFINITY);
            case 1: return std::nextafter(v, -INFINITY);
            case 2: return std::nextafter(std::nextafter(v, INFINITY), INFINITY);
            case 3: return v + (pick(2) ? 1e-6 : -1e-6);
            default: return v;
        }
    };
    auto coord = [&](int span) {
        if (pick(4) == 0) return nudge(bases[pick(std::size(bases))]);
        return nudge(static_cast<double>(static_cast<int>(pick(static_cast<size_t>(span))) - span / 2) * scale);
    };
    KeisenList list;
    while (list.size() < count) {
        switch (pick(6)) {
            case 0:
            case 1: {  // a chain, shuffled into place
                const double fixed = coord(6);
                double along = coord(8);
                KeisenList chain;
                for (size_t k = 0, length = 1 + pick(5); k < length; ++k) {
                    const double next = nudge(along + (vertical ? -scale : scale));
                    chain.push_back(vertical ? Seg(fixed, nudge(along), nudge(fixed), next)
                                             : Seg(nudge(along), fixed, next, nudge(fixed)));
                    along = next;
                }
                std::shuffle(chain.begin(), chain.end(), rng);
                for (auto& k : chain) list.push_back(k);
                break;
            }
            case 2:
            case 3: {  // an earlier record again, maybe reversed, maybe an ulp off
                if (list.empty()) break;
                TXlsxKeisen d = list[pick(list.size())];
                d.mark = false;
                if (pick(2)) std::swap(d.stpt, d.edpt);
                d.stpt.x = nudge(d.stpt.x);
                d.edpt.y = nudge(d.edpt.y);
                list.push_back(d);
                break;
            }
            default: {
                const double fixed = coord(6);
                list.push_back(vertical ? Seg(fixed, coord(8), fixed, coord(8)) : Seg(coord(8), fixed, coord(8), fixed));
                break;
            }
        }
    }
    return list;
}

TEST(Keisen, AgreesWithTheLiteralAlgorithmOnRandomLists) {
    std::mt19937_64 rng(20230204);
    for (int round = 0; round < 6000; ++round) {
        const bool huge = round >= 3000;
        size_t count = 2 + static_cast<size_t>(rng() % (round % 3000 < 2500 ? 24 : 300));
        KeisenList vert = huge ? RandomHugeList(rng, true, count) : RandomList(rng, true, count);
        KeisenList horz = huge ? RandomHugeList(rng, false, count) : RandomList(rng, false, count);
        // Records marked beforehand take no part.
        for (TXlsxKeisen& k : vert) k.mark = rng() % 32 == 0;
        for (TXlsxKeisen& k : horz) k.mark = rng() % 32 == 0;
        KeisenList wantVert = vert, wantHorz = horz;
        test::LiteralConsolidate(wantVert, true);
        test::LiteralConsolidate(wantHorz, false);
        ConsolidateKeisen(vert, horz);
        ASSERT_TRUE(SameRecords(vert, wantVert)) << "vertical list, round " << round;
        ASSERT_TRUE(SameRecords(horz, wantHorz)) << "horizontal list, round " << round;
    }
}

TEST(Keisen, AgreesOnAFullyBorderedTable) {
    // Segments as the table walk produces them: every edge of every cell.
    const int rows = 40, cols = 12;
    KeisenList vert, horz;
    double top = 0;
    for (int r = 0; r < rows; ++r) {
        double h = (r % 3 + 1) * 14 * 0.43, left = 0;
        for (int c = 0; c < cols; ++c) {
            double w = (c % 4 + 6) * 3.0;
            horz.push_back(Seg(left, top, left + w, top));
            horz.push_back(Seg(left, top - h, left + w, top - h));
            vert.push_back(Seg(left, top, left, top - h));
            vert.push_back(Seg(left + w, top, left + w, top - h));
            left += w;
        }
        top -= h;
    }
    KeisenList wantVert = vert, wantHorz = horz;
    test::LiteralConsolidate(wantVert, true);
    test::LiteralConsolidate(wantHorz, false);
    ConsolidateKeisen(vert, horz);
    EXPECT_TRUE(SameRecords(vert, wantVert));
    EXPECT_TRUE(SameRecords(horz, wantHorz));
    size_t unmarked = 0;
    for (const auto& k : vert) unmarked += !k.mark;
    EXPECT_EQ(unmarked, static_cast<size_t>(cols + 1));
}

// The runs the drawing writes, joined while the table is walked, against the
// literal algorithm on the list of every edge of the same walk. Tables with
// hidden rows and columns, widths that differ from row to row, merged areas, all
// border bits, and scales from tiny to huge.
TEST(Keisen, BorderRunsOfRandomTablesMatchTheLiteralJoin) {
    std::mt19937_64 rng(15);
    auto pick = [&](uint32_t n) { return static_cast<uint32_t>(rng() % n); };
    const double scales[] = {0, 0, 1e10, 1e-7, 1e15, 3.3e-3, 7e8, -1.7, 1e300};
    for (int round = 0; round < 1500; ++round) {
        const int32_t rows = 1 + static_cast<int32_t>(pick(9)), cols = 1 + static_cast<int32_t>(pick(9));
        test::TestTable t(rows, cols);
        std::vector<uint16_t> colW(static_cast<size_t>(cols)), rowH(static_cast<size_t>(rows));
        for (auto& w : colW) w = static_cast<uint16_t>(pick(4) == 0 ? 0 : 1 + pick(20));
        for (auto& h : rowH) h = static_cast<uint16_t>(pick(4) == 0 ? 0 : 1 + pick(30));
        const bool ragged = pick(3) == 0;  // sizes that differ from cell to cell
        for (int32_t r = 1; r <= rows; ++r) {
            for (int32_t c = 1; c <= cols; ++c) {
                TXlsxCellAttr& cell = t.table.At(r, c);
                cell.colW = ragged && pick(3) == 0 ? static_cast<uint16_t>(pick(12)) : colW[c - 1];
                cell.rowH = ragged && pick(3) == 0 ? static_cast<uint16_t>(pick(12)) : rowH[r - 1];
                cell.lineBits = static_cast<uint8_t>(pick(3) == 0 ? pick(64) : 15);
            }
        }
        std::vector<uint8_t> taken(static_cast<size_t>(rows * cols), 0);
        for (uint32_t m = pick(4); m > 0; --m) {
            const int32_t r0 = 1 + static_cast<int32_t>(pick(static_cast<uint32_t>(rows)));
            const int32_t c0 = 1 + static_cast<int32_t>(pick(static_cast<uint32_t>(cols)));
            const uint16_t nr = static_cast<uint16_t>(1 + pick(3)), nc = static_cast<uint16_t>(1 + pick(3));
            bool free = nr * nc > 1;
            for (int32_t r = r0; r < r0 + nr && r <= rows; ++r)
                for (int32_t c = c0; c < c0 + nc && c <= cols; ++c) free = free && !taken[(r - 1) * cols + c - 1];
            if (!free) continue;
            for (int32_t r = r0; r < r0 + nr && r <= rows; ++r)
                for (int32_t c = c0; c < c0 + nc && c <= cols; ++c) taken[(r - 1) * cols + c - 1] = 1;
            t.Merge(r0, c0, nr, nc);
        }
        const double scale = scales[pick(std::size(scales))];
        if (scale != 0) {
            t.settings.cadXsc = scale;
            t.settings.cadYsc = pick(2) ? scale : 0.43;
        }
        t.Compute();

        KeisenList wantVert, wantHorz;
        CollectKeisen(t.table, wantVert, wantHorz);
        test::LiteralConsolidate(wantVert, true);
        test::LiteralConsolidate(wantHorz, false);
        KeisenRuns vert(true), horz(false);
        CollectKeisenRuns(t.table, vert, horz);
        auto kept = [](const KeisenRuns& runs) {
            KeisenList list;
            runs.ForEachKept([&](const TAcadPoint& a, const TAcadPoint& b) { list.push_back({a, b, false}); });
            return list;
        };
        auto unmarked = [](const KeisenList& all) {
            KeisenList list;
            for (const TXlsxKeisen& k : all)
                if (!k.mark) list.push_back(k);
            return list;
        };
        ASSERT_TRUE(SameRecords(kept(vert), unmarked(wantVert))) << "vertical, round " << round;
        ASSERT_TRUE(SameRecords(kept(horz), unmarked(wantHorz))) << "horizontal, round " << round;
        EXPECT_EQ(vert.SegmentCount(), wantVert.size());
        EXPECT_EQ(horz.SegmentCount(), wantHorz.size());
    }
}

}  // namespace
}  // namespace tabulon
