// The window's building blocks on their own: schematic pictures, the response chart, the key
// rules and the locale helpers.
#include <QChart>
#include <QKeyEvent>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QLocale>
#include <QSignalSpy>
#include <QTest>
#include <QTime>
#include <QValueAxis>
#include <cmath>
#include <vector>

#include "engine/synthesis.h"
#include "ui/common/key_rules.h"
#include "ui/common/ui_text.h"
#include "ui/main/main_window.h"
#include "ui/widgets/response_chart.h"
#include "ui/widgets/schematic.h"

using feldan::CurvePoint;
using feldan::SchematicPart;

namespace {

bool IsDark(QRgb pixel) {
    return qGray(pixel) < 128;
}

int DarkPixels(const QImage& image, const QRect& area) {
    int count = 0;
    const QRect inside = area.intersected(image.rect());
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        for (int x = inside.left(); x <= inside.right(); ++x)
            count += IsDark(image.pixel(x, y));
    }
    return count;
}

std::vector<CurvePoint> Ramp(double from, double to, int count, double y0, double slope) {
    std::vector<CurvePoint> points;
    for (int i = 0; i < count; ++i) {
        const double x = from + (to - from) * i / (count - 1);
        points.push_back({x, y0 + slope * x});
    }
    return points;
}

}  // namespace

class WidgetsTest : public QObject {
    Q_OBJECT

  private slots:
    void schematicsListTheirElements_data();
    void schematicsListTheirElements();
    void schematicLayoutKeepsEverythingApart_data();
    void schematicLayoutKeepsEverythingApart();
    void schematicPicturesAreBlackOnWhite_data();
    void schematicPicturesAreBlackOnWhite();
    void unknownTopologyHasNoPicture();
    void terminationsStandApartAtBothEnds();
    void authorsMarkIsGreyScale();

    void chartHasFiveColouredSeries();
    void chartAxesAndLegend();
    void curveGoesIntoAnEmptySeriesAsGiven();
    void curveMergesWithPointsHeld();
    void unsortedCurveIsSorted();
    void emptyOrMisplacedCurveChangesNothing();
    void axesFollowTheData();
    void rightClickShowsTheWholeViewAgain();
    void niceTickIntervals_data();
    void niceTickIntervals();
    void labelDecimals_data();
    void labelDecimals();
    void axisLabelsFollowTheTickStep();

    void typedCharacters_data();
    void typedCharacters();
    void characterRules_data();
    void characterRules();

    void numbersAreNeverGrouped();
    void chartAxesStayReadable();
    void decimalSeparatorOfLocales_data();
    void decimalSeparatorOfLocales();
    void longTimeHasSecondsAndNoZone_data();
    void longTimeHasSecondsAndNoZone();
};

void WidgetsTest::schematicsListTheirElements_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("elements");
    QTest::addColumn<int>("width");
    // Series elements in brackets, everything else shunt to the rail.
    QTest::newRow("3-crystal") << 1 << "C1 [ZQ1] C2 [ZQ2] C3 [ZQ3] C4" << 170;
    QTest::newRow("4-crystal") << 2 << "C1 [ZQ1] C2 [ZQ2] C3 [ZQ3] C4 [ZQ4] C5" << 202;
    QTest::newRow("6-crystal") << 3
                               << "C1 [ZQ1] C2 [ZQ2] C3 [ZQ3] C4 [C5] C6 [ZQ4] C7 [ZQ5] C8 [ZQ6] C9"
                               << 306;
    QTest::newRow("8-crystal")
        << 4
        << "C1 [ZQ1] C2 [ZQ2] C3 [ZQ3] C4 [C5] C6 [ZQ4] C7 [ZQ5] C8 [C9] C10 "
           "[ZQ6] C11 [ZQ7] C12 [ZQ8] C13"
        << 406;
    QTest::newRow("4CW") << 5 << "C1 [ZQ1] C2 [ZQ2] C3 [C4] C5 [ZQ3] C6 [ZQ4] C7" << 240;
    QTest::newRow("6CW") << 6
                         << "C1 [ZQ1] C2 [ZQ2] C3 [C4] C5 [ZQ3] C6 [ZQ4] C7 [C8] C9 [ZQ5] C10 "
                            "[ZQ6] C11"
                         << 340;
    QTest::newRow("8CW") << 7
                         << "C1 [ZQ1] C2 [ZQ2] C3 [C4] C5 [ZQ3] C6 [ZQ4] C7 [C8] C9 [ZQ5] C10 "
                            "[ZQ6] C11 [C12] C13 [ZQ7] C14 [ZQ8] C15"
                         << 440;
}

void WidgetsTest::schematicsListTheirElements() {
    QFETCH(int, type);
    QFETCH(QString, elements);
    QFETCH(int, width);
    const feldan::SchematicLayout layout = feldan::LayoutSchematic(type);
    QCOMPARE(layout.width, width);
    QCOMPARE(layout.height, 105);
    QStringList listed;
    for (const feldan::SchematicElement& element : layout.elements) {
        const bool series = element.part != SchematicPart::ShuntCapacitor;
        listed.append(series ? QStringLiteral("[%1]").arg(element.label) : element.label);
        QCOMPARE(element.part == SchematicPart::Crystal,
                 element.label.startsWith(QLatin1String("ZQ")));
    }
    QCOMPARE(listed.join(QLatin1Char(' ')), elements);
}

void WidgetsTest::schematicLayoutKeepsEverythingApart_data() {
    QTest::addColumn<int>("type");
    for (int type = 1; type <= 7; ++type)
        QTest::addRow("type %d", type) << type;
}

void WidgetsTest::schematicLayoutKeepsEverythingApart() {
    QFETCH(int, type);
    const feldan::SchematicLayout layout = feldan::LayoutSchematic(type);
    const QRect picture(0, 0, layout.width, layout.height);
    QVERIFY(layout.inputX < layout.elements.front().x);
    QVERIFY(layout.outputX > layout.elements.back().x);
    QVERIFY(layout.lineY < layout.railY);
    int previousX = layout.inputX;
    for (size_t i = 0; i < layout.elements.size(); ++i) {
        const feldan::SchematicElement& a = layout.elements[i];
        QVERIFY2(picture.contains(a.labelRect), qPrintable(a.label));
        QVERIFY2(picture.contains(a.body), qPrintable(a.label));
        QVERIFY2(a.x > previousX, qPrintable(a.label));  // left to right, in list order
        previousX = a.x;
        if (a.part == SchematicPart::ShuntCapacitor) {
            // From the signal line down to the rail.
            QCOMPARE(a.body.top(), layout.lineY);
            QCOMPARE(a.body.bottom(), layout.railY);
        } else {
            QVERIFY(a.body.top() < layout.lineY && a.body.bottom() > layout.lineY);
        }
        for (size_t j = 0; j < layout.elements.size(); ++j) {
            const feldan::SchematicElement& b = layout.elements[j];
            if (i == j) continue;
            QVERIFY2(!a.labelRect.intersects(b.labelRect),
                     qPrintable(a.label + QStringLiteral(" / ") + b.label));
            // A label never covers another element's symbol; a shunt symbol's box spans its
            // whole lead, so only its plate region counts.
            QRect symbol = b.body;
            if (b.part == SchematicPart::ShuntCapacitor) {
                symbol = QRect(b.body.left(), 50, b.body.width(), 12);
            }
            QVERIFY2(!a.labelRect.intersects(symbol),
                     qPrintable(a.label + QStringLiteral(" over ") + b.label));
        }
    }
}

void WidgetsTest::schematicPicturesAreBlackOnWhite_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<double>("ratio");  // device pixels per pixel of the screen
    for (int type = 1; type <= 7; ++type) {
        for (double ratio : {1.0, 1.5, 2.0})
            QTest::addRow("type %d at %g", type, ratio) << type << ratio;
    }
}

void WidgetsTest::schematicPicturesAreBlackOnWhite() {
    QFETCH(int, type);
    QFETCH(double, ratio);
    const QImage image = feldan::DrawSchematic(type, ratio);
    const feldan::SchematicLayout layout = feldan::LayoutSchematic(type);
    // As many device pixels as the screen has, shown at the picture's size in the window.
    QCOMPARE(image.size(), QSize(qRound(layout.width * ratio), qRound(105 * ratio)));
    QCOMPARE(image.devicePixelRatio(), ratio);
    const auto device = [ratio](const QRect& area) {
        return QRectF(area.x() * ratio, area.y() * ratio, area.width() * ratio,
                      area.height() * ratio)
            .toAlignedRect();
    };
    int white = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            QVERIFY(qRed(pixel) == qGreen(pixel) && qGreen(pixel) == qBlue(pixel));
            white += pixel == qRgb(255, 255, 255);
        }
    }
    QVERIFY(white > image.width() * image.height() * 3 / 4);
    // Every label and every symbol leaves ink where the layout puts it.
    for (const feldan::SchematicElement& element : layout.elements) {
        QVERIFY2(DarkPixels(image, device(element.labelRect)) >= 6 * ratio * ratio,
                 qPrintable(element.label));
        QVERIFY2(DarkPixels(image, device(element.body)) >= 10 * ratio, qPrintable(element.label));
    }
    // The common rail runs from terminal to terminal.
    const QRect rail = device(QRect(layout.inputX + 4, layout.railY, 1, 1));
    for (int x = layout.inputX + 4; x <= layout.outputX - 4; ++x) {
        QVERIFY(DarkPixels(image, QRect(qRound(x * ratio), rail.y(), 1, rail.height())) > 0);
    }
    // Nothing stands on the signal line inside a crystal's body.
    for (const feldan::SchematicElement& element : layout.elements) {
        if (element.part == SchematicPart::Crystal) {
            QCOMPARE(DarkPixels(image, device(QRect(element.x, layout.lineY, 1, 1))), 0);
        }
    }
    QVERIFY(!feldan::SchematicHint(type).isEmpty());
}

void WidgetsTest::unknownTopologyHasNoPicture() {
    for (int type : {0, 8, -1, 99}) {
        QVERIFY(feldan::DrawSchematic(type).isNull());
        QVERIFY(feldan::LayoutSchematic(type).elements.empty());
        QVERIFY(feldan::SchematicHint(type).isEmpty());
    }
}

// Rвх and Rвых across the terminals, for a classic ladder and a generated one of twelve: each
// inside the picture, its label clear of every other label and symbol, and drawn.
void WidgetsTest::terminationsStandApartAtBothEnds() {
    for (const int circuit : {2, feldan::CircuitOfDesign({{}, 14, 1})}) {
        const feldan::SchematicLayout layout = feldan::LayoutSchematic(circuit, true);
        const QImage image = feldan::DrawSchematic(circuit, 1, true);
        QCOMPARE(layout.terminations.size(), std::size_t(2));
        QVERIFY(layout.terminations[0].x > layout.inputX);
        QVERIFY(layout.terminations[0].x < layout.elements.front().x);
        QVERIFY(layout.terminations[1].x < layout.outputX);
        QVERIFY(layout.terminations[1].x > layout.elements.back().x);
        for (const feldan::SchematicElement& end : layout.terminations) {
            QVERIFY(QRect(0, 0, layout.width, layout.height).contains(end.labelRect));
            QVERIFY(DarkPixels(image, end.labelRect) >= 6);
            QVERIFY(DarkPixels(image, end.body) >= 20);
            for (const feldan::SchematicElement& other : layout.elements) {
                QVERIFY2(!end.labelRect.intersects(other.labelRect), qPrintable(other.label));
                QVERIFY2(!end.labelRect.intersects(other.body), qPrintable(other.label));
                // A little air between the resistor and its neighbours, their labels included.
                const QRect around = end.body.adjusted(-3, 0, 3, 0);
                QVERIFY2(!around.intersects(other.body), qPrintable(other.label));
                QVERIFY2(!around.intersects(other.labelRect), qPrintable(other.label));
            }
        }
        // Without them, the picture is the one it always was.
        QCOMPARE(feldan::DrawSchematic(circuit), feldan::DrawSchematic(circuit, 1, false));
        QVERIFY(feldan::LayoutSchematic(circuit).terminations.empty());
    }
}

void WidgetsTest::authorsMarkIsGreyScale() {
    const QImage mark = feldan::DrawAuthorsMark(160, 43);
    QCOMPARE(mark.size(), QSize(160, 43));
    int dark = 0;
    for (int y = 0; y < mark.height(); ++y) {
        for (int x = 0; x < mark.width(); ++x) {
            const QRgb pixel = mark.pixel(x, y);
            QVERIFY(qRed(pixel) == qGreen(pixel) && qGreen(pixel) == qBlue(pixel));
            dark += qGray(pixel) < 110;
        }
    }
    QVERIFY(dark > 100);
}

void WidgetsTest::chartHasFiveColouredSeries() {
    feldan::ChartModel model;
    feldan::ResponseChart chart(model);
    const QColor colours[] = {QColor(255, 0, 0), QColor(0, 128, 0), QColor(0, 0, 255),
                              QColor(255, 0, 255), QColor(64, 0, 0)};
    for (int i = 0; i < feldan::SeriesCount; ++i) {
        QLineSeries* series = chart.Series(i);
        QVERIFY(series != nullptr);
        QCOMPARE(series->objectName(), QStringLiteral("Series%1").arg(i + 1));
        QCOMPARE(series->name(), QString::fromUtf8("АЧХ%1").arg(i + 1));
        QCOMPARE(series->pen().color(), colours[i]);
        QVERIFY(!series->pointsVisible());
        QVERIFY(!series->pointLabelsVisible());
        QCOMPARE(series->count(), 0);
    }
    QVERIFY(chart.Series(5) == nullptr);
    QVERIFY(chart.Series(-1) == nullptr);
}

void WidgetsTest::chartAxesAndLegend() {
    feldan::ChartModel model;
    feldan::ResponseChart chart(model);
    QCOMPARE(chart.AxisX()->titleText(), QString::fromUtf8("Расстройка относительно Fo (кГц)"));
    QCOMPARE(chart.AxisY()->titleText(), QString::fromUtf8("Затухание (дБ)"));
    QCOMPARE(chart.AxisX()->minorTickCount(), 0);
    QVERIFY(chart.AxisX()->titleFont().bold());
    QCOMPARE(chart.AxisX()->titleFont().pixelSize(), 12);
    QCOMPARE(chart.AxisX()->labelsFont().pixelSize(), 11);
    QCOMPARE(chart.chart()->legend()->alignment(), Qt::AlignTop);
    QVERIFY(chart.LegendVisible());
    // The legend names only the curves drawn: none yet, then the one given.
    const auto shownMarkers = [&] {
        int shown = 0;
        for (const QLegendMarker* marker : chart.chart()->legend()->markers())
            shown += marker->isVisible() ? 1 : 0;
        return shown;
    };
    QCOMPARE(shownMarkers(), 0);
    const std::vector<feldan::CurvePoint> curve = {{0, -3}, {1, -1}};
    model.AddCurve(2, curve);
    QCOMPARE(shownMarkers(), 1);
    model.ClearCurve(2);
    QCOMPARE(shownMarkers(), 0);
    model.SetLegendVisible(false);
    QVERIFY(!chart.LegendVisible());
    QCOMPARE(chart.rubberBand(), QChartView::RectangleRubberBand);
    QCOMPARE(chart.focusPolicy(), Qt::NoFocus);
    // Light yellow at the bottom of the background, white at the top.
    const QBrush background = chart.chart()->backgroundBrush();
    QVERIFY(background.gradient() != nullptr);
    const QGradientStops stops = background.gradient()->stops();
    QCOMPARE(stops.front().second, QColor(Qt::white));
    QCOMPARE(stops.back().second, QColor(255, 255, 128));
}

void WidgetsTest::curveGoesIntoAnEmptySeriesAsGiven() {
    feldan::ChartModel model;
    feldan::ResponseChart chart(model);
    const std::vector<CurvePoint> points = Ramp(0.5, 3.0, 2501, -4, 1);
    QSignalSpy replaced(chart.Series(2), &QXYSeries::pointsReplaced);
    model.AddCurve(2, points);
    QCOMPARE(replaced.count(), 1);
    QCOMPARE(chart.Series(2)->count(), qsizetype(points.size()));
    const QList<QPointF> held = chart.Series(2)->points();
    for (size_t i = 0; i < points.size(); ++i) {
        QCOMPARE(held[qsizetype(i)].x(), points[i].x);
        QCOMPARE(held[qsizetype(i)].y(), points[i].y);
    }
    QCOMPARE(chart.Series(0)->count(), 0);
}

void WidgetsTest::curveMergesWithPointsHeld() {
    feldan::ChartModel model;
    feldan::ResponseChart chart(model);
    const std::vector<CurvePoint> first = {{0.1, -5}, {0.3, -4}, {0.5, -3}};
    const std::vector<CurvePoint> second = {{0.0, -9}, {0.2, -8}, {0.4, -7}, {0.6, -6}};
    model.AddCurve(0, first);
    QSignalSpy replaced(chart.Series(0), &QXYSeries::pointsReplaced);
    model.AddCurve(0, second);
    QCOMPARE(replaced.count(), 1);
    const QList<QPointF> held = chart.Series(0)->points();
    QCOMPARE(held.size(), 7);
    const double xs[] = {0.0, 0.1, 0.2, 0.3, 0.4, 0.5, 0.6};
    const double ys[] = {-9, -5, -8, -4, -7, -3, -6};
    for (int i = 0; i < 7; ++i) {
        QCOMPARE(held[i].x(), xs[i]);
        QCOMPARE(held[i].y(), ys[i]);
    }
}

void WidgetsTest::unsortedCurveIsSorted() {
    feldan::ChartModel model;
    feldan::ResponseChart chart(model);
    const std::vector<CurvePoint> points = {{0.3, -1}, {0.1, -2}, {0.2, -3}, {0.1, -4}};
    model.AddCurve(1, points);
    const QList<QPointF> held = chart.Series(1)->points();
    QCOMPARE(held.size(), 4);
    for (qsizetype i = 1; i < held.size(); ++i)
        QVERIFY(held[i].x() >= held[i - 1].x());
    // Equal x keep their order.
    QCOMPARE(held[0].y(), -2.0);
    QCOMPARE(held[1].y(), -4.0);
}

void WidgetsTest::emptyOrMisplacedCurveChangesNothing() {
    feldan::ChartModel model;
    feldan::ResponseChart chart(model);
    const std::vector<CurvePoint> points = {{0.1, -1}, {0.2, -2}};
    model.AddCurve(0, points);
    model.AddCurve(0, std::span<const CurvePoint>());
    QCOMPARE(chart.Series(0)->count(), 2);
    model.AddCurve(5, points);
    model.AddCurve(-1, points);
    model.ClearCurve(7);
    for (int i = 1; i < feldan::SeriesCount; ++i)
        QCOMPARE(chart.Series(i)->count(), 0);
    QCOMPARE(chart.Series(0)->count(), 2);
}

void WidgetsTest::axesFollowTheData() {
    feldan::ChartModel model;
    feldan::ResponseChart chart(model);
    model.AddCurve(0, Ramp(0.596, 3.138, 200, -4, 1));
    QCOMPARE(chart.AxisX()->min(), 0.596);
    QCOMPARE(chart.AxisX()->max(), 3.138);
    QVERIFY(chart.AxisY()->min() <= -4 + 0.596);
    QVERIFY(chart.AxisY()->max() >= -4 + 3.138);
    QVERIFY(chart.AxisY()->max() - chart.AxisY()->min() < 3.2);
    model.AddCurve(3, Ramp(-1.0, 0.5, 50, -20, 0));
    QCOMPARE(chart.AxisX()->min(), -1.0);
    QCOMPARE(chart.AxisX()->max(), 3.138);
    QVERIFY(chart.AxisY()->min() <= -20);
    model.ClearCurve(3);
    QCoreApplication::processEvents();
    QCOMPARE(chart.AxisX()->min(), 0.596);
    QVERIFY(chart.AxisY()->min() > -4);
    // A single point still gets a range with some width.
    model.ClearCurve(0);
    QCoreApplication::processEvents();
    QCOMPARE(chart.AxisX()->min(), 0.0);  // nothing left: the empty view
    QCOMPARE(chart.AxisX()->max(), 1.0);
    const std::vector<CurvePoint> one = {{1.0, -2.0}};
    model.AddCurve(4, one);
    QVERIFY(chart.AxisX()->min() < 1.0 && chart.AxisX()->max() > 1.0);
    QVERIFY(chart.AxisY()->min() < -2.0 && chart.AxisY()->max() > -2.0);
}

void WidgetsTest::rightClickShowsTheWholeViewAgain() {
    feldan::ChartModel model;
    feldan::ResponseChart chart(model);
    chart.resize(613, 405);
    chart.show();
    QVERIFY(QTest::qWaitForWindowExposed(&chart));
    model.AddCurve(0, Ramp(0.0, 2.0, 400, -5, 1));
    const double minX = chart.AxisX()->min();
    const double maxX = chart.AxisX()->max();
    const QRectF plot = chart.chart()->plotArea();
    // Drag a rectangle over the middle of the plot: the view zooms in on it.
    const QPoint from = chart.mapFromScene(
        chart.chart()->mapToScene(plot.topLeft() + QPointF(plot.width() / 4, plot.height() / 4)));
    const QPoint to = chart.mapFromScene(chart.chart()->mapToScene(
        plot.topLeft() + QPointF(plot.width() * 3 / 4, plot.height() * 3 / 4)));
    QTest::mousePress(chart.viewport(), Qt::LeftButton, Qt::NoModifier, from);
    QTest::mouseMove(chart.viewport(), (from + to) / 2);
    QTest::mouseMove(chart.viewport(), to);
    QTest::mouseRelease(chart.viewport(), Qt::LeftButton, Qt::NoModifier, to);
    QVERIFY(chart.AxisX()->max() - chart.AxisX()->min() < (maxX - minX) * 0.75);
    QVERIFY(chart.AxisX()->min() > minX);
    QTest::mouseClick(chart.viewport(), Qt::RightButton, Qt::NoModifier, plot.center().toPoint());
    QCOMPARE(chart.AxisX()->min(), minX);
    QCOMPARE(chart.AxisX()->max(), maxX);
}

void WidgetsTest::niceTickIntervals_data() {
    QTest::addColumn<double>("span");
    QTest::addColumn<double>("smallest");
    QTest::addColumn<double>("expected");
    // About eight steps, of 1, 2 or 5 times a power of ten.
    QTest::newRow("band of 2.5 kHz") << 2.542 << 0.001 << 0.5;
    QTest::newRow("band of 8 kHz") << 8.0 << 0.001 << 1.0;
    QTest::newRow("small span") << 0.012 << 0.001 << 0.002;
    QTest::newRow("below the smallest step") << 0.0004 << 0.001 << 0.001;
    QTest::newRow("attenuation of 3 dB") << 3.1 << 0.1 << 0.5;
    QTest::newRow("attenuation of 60 dB") << 60.0 << 0.1 << 10.0;
    QTest::newRow("flat attenuation") << 0.05 << 0.1 << 0.1;
    QTest::newRow("no span") << 0.0 << 0.1 << 0.1;
    QTest::newRow("not a number") << std::nan("") << 0.001 << 0.001;
    QTest::newRow("infinite") << HUGE_VAL << 0.001 << 0.001;
}

void WidgetsTest::niceTickIntervals() {
    QFETCH(double, span);
    QFETCH(double, smallest);
    QFETCH(double, expected);
    const double interval = feldan::NiceTickInterval(span, 8, smallest);
    QVERIFY2(std::abs(interval - expected) <= expected * 1e-12,
             qPrintable(QString::number(interval)));
}

void WidgetsTest::labelDecimals_data() {
    QTest::addColumn<double>("interval");
    QTest::addColumn<int>("most");
    QTest::addColumn<int>("expected");
    QTest::newRow("whole steps keep one decimal") << 1.0 << 3 << 1;
    QTest::newRow("ten") << 10.0 << 2 << 1;
    QTest::newRow("half") << 0.5 << 3 << 1;
    QTest::newRow("tenth") << 0.1 << 3 << 1;
    QTest::newRow("fifth") << 0.2 << 3 << 1;
    QTest::newRow("twentieth") << 0.05 << 3 << 2;
    QTest::newRow("hundredth") << 0.01 << 2 << 2;
    QTest::newRow("two thousandths") << 0.002 << 3 << 3;
    QTest::newRow("thousandth") << 0.001 << 3 << 3;
    QTest::newRow("beyond the most") << 0.0001 << 3 << 3;
    QTest::newRow("beyond the most of the attenuation") << 0.005 << 2 << 2;
    QTest::newRow("no step") << 0.0 << 2 << 2;
}

void WidgetsTest::labelDecimals() {
    QFETCH(double, interval);
    QFETCH(int, most);
    QFETCH(int, expected);
    QCOMPARE(feldan::LabelDecimals(interval, 1, most), expected);
}

void WidgetsTest::axisLabelsFollowTheTickStep() {
    feldan::ChartModel model;
    feldan::ResponseChart chart(model);
    model.AddCurve(0, Ramp(0.596, 3.138, 100, -4, 1));
    QCOMPARE(chart.AxisX()->tickInterval(), 0.5);
    QCOMPARE(chart.AxisX()->labelFormat(), QStringLiteral("%.1f"));
    model.ClearCurve(0);
    model.AddCurve(0, Ramp(0.100, 0.112, 100, -60, 2000));
    QCOMPARE(chart.AxisX()->labelFormat(), QStringLiteral("%.3f"));
    QCOMPARE(chart.AxisY()->labelFormat(), QStringLiteral("%.1f"));
}

void WidgetsTest::typedCharacters_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("expected");  // -1: the key types nothing
    const auto row = [](const char* tag, int key, Qt::KeyboardModifiers mods, const char* text,
                        int expected) {
        QTest::newRow(tag) << key << int(mods) << QString::fromLatin1(text) << expected;
    };
    row("digit", Qt::Key_5, Qt::NoModifier, "5", '5');
    row("keypad digit", Qt::Key_7, Qt::KeypadModifier, "7", '7');
    row("letter", Qt::Key_A, Qt::NoModifier, "a", 'a');
    row("shifted letter", Qt::Key_A, Qt::ShiftModifier, "A", 'A');
    row("backspace", Qt::Key_Backspace, Qt::NoModifier, "\b", 8);
    row("backspace without text", Qt::Key_Backspace, Qt::NoModifier, "", 8);
    row("enter", Qt::Key_Return, Qt::NoModifier, "\r", 13);
    row("keypad enter", Qt::Key_Enter, Qt::KeypadModifier, "\r", 13);
    row("ctrl+c", Qt::Key_C, Qt::ControlModifier, "c", 3);
    row("ctrl+c as control text", Qt::Key_C, Qt::ControlModifier, "\x03", 3);
    row("ctrl+v", Qt::Key_V, Qt::ControlModifier, "", 22);
    row("ctrl+x", Qt::Key_X, Qt::ControlModifier, "x", 24);
    row("ctrl+shift+v", Qt::Key_V, Qt::ControlModifier | Qt::ShiftModifier, "V", 22);
    row("escape", Qt::Key_Escape, Qt::NoModifier, "\x1b", 27);
    row("tab", Qt::Key_Tab, Qt::NoModifier, "\t", -1);
    row("left arrow", Qt::Key_Left, Qt::NoModifier, "", -1);
    row("delete", Qt::Key_Delete, Qt::NoModifier, "", -1);
    row("ctrl+left", Qt::Key_Left, Qt::ControlModifier, "", -1);
    row("shift+insert", Qt::Key_Insert, Qt::ShiftModifier, "", -1);
    row("alt+letter", Qt::Key_F, Qt::AltModifier, "f", -1);
}

void WidgetsTest::typedCharacters() {
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, text);
    QFETCH(int, expected);
    const QKeyEvent event(QEvent::KeyPress, key, Qt::KeyboardModifiers(modifiers), text);
    const std::optional<char16_t> typed = feldan::TypedCharacter(event);
    QCOMPARE(typed.has_value(), expected >= 0);
    if (typed) QCOMPARE(int(*typed), expected);
}

void WidgetsTest::characterRules_data() {
    QTest::addColumn<int>("character");
    QTest::addColumn<int>("number");  // KeyVerdict of the five number fields
    QTest::addColumn<int>("level");   // KeyVerdict of the level field
    const int pass = int(feldan::KeyVerdict::Pass);
    const int drop = int(feldan::KeyVerdict::Suppress);
    const int next = int(feldan::KeyVerdict::NextField);
    for (char digit = '0'; digit <= '9'; ++digit) {
        QTest::addRow("digit %c", digit) << int(digit) << pass << pass;
    }
    QTest::newRow("comma") << int(',') << pass << pass;
    QTest::newRow("point") << int('.') << pass << pass;
    QTest::newRow("minus") << int('-') << drop << pass;
    QTest::newRow("plus") << int('+') << drop << drop;
    QTest::newRow("exponent") << int('e') << drop << drop;
    QTest::newRow("capital exponent") << int('E') << drop << drop;
    QTest::newRow("space") << int(' ') << drop << drop;
    QTest::newRow("backspace") << 8 << pass << pass;
    QTest::newRow("enter") << 13 << next << drop;
    QTest::newRow("ctrl+c") << 3 << drop << drop;
    QTest::newRow("ctrl+v") << 22 << drop << drop;
    QTest::newRow("line feed") << 10 << drop << drop;
    QTest::newRow("delete character") << 127 << drop << drop;
    QTest::newRow("cyrillic letter") << 0x0431 << drop << drop;
    QTest::newRow("arabic decimal separator") << 0x066B << drop << drop;
}

void WidgetsTest::characterRules() {
    QFETCH(int, character);
    QFETCH(int, number);
    QFETCH(int, level);
    QCOMPARE(int(feldan::FilterNumberKey(char16_t(character))), number);
    QCOMPARE(int(feldan::FilterLevelKey(char16_t(character))), level);
}

// A lone notch does not stretch the attenuation axis down to it, and a range set from outside
// (as a dragged rectangle sets it) keeps enough labels to read.
void WidgetsTest::chartAxesStayReadable() {
    std::vector<double> stopBand(4001, -85.0);
    stopBand[2000] = -300;
    QCOMPARE(feldan::AttenuationFloor(stopBand), -105.0);
    QCOMPARE(feldan::AttenuationFloor(std::vector<double>(100, -200.0)), -120.0);
    feldan::ChartModel model;
    feldan::ResponseChart chart(model);
    chart.AxisX()->setRange(1.0, 1.05);
    const double labels =
        (chart.AxisX()->max() - chart.AxisX()->min()) / chart.AxisX()->tickInterval();
    QVERIFY2(labels >= 4, qPrintable(QString::number(labels)));
}

// A thousands separator reads as a decimal comma to a Russian reader: the windows' numbers take
// the desktop's decimal separator and no grouping, in every locale.
void WidgetsTest::numbersAreNeverGrouped() {
    const QLocale before;
    for (const auto& [locale, expected] :
         {std::pair{QLocale(QLocale::English, QLocale::UnitedStates), "2490.5"},
          std::pair{QLocale(QLocale::Russian, QLocale::Russia), "2490,5"},
          std::pair{QLocale(QLocale::German, QLocale::Germany), "2490,5"}}) {
        QLocale::setDefault(locale);
        QCOMPARE(feldan::LocaleNumber(2490.5, 5), QString::fromLatin1(expected));
        QCOMPARE(feldan::PlainNumber(2490.5, 1), QString::fromLatin1(expected));
    }
    QLocale::setDefault(before);
}

void WidgetsTest::decimalSeparatorOfLocales_data() {
    QTest::addColumn<QString>("locale");
    QTest::addColumn<char>("separator");
    QTest::newRow("Russian") << "ru_RU" << ',';
    QTest::newRow("German") << "de_DE" << ',';
    QTest::newRow("English") << "en_US" << '.';
    QTest::newRow("C") << "C" << '.';
    // A separator outside ASCII cannot be typed into the fields; the point stands in for it.
    QTest::newRow("Arabic") << "ar_EG" << '.';
}

void WidgetsTest::decimalSeparatorOfLocales() {
    QFETCH(QString, locale);
    QFETCH(char, separator);
    QCOMPARE(feldan::DecimalSeparatorOf(QLocale(locale)), separator);
}

void WidgetsTest::longTimeHasSecondsAndNoZone_data() {
    QTest::addColumn<QString>("locale");
    for (const char* name : {"C", "ru_RU", "en_US", "de_DE", "fr_FR", "ja_JP"}) {
        QTest::newRow(name) << QString::fromLatin1(name);
    }
}

void WidgetsTest::longTimeHasSecondsAndNoZone() {
    QFETCH(QString, locale);
    const QLocale where(locale);
    const QString text = feldan::LongTimeText(where, QTime(13, 4, 57));
    QVERIFY2(text.contains(QStringLiteral("57")), qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("04")) || text.contains(QStringLiteral("4")),
             qPrintable(text));
    for (const char* zone : {"UTC", "GMT", "CET", "MSK", "+0", "-0"}) {
        QVERIFY2(!text.contains(QString::fromLatin1(zone)), qPrintable(text));
    }
    QCOMPARE(text, text.trimmed());
    QVERIFY(!feldan::ShortDateText(where, QDate(2024, 3, 9)).isEmpty());
}

QTEST_MAIN(WidgetsTest)
#include "widgets_test.moc"
