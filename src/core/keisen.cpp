#include "core/keisen.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace tabulon {

namespace {

// Buckets of 16 tolerances: a point's neighbours within the tolerance lie in at
// most two buckets per axis, and usually in one.
constexpr double kBucket = 16 * kKeisenTolerance;
// Search half-width: twice the tolerance, which covers every rounding of the
// subtraction and division below.
constexpr double kReach = 2 * kKeisenTolerance;
// Beyond this the bucket number loses precision; such points share one
// overflow bucket that every search also scans.
constexpr double kGridLimit = 2e9;

bool OnGrid(double x, double y) {
    return std::fabs(x) <= kGridLimit && std::fabs(y) <= kGridLimit;
}

// Multiplying by the reciprocal errs by an ulp or so, far inside the reach's margin.
constexpr double kPerBucket = 1 / kBucket;
int64_t BucketOf(double v) {
    return static_cast<int64_t>(std::floor(v * kPerBucket));
}

// Record indices grouped by the bucket of their start point, with a
// "next unmarked position" union-find so that marked records cost nothing.
class StartIndex {
public:
    explicit StartIndex(const KeisenList& list) {
        const uint32_t n = static_cast<uint32_t>(list.size());
        // At most n buckets, and typically n / 2: two segments share a start.
        size_t capacity = 16;
        while (capacity < static_cast<size_t>(n) + n / 4) capacity *= 2;
        slots_.assign(capacity, Slot{});
        mask_ = capacity - 1;

        // Count the records of each bucket, then lay the buckets out one after the
        // other; placing the records in list order keeps each bucket ascending.
        std::vector<uint32_t> slotOf(n);
        uint32_t overflow = 0;
        for (uint32_t k = 0; k < n; ++k) {
            const TAcadPoint& p = list[k].stpt;
            if (!OnGrid(p.x, p.y)) {
                slotOf[k] = kNoSlot;
                ++overflow;
                continue;
            }
            const uint32_t s = FindOrInsert(BucketOf(p.x), BucketOf(p.y));
            slotOf[k] = s;
            ++slots_[s].end;  // a count for now
        }
        uint32_t offset = 0;
        for (Slot& slot : slots_) {
            if (slot.end == 0) continue;
            slot.begin = offset;
            offset += slot.end;
            slot.end = slot.begin;  // the fill point from here on
        }
        overflowBegin_ = offset;
        overflowEnd_ = offset + overflow;
        uint32_t overflowFill = overflowBegin_;

        order_.resize(n);
        position_.resize(n);
        next_.resize(n + 1);
        for (uint32_t p = 0; p <= n; ++p) next_[p] = p;
        for (uint32_t k = 0; k < n; ++k) {
            const uint32_t p = slotOf[k] == kNoSlot ? overflowFill++ : slots_[slotOf[k]].end++;
            order_[p] = k;
            position_[k] = p;
        }
        for (uint32_t k = 0; k < n; ++k) {
            if (list[k].mark) Remove(k);
        }
    }

    void Remove(uint32_t index) { next_[position_[index]] = position_[index] + 1; }

    // Calls visit(j) for every unmarked record j > after whose start point may lie
    // within the tolerance of (x, y), bucket by bucket in ascending index order.
    // visit returns false to leave the current bucket.
    template <typename Visit>
    void ForEachNear(double x, double y, uint32_t after, Visit&& visit) {
        // Records on the grid lie within kGridLimit; a point up to one unit beyond
        // it may still reach them.
        if (std::fabs(x) <= kGridLimit + 1 && std::fabs(y) <= kGridLimit + 1) {
            const int64_t x0 = BucketOf(x - kReach), x1 = BucketOf(x + kReach);
            const int64_t y0 = BucketOf(y - kReach), y1 = BucketOf(y + kReach);
            for (int64_t bx = x0; bx <= x1; ++bx) {
                for (int64_t by = y0; by <= y1; ++by) {
                    const Slot* slot = Find(bx, by);
                    if (slot) Scan(slot->begin, slot->end, after, visit);
                }
            }
        }
        if (overflowBegin_ < overflowEnd_) Scan(overflowBegin_, overflowEnd_, after, visit);
    }

private:
    static constexpr uint32_t kNoSlot = 0xFFFFFFFF;

    // A bucket of the hash table; end == 0 marks an empty slot.
    struct Slot {
        int64_t bx = 0, by = 0;
        uint32_t begin = 0, end = 0;
    };

    static size_t Hash(int64_t bx, int64_t by) {
        uint64_t h =
            static_cast<uint64_t>(bx) * 0x9E3779B97F4A7C15ull ^ static_cast<uint64_t>(by) * 0xC2B2AE3D27D4EB4Full;
        return static_cast<size_t>(h ^ (h >> 29));
    }

    uint32_t FindOrInsert(int64_t bx, int64_t by) {
        size_t s = Hash(bx, by) & mask_;
        while (slots_[s].end != 0) {
            if (slots_[s].bx == bx && slots_[s].by == by) return static_cast<uint32_t>(s);
            s = (s + 1) & mask_;
        }
        slots_[s].bx = bx;
        slots_[s].by = by;
        return static_cast<uint32_t>(s);
    }

    const Slot* Find(int64_t bx, int64_t by) const {
        size_t s = Hash(bx, by) & mask_;
        while (slots_[s].end != 0) {
            if (slots_[s].bx == bx && slots_[s].by == by) return &slots_[s];
            s = (s + 1) & mask_;
        }
        return nullptr;
    }

    uint32_t NextUnmarked(uint32_t p) {
        while (next_[p] != p) {
            next_[p] = next_[next_[p]];
            p = next_[p];
        }
        return p;
    }

    template <typename Visit>
    void Scan(uint32_t begin, uint32_t end, uint32_t after, Visit& visit) {
        // Indices ascend within a bucket: skip to the first one past `after`.
        uint32_t p = static_cast<uint32_t>(std::upper_bound(order_.begin() + begin, order_.begin() + end, after) -
                                           order_.begin());
        for (p = NextUnmarked(p); p < end; p = NextUnmarked(p + 1)) {
            if (!visit(order_[p])) return;
        }
    }

    std::vector<uint32_t> order_;
    std::vector<uint32_t> position_;
    std::vector<uint32_t> next_;
    std::vector<Slot> slots_;
    size_t mask_ = 0;
    uint32_t overflowBegin_ = 0, overflowEnd_ = 0;
};

// The two lists differ only in which coordinate a join moves and which end
// point decides the line in the duplicate test.
struct Vertical {
    static void Join(TXlsxKeisen& into, const TXlsxKeisen& from) { into.edpt.y = from.edpt.y; }
    static bool SameStretch(const TXlsxKeisen& i, const TXlsxKeisen& j) {
        return NearlyEqual(i.stpt.x, j.stpt.x) &&
               ((NearlyEqual(i.stpt.y, j.stpt.y) && NearlyEqual(i.edpt.y, j.edpt.y)) ||
                (NearlyEqual(i.edpt.y, j.stpt.y) && NearlyEqual(i.stpt.y, j.edpt.y)));
    }
    // Start points a duplicate of i may have.
    static TAcadPoint DuplicateStartA(const TXlsxKeisen& i) { return {i.stpt.x, i.stpt.y, 0}; }
    static TAcadPoint DuplicateStartB(const TXlsxKeisen& i) { return {i.stpt.x, i.edpt.y, 0}; }
};

struct Horizontal {
    static void Join(TXlsxKeisen& into, const TXlsxKeisen& from) { into.edpt.x = from.edpt.x; }
    static bool SameStretch(const TXlsxKeisen& i, const TXlsxKeisen& j) {
        return NearlyEqual(i.edpt.y, j.stpt.y) &&
               ((NearlyEqual(i.stpt.x, j.stpt.x) && NearlyEqual(i.edpt.x, j.edpt.x)) ||
                (NearlyEqual(i.edpt.x, j.stpt.x) && NearlyEqual(i.stpt.x, j.edpt.x)));
    }
    static TAcadPoint DuplicateStartA(const TXlsxKeisen& i) { return {i.stpt.x, i.edpt.y, 0}; }
    static TAcadPoint DuplicateStartB(const TXlsxKeisen& i) { return {i.edpt.x, i.edpt.y, 0}; }
};

template <typename Axis>
void Consolidate(KeisenList& list) {
    if (list.size() < 2) return;
    StartIndex index(list);
    const uint32_t n = static_cast<uint32_t>(list.size());

    // Pass 1: each unmarked record swallows, in list order, every later record
    // that starts where it currently ends.
    for (uint32_t i = 0; i + 1 < n; ++i) {
        if (list[i].mark) continue;
        uint32_t after = i;
        for (;;) {
            const TAcadPoint end = list[i].edpt;
            auto continues = [&](uint32_t j) {
                return NearlyEqual(end.x, list[j].stpt.x) && NearlyEqual(end.y, list[j].stpt.y);
            };
            // A border along a row continues two records on: look there first.
            uint32_t found = n;
            uint32_t peeked = after;
            for (uint32_t j = after + 1; j < n && j <= after + 4; ++j) {
                peeked = j;
                if (!list[j].mark && continues(j)) {
                    found = j;
                    break;
                }
            }
            if (found == n) {
                index.ForEachNear(end.x, end.y, peeked, [&](uint32_t j) {
                    if (continues(j)) {
                        found = std::min(found, j);
                        return false;  // later ones in this bucket cannot come first
                    }
                    return true;
                });
            }
            if (found == n) break;
            Axis::Join(list[i], list[found]);
            list[found].mark = true;
            index.Remove(found);
            after = found;
        }
    }

    // Pass 2: mark later records that cover the same stretch.
    for (uint32_t i = 0; i + 1 < n; ++i) {
        if (list[i].mark) continue;
        auto markDuplicates = [&](uint32_t j) {
            if (Axis::SameStretch(list[i], list[j])) {
                list[j].mark = true;
                index.Remove(j);
            }
            return true;
        };
        const TAcadPoint a = Axis::DuplicateStartA(list[i]);
        const TAcadPoint b = Axis::DuplicateStartB(list[i]);
        index.ForEachNear(a.x, a.y, i, markDuplicates);
        index.ForEachNear(b.x, b.y, i, markDuplicates);
    }
}

}  // namespace

void ConsolidateKeisen(KeisenList& vertKeisen, KeisenList& horzKeisen) {
    Consolidate<Vertical>(vertKeisen);
    Consolidate<Horizontal>(horzKeisen);
}

}  // namespace tabulon
