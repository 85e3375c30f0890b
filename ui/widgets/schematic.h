// The schematic pictures of the filter topologies (circuit/schematic_drawing.h), painted with
// Qt, their labels placed with the window's font.
#pragma once

#include <QImage>
#include <QRect>
#include <QString>
#include <array>
#include <vector>

#include "circuit/schematic_drawing.h"

namespace feldan {

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
    // Rвх across the input terminals and Rвых across the output ones, where they are drawn.
    std::vector<SchematicElement> terminations;
};

// The layout of the picture of a circuit number; empty for a number that names none. With
// `terminations`, for a design whose two ends want resistances of their own, it shows them.
SchematicLayout LayoutSchematic(int circuit, bool terminations = false);

// The picture of a circuit number, black on white, drawn for a screen of `pixelRatio` device
// pixels per pixel; a null image for a number that names none.
QImage DrawSchematic(int circuit, qreal pixelRatio = 1, bool terminations = false);

// The status-bar hint of the picture of a circuit number; with `endsDiffer`, where Rвх and Rвых
// go. A CW ladder's says where its Ck went.
QString SchematicHint(int circuit, bool endsDiffer = false);

// Where Ck went in a CW ladder of this circuit number; empty for any other.
QString CkHint(int circuit);

// A small grey-scale mark of the program for the corner of the main window.
QImage DrawAuthorsMark(int width, int height, qreal pixelRatio = 1);

}  // namespace feldan
