// The cell table as a DXF drawing: separator lines, merged-area outlines,
// diagonals, texts and consolidated border lines on three layers.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/cell_table.h"
#include "core/keisen.h"
#include "core/r12_writer.h"

namespace tabulon {

// Builds the complete drawing into lines. Returns false and leaves lines alone
// when the table is empty or has no rows or columns. Throws TabulonError, leaving
// lines alone, when a size is not a finite number.
bool BuildTableDxf(const CellTable& table, const GridTexts& texts, const ScaleSettings& settings, DxfLines& lines);

// The cells' border edges, row by row and left to right, each cell's top,
// bottom, left and right in that order; merged cells give only the edges on their
// area's outline.
void CollectKeisen(const CellTable& table, KeisenList& vertKeisen, KeisenList& horzKeisen);

// The same edges joined into runs as they are walked, repeats dropped: the
// border lines the drawing holds, without a list of every edge.
void CollectKeisenRuns(const CellTable& table, KeisenRuns& vertRuns, KeisenRuns& horzRuns);

// Encodes the drawing in code page 932 and replaces the file at path atomically.
// Throws TabulonError naming the path and the reason.
void SaveDxfLines(const DxfLines& lines, const std::string& path);

// BuildTableDxf, then SaveDxfLines. Returns false, writing nothing, when the
// table is empty.
bool WriteTableDxf(const CellTable& table, const GridTexts& texts, const ScaleSettings& settings,
                   const std::string& path);

// A working text as the lines of a TEXT block: CR LF and lone CR count as line
// feeds, and every other control character becomes a blank so that no value line
// can break the file.
std::vector<std::string> SplitTextLines(std::string_view text);

}  // namespace tabulon
