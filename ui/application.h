// What every program with Feldan's windows sets up once, before the first window: names, the
// style, the icon and Qt's own Russian texts.
#pragma once

class QApplication;

namespace feldan {

// Returns false when Qt's Russian translation could not be loaded (the dialogs then speak
// English; the program works all the same).
bool SetUpApplication(QApplication& app);

}  // namespace feldan
