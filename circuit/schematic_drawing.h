// The picture of a filter's schematic as strokes: input terminal on the left, output terminal
// on the right, crystals in series on the signal line, shunt capacitors down to the common rail
// and series capacitors between groups of crystals. The window paints these strokes with Qt,
// the web page writes them as SVG: both draw the same picture from the topology's parts.
#pragma once

#include <array>
#include <string>
#include <vector>

namespace feldan {

inline constexpr int SchematicHeight = 105;
// Picture widths of the seven classic topologies (circuits 1..7); a generated ladder's grows
// with its parts (SchematicWidthOf).
inline constexpr std::array<int, 7> SchematicWidths = {170, 202, 306, 406, 240, 340, 440};

// The picture's width of a circuit number (circuit/topologies.h), 0 for a number that names
// none; with `terminations`, room for Rвх and Rвых at the ends.
int SchematicWidthOf(int circuit, bool terminations = false);

// Whether a circuit number is a CW ladder, whose Ck is already among its capacitors.
bool IsCwCircuit(int circuit);

enum class SchematicPart { ShuntCapacitor, SeriesCapacitor, Crystal, ParallelCrystal, Termination };

// Where a label is written: `x` is its left end (Start), middle or right end (End); `y` is the
// top of the text (Top) or its bottom (Bottom).
enum class LabelAlign { Start, Middle, End };
enum class LabelEdge { Top, Bottom };

struct SchematicSymbol {
    SchematicPart part;
    std::string label;  // "C1", "ZQ1", ...; empty for a termination, which the caller names
    bool input = true;  // a termination's end
    int x = 0;          // centre of the symbol
    // The symbol with its leads' ends: left, top, width, height (pixels).
    int left = 0, top = 0, width = 0, height = 0;
    int labelX = 0, labelY = 0;
    LabelAlign align = LabelAlign::Middle;
    LabelEdge edge = LabelEdge::Bottom;
};

// One stroke of the picture, in pixels of a one-pixel pen: a line from (x1, y1) to (x2, y2),
// a rectangle's outline from (x1, y1) to (x2, y2) inclusive, or a circle of radius r at (x1,
// y1), filled black or white.
struct SchematicStroke {
    enum class Kind { Line, Rectangle, Circle } kind = Kind::Line;
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0, r = 0;
    bool white = false;  // a white line cuts the signal line where a symbol sits
    bool filled = false;
};

struct SchematicDrawing {
    int width = 0;
    int height = SchematicHeight;
    int lineY = 0;  // the signal line
    int railY = 0;  // the common rail
    int inputX = 0;
    int outputX = 0;
    std::vector<SchematicSymbol> symbols;  // from input to output
    // Rвх across the input terminals and Rвых across the output ones, where they are drawn.
    std::vector<SchematicSymbol> terminations;
    std::vector<SchematicStroke> strokes;  // in painting order
};

// The picture of a circuit number; empty (width 0) for a number that names none. With
// `terminations`, for a design whose two ends want resistances of their own, it shows them.
SchematicDrawing DrawingOfSchematic(int circuit, bool terminations = false);

}  // namespace feldan
