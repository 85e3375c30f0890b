// Fonts, system colours and the plain button shared by the windows.
#pragma once

#include <QColor>
#include <QFont>

class QPushButton;
class QWidget;

namespace feldan {

// Arial (or its metric twin Liberation Sans) at a pixel size, never scaled with the screen.
QFont ArialFont(int pixels, bool bold);

// The system colours the windows are described in.
QColor ButtonFaceColor();  // window background
QColor WindowColor();      // background of an enabled edit box
QColor MenuColor();        // background of a disabled edit box
QColor InfoColor();        // tool-tip background

// A push button named `name` that Enter in a field of its window does not press.
QPushButton* Button(QWidget* parent, const char* name);

}  // namespace feldan
