// The schematic pictures of the seven filter topologies, drawn by the program: input terminal
// on the left, output terminal on the right, crystals in series on the signal line, shunt
// capacitors down to the common rail and series capacitors between groups of crystals.
#pragma once

#include <QImage>
#include <QRect>
#include <QString>
#include <array>
#include <vector>

namespace feldan {

inline constexpr int SchematicHeight = 105;
// Picture widths of FilterType 1..7.
inline constexpr std::array<int, 7> SchematicWidths = {170, 202, 306, 406, 240, 340, 440};

enum class SchematicPart { ShuntCapacitor, SeriesCapacitor, Crystal };

struct SchematicElement {
    SchematicPart part;
    QString label;    // "C1", "ZQ1", ...
    int x = 0;        // centre of the symbol
    QRect body;       // the symbol with its leads' ends
    QRect labelRect;  // where the label is written
};

struct SchematicLayout {
    int width = 0;
    int height = SchematicHeight;
    int lineY = 0;  // the signal line
    int railY = 0;  // the common rail
    int inputX = 0;
    int outputX = 0;
    std::vector<SchematicElement> elements;  // from input to output
};

// The layout of the picture of a FilterType (1..7); empty for any other value.
SchematicLayout LayoutSchematic(int filterType);

// The picture of a FilterType (1..7), black on white, drawn for a screen of `pixelRatio`
// device pixels per pixel; a null image for any other value.
QImage DrawSchematic(int filterType, qreal pixelRatio = 1);

// The status-bar hint of the picture of a FilterType (1..7).
QString SchematicHint(int filterType);

// A small grey-scale mark of the program for the corner of the main window.
QImage DrawAuthorsMark(int width, int height, qreal pixelRatio = 1);

}  // namespace feldan
