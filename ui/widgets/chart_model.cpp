#include "ui/widgets/chart_model.h"

#include <algorithm>
#include <iterator>

namespace feldan {

namespace {

const std::array<QColor, SeriesCount> SeriesColours = {
    QColor(255, 0, 0), QColor(0, 128, 0), QColor(0, 0, 255), QColor(255, 0, 255), QColor(64, 0, 0)};
// The first two as the views have always drawn them; then the overlays' own colours.
const std::array<QColor, QuantitySeriesCount> QuantityColours = {
    QColor(0, 0, 255),   QColor(255, 0, 0), QColor(0, 128, 0),
    QColor(255, 0, 255), QColor(64, 0, 0),  QColor(0, 140, 150)};

const std::vector<CurvePoint> NoCurve;
const QString NoName;

// The engine hands over ascending points; a stable sort keeps them, and mends any other.
std::vector<CurvePoint> Ascending(std::span<const CurvePoint> points) {
    std::vector<CurvePoint> sorted(points.begin(), points.end());
    const auto byX = [](const CurvePoint& a, const CurvePoint& b) { return a.x < b.x; };
    if (!std::is_sorted(sorted.begin(), sorted.end(), byX))
        std::stable_sort(sorted.begin(), sorted.end(), byX);
    return sorted;
}

}  // namespace

QColor SeriesColour(int position) {
    return SeriesColours[std::size_t(std::clamp(position, 0, SeriesCount - 1))];
}

QColor QuantityColour(int position) {
    return QuantityColours[std::size_t(std::clamp(position, 0, QuantitySeriesCount - 1))];
}

const std::vector<CurvePoint>& ChartModel::Curve(int position) const {
    return Holds(position) ? overlays_[std::size_t(position)].points : NoCurve;
}

void ChartModel::ClearCurve(int position) {
    if (!Holds(position)) return;
    overlays_[std::size_t(position)].points.clear();
    emit CurveChanged(position);
}

void ChartModel::AddCurve(int position, std::span<const CurvePoint> points) {
    if (!Holds(position) || points.empty()) return;
    std::vector<CurvePoint> incoming = Ascending(points);
    std::vector<CurvePoint>& held = overlays_[std::size_t(position)].points;
    if (held.empty()) {
        held = std::move(incoming);
    } else {
        std::vector<CurvePoint> merged;
        merged.reserve(held.size() + incoming.size());
        std::merge(held.begin(), held.end(), incoming.begin(), incoming.end(),
                   std::back_inserter(merged),
                   [](const CurvePoint& a, const CurvePoint& b) { return a.x < b.x; });
        held = std::move(merged);
    }
    emit CurveChanged(position);
}

const QString& ChartModel::CurveName(int position) const {
    return Holds(position) ? overlays_[std::size_t(position)].name : NoName;
}

void ChartModel::SetCurveName(int position, const QString& name) {
    if (!Holds(position)) return;
    overlays_[std::size_t(position)].name = name;
    emit NamesChanged();
}

bool ChartModel::LegendEntryShown(int position) const {
    return Holds(position) && overlays_[std::size_t(position)].legendShown;
}

void ChartModel::SetLegendEntryShown(int position, bool shown) {
    if (!Holds(position)) return;
    overlays_[std::size_t(position)].legendShown = shown;
    emit NamesChanged();
}

const std::vector<CurvePoint>& ChartModel::Tuning(TuningCurve which) const {
    return tuning_[std::size_t(which)];
}

void ChartModel::SetTuningCurve(TuningCurve which, std::span<const CurvePoint> points) {
    tuning_[std::size_t(which)] = Ascending(points);
    emit TuningCurveChanged(which);
}

void ChartModel::ClearTuningCurves() {
    for (TuningCurve which : {TuningCurve::Designed, TuningCurve::Tuned})
        SetTuningCurve(which, {});
}

void ChartModel::ShowQuantity(const ChartQuantity& quantity, std::span<const NamedCurve> curves) {
    quantity_ = quantity;
    quantityCurves_.assign(curves.begin(), curves.end());
    emit ViewChanged();
}

void ChartModel::ShowPassBand() {
    if (!quantity_) return;
    quantity_.reset();
    quantityCurves_.clear();
    emit ViewChanged();
}

void ChartModel::SetMeasuredCurve(const QString& name, std::span<const CurvePoint> points) {
    measuredName_ = name;
    measured_.assign(points.begin(), points.end());
    emit MeasuredChanged();
}

void ChartModel::SetMeasuredName(const QString& name) {
    measuredName_ = name;
    emit NamesChanged();
}

void ChartModel::SetLegendVisible(bool visible) {
    legendVisible_ = visible;
    emit LegendVisibilityChanged(visible);
}

void ChartModel::CopyPassBandOf(const ChartModel& other) {
    for (int position = 0; position < SeriesCount; ++position) {
        overlays_[std::size_t(position)] = other.overlays_[std::size_t(position)];
        emit CurveChanged(position);
    }
    emit NamesChanged();
    for (TuningCurve which : {TuningCurve::Designed, TuningCurve::Tuned})
        SetTuningCurve(which, other.Tuning(which));
    SetLegendVisible(other.legendVisible_);
}

}  // namespace feldan
