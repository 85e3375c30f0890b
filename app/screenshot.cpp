// Renders the main window after "Расчет" on the default design, and the information window in
// the middle of its scroll, to PNG files, and prints the main window to a PDF file as Печать
// does:
//   feldan-screenshot [--lang ru|en] [--maximised] <main.png> [<info.png> <printed.pdf>]
// The pictures do not depend on what the user's own runs remember: settings go to a folder of
// their own, and the language is Russian unless --lang says otherwise.
#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QImage>
#include <QLocale>
#include <QPixmap>
#include <QPrinter>
#include <QSettings>
#include <QTemporaryDir>
#include <QThread>
#include <cstdio>

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
    parser.addOption(lang);
    parser.addOption(maximised);
    const bool parsed = parser.parse(QApplication::arguments());
    const QStringList files = parser.positionalArguments();
    const std::optional<feldan::Language> language = feldan::LanguageFromCode(parser.value(lang));
    if (!parsed || !language || (files.size() != 1 && files.size() != 3)) {
        std::fprintf(stderr,
                     "usage: feldan-screenshot [--lang ru|en] [--maximised] <main-window.png> "
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
