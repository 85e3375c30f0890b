// The "Открыть" and "Сохранить" commands of the main window: design files.
#include "ui/main_window.h"

namespace feldan {

void TForm1::OpenClick() {}

void TForm1::SaveClick() {}

}  // namespace feldan
