// The Feldan desktop program.
#include <QApplication>

#include "ui/main_window.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromUtf8("Feldan 6.1.8.1.d"));
    feldan::TForm1 window;
    window.show();
    return QApplication::exec();
}
