// Renders the main window after "Расчет" on the default design, and the information window in
// the middle of its scroll, to PNG files, and prints the main window to a PDF file as Печать
// does:
//   feldan-screenshot [--lang ru|en] [--maximised] [--views <folder>] [--measured <file.s2p>]
//                     <main.png> [<info.png> <printed.pdf>]
// With --views, the window is also rendered in each view of the "Анализ" menu to
// <folder>/view-<name>.png, and the report of the design is written to <folder>/report.pdf.
// With --measured, the file is laid over the design ("Измеренный фильтр…") before <main.png>.
// The pictures do not depend on what the user's own runs remember: settings go to a folder of
// their own, and the language is Russian unless --lang says otherwise.
#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QLocale>
#include <QPixmap>
#include <QPrinter>
#include <QSettings>
#include <QTemporaryDir>
#include <QThread>
#include <array>
#include <cstdio>
#include <memory>
#include <utility>

#include "engine/calculate.h"
#include "ui/application.h"
#include "ui/dialog_service.h"
#include "ui/info_window.h"
#include "ui/language.h"
#include "ui/main_window.h"

namespace {

// Lets pending paint and timer events run for a while.
void Settle(int milliseconds) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < milliseconds) {
        QApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(2);
    }
}

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

bool Save(const QPixmap& picture, const QString& path) {
    if (picture.save(path, "PNG")) return true;
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QCommandLineParser parser;
    const QCommandLineOption lang(QStringLiteral("lang"), QStringLiteral("ru or en"),
                                  QStringLiteral("L"), QStringLiteral("ru"));
    const QCommandLineOption maximised(QStringLiteral("maximised"),
                                       QStringLiteral("Show the main window maximised."));
    const QCommandLineOption views(QStringLiteral("views"),
                                   QStringLiteral("Also render the analysis views and the report."),
                                   QStringLiteral("folder"));
    parser.addOption(lang);
    parser.addOption(maximised);
    const QCommandLineOption measured(QStringLiteral("measured"),
                                      QStringLiteral("Lay this .s2p file over the design."),
                                      QStringLiteral("file"));
    parser.addOption(views);
    parser.addOption(measured);
    const bool parsed = parser.parse(QApplication::arguments());
    const QStringList files = parser.positionalArguments();
    const std::optional<feldan::Language> language = feldan::LanguageFromCode(parser.value(lang));
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
    if (parser.isSet(maximised)) {
        mainWindow.showMaximized();
    } else {
        mainWindow.show();
    }
    Settle(200);
    mainWindow.CalculateDesign();
    if (parser.isSet(measured)) {
        auto dialogs = std::make_unique<ScriptedDialogs>(parser.value(measured));
        const ScriptedDialogs& answers = *dialogs;
        mainWindow.SetDialogService(std::move(dialogs));
        mainWindow.findChild<QAction*>(QStringLiteral("openMeasuredAction"))->trigger();
        if (answers.said) return 1;
    }
    Settle(300);
    if (!Save(mainWindow.grab(), files[0])) return 1;
    if (parser.isSet(views)) {
        const QDir folder(parser.value(views));
        const std::array<std::pair<feldan::AnalysisView, const char*>, 4> shown = {{
            {feldan::AnalysisView::WideBand, "view-wide-band.png"},
            {feldan::AnalysisView::GroupDelay, "view-group-delay.png"},
            {feldan::AnalysisView::ReturnLoss, "view-return-loss.png"},
            {feldan::AnalysisView::Impedance, "view-impedance.png"},
        }};
        for (const auto& [view, name] : shown) {
            mainWindow.ShowView(view);
            Settle(200);
            if (!Save(mainWindow.grab(), folder.filePath(QString::fromLatin1(name)))) return 1;
        }
        mainWindow.ShowView(feldan::AnalysisView::PassBand);
        QFile report(folder.filePath(QStringLiteral("report.pdf")));
        if (!report.open(QIODevice::WriteOnly) || !mainWindow.WriteReport(report)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(report.fileName()));
            return 1;
        }
    }
    if (files.size() == 1) return 0;

    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(files[2]);
    printer.setPageSize(QPageSize(QPageSize::A4));
    if (!mainWindow.PrintOnto(printer)) return 1;

    auto* infoWindow = mainWindow.findChild<feldan::InfoWindow*>(QStringLiteral("InfoWindow"));
    infoWindow->SetStepInterval(1);
    infoWindow->ShowAndActivate();
    QElapsedTimer clock;
    clock.start();
    while (infoWindow->CurrentStep() < 90 && clock.elapsed() < 10000) {
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    infoWindow->SetStepInterval(60000);  // hold the picture still while it is taken
    Settle(50);
    if (!Save(infoWindow->grab(), files[1])) return 1;
    return 0;
}
