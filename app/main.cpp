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
    feldan::FilterDesigner designer(feldan::DecimalSeparatorOf(QLocale::system()));
    feldan::TForm1 form1(designer);
    form1.show();
    return QApplication::exec();
}
