// What the chart shows, by role: the overlaid calculations (the design's own curve is the first
// while nothing is overlaid), the tuning preview, the curves of a view under its quantity and the
// measured filter, with their names, colours and legend entries. Whoever works a curve out
// writes it here; the chart draws what the model holds, and the report and the CSV read it back.
#pragma once

#include <QColor>
#include <QObject>
#include <QString>
#include <array>
#include <optional>
#include <span>
#include <utility>
#include <vector>

#include "engine/calculate.h"

namespace feldan {

// The chart overlays at most this many curves.
inline constexpr int SeriesCount = 5;
// A quantity view draws at most this many curves: a time view the keying and a curve for each
// overlaid calculation.
inline constexpr int QuantitySeriesCount = SeriesCount + 1;

// The colour of overlay position 0..4.
QColor SeriesColour(int position);
// The colour of a view's curve 0..5 that brings none of its own.
QColor QuantityColour(int position);

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

struct NamedCurve {
    QString name;
    std::vector<CurvePoint> points;
    // Unset: the quantity colour of its position.
    std::optional<QColor> colour;
};

class ChartModel : public QObject {
    Q_OBJECT
  public:
    explicit ChartModel(QObject* parent = nullptr) : QObject(parent) {}

    // The overlay at position 0..4; other positions hold nothing and take nothing.
    const std::vector<CurvePoint>& Curve(int position) const;
    void ClearCurve(int position);
    // Points the curve holds already are kept: both sets are merged in ascending x (a stable
    // sort first mends points handed over out of order).
    void AddCurve(int position, std::span<const CurvePoint> points);
    // The overlay's own name in the legend; empty: its numbered one.
    const QString& CurveName(int position) const;
    void SetCurveName(int position, const QString& name);
    // Whether the legend names the curve while it holds points (a comparison uses only some of
    // the five).
    bool LegendEntryShown(int position) const;
    void SetLegendEntryShown(int position, bool shown);

    const std::vector<CurvePoint>& Tuning(TuningCurve which) const;
    // Replaces a tuning curve; an empty one is no curve.
    void SetTuningCurve(TuningCurve which, std::span<const CurvePoint> points);
    void ClearTuningCurves();

    // A view in place of the pass band: `curves` under the quantity's titles. The pass band's
    // curves stay meanwhile.
    void ShowQuantity(const ChartQuantity& quantity, std::span<const NamedCurve> curves);
    void ShowPassBand();
    bool ShowsPassBand() const { return !quantity_; }
    const std::optional<ChartQuantity>& Quantity() const { return quantity_; }
    const std::vector<NamedCurve>& QuantityCurves() const { return quantityCurves_; }

    // A measured curve laid over whichever view is shown, in the view's values and units; no
    // points remove it.
    void SetMeasuredCurve(const QString& name, std::span<const CurvePoint> points);
    void SetMeasuredName(const QString& name);
    const QString& MeasuredName() const { return measuredName_; }
    const std::vector<CurvePoint>& Measured() const { return measured_; }

    bool LegendVisible() const { return legendVisible_; }
    void SetLegendVisible(bool visible);

    // The pass band of `other` in place of this one's: the overlays with their names and legend
    // entries, the tuning curves and the legend's visibility.
    void CopyPassBandOf(const ChartModel& other);

  signals:
    void CurveChanged(int position);
    void TuningCurveChanged(TuningCurve which);
    // The view on show changed: another quantity or its curves, or back to the pass band.
    void ViewChanged();
    void MeasuredChanged();
    // A name or a legend entry changed, the measured curve's too; no curve did.
    void NamesChanged();
    void LegendVisibilityChanged(bool visible);

  private:
    struct Overlay {
        std::vector<CurvePoint> points;
        QString name;
        bool legendShown = true;
    };
    static bool Holds(int position) { return position >= 0 && position < SeriesCount; }

    std::array<Overlay, SeriesCount> overlays_;
    std::array<std::vector<CurvePoint>, 2> tuning_;
    std::optional<ChartQuantity> quantity_;
    std::vector<NamedCurve> quantityCurves_;
    QString measuredName_;
    std::vector<CurvePoint> measured_;
    bool legendVisible_ = true;
};

}  // namespace feldan
