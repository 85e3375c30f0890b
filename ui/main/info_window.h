// The information window: the version and credit lines rise once, like the credits of a film,
// and stand with the version on top; then a Close button appears. Closing only hides the window.
#pragma once

#include <QString>
#include <QTimer>
#include <QWidget>
#include <vector>
#include "ui/common/panel.h"

class QPushButton;

namespace feldan {

// One row of the scrolling text: row k stands k text heights below the version line.
struct CreditRow {
    int row;
    QString text;
};

// The rows in drawing order, in the language in force; the last one is the closing row of
// spaces.
std::vector<CreditRow> CreditRows();

class CreditsArea : public QWidget {
    Q_OBJECT
  public:
    explicit CreditsArea(QWidget* parent);

    // The step being shown, or -1 when the area is blank.
    void ShowStep(int step);
    int ShownStep() const { return step_; }
    // h: the height of the text "0" in the area's font.
    int TextHeight() const;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    int step_ = -1;
};

class InfoWindow : public Panel<QWidget> {
    Q_OBJECT
  public:
    explicit InfoWindow(QWidget* parent = nullptr);

    // What "Инфо" does: show the window, make it active and start the scroll from step 0.
    void ShowAndActivate();

    // Time between two steps of the scroll; 30 ms unless a test changes it.
    void SetStepInterval(int milliseconds);
    int StepInterval() const { return timer_.interval(); }

    bool Scrolling() const { return timer_.isActive(); }
    // One step of the scroll; the timer calls it.
    void ScrollStep();
    // The last step of a scroll, where the credits stand (steps 0..N are drawn).
    int LastStep() const;
    int CurrentStep() const { return step_; }

  signals:
    void ScrollFinished();

  protected:
    bool event(QEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void RetranslateUi() override;

  private:
    void FormActivate();

    CreditsArea* creditsBox_ = nullptr;
    QPushButton* closeButton_ = nullptr;
    QTimer timer_;
    int step_ = 0;
    // Set when ShowAndActivate has just started a scroll: the activation it asked for then
    // starts no second one.
    bool activationRequested_ = false;
};

}  // namespace feldan
