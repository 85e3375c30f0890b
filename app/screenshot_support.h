// What the screenshots of feldan-screenshot share: letting the window settle, saving a picture,
// running a menu command, finding a control; and the shots of the design window's lists.
#pragma once

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QObject>
#include <QPixmap>
#include <QString>
#include <QThread>
#include <cstdio>

#include "ui/main/main_window.h"

namespace feldan::screenshot {

// Lets pending paint and timer events run for a while.
inline void Settle(int milliseconds) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < milliseconds) {
        QApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(2);
    }
}

inline bool Save(const QPixmap& picture, const QString& path) {
    if (picture.save(path, "PNG")) return true;
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return false;
}

// Runs a menu command as the user would.
inline void Trigger(const QObject& window, const char* action) {
    window.findChild<QAction*>(QString::fromLatin1(action))->trigger();
}

template <typename T>
T* Control(const QObject* window, const char* name) {
    return window->findChild<T*>(QString::fromLatin1(name));
}

// The twelve-crystal ladder, Butterworth and Chebyshev designs overlaid, four responses of one
// width in the pass band and in group delay, and an eight-pole QER ladder.
bool ShootOrders(feldan::MainWindow& mainWindow, const QDir& folder);
// The classic and the exact design of one request, then three designs of one width in time.
bool ShootCompare(feldan::MainWindow& mainWindow, const QDir& folder);

}  // namespace feldan::screenshot
