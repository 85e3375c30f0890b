// The "Сборка" windows: rounding to a standard series beside the ideal response, matching to
// the system resistance, and the Monte Carlo run on its own thread.
#include <QAction>
#include <QChartView>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineSeries>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTest>
#include <QValueAxis>
#include <cmath>

#include "engine/standard_values.h"
#include "ui/assembly/parts_list.h"
#include "ui/assembly/rounding_window.h"
#include "ui/assembly/tolerance_window.h"
#include "ui/common/project_state.h"
#include "ui_test_support.h"

using feldan::ESeries;
using feldan::RoundingWindow;
using feldan::RoundToSeries;
using feldan::ToleranceWindow;
using feldan::testing::Child;
using feldan::testing::WindowUnderTest;

namespace {

// The numbers of a cell such as "120 пФ" or "100 + 22 пФ".
QList<double> NumbersIn(const QTableWidgetItem* item) {
    QList<double> numbers;
    for (const QString& word : item->text().split(QLatin1Char(' '))) {
        bool ok = false;
        const double value = QLocale().toDouble(word, &ok);
        if (ok) numbers.append(value);
    }
    return numbers;
}

// A curve of the rounding window's chart.
QList<QPointF> CurveOf(const RoundingWindow* window, const char* name) {
    return Child<QLineSeries>(Child<QChartView>(window, "roundingChart")->chart(), name)->points();
}

// Both axes of a chart tick at multiples of 1, 2 or 5 times a power of ten, counted from 0.
void VerifyRoundTicks(const QChartView* view) {
    const QList<QAbstractAxis*> axes = view->chart()->axes();
    QCOMPARE(axes.size(), 2);
    for (QAbstractAxis* any : axes) {
        const auto* axis = qobject_cast<QValueAxis*>(any);
        QVERIFY(axis);
        QCOMPARE(axis->tickType(), QValueAxis::TicksDynamic);
        QCOMPARE(axis->tickAnchor(), 0.0);
        const double step = axis->tickInterval();
        const double mantissa = step / std::pow(10.0, std::floor(std::log10(step) + 1e-9));
        QVERIFY2(std::abs(mantissa - 1) < 1e-9 || std::abs(mantissa - 2) < 1e-9 ||
                     std::abs(mantissa - 5) < 1e-9,
                 qPrintable(QString::number(step)));
        // A handful of labels, not one nor hundreds.
        const double steps = (axis->max() - axis->min()) / step;
        QVERIFY2(steps >= 3 && steps <= 20, qPrintable(QString::number(steps)));
    }
}

}  // namespace

class BuildWindowsTest : public QObject {
    Q_OBJECT

  private slots:
    void roundingToE12GivesE12PartsAndAnotherCurve();
    void matchingIsShownAndKeptInTheProject();
    void toleranceRunsOffTheWindowAndCancels();
    void oneProjectGivesOneMatchingEverywhere();
    void chartsTickAtRoundValuesAndShowFlatnessBesideRipple();
};

void BuildWindowsTest::roundingToE12GivesE12PartsAndAnotherCurve() {
    WindowUnderTest w;
    w.Get<QAction>("roundingAction")->trigger();
    auto* window = w.form->findChild<RoundingWindow*>();
    QVERIFY(window && window->isVisible());
    Child<QCheckBox>(window, "parallelCheck")->setChecked(true);
    Child<QComboBox>(window, "seriesCombo")->setCurrentText(QStringLiteral("E12"));
    auto* table = Child<QTableWidget>(window, "partsTable");
    QCOMPARE(table->rowCount(), 4);  // C1=C5, C2=C4, C3 and the termination
    int pairs = 0;
    for (int row = 0; row + 1 < table->rowCount(); ++row) {
        QList<double> parts = NumbersIn(table->item(row, 3));
        if (parts.isEmpty())
            parts = NumbersIn(table->item(row, 2));
        else
            ++pairs;
        QVERIFY(!parts.isEmpty());
        for (double part : parts)
            QCOMPARE(RoundToSeries(part, ESeries::E12), part);
    }
    QVERIFY(pairs > 0);
    const QList<QPointF> ideal = CurveOf(window, "idealSeries");
    const QList<QPointF> rounded = CurveOf(window, "roundedSeries");
    QVERIFY(ideal.size() > 10 && rounded.size() > 10);
    QVERIFY(ideal != rounded);

    // Used for the built filter, the choice is the project's; cleared, it is gone.
    Child<QCheckBox>(window, "useCheck")->setChecked(true);
    QVERIFY(w.form->Document().Project().Rounding());
    QVERIFY(w.form->Document().Project().Rounding()->series == ESeries::E12);
    Child<QCheckBox>(window, "useCheck")->setChecked(false);
    QVERIFY(!w.form->Document().Project().Rounding());
}

void BuildWindowsTest::matchingIsShownAndKeptInTheProject() {
    WindowUnderTest w;
    w.Get<QAction>("matchingAction")->trigger();
    auto* window = w.form->findChild<RoundingWindow*>();
    QVERIFY(window);
    QVERIFY(Child<QLabel>(window, "inputEndLabel")->text().contains(QStringLiteral("L = ")));
    QVERIFY(CurveOf(window, "matchedSeries").isEmpty());
    Child<QCheckBox>(window, "showMatchedCheck")->setChecked(true);
    QVERIFY(!CurveOf(window, "matchedSeries").isEmpty());
    QCOMPARE(w.form->Document().Project().MatchOhm().value_or(0), 50.0);
}

// A project rounded to E12 with pairs, its termination tuned and its ends matched to 50 Ohm: the
// Сборка window and the report's parts list give the network of the tuned termination, with
// the capacitor in E12 parts, as BuildProject does.
void BuildWindowsTest::oneProjectGivesOneMatchingEverywhere() {
    WindowUnderTest w;
    w.form->Document().Project().SetTuning({{"Rin", 333}});
    w.Get<QAction>("matchingAction")->trigger();
    auto* window = w.form->findChild<RoundingWindow*>();
    Child<QComboBox>(window, "seriesCombo")->setCurrentText(QStringLiteral("E12"));
    Child<QCheckBox>(window, "parallelCheck")->setChecked(true);
    Child<QCheckBox>(window, "useCheck")->setChecked(true);
    Child<QCheckBox>(window, "showMatchedCheck")->setChecked(true);

    const feldan::ProjectBuild build = feldan::BuildProject(
        w.form->Document().Project().ToProject(w.form->Document().Design()), '.');
    QVERIFY(build.matching && window->AsBuilt() && window->AsBuilt()->matching);
    const feldan::EndMatching& m = *build.matching;
    QCOMPARE(m.ends.terminationOhm, 333.0);
    const double exactPF = feldan::LMatch(50, 333, 8861736).shuntF * 1e12;
    QCOMPARE(m.exactShuntPF, exactPF);
    QVERIFY(m.shuntParts);
    for (double part : {m.shuntParts->larger, m.shuntParts->smaller})
        QVERIFY(part == 0 || RoundToSeries(part, ESeries::E12) == part);
    QVERIFY(std::fabs(m.shuntParts->Sum() / exactPF - 1) < 0.1);
    const feldan::EndMatching& shown = *window->AsBuilt()->matching;
    QCOMPARE(shown.ends.terminationOhm, m.ends.terminationOhm);
    QCOMPARE(shown.ends.network.shuntF, m.ends.network.shuntF);
    QCOMPARE(shown.ends.network.seriesH, m.ends.network.seriesH);

    const QString soldered = m.shuntParts->smaller > 0
                                 ? QLocale().toString(m.shuntParts->larger) +
                                       QStringLiteral(" + ") +
                                       QLocale().toString(m.shuntParts->smaller)
                                 : QLocale().toString(m.shuntParts->larger);
    bool listed = false;
    for (const feldan::PartsListRow& row : feldan::PartsList::OfDocument(w.form->Document()))
        listed = listed || (row.part.startsWith(QStringLiteral("L")) &&
                            row.designed.contains(QStringLiteral("C ") + soldered));
    QVERIFY(listed);
}

void BuildWindowsTest::toleranceRunsOffTheWindowAndCancels() {
    WindowUnderTest w;
    w.Get<QAction>("toleranceAction")->trigger();
    auto* window = w.form->findChild<ToleranceWindow*>();
    QVERIFY(window);
    Child<QSpinBox>(window, "trialsSpin")->setValue(50);
    for (const char* name : {"capToleranceSpin", "fsSpreadSpin", "rmSpreadSpin"})
        Child<QDoubleSpinBox>(window, name)->setValue(0);
    QTest::mouseClick(Child<QPushButton>(window, "runButton"), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(!window->Running() && window->Result(), 120000);
    QCOMPARE(window->Result()->trials, 50);
    QCOMPARE(window->Result()->yield, 1.0);
    QVERIFY(Child<QLabel>(window, "yieldLabel")->text().contains(QStringLiteral("100")));
    // Without any spread every trial is the nominal filter.
    const feldan::Percentiles& band = window->Result()->bandwidth;
    QVERIFY(band.max - band.min <= 1e-6 * band.median);

    // A calculation of the same design leaves the results as they are; of a changed one makes
    // them stale.
    QVERIFY(!window->Stale());
    w.form->CalculateDesign();
    QVERIFY(!window->Stale());
    feldan::InputTexts texts = w.form->Document().Design().texts;
    texts.Df = "2900";
    w.form->Document().SetTexts(texts);
    w.form->CalculateDesign();
    QVERIFY(window->Stale());

    // A long run, cancelled: it ends early with the trials it finished.
    Child<QSpinBox>(window, "trialsSpin")->setValue(1000000);
    Child<QDoubleSpinBox>(window, "capToleranceSpin")->setValue(5);
    window->Run();
    QVERIFY(window->Running());
    QTest::mouseClick(Child<QPushButton>(window, "cancelButton"), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(!window->Running(), 60000);
    QVERIFY(window->Result()->cancelled);
    QVERIFY(window->Result()->trials < 1000000);

    // A run going when the program closes is stopped and waited for.
    window->Run();
    QVERIFY(window->Running());
    w.form.reset();
}

void BuildWindowsTest::chartsTickAtRoundValuesAndShowFlatnessBesideRipple() {
    WindowUnderTest w;
    w.Trigger("roundingAction");
    auto* rounding = w.form->findChild<RoundingWindow*>();
    QVERIFY(rounding);
    VerifyRoundTicks(Child<QChartView>(rounding, "roundingChart"));
    // Every figure of the summary, the flatness and the peak below the ripple, without scrolling.
    auto* summary = Child<QTableWidget>(rounding, "summaryTable");
    const int last = summary->rowCount() - 1;
    QVERIFY(summary->visualItemRect(summary->item(last, 0)).bottom() <=
            summary->viewport()->height());

    w.Trigger("toleranceAction");
    auto* tolerance = w.form->findChild<ToleranceWindow*>();
    QVERIFY(tolerance);
    Child<QSpinBox>(tolerance, "trialsSpin")->setValue(20);
    tolerance->Run();
    QTRY_VERIFY_WITH_TIMEOUT(!tolerance->Running() && tolerance->Result(), 120000);
    VerifyRoundTicks(Child<QChartView>(tolerance, "envelopeChart"));
    // The ripple of a tilted band is 0 dB; its flatness beside it says how tilted it is.
    const auto* ripple = Child<feldan::Histogram>(tolerance, "rippleHistogram");
    const auto* flatness = Child<feldan::Histogram>(tolerance, "flatnessHistogram");
    QCOMPARE(flatness->parentWidget(), ripple->parentWidget());
    QVERIFY(flatness->x() > ripple->x() && flatness->x() <= ripple->x() + ripple->width() + 20);
    int trials = 0;
    for (const int count : flatness->Counts())
        trials += count;
    QCOMPARE(trials, tolerance->Result()->trials - tolerance->Result()->failed);
}

QTEST_MAIN(BuildWindowsTest)
#include "build_windows_test.moc"
