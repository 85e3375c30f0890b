// The response chart: five line series of attenuation against detuning, a legend at the top,
// rubber-band zoom with a right click back to the whole view, ranges that follow the data. In
// place of the pass band it shows a named quantity (group delay, impedance, ...) of up to two
// curves. A readout names the value under the cursor; the wheel zooms the detuning axis.
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
#include "ui/widgets/zoom_view.h"

class QLabel;
class QLineSeries;
class QValueAxis;

namespace feldan {

// The chart overlays at most this many curves.
inline constexpr int SeriesCount = 5;
// A quantity view draws at most this many curves: a time view the keying and a curve for each
// overlaid calculation.
inline constexpr int QuantitySeriesCount = SeriesCount + 1;

// The colour of overlay position 0..4.
QColor SeriesColour(int position);

// Live tuning draws two curves beside the overlays: the schematic as designed, for reference,
// and as tuned.
enum class TuningCurve { Designed, Tuned };

// What a quantity view shows: the axis titles and the unit the readout gives the values in.
struct ChartQuantity {
    QString xTitle;
    QString yTitle;
    QString yUnit;
    // The unit the readout gives the horizontal axis in; empty: kHz of detuning.
    QString xUnit;
    // An attenuation in dB: the axis stops 20 dB below the deepest level that is not a lone
    // notch, and at −120 dB at the most, so that one point of a notch does not squeeze the rest.
    bool floorsAtDepth = false;
    // The detuning (kHz, from, to) whose values the value axis spans, the pass band: a spike
    // outside it (an input impedance of tens of kilohms) does not squeeze the rest. Unset: all.
    std::optional<std::pair<double, double>> valueSpanKHz{};
    // Where the values reach a thousand, the chart shows them a thousandth as large under this
    // title and unit (microseconds as milliseconds). Empty: always as given.
    QString thousandfoldTitle{};
    QString thousandfoldUnit{};
};

// The lowest value the axis of an attenuation shows for these values (ascending x not needed):
// 20 dB below the level that all but the deepest 0.5 % of the points reach, at most −120 dB.
double AttenuationFloor(std::vector<double> values);

struct NamedCurve {
    QString name;
    std::vector<CurvePoint> points;
    // Unset: the quantity colour of its position.
    std::optional<QColor> colour;
};

class ResponseChart : public Panel<ZoomView> {
    Q_OBJECT
  public:
    explicit ResponseChart(QWidget* parent = nullptr);

    // The series at position 0..4 ("АЧХ1" .. "АЧХ5", in English "Curve 1" .. "Curve 5").
    QLineSeries* Series(int position) const;
    QValueAxis* AxisX() const { return axisX_; }
    QValueAxis* AxisY() const { return axisY_; }

    // Empties a series; the axes follow the remaining points when the event loop runs next, or
    // at the next AddCurve, whichever comes first.
    void ClearSeries(int position);
    // Hands the points to the series in one call. Points a series already holds are kept:
    // both sets are merged in ascending x.
    void AddCurve(int position, std::span<const CurvePoint> points);

    // A name of its own for the series at `position` in the legend; an empty one gives it back
    // its numbered name.
    void SetSeriesName(int position, const QString& name);
    // Shows or hides a curve's entry in the legend (a comparison uses only some of the five).
    void SetLegendEntryShown(int position, bool shown);
    // Replaces a tuning curve; an empty one leaves the chart and its legend.
    void SetTuningCurve(TuningCurve which, std::span<const CurvePoint> points);
    void ClearTuningCurves();
    QLineSeries* TuningSeries(TuningCurve which) const;
    // Its points, also while a quantity view holds them aside.
    QList<QPointF> TuningPoints(TuningCurve which) const;

    void SetLegendVisible(bool visible);
    bool LegendVisible() const;

    // Sets both axes to the range of all points (the whole view, without zoom).
    void FitAxes();

    // Shows `curves` in place of the pass-band series, fitted, under the quantity's titles.
    void ShowQuantity(const ChartQuantity& quantity, std::span<const NamedCurve> curves);
    // Back to the pass-band series, which kept their curves meanwhile.
    void ShowPassBand();
    bool ShowsPassBand() const { return !quantity_; }
    QLineSeries* QuantitySeries(int position) const;
    // The curve of pass-band series 0..4, also while a quantity view holds it aside.
    QList<QPointF> PassBandPoints(int position) const;

    // A measured curve laid over whichever view is shown, in a colour and dash of its own, under
    // `name` in the legend; no points remove it. It widens the value axis only within the
    // detuning the view's own curves span, and the detuning axis only when the view has none.
    void SetMeasuredCurve(const QString& name, std::span<const CurvePoint> points);
    QLineSeries* MeasuredSeries() const { return measuredSeries_; }

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
    QString SeriesName(int position) const;
    // The series the current view shows.
    std::vector<QLineSeries*> ShownSeries() const;
    // Puts points into pass-band series `index` (an overlay or a tuning curve), merged with
    // those it holds.
    void AddPoints(int index, std::span<const CurvePoint> points);
    void ClearPoints(int index);
    // Shows the legend entry of a curve only while it has points (and, for an overlay, while
    // SetLegendEntryShown lets it).
    void UpdateMarkers();
    // Where the readout goes: under the plot right of the detuning axis's title, or, where it
    // is too long for that room, in the plot's top right corner; never over the title.
    QPoint ReadoutPlace() const;

    // The overlays, then the two tuning curves: the pass band's series.
    static constexpr int PassBandCount = SeriesCount + 2;
    std::array<QLineSeries*, PassBandCount> series_{};
    std::array<std::optional<QRectF>, PassBandCount> bounds_{};
    std::array<QString, SeriesCount> ownNames_;
    std::array<bool, SeriesCount> legendShown_ = {true, true, true, true, true};
    std::array<QLineSeries*, QuantitySeriesCount> quantitySeries_{};
    std::optional<QRectF> quantityBounds_;
    std::array<QList<QPointF>, PassBandCount> held_;
    std::optional<ChartQuantity> quantity_;
    double quantityScale_ = 1;
    QLineSeries* measuredSeries_ = nullptr;
    QList<QPointF> measured_;
    QLabel* readout_ = nullptr;
    QValueAxis* axisX_ = nullptr;
    QValueAxis* axisY_ = nullptr;
    QTimer fitTimer_;
};

}  // namespace feldan
