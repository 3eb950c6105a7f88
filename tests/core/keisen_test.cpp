#include "core/keisen.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "support/literal_keisen.h"

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

TEST(Keisen, AgreesWithTheLiteralAlgorithmOnRandomLists) {
    std::mt19937_64 rng(20230204);
    for (int round = 0; round < 3000; ++round) {
        size_t count = 2 + static_cast<size_t>(rng() % (round < 2500 ? 24 : 300));
        KeisenList vert = RandomList(rng, true, count);
        KeisenList horz = RandomList(rng, false, count);
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

}  // namespace
}  // namespace tabulon
