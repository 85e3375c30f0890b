// The measured filter over the design: a sweep of the design itself, written as a network
// analyser would, lies on the design's curves; the shift, the removal and the refused files.
#include <QAction>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <cmath>
#include <optional>

#include "engine/measured_filter.h"
#include "engine/number_text.h"
#include "engine/sweep.h"
#include "files/touchstone.h"
#include "ui/analysis/diagnosis_window.h"
#include "ui/analysis/measured_overlay.h"
#include "ui/common/design_document.h"
#include "ui/common/language.h"
#include "ui/common/project_state.h"
#include "ui_test_support.h"

using feldan::AnalysisView;
using feldan::ResponseChart;
using feldan::testing::Child;
using feldan::testing::Utf8;
using feldan::testing::WindowUnderTest;

namespace {

// A "measured" .s2p of the window's design, swept at whole hertz across the band and 1 kHz
// beyond the pass-band curve, as if built `offsetHz` high.
QString WriteDesignSweep(WindowUnderTest& w, const QString& path, double offsetHz,
                         feldan::CircuitChoice circuit = feldan::CircuitChoice::Analysed,
                         std::optional<double> referenceOhm = std::nullopt, double s21Scale = 1) {
    const QList<QPointF> passBand = w.Series(0)->points();
    feldan::DesignedFilter filter = feldan::DesignFilter(w.form->Document().Design(), '.', circuit);
    feldan::SweepRequest request;
    request.referenceOhm = referenceOhm;
    request.fromDetuningHz = std::round(passBand.front().x() * 1000) - 1000;
    request.toDetuningHz = std::round(passBand.back().x() * 1000) + 1000;
    request.points = int(*request.toDetuningHz - *request.fromDetuningHz) + 1;
    const feldan::SweepResult sweep = feldan::SweepFilter(filter, request);
    feldan::TouchstoneData data;
    data.ports = 2;
    data.referenceOhm = sweep.referenceOhm;
    for (const feldan::SweepPoint& p : sweep.points) {
        data.frequencyHz.push_back(std::round(p.hz) + offsetHz);
        data.s.push_back({p.s11, p.s21 * s21Scale, p.s12 * s21Scale, p.s22});
    }
    QFile file(path);
    const std::string bytes = feldan::TouchstoneBytes(data, {"a sweep of the design"});
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes.data(), qint64(bytes.size())) < 0)
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

// The value of an ascending curve at x, by straight lines.
std::optional<double> ValueAt(const QList<QPointF>& points, double x) {
    const auto after = std::lower_bound(points.cbegin(), points.cend(), x,
                                        [](const QPointF& p, double v) { return p.x() < v; });
    if (after == points.cbegin() || after == points.cend()) return std::nullopt;
    const QPointF a = *(after - 1), b = *after;
    return a.y() + (b.y() - a.y()) * (x - a.x()) / (b.x() - a.x());
}

// The largest difference of the measured curve, `offsetKHz` to the right, from the pass-band
// curve at its points.
double LargestDifference(WindowUnderTest& w, double offsetKHz = 0) {
    const QList<QPointF> measured = w.Get<ResponseChart>("chart")->MeasuredSeries()->points();
    double largest = 0;
    for (const QPointF& point : w.Series(0)->points()) {
        const std::optional<double> value = ValueAt(measured, point.x() + offsetKHz);
        largest = value ? std::max(largest, std::abs(*value - point.y())) : INFINITY;
    }
    return largest;
}

void Open(WindowUnderTest& w, const QString& path) {
    w.dialogs->openAnswer = path;
    w.Get<QAction>("openMeasuredAction")->trigger();
}

}  // namespace

class MeasuredOverlayTest : public QObject {
    Q_OBJECT

  private slots:
    void init() { feldan::SetLanguage(feldan::Language::Russian); }
    void measuredBuildLiesOnTheDesignInEveryView();
    void shiftTakesItToTheDesignCentreAndRemovalRemovesIt();
    void anUnmatchedSweepIsComparedInTheAnalysersTerms();
    void alignedPeaksCompareTheShapeOfALossierBuild();
    void curveShiftAndTableDescribeTheDesignTheViewDraws();
    void unreadableFileGetsAnErrorNamingIt_data();
    void unreadableFileGetsAnErrorNamingIt();
    void whatWasBuiltIsFoundAndCarriedOn();
};

void MeasuredOverlayTest::measuredBuildLiesOnTheDesignInEveryView() {
    QTemporaryDir folder;
    WindowUnderTest w;
    QLineSeries* measured = w.Get<ResponseChart>("chart")->MeasuredSeries();
    w.form->CalculateDesign();
    Open(w, WriteDesignSweep(w, folder.filePath(QStringLiteral("built.s2p")), 0));
    QVERIFY(w.dialogs->openRequests[0][1].contains(QStringLiteral("*.s2p")));
    QVERIFY(w.dialogs->errors.isEmpty());
    QCOMPARE(measured->name(), QStringLiteral("built.s2p"));
    QCOMPARE(measured->pen().style(), Qt::DashLine);
    // On the pass-band curve's own scale, and at its detuning from Fo.
    QVERIFY2(LargestDifference(w) < 0.01, qPrintable(QString::number(LargestDifference(w))));

    // The delay of the measured phase, by differences, against the design's exact derivative.
    const QList<QPointF> band = w.Series(0)->points();
    w.Get<QAction>("groupDelayViewAction")->trigger();
    for (const QPointF& design : w.Get<ResponseChart>("chart")->QuantitySeries(0)->points()) {
        if (design.x() < band.front().x() || design.x() > band.back().x()) continue;
        const std::optional<double> value = ValueAt(measured->points(), design.x());
        QVERIFY2(value && std::abs(*value - design.y()) < 1e-3 * design.y(),
                 qPrintable(QString::number(design.x())));
    }
    for (const char* view : {"wideBandViewAction", "returnLossViewAction"}) {
        w.Get<QAction>(view)->trigger();
        QVERIFY(measured->isVisible() && measured->count() > 1000);
    }
    // The input impedance is no quantity of the file.
    w.Get<QAction>("impedanceViewAction")->trigger();
    QVERIFY(!measured->isVisible());
    // It stays through the views and a new calculation.
    w.Get<QAction>("passBandViewAction")->trigger();
    w.form->CalculateDesign();
    QVERIFY(LargestDifference(w) < 0.01);
}

void MeasuredOverlayTest::shiftTakesItToTheDesignCentreAndRemovalRemovesIt() {
    QTemporaryDir folder;
    WindowUnderTest w;
    QLineSeries* measured = w.Get<ResponseChart>("chart")->MeasuredSeries();
    w.form->CalculateDesign();
    // Built 400 Hz high: unshifted, the curve lies 0.4 kHz to the right of the design's.
    Open(w, WriteDesignSweep(w, folder.filePath(QStringLiteral("high.s2p")), 400));
    QVERIFY(LargestDifference(w, 0.4) < 0.01);
    w.Get<QAction>("shiftMeasuredAction")->trigger();
    QVERIFY2(LargestDifference(w) < 0.01, qPrintable(QString::number(LargestDifference(w))));
    QCOMPARE(measured->name(), Utf8("high.s2p, сдвиг -400 Гц"));
    feldan::SetLanguage(feldan::Language::English);
    QCOMPARE(measured->name(), QStringLiteral("high.s2p, shifted by -400 Hz"));
    QCOMPARE(w.Get<QAction>("removeMeasuredAction")->text(),
             QStringLiteral("Remo&ve measured filter"));
    feldan::SetLanguage(feldan::Language::Russian);

    // The stored synthetic build was made 180 Hz high with other crystals: about that far back.
    Open(w, QStringLiteral(FELDAN_TEST_DATA_DIR "/measured-filter.s2p"));
    const QRegularExpressionMatch shift =
        QRegularExpression(Utf8("^measured-filter.s2p, сдвиг (-\\d+) Гц$")).match(measured->name());
    QVERIFY2(shift.hasMatch() && std::abs(shift.captured(1).toInt() + 180) < 20,
             qPrintable(measured->name()));

    w.Get<QAction>("removeMeasuredAction")->trigger();
    QVERIFY(!measured->isVisible() && measured->count() == 0);
    QVERIFY(!w.Get<QAction>("removeMeasuredAction")->isEnabled());
    w.Get<QAction>("wideBandViewAction")->trigger();
    QVERIFY(!measured->isVisible());
    QVERIFY(w.dialogs->errors.isEmpty());
}

// The filter as built, swept unmatched between 50 Ohm ports: as it is it has humps the design
// has not; renormalised to the design's terminations, or with the design swept between 50 Ohm
// ports, both sides give the same figures.
void MeasuredOverlayTest::anUnmatchedSweepIsComparedInTheAnalysersTerms() {
    QTemporaryDir folder;
    WindowUnderTest w;
    w.Calculate();
    Open(w, WriteDesignSweep(w, folder.filePath(QStringLiteral("50.s2p")), 0,
                             feldan::CircuitChoice::Schematic, 50));
    const feldan::MeasuredOverlay& overlay = w.form->Views().Measured();
    QVERIFY(w.Get<QLabel>("figuresLabel")->isVisibleTo(w.form.get()));
    const auto agree = [&] {
        const feldan::FilterFigures& m = *overlay.MeasuredFigures();
        const feldan::FilterFigures& d = *overlay.DesignFigures();
        if (!m.bandwidthHz[1] || !d.bandwidthHz[1]) return false;
        for (std::size_t k = 0; k < m.bandwidthHz.size(); ++k) {
            if (m.bandwidthHz[k].has_value() != d.bandwidthHz[k].has_value()) return false;
            if (m.bandwidthHz[k] && std::abs(*m.bandwidthHz[k] - *d.bandwidthHz[k]) > 5)
                return false;
        }
        return std::abs(*m.flatnessDb - *d.flatnessDb) < 0.02;
    };
    QVERIFY(!agree());
    QVERIFY(*overlay.MeasuredFigures()->flatnessDb > *overlay.DesignFigures()->flatnessDb + 1);
    w.Trigger("renormaliseMeasuredAction");
    QVERIFY(agree());
    w.Trigger("renormaliseMeasuredAction");
    w.dialogs->numberAnswer = 50;
    w.Trigger("referenceOhmAction");
    QCOMPARE(w.form->Views().ReferenceOhm(), std::optional<double>(50));
    // The wide band draws the design between those ports.
    w.Trigger("wideBandViewAction");
    QVERIFY(agree());
    // The export carries the measured curve: a curve of its own in the pass band, a column of
    // the sweep's table elsewhere, filled where the measurement reaches.
    w.form->Views().ShowView(AnalysisView::PassBand);
    QVERIFY(
        QString::fromStdString(w.form->Views().ViewCsv()).contains(QStringLiteral("\nmeasured,")));
    w.form->Views().ShowView(AnalysisView::ReturnLoss);
    const QStringList rows =
        QString::fromStdString(w.form->Views().ViewCsv()).trimmed().split(QLatin1Char('\n'));
    QVERIFY(rows.front().endsWith(QStringLiteral(",return_loss_db,measured")));
    QVERIFY(!rows[rows.size() / 2].endsWith(QLatin1Char(',')));
}

// A build with a 6.02 dB pad in it (|S21| halved): "Совместить пики" lays it on the design and
// says by how much; the figures stay the measurement's own.
void MeasuredOverlayTest::alignedPeaksCompareTheShapeOfALossierBuild() {
    QTemporaryDir folder;
    WindowUnderTest w;
    w.Calculate();
    Open(w, WriteDesignSweep(w, folder.filePath(QStringLiteral("pad.s2p")), 0,
                             feldan::CircuitChoice::Analysed, std::nullopt, 0.5));
    QVERIFY(std::abs(LargestDifference(w) - 6.02) < 0.01);
    w.Trigger("alignMeasuredPeakAction");
    QVERIFY2(LargestDifference(w) < 0.01, qPrintable(QString::number(LargestDifference(w))));
    const feldan::MeasuredOverlay& overlay = w.form->Views().Measured();
    QVERIFY(std::abs(overlay.LevelShiftDb() - 6.02) < 0.01);
    QVERIFY(std::abs(overlay.MeasuredFigures()->peakDb - overlay.DesignFigures()->peakDb + 6.02) <
            0.01);
    QVERIFY2(w.Get<ResponseChart>("chart")->MeasuredSeries()->name().endsWith(
                 Utf8(", пик совмещён (+6.02 дБ)")),
             qPrintable(w.Get<ResponseChart>("chart")->MeasuredSeries()->name()));
    w.Trigger("alignMeasuredPeakAction");
    QVERIFY(std::abs(LargestDifference(w) - 6.02) < 0.01);

    // In time the pad changes nothing but the level: the step of the measured S21, normalised
    // to its own settled level, follows the design's (its span is short: 1 kHz past the band).
    w.Trigger("stepViewAction");
    const std::vector<feldan::TimeFiguresRow> rows = w.form->Views().TimeFigures();
    QCOMPARE(rows.size(), std::size_t{2});
    QCOMPARE(rows[1].name, QStringLiteral("pad.s2p"));
    QVERIFY(w.Get<ResponseChart>("chart")->MeasuredSeries()->count() > 100);
    const double design = *rows[0].figures.delayMs, measured = *rows[1].figures.delayMs;
    QVERIFY2(std::abs(measured - design) < 0.05 * design,
             qPrintable(QStringLiteral("%1 %2").arg(measured).arg(design)));
}

// With the design swept between 50 Ohm ports, the pass band still draws the calculation between
// its own terminations: there the shift and the table's design are that curve's; in the wide
// band they are the 50 Ohm design's, as feldan-cli measured --reference-ohm 50 gives them.
void MeasuredOverlayTest::curveShiftAndTableDescribeTheDesignTheViewDraws() {
    WindowUnderTest w;
    w.Calculate();
    Open(w, QStringLiteral(FELDAN_TEST_DATA_DIR "/measured-filter-50ohm.s2p"));
    w.Trigger("shiftMeasuredAction");
    w.dialogs->numberAnswer = 50;
    w.Trigger("referenceOhmAction");
    const feldan::MeasuredOverlay& overlay = w.form->Views().Measured();
    const auto check = [&](std::optional<double> referenceOhm) {
        const feldan::FilterFigures& m = *overlay.MeasuredFigures();
        const feldan::FilterFigures& d = *overlay.DesignFigures();
        // The curve moves by the shift the table gives, and the legend says it.
        QCOMPARE(overlay.ShiftHz(), *d.centreHz - *m.centreHz);
        const QString hz = QString::number(std::lround(overlay.ShiftHz()));
        QVERIFY2(overlay.CurveName().contains(hz), qPrintable(overlay.CurveName()));
        QVERIFY(w.Get<QLabel>("figuresLabel")->text().contains(Utf8("Сдвиг центров: ") + hz));
        // The table's design is the one drawn.
        feldan::DesignedFilter design =
            feldan::DesignFilter(w.form->Document().Design(), '.', w.form->Views().Circuit());
        feldan::MeasuredFilter measured;
        measured.points = {{m.centreHz.value() - 20000}, {m.centreHz.value() + 20000}};
        feldan::SweepRequest request;
        request.referenceOhm = referenceOhm;
        const feldan::MeasuredComparison alone = feldan::CompareMeasured(design, request, measured);
        QVERIFY2(std::abs(*alone.design.centreHz - *d.centreHz) < 3,
                 qPrintable(QStringLiteral("%1 %2").arg(*alone.design.centreHz).arg(*d.centreHz)));
    };
    check(std::nullopt);
    // In the pass band that is the calculation's own curve, which runs between its −3 dB points.
    const QList<QPointF> band = w.Series(0)->points();
    const double foHz = feldan::FieldTextToFloat(w.form->Document().Design().texts.Fo, '.') * 1000;
    const double drawnCentre = foHz + (band.front().x() + band.back().x()) / 2 * 1000;
    QVERIFY2(std::abs(drawnCentre - *overlay.DesignFigures()->centreHz) < 3,
             qPrintable(QString::number(drawnCentre - *overlay.DesignFigures()->centreHz)));
    QVERIFY(w.Get<QLabel>("figuresLabel")->text().contains(Utf8(";расчёт<")));
    w.Trigger("wideBandViewAction");
    check(50);
    QVERIFY(w.Get<QLabel>("figuresLabel")->text().contains(Utf8("расчёт, порты 50 Ом")));
}

void MeasuredOverlayTest::unreadableFileGetsAnErrorNamingIt_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("says");
    QTest::newRow("not a number") << "bad.s2p"
                                  << QByteArray(
                                         "# Hz S RI R 50\n1e6 0 0 1 0 1 0 0 0\n"
                                         "2e6 0 0 x 0 1 0 0 0\n")
                                  << Utf8("строка 3");
    QTest::newRow("one port") << "crystal.s1p" << QByteArray("# Hz S RI R 50\n1e6 0 0\n")
                              << Utf8(".s2p");
    QTest::newRow("one point") << "one.s2p"
                               << QByteArray("# Hz S RI R 50\n8.86e6 0 0 0.5 0 0 0 0 0\n")
                               << Utf8("хотя бы 3 точки");
    QTest::newRow("missing") << "absent.s2p" << QByteArray() << QString();
}

void MeasuredOverlayTest::unreadableFileGetsAnErrorNamingIt() {
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    QFETCH(QString, says);
    QTemporaryDir folder;
    WindowUnderTest w;
    w.form->CalculateDesign();
    // A good file first: a refused one leaves it shown.
    Open(w, WriteDesignSweep(w, folder.filePath(QStringLiteral("good.s2p")), 0));
    QFile file(folder.filePath(name));
    if (!content.isEmpty()) QVERIFY(file.open(QIODevice::WriteOnly) && file.write(content) > 0);
    file.close();
    Open(w, file.fileName());
    QCOMPARE(w.dialogs->errors.size(), 1);
    QVERIFY2(w.dialogs->errors[0].contains(name) && w.dialogs->errors[0].contains(says),
             qPrintable(w.dialogs->errors[0]));
    QCOMPARE(w.Get<ResponseChart>("chart")->MeasuredSeries()->name(), QStringLiteral("good.s2p"));
}

// A build with C3 10 % high, swept as the analyser writes it (S12 and S22 zero): "Что построено"
// fits it off the window's thread, colours C3, and "Применить к расчёту" makes it the build in
// force, so that the window's own sweep of the build is the measurement again.
void MeasuredOverlayTest::whatWasBuiltIsFoundAndCarriedOn() {
    QTemporaryDir folder;
    WindowUnderTest w;
    w.form->CalculateDesign();
    QVERIFY(!w.Get<QAction>("diagnoseMeasuredAction")->isEnabled());
    feldan::DesignDocument& document = w.form->Document();
    const double c3 = document.Build().parts[2].designed;
    document.Project().SetTuning({{"C3", c3 * 1.1}});
    feldan::DesignedFilter built = document.DesignedFilterOf(feldan::CircuitChoice::Schematic);
    const auto sweepOf = [](feldan::DesignedFilter& filter) {
        feldan::SweepRequest request;
        request.points = 401;
        request.circuit = feldan::CircuitChoice::Schematic;
        return feldan::SweepFilter(filter, request);
    };
    const feldan::SweepResult sweep = sweepOf(built);
    feldan::TouchstoneData data;
    data.ports = 2;
    data.referenceOhm = sweep.referenceOhm;
    for (const feldan::SweepPoint& p : sweep.points) {
        data.frequencyHz.push_back(p.hz);
        data.s.push_back({p.s11, p.s21, 0, 0});
    }
    const QString path = folder.filePath(QStringLiteral("c3.s2p"));
    QFile file(path);
    const std::string bytes = feldan::TouchstoneBytes(data, {});
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes.data(), qint64(bytes.size())) > 0);
    file.close();
    document.Project().SetTuning({});
    Open(w, path);
    w.Trigger("diagnoseMeasuredAction");
    auto* window = w.form->findChild<feldan::DiagnosisWindow*>();
    QVERIFY(window);
    QTRY_VERIFY_WITH_TIMEOUT(!window->Running() && window->Result(), 60000);
    QCOMPARE(window->Result()->verdict, feldan::DiagnosisVerdict::Fitted);
    auto* table = Child<QTableWidget>(window, "partsTable");
    QCOMPARE(table->item(2, 0)->text(), QStringLiteral("C3"));
    QVERIFY2(table->item(2, 3)->text().startsWith(QStringLiteral("+10")),
             qPrintable(table->item(2, 3)->text()));
    QCOMPARE(table->item(2, 0)->foreground().color(), QColor(190, 30, 30));
    const QString said = Child<QPlainTextEdit>(window, "diagnosisText")->toPlainText();
    QVERIFY2(said.contains(QStringLiteral("C3 стоит на 10,0 % больше расчётного")),
             qPrintable(said));
    // The report's parts page says it too.
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (!pdftotext.isEmpty()) {
        const QString pdf = folder.filePath(QStringLiteral("report.pdf"));
        QFile report(pdf);
        QVERIFY(report.open(QIODevice::WriteOnly) && w.form->WriteReport(report));
        report.close();
        QProcess extract;
        extract.start(pdftotext,
                      {QStringLiteral("-f"), QStringLiteral("3"), pdf, QStringLiteral("-")});
        QVERIFY(extract.waitForFinished(30000));
        const QString text = QString::fromUtf8(extract.readAllStandardOutput());
        QVERIFY2(text.contains(QStringLiteral("Что построено")), qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("C3 стоит на 10,0 %")), qPrintable(text));
    }

    QTest::mouseClick(Child<QPushButton>(window, "applyButton"), Qt::LeftButton);
    const std::vector<feldan::TunedPart>& tuning = document.Project().Tuning();
    const auto c3Tuned = std::find_if(tuning.begin(), tuning.end(),
                                      [](const feldan::TunedPart& p) { return p.label == "C3"; });
    QVERIFY(c3Tuned != tuning.end());
    QVERIFY(std::abs(c3Tuned->value / (c3 * 1.1) - 1) < 1e-4);
    feldan::DesignedFilter carried = document.DesignedFilterOf(feldan::CircuitChoice::Schematic);
    const feldan::SweepResult again = sweepOf(carried);
    for (std::size_t i = 0; i < sweep.points.size(); ++i)
        QVERIFY(std::abs(again.points[i].s21 - sweep.points[i].s21) < 1e-4);
}

QTEST_MAIN(MeasuredOverlayTest)
#include "measured_overlay_test.moc"
