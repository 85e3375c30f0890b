#include "ui/main_window.h"

namespace feldan {

TForm1::TForm1(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("TForm1"));
    setWindowTitle(QString::fromUtf8("Расчёт кварцевых фильтров"));
    setFixedSize(792, 550);
}

}  // namespace feldan
