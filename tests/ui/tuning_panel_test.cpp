// The "Подстройка" panel: nudging a part redraws the tuned curve over the designed one, undo and
// reset bring the design back exactly, the tuning goes into the project and into the report.
#include <QAbstractSpinBox>
#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTest>
#include <QWheelEvent>

#include "engine/ladder_design.h"
#include "ui/assembly/parts_list.h"
#include "ui/assembly/tuning_panel.h"
#include "ui/common/project_state.h"
#include "ui_test_support.h"

using feldan::ResponseChart;
using feldan::TuningCurve;
using feldan::TuningPanel;
using feldan::testing::Utf8;
using feldan::testing::WindowUnderTest;

namespace {

struct Tuning {
    WindowUnderTest w;
    ResponseChart* chart = nullptr;
    TuningPanel* panel = nullptr;

    Tuning() {
        w.form->show();
        w.form->CalculateDesign();
        chart = w.Get<ResponseChart>("chart");
        panel = w.Get<TuningPanel>("tuningPanel");
        w.Get<QAction>("tuningAction")->trigger();
    }
    QList<QPointF> Designed() const { return chart->TuningSeries(TuningCurve::Designed)->points(); }
    QList<QPointF> Tuned() const { return chart->TuningSeries(TuningCurve::Tuned)->points(); }
    QAbstractSpinBox* Field(const char* name) const { return w.Get<QAbstractSpinBox>(name); }
    double Value(const char* label) const {
        for (const feldan::TunablePart& part : panel->Parts())
            if (part.label == label) return part.value;
        return 0;
    }
};

void Wheel(QWidget* field, int notches) {
    const QPointF at(field->width() / 2.0, field->height() / 2.0);
    QWheelEvent event(at, field->mapToGlobal(at), QPoint(), QPoint(0, 120 * notches), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(field, &event);
}

}  // namespace

class TuningPanelTest : public QObject {
    Q_OBJECT

  private slots:
    void nudgedPartRedrawsTheTunedCurveOverTheDesignedOne();
    void undoAndResetBringTheDesignedCurveBackExactly();
    void typedValueSetsThePartAndBadTextIsNamed();
    void projectTuningIsShownAndReported();
    void crystalSetBringsItsTrims();
    void endsThatDifferAreTunedEachOnItsOwn();
};

void TuningPanelTest::nudgedPartRedrawsTheTunedCurveOverTheDesignedOne() {
    Tuning t;
    QVERIFY(t.panel->isVisible());
    QVERIFY(t.w.Get<QAction>("tuningAction")->isChecked());
    const QList<QPointF> designed = t.Designed();
    QVERIFY(designed.size() > 1000);
    QCOMPARE(t.Tuned(), designed);
    const QString before = t.panel->SummaryText();
    QVERIFY(before.contains(QStringLiteral("dF = ")));

    // The middle coupling capacitor, one notch of the wheel up: 1 % more.
    const double c3 = t.Value("C3");
    Wheel(t.Field("tuneC3"), 1);
    QCOMPARE(t.Value("C3"), c3 * 1.01);
    QVERIFY(t.Tuned() != designed);
    QCOMPARE(t.Designed(), designed);
    QVERIFY(t.panel->SummaryText() != before);
    QCOMPARE(t.w.form->Document().Project().Tuning(),
             (std::vector<feldan::TunedPart>{{"C3", c3 * 1.01}}));

    // The arrow key steps to the next E12 value.
    t.panel->SetStep(feldan::TuningStep::E12);
    QTest::keyClick(t.Field("tuneRin"), Qt::Key_Down);
    const double designedOhm = t.panel->Parts()[3].designed;
    QCOMPARE(t.Value("Rin"), feldan::NextInSeries(designedOhm, feldan::ESeries::E12, -1));
    QCOMPARE(t.w.form->Document().Project().Tuning().size(), std::size_t(2));

    // Closed, the panel leaves the chart to the window.
    t.w.Get<QAction>("tuningAction")->trigger();
    QVERIFY(!t.panel->isVisible());
    QCOMPARE(t.Tuned().size(), qsizetype(0));
    QVERIFY(!t.chart->TuningSeries(TuningCurve::Designed)->isVisible());
}

void TuningPanelTest::undoAndResetBringTheDesignedCurveBackExactly() {
    Tuning t;
    const QList<QPointF> designed = t.Designed();
    QAbstractSpinBox* field = t.Field("tuneC1");
    field->setFocus();
    QTest::keyClick(field, Qt::Key_Up);
    QTest::keyClick(field, Qt::Key_Up);
    const QList<QPointF> twice = t.Tuned();
    QTest::keyClick(field, Qt::Key_Z, Qt::ControlModifier);
    QVERIFY(t.Tuned() != twice);
    QVERIFY(t.Tuned() != designed);
    QTest::keyClick(field, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(t.Tuned(), designed);
    QVERIFY(t.w.form->Document().Project().Tuning().empty());

    Wheel(t.Field("tuneC2"), -3);
    QVERIFY(t.Tuned() != designed);
    t.w.Get<QPushButton>("tuningReset")->click();
    QCOMPARE(t.Tuned(), designed);
    QVERIFY(t.w.form->Document().Project().Tuning().empty());
    // Reset is a change like any other: undo takes it back.
    t.w.Get<QPushButton>("tuningUndo")->click();
    QVERIFY(t.Tuned() != designed);
    QCOMPARE(t.w.form->Document().Project().Tuning().size(), std::size_t(1));
}

void TuningPanelTest::typedValueSetsThePartAndBadTextIsNamed() {
    Tuning t;
    QAbstractSpinBox* field = t.Field("tuneC3");
    auto* message = t.w.Get<QLabel>("tuningMessage");
    field->setFocus();
    field->findChild<QLineEdit*>()->selectAll();
    QTest::keyClicks(field, QStringLiteral("150"));
    QTest::keyClick(field, Qt::Key_Return);
    QCOMPARE(t.Value("C3"), 150.0);
    QVERIFY(message->isHidden());

    field->findChild<QLineEdit*>()->selectAll();
    QTest::keyClicks(field, QStringLiteral("-5"));
    QTest::keyClick(field, Qt::Key_Return);
    QCOMPARE(t.Value("C3"), 150.0);
    QVERIFY(!message->isHidden());
    QVERIFY(message->text().contains(QStringLiteral("-5")));
    QVERIFY(message->text().contains(QStringLiteral("C3")));
    QCOMPARE(field->text(), QStringLiteral("150"));
}

void TuningPanelTest::projectTuningIsShownAndReported() {
    Tuning t;
    feldan::ProjectState& project = t.w.form->Document().Project();
    // A project's list, with a label of another topology that is left alone.
    project.SetTuning({{"C1", 200}, {"C7", 33}});
    QCOMPARE(t.Value("C1"), 200.0);
    QCOMPARE(t.Field("tuneC1")->text(), QStringLiteral("200"));
    QVERIFY(t.Tuned() != t.Designed());

    feldan::RoundingRequest rounding;
    rounding.series = feldan::ESeries::E12;
    rounding.parallelPct = 0.5;
    project.SetRounding(rounding);
    project.SetMatchOhm(50);
    const std::vector<feldan::PartsListRow> rows =
        feldan::PartsList::OfDocument(t.w.form->Document());
    QStringList parts;
    for (const feldan::PartsListRow& row : rows)
        parts.append(row.part);
    QCOMPARE(parts, (QStringList{QStringLiteral("C1=C5"), QStringLiteral("C2=C4"),
                                 QStringLiteral("C3"), Utf8("Rвх (вход и выход)"),
                                 Utf8("L-цепь к 50 Ом"), Utf8("или трансформатор")}));
    QCOMPARE(rows[0].solder, Utf8("200 пФ (подстроено)"));
    // Rounded parts: one standard value, or two in parallel.
    QVERIFY2(rows[1].solder.contains(Utf8(" пФ")), qPrintable(rows[1].solder));
    QVERIFY(rows[1].solder != rows[1].designed);

    // The report's last page says the same.
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (pdftotext.isEmpty()) QSKIP("pdftotext is not installed");
    QTemporaryDir folder;
    const QString pdf = folder.filePath(QStringLiteral("report.pdf"));
    QFile file(pdf);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QVERIFY(t.w.form->WriteReport(file));
    file.close();
    QProcess extract;
    extract.start(pdftotext, {QStringLiteral("-f"), QStringLiteral("3"), pdf, QStringLiteral("-")});
    QVERIFY(extract.waitForFinished(30000));
    const QString text = QString::fromUtf8(extract.readAllStandardOutput());
    QVERIFY2(text.contains(Utf8("Детали для сборки")), qPrintable(text));
    QVERIFY2(text.contains(Utf8("200 пФ (подстроено)")), qPrintable(text));
    QVERIFY2(text.contains(Utf8("N2/N1")), qPrintable(text));
}

void TuningPanelTest::crystalSetBringsItsTrims() {
    Tuning t;
    feldan::ProjectState& project = t.w.form->Document().Project();
    std::vector<feldan::NamedCrystal> table;
    for (double shiftHz : {-300.0, 0.0, -150.0, -80.0}) {
        table.push_back(
            {"X" + std::to_string(table.size() + 1),
             feldan::CrystalFromSeriesResonance(8861736 + shiftHz, 10.1e-3, 5.7, 6.3e-12)});
    }
    project.SetCrystals(table);
    project.SetTrim(true);
    project.SetPositions({0, 1, 2, 3});
    // Lifted to the highest crystal (ZQ2): every other position has a trim to tune.
    QStringList labels;
    for (const feldan::TunablePart& part : t.panel->Parts())
        labels.append(QString::fromStdString(part.label));
    QCOMPARE(labels, (QStringList{QStringLiteral("C1"), QStringLiteral("C2"), QStringLiteral("C3"),
                                  QStringLiteral("Rin"), QStringLiteral("Ct1"),
                                  QStringLiteral("Ct3"), QStringLiteral("Ct4")}));
    Wheel(t.Field("tuneCt1"), 1);
    QVERIFY(t.Tuned() != t.Designed());

    const std::vector<feldan::PartsListRow> rows =
        feldan::PartsList::OfDocument(t.w.form->Document());
    QCOMPARE(rows.size(), std::size_t(8));
    QCOMPARE(rows[4].part, QStringLiteral("ZQ1"));
    QCOMPARE(rows[4].designed, Utf8("X1, fs 8861.436 кГц"));
    QVERIFY2(rows[4].solder.endsWith(Utf8("(подстроено)")), qPrintable(rows[4].solder));
    QCOMPARE(rows[5].solder, QString());  // the highest crystal needs no trim
}

// A Bessel design's two ends want different terminations: a field for each, the output's moves
// the output end alone, and the parts list and the matching name both ends.
void TuningPanelTest::endsThatDifferAreTunedEachOnItsOwn() {
    Tuning t;
    // Picked as a user picks them: the list's activation runs the window's handler.
    for (const auto& [name, index] :
         {std::pair{"topologyCombo", feldan::FilterTypeOfLadder(feldan::LadderStructure::Plain, 5)},
          {"responseCombo", int(feldan::ResponseType::Bessel)}}) {
        auto* box = t.w.Get<QComboBox>(name);
        box->setCurrentIndex(index - 1);
        emit box->activated(index - 1);
    }
    t.w.form->CalculateDesign();
    QCOMPARE(t.w.Get<QLabel>("tuneRinLabel")->text(), Utf8("Rвх"));
    QCOMPARE(t.w.Get<QLabel>("tuneRoutLabel")->text(), Utf8("Rвых"));
    const double rin = t.Value("Rin"), rout = t.Value("Rout");
    QVERIFY(rout > 0 && rin > 2 * rout);
    Wheel(t.Field("tuneRout"), 1);
    QCOMPARE(t.Value("Rout"), rout * 1.01);
    QCOMPARE(t.Value("Rin"), rin);
    QVERIFY(t.Tuned() != t.Designed());

    t.w.form->Document().Project().SetMatchOhm(50.0);
    QStringList parts;
    for (const feldan::PartsListRow& row : feldan::PartsList::OfDocument(t.w.form->Document()))
        parts.append(row.part);
    for (const char* part : {"Rвх", "Rвых", "L-цепь входа к 50 Ом", "L-цепь выхода к 50 Ом"})
        QVERIFY2(parts.contains(Utf8(part)), qPrintable(parts.join(u'|')));
}

QTEST_MAIN(TuningPanelTest)
#include "tuning_panel_test.moc"
