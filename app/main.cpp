// The Feldan desktop program.
#include <QApplication>
#include <QLocale>

#include "engine/calculate.h"
#include "ui/application.h"
#include "ui/main_window.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    feldan::SetUpApplication(app);

    // The separator is read once; the engine never looks at the locale itself.
    feldan::MainWindow mainWindow(feldan::DecimalSeparatorOf(QLocale::system()));
    mainWindow.show();
    return QApplication::exec();
}
