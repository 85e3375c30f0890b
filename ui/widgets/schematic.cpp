#include "ui/widgets/schematic.h"

#include <QCoreApplication>
#include <QFont>
#include <QFontMetrics>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <optional>

#include "circuit/topologies.h"

namespace feldan {

namespace {

const std::array<const char*, 7> Hints = {
    QT_TRANSLATE_NOOP("feldan::Schematic", "Схема 3-х кристального фильтра"),
    QT_TRANSLATE_NOOP("feldan::Schematic", "Схема 4-кристального фильтра"),
    QT_TRANSLATE_NOOP("feldan::Schematic", "Схема 6-ти кристального фильтра"),
    QT_TRANSLATE_NOOP("feldan::Schematic", "Схема 8-ми кристального фильтра"),
    QT_TRANSLATE_NOOP("feldan::Schematic", "Схема 4-х кристального телеграфного фильтра"),
    QT_TRANSLATE_NOOP("feldan::Schematic", "Схема 6-ти кристального телеграфного фильтра"),
    QT_TRANSLATE_NOOP("feldan::Schematic", "Схема 8-ми кристального телеграфного фильтра"),
};

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

QFont LabelFont() {
    QFont font(QStringLiteral("Arial"));
    font.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(11);
    // Grey-scale edges only: the picture stays black on white.
    font.setStyleStrategy(QFont::NoSubpixelAntialias);
    return font;
}

// The room a crystal or a series capacitor of a generated ladder takes on the signal line: a
// little less than the classic pictures give, so that twelve crystals fit the window.
constexpr int GeneratedSegmentWidth = 32;
constexpr int GeneratedEnds = 59;

bool IsClassic(int circuit) {
    return circuit >= 1 && circuit <= int(SchematicWidths.size());
}

}  // namespace

int SchematicWidthOf(int circuit, bool terminations) {
    const int room = terminations ? 2 * TerminationRoom : 0;
    if (IsClassic(circuit)) return SchematicWidths[std::size_t(circuit - 1)] + room;
    if (!ShapeOfCircuit(circuit)) return 0;
    int segments = 0;
    for (const SchematicItem& item : DescriptorOf(circuit).schematic) {
        if (item.kind != SchematicItemKind::ShuntCapacitor) ++segments;
    }
    return GeneratedEnds + GeneratedSegmentWidth * segments + room;
}

namespace {

QString PlainHint(int circuit) {
    if (IsClassic(circuit))
        return QCoreApplication::translate("feldan::Schematic", Hints[std::size_t(circuit - 1)]);
    const std::optional<LadderShape> shape = ShapeOfCircuit(circuit);
    if (!shape) return QString();
    return shape->structure == LadderStructure::Cw
               ? QCoreApplication::translate("feldan::Schematic",
                                             "Схема %1-кристального телеграфного фильтра")
                     .arg(shape->crystals)
               : QCoreApplication::translate("feldan::Schematic", "Схема %1-кристального фильтра")
                     .arg(shape->crystals);
}

bool IsCw(int circuit) {
    if (IsClassic(circuit)) return circuit >= 5;
    const std::optional<LadderShape> shape = ShapeOfCircuit(circuit);
    return shape && shape->structure == LadderStructure::Cw;
}

}  // namespace

QString CkHint(int circuit) {
    if (!IsCw(circuit)) return QString();
    return QCoreApplication::translate("feldan::Schematic",
                                       "Ck уже в конденсаторах схемы: отдельно его не ставят");
}

QString SchematicHint(int circuit, bool endsDiffer) {
    QString hint = PlainHint(circuit);
    if (hint.isEmpty()) return hint;
    if (endsDiffer) {
        const std::span<const SchematicItem> items = DescriptorOf(circuit).schematic;
        const auto label = [](const SchematicItem& item) {
            return QString::fromLatin1(item.label.data(), qsizetype(item.label.size()));
        };
        hint +=
            QCoreApplication::translate("feldan::Schematic", "; на входе Rвх∥%1, на выходе Rвых∥%2")
                .arg(label(items.front()), label(items.back()));
    }
    // Short, so that the hint fits its panel.
    if (IsCw(circuit))
        hint += QCoreApplication::translate("feldan::Schematic", "; Ck уже в её конденсаторах");
    return hint;
}

SchematicLayout LayoutSchematic(int circuit, bool terminations) {
    SchematicLayout layout;
    layout.width = SchematicWidthOf(circuit, terminations);
    if (layout.width == 0) return layout;
    layout.lineY = LineY;
    layout.railY = RailY;
    layout.inputX = TerminalInset;
    layout.outputX = layout.width - 1 - TerminalInset;

    // The parts and their labels, from input to output, as the topology's descriptor lists
    // them: a shunt capacitor at every junction, crystals and series capacitors between.
    const std::span<const SchematicItem> items = DescriptorOf(circuit).schematic;
    int segments = 0;
    for (const SchematicItem& item : items) {
        if (item.kind != SchematicItemKind::ShuntCapacitor) ++segments;
    }

    const QFontMetrics metrics(LabelFont());
    const int room = terminations ? TerminationRoom : 0;
    const int firstNode = layout.inputX + NodeInset + room;
    const int lastNode = layout.outputX - LastNodeInset - room;
    const double step = double(lastNode - firstNode) / segments;
    int segment = 0;
    int shuntIndex = 0;
    for (const SchematicItem& item : items) {
        const SchematicPart part = item.kind == SchematicItemKind::Crystal ? SchematicPart::Crystal
                                   : item.kind == SchematicItemKind::SeriesCapacitor
                                       ? SchematicPart::SeriesCapacitor
                                       : SchematicPart::ShuntCapacitor;
        SchematicElement element{part, QString(), 0, QRect(), QRect()};
        element.label = QString::fromLatin1(item.label.data(), qsizetype(item.label.size()));
        const QRect text = metrics.tightBoundingRect(element.label);
        const int textWidth = metrics.horizontalAdvance(element.label);
        if (part == SchematicPart::ShuntCapacitor) {
            element.x = firstNode + int(std::lround(step * (shuntIndex)));
            element.body =
                QRect(element.x - SymbolHalf, LineY, 2 * SymbolHalf + 1, RailY - LineY + 1);
            // Below the plates and right of the lead: the only thing there is the next lead.
            const int top = ShuntPlateTop + PlateGap + 3;
            element.labelRect = QRect(element.x + LabelGap, top, textWidth, text.height() + 2);
            ++shuntIndex;
        } else {
            element.x = firstNode + int(std::lround(step * (segment + 0.5)));
            const int halfHeight =
                part == SchematicPart::Crystal ? CrystalHalfHeight : SeriesHalfHeight;
            element.body = QRect(element.x - SymbolHalf, LineY - halfHeight, 2 * SymbolHalf + 1,
                                 2 * halfHeight + 1);
            const int bottom = LineY - halfHeight - 3;
            element.labelRect = QRect(element.x - textWidth / 2, bottom - text.height() - 1,
                                      textWidth, text.height() + 2);
            ++segment;
        }
        layout.elements.push_back(element);
    }
    if (terminations) {
        // Across each pair of terminals, between the terminal and the end capacitor; the label
        // under the rail, where only the ground symbol stands, and it nearer the middle.
        for (const bool input : {true, false}) {
            SchematicElement end{SchematicPart::Termination, QString(), 0, QRect(), QRect()};
            end.label = input ? QCoreApplication::translate("feldan::Schematic", "Rвх")
                              : QCoreApplication::translate("feldan::Schematic", "Rвых");
            end.x = input ? layout.inputX + TerminationInset : layout.outputX - TerminationInset;
            end.body = QRect(end.x - ResistorHalf, LineY, 2 * ResistorHalf + 1, RailY - LineY + 1);
            const int textWidth = metrics.horizontalAdvance(end.label);
            const int height = metrics.tightBoundingRect(end.label).height() + 2;
            end.labelRect =
                QRect(input ? 0 : layout.width - textWidth - 1, RailY + 4, textWidth, height);
            layout.terminations.push_back(end);
        }
    }
    return layout;
}

namespace {

void DrawShuntCapacitor(QPainter& p, int x) {
    p.drawLine(x, LineY, x, ShuntPlateTop);
    p.drawLine(x, ShuntPlateTop + PlateGap, x, RailY);
    for (int dy : {0, 1}) {
        p.drawLine(x - SymbolHalf, ShuntPlateTop + dy, x + SymbolHalf, ShuntPlateTop + dy);
        p.drawLine(x - SymbolHalf, ShuntPlateTop + PlateGap - dy, x + SymbolHalf,
                   ShuntPlateTop + PlateGap - dy);
    }
    p.setBrush(Qt::black);
    p.drawEllipse(QPoint(x, LineY), 2, 2);
    p.drawEllipse(QPoint(x, RailY), 2, 2);
    p.setBrush(Qt::NoBrush);
}

void DrawSeriesCapacitor(QPainter& p, int x) {
    const int half = PlateGap / 2;
    p.setPen(Qt::white);
    p.drawLine(x - half + 1, LineY, x + half - 1, LineY);
    p.setPen(Qt::black);
    for (int dx : {0, 1}) {
        p.drawLine(x - half - dx, LineY - SeriesHalfHeight, x - half - dx,
                   LineY + SeriesHalfHeight);
        p.drawLine(x + half + dx, LineY - SeriesHalfHeight, x + half + dx,
                   LineY + SeriesHalfHeight);
    }
}

// The quartz resonator: an electrode plate on each side of the crystal body.
void DrawCrystal(QPainter& p, int x) {
    p.setPen(Qt::white);
    p.drawLine(x - SymbolHalf + 1, LineY, x + SymbolHalf - 1, LineY);
    p.setPen(Qt::black);
    const int plate = CrystalHalfHeight - 2;
    p.drawLine(x - SymbolHalf + 1, LineY - plate, x - SymbolHalf + 1, LineY + plate);
    p.drawLine(x + SymbolHalf - 1, LineY - plate, x + SymbolHalf - 1, LineY + plate);
    p.drawRect(x - 3, LineY - CrystalHalfHeight, 6, 2 * CrystalHalfHeight);
}

void DrawResistor(QPainter& p, int x) {
    p.drawLine(x, LineY, x, ResistorTop);
    p.drawRect(x - ResistorHalf, ResistorTop, 2 * ResistorHalf, ResistorBottom - ResistorTop);
    p.drawLine(x, ResistorBottom, x, RailY);
    p.setBrush(Qt::black);
    p.drawEllipse(QPoint(x, LineY), 2, 2);
    p.drawEllipse(QPoint(x, RailY), 2, 2);
    p.setBrush(Qt::NoBrush);
}

void DrawTerminal(QPainter& p, int x, int y) {
    p.setBrush(Qt::white);
    p.drawEllipse(QPoint(x, y), 3, 3);
    p.setBrush(Qt::NoBrush);
}

void DrawGround(QPainter& p, int x) {
    p.drawLine(x, RailY, x, RailY + 7);
    p.drawLine(x - 7, RailY + 7, x + 7, RailY + 7);
    p.drawLine(x - 4, RailY + 10, x + 4, RailY + 10);
    p.drawLine(x - 1, RailY + 13, x + 1, RailY + 13);
}

}  // namespace

QImage DrawSchematic(int circuit, qreal pixelRatio, bool terminations) {
    const SchematicLayout layout = LayoutSchematic(circuit, terminations);
    if (layout.width == 0) return QImage();
    QImage image(qRound(layout.width * pixelRatio), qRound(layout.height * pixelRatio),
                 QImage::Format_RGB32);
    image.setDevicePixelRatio(pixelRatio);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(Qt::black, 1));

    // The signal line and the rail first; the symbols cut the line where they sit.
    p.drawLine(layout.inputX + 3, LineY, layout.outputX - 3, LineY);
    p.drawLine(layout.inputX + 3, RailY, layout.outputX - 3, RailY);
    DrawTerminal(p, layout.inputX, LineY);
    DrawTerminal(p, layout.inputX, RailY);
    DrawTerminal(p, layout.outputX, LineY);
    DrawTerminal(p, layout.outputX, RailY);
    DrawGround(p, (layout.elements.front().x + layout.elements[1].x) / 2);

    p.setFont(LabelFont());
    for (const SchematicElement& element : layout.elements) {
        switch (element.part) {
            case SchematicPart::ShuntCapacitor:
                DrawShuntCapacitor(p, element.x);
                break;
            case SchematicPart::SeriesCapacitor:
                DrawSeriesCapacitor(p, element.x);
                break;
            case SchematicPart::Crystal:
                DrawCrystal(p, element.x);
                break;
            case SchematicPart::Termination:
                break;
        }
        p.drawText(element.labelRect, Qt::AlignCenter, element.label);
    }
    for (const SchematicElement& end : layout.terminations) {
        DrawResistor(p, end.x);
        p.drawText(end.labelRect, Qt::AlignCenter, end.label);
    }
    p.end();
    return image;
}

QImage DrawAuthorsMark(int width, int height, qreal pixelRatio) {
    QImage image(qRound(width * pixelRatio), qRound(height * pixelRatio), QImage::Format_RGB32);
    image.setDevicePixelRatio(pixelRatio);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    QLinearGradient shade(0, 0, 0, height);
    shade.setColorAt(0, QColor(236, 236, 236));
    shade.setColorAt(1, QColor(176, 176, 176));
    const QRect area(0, 0, width, height);
    p.fillRect(area, shade);
    p.setPen(QColor(96, 96, 96));
    p.drawRect(area.adjusted(0, 0, -1, -1));
    p.setPen(Qt::white);
    p.drawLine(1, 1, width - 2, 1);
    p.drawLine(1, 1, 1, height - 2);

    // A crystal between two electrodes, the program's emblem.
    const int cx = 22;
    const int cy = height / 2;
    p.setPen(QPen(QColor(64, 64, 64), 2));
    p.drawLine(cx - 16, cy, cx - 9, cy);
    p.drawLine(cx + 9, cy, cx + 16, cy);
    p.drawLine(cx - 9, cy - 10, cx - 9, cy + 10);
    p.drawLine(cx + 9, cy - 10, cx + 9, cy + 10);
    p.setBrush(QColor(200, 200, 200));
    p.setPen(QPen(QColor(64, 64, 64), 1.5));
    p.drawRect(QRectF(cx - 5, cy - 13, 10, 26));

    // The name, engraved: a light copy one pixel below the dark one.
    QFont name(QStringLiteral("Arial"));
    name.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans")});
    name.setPixelSize(19);
    name.setBold(true);
    name.setLetterSpacing(QFont::AbsoluteSpacing, 2);
    name.setStyleStrategy(QFont::NoSubpixelAntialias);
    p.setFont(name);
    const QRect nameRect(44, 3, width - 48, 24);
    p.setPen(Qt::white);
    p.drawText(nameRect.translated(1, 1), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("FELDAN"));
    p.setPen(QColor(72, 72, 72));
    p.drawText(nameRect, Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("FELDAN"));

    QFont small(QStringLiteral("Arial"));
    small.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans")});
    small.setPixelSize(10);
    small.setStyleStrategy(QFont::NoSubpixelAntialias);
    p.setFont(small);
    p.setPen(QColor(88, 88, 88));
    p.drawText(QRect(45, 26, width - 48, 14), Qt::AlignLeft | Qt::AlignVCenter,
               QCoreApplication::translate("feldan::Schematic", "кварцевые фильтры"));
    p.end();
    return image;
}

}  // namespace feldan
