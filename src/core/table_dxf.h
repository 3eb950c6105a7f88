// The cell table as a DXF drawing: separator lines, merged-area outlines,
// diagonals, texts and consolidated border lines on three layers.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/cell_table.h"
#include "core/drawing_sink.h"
#include "core/file_io.h"
#include "core/keisen.h"
#include "core/r12_writer.h"

namespace tabulon {

// Draws the table into sink: separator runs along the rows and down the
// columns, then each cell's merged-area outline, diagonal and text, then the
// border runs. Returns false, calling nothing, when the table is empty or has no
// rows or columns. Throws TabulonError, before calling anything, when a size is
// not a finite number.
bool DrawTable(const CellTable& table, const GridTexts& texts, const ScaleSettings& settings, DrawingSink& sink);

// The complete drawing as DXF items in lines. Leaves lines alone when DrawTable
// calls nothing.
bool BuildTableDxf(const CellTable& table, const GridTexts& texts, const ScaleSettings& settings, DxfLines& lines);

// The cells' border edges, row by row and left to right, each cell's top,
// bottom, left and right in that order; merged cells give only the edges on their
// area's outline.
void CollectKeisen(const CellTable& table, KeisenList& vertKeisen, KeisenList& horzKeisen);

// The same edges joined into runs as they are walked, repeats dropped: the
// border lines the drawing holds, without a list of every edge.
void CollectKeisenRuns(const CellTable& table, KeisenRuns& vertRuns, KeisenRuns& horzRuns);

// Draws the table straight into a DXF file (code page 932) that replaces the
// file at path once it is complete; counts, when given, receive the number of
// entities of each kind. Returns false, writing nothing, when the table is
// empty. Throws TabulonError naming the path and the reason when the file cannot
// be written, and as DrawTable does.
bool WriteTableDxf(const CellTable& table, const GridTexts& texts, const ScaleSettings& settings,
                   const std::string& path, DrawingCounts* counts = nullptr,
                   ReadOnlyFiles readOnly = ReadOnlyFiles::Refuse);

// A working text as the lines of a TEXT block: CR LF and lone CR count as line
// feeds, and every other control character becomes a blank so that no value line
// can break the file.
std::vector<std::string> SplitTextLines(std::string_view text);

}  // namespace tabulon
