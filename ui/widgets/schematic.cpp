#include "ui/widgets/schematic.h"

#include <QCoreApplication>
#include <QFont>
#include <QFontMetrics>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <optional>

#include "circuit/generated_ladders.h"
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

QFont LabelFont() {
    QFont font(QStringLiteral("Arial"));
    font.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(11);
    // Grey-scale edges only: the picture stays black on white.
    font.setStyleStrategy(QFont::NoSubpixelAntialias);
    return font;
}

bool IsClassic(int circuit) {
    return circuit >= 1 && circuit <= int(SchematicWidths.size());
}

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

}  // namespace

QString CkHint(int circuit) {
    if (!IsCwCircuit(circuit)) return QString();
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
    if (IsCwCircuit(circuit))
        hint += QCoreApplication::translate("feldan::Schematic", "; Ck уже в её конденсаторах");
    return hint;
}

SchematicLayout LayoutSchematic(int circuit, bool terminations) {
    const SchematicDrawing drawing = DrawingOfSchematic(circuit, terminations);
    SchematicLayout layout;
    layout.width = drawing.width;
    if (layout.width == 0) return layout;
    layout.lineY = drawing.lineY;
    layout.railY = drawing.railY;
    layout.inputX = drawing.inputX;
    layout.outputX = drawing.outputX;
    const QFontMetrics metrics(LabelFont());
    const auto element = [&](const SchematicSymbol& symbol) {
        SchematicElement placed{symbol.part, QString::fromStdString(symbol.label), symbol.x,
                                QRect(symbol.left, symbol.top, symbol.width, symbol.height),
                                QRect()};
        if (symbol.part == SchematicPart::Termination)
            placed.label = symbol.input ? QCoreApplication::translate("feldan::Schematic", "Rвх")
                                        : QCoreApplication::translate("feldan::Schematic", "Rвых");
        const int width = metrics.horizontalAdvance(placed.label);
        const int height = metrics.tightBoundingRect(placed.label).height() + 2;
        const int left = symbol.align == LabelAlign::Start    ? symbol.labelX
                         : symbol.align == LabelAlign::Middle ? symbol.labelX - width / 2
                                                              : symbol.labelX - width;
        const int top = symbol.edge == LabelEdge::Top ? symbol.labelY : symbol.labelY - height + 1;
        placed.labelRect = QRect(left, top, width, height);
        return placed;
    };
    for (const SchematicSymbol& symbol : drawing.symbols)
        layout.elements.push_back(element(symbol));
    for (const SchematicSymbol& end : drawing.terminations)
        layout.terminations.push_back(element(end));
    return layout;
}

QImage DrawSchematic(int circuit, qreal pixelRatio, bool terminations) {
    const SchematicDrawing drawing = DrawingOfSchematic(circuit, terminations);
    if (drawing.width == 0) return QImage();
    QImage image(qRound(drawing.width * pixelRatio), qRound(drawing.height * pixelRatio),
                 QImage::Format_RGB32);
    image.setDevicePixelRatio(pixelRatio);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, false);
    for (const SchematicStroke& stroke : drawing.strokes) {
        p.setPen(QPen(stroke.white ? Qt::white : Qt::black, 1));
        switch (stroke.kind) {
            case SchematicStroke::Kind::Line:
                p.drawLine(stroke.x1, stroke.y1, stroke.x2, stroke.y2);
                break;
            case SchematicStroke::Kind::Rectangle:
                p.setBrush(Qt::NoBrush);
                p.drawRect(stroke.x1, stroke.y1, stroke.x2 - stroke.x1, stroke.y2 - stroke.y1);
                break;
            case SchematicStroke::Kind::Circle:
                p.setBrush(stroke.filled ? Qt::black : Qt::white);
                p.drawEllipse(QPoint(stroke.x1, stroke.y1), stroke.r, stroke.r);
                break;
        }
    }
    p.setPen(Qt::black);
    p.setFont(LabelFont());
    const SchematicLayout layout = LayoutSchematic(circuit, terminations);
    for (const auto* list : {&layout.elements, &layout.terminations}) {
        for (const SchematicElement& element : *list)
            p.drawText(element.labelRect, Qt::AlignCenter, element.label);
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
