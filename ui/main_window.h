// The main window of Feldan.
#pragma once

#include <QMainWindow>

namespace feldan {

class TForm1 : public QMainWindow {
    Q_OBJECT
  public:
    explicit TForm1(QWidget* parent = nullptr);
};

}  // namespace feldan
