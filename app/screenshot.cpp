// Renders the main window after "Расчет" on the default design, and the information window with
// its credits standing, to PNG files, and prints the main window to a PDF file as Печать
// does:
//   feldan-screenshot [--lang ru|en] [--maximised] [--views <folder>] [--measured <file.s2p>]
//                     [--crystals <folder>] [--measuring <png>] [--build-aids <folder>]
//                     [--tuning <png>] [--diagnosis <png>]
//                     <main.png> [<info.png> <printed.pdf>]
// With --views, the window is also rendered in each view of the "Анализ" menu to
// <folder>/view-<name>.png, and the report of the design is written to <folder>/report.pdf.
// With --measured, the file is laid over the design ("Измеренный фильтр…") before <main.png>.
// With --crystals, six sweeps of a batch of crystals are fitted in the "Кварцы" window, the best
// four made the set, and the window is rendered to <folder>/crystal-window.png, the chart's
// comparison of equal crystals with the set to <folder>/crystal-set-overlay.png.
// With --measuring, three crystals are measured in the "Кварцы" window on a simulated analyser,
// and the window is rendered to <png> while the third is under way.
// With --build-aids, the windows of the "Сборка" menu go to <folder>/rounding-window.png,
// matching.png and tolerance-window.png.
// With --compare, the classic and the exact design of the default request go overlaid to
// <folder>/exact-vs-classic.png, and the step responses of exact Butterworth and Chebyshev 25 %
// designs of 2400 Hz (Butterworth, Chebyshev 25 % and Bessel) to <folder>/time-compared.png.
// With --tuning, the window is rendered last with the "Подстройка" panel open and C3 moved up
// 5 % to that file.
// With --pick, the "Кварцы" window picks eight of sixteen crystals by the response for a 500 Hz
// eight-crystal ladder, and is rendered to that file with the figures of the pick.
// With --diagnosis, a synthetic build of the default design (C3 10 % high, ZQ2 30 Hz low, Rm
// 15 % up) swept in 50 Ohm with a little noise, as a NanoVNA writes it, is opened as the
// measured filter and "Что построено…" is rendered to that file once its fit is done.
// The pictures do not depend on what the user's own runs remember: settings go to a folder of
// their own, and the language is Russian unless --lang says otherwise.
#include <QAbstractSpinBox>
#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QCheckBox>
#include <QComboBox>
#include <QCommandLineParser>
#include <QDir>
#include <QDoubleSpinBox>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QLocale>
#include <QPixmap>
#include <QPrinter>
#include <QProgressBar>
#include <QSettings>
#include <QSpinBox>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QThread>
#include <array>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <random>
#include <thread>
#include <utility>

#include "app/screenshot_support.h"
#include "engine/calculate.h"
#include "engine/crystal.h"
#include "engine/ladder_design.h"
#include "engine/project.h"
#include "engine/sweep.h"
#include "files/touchstone.h"
#include "instruments/simulated/simulated_analyser.h"
#include "ui/analysis/analysis_views.h"
#include "ui/analysis/diagnosis_window.h"
#include "ui/assembly/rounding_window.h"
#include "ui/assembly/tolerance_window.h"
#include "ui/common/design_document.h"
#include "ui/common/dialog_service.h"
#include "ui/common/language.h"
#include "ui/common/project_state.h"
#include "ui/crystals/crystal_set.h"
#include "ui/crystals/crystal_window.h"
#include "ui/main/application.h"
#include "ui/main/info_window.h"
#include "ui/main/main_window.h"

namespace {

using namespace feldan::screenshot;

// Answers the open dialog with one file, and says any box the window raises on stderr.
class ScriptedDialogs : public feldan::DialogService {
  public:
    explicit ScriptedDialogs(QString openAnswer) : openAnswer_(std::move(openAnswer)) {}
    void Warning(const QString& text) override { Say(text); }
    void Error(const QString& text) override { Say(text); }
    bool PrinterSetup(QPrinter&) override { return false; }
    QString GetOpenFileName(const QString&, const QString&) override { return openAnswer_; }
    QString GetSaveFileName(const QString&, const QString&) override { return QString(); }
    UnsavedAnswer AskToSaveChanges(const QString&) override { return UnsavedAnswer::Discard; }
    bool said = false;

  private:
    void Say(const QString& text) {
        said = true;
        std::fprintf(stderr, "%s\n", qPrintable(text));
    }
    QString openAnswer_;
};

// The files the open dialog "chooses"; the fixture is the files' own 50 Ohm.
class ChosenSweeps : public feldan::CrystalDialogs {
  public:
    explicit ChosenSweeps(QStringList files) : files_(std::move(files)) {}
    QStringList GetOpenFileNames(const QString&, const QString&) override { return files_; }
    std::optional<double> FixtureOhm(double referenceOhm) override { return referenceOhm; }
    std::optional<feldan::G3uurReadings> G3uur() override { return std::nullopt; }

  private:
    QStringList files_;
};

// Sweeps of six crystals of one batch as a NanoVNA would save them: S21 of the crystal in series
// in a 50 Ohm fixture, with a trace noise of about 0.02 dB and a floor near -90 dB.
QStringList WriteBatchSweeps(const QString& folder) {
    struct Crystal {
        double offsetHz, lmMH, rmOhm;
    };
    const std::array<Crystal, 6> batch = {{{0, 10.10, 5.7},
                                           {-124, 10.08, 6.4},
                                           {54, 10.11, 5.9},
                                           {-35, 10.12, 7.2},
                                           {-331, 10.06, 6.0},
                                           {34, 10.10, 5.5}}};
    std::mt19937 random(7);
    std::normal_distribution<double> noise(0, 0.0025);
    QStringList files;
    for (std::size_t k = 0; k < batch.size(); ++k) {
        const auto crystal = feldan::CrystalFromSeriesResonance(
            8861700 + batch[k].offsetHz, batch[k].lmMH * 1e-3, batch[k].rmOhm, 6.3e-12);
        feldan::TouchstoneData data;
        data.ports = 2;
        for (int i = 0; i <= 5600; ++i) {
            const double hz = 8861700 - 2000 + 5.0 * i;
            const auto s21 =
                feldan::MeasuredOf(feldan::SweepKind::SeriesThrough, 50, crystal.Impedance(hz)) *
                    (1.0 + noise(random)) +
                std::complex<double>(noise(random), noise(random)) * 1e-2;
            data.frequencyHz.push_back(hz);
            data.s.push_back({0, s21, 0, 0});
        }
        const QString path = folder + QStringLiteral("/x%1.s2p").arg(k + 1);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly)) continue;
        file.write(QByteArray::fromStdString(feldan::TouchstoneBytes(data, {})));
        files << path;
    }
    return files;
}

// The rounding window on E12 with pairs where one part is 5 % off, then refitted and used, with
// the matched curve; the tolerance window after 500 trials of a Chebyshev design (0.28 dB) with
// 5 % capacitors and 20 Hz of crystal spread.
// The measurement dialog answered with the simulated analyser's port and a nominal of 8861.7 kHz.
class SimulatorChosen : public feldan::CrystalDialogs {
  public:
    explicit SimulatorChosen(QString port) : port_(std::move(port)) {}
    QStringList GetOpenFileNames(const QString&, const QString&) override { return {}; }
    std::optional<double> FixtureOhm(double referenceOhm) override { return referenceOhm; }
    std::optional<feldan::G3uurReadings> G3uur() override { return std::nullopt; }
    std::optional<feldan::AnalyserSettings> Measurement(const feldan::AnalyserSettings&) override {
        return feldan::AnalyserSettings{port_, 50, 8861700, 0};
    }

  private:
    QString port_;
};

// Three crystals of a batch measured one after another on a simulated analyser whose every point
// takes a third of a millisecond, as a real one's take longer still; the picture is taken while
// the third is zoomed in on.
bool ShootMeasuring(feldan::MainWindow& mainWindow, const QString& path) {
    const feldan::CrystalModel batch[] = {
        feldan::CrystalFromSeriesResonance(8861736, 10.1e-3, 5.7, 6.3e-12),
        feldan::CrystalFromSeriesResonance(8861655, 10.3e-3, 6.4, 6.2e-12),
        feldan::CrystalFromSeriesResonance(8861790, 9.9e-3, 7.1, 6.4e-12)};
    std::atomic<int> behind{0};
    feldan::simulated::SimulatedAnalyserSettings settings;
    settings.noise = 1e-4;
    settings.response = [&](double hz) {
        std::this_thread::sleep_for(std::chrono::microseconds(300));
        return feldan::simulated::CrystalInSeries(batch[behind.load()])(hz);
    };
    feldan::simulated::SimulatedAnalyser device(settings);
    Trigger(mainWindow, "crystalsAction");
    auto* window = mainWindow.findChild<feldan::CrystalWindow*>(QStringLiteral("CrystalWindow"));
    window->SetCrystalDialogs(
        std::make_unique<SimulatorChosen>(QString::fromStdString(device.Port())));
    auto* progress = window->findChild<QProgressBar*>(QStringLiteral("measureProgress"));
    QElapsedTimer clock;
    clock.start();
    const auto waitFor = [&](const std::function<bool()>& done) {
        while (!done() && clock.elapsed() < 120000)
            QApplication::processEvents(QEventLoop::AllEvents, 5);
    };
    for (int k = 0; k < 3; ++k) {
        behind = k;
        window->MeasureNext();
        if (k < 2) waitFor([&] { return !window->Measuring(); });
    }
    waitFor([&] { return progress->value() >= 30 || !window->Measuring(); });
    const bool saved = window->Measuring() && Save(window->grab(), path);
    if (!saved) std::fprintf(stderr, "the measurement ended before its picture\n");
    window->CancelMeasurement();
    waitFor([&] { return !window->Measuring(); });
    window->hide();
    return saved;
}

bool ShootBuildAids(feldan::MainWindow& mainWindow, const QDir& folder) {
    Trigger(mainWindow, "roundingAction");
    auto* rounding = mainWindow.findChild<feldan::RoundingWindow*>();
    Control<QComboBox>(rounding, "seriesCombo")->setCurrentText(QStringLiteral("E12"));
    Control<QCheckBox>(rounding, "parallelCheck")->setChecked(true);
    Control<QDoubleSpinBox>(rounding, "parallelPctSpin")->setValue(5);
    Settle(300);
    if (!Save(rounding->grab(), folder.filePath(QStringLiteral("rounding-window.png"))))
        return false;
    Control<QCheckBox>(rounding, "refitCheck")->setChecked(true);
    Control<QCheckBox>(rounding, "useCheck")->setChecked(true);
    Control<QCheckBox>(rounding, "showMatchedCheck")->setChecked(true);
    Settle(300);
    if (!Save(rounding->grab(), folder.filePath(QStringLiteral("matching.png")))) return false;
    rounding->close();

    // A Chebyshev response, so that the ripple has a spread to show.
    auto* responses = mainWindow.findChild<QComboBox*>(QStringLiteral("responseCombo"));
    responses->setCurrentIndex(int(feldan::ResponseType::Chebyshev28) - 1);
    emit responses->activated(responses->currentIndex());
    mainWindow.CalculateDesign();
    Trigger(mainWindow, "toleranceAction");
    auto* tolerance = mainWindow.findChild<feldan::ToleranceWindow*>();
    Control<QSpinBox>(tolerance, "trialsSpin")->setValue(500);
    Control<QDoubleSpinBox>(tolerance, "capToleranceSpin")->setValue(5);
    Control<QDoubleSpinBox>(tolerance, "fsSpreadSpin")->setValue(20);
    tolerance->Run();
    QElapsedTimer clock;
    clock.start();
    while (tolerance->Running() && clock.elapsed() < 300000)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    Settle(300);
    return Save(tolerance->grab(), folder.filePath(QStringLiteral("tolerance-window.png")));
}

}  // namespace

namespace {

// The options of the command line, each naming what it adds to the pictures.
struct ShotOptions {
    QCommandLineOption lang{QStringLiteral("lang"), QStringLiteral("ru or en"), QStringLiteral("L"),
                            QStringLiteral("ru")};
    QCommandLineOption maximised{QStringLiteral("maximised"),
                                 QStringLiteral("Show the main window maximised.")};
    QCommandLineOption views{QStringLiteral("views"),
                             QStringLiteral("Also render the analysis views and the report."),
                             QStringLiteral("folder")};
    QCommandLineOption measured{QStringLiteral("measured"),
                                QStringLiteral("Lay this .s2p file over the design."),
                                QStringLiteral("file")};
    QCommandLineOption renormalise{
        QStringLiteral("renormalise"),
        QStringLiteral("Renormalise the measured filter to the design's terminations.")};
    QCommandLineOption crystals{QStringLiteral("crystals"),
                                QStringLiteral("Also render the crystal window and set."),
                                QStringLiteral("folder")};
    QCommandLineOption buildAids{QStringLiteral("build-aids"),
                                 QStringLiteral("Also render the windows of the Build menu."),
                                 QStringLiteral("folder")};
    QCommandLineOption measuring{
        QStringLiteral("measuring"),
        QStringLiteral("Also render the crystal window while a crystal is measured."),
        QStringLiteral("png")};
    QCommandLineOption tuning{QStringLiteral("tuning"),
                              QStringLiteral("Also render the window while tuning."),
                              QStringLiteral("png")};
    QCommandLineOption compare{
        QStringLiteral("compare"),
        QStringLiteral("Also render the classic and the exact design of one request overlaid, "
                       "and the step responses of Butterworth and Chebyshev designs of one width."),
        QStringLiteral("folder")};
    QCommandLineOption modes{
        QStringLiteral("modes"),
        QStringLiteral("Also render the wide band of eight crystals whose unwanted modes line up."),
        QStringLiteral("png")};
    QCommandLineOption pick{
        QStringLiteral("pick"),
        QStringLiteral("Also render the crystal window after a pick by the response."),
        QStringLiteral("png")};
    QCommandLineOption orders{
        QStringLiteral("orders"),
        QStringLiteral("Also render a twelve-crystal ladder, and three responses of one order "
                       "overlaid."),
        QStringLiteral("folder")};

    QCommandLineOption diagnosis{
        QStringLiteral("diagnosis"),
        QStringLiteral("Also render what was built, found from a synthetic measured filter."),
        QStringLiteral("png")};

    explicit ShotOptions(QCommandLineParser& parser) {
        for (const QCommandLineOption* option :
             {&lang, &maximised, &views, &measured, &renormalise, &crystals, &buildAids, &measuring,
              &modes, &tuning, &compare, &orders, &pick, &diagnosis})
            parser.addOption(*option);
    }
};

// The measured filter over the design, as the menu opens it; false when the window objects.
bool OpenMeasured(feldan::MainWindow& mainWindow, const QString& file, bool renormalise) {
    auto dialogs = std::make_unique<ScriptedDialogs>(file);
    const ScriptedDialogs& answers = *dialogs;
    mainWindow.SetDialogService(std::move(dialogs));
    mainWindow.findChild<QAction*>(QStringLiteral("openMeasuredAction"))->trigger();
    if (answers.said) return false;
    if (renormalise) Trigger(mainWindow, "renormaliseMeasuredAction");
    return true;
}

// An eight-crystal 2400 Hz ladder of crystals with a mode 20 kHz up of twice their Rm: the wide
// band with its unwanted pass band marked, the summary naming it.
bool ShootModes(feldan::MainWindow& mainWindow, const QString& path) {
    feldan::Project project;
    project.design.filterType = static_cast<int>(feldan::FilterType::Ladder8);
    project.design.texts.Df = "2400";
    for (int k = 0; k < 8; ++k) {
        auto crystal = feldan::CrystalFromSeriesResonance(9e6, 15e-3, 12, 3.5e-12);
        crystal.modes = {feldan::ModeFromSeriesResonance(9.02e6, 15e-3, 24)};
        project.crystals.push_back({"X" + std::to_string(k + 1), crystal});
        project.positions.push_back(k);
    }
    mainWindow.Document().Open(project, QString(), {});
    mainWindow.CalculateDesign();
    mainWindow.Views().ShowView(feldan::AnalysisView::WideBand);
    Settle(300);
    const bool saved = Save(mainWindow.grab(), path);
    mainWindow.Views().ShowView(feldan::AnalysisView::PassBand);
    return saved;
}

// Sixteen crystals of one batch, fs within ±50 Hz and Lm within ±12 %, and eight of them picked
// by the response for a 500 Hz eight-crystal ladder: the window with the figures of the pick.
bool ShootPick(feldan::MainWindow& mainWindow, const QString& path) {
    std::mt19937_64 random(7);
    const auto uniform = [&] { return 2 * (static_cast<double>(random() >> 11) * 0x1.0p-53) - 1; };
    feldan::Project project;
    project.design.filterType = static_cast<int>(feldan::FilterType::Ladder8);
    project.design.texts.Df = "500";
    for (int k = 0; k < 16; ++k) {
        project.crystals.push_back(
            {"X" + std::to_string(k + 1),
             feldan::CrystalFromSeriesResonance(9995000 + 50 * uniform(),
                                                15e-3 * (1 + 0.12 * uniform()), 10, 4e-12)});
    }
    mainWindow.Document().Open(project, QString(), {});
    Trigger(mainWindow, "crystalsAction");
    auto* window = mainWindow.findChild<feldan::CrystalWindow*>(QStringLiteral("CrystalWindow"));
    auto* set = window->findChild<feldan::CrystalSet*>(QStringLiteral("crystalSet"));
    set->SetPickMethod(feldan::CrystalSet::PickMethod::Response);
    QEventLoop picking;
    QObject::connect(set, &feldan::CrystalSet::PickFinished, &picking, &QEventLoop::quit);
    set->PickBest();
    if (set->Picking()) picking.exec();
    window->resize(1040, 790);  // room for the rows and the figures beside the plot
    window->Table()->setCurrentCell(0, 0);
    Settle(300);
    const bool saved = Save(window->grab(), path);
    window->hide();
    return saved;
}

// A build with one capacitor 10 % high, one crystal 30 Hz low and lossier crystals, swept in
// 50 Ohm with noise 54 dB down, written as a NanoVNA writes it; then "Что построено…".
bool ShootDiagnosis(feldan::MainWindow& mainWindow, const QString& png) {
    feldan::DesignDocument& document = mainWindow.Document();
    const feldan::ProjectBuild& build = document.Build();
    if (!build.built) return false;
    const feldan::Resonator& zq2 = build.built->values.Crystal[2];
    const double fs = 1 / (feldan::TwoPi * std::sqrt(zq2.LmH * zq2.CmF));
    document.Project().SetTuning(
        {{"C3", build.parts[2].designed * 1.1}, {"ZQ2", fs - 30}, {"Rm", zq2.RmOhm * 1.15}});
    feldan::DesignedFilter filter = document.DesignedFilterOf(feldan::CircuitChoice::Schematic);
    feldan::SweepRequest request;
    request.points = 401;
    request.circuit = feldan::CircuitChoice::Schematic;
    request.referenceOhm = 50;
    const feldan::SweepResult sweep = feldan::SweepFilter(filter, request);
    document.Project().SetTuning({});
    std::mt19937 random(7);
    std::normal_distribution<double> noise(0, 2e-3 / std::sqrt(2.0));
    const auto noisy = [&](std::complex<double> s) {
        return s + std::complex<double>(noise(random), noise(random));
    };
    feldan::TouchstoneData data;
    data.ports = 2;
    data.referenceOhm = 50;
    for (const feldan::SweepPoint& p : sweep.points) {
        data.frequencyHz.push_back(std::round(p.hz));
        data.s.push_back({noisy(p.s11), noisy(p.s21), 0, 0});
    }
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("built-filter.s2p"));
    QFile file(path);
    const std::string bytes = feldan::TouchstoneBytes(data, {"NanoVNA"});
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes.data(), qint64(bytes.size())) < 0)
        return false;
    file.close();
    if (!OpenMeasured(mainWindow, path, false)) return false;
    Trigger(mainWindow, "diagnoseMeasuredAction");
    auto* window = mainWindow.findChild<feldan::DiagnosisWindow*>();
    if (!window) return false;
    window->resize(1180, 720);
    QElapsedTimer clock;
    clock.start();
    while ((window->Running() || !window->Result()) && clock.elapsed() < 60000)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    Settle(300);
    return window->Result() && Save(window->grab(), png);
}

// Every analysis view, and the report.
bool ShootViews(feldan::MainWindow& mainWindow, const QDir& folder) {
    const std::array<std::pair<feldan::AnalysisView, const char*>, 7> shown = {{
        {feldan::AnalysisView::WideBand, "view-wide-band.png"},
        {feldan::AnalysisView::GroupDelay, "view-group-delay.png"},
        {feldan::AnalysisView::ReturnLoss, "view-return-loss.png"},
        {feldan::AnalysisView::Impedance, "view-impedance.png"},
        {feldan::AnalysisView::Step, "view-step.png"},
        {feldan::AnalysisView::Impulse, "view-impulse.png"},
        {feldan::AnalysisView::Keyed, "view-keyed.png"},
    }};
    for (const auto& [view, name] : shown) {
        mainWindow.Views().ShowView(view);
        Settle(200);
        if (!Save(mainWindow.grab(), folder.filePath(QString::fromLatin1(name)))) return false;
    }
    mainWindow.Views().ShowView(feldan::AnalysisView::PassBand);
    QFile report(folder.filePath(QStringLiteral("report.pdf")));
    if (!report.open(QIODevice::WriteOnly) || !mainWindow.WriteReport(report)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(report.fileName()));
        return false;
    }
    return true;
}

// The crystal window with a measured batch and its best set, then the set over the design.
bool ShootCrystals(feldan::MainWindow& mainWindow, const QDir& folder) {
    QTemporaryDir sweeps;
    Trigger(mainWindow, "crystalsAction");
    auto* window = mainWindow.findChild<feldan::CrystalWindow*>(QStringLiteral("CrystalWindow"));
    window->SetCrystalDialogs(std::make_unique<ChosenSweeps>(WriteBatchSweeps(sweeps.path())));
    window->AddMeasurements();
    window->PickBest();
    window->SetApplyTrims(true);
    window->Table()->setCurrentCell(1, 0);
    Settle(300);
    if (!Save(window->grab(), folder.filePath(QStringLiteral("crystal-window.png")))) return false;
    window->hide();
    mainWindow.CalculateDesign();
    Trigger(mainWindow, "compareCrystalsAction");
    Settle(300);
    return Save(mainWindow.grab(), folder.filePath(QStringLiteral("crystal-set-overlay.png")));
}

bool ShootTuning(feldan::MainWindow& mainWindow, const QString& png) {
    mainWindow.findChild<QAction*>(QStringLiteral("tuningAction"))->trigger();
    Settle(200);
    mainWindow.findChild<QAbstractSpinBox*>(QStringLiteral("tuneC3"))->stepBy(5);
    Settle(300);
    return Save(mainWindow.grab(), png);
}

// The printed page, and the information window once its credits stand.
bool ShootPrintAndInfo(feldan::MainWindow& mainWindow, const QString& pdf, const QString& png) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    printer.setPageSize(QPageSize(QPageSize::A4));
    if (!mainWindow.PrintOnto(printer)) return false;

    auto* infoWindow = mainWindow.findChild<feldan::InfoWindow*>(QStringLiteral("InfoWindow"));
    infoWindow->SetStepInterval(1);
    infoWindow->ShowAndActivate();
    QElapsedTimer clock;
    clock.start();
    // Until the credits stand.
    while (infoWindow->Scrolling() && clock.elapsed() < 10000) {
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    infoWindow->SetStepInterval(60000);  // hold the picture still while it is taken
    Settle(50);
    return Save(infoWindow->grab(), png);
}

}  // namespace

int main(int argc, char** argv) {
    using namespace feldan::screenshot;
    QApplication app(argc, argv);
    QCommandLineParser parser;
    const ShotOptions options(parser);
    const bool parsed = parser.parse(QApplication::arguments());
    const QStringList files = parser.positionalArguments();
    const std::optional<feldan::Language> language =
        feldan::LanguageFromCode(parser.value(options.lang));
    if (!parsed || !language || (files.size() != 1 && files.size() != 3)) {
        std::fprintf(stderr,
                     "usage: feldan-screenshot [--lang ru|en] [--maximised] [--views <folder>] "
                     "[--measured <file.s2p>] <main-window.png> "
                     "[<info-window.png> <printed-page.pdf>]\n");
        return 2;
    }
    QTemporaryDir settings;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    feldan::SetUpApplication(language);

    feldan::MainWindow mainWindow(feldan::DecimalSeparatorOf(QLocale::system()));
    if (parser.isSet(options.maximised)) {
        mainWindow.showMaximized();
    } else {
        mainWindow.show();
    }
    Settle(200);
    mainWindow.CalculateDesign();
    if (parser.isSet(options.measured) && !OpenMeasured(mainWindow, parser.value(options.measured),
                                                        parser.isSet(options.renormalise)))
        return 1;
    Settle(300);
    if (!Save(mainWindow.grab(), files[0])) return 1;
    // Each picture asked for, in this order: the steps leave the window as the next expects it.
    const auto folderOf = [&](const QCommandLineOption& option) {
        return QDir(parser.value(option));
    };
    if (parser.isSet(options.views) && !ShootViews(mainWindow, folderOf(options.views))) return 1;
    if (parser.isSet(options.crystals) && !ShootCrystals(mainWindow, folderOf(options.crystals)))
        return 1;
    if (parser.isSet(options.measuring) &&
        !ShootMeasuring(mainWindow, parser.value(options.measuring)))
        return 1;
    if (parser.isSet(options.buildAids) && !ShootBuildAids(mainWindow, folderOf(options.buildAids)))
        return 1;
    if (parser.isSet(options.tuning) && !ShootTuning(mainWindow, parser.value(options.tuning)))
        return 1;
    if (parser.isSet(options.compare) && !ShootCompare(mainWindow, folderOf(options.compare)))
        return 1;
    if (parser.isSet(options.orders) && !ShootOrders(mainWindow, folderOf(options.orders)))
        return 1;
    if (parser.isSet(options.modes) && !ShootModes(mainWindow, parser.value(options.modes)))
        return 1;
    if (parser.isSet(options.pick) && !ShootPick(mainWindow, parser.value(options.pick))) return 1;
    if (parser.isSet(options.diagnosis) &&
        !ShootDiagnosis(mainWindow, parser.value(options.diagnosis)))
        return 1;
    if (files.size() == 1) return 0;
    return ShootPrintAndInfo(mainWindow, files[2], files[1]) ? 0 : 1;
}
