// The busy cursor for as long as one lives (a calculation, a sweep), put back however the work
// ends.
#pragma once

#include <QApplication>

namespace feldan {

class BusyCursor {
  public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::BusyCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

}  // namespace feldan
