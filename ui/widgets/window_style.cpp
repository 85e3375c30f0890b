#include "ui/widgets/window_style.h"

#include <QApplication>
#include <QPalette>
#include <QPushButton>

namespace feldan {

QFont ArialFont(int pixels, bool bold) {
    QFont font(QStringLiteral("Arial"));
    font.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

QColor ButtonFaceColor() {
    return QApplication::palette().color(QPalette::Active, QPalette::Window);
}

QColor WindowColor() {
    return QApplication::palette().color(QPalette::Active, QPalette::Base);
}

QColor MenuColor() {
    return QApplication::palette().color(QPalette::Active, QPalette::Button);
}

QColor InfoColor() {
    return QApplication::palette().color(QPalette::Active, QPalette::ToolTipBase);
}

QPushButton* Button(QWidget* parent, const char* name) {
    auto* b = new QPushButton(parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    return b;
}

}  // namespace feldan
