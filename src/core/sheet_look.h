// How the sheet's look becomes drawing: text widths and wrapping, the line
// types and layers of border styles, fill colours as AutoCAD colour numbers.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/cell_table.h"

namespace tabulon {

inline constexpr const char* kLayerBordLineThick = "XLSBordLineThick";
inline constexpr const char* kLayerCellFill = "XLSCellFill";

// The estimated width of a text line in text heights: 1 for a character that
// takes two bytes in code page 932 or has none there, halfWidth for the others
// (ASCII and half-width katakana).
double EstimateTextWidth(std::string_view utf8, double halfWidth);

// Breaks one line of text into lines of at most maxWidth text heights, as the
// sheet wraps a cell: between any two characters of Japanese, at blanks between
// Latin words where it can, never before closing punctuation when the line can
// give up a character instead. A word longer than a line is broken where it must.
// Every line holds at least one character.
std::vector<std::string> WrapTextLine(std::string_view utf8, double maxWidth, double halfWidth);

// A border's look in the drawing.
struct BorderStroke {
    const char* layer;     // XLSBordLine or XLSBordLineThick
    const char* linetype;  // "BYLAYER" or one of the line types below
    bool doubled;          // two parallel lines
};
BorderStroke StrokeOf(uint8_t borderLook);

// A line type the drawing defines for the broken border styles. Its pattern is in
// points of the sheet: dashes positive, gaps negative.
struct SheetLinetype {
    const char* name;
    const char* description;
    std::vector<double> pattern;
};
const std::vector<SheetLinetype>& SheetLinetypes();

// The gap between the two lines of a double border, in points of the sheet.
inline constexpr double kDoubleBorderGapPoints = 2.0;

// The AutoCAD colour number (1..255, never 7, which plots black on white) whose
// standard colour is nearest to 0xRRGGBB.
int NearestAci(int32_t rgb);
// The standard colour of an AutoCAD colour number 1..255, as 0xRRGGBB.
int32_t AciRgb(int aci);
// The colour on a light background, as a picture of the drawing shows it:
// colour 7, white on CAD's dark screen, is black on paper.
inline int32_t PaperRgb(int aci) {
    return aci == 7 ? 0x000000 : AciRgb(aci);
}

}  // namespace tabulon
