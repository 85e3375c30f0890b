// The "Анализ" views of the chart: the pass band of the calculations, or a quantity of a sweep
// of the designed filter (wide band, group delay, return loss, input impedance), with a
// measured filter laid over each.
#pragma once

#include <QObject>
#include <QString>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/sweep.h"
#include "ui/analysis/analysis_view.h"
#include "ui/analysis/time_views.h"
#include "ui/widgets/chart_model.h"

class QAction;
class QLabel;
class QMenu;

namespace feldan {

class DesignDocument;
class DialogService;
class MeasuredOverlay;

// The menu's commands of the views: one checkable command per view (in the order of the enum),
// the check mark that sweeps the analysed circuit instead of the schematic as built, and the
// command that asks for the resistance of the ports.
struct ViewCommands {
    std::array<QAction*, AnalysisViewCount> views{};
    QAction* keying = nullptr;  // the keying and window of the time views
    QAction* analysedCircuit = nullptr;
    QAction* referenceOhm = nullptr;
};

class AnalysisViews : public QObject, public ViewContext {
    Q_OBJECT
  public:
    // The views go into `chart`, whose lifetime is the views'. The measured filter's commands go
    // to the end of `menu`, its figures beside the design's into `figures`.
    AnalysisViews(const DesignDocument& document, DialogService& dialogs, ChartModel& chart,
                  QMenu& menu, const ViewCommands& commands, QLabel& figures);

    // Shows a view; a quantity view sweeps the design as the document holds it.
    void ShowView(AnalysisView view);
    AnalysisView View() const override { return view_; }
    CircuitChoice Circuit() const override;
    // The resistance the views refer the S-parameters to; unset: the circuit's own terminations.
    std::optional<double> ReferenceOhm() const { return referenceOhm_; }
    void SetReferenceOhm(std::optional<double> ohm);
    SweepRequest RequestFor(AnalysisView view, const DesignedFilter& filter) const override;
    // A calculation is on show: a quantity view follows it, the pass band draws the measured
    // filter over it.
    void Follow(bool calculationDone);
    // Очистить: the view on show loses the curves of the calculations.
    void Clear();
    // The shown view as CSV: a header line, then a row per point.
    std::string ViewCsv() const;
    MeasuredOverlay& Measured() const { return *measured_; }
    // The designs a time view and the views of one curve (wide band, group delay, return loss)
    // show: those of the overlaid calculations when there are any, else the document's.
    void SetOverlaySources(std::function<std::vector<DesignSource>()> sources) {
        overlaySources_ = std::move(sources);
    }
    const KeyingChoice& Keying() const override { return keying_; }
    void SetKeying(const KeyingChoice& keying);
    double TimeShownMs() const override { return timeCurves_.shownMs; }
    // The rows of the figures table of the time view on show (the measured filter's last).
    std::vector<TimeFiguresRow> TimeFigures() const;
    // The quantity view's titles and the measured menu in the language in force.
    void RetranslateUi();

  private:
    // Until a keying is chosen, the dots go at the speed of the document's band.
    void FollowBandWithDots();
    // Draws the sweep of the view in force into the chart, in the language in force.
    void PlotViewSweep();
    // Works out and draws the time view in force.
    void ShowTimeView();
    // The figures of the time view under the chart, the measured filter's with them.
    void ShowTimeFigures();
    // The parts the schematic is built of, after the table under the chart.
    void ShowPartsInForce();

    const DesignDocument& document_;
    DialogService& dialogs_;
    ChartModel& chart_;
    ViewCommands commands_;
    std::optional<double> referenceOhm_;
    MeasuredOverlay* measured_;
    AnalysisView view_ = AnalysisView::PassBand;
    // The sweep a quantity view shows, and Fo in Hz it is detuned from.
    std::shared_ptr<SweepResult> viewSweep_;
    double viewFoHz_ = 0;
    // The pass band of the design a quantity view shows, kHz of detuning.
    std::optional<std::pair<double, double>> viewBandKHz_;
    // The pass bands the crystals' unwanted modes open, which the wide band marks.
    std::vector<UnwantedResponse> viewUnwanted_;
    // A view of one curve for each overlaid calculation when more than one is overlaid (the
    // sweep's table stays the document's design's).
    std::vector<NamedCurve> overlayCurves_;
    QLabel& figures_;
    std::function<std::vector<DesignSource>()> overlaySources_;
    KeyingChoice keying_;
    bool keyingChosen_ = false;
    TimeCurves timeCurves_;
};

// The speed, in words a minute, whose dots a filter of this band width passes with their shape:
// a dot lasts about five times 1/dF, rounded to a speed of a short list (…, 100, 120, 150, 200,
// …), within what the keying dialog takes.
double DotSpeedOfBand(double dfHz);

// The group-delay view of a sweep, as the report draws it, against the detuning from Fo.
void ShowGroupDelay(ChartModel& chart, const SweepResult& sweep, double foHz);

}  // namespace feldan
