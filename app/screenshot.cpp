// Renders the main window after "Расчет" on the default design, and the information window in
// the middle of its scroll, to PNG files, and prints the main window to a PDF file as Печать
// does: feldan-screenshot <main.png> <info.png> <printed.pdf>
#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QLocale>
#include <QPixmap>
#include <QPrinter>
#include <QTextStream>
#include <QThread>
#include <cstdio>

#include "engine/calculate.h"
#include "ui/application.h"
#include "ui/info_window.h"
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

bool saveAction_(const QPixmap& picture, const QString& path) {
    if (picture.save(path, "PNG")) return true;
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments();
    if (args.size() != 4) {
        std::fprintf(stderr,
                     "usage: feldan-screenshot <main-window.png> <info-window.png> "
                     "<printed-page.pdf>\n");
        return 2;
    }
    feldan::SetUpApplication(app);

    feldan::MainWindow mainWindow(feldan::DecimalSeparatorOf(QLocale::system()));
    mainWindow.show();
    Settle(200);
    mainWindow.CalculateDesign();
    Settle(300);
    if (!saveAction_(mainWindow.grab(), args[1])) return 1;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(args[3]);
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
    if (!saveAction_(infoWindow->grab(), args[2])) return 1;
    return 0;
}
