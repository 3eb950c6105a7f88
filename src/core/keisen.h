// Joining and de-duplicating border segments before they are written.
#pragma once

#include "core/cell_table.h"

namespace tabulon {

inline constexpr double kKeisenTolerance = 0.000001;

// |a - b| <= tolerance; the bound is inclusive.
inline bool NearlyEqual(double a, double b, double tolerance = kKeisenTolerance) {
    double d = a - b;
    return (d < 0 ? -d : d) <= tolerance;
}

// In both lists: a segment that starts where an earlier unmarked segment ends is
// joined into it (the earlier one grows, the later one is marked), sweeping
// forward through the list; then a segment that covers exactly the stretch of
// an earlier unmarked one, in either direction, is marked as a duplicate.
//
// The result is that of comparing every record with every later one, but found
// through a spatial hash, so a fully bordered table of 100,000 cells takes
// milliseconds instead of minutes.
void ConsolidateKeisen(KeisenList& vertKeisen, KeisenList& horzKeisen);

}  // namespace tabulon
