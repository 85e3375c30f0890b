// The response chart draws a chart model: five line series of attenuation against detuning, a
// legend at the top, rubber-band zoom with a right click back to the whole view, ranges that
// follow the data. In place of the pass band it shows a named quantity (group delay, impedance,
// ...) of the model's view. A readout names the value under the cursor; the wheel zooms the
// detuning axis. It is the one class that knows Qt Charts.
#pragma once

#include <QChartView>
#include <QColor>
#include <QRectF>
#include <QTimer>
#include <array>
#include <optional>
#include <span>
#include <utility>
#include <vector>

#include "engine/calculate.h"
#include "ui/common/panel.h"
#include "ui/widgets/chart_model.h"
#include "ui/widgets/chart_picture.h"
#include "ui/widgets/zoom_view.h"

class QLabel;
class QLineSeries;
class QValueAxis;

namespace feldan {

// The lowest value the axis of an attenuation shows for these values (ascending x not needed):
// 20 dB below the level that all but the deepest 0.5 % of the points reach, at most −120 dB.
double AttenuationFloor(std::vector<double> values);

class ResponseChart : public Panel<ZoomView>, public ChartPicture {
    Q_OBJECT
  public:
    // Draws `model`, which outlives the chart, and every change of it.
    explicit ResponseChart(const ChartModel& model, QWidget* parent = nullptr);
    // A model made for the call would be gone before the chart draws it.
    ResponseChart(const ChartModel&& model, QWidget* parent = nullptr) = delete;

    // The series at position 0..4 ("АЧХ1" .. "АЧХ5", in English "Curve 1" .. "Curve 5").
    QLineSeries* Series(int position) const;
    QValueAxis* AxisX() const { return axisX_; }
    QValueAxis* AxisY() const { return axisY_; }
    QLineSeries* TuningSeries(TuningCurve which) const;
    bool LegendVisible() const;

    // Sets both axes to the range of all points (the whole view, without zoom).
    void FitAxes();

    bool ShowsPassBand() const { return !quantity_; }
    QLineSeries* QuantitySeries(int position) const;
    // The measured curve over whichever view is shown, in a colour and dash of its own. It
    // widens the value axis only within the detuning the view's own curves span, and the
    // detuning axis only when the view has none.
    QLineSeries* MeasuredSeries() const { return measuredSeries_; }

    QSize ShownSize() const override { return size(); }
    void DrawAsShown(QPainter& painter) override;
    void DrawLaidOut(QPainter& painter, const QRectF& target, const QSizeF& laidOut) override;

    // The detuning and the value of every shown curve at the detuning under `viewPoint`;
    // empty outside the plot area or where no curve reaches.
    QString ReadoutAt(QPointF viewPoint) const;
    QLabel* Readout() const { return readout_; }
    // The factor the shown values of the quantity view are of the values given: 1, or 0.001 in
    // the thousandfold unit.
    double QuantityScale() const { return quantityScale_; }

  protected:
    // The axis titles and the series names in the language in force.
    void RetranslateUi() override;
    // Back to the range of all points: the right button.
    void ShowWhole() override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

  private:
    // The constructor's parts: the styled chart and its legend, its axes, its series (overlays,
    // tuning curves, quantities, the measured curve), the view taking the chart with its readout,
    // the axes' round ranges, and the model's changes drawn as they come.
    QChart* NewChart() const;
    void AddAxes(QChart* chart);
    void AddSeries(QChart* chart);
    void TakeChart(QChart* chart);
    void ConnectAxes();
    void ConnectModel();
    QString SeriesName(int position) const;
    // The series the current view shows.
    std::vector<QLineSeries*> ShownSeries() const;
    // The model's curve for pass-band series `index`: an overlay or a tuning curve.
    const std::vector<CurvePoint>& PassBandCurve(int index) const;
    // What the model holds, as it changes.
    void DrawModel();
    void DrawPassBandCurve(int index);
    void DrawView();
    void DrawQuantity(const ChartQuantity& quantity, std::span<const NamedCurve> curves);
    void DrawPassBand();
    void DrawMeasured();
    void DrawNames();
    // Shows the legend entry of a curve only while it has points (and, for an overlay, while
    // the model lets it).
    void UpdateMarkers();
    // Where the readout goes: under the plot right of the detuning axis's title, or, where it
    // is too long for that room, in the plot's top right corner; never over the title.
    QPoint ReadoutPlace() const;

    // The overlays, then the two tuning curves: the pass band's series.
    static constexpr int PassBandCount = SeriesCount + 2;
    const ChartModel& model_;
    std::array<QLineSeries*, PassBandCount> series_{};
    std::array<std::optional<QRectF>, PassBandCount> bounds_{};
    std::array<QLineSeries*, QuantitySeriesCount> quantitySeries_{};
    std::optional<QRectF> quantityBounds_;
    // The quantity drawn, in the unit the values are shown in.
    std::optional<ChartQuantity> quantity_;
    double quantityScale_ = 1;
    QLineSeries* measuredSeries_ = nullptr;
    QList<QPointF> measured_;  // as drawn: in the unit of the view drawn when it came
    QLabel* readout_ = nullptr;
    QValueAxis* axisX_ = nullptr;
    QValueAxis* axisY_ = nullptr;
    QTimer fitTimer_;
};

}  // namespace feldan
