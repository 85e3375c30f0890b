// The "Анализ" views of the chart: the pass band of the calculations, or a quantity of a sweep
// of the designed filter (wide band, group delay, return loss, input impedance), with a
// measured filter laid over each.
#pragma once

#include <QObject>
#include <QString>
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "engine/sweep.h"
#include "ui/widgets/response_chart.h"

class QAction;
class QMenu;

namespace feldan {

class DesignDocument;
class DialogService;
class MeasuredOverlay;

enum class AnalysisView { PassBand, WideBand, GroupDelay, ReturnLoss, Impedance };
inline constexpr int AnalysisViewCount = 5;

class AnalysisViews : public QObject {
    Q_OBJECT
  public:
    // `viewActions` are the menu's checkable commands of the views, in the order of the enum,
    // and `analysedAction` the check mark that sweeps the analysed circuit instead of the
    // schematic as built; the measured filter's commands go to the end of `menu`.
    AnalysisViews(const DesignDocument& document, DialogService& dialogs, ResponseChart& chart,
                  QMenu& menu, const std::array<QAction*, AnalysisViewCount>& viewActions,
                  QAction& analysedAction);

    // Shows a view; a quantity view sweeps the design as the document holds it.
    void ShowView(AnalysisView view);
    AnalysisView View() const { return view_; }
    // The circuit the quantity views sweep: the schematic as built unless the analysed circuit
    // is asked for.
    CircuitChoice Circuit() const;
    // A calculation is on show: a quantity view follows it, the pass band draws the measured
    // filter over it.
    void Follow(bool calculationDone);
    // The shown view as CSV: a header line, then a row per point.
    std::string ViewCsv() const;
    MeasuredOverlay& Measured() const { return *measured_; }
    // The quantity view's titles and the measured menu in the language in force.
    void RetranslateUi();

  private:
    // Draws the sweep of the view in force into the chart, in the language in force.
    void PlotViewSweep();

    const DesignDocument& document_;
    DialogService& dialogs_;
    ResponseChart& chart_;
    std::array<QAction*, AnalysisViewCount> viewActions_;
    QAction& analysedAction_;
    MeasuredOverlay* measured_;
    AnalysisView view_ = AnalysisView::PassBand;
    // The sweep a quantity view shows, and Fo in Hz it is detuned from.
    std::shared_ptr<SweepResult> viewSweep_;
    double viewFoHz_ = 0;
};

// The group-delay view of a sweep, as the report draws it.
void ShowGroupDelay(ResponseChart& chart, const SweepResult& sweep);

}  // namespace feldan
