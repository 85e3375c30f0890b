// The Feldan desktop program.
#include <QApplication>
#include <QLocale>
#include <QStyleFactory>

#include "engine/calculate.h"
#include "ui/main_window.h"
#include "ui/program_icon.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Feldan 6.1.8.1.d"));
    QApplication::setDesktopFileName(QStringLiteral("org.feldan.Feldan"));
    // The window is laid out in fixed pixels; one style keeps it the same on every desktop.
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QApplication::setWindowIcon(feldan::ProgramIcon());

    // The separator is read once; the engine never looks at the locale itself.
    feldan::FilterDesigner designer(feldan::DecimalSeparatorOf(QLocale::system()));
    feldan::TForm1 form1(designer);
    form1.show();
    return QApplication::exec();
}
