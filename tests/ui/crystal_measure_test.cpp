// Измерить… and Следующий in the "Кварцы" window against the simulated analyser on a
// pseudo-terminal: the crystals found are those behind it, each added as a row with its sweep,
// the sweep kept in the project; a fault is named and the rows already added stay.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTest>
#include <atomic>
#include <cmath>

#include "files/project_file.h"
#include "instruments/simulated/simulated_analyser.h"
#include "instruments/simulated/simulated_v2.h"
#include "ui/analysis/measured_overlay.h"
#include "ui/common/design_document.h"
#include "ui/common/language.h"
#include "ui/common/project_state.h"
#include "ui/common/ui_text.h"
#include "ui/crystals/crystal_window.h"
#include "ui/crystals/measure_dialog.h"
#include "ui_test_support.h"

using feldan::testing::Utf8;
using feldan::testing::WindowUnderTest;
using namespace feldan;
using namespace std::chrono_literals;

namespace {

class MeasureAnswers : public CrystalDialogs {
  public:
    QStringList GetOpenFileNames(const QString&, const QString&) override { return {}; }
    std::optional<double> FixtureOhm(double referenceOhm) override { return referenceOhm; }
    std::optional<G3uurReadings> G3uur() override { return std::nullopt; }
    std::optional<AnalyserSettings> Measurement(const AnalyserSettings&) override {
        ++asked;
        return answer;
    }
    std::optional<AnalyserSettings> answer;
    int asked = 0;
};

// Two crystals of a bag, 130 Hz apart, one behind the analyser at a time.
const CrystalModel Bag[] = {CrystalFromSeriesResonance(8861700, 10.1e-3, 6, 6.3e-12),
                            CrystalFromSeriesResonance(8861830, 10.4e-3, 9, 6.1e-12)};

struct MeasureUnderTest : WindowUnderTest {
    explicit MeasureUnderTest(simulated::SimulatedAnalyserSettings settings) {
        Trigger("crystalsAction");
        window = form->findChild<CrystalWindow*>(QStringLiteral("CrystalWindow"));
        auto owned = std::make_unique<MeasureAnswers>();
        answers = owned.get();
        window->SetCrystalDialogs(std::move(owned));
        window->SetReadLimits(ReadLimits{300ms, 50ms, 300ms, 300ms});
        if (!settings.response) {
            settings.response = [this](double hz) {
                return simulated::CrystalInSeries(Bag[behind.load()])(hz);
            };
        }
        device = std::make_unique<simulated::SimulatedAnalyser>(std::move(settings));
        answers->answer = AnalyserSettings{QString::fromStdString(device->Port()), 50, 8.86e6, 0};
    }
    // Runs a command of the window and waits for its measurement to end.
    bool Finish(const std::function<void()>& command) {
        QSignalSpy finished(window, &CrystalWindow::MeasurementFinished);
        command();
        return finished.wait(120000);
    }
    const std::vector<NamedCrystal>& Crystals() const {
        return form->findChild<ProjectState*>()->Crystals();
    }
    CrystalWindow* window = nullptr;
    MeasureAnswers* answers = nullptr;
    std::atomic<int> behind{0};
    std::unique_ptr<simulated::SimulatedAnalyser> device;
};

}  // namespace

class CrystalMeasureTest : public QObject {
    Q_OBJECT
  private slots:
    void aBagIsMeasuredOneKeyPerCrystal();
    void faultsAreNamedAndTheRowsStay();
    void aReferenceCrystalFindsTheClockError();
    void theDialogTakesATypedPortAndRefusesBadNumbers();
    void theBuiltFilterIsSweptLiveUntilStopped();
    void usbPortsComeFirstAndANominalTypedIsKept();
    void aV2IsMeasuredAsTheShellIs();
};

void CrystalMeasureTest::aBagIsMeasuredOneKeyPerCrystal() {
    simulated::SimulatedAnalyserSettings settings;
    settings.noise = 1e-4;
    MeasureUnderTest w(settings);
    QVERIFY(w.Finish([&] { w.window->Measure(); }));
    // Следующий, on its key, measures the next crystal without asking again.
    w.behind = 1;
    auto* next = w.window->findChild<QPushButton*>(QStringLiteral("nextButton"));
    QCOMPARE(next->shortcut(), QKeySequence(Qt::Key_F3));
    w.window->show();
    w.window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w.window));
    QVERIFY(w.Finish([&] { QTest::keyClick(w.window, Qt::Key_F3); }));
    QCOMPARE(w.answers->asked, 1);
    QCOMPARE(w.window->Table()->rowCount(), 2);
    for (int k = 0; k < 2; ++k) {
        const NamedCrystal& c = w.Crystals()[static_cast<std::size_t>(k)];
        QVERIFY2(std::abs(c.model.fsHz - Bag[k].fsHz) < 2,
                 qPrintable(QString::number(c.model.fsHz)));
        QVERIFY2(std::abs(c.model.lmH / Bag[k].lmH - 1) < 0.02,
                 qPrintable(QString::number(c.model.lmH)));
        QVERIFY(c.sweep && c.sweep->frequencyHz.size() > 200);
    }
    QVERIFY(!w.window->MeasuredSeries()->points().isEmpty());
    QCOMPARE(RememberedAnalyserSettings().port, w.answers->answer->port);

    // The sweep goes into the project and comes back from it.
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("bag.feldan"));
    w.dialogs->saveAnswer = path;
    w.Trigger("saveAsAction");
    w.Get<QAction>("newAction")->trigger();
    QCOMPARE(w.window->Table()->rowCount(), 0);
    w.dialogs->openAnswer = path;
    w.Trigger("openAction");
    QCOMPARE(w.window->Table()->rowCount(), 2);
    // Reopened, each row shows the residual of its values against its sweep again, and nothing
    // said of the measurements before stays.
    for (int row : {0, 1}) {
        const QString shown = w.window->Table()->item(row, CrystalWindow::RmsColumn)->text();
        QVERIFY2(!shown.isEmpty() && shown.toDouble() < PoorFitDb, qPrintable(shown));
    }
    QVERIFY(w.window->findChild<QLabel*>(QStringLiteral("measureLabel"))->text().isEmpty());
    const Project read = ReadProjectFile(path.toStdString());
    QCOMPARE(read.crystals[1].sweep->measured, w.Crystals()[1].sweep->measured);
    w.window->ShowCrystal(1);
    QVERIFY(!w.window->MeasuredSeries()->points().isEmpty());

    // A value typed over the fit comes back to the sweep's own fit on Подогнать заново.
    std::vector<NamedCrystal> edited = w.Crystals();
    edited[1].model = CrystalFromSeriesResonance(8862500, 12e-3, 20, 6e-12);
    w.form->findChild<ProjectState*>()->SetCrystals(edited);
    w.window->Table()->setCurrentCell(1, 0);
    w.window->findChild<QPushButton*>(QStringLiteral("refitButton"))->click();
    QVERIFY2(std::abs(w.Crystals()[1].model.fsHz - Bag[1].fsHz) < 2,
             qPrintable(QString::number(w.Crystals()[1].model.fsHz)));
}

void CrystalMeasureTest::faultsAreNamedAndTheRowsStay() {
    const struct {
        simulated::Misbehaviour misbehaviour;
        bool cancel;
        const char* said;  // in the error box; nothing: no box
    } cases[] = {
        {simulated::Misbehaviour::StopAnswering, false, "перестал отвечать"},
        {simulated::Misbehaviour::DropPort, false, "связь с прибором прервалась"},
        {simulated::Misbehaviour::None, true, nullptr},
    };
    for (const auto& c : cases) {
        simulated::SimulatedAnalyserSettings settings;
        settings.misbehaviour = c.misbehaviour;
        settings.atScan = 3;
        MeasureUnderTest w(settings);
        w.window->AddRow();
        QVERIFY(w.Finish([&] {
            w.window->Measure();
            if (c.cancel) w.window->CancelMeasurement();
        }));
        QCOMPARE(w.window->Table()->rowCount(), 1);
        QCOMPARE(w.dialogs->errors.size(), c.said ? 1 : 0);
        if (c.said)
            QVERIFY2(w.dialogs->errors.front().contains(Utf8(c.said)),
                     qPrintable(w.dialogs->errors.front()));
        QVERIFY(!w.window->Measuring());
    }
    // A port that is not there is named before anything is measured.
    MeasureUnderTest w{simulated::SimulatedAnalyserSettings{}};
    w.answers->answer->port = QStringLiteral("/nonexistent/ttyACM9");
    QVERIFY(w.Finish([&] { w.window->Measure(); }));
    QVERIFY(w.dialogs->errors.size() == 1 &&
            w.dialogs->errors.front().contains(QStringLiteral("/nonexistent/ttyACM9")));
}

void CrystalMeasureTest::aReferenceCrystalFindsTheClockError() {
    simulated::SimulatedAnalyserSettings settings;
    settings.clockPpm = 25;
    MeasureUnderTest w(settings);
    // Measured before the correction is known, the crystal lies 25 ppm off.
    w.behind = 1;
    QVERIFY(w.Finish([&] { w.window->Measure(); }));
    QVERIFY(std::abs(w.Crystals()[0].model.fsHz - Bag[1].fsHz) > 150);
    w.behind = 0;
    w.dialogs->numberAnswer = Bag[0].fsHz;
    QVERIFY(w.Finish([&] { w.window->MeasureReference(); }));
    QCOMPARE(w.window->Table()->rowCount(), 1);
    const double ppm = RememberedAnalyserSettings().ppm;
    QVERIFY2(std::abs(ppm - 25) < 0.1, qPrintable(QString::number(ppm)));
    // The correction reaches the row measured before it, fitted again from its sweep, and the
    // next crystal: the same crystal measured again agrees with it.
    QVERIFY2(std::abs(w.Crystals()[0].model.fsHz - Bag[1].fsHz) < 2,
             qPrintable(QString::number(w.Crystals()[0].model.fsHz)));
    QVERIFY(w.window->findChild<QLabel*>(QStringLiteral("measureLabel"))
                ->text()
                .contains(Utf8("пересчитаны")));
    w.behind = 1;
    QVERIFY(w.Finish([&] { w.window->MeasureNext(); }));
    QVERIFY2(std::abs(w.Crystals()[1].model.fsHz - w.Crystals()[0].model.fsHz) < 2,
             qPrintable(QString::number(w.Crystals()[1].model.fsHz - w.Crystals()[0].model.fsHz)));
}

void CrystalMeasureTest::theDialogTakesATypedPortAndRefusesBadNumbers() {
    MeasureDialog dialog(AnalyserSettings{QStringLiteral("/dev/ttyACM7"), 12.5, 10e6, 1.5},
                         nullptr);
    auto* nominal = dialog.findChild<QLineEdit*>(QStringLiteral("nominalEdit"));
    nominal->setText(QStringLiteral("8,86 МГц"));
    dialog.accept();
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QVERIFY(!dialog.findChild<QLabel*>(QStringLiteral("problemLabel"))->text().isEmpty());
    nominal->setText(QStringLiteral("8861,7"));
    dialog.accept();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.Chosen().port, QStringLiteral("/dev/ttyACM7"));
    QCOMPARE(dialog.Chosen().fixtureOhm, 12.5);
    QCOMPARE(dialog.Chosen().nominalHz, 8861700.0);
    QCOMPARE(dialog.Chosen().ppm, 1.5);
}

void CrystalMeasureTest::usbPortsComeFirstAndANominalTypedIsKept() {
    // The board's ttyS ports, which no analyser uses, after every USB port, each group as found.
    std::vector<AnalyserPort> ports = {
        {QStringLiteral("/dev/ttyS0"), {}, AnalyserFamily::Other},
        {QStringLiteral("/dev/ttyUSB0"), {}, AnalyserFamily::Other},
        {QStringLiteral("/dev/ttyS1"), {}, AnalyserFamily::Other},
        {QStringLiteral("/dev/ttyACM1"), {}, AnalyserFamily::Other},
        {QStringLiteral("/dev/ttyACM2"), {}, AnalyserFamily::Binary},
        {QStringLiteral("/dev/ttyACM0"), {}, AnalyserFamily::TextShell}};
    OrderAnalyserPorts(ports);
    QStringList order;
    for (const AnalyserPort& port : ports)
        order.append(port.device.section(QLatin1Char('/'), -1));
    QCOMPARE(order.join(QLatin1Char(' ')),
             QStringLiteral("ttyACM2 ttyACM0 ttyUSB0 ttyACM1 ttyS0 ttyS1"));

    // Left with Отмена (to plug the analyser in), the dialog still keeps the nominal typed.
    feldan::testing::IsolateSettings();
    MeasureDialog dialog(AnalyserSettings{}, nullptr);
    dialog.findChild<QLineEdit*>(QStringLiteral("nominalEdit"))->setText(QStringLiteral("10000"));
    dialog.reject();
    QCOMPARE(RememberedAnalyserSettings().nominalHz, 10e6);
    MeasureDialog again(RememberedAnalyserSettings(), nullptr);
    QCOMPARE(TypedNumber(again.findChild<QLineEdit*>(QStringLiteral("nominalEdit"))->text()),
             std::optional(10000.0));
}

void CrystalMeasureTest::theBuiltFilterIsSweptLiveUntilStopped() {
    simulated::SimulatedAnalyserSettings settings;
    // Behind the analyser a 6.02 dB pad: S21 = 0.5 at every frequency.
    settings.response = [](double) { return std::array<std::complex<double>, 2>{0.0, 0.5}; };
    MeasureUnderTest w(settings);
    w.Calculate();
    w.form->Views().ShowView(AnalysisView::WideBand);
    auto* overlay = w.form->findChild<MeasuredOverlay*>();
    overlay->SetLiveTiming(ReadLimits{300ms, 50ms, 300ms, 300ms}, 10ms);
    auto* live = w.Get<QAction>("liveMeasuredAction");
    // Before a port was ever chosen: said, and nothing starts.
    RememberAnalyserSettings({});
    live->trigger();
    QCOMPARE(w.dialogs->errors.size(), 1);
    QVERIFY(!overlay->Live() && !live->isChecked());
    RememberAnalyserSettings(*w.answers->answer);
    live->trigger();
    QLineSeries* series = w.Get<ResponseChart>("chart")->MeasuredSeries();
    // Two sweeps at least: the first drawn, and the analyser still asked.
    QTRY_VERIFY_WITH_TIMEOUT(!series->points().isEmpty() && w.device->Scans() >= 8, 60000);
    live->trigger();
    QVERIFY(!overlay->Live());
    for (const QPointF& p : series->points())
        QVERIFY2(std::abs(p.y() + 6.0206) < 0.001, qPrintable(QString::number(p.y())));
    // The last sweep stays, named in the language in force.
    QCOMPARE(series->name(), Utf8("с прибора"));
    feldan::SetLanguage(feldan::Language::English);
    QCOMPARE(series->name(), QStringLiteral("from the device"));
    feldan::SetLanguage(feldan::Language::Russian);
}

// The same Измерить on a V2 behind the port, found by its answer with nothing to choose.
void CrystalMeasureTest::aV2IsMeasuredAsTheShellIs() {
    MeasureUnderTest w{simulated::SimulatedAnalyserSettings{}};
    simulated::SimulatedV2Settings settings;
    settings.response = simulated::CrystalInSeries(Bag[1]);
    simulated::SimulatedV2 v2(settings);
    w.answers->answer->port = QString::fromStdString(v2.Port());
    QVERIFY(w.Finish([&] { w.window->Measure(); }));
    QCOMPARE(w.window->Table()->rowCount(), 1);
    const CrystalModel& measured = w.Crystals()[0].model;
    QVERIFY2(std::abs(measured.fsHz - Bag[1].fsHz) < 2, qPrintable(QString::number(measured.fsHz)));
    QVERIFY2(std::abs(measured.lmH / Bag[1].lmH - 1) < 0.02,
             qPrintable(QString::number(measured.lmH)));
    QVERIFY(v2.Scans() > 0);
}

QTEST_MAIN(CrystalMeasureTest)
#include "crystal_measure_test.moc"
