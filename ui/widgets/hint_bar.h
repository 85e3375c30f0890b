// The lower status bar of the main window: the hint of the control under the mouse or in
// focus, and the date and the time, which a clock keeps current.
#pragma once

#include "ui/widgets/panel_bar.h"

class QDate;
class QLocale;
class QTime;
class QTimer;

namespace feldan {

class HintBar : public PanelBar {
    Q_OBJECT
  public:
    // `clientWidth` is the window's width at its default size, which the panels share.
    HintBar(int clientWidth, QWidget* parent);

    void ShowHint(const QString& hint) { SetPanelText(0, hint); }
    // The date and time of now; from then on every second.
    void StartClock();
    void ShowClock();

  private:
    QTimer* clockTimer_;
};

// The locale's long time format without a time-zone part, so the time fits its panel.
QString LongTimeText(const QLocale& locale, const QTime& time);
QString ShortDateText(const QLocale& locale, const QDate& date);

}  // namespace feldan
