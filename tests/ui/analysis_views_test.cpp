// The "Анализ" views: the chart of each quantity, the readout and the wheel zoom, the export of
// the shown view and the report.
#include <QAction>
#include <QChart>
#include <QComboBox>
#include <QFile>
#include <QFontMetrics>
#include <QImage>
#include <QLabel>
#include <QLegend>
#include <QLegendMarker>
#include <QRegularExpression>
#include <QTest>
#include <QValueAxis>
#include <cmath>

#include "engine/crystal.h"
#include "engine/design_run.h"
#include "engine/project.h"
#include "engine/sweep.h"
#include "ui/analysis/report_writer.h"
#include "ui/analysis/view_exporter.h"
#include "ui_test_support.h"

using feldan::AnalysisView;
using feldan::ResponseChart;
using feldan::testing::Utf8;
using feldan::testing::WindowUnderTest;

namespace {

// Where a value of the chart lies in its view's coordinates.
QPoint ViewPointOf(ResponseChart& chart, QPointF value) {
    const QPointF inChart = chart.chart()->mapToPosition(value);
    return chart.mapFromScene(chart.chart()->mapToScene(inChart));
}

// The names the legend shows.
QStringList LegendNames(const ResponseChart& chart) {
    QStringList names;
    for (const QLegendMarker* marker : chart.chart()->legend()->markers())
        if (marker->isVisible()) names.append(marker->label());
    return names;
}

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

class AnalysisViewsTest : public QObject {
    Q_OBJECT

  private slots:
    void eachViewFillsTheChart_data();
    void eachViewFillsTheChart();
    void wideBandIsTheAttenuationOfThePassBand();
    void wideBandMarksTheUnwantedPassBandOfASet();
    void readoutAndWheelZoomFollowTheCursor();
    void viewIsExported_data();
    void viewIsExported();
    void viewsShowTheFilterAsBuilt();
    void oneCalculationDesignsOnceWhateverIsShown();
    void reportHasFourPages();
    void timeViewsCompareTheOverlaidDesigns();
    void legendNamesOnlyTheCurvesDrawn();
    void reportNamesEachCurveOnce();
    void pictureCaptionWrapsWholeInputs();
    void narrowBandDelaysReadInMilliseconds();
    void impedanceIsScaledToThePassBand();
    void keyedDotsLastAFewTimesTheBandsPeriod();
};

void AnalysisViewsTest::eachViewFillsTheChart_data() {
    QTest::addColumn<QString>("action");
    QTest::addColumn<int>("points");
    QTest::addColumn<int>("curves");
    QTest::addColumn<QString>("yTitle");
    QTest::newRow("wide band") << "wideBandViewAction" << 4001 << 1 << Utf8("Затухание (дБ)");
    QTest::newRow("group delay") << "groupDelayViewAction" << 1001 << 1
                                 << Utf8("Групповая задержка (мкс)");
    QTest::newRow("return loss") << "returnLossViewAction" << 1001 << 1
                                 << Utf8("Возвратные потери (дБ)");
    QTest::newRow("impedance") << "impedanceViewAction" << 1001 << 2
                               << Utf8("Входное сопротивление (Ом)");
}

void AnalysisViewsTest::eachViewFillsTheChart() {
    QFETCH(QString, action);
    QFETCH(int, points);
    QFETCH(int, curves);
    QFETCH(QString, yTitle);
    WindowUnderTest w;
    auto* chart = w.Get<ResponseChart>("chart");
    w.form->CalculateDesign();
    const qsizetype passBandPoints = w.Series(0)->count();
    w.Get<QAction>(action.toLatin1().constData())->trigger();
    QVERIFY(!chart->ShowsPassBand());
    QCOMPARE(chart->AxisY()->titleText(), yTitle);
    QCOMPARE(chart->AxisX()->titleText(), Utf8("Расстройка относительно Fo (кГц)"));
    for (int i = 0; i < feldan::QuantitySeriesCount; ++i) {
        QCOMPARE(chart->QuantitySeries(i)->isVisible(), i < curves);
        QCOMPARE(chart->QuantitySeries(i)->count(), i < curves ? points : 0);
    }
    QVERIFY(!w.Series(0)->isVisible());
    QVERIFY(w.dialogs->errors.isEmpty());

    // Back to the pass band: its curve was kept all along.
    w.Get<QAction>("passBandViewAction")->trigger();
    QVERIFY(chart->ShowsPassBand());
    QVERIFY(w.Series(0)->isVisible());
    QCOMPARE(w.Series(0)->count(), passBandPoints);
    QCOMPARE(chart->AxisY()->titleText(), Utf8("Затухание (дБ)"));
}

// The wide-band curve is the pass-band curve's quantity: at points of the pass-band curve, a
// sweep of S21 gives the attenuation the calculation plotted, but for the calculation's level
// offset of a round 6 dB where the load voltage of a matched 1 V source is 20·log10(2) below.
void AnalysisViewsTest::wideBandIsTheAttenuationOfThePassBand() {
    WindowUnderTest w;
    w.form->CalculateDesign();
    const QList<QPointF> passBand = w.Series(0)->points();
    QVERIFY(passBand.size() > 100);
    const double offsetDb = 20 * std::log10(2.0) - 6;
    feldan::DesignedFilter filter =
        feldan::DesignFilter(w.form->Document().Design(), '.', feldan::CircuitChoice::Analysed);
    for (const qsizetype i : {qsizetype(0), passBand.size() / 3, passBand.size() - 1}) {
        feldan::SweepRequest request;
        request.fromDetuningHz = passBand[i].x() * 1000;
        request.toDetuningHz = passBand[i].x() * 1000 + 1;
        request.points = 2;
        const feldan::SweepResult sweep = feldan::SweepFilter(filter, request);
        QVERIFY(sweep.points[0].ok);
        QVERIFY2(
            std::abs(feldan::DecibelsOfS(sweep.points[0].s21) - offsetDb - passBand[i].y()) < 1e-6,
            qPrintable(QStringLiteral("at %1 kHz").arg(passBand[i].x())));
    }
    // Far from the band the ladder stops tens of dB more than at its edges.
    w.form->Views().ShowView(AnalysisView::WideBand);
    const QList<QPointF> wide = w.Get<ResponseChart>("chart")->QuantitySeries(0)->points();
    QCOMPARE(wide.size(), 4001);
    QVERIFY(wide.front().y() < passBand.front().y() - 20);
    QVERIFY(wide.back().y() < passBand.back().y() - 20);
}

// Eight crystals with a mode 20 kHz up: the wide band reaches it, and a stroke named as the
// summary names the band stands at the top of the curve there.
void AnalysisViewsTest::wideBandMarksTheUnwantedPassBandOfASet() {
    WindowUnderTest w;
    feldan::Project project;
    project.design.filterType = static_cast<int>(feldan::FilterType::Ladder8);
    project.design.texts.Df = "2400";
    for (int k = 0; k < 8; ++k) {
        auto crystal = feldan::CrystalFromSeriesResonance(9e6, 15e-3, 12, 3.5e-12);
        crystal.modes = {feldan::ModeFromSeriesResonance(9.02e6, 15e-3, 24)};
        project.crystals.push_back({"X" + std::to_string(k + 1), crystal});
        project.positions.push_back(k);
    }
    w.form->Document().Open(project, QString(), {});
    w.form->CalculateDesign();
    w.form->Views().ShowView(AnalysisView::WideBand);
    auto* chart = w.Get<ResponseChart>("chart");
    const QList<QPointF> wide = chart->QuantitySeries(0)->points();
    const QList<QPointF> mark = chart->QuantitySeries(1)->points();
    QCOMPARE(mark.size(), 2);
    QVERIFY(mark[0].x() > 18 && mark[0].x() < 25);
    QVERIFY(LegendNames(*chart).join(QLatin1Char('|')).contains(Utf8("паразитная полоса на +2")));
    double highest = -1e9;
    for (const QPointF& p : wide)
        if (std::abs(p.x() - mark[0].x()) < 0.05) highest = std::max(highest, p.y());
    QVERIFY(highest > mark[1].y() && highest < mark[0].y());
}

void AnalysisViewsTest::readoutAndWheelZoomFollowTheCursor() {
    WindowUnderTest w;
    w.form->resize(1000, 700);
    w.form->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.form.get()));
    w.form->Views().ShowView(AnalysisView::GroupDelay);
    auto* chart = w.Get<ResponseChart>("chart");
    QTest::qWait(20);
    const QList<QPointF> delay = chart->QuantitySeries(0)->points();
    const QPointF middle = delay[delay.size() / 2];
    const QPoint at = ViewPointOf(*chart, middle);
    const QString text = chart->ReadoutAt(at);
    // The detuning under the cursor within a pixel, and the curve's value there.
    const double kHzPerPixel = (chart->AxisX()->max() - chart->AxisX()->min()) / 500;
    const QStringList parts = text.split(QStringLiteral("   "));
    QCOMPARE(parts.size(), 2);
    const double shownKHz = QLocale().toDouble(parts[0].section(QLatin1Char(' '), 0, 0));
    QVERIFY2(std::abs(shownKHz - middle.x()) < kHzPerPixel, qPrintable(text));
    QVERIFY2(parts[1].startsWith(Utf8("Задержка: ")) && parts[1].endsWith(Utf8(" мкс")),
             qPrintable(text));
    QVERIFY(chart->ReadoutAt(QPoint(1, 1)).isEmpty());
    QTest::mouseMove(chart->viewport(), at);
    QTRY_VERIFY(chart->Readout()->isVisible());
    QCOMPARE(chart->Readout()->text(), text);

    // Two notches in: the span shrinks to 0.64 of itself, the detuning under the cursor stays.
    const double low = chart->AxisX()->min(), high = chart->AxisX()->max();
    const double underCursor =
        chart->chart()->mapToValue(chart->chart()->mapFromScene(chart->mapToScene(at))).x();
    chart->ZoomAround(at, 0.64);
    QVERIFY(std::abs((chart->AxisX()->max() - chart->AxisX()->min()) - 0.64 * (high - low)) <
            1e-9 * (high - low));
    QVERIFY(std::abs((underCursor - chart->AxisX()->min()) - 0.64 * (underCursor - low)) <
            1e-9 * (high - low));
    QTest::mouseClick(chart->viewport(), Qt::RightButton, {}, at);
    QCOMPARE(chart->AxisX()->min(), low);
    QCOMPARE(chart->AxisX()->max(), high);
}

void AnalysisViewsTest::viewIsExported_data() {
    QTest::addColumn<QString>("name");
    QTest::newRow("png") << "view.png";
    QTest::newRow("svg") << "view.svg";
    QTest::newRow("csv") << "view.csv";
    QTest::newRow("unknown") << "view.txt";
}

void AnalysisViewsTest::viewIsExported() {
    QFETCH(QString, name);
    QTemporaryDir folder;
    const QString path = folder.filePath(name);
    WindowUnderTest w;
    w.form->resize(1000, 700);
    w.form->show();
    w.form->Views().ShowView(AnalysisView::Impedance);
    w.dialogs->saveAnswer = path;
    w.Get<QAction>("exportViewAction")->trigger();
    const QByteArray bytes = ReadAll(path);
    if (name.endsWith(QLatin1String(".txt"))) {
        QVERIFY(bytes.isEmpty());
        QCOMPARE(w.dialogs->errors.size(), 1);
        return;
    }
    QVERIFY(w.dialogs->errors.isEmpty());
    if (name.endsWith(QLatin1String(".png"))) {
        QImage image;
        QVERIFY(image.loadFromData(bytes, "PNG"));
        QCOMPARE(image.size(), feldan::ViewExporter::DefaultPictureSize);
        // A size chosen once is written and offered the next time; a cancelled size writes
        // nothing.
        w.dialogs->pictureAnswer = QSize(900, 560);
        w.Get<QAction>("exportViewAction")->trigger();
        QVERIFY(image.loadFromData(ReadAll(path), "PNG"));
        QCOMPARE(image.size(), QSize(900, 560));
        w.dialogs->pictureAnswer = QSize();
        w.dialogs->cancelPicture = true;
        QFile::remove(path);
        w.Get<QAction>("exportViewAction")->trigger();
        QVERIFY(!QFile::exists(path));
        QCOMPARE(w.dialogs->pictureQuestions.back(), QSize(900, 560));
        QVERIFY(image.loadFromData(bytes, "PNG"));
        // The chart is laid out to the picture's shape: its yellowish ground reaches both sides.
        for (int x : {2, image.width() - 3})
            QVERIFY(image.pixelColor(x, image.height() / 2).blue() < 250);
        // The design's inputs are written under the chart: dark pixels in the caption's band.
        int dark = 0;
        for (int y = image.height() - 40; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                dark += qGray(image.pixel(x, y)) < 100;
        QVERIFY(dark > 500);
    } else if (name.endsWith(QLatin1String(".svg"))) {
        QVERIFY(bytes.contains("<svg"));
        QVERIFY(bytes.contains("<polyline"));
    } else {
        const QList<QByteArray> rows = bytes.trimmed().split('\n');
        QCOMPARE(rows.front(), QByteArray("frequency_hz,detuning_khz,zin_re_ohm,zin_im_ohm"));
        QCOMPARE(rows.size(), 1 + 1001);
        QCOMPARE(rows[1].split(',').size(), 4);
    }
}

// At the middle of its band a filter built with care presents its termination: the schematic as
// built reads the summary's Rвх there; the analysed circuit, one choice away, its own ports.
void AnalysisViewsTest::viewsShowTheFilterAsBuilt() {
    WindowUnderTest w;
    w.Calculate();
    const feldan::CalculationResult& result = w.form->Document().LastResult();
    const double centreKHz = (result.measurements.PeakHz / 1000 - result.input.FoKHz);
    const auto resistanceAtCentre = [&] {
        w.form->Views().ShowView(AnalysisView::Impedance);
        const QList<QPointF> re = w.Get<ResponseChart>("chart")->QuantitySeries(0)->points();
        const auto nearest = std::min_element(re.begin(), re.end(), [&](QPointF a, QPointF b) {
            return std::abs(a.x() - centreKHz) < std::abs(b.x() - centreKHz);
        });
        return nearest->y();
    };
    const double inputOhm = result.synthesis.InputOhm;
    QVERIFY2(std::abs(resistanceAtCentre() - inputOhm) < 0.01 * inputOhm,
             qPrintable(QString::number(resistanceAtCentre())));
    w.Trigger("analysedCircuitAction");
    QVERIFY(std::abs(resistanceAtCentre() - inputOhm) > 0.05 * inputOhm);
}

// With a view on show and the overlays kept, a Расчет still designs once: the view and the
// overlays take the document's design.
void AnalysisViewsTest::oneCalculationDesignsOnceWhateverIsShown() {
    WindowUnderTest w;
    w.Calculate();
    w.Trigger("overlayAction");
    for (const AnalysisView view : {AnalysisView::GroupDelay, AnalysisView::Step}) {
        w.form->Views().ShowView(view);
        feldan::InputTexts texts = w.form->Document().Design().texts;
        texts.Df = texts.Df == "2400" ? "2500" : "2400";
        w.form->Document().SetTexts(texts);
        const long before = feldan::DesignsRun();
        w.Calculate();
        QCOMPARE(feldan::DesignsRun() - before, 1L);
    }
}

void AnalysisViewsTest::reportHasFourPages() {
    QTemporaryDir folder;
    WindowUnderTest w;
    w.form->CalculateDesign();
    w.dialogs->saveAnswer = folder.filePath(QStringLiteral("report"));
    w.Get<QAction>("reportAction")->trigger();
    QVERIFY(w.dialogs->errors.isEmpty());
    const QByteArray pdf = ReadAll(folder.filePath(QStringLiteral("report.pdf")));
    QVERIFY(pdf.startsWith("%PDF"));
    const qsizetype pages =
        QString::fromLatin1(pdf).count(QRegularExpression(QStringLiteral("/Type\\s*/Page[^s]")));
    // The design, the charts, the parts to solder, the step response.
    QCOMPARE(pages, qsizetype(4));
}

// An eight-crystal ladder of 250 Hz delays by milliseconds: the view says so in ms, with the
// values of the table's seconds.
void AnalysisViewsTest::narrowBandDelaysReadInMilliseconds() {
    WindowUnderTest w;
    w.form->Document().SetFilterType(4);
    feldan::InputTexts texts = w.form->Document().Design().texts;
    texts.Df = "250";
    w.form->Document().SetTexts(texts);
    w.form->Views().ShowView(AnalysisView::GroupDelay);
    auto* chart = w.Get<ResponseChart>("chart");
    QCOMPARE(chart->AxisY()->titleText(), Utf8("Групповая задержка (мс)"));
    const QList<QPointF> shown = chart->QuantitySeries(0)->points();
    const QList<QByteArray> rows = QByteArray::fromStdString(w.form->Views().ViewCsv()).split('\n');
    const qsizetype middle = shown.size() / 2;
    const double seconds = rows[middle + 1].split(',')[2].toDouble();
    QVERIFY(seconds > 1e-3);
    QVERIFY(std::abs(shown[middle].y() - seconds * 1e3) < 1e-9 * seconds * 1e3);
    QVERIFY(chart->ReadoutAt(ViewPointOf(*chart, shown[middle])).endsWith(Utf8(" мс")));
}

// The input impedance swings far outside the band, where the crystals' parallel resonance
// lies; the axis spans what it is within the band, and the readout keeps off the axis title.
void AnalysisViewsTest::impedanceIsScaledToThePassBand() {
    WindowUnderTest w;
    w.form->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.form.get()));
    w.Calculate();
    const feldan::Measurements& m = w.form->Document().LastResult().measurements;
    const double foKHz = w.form->Document().LastResult().input.FoKHz;
    w.form->Views().ShowView(AnalysisView::Impedance);
    auto* chart = w.Get<ResponseChart>("chart");
    double bandLow = 1e300, bandHigh = -1e300, whole = 0;
    for (int curve = 0; curve < 2; ++curve) {
        for (const QPointF& p : chart->QuantitySeries(curve)->points()) {
            whole = std::max(whole, std::abs(p.y()));
            if (p.x() < m.LowerEdgeHz / 1000 - foKHz || p.x() > m.UpperEdgeHz / 1000 - foKHz)
                continue;
            bandLow = std::min(bandLow, p.y());
            bandHigh = std::max(bandHigh, p.y());
        }
    }
    const double low = chart->AxisY()->min(), high = chart->AxisY()->max();
    QVERIFY(low <= bandLow && high >= bandHigh);
    QVERIFY2(high - low < 1.2 * (bandHigh - bandLow), qPrintable(QString::number(high - low)));
    QVERIFY(whole > high);  // the swing outside is there, and off the axis

    const QPoint at = ViewPointOf(*chart, QPointF((m.PeakHz / 1000 - foKHz), bandHigh));
    QTest::mouseMove(chart->viewport(), at);
    QTRY_VERIFY(chart->Readout()->isVisible());
    const QRect plot = chart->chart()->plotArea().toRect();
    const int titleWidth =
        QFontMetrics(chart->AxisX()->titleFont()).horizontalAdvance(chart->AxisX()->titleText());
    const QRect title(plot.center().x() - titleWidth / 2, plot.bottom() + 1, titleWidth,
                      chart->height() - plot.bottom());
    QVERIFY(!chart->Readout()->geometry().intersects(title));
}

// A dot of the keyed view lasts about five times 1/dF at a speed of a short list, until a
// keying is chosen; the chosen one then stays whatever the band.
void AnalysisViewsTest::keyedDotsLastAFewTimesTheBandsPeriod() {
    for (const double dfHz : {50.0, 250.0, 500.0, 2400.0, 3000.0}) {
        const double wpm = feldan::DotSpeedOfBand(dfHz);
        const double dotMs = 1200 / wpm;
        QVERIFY2(dotMs >= 4 * 1000 / dfHz && dotMs <= 6.5 * 1000 / dfHz,
                 qPrintable(QString::number(wpm)));
        const double mantissa = wpm / std::pow(10.0, std::floor(std::log10(wpm)));
        QVERIFY2(QList<double>({1, 1.2, 1.5, 2, 2.5, 3, 4, 5, 6, 8}).contains(mantissa),
                 qPrintable(QString::number(wpm)));
    }
    WindowUnderTest w;
    feldan::InputTexts texts = w.form->Document().Design().texts;
    texts.Df = "500";
    w.form->Document().SetTexts(texts);
    w.form->Views().ShowView(AnalysisView::Keyed);
    QCOMPARE(w.form->Views().Keying().wpm, 120.0);
    feldan::KeyingChoice chosen = w.form->Views().Keying();
    chosen.wpm = 25;
    w.form->Views().SetKeying(chosen);
    texts.Df = "2400";
    w.form->Document().SetTexts(texts);
    w.form->Views().ShowView(AnalysisView::Keyed);
    QCOMPARE(w.form->Views().Keying().wpm, 25.0);
}

QTEST_MAIN(AnalysisViewsTest)
// Butterworth and Chebyshev 25 % of one width, overlaid: the step view draws both settling to
// 1, the Chebyshev one overshooting more; the keyed view draws the keying behind them; the
// figures table goes with the time views and leaves with them.
void AnalysisViewsTest::timeViewsCompareTheOverlaidDesigns() {
    WindowUnderTest w;
    auto* chart = w.Get<ResponseChart>("chart");
    w.Trigger("overlayAction");
    w.Calculate();
    auto* responses = w.Get<QComboBox>("responseCombo");
    responses->setCurrentIndex(4);
    emit responses->activated(4);
    w.Calculate();
    w.Trigger("stepViewAction");
    QCOMPARE(chart->AxisX()->titleText(), Utf8("Время (мс)"));
    for (int i = 0; i < 2; ++i) {
        const QList<QPointF> step = chart->QuantitySeries(i)->points();
        QVERIFY(step.size() > 100);
        QVERIFY2(std::abs(step.back().y() - 1) < 0.01,
                 qPrintable(QString::number(step.back().y())));
        QVERIFY(chart->QuantitySeries(i)->name().startsWith(Utf8("АЧХ%1: ").arg(i + 1)));
    }
    QVERIFY(!chart->QuantitySeries(2)->isVisible());
    const std::vector<feldan::TimeFiguresRow> rows = w.form->Views().TimeFigures();
    QCOMPARE(rows.size(), std::size_t{2});
    QVERIFY(*rows[1].figures.overshootPct > *rows[0].figures.overshootPct);
    auto* figures = w.Get<QLabel>("figuresLabel");
    QVERIFY(figures->isVisibleTo(w.form.get()));
    QVERIFY(figures->text().contains(Utf8("выброс")));

    w.Trigger("keyedViewAction");
    const QList<QPointF> keying = chart->QuantitySeries(0)->points();
    QCOMPARE(chart->QuantitySeries(0)->name(), Utf8("Манипуляция"));
    QVERIFY(std::all_of(keying.begin(), keying.end(),
                        [](const QPointF& p) { return p.y() == 0 || p.y() == 1; }));
    QVERIFY(chart->QuantitySeries(2)->count() > 0);
    QVERIFY(w.form->Views().TimeFigures()[0].figures.interDotDb.has_value());
    QVERIFY(QString::fromStdString(w.form->Views().ViewCsv())
                .startsWith(QStringLiteral("time_ms,input,output_1,output_2\n")));

    // The group delay of each overlaid design: Chebyshev's ears stand higher than Butterworth's.
    w.Trigger("groupDelayViewAction");
    double highest[2] = {0, 0};
    for (int i = 0; i < 2; ++i) {
        QVERIFY(chart->QuantitySeries(i)->name().startsWith(Utf8("АЧХ%1: ").arg(i + 1)));
        for (const QPointF& p : chart->QuantitySeries(i)->points())
            highest[i] = std::max(highest[i], p.y());
    }
    QVERIFY2(highest[1] > 1.2 * highest[0], qPrintable(QString::number(highest[1] / highest[0])));

    w.Trigger("passBandViewAction");
    QVERIFY(!figures->isVisibleTo(w.form.get()));
}

// The legend names only the curves drawn: no empty overlay, nothing of the pass band while a
// view shows its own curves; Очистить empties a view as it empties the pass band.
void AnalysisViewsTest::legendNamesOnlyTheCurvesDrawn() {
    WindowUnderTest w;
    auto* chart = w.Get<ResponseChart>("chart");
    w.Trigger("overlayAction");
    w.Calculate();
    QCOMPARE(LegendNames(*chart), QStringList{Utf8("АЧХ1")});
    w.Trigger("keyedViewAction");
    QVERIFY(chart->QuantitySeries(1)->count() > 0);
    w.Trigger("clearChartAction");
    for (int i = 0; i < feldan::QuantitySeriesCount; ++i)
        QCOMPARE(chart->QuantitySeries(i)->count(), 0);
    QCOMPARE(LegendNames(*chart), QStringList());
    w.Trigger("passBandViewAction");
    w.Calculate();
    QCOMPARE(LegendNames(*chart), QStringList{Utf8("АЧХ1")});
}

// The report's line under the chart names its curve once, as the status bar does.
void AnalysisViewsTest::reportNamesEachCurveOnce() {
    WindowUnderTest w;
    w.Trigger("overlayAction");
    w.Calculate();
    const QStringList lines = feldan::ReportWriter::CurveSummaryLines(w.form->ReportContent());
    QCOMPARE(lines.size(), 1);
    QVERIFY2(lines[0].startsWith(Utf8("АЧХ1: B04-")), qPrintable(lines[0]));
    QCOMPARE(lines[0].count(Utf8("АЧХ")), 1);
}

// The inputs under a picture go into lines that fit its width, each input whole and in order.
void AnalysisViewsTest::pictureCaptionWrapsWholeInputs() {
    const QStringList inputs = {Utf8("Порядок фильтра : 4-х кристальный"), Utf8("Fo(кГц) = 8861"),
                                Utf8("Ld(мГн) = 10.1"), Utf8("Полоса dF (Гц) = 3100")};
    const QFontMetrics metrics(QFont(QStringLiteral("Liberation Sans"), 20));
    const int width = metrics.horizontalAdvance(inputs[0] + QStringLiteral(";  ") + inputs[1]);
    const QStringList lines = feldan::ViewExporter::CaptionLines(inputs, metrics, width);
    QCOMPARE(lines.size(), 2);
    for (const QString& line : lines)
        QVERIFY(metrics.horizontalAdvance(line) <= width);
    QCOMPARE(lines.join(QStringLiteral(";  ")), inputs.join(QStringLiteral(";  ")));
}

#include "analysis_views_test.moc"
