// Joining and de-duplicating border segments before they are written.
#pragma once

#include <cstdint>
#include <vector>

#include "core/cell_table.h"

namespace tabulon {

inline constexpr double kKeisenTolerance = 0.000001;

// |a - b| <= tolerance; the bound is inclusive.
inline bool NearlyEqual(double a, double b, double tolerance = kKeisenTolerance) {
    double d = a - b;
    return (d < 0 ? -d : d) <= tolerance;
}

// The border segments of one direction, joined into runs as they arrive.
//
// Add() takes the segments in drawing order. A segment that starts where an
// earlier run now ends (within the tolerance) extends the earliest such run: a
// vertical run takes the segment's end y, a horizontal one its end x. Any other
// segment opens a run of its own. DropDuplicates() then drops every run that
// covers exactly the stretch of an earlier kept run, in either direction.
//
// The result is that of comparing every segment with every later one, first to
// join and then to drop duplicates, but each segment costs about the same
// whatever the table's size and the drawing's scale: runs are found through a
// hash of their end points, and only runs are kept, never the segments that
// went into them.
class KeisenRuns {
public:
    explicit KeisenRuns(bool vertical) : vertical_(vertical) {}

    // Joins the segment into a run; returns that run's number (runs are numbered
    // from 0 in the order they were opened). Call before DropDuplicates().
    uint32_t Add(const TAcadPoint& start, const TAcadPoint& end);

    // Drops the runs that repeat an earlier kept run. Call once, after the last Add().
    void DropDuplicates();

    size_t SegmentCount() const { return segments_; }
    size_t RunCount() const { return runs_.size(); }
    bool Dropped(uint32_t run) const { return runs_[run].dropped; }
    TAcadPoint Start(uint32_t run) const { return {runs_[run].sx, runs_[run].sy, 0}; }
    TAcadPoint End(uint32_t run) const { return {runs_[run].ex, runs_[run].ey, 0}; }

    // visit(start, end) for every kept run, in the order the runs were opened.
    template <typename Visit>
    void ForEachKept(Visit&& visit) const {
        for (const Run& r : runs_) {
            if (!r.dropped) visit(TAcadPoint{r.sx, r.sy, 0}, TAcadPoint{r.ex, r.ey, 0});
        }
    }

private:
    static constexpr uint32_t kNone = 0xFFFFFFFF;

    struct Run {
        double sx, sy, ex, ey;
        uint32_t next = kNone;  // the next run in the same hash chain
        uint32_t slot = kNone;  // the chain holding this run while it is indexed
        bool dropped = false;
    };

    void Index(uint32_t run, double x, double y);
    void Unindex(uint32_t run);
    void Grow();
    template <typename Visit>
    void ForEachNear(double x, double y, Visit&& visit) const;

    bool vertical_;
    size_t segments_ = 0;
    std::vector<Run> runs_;
    std::vector<uint32_t> heads_;  // chain heads: runs by end point, then by start point
    size_t indexed_ = 0;
    bool joining_ = true;
};

// The same joining on lists of segments: in both lists a segment joined into an
// earlier one, or repeating one, is marked, and a segment that opened a run gets
// that run's end. Segments marked beforehand take no part. The result is that
// of comparing every unmarked record with every later one.
void ConsolidateKeisen(KeisenList& vertKeisen, KeisenList& horzKeisen);

}  // namespace tabulon
