// The views of the "Анализ" menu by name, and what a curve laid over them (the measured filter)
// needs to know of the views in force, so that it need not know the class that shows them.
#pragma once

#include "engine/sweep.h"
#include "ui/analysis/time_views.h"
#include "ui/common/dialog_service.h"

namespace feldan {

enum class AnalysisView {
    PassBand,
    WideBand,
    GroupDelay,
    ReturnLoss,
    Impedance,
    Step,  // the views in time
    Impulse,
    Keyed
};
inline constexpr int AnalysisViewCount = 8;

inline bool IsTimeView(AnalysisView view) {
    return view == AnalysisView::Step || view == AnalysisView::Impulse ||
           view == AnalysisView::Keyed;
}

// The time view of a view that is one.
inline TimeView TimeViewOf(AnalysisView view) {
    return view == AnalysisView::Step      ? TimeView::Step
           : view == AnalysisView::Impulse ? TimeView::Impulse
                                           : TimeView::Keyed;
}

class ViewContext {
  public:
    virtual AnalysisView View() const = 0;
    // The circuit the quantity views sweep: the schematic as built unless the analysed circuit
    // is asked for.
    virtual CircuitChoice Circuit() const = 0;
    // How the views sweep the designed filter: the span of `view`, the ports in force.
    virtual SweepRequest RequestFor(AnalysisView view, const DesignedFilter& filter) const = 0;
    // The keying in force: the one chosen, or until then dots at the speed of the design's band.
    virtual const KeyingChoice& Keying() const = 0;
    // The span of the time view on show, ms (0 outside the time views).
    virtual double TimeShownMs() const = 0;

  protected:
    ~ViewContext() = default;
};

}  // namespace feldan
