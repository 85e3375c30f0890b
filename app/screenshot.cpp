// Renders the main window after "Расчет" on the default design, and the information window in
// the middle of its scroll, to PNG files, and prints the main window to a PDF file as Печать
// does:
//   feldan-screenshot [--lang ru|en] [--maximised] [--views <folder>] [--tuning <png>] <main.png>
//                     [<info.png> <printed.pdf>]
// With --views, the window is also rendered in each view of the "Анализ" menu to
// <folder>/view-<name>.png, and the report of the design is written to <folder>/report.pdf.
// With --tuning, the window is rendered last with the "Подстройка" panel open and C3 moved up
// 5 % to that file.
// The pictures do not depend on what the user's own runs remember: settings go to a folder of
// their own, and the language is Russian unless --lang says otherwise.
#include <QAbstractSpinBox>
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
#include <utility>

#include "engine/calculate.h"
#include "ui/application.h"
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
    const QCommandLineOption tuning(QStringLiteral("tuning"),
                                    QStringLiteral("Also render the window while tuning."),
                                    QStringLiteral("png"));
    parser.addOption(views);
    parser.addOption(tuning);
    const bool parsed = parser.parse(QApplication::arguments());
    const QStringList files = parser.positionalArguments();
    const std::optional<feldan::Language> language = feldan::LanguageFromCode(parser.value(lang));
    if (!parsed || !language || (files.size() != 1 && files.size() != 3)) {
        std::fprintf(stderr,
                     "usage: feldan-screenshot [--lang ru|en] [--maximised] [--views <folder>] "
                     "<main-window.png> "
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
    if (parser.isSet(tuning)) {
        mainWindow.findChild<QAction*>(QStringLiteral("tuningAction"))->trigger();
        Settle(200);
        mainWindow.findChild<QAbstractSpinBox*>(QStringLiteral("tuneC3"))->stepBy(5);
        Settle(300);
        if (!Save(mainWindow.grab(), parser.value(tuning))) return 1;
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
