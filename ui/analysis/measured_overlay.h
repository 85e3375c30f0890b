// A measured filter laid over the design: the "Анализ" commands that open and remove a sweep of
// the built filter (.s2p) and shift it to the design's centre, and its curve in each view.
#pragma once

#include <QObject>
#include <QString>
#include <chrono>
#include <memory>
#include <optional>

#include "engine/calculate.h"
#include "engine/filter_figures.h"
#include "engine/measured_filter.h"
#include "files/touchstone.h"
#include "instruments/analyser_sweep.h"
#include "ui/analysis/analysis_view.h"
#include "ui/analysis/time_views.h"

class QAction;
class QLabel;
class QMenu;

namespace feldan {

class ChartModel;
class DesignDocument;
class DialogService;
class LiveSweep;

class MeasuredOverlay : public QObject {
    Q_OBJECT
  public:
    // Adds its commands to the end of `menu`; `views` tell the view on show, its circuit and its
    // ports. The curve goes into `chart`, the figures of the measurement and the design into
    // `figures`, side by side.
    MeasuredOverlay(const DesignDocument& document, DialogService& dialogs, ChartModel& chart,
                    QMenu& menu, const ViewContext& views, QLabel& figures);
    ~MeasuredOverlay() override;

    // "Измеренный фильтр…": a file through the open dialog.
    void OpenCommand();
    // Reads the file and lays it over the view; a file that cannot be read gets an error box and
    // leaves the curve shown before.
    bool Open(const QString& path);
    // "Убрать измеренный".
    void Remove();
    // "С прибора": the built filter swept over the design's wide band on the analyser last
    // chosen in Кварцы, again and again, and laid over the design until stopped.
    void StartLive();
    void StopLive();
    bool Live() const;
    // The time limits of the reads and the pause between sweeps (tests give short ones).
    void SetLiveTiming(const ReadLimits& limits, std::chrono::milliseconds pause) {
        liveLimits_ = limits;
        livePause_ = pause;
    }
    bool IsOpen() const { return filter_.has_value(); }
    // Draws the measured curve of `view` over the design as the window holds it; call after the
    // view's own curves are drawn.
    void Show(AnalysisView view);
    // The measured curve of `view` as the chart draws it (detuning in kHz from the design's Fo,
    // with the shift in force); empty while no file is open.
    std::vector<CurvePoint> PointsOf(AnalysisView view) const;
    // The curve's name in the legend.
    QString CurveName() const;
    // The shift applied in the view shown last, Hz (0 when not shifted).
    double ShiftHz() const { return shiftHz_; }
    // The level added to the measured |S21| so that its peak meets the design's, dB (0 unless
    // "Совместить пики" is on).
    double LevelShiftDb() const { return levelShiftDb_; }
    // The figures of the measurement (as renormalised) and of the design swept over its span, as
    // the view shown last draws the design; the shift comes from the same two.
    const std::optional<FilterFigures>& MeasuredFigures() const { return measuredFigures_; }
    const std::optional<FilterFigures>& DesignFigures() const { return designFigures_; }
    // The menu texts and the legend name in the language in force.
    void RetranslateUi();
    // In a time view: the figures of the measured response (none while no file is open).
    const std::optional<TimeFiguresRow>& TimeRow() const { return timeRow_; }

  signals:
    // The measured curve of a time view and its figures were drawn anew.
    void TimeCurveChanged();
    // "Что построено…": the sweep open, and its name.
    void DiagnoseRequested(const feldan::TouchstoneData& data, const QString& name);

  private:
    // The measured curves from the file, renormalised to the design's terminations when asked.
    void Analyse();
    void ShowFigures();
    // The measured S21 in time, as the time view on show draws it.
    void ShowInTime(AnalysisView view);
    void ShowLiveSweep(const AnalyserSweep& sweep);
    void LiveFault(const Message& message);

    const DesignDocument& document_;
    DialogService& dialogs_;
    ChartModel& chart_;
    const ViewContext& views_;
    QAction* separator_ = nullptr;
    QAction* openAction_ = nullptr;
    QAction* diagnoseAction_ = nullptr;
    QAction* shiftAction_ = nullptr;
    QAction* renormaliseAction_ = nullptr;
    QAction* alignPeaksAction_ = nullptr;
    QLabel& figures_;
    std::optional<TouchstoneData> data_;
    std::optional<FilterFigures> measuredFigures_;
    std::optional<FilterFigures> designFigures_;
    // The ports the design of designFigures_ is swept between; unset: its own terminations.
    std::optional<double> designPortOhm_;
    bool symmetryAssumed_ = false;  // the file has no reverse measurement; S12, S22 were taken
    QAction* removeAction_ = nullptr;
    QAction* liveAction_ = nullptr;
    std::unique_ptr<LiveSweep> live_;
    ReadLimits liveLimits_;
    std::chrono::milliseconds livePause_{1000};
    std::optional<MeasuredFilter> filter_;
    std::vector<MeasuredSample> samples_;  // as analysed: renormalised when asked
    std::optional<TimeFiguresRow> timeRow_;
    std::vector<CurvePoint> timePoints_;
    QString fileName_;
    bool fromDevice_ = false;  // the live sweep's, named in the language in force
    double shiftHz_ = 0;
    double levelShiftDb_ = 0;
    double foHz_ = 0;  // the frequency the points are detuned from
    bool shifted_ = false;
};

}  // namespace feldan
