// The "Кварцы" window, the design from its set in the main window, and projects through Открыть
// and Сохранить. Sweeps are written from known crystals, so the fit has a truth to meet.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

#include "engine/crystal_set.h"
#include "files/project_file.h"
#include "files/touchstone.h"
#include "ui/common/project_state.h"
#include "ui/crystals/crystal_set.h"
#include "ui/crystals/crystal_window.h"
#include "ui/widgets/zoom_view.h"
#include "ui_test_support.h"

using feldan::testing::Utf8;
using feldan::testing::WindowUnderTest;
using namespace feldan;

namespace {

class ScriptedCrystalDialogs : public CrystalDialogs {
  public:
    QStringList GetOpenFileNames(const QString&, const QString&) override { return files; }
    std::optional<double> FixtureOhm(double referenceOhm) override { return referenceOhm; }
    std::optional<G3uurReadings> G3uur() override { return readings; }
    QStringList files;
    std::optional<G3uurReadings> readings;
};

// Crystals of one batch: 8.8617 MHz, 10.1 mH, 6 Ohm, 6.3 pF, fs moved by `offsetHz`.
CrystalModel Batch(double offsetHz, double rmOhm = 6) {
    return CrystalFromSeriesResonance(8861700 + offsetHz, 10.1e-3, rmOhm, 6.3e-12);
}

// The S21 sweep of a crystal in series in a 50 Ohm fixture, from below fs to past fp.
void WriteSweep(const QString& path, const CrystalModel& crystal) {
    TouchstoneData data;
    data.ports = 2;
    for (int i = 0; i <= 3000; ++i) {
        const double hz = crystal.fsHz - 3000 + 10.0 * i;
        const auto s21 = MeasuredOf(SweepKind::SeriesThrough, 50, crystal.Impedance(hz));
        data.frequencyHz.push_back(hz);
        data.s.push_back({0, s21, s21, 0});
    }
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QByteArray::fromStdString(TouchstoneBytes(data, {})));
}

struct CrystalWindowUnderTest : WindowUnderTest {
    CrystalWindowUnderTest() {
        Trigger("crystalsAction");
        window = form->findChild<CrystalWindow*>(QStringLiteral("CrystalWindow"));
        auto owned = std::make_unique<ScriptedCrystalDialogs>();
        scripted = owned.get();
        window->SetCrystalDialogs(std::move(owned));
    }
    QString Cell(int row, int column) const { return window->Table()->item(row, column)->text(); }
    void Type(int row, int column, const QString& text) {
        window->Table()->item(row, column)->setText(text);
    }
    CrystalWindow* window = nullptr;
    ScriptedCrystalDialogs* scripted = nullptr;
};

// The attenuation of a curve at a detuning, between its points.
double AttenuationAt(const std::vector<CurvePoint>& curve, double x) {
    const auto after = std::lower_bound(curve.begin(), curve.end(), x,
                                        [](const CurvePoint& p, double v) { return p.x < v; });
    if (after == curve.begin() || after == curve.end()) return NAN;
    const CurvePoint& a = *(after - 1);
    const CurvePoint& b = *after;
    return a.y + (b.y - a.y) * (x - a.x) / (b.x - a.x);
}

std::vector<NamedCrystal> Named(std::initializer_list<CrystalModel> models) {
    std::vector<NamedCrystal> crystals;
    for (const CrystalModel& m : models)
        crystals.push_back({"x" + std::to_string(crystals.size() + 1), m});
    return crystals;
}

}  // namespace

class CrystalWindowTest : public QObject {
    Q_OBJECT
  private slots:
    void sweepsAreFittedAndFailuresNamed();
    void theFitPlotZoomsAndDrawsNoAxesEmpty();
    void aFitThatDoesNotConvergeKeepsItsCrystal();
    void cellsAreEditedAndBadNumbersRefused();
    void pickBestTakesTheClosestAsTheSet();
    void pickByTheResponseRunsAsideAndSaysWhyItWon();
    void aShorterTableDropsTheSetBeforeItIsShown();
    void theSetDrivesTheCalculationAndTrimsRestoreIt();
    void projectsOpenMarkChangesAndRoundTrip();
};

void CrystalWindowTest::sweepsAreFittedAndFailuresNamed() {
    QTemporaryDir folder;
    CrystalWindowUnderTest w;
    const QString a = folder.filePath(QStringLiteral("a.s2p"));
    const QString b = folder.filePath(QStringLiteral("b.s2p"));
    const QString broken = folder.filePath(QStringLiteral("broken.s2p"));
    WriteSweep(a, Batch(0));
    WriteSweep(b, Batch(137, 9));
    QFile bad(broken);
    QVERIFY(bad.open(QIODevice::WriteOnly));
    bad.write("# Hz S RI R 50\n1000 0 0 zero 0 0 0 0 0\n");
    bad.close();
    w.scripted->files = {a, broken, b};
    w.window->AddMeasurements();

    QCOMPARE(w.window->Table()->rowCount(), 2);
    QCOMPARE(w.Cell(0, CrystalWindow::NameColumn), QStringLiteral("a"));
    QCOMPARE(w.Cell(1, CrystalWindow::NameColumn), QStringLiteral("b"));
    QVERIFY(std::abs(w.Cell(0, CrystalWindow::FsColumn).toDouble() - 8861700) < 0.5);
    QVERIFY(std::abs(w.Cell(1, CrystalWindow::FsColumn).toDouble() - 8861837) < 0.5);
    QVERIFY(std::abs(w.Cell(1, CrystalWindow::RmColumn).toDouble() - 9) < 0.01);
    QCOMPARE(w.form->Document().Project().Crystals().size(), std::size_t{2});
    // The file that cannot be read is named; the others were added all the same.
    QCOMPARE(w.dialogs->warnings.size(), 1);
    QVERIFY2(w.dialogs->warnings.front().contains(QStringLiteral("broken.s2p")),
             qPrintable(w.dialogs->warnings.front()));
    // The selected crystal's sweep and model lie on each other.
    w.window->ShowCrystal(1);
    const QList<QPointF> measured = w.window->MeasuredSeries()->points();
    const QList<QPointF> model = w.window->ModelSeries()->points();
    QCOMPARE(measured.size(), 3001);
    QCOMPARE(model.size(), measured.size());
    for (int i = 0; i < measured.size(); i += 50)
        QVERIFY(std::abs(measured[i].y() - model[i].y()) < 0.01);
}

// Empty, the plot shows no axes (no made-up numbers); with a sweep, it zooms like the main chart
// and keeps distinct labels on a span of a few hertz.
void CrystalWindowTest::theFitPlotZoomsAndDrawsNoAxesEmpty() {
    QTemporaryDir folder;
    CrystalWindowUnderTest w;
    w.window->resize(900, 700);
    w.window->show();
    auto* plot = w.window->findChild<ZoomView*>(QStringLiteral("crystalPlot"));
    QVERIFY(plot);
    const auto axes = [&] { return plot->chart()->axes(); };
    for (QAbstractAxis* axis : axes())
        QVERIFY(!axis->isVisible());
    const QString sweep = folder.filePath(QStringLiteral("x.s2p"));
    WriteSweep(sweep, Batch(0));
    w.scripted->files = {sweep};
    w.window->AddMeasurements();
    w.window->ShowCrystal(0);
    auto* x = qobject_cast<QValueAxis*>(plot->chart()->axes(Qt::Horizontal).front());
    QVERIFY(x->isVisible());
    const double low = x->min(), high = x->max();
    const QPoint middle = plot->chart()->plotArea().center().toPoint();
    for (int notch = 0; notch < 40; ++notch)
        plot->ZoomAround(middle, 0.8);
    // 30 kHz wide at first, down to a few hertz: the labels still tell their steps apart.
    QVERIFY2(x->max() - x->min() < 0.005, qPrintable(QString::number(x->max() - x->min())));
    QVERIFY(x->tickInterval() >= 1e-4 && x->tickInterval() < (x->max() - x->min()) / 3);
    const QString format = x->labelFormat();
    QCOMPARE(QString::asprintf(qPrintable(format), x->min()) ==
                 QString::asprintf(qPrintable(format), x->min() + x->tickInterval()),
             false);
    QTest::mouseClick(plot->viewport(), Qt::RightButton, {}, middle);
    QCOMPARE(x->min(), low);
    QCOMPARE(x->max(), high);
}

// A laboratory sweep of a crystal on an active board, whose fit does not converge: the crystal
// stays in the table, marked, with an fs inside the measured peak's half-power band.
void CrystalWindowTest::aFitThatDoesNotConvergeKeepsItsCrystal() {
    const QString path =
        QStringLiteral(FELDAN_TEST_DATA_DIR "/touchstone/chili-chips-ba_uberClock_B300_25C.s2p");
    const feldan::TouchstoneData data = feldan::ReadTouchstoneFile(path.toStdString());
    std::size_t peak = 0;
    for (std::size_t i = 0; i < data.size(); ++i)
        if (std::abs(data.S21(i)) > std::abs(data.S21(peak))) peak = i;
    double low = data.frequencyHz[peak], high = low;
    for (std::size_t i = peak;
         i > 0 && std::abs(data.S21(i)) > std::abs(data.S21(peak)) / std::sqrt(2.0); --i)
        low = data.frequencyHz[i - 1];
    for (std::size_t i = peak;
         i + 1 < data.size() && std::abs(data.S21(i)) > std::abs(data.S21(peak)) / std::sqrt(2.0);
         ++i)
        high = data.frequencyHz[i + 1];
    CrystalWindowUnderTest w;
    w.scripted->files = {path};
    w.window->AddMeasurements();
    QCOMPARE(w.window->Table()->rowCount(), 1);
    const double fs = w.form->Document().Project().Crystals().front().model.fsHz;
    QVERIFY2(low <= fs && fs <= high, qPrintable(QStringLiteral("%1 %2 %3")
                                                     .arg(low, 0, 'f', 1)
                                                     .arg(fs, 0, 'f', 1)
                                                     .arg(high, 0, 'f', 1)));
    QVERIFY(!w.window->Table()->item(0, CrystalWindow::RmsColumn)->toolTip().isEmpty());
}

void CrystalWindowTest::cellsAreEditedAndBadNumbersRefused() {
    CrystalWindowUnderTest w;
    w.window->AddRow();
    w.Type(0, CrystalWindow::FsColumn, QStringLiteral("8000000"));
    w.Type(0, CrystalWindow::LmColumn, QStringLiteral("20"));
    w.Type(0, CrystalWindow::RmColumn, QStringLiteral("10"));
    w.Type(0, CrystalWindow::C0Column, QStringLiteral("5,5"));
    const CrystalModel m = w.form->Document().Project().Crystals().front().model;
    // Cm follows: 1/((2π·8 MHz)²·20 mH) = 19.79 fF.
    QVERIFY(std::abs(m.cmF * 1e15 - 19.7898) < 1e-3);
    QCOMPARE(m.c0F, 5.5e-12);
    QVERIFY(std::abs(w.Cell(0, CrystalWindow::CmColumn).toDouble() - m.cmF * 1e15) < 1e-4);
    w.Type(0, CrystalWindow::LmColumn, QStringLiteral("abc"));
    QCOMPARE(w.dialogs->errors.size(), 1);
    QVERIFY(w.dialogs->errors.front().contains(Utf8("Lm (мГн)")));
    QCOMPARE(w.form->Document().Project().Crystals().front().model.lmH, 20e-3);
    // G3UUR with C0: Cm = 2·Δf·(C0 + C1)/f0 = 2·1000·(5 + 30) pF/8 MHz = 8.75 fF.
    w.scripted->readings = G3uurReadings{QStringLiteral("g"),
                                         QStringLiteral("8000000"),
                                         QStringLiteral("8001000"),
                                         QStringLiteral("30"),
                                         {},
                                         {},
                                         QStringLiteral("5"),
                                         QStringLiteral("12")};
    w.window->AddFromG3uur();
    QCOMPARE(w.form->Document().Project().Crystals().size(), std::size_t{2});
    QVERIFY(std::abs(w.form->Document().Project().Crystals().back().model.cmF - 8.75e-15) < 1e-19);
}

void CrystalWindowTest::pickBestTakesTheClosestAsTheSet() {
    CrystalWindowUnderTest w;
    w.form->Document().Project().SetCrystals(
        Named({Batch(0), Batch(300), Batch(10), Batch(-500), Batch(20), Batch(5)}));
    w.window->PickBest();  // the default topology holds four crystals
    QCOMPARE(w.form->Document().Project().Positions(), (std::vector<int>{0, 5, 2, 4}));
    QCOMPARE(w.Cell(5, CrystalWindow::SetColumn), QStringLiteral("ZQ2"));
    QCOMPARE(w.Cell(1, CrystalWindow::SetColumn), QString());
    // The trim lifts each to the highest fs: none for the highest.
    QCOMPARE(w.Cell(4, CrystalWindow::TrimColumn), QStringLiteral("0"));
    // Off sets the set aside, on brings it back.
    w.Get<QCheckBox>("useSetBox")->click();
    QVERIFY(!w.form->Document().Project().UsesCrystalSet());
    // Switched off, the set is kept, and so is it in the project file.
    const Project aside = ParseProject(
        ProjectBytes(w.form->Document().Project().ToProject(w.form->Document().Design())),
        "p.feldan");
    QCOMPARE(aside.positions, (std::vector<int>{0, 5, 2, 4}));
    QVERIFY(aside.CrystalsOfSet().empty());
    w.Get<QCheckBox>("useSetBox")->click();
    QCOMPARE(w.form->Document().Project().Positions(), (std::vector<int>{0, 5, 2, 4}));
}

void CrystalWindowTest::pickByTheResponseRunsAsideAndSaysWhyItWon() {
    CrystalWindowUnderTest w;
    ProjectState& project = w.form->Document().Project();
    // The third crystal's fs is among the closest, but its Lm is a fifth larger: it detunes
    // its mesh by some 300 Hz.
    const CrystalModel otherLm = CrystalFromSeriesResonance(8861702, 12.1e-3, 6, 6.3e-12);
    project.SetCrystals(Named({Batch(0), Batch(5), otherLm, Batch(10), Batch(30), Batch(300)}));
    w.Get<QComboBox>("pickMethodCombo")->setCurrentIndex(1);
    QSignalSpy finished(w.window->findChild<CrystalSet*>(QStringLiteral("crystalSet")),
                        &CrystalSet::PickFinished);
    auto* pick = w.Get<QPushButton>("pickButton");
    pick->click();
    // The end comes through the event loop: until then the pick is under way.
    QVERIFY(!pick->isEnabled());
    QVERIFY(w.Get<QProgressBar>("pickProgress")->isVisibleTo(w.window));
    QVERIFY(finished.wait(60000));
    QVERIFY(pick->isEnabled());
    QVERIFY(!w.Get<QProgressBar>("pickProgress")->isVisibleTo(w.window));
    QVERIFY(project.UsesCrystalSet());
    std::vector<int> rows = project.Positions();
    std::sort(rows.begin(), rows.end());
    QCOMPARE(rows, (std::vector<int>{0, 1, 3, 4}));
    const QString why = w.Get<QLabel>("pickLabel")->text();
    QVERIFY2(why.contains(Utf8("По разбросу fs")) && why.contains(Utf8("контуров")),
             qPrintable(why));
}

void CrystalWindowTest::aShorterTableDropsTheSetBeforeItIsShown() {
    CrystalWindowUnderTest w;
    ProjectState& project = w.form->Document().Project();
    project.SetCrystals(Named({Batch(0), Batch(300), Batch(10), Batch(-500), Batch(20), Batch(5)}));
    w.window->PickBest();
    QVERIFY(project.UsesCrystalSet());
    // Whoever hears of the new table must find a set that fits it.
    bool setFitsTable = true;
    QObject::connect(&project, &ProjectState::Changed, [&](ProjectState::Part part) {
        if (part != ProjectState::Part::Crystals) return;
        for (int k : project.Positions())
            setFitsTable = setFitsTable && k < static_cast<int>(project.Crystals().size());
    });
    project.SetCrystals(Named({Batch(0), Batch(10)}));
    QVERIFY(setFitsTable);
    QVERIFY(project.Positions().empty());
    QCOMPARE(w.window->Table()->rowCount(), 2);
    QCOMPARE(w.Cell(0, CrystalWindow::SetColumn), QString());
}

void CrystalWindowTest::theSetDrivesTheCalculationAndTrimsRestoreIt() {
    CrystalWindowUnderTest w;
    ProjectState& project = w.form->Document().Project();
    const CrystalModel good = Batch(0, 5.7);
    const CrystalModel low = Batch(-100, 5.7);
    project.SetCrystals(Named({good, good, low, good}));
    project.SetPositions({0, 1, 2, 3});
    // The design of equal crystals at the fs the trims lift every crystal to.
    DesignFields equalFields = w.form->Document().Design();
    equalFields.texts.Fo = "8861.7";
    equalFields.texts.Ld = "10.1";
    equalFields.texts.Cs = "6.3";
    equalFields.texts.Rd = "5.7";
    const CalculationResult equal = Calculate(equalFields, '.');
    QCOMPARE(equal.outcome, Outcome::Done);

    w.form->CalculateDesign();
    const CalculationResult untrimmed = w.form->Document().LastResult();
    QCOMPARE(untrimmed.outcome, Outcome::Done);
    w.Get<QCheckBox>("trimBox")->click();
    QVERIFY(project.Trim());
    w.form->CalculateDesign();
    const CalculationResult trimmed = w.form->Document().LastResult();
    QCOMPARE(trimmed.outcome, Outcome::Done);
    QCOMPARE(trimmed.input.FoKHz, 8861.7);
    // The pass band against Fo (its middle 80 %, away from the steep edges): the detuned
    // crystal bends it, the trim brings it back.
    const double equalFoHz = equal.input.FoKHz * 1000;
    const double edgeKHz =
        (equal.measurements.UpperEdgeHz - equal.measurements.LowerEdgeHz) / 1000 / 10;
    const double lowerKHz = (equal.measurements.LowerEdgeHz - equalFoHz) / 1000 + edgeKHz;
    const double upperKHz = (equal.measurements.UpperEdgeHz - equalFoHz) / 1000 - edgeKHz;
    const auto bandError = [&](const CalculationResult& r) {
        double worst = 0;
        for (const CurvePoint& p : r.curve) {
            if (p.x < lowerKHz || p.x > upperKHz) continue;
            const double y = AttenuationAt(equal.curve, p.x);
            if (!std::isnan(y)) worst = std::max(worst, std::abs(p.y - y));
        }
        return worst;
    };
    const double untrimmedDb = bandError(untrimmed);
    const double trimmedDb = bandError(trimmed);
    QVERIFY2(untrimmedDb > 0.15 && trimmedDb < 0.1 && trimmedDb < untrimmedDb / 2,
             qPrintable(QStringLiteral("%1 %2").arg(untrimmedDb).arg(trimmedDb)));
    // The summary ends with the aligned Fo and the trims; only ZQ3 needs one.
    const QString last = w.MemoLines().back();
    QVERIFY2(last.startsWith(Utf8("Fo=8861.7 кГц; Ct: ZQ1=0 ZQ2=0 ZQ3=")), qPrintable(last));

    // The compare command draws the three curves under their names.
    w.Trigger("compareCrystalsAction");
    QCOMPARE(w.Series(0)->name(), Utf8("равные кварцы"));
    QCOMPARE(w.Series(2)->name(), Utf8("набор с подстройкой"));
    QVERIFY(w.Series(1)->count() > 100 && w.Series(2)->count() > 100);

    // A set of another size than the topology's is refused by name, not calculated.
    project.SetPositions({0, 1, 2});
    w.form->CalculateDesign();
    QCOMPARE(w.dialogs->errors.size(), 1);
    QVERIFY2(w.dialogs->errors.front().contains(QStringLiteral("4")),
             qPrintable(w.dialogs->errors.front()));
}

void CrystalWindowTest::projectsOpenMarkChangesAndRoundTrip() {
    QTemporaryDir folder;
    Project written;
    written.design = {{"8861.7", "3000", "10.1", "6.3", "5.7", "", "-3"}, 2, 1};
    written.crystals = Named({Batch(0), Batch(12), Batch(30), Batch(7), Batch(90)});
    written.positions = {0, 3, 1, 2};
    written.trim = true;
    const QString path = folder.filePath(QStringLiteral("p.feldan"));
    WriteProjectFile(path.toStdString(), written);

    CrystalWindowUnderTest w;
    w.dialogs->openAnswer = path;
    w.Get<QAction>("openAction")->trigger();
    QCOMPARE(w.form->Document().Design().texts.Df, std::string("3000"));
    QCOMPARE(w.window->Table()->rowCount(), 5);
    QCOMPARE(w.Cell(3, CrystalWindow::SetColumn), QStringLiteral("ZQ2"));
    QVERIFY(w.Get<QCheckBox>("trimBox")->isChecked());
    QVERIFY(!w.form->isWindowModified());
    w.Type(4, CrystalWindow::NameColumn, QStringLiteral("spare"));
    QVERIFY(w.form->isWindowModified());

    const QString copy = folder.filePath(QStringLiteral("copy.feldan"));
    w.dialogs->saveAnswer = copy;
    w.Get<QAction>("saveAsAction")->trigger();
    QVERIFY(!w.form->isWindowModified());
    Project read = ReadProjectFile(copy.toStdString());
    QCOMPARE(read.crystals[4].name, std::string("spare"));
    read.crystals[4].name = "x5";
    QCOMPARE(ProjectBytes(read), ProjectBytes(written));

    // A design file keeps only the fields: the window says so and the mark stays.
    const qsizetype warned = w.dialogs->warnings.size();
    w.dialogs->saveAnswer = folder.filePath(QStringLiteral("only.fdn"));
    w.Get<QAction>("saveAsAction")->trigger();
    QCOMPARE(w.dialogs->warnings.size(), warned + 1);
    QVERIFY(w.form->isWindowModified());

    // A broken project is named with its line.
    const QString broken = folder.filePath(QStringLiteral("broken.feldan"));
    QFile file(broken);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("{\n  \"format\": \"feldan-project\",\n  oops\n}\n");
    file.close();
    w.dialogs->openAnswer = broken;
    w.dialogs->unsavedAnswer = feldan::DialogService::UnsavedAnswer::Discard;
    w.Get<QAction>("openAction")->trigger();
    QCOMPARE(w.dialogs->errors.size(), 1);
    QVERIFY2(w.dialogs->errors.front().contains(QStringLiteral("broken.feldan")) &&
                 w.dialogs->errors.front().contains(Utf8("строка 3")),
             qPrintable(w.dialogs->errors.front()));
    QCOMPARE(w.window->Table()->rowCount(), 5);
}

QTEST_MAIN(CrystalWindowTest)
#include "crystal_window_test.moc"
