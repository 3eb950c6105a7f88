#include "core/keisen.h"

#include <cmath>
#include <cstring>

namespace tabulon {

namespace {

// Buckets of 16 tolerances: a point's neighbours within the tolerance lie in at
// most two buckets per axis, and usually in one.
constexpr double kBucket = 16 * kKeisenTolerance;
constexpr double kPerBucket = 1 / kBucket;
// Search half-width. Two points the tolerance test finds equal lie less than
// twice the tolerance apart, whatever the rounding of its subtraction; and as
// rounding never reorders numbers, the rounded ends of the search still
// bracket every such point.
constexpr double kReach = 2 * kKeisenTolerance;

// From 2^32 on, one ulp is nearly the tolerance, and a bucket number worked out
// by division would soon round coarser than a bucket and then overflow. Such
// values are bucketed by their bit patterns instead, two adjacent doubles to a
// bucket. Both numberings rise with the value, which is all the search relies
// on, and with either the search of any finite point spans a handful of buckets:
// the cost stays bounded for any scale.
constexpr double kFar = 4294967296.0;
constexpr int64_t kFarBucket = static_cast<int64_t>(kFar * kPerBucket);

uint64_t Bits(double v) {
    uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    return bits;
}

int64_t BucketOf(double v) {
    if (v > -kFar && v < kFar) return static_cast<int64_t>(std::floor(v * kPerBucket));
    const uint64_t magnitude = Bits(v) & ~(1ull << 63);
    const int64_t beyond = kFarBucket + 1 + static_cast<int64_t>((magnitude - Bits(kFar)) >> 1);
    return v > 0 ? beyond : -beyond;
}

size_t Hash(int64_t bx, int64_t by) {
    uint64_t h = static_cast<uint64_t>(bx) * 0x9E3779B97F4A7C15ull ^ static_cast<uint64_t>(by) * 0xC2B2AE3D27D4EB4Full;
    return static_cast<size_t>(h ^ (h >> 29));
}

// A point with a coordinate that is not a finite number is near nothing: the
// tolerance test fails on it.
bool Finite(double x, double y) {
    return std::isfinite(x) && std::isfinite(y);
}

}  // namespace

template <typename Visit>
void KeisenRuns::ForEachNear(double x, double y, Visit&& visit) const {
    if (heads_.empty() || !Finite(x, y)) return;
    const size_t mask = heads_.size() - 1;
    const int64_t x0 = BucketOf(x - kReach), x1 = BucketOf(x + kReach);
    const int64_t y0 = BucketOf(y - kReach), y1 = BucketOf(y + kReach);
    for (int64_t bx = x0; bx <= x1; ++bx) {
        for (int64_t by = y0; by <= y1; ++by) {
            for (uint32_t r = heads_[Hash(bx, by) & mask]; r != kNone; r = runs_[r].next) visit(r);
        }
    }
}

void KeisenRuns::Index(uint32_t run, double x, double y) {
    if (!Finite(x, y)) return;
    if (2 * (indexed_ + 1) > heads_.size()) Grow();
    const uint32_t slot = static_cast<uint32_t>(Hash(BucketOf(x), BucketOf(y)) & (heads_.size() - 1));
    runs_[run].slot = slot;
    runs_[run].next = heads_[slot];
    heads_[slot] = run;
    ++indexed_;
}

void KeisenRuns::Unindex(uint32_t run) {
    const uint32_t slot = runs_[run].slot;
    if (slot == kNone) return;
    uint32_t* link = &heads_[slot];
    while (*link != run) link = &runs_[*link].next;
    *link = runs_[run].next;
    runs_[run].slot = kNone;
    --indexed_;
}

void KeisenRuns::Grow() {
    heads_.assign(heads_.empty() ? 64 : 2 * heads_.size(), kNone);
    indexed_ = 0;
    for (uint32_t r = 0; r < runs_.size(); ++r) {
        if (runs_[r].slot == kNone) continue;
        runs_[r].slot = kNone;
        if (joining_)
            Index(r, runs_[r].ex, runs_[r].ey);
        else
            Index(r, runs_[r].sx, runs_[r].sy);
    }
}

uint32_t KeisenRuns::Add(const TAcadPoint& start, const TAcadPoint& end) {
    ++segments_;
    // The earliest run that ends where the segment starts takes it.
    uint32_t found = kNone;
    ForEachNear(start.x, start.y, [&](uint32_t r) {
        if (r < found && NearlyEqual(runs_[r].ex, start.x) && NearlyEqual(runs_[r].ey, start.y)) found = r;
    });
    if (found != kNone) {
        Run& run = runs_[found];
        Unindex(found);
        if (vertical_)
            run.ey = end.y;
        else
            run.ex = end.x;
        Index(found, run.ex, run.ey);
        return found;
    }
    const uint32_t opened = static_cast<uint32_t>(runs_.size());
    runs_.push_back(Run{start.x, start.y, end.x, end.y});
    Index(opened, end.x, end.y);
    return opened;
}

void KeisenRuns::DropDuplicates() {
    // From here on the runs are found by their start points.
    joining_ = false;
    size_t capacity = 64;
    while (capacity < 2 * runs_.size()) capacity *= 2;
    heads_.assign(capacity, kNone);
    indexed_ = 0;
    for (uint32_t r = 0; r < runs_.size(); ++r) {
        runs_[r].slot = kNone;
        Index(r, runs_[r].sx, runs_[r].sy);
    }

    // A later run repeats run i when it starts at one of i's ends on i's line and
    // ends at the other.
    for (uint32_t i = 0; i < runs_.size(); ++i) {
        const Run& a = runs_[i];
        if (a.dropped) continue;
        auto dropRepeats = [&](uint32_t j) {
            Run& b = runs_[j];
            if (j <= i || b.dropped) return;
            const bool same =
                vertical_ ? NearlyEqual(a.sx, b.sx) && ((NearlyEqual(a.sy, b.sy) && NearlyEqual(a.ey, b.ey)) ||
                                                        (NearlyEqual(a.ey, b.sy) && NearlyEqual(a.sy, b.ey)))
                          : NearlyEqual(a.ey, b.sy) && ((NearlyEqual(a.sx, b.sx) && NearlyEqual(a.ex, b.ex)) ||
                                                        (NearlyEqual(a.ex, b.sx) && NearlyEqual(a.sx, b.ex)));
            if (same) b.dropped = true;
        };
        if (vertical_) {
            ForEachNear(a.sx, a.sy, dropRepeats);
            ForEachNear(a.sx, a.ey, dropRepeats);
        } else {
            ForEachNear(a.sx, a.ey, dropRepeats);
            ForEachNear(a.ex, a.ey, dropRepeats);
        }
    }
    heads_.clear();
    heads_.shrink_to_fit();
}

namespace {

void Consolidate(KeisenList& list, bool vertical) {
    KeisenRuns runs(vertical);
    constexpr uint32_t kJoined = 0xFFFFFFFF;
    std::vector<uint32_t> runOf(list.size(), kJoined);
    for (size_t k = 0; k < list.size(); ++k) {
        if (list[k].mark) continue;
        const size_t before = runs.RunCount();
        const uint32_t run = runs.Add(list[k].stpt, list[k].edpt);
        if (runs.RunCount() > before) runOf[k] = run;
    }
    runs.DropDuplicates();
    for (size_t k = 0; k < list.size(); ++k) {
        if (list[k].mark) continue;
        if (runOf[k] == kJoined) {
            list[k].mark = true;
            continue;
        }
        const TAcadPoint end = runs.End(runOf[k]);
        if (vertical)
            list[k].edpt.y = end.y;
        else
            list[k].edpt.x = end.x;
        list[k].mark = runs.Dropped(runOf[k]);
    }
}

}  // namespace

void ConsolidateKeisen(KeisenList& vertKeisen, KeisenList& horzKeisen) {
    Consolidate(vertKeisen, true);
    Consolidate(horzKeisen, false);
}

}  // namespace tabulon
