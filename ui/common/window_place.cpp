#include "ui/common/window_place.h"

#include <QEvent>
#include <QGuiApplication>
#include <QLayout>
#include <QScreen>
#include <QSettings>
#include <QWidget>
#include <algorithm>

namespace feldan {

namespace {

QString PlaceKey(const QWidget& window) {
    return QStringLiteral("windows/") + window.objectName();
}

QRect FreeAreaOf(const QWidget& window) {
    const QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

// The title bar and borders around a window's client area; none while the window manager has
// not told them yet.
QMargins FrameOf(const QWidget& window) {
    const QRect frame = window.frameGeometry(), client = window.geometry();
    return QMargins(client.left() - frame.left(), client.top() - frame.top(),
                    frame.right() - client.right(), frame.bottom() - client.bottom());
}

// Shrinks the client area so that with `frame` around it the window fits the free area, and
// moves the frame fully onto it.
void FitWithFrame(QWidget& window, const QMargins& frame) {
    const QRect free = FreeAreaOf(window);
    if (free.isEmpty()) return;
    const QSize most = free.size().shrunkBy(frame);
    if (window.width() > most.width() || window.height() > most.height())
        window.resize(std::min(window.width(), most.width()),
                      std::min(window.height(), most.height()));
    // pos() is where the frame goes, also before the window is shown and has one.
    const QRect outer(window.pos(), window.size().grownBy(frame));
    const int left = std::clamp(outer.left(), free.left(),
                                std::max(free.left(), free.right() - outer.width() + 1));
    const int top = std::clamp(outer.top(), free.top(),
                               std::max(free.top(), free.bottom() - outer.height() + 1));
    // A window that lies on the screen already stays exactly where it is.
    if (left != outer.left() || top != outer.top())
        window.move(window.pos() + QPoint(left - outer.left(), top - outer.top()));
}

// Remembers the window's place each time it is hidden (closed); once shown, with its own frame
// known, keeps it on the screen.
class PlaceKeeper : public QObject {
  public:
    PlaceKeeper(QWidget& window, const QMargins& frame) : QObject(&window), frame_(frame) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* window = qobject_cast<QWidget*>(watched);
        if (window && event->type() == QEvent::Hide)
            QSettings().setValue(PlaceKey(*window), window->saveGeometry());
        if (window && event->type() == QEvent::Show) {
            // Its controls are shown by now: the size they need counts before it is placed.
            if (window->layout()) window->layout()->activate();
            const QMargins own = FrameOf(*window);
            FitWithFrame(*window, own.isNull() ? frame_ : own);
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    QMargins frame_;  // the main window's, until the window's own is known
};

}  // namespace

void FitIntoScreen(QWidget& window) {
    // The frame (title bar and borders) counts too: the title bar must stay on the screen.
    FitWithFrame(window, FrameOf(window));
}

void PlaceChildWindow(QWidget& window, const QWidget& main) {
    // Before it is shown a window has no frame yet; the main window's is the one it will get.
    const QMargins frame = FrameOf(main);
    window.installEventFilter(new PlaceKeeper(window, frame));
    // Its layout sets the least size it takes now, not after it is shown and placed.
    window.ensurePolished();
    if (window.layout()) window.layout()->activate();
    const QByteArray remembered = QSettings().value(PlaceKey(window)).toByteArray();
    if (!window.restoreGeometry(remembered)) {
        const QRect free = FreeAreaOf(main);
        const QRect beside = main.frameGeometry();
        const int frameWidth = frame.left() + frame.right();
        // The size it opens at, or less down to what its layout needs, to fit beside.
        const int wanted = window.width() + frameWidth;
        const int least =
            std::max(window.minimumSizeHint().width(), window.minimumWidth()) + frameWidth;
        const int roomRight = free.right() - beside.right(), roomLeft = beside.left() - free.left();
        // To the right when it fits, else to the left, as wide as it opens or as the room
        // allows down to its least; else on the right over the main window, where it covers the
        // input panel before the chart.
        const bool right =
            roomRight >= wanted || (roomLeft < wanted && (roomRight >= least || roomLeft < least));
        const int width = std::clamp(right ? roomRight : roomLeft, std::min(least, wanted), wanted);
        window.resize(width - frameWidth, window.height());
        window.move(right ? beside.right() + 1 : beside.left() - width,
                    std::max(beside.top(), free.top()));
    }
    FitWithFrame(window, frame);
}

}  // namespace feldan
