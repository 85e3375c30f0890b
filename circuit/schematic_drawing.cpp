#include "circuit/schematic_drawing.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <span>

#include "circuit/generated_ladders.h"
#include "circuit/topologies.h"

namespace feldan {

namespace {

// Geometry of the drawing, in pixels.
constexpr int LineY = 30;          // signal line
constexpr int RailY = 86;          // common rail
constexpr int TerminalInset = 6;   // terminal centre from the picture's edge
constexpr int NodeInset = 20;      // first junction from the input terminal
constexpr int LastNodeInset = 26;  // last junction from the output terminal, room for its label
constexpr int SymbolHalf = 7;      // half the width of a crystal or capacitor symbol
constexpr int SeriesHalfHeight = 8;
constexpr int CrystalHalfHeight = 9;
constexpr int ShuntPlateTop = 53;
constexpr int PlateGap = 6;
constexpr int LabelGap = 3;
// A termination's resistor: the room it adds at each end, its centre from the terminal, half
// its width, its body's ends.
constexpr int TerminationRoom = 16;
constexpr int TerminationInset = 11;
constexpr int ResistorHalf = 3;
constexpr int ResistorTop = 46;
constexpr int ResistorBottom = 70;

// The room a crystal or a series capacitor of a generated ladder takes on the signal line: a
// little less than the classic pictures give, so that twelve crystals fit the window.
constexpr int GeneratedSegmentWidth = 32;
constexpr int GeneratedEnds = 59;
// A QER ladder's segments are wider: its doubled end crystals hang below the line, their leads
// clear of the first and last coupling capacitor.
constexpr int QerSegmentWidth = 40;
constexpr int ParallelLead = 10;       // the leads of a crystal in parallel, from the centre
constexpr int ParallelY = LineY + 18;  // and its line

bool IsClassic(int circuit) {
    return circuit >= 1 && circuit <= int(SchematicWidths.size());
}

// The crystals and series capacitors along the line; a crystal in parallel shares its place.
int SeriesSegments(std::span<const SchematicItem> items) {
    int segments = 0;
    for (const SchematicItem& item : items) {
        if (item.kind == SchematicItemKind::Crystal ||
            item.kind == SchematicItemKind::SeriesCapacitor)
            ++segments;
    }
    return segments;
}

class Pen {
  public:
    explicit Pen(std::vector<SchematicStroke>& strokes) : strokes_(strokes) {}
    void Line(int x1, int y1, int x2, int y2, bool white = false) {
        strokes_.push_back({SchematicStroke::Kind::Line, x1, y1, x2, y2, 0, white, false});
    }
    void Rectangle(int x1, int y1, int x2, int y2) {
        strokes_.push_back({SchematicStroke::Kind::Rectangle, x1, y1, x2, y2, 0, false, false});
    }
    void Circle(int x, int y, int r, bool filled) {
        strokes_.push_back({SchematicStroke::Kind::Circle, x, y, x, y, r, false, filled});
    }

  private:
    std::vector<SchematicStroke>& strokes_;
};

void DrawShuntCapacitor(Pen& p, int x) {
    p.Line(x, LineY, x, ShuntPlateTop);
    p.Line(x, ShuntPlateTop + PlateGap, x, RailY);
    for (int dy : {0, 1}) {
        p.Line(x - SymbolHalf, ShuntPlateTop + dy, x + SymbolHalf, ShuntPlateTop + dy);
        p.Line(x - SymbolHalf, ShuntPlateTop + PlateGap - dy, x + SymbolHalf,
               ShuntPlateTop + PlateGap - dy);
    }
    p.Circle(x, LineY, 2, true);
    p.Circle(x, RailY, 2, true);
}

void DrawSeriesCapacitor(Pen& p, int x) {
    const int half = PlateGap / 2;
    p.Line(x - half + 1, LineY, x + half - 1, LineY, true);
    for (int dx : {0, 1}) {
        p.Line(x - half - dx, LineY - SeriesHalfHeight, x - half - dx, LineY + SeriesHalfHeight);
        p.Line(x + half + dx, LineY - SeriesHalfHeight, x + half + dx, LineY + SeriesHalfHeight);
    }
}

// The quartz resonator: an electrode plate on each side of the crystal body.
void DrawCrystal(Pen& p, int x, int y = LineY) {
    p.Line(x - SymbolHalf + 1, y, x + SymbolHalf - 1, y, true);
    const int plate = CrystalHalfHeight - 2;
    p.Line(x - SymbolHalf + 1, y - plate, x - SymbolHalf + 1, y + plate);
    p.Line(x + SymbolHalf - 1, y - plate, x + SymbolHalf - 1, y + plate);
    p.Rectangle(x - 3, y - CrystalHalfHeight, x + 3, y + CrystalHalfHeight);
}

// A crystal across the one on the line at x: below it, its leads joining the line either side.
void DrawParallelCrystal(Pen& p, int x) {
    for (const int lead : {x - ParallelLead, x + ParallelLead}) {
        p.Line(lead, LineY, lead, ParallelY);
        p.Circle(lead, LineY, 2, true);
    }
    p.Line(x - ParallelLead, ParallelY, x + ParallelLead, ParallelY);
    DrawCrystal(p, x, ParallelY);
}

void DrawResistor(Pen& p, int x) {
    p.Line(x, LineY, x, ResistorTop);
    p.Rectangle(x - ResistorHalf, ResistorTop, x + ResistorHalf, ResistorBottom);
    p.Line(x, ResistorBottom, x, RailY);
    p.Circle(x, LineY, 2, true);
    p.Circle(x, RailY, 2, true);
}

void DrawGround(Pen& p, int x) {
    p.Line(x, RailY, x, RailY + 7);
    p.Line(x - 7, RailY + 7, x + 7, RailY + 7);
    p.Line(x - 4, RailY + 10, x + 4, RailY + 10);
    p.Line(x - 1, RailY + 13, x + 1, RailY + 13);
}

SchematicPart PartOf(SchematicItemKind kind) {
    switch (kind) {
        case SchematicItemKind::Crystal:
            return SchematicPart::Crystal;
        case SchematicItemKind::ParallelCrystal:
            return SchematicPart::ParallelCrystal;
        case SchematicItemKind::SeriesCapacitor:
            return SchematicPart::SeriesCapacitor;
        case SchematicItemKind::ShuntCapacitor:
            break;
    }
    return SchematicPart::ShuntCapacitor;
}

// The parts and their labels, from input to output, as the topology's descriptor lists them:
// a shunt capacitor at every junction, crystals and series capacitors between.
void PlaceSymbols(SchematicDrawing& drawing, std::span<const SchematicItem> items, int room) {
    const int firstNode = drawing.inputX + NodeInset + room;
    const int lastNode = drawing.outputX - LastNodeInset - room;
    const double step = double(lastNode - firstNode) / SeriesSegments(items);
    // A shunt capacitor stands at the junction after `segment` parts along the line.
    int segment = 0;
    // Before a doubled output end, the last shunt capacitor's label goes left of its lead: right
    // of it hangs the paralleled crystal's label.
    const bool doubledEnds = std::any_of(items.begin(), items.end(), [](const SchematicItem& i) {
        return i.kind == SchematicItemKind::ParallelCrystal;
    });
    const auto lastShunt = std::find_if(items.rbegin(), items.rend(), [](const SchematicItem& i) {
        return i.kind == SchematicItemKind::ShuntCapacitor;
    });
    for (const SchematicItem& item : items) {
        SchematicSymbol symbol{PartOf(item.kind), std::string(item.label)};
        if (symbol.part == SchematicPart::ParallelCrystal) {
            symbol.x = drawing.symbols.back().x;
            symbol.left = symbol.x - ParallelLead;
            symbol.top = ParallelY - CrystalHalfHeight;
            symbol.width = 2 * ParallelLead + 1;
            symbol.height = 2 * CrystalHalfHeight + 1;
            symbol.labelX = symbol.x;
            symbol.labelY = ParallelY + CrystalHalfHeight + 3;
            symbol.align = LabelAlign::Middle;
            symbol.edge = LabelEdge::Top;
        } else if (symbol.part == SchematicPart::ShuntCapacitor) {
            symbol.x = firstNode + int(std::lround(step * segment));
            symbol.left = symbol.x - SymbolHalf;
            symbol.top = LineY;
            symbol.width = 2 * SymbolHalf + 1;
            symbol.height = RailY - LineY + 1;
            // Below the plates and right of the lead: the only thing there is the next lead.
            symbol.labelX = symbol.x + LabelGap;
            symbol.labelY = ShuntPlateTop + PlateGap + 3;
            symbol.align = LabelAlign::Start;
            if (doubledEnds && lastShunt != items.rend() && &item == &*lastShunt) {
                symbol.labelX = symbol.x - LabelGap;
                symbol.align = LabelAlign::End;
            }
            symbol.edge = LabelEdge::Top;
        } else {
            symbol.x = firstNode + int(std::lround(step * (segment + 0.5)));
            const int halfHeight =
                symbol.part == SchematicPart::Crystal ? CrystalHalfHeight : SeriesHalfHeight;
            symbol.left = symbol.x - SymbolHalf;
            symbol.top = LineY - halfHeight;
            symbol.width = 2 * SymbolHalf + 1;
            symbol.height = 2 * halfHeight + 1;
            symbol.labelX = symbol.x;
            symbol.labelY = LineY - halfHeight - 3;
            symbol.align = LabelAlign::Middle;
            symbol.edge = LabelEdge::Bottom;
            ++segment;
        }
        drawing.symbols.push_back(std::move(symbol));
    }
}

// Across each pair of terminals, between the terminal and the end capacitor; the label under
// the rail, where only the ground symbol stands, and it nearer the middle.
void PlaceTerminations(SchematicDrawing& drawing) {
    for (const bool input : {true, false}) {
        SchematicSymbol end{SchematicPart::Termination, std::string(), input};
        end.x = input ? drawing.inputX + TerminationInset : drawing.outputX - TerminationInset;
        end.left = end.x - ResistorHalf;
        end.top = LineY;
        end.width = 2 * ResistorHalf + 1;
        end.height = RailY - LineY + 1;
        end.labelX = input ? 0 : drawing.width - 1;
        end.labelY = RailY + 4;
        end.align = input ? LabelAlign::Start : LabelAlign::End;
        end.edge = LabelEdge::Top;
        drawing.terminations.push_back(std::move(end));
    }
}

void Stroke(SchematicDrawing& drawing) {
    Pen p(drawing.strokes);
    // The signal line and the rail first; the symbols cut the line where they sit.
    p.Line(drawing.inputX + 3, LineY, drawing.outputX - 3, LineY);
    p.Line(drawing.inputX + 3, RailY, drawing.outputX - 3, RailY);
    for (const int x : {drawing.inputX, drawing.outputX}) {
        p.Circle(x, LineY, 3, false);
        p.Circle(x, RailY, 3, false);
    }
    // Between the first two junctions; a QER ladder's first junction is its first capacitor's.
    const auto firstShunt = std::find_if(
        drawing.symbols.begin(), drawing.symbols.end(),
        [](const SchematicSymbol& s) { return s.part == SchematicPart::ShuntCapacitor; });
    DrawGround(p, firstShunt == drawing.symbols.begin()
                      ? (drawing.symbols[0].x + drawing.symbols[1].x) / 2
                      : (drawing.inputX + firstShunt->x) / 2);
    for (const SchematicSymbol& symbol : drawing.symbols) {
        switch (symbol.part) {
            case SchematicPart::ShuntCapacitor:
                DrawShuntCapacitor(p, symbol.x);
                break;
            case SchematicPart::SeriesCapacitor:
                DrawSeriesCapacitor(p, symbol.x);
                break;
            case SchematicPart::Crystal:
                DrawCrystal(p, symbol.x);
                break;
            case SchematicPart::ParallelCrystal:
                DrawParallelCrystal(p, symbol.x);
                break;
            case SchematicPart::Termination:
                break;
        }
    }
    for (const SchematicSymbol& end : drawing.terminations)
        DrawResistor(p, end.x);
}

}  // namespace

int SchematicWidthOf(int circuit, bool terminations) {
    const int room = terminations ? 2 * TerminationRoom : 0;
    if (IsClassic(circuit)) return SchematicWidths[std::size_t(circuit - 1)] + room;
    const std::optional<LadderShape> shape = ShapeOfCircuit(circuit);
    if (!shape) return 0;
    const int segment =
        shape->structure == LadderStructure::Qer ? QerSegmentWidth : GeneratedSegmentWidth;
    return GeneratedEnds + segment * SeriesSegments(DescriptorOf(circuit).schematic) + room;
}

bool IsCwCircuit(int circuit) {
    if (IsClassic(circuit)) return circuit >= 5;
    const std::optional<LadderShape> shape = ShapeOfCircuit(circuit);
    return shape && shape->structure == LadderStructure::Cw;
}

SchematicDrawing DrawingOfSchematic(int circuit, bool terminations) {
    SchematicDrawing drawing;
    drawing.width = SchematicWidthOf(circuit, terminations);
    if (drawing.width == 0) return drawing;
    drawing.lineY = LineY;
    drawing.railY = RailY;
    drawing.inputX = TerminalInset;
    drawing.outputX = drawing.width - 1 - TerminalInset;
    PlaceSymbols(drawing, DescriptorOf(circuit).schematic, terminations ? TerminationRoom : 0);
    if (terminations) PlaceTerminations(drawing);
    Stroke(drawing);
    return drawing;
}

}  // namespace feldan
