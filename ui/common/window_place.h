// Where the program's windows open: never larger than the screen's free area, a child window
// beside the main window the first time and where the user left it after that.
#pragma once

#include <QObject>
#include <QString>

class QWidget;

namespace feldan {

// Shrinks `window` to the free area of its screen and moves it fully onto it.
void FitIntoScreen(QWidget& window);

// Opens `window` where it was last (remembered under its object name), else beside `main` (to
// its right, else its left, else over it), fitted into the screen; from then on every hide
// remembers its place.
void PlaceChildWindow(QWidget& window, const QWidget& main);

}  // namespace feldan
