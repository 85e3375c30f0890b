#include "ui/common/window_place.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QWidget>
#include <algorithm>

namespace feldan {

namespace {

QString PlaceKey(const QWidget& window) {
    return QStringLiteral("windows/") + window.objectName();
}

// Remembers the window's place each time it is hidden (closed).
class PlaceKeeper : public QObject {
  public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Hide) {
            if (auto* window = qobject_cast<QWidget*>(watched))
                QSettings().setValue(PlaceKey(*window), window->saveGeometry());
        }
        return QObject::eventFilter(watched, event);
    }
};

QRect FreeAreaOf(const QWidget& window) {
    const QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

}  // namespace

void FitIntoScreen(QWidget& window) {
    const QRect free = FreeAreaOf(window);
    if (free.isEmpty()) return;
    // The frame (title bar and borders) counts too: the title bar must stay on the screen.
    const QSize frameExtra = window.frameGeometry().size() - window.geometry().size();
    const QSize most = free.size() - frameExtra;
    if (window.width() > most.width() || window.height() > most.height())
        window.resize(std::min(window.width(), most.width()),
                      std::min(window.height(), most.height()));
    const QRect frame = window.frameGeometry();
    const int left = std::clamp(frame.left(), free.left(),
                                std::max(free.left(), free.right() - frame.width() + 1));
    const int top = std::clamp(frame.top(), free.top(),
                               std::max(free.top(), free.bottom() - frame.height() + 1));
    // A window that lies on the screen already stays exactly where it is.
    if (left != frame.left() || top != frame.top())
        window.move(window.pos() + QPoint(left - frame.left(), top - frame.top()));
}

void PlaceChildWindow(QWidget& window, const QWidget& main) {
    window.installEventFilter(new PlaceKeeper(&window));
    const QByteArray remembered = QSettings().value(PlaceKey(window)).toByteArray();
    if (!window.restoreGeometry(remembered)) {
        const QRect free = FreeAreaOf(main);
        const QRect beside = main.frameGeometry();
        const int width = window.frameGeometry().width();
        // To the right when it fits, else to the left when it fits, else on the roomier side,
        // overlapping the main window as little as the screen allows.
        const int right = beside.right() + 1, left = beside.left() - width;
        const int roomRight = free.right() + 1 - right, roomLeft = beside.left() - free.left();
        const int x =
            roomRight >= width || (roomLeft < width && roomRight >= roomLeft) ? right : left;
        window.move(x, beside.top());
    }
    FitIntoScreen(window);
}

}  // namespace feldan
