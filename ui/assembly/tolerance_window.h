// Сборка → "Допуски…": Monte Carlo of the filter as built. The trials run on a thread of their
// own (the engine spreads them over every core); the window shows their progress, then the
// envelope of the curves over the nominal one, histograms of band width, ripple and Амин, and the
// yield. Closing the window or the program while it runs cancels the run and waits for it.
#pragma once

#include <QWidget>
#include <memory>
#include <optional>
#include <vector>

#include "engine/tolerance.h"
#include "ui/common/background_run.h"
#include "ui/common/panel.h"

class QAreaSeries;
class QChartView;
class QComboBox;
class QDoubleSpinBox;
class QFormLayout;
class QLabel;
class QLineSeries;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QTableWidget;
class QValueAxis;

namespace feldan {

class DesignDocument;

// Bars of the counts of values in equal bins between their smallest and largest, with the ends
// of the range under them.
class Histogram : public QWidget {
    Q_OBJECT
  public:
    explicit Histogram(QWidget* parent = nullptr);
    void SetValues(std::vector<double> values, const QString& title, const QString& unit);
    const std::vector<int>& Counts() const { return counts_; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    std::vector<int> counts_;
    double low_ = 0, high_ = 0;
    QString title_, unit_;
};

class ToleranceWindow : public Panel<QWidget> {
    Q_OBJECT
  public:
    ToleranceWindow(DesignDocument& document, QWidget* parent);
    ~ToleranceWindow() override;

    // Starts the trials on the document's design; nothing when a run is going.
    void Run();
    // Asks a running run to stop; its finished trials are shown.
    void Cancel();
    bool Running() const { return run_.Running(); }
    ToleranceRequest Request() const;
    // The last finished run, and whether the design changed since.
    const std::optional<ToleranceResult>& Result() const { return result_; }
    bool Stale() const { return stale_; }

  protected:
    void RetranslateUi() override;
    void closeEvent(QCloseEvent* event) override;

  private:
    // The constructor's parts: the trials' choices (in the form they are laid out in), the run's
    // buttons and results, the envelope chart, the histograms, the two columns, and the buttons'
    // and document's connections.
    QFormLayout* BuildChoices();
    void BuildRunControls();
    void BuildChart();
    void BuildHistograms();
    void LayOutWindow(QFormLayout* form);
    void ConnectControls();
    void Finished(ToleranceResult result);
    void ShowResult();
    void MarkStale();

    DesignDocument& document_;
    std::string runProject_;  // the project the last run was made of, as a file holds it
    QString runParts_;        // which values it ran on: designed, rounded, tuned
    BackgroundRun run_;
    std::optional<ToleranceResult> result_;
    bool stale_ = false;

    QLabel* trialsLabel_ = nullptr;
    QSpinBox* trialsSpin_ = nullptr;
    QLabel* capLabel_ = nullptr;
    QDoubleSpinBox* capSpin_ = nullptr;
    QLabel* distributionLabel_ = nullptr;
    QComboBox* distributionCombo_ = nullptr;
    QLabel* fsLabel_ = nullptr;
    QDoubleSpinBox* fsSpin_ = nullptr;
    QLabel* rmLabel_ = nullptr;
    QDoubleSpinBox* rmSpin_ = nullptr;
    QLabel* seedLabel_ = nullptr;
    QSpinBox* seedSpin_ = nullptr;
    QLabel* bandwidthLabel_ = nullptr;
    QDoubleSpinBox* bandwidthSpin_ = nullptr;
    QLabel* rippleLabel_ = nullptr;
    QDoubleSpinBox* rippleSpin_ = nullptr;
    QPushButton* runButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
    QProgressBar* progressBar_ = nullptr;
    QLabel* yieldLabel_ = nullptr;
    QLabel* staleLabel_ = nullptr;
    QTableWidget* percentilesTable_ = nullptr;
    QChartView* chartView_ = nullptr;
    QLineSeries* nominalSeries_ = nullptr;
    QLineSeries* p5Series_ = nullptr;
    QLineSeries* p95Series_ = nullptr;
    QAreaSeries* bandSeries_ = nullptr;
    QLineSeries* minSeries_ = nullptr;
    QLineSeries* maxSeries_ = nullptr;
    QValueAxis* axisX_ = nullptr;
    QValueAxis* axisY_ = nullptr;
    Histogram* bandwidthHistogram_ = nullptr;
    Histogram* rippleHistogram_ = nullptr;
    Histogram* flatnessHistogram_ = nullptr;
    Histogram* aminHistogram_ = nullptr;
};

}  // namespace feldan
