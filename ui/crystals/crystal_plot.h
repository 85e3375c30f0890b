// The plot of the "Кварцы" window: a crystal's measured sweep against its fitted model, or the
// model alone in a 50 Ohm series fixture when it keeps no sweep; zoomed as the main chart is.
#pragma once

#include "engine/crystal.h"
#include "ui/common/panel.h"
#include "ui/widgets/zoom_view.h"

class QLineSeries;
class QValueAxis;

namespace feldan {

class CrystalPlot : public Panel<ZoomView> {
    Q_OBJECT
  public:
    explicit CrystalPlot(QWidget* parent);

    // Shows `crystal`; nothing for none.
    void Show(const NamedCrystal* crystal);
    // Both axes to the range of the curves shown (the whole plot, without zoom); none without.
    void FitAxes();

    QLineSeries* MeasuredSeries() const { return measuredSeries_; }
    QLineSeries* ModelSeries() const { return modelSeries_; }

  protected:
    void RetranslateUi() override;
    void ShowWhole() override { FitAxes(); }
    // A tenth of a hertz, in kHz: a crystal's resonance is a few hertz wide.
    double SmallestSpan() const override { return 1e-4; }

  private:
    QLineSeries* measuredSeries_ = nullptr;
    QLineSeries* modelSeries_ = nullptr;
    QValueAxis* axisX_ = nullptr;
    QValueAxis* axisY_ = nullptr;
};

}  // namespace feldan
