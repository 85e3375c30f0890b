#include "ui/widgets/hint_bar.h"

#include <QApplication>
#include <QDateTime>
#include <QFontMetrics>
#include <QLocale>
#include <QTimer>
#include <algorithm>

#include "ui/common/language.h"

namespace feldan {

namespace {

constexpr int StatusBarHeight = 19;
// What a status bar panel needs beside its text: its frame and indent, and a little air.
constexpr int PanelPadding = 12;

// The hint takes the room; date and time stay at the right and get the room their texts take
// in the user's locale, at least the 80 and 72 pixels they have always had.
std::vector<PanelLayout> PanelsOf(int clientWidth) {
    const QFontMetrics metrics(QApplication::font());
    const auto room = [&](const QString& text) {
        return metrics.horizontalAdvance(text) + PanelPadding;
    };
    // The clock speaks the window's language, which may change: room for each.
    int dateWidth = 80;
    int timeWidth = clientWidth - 640 - 80;
    for (const QLocale& locale : {QLocale::system(), QLocale(QLocale::Russian, QLocale::Russia),
                                  QLocale(QLocale::English, QLocale::UnitedStates)}) {
        dateWidth = std::max(dateWidth, room(ShortDateText(locale, QDate(2026, 12, 28))));
        timeWidth = std::max({timeWidth, room(LongTimeText(locale, QTime(10, 58, 58))),
                              room(LongTimeText(locale, QTime(22, 58, 58)))});
    }
    return {{clientWidth - dateWidth - timeWidth, Qt::AlignLeft, 1},
            {dateWidth, Qt::AlignHCenter, 0},
            {timeWidth, Qt::AlignHCenter, 0}};
}

}  // namespace

QString LongTimeText(const QLocale& locale, const QTime& time) {
    // Drop the time-zone letters (outside quoted literals) and the blanks around them.
    const QString format = locale.timeFormat(QLocale::LongFormat);
    QString kept;
    bool quoted = false;
    for (QChar c : format) {
        if (c == QLatin1Char('\'')) quoted = !quoted;
        if (!quoted && c == QLatin1Char('t')) continue;
        kept.append(c);
    }
    return locale.toString(time, kept.simplified());
}

QString ShortDateText(const QLocale& locale, const QDate& date) {
    return locale.toString(date, QLocale::ShortFormat);
}

HintBar::HintBar(int clientWidth, QWidget* parent)
    : PanelBar(PanelsOf(clientWidth), parent), clockTimer_(new QTimer(this)) {
    setObjectName(QStringLiteral("hintStatusBar"));
    setFixedHeight(StatusBarHeight);
    setFont(QApplication::font());
    clockTimer_->setObjectName(QStringLiteral("clockTimer"));
    clockTimer_->setInterval(1000);
    connect(clockTimer_, &QTimer::timeout, this, &HintBar::ShowClock);
}

void HintBar::StartClock() {
    ShowClock();
    clockTimer_->start();
}

void HintBar::ShowClock() {
    const QLocale locale = ClockLocale();
    const QDateTime now = QDateTime::currentDateTime();
    SetPanelText(1, ShortDateText(locale, now.date()));
    SetPanelText(2, LongTimeText(locale, now.time()));
}

}  // namespace feldan
