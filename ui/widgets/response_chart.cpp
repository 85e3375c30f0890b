#include "ui/widgets/response_chart.h"

#include "ui/common/ui_text.h"

#include <QChart>
#include <QFont>
#include <QFontMetrics>
#include <QGraphicsLayout>
#include <QGraphicsScene>
#include <QLabel>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QLinearGradient>
#include <QLocale>
#include <QMouseEvent>
#include <QPainter>
#include <QValueAxis>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <tuple>

#include "ui/widgets/window_style.h"

namespace feldan {

namespace {

// The designed curve a broad light band, the tuned one bright and narrow over it. (A dash
// pattern or a translucent pen would go solid: a curve of thousands of points is drawn segment
// by segment.)
const QPen DesignedPen(QColor(175, 175, 175), 5);
const QPen TunedPen(QColor(255, 128, 0), 2);

const QColor LightYellow(255, 255, 128);
const QColor Silver(192, 192, 192);
// Orange and dashed: unlike any curve of the calculations or of the views.
// Unlike the orange of the tuned curve: a measurement and a tuning must never be taken for each
// other.
const QColor MeasuredColor(0, 140, 150);

// The value of a curve of ascending x at `x`, by straight lines between its points.
std::optional<double> ValueAt(const QList<QPointF>& points, double x) {
    if (points.isEmpty() || x < points.front().x() || x > points.back().x()) return std::nullopt;
    const auto after = std::lower_bound(points.cbegin(), points.cend(), x,
                                        [](const QPointF& p, double v) { return p.x() < v; });
    if (after == points.cbegin()) return after->y();
    const QPointF& b = *after;
    const QPointF& a = *(after - 1);
    if (b.x() == a.x()) return b.y();
    return a.y() + (b.y() - a.y()) * (x - a.x()) / (b.x() - a.x());
}

void StyleAxis(QValueAxis* axis) {
    axis->setTitleFont(ArialFont(12, true));
    axis->setTitleBrush(Qt::black);
    axis->setLabelsFont(ArialFont(11, false));
    axis->setLabelsBrush(Qt::black);
    axis->setLinePen(QPen(Qt::black, 2));
    axis->setGridLinePen(QPen(Silver, 1, Qt::DotLine));
    axis->setMinorTickCount(0);
    axis->setTickType(QValueAxis::TicksDynamic);
    axis->setTickAnchor(0);
}

QList<QPointF> ListOf(const std::vector<CurvePoint>& points) {
    QList<QPointF> list;
    list.reserve(qsizetype(points.size()));
    for (const CurvePoint& point : points)
        list.append(QPointF(point.x, point.y));
    return list;
}

}  // namespace

double AttenuationFloor(std::vector<double> values) {
    std::erase_if(values, [](double v) { return !std::isfinite(v); });
    if (values.empty()) return -120;
    const std::size_t deepest = values.size() / 200;
    std::nth_element(values.begin(), values.begin() + std::ptrdiff_t(deepest), values.end());
    return std::max(values[deepest] - 20, -120.0);
}

ResponseChart::ResponseChart(const ChartModel& model, QWidget* parent)
    : Panel(parent), model_(model) {
    QChart* chart = NewChart();
    AddAxes(chart);
    AddSeries(chart);
    TakeChart(chart);
    ConnectAxes();
    FitAxes();
    RetranslateUi();
    DrawModel();
    ConnectModel();
}

QChart* ResponseChart::NewChart() const {
    auto* chart = new QChart();
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->setBackgroundRoundness(0);
    chart->setDropShadowEnabled(false);
    chart->layout()->setContentsMargins(0, 0, 0, 0);
    chart->setMargins(QMargins(6, 4, 12, 4));
    QLinearGradient panel(0, 0, 0, 1);
    panel.setCoordinateMode(QGradient::ObjectBoundingMode);
    panel.setColorAt(0, Qt::white);
    panel.setColorAt(1, LightYellow);
    chart->setBackgroundBrush(panel);
    chart->setBackgroundPen(Qt::NoPen);
    chart->setPlotAreaBackgroundBrush(Qt::NoBrush);
    chart->setPlotAreaBackgroundPen(QPen(Qt::gray, 1));
    chart->setPlotAreaBackgroundVisible(true);
    chart->setLocalizeNumbers(true);
    chart->setLocale(NumberLocale());

    QLegend* legend = chart->legend();
    legend->setAlignment(Qt::AlignTop);
    legend->setFont(ArialFont(12, true));
    legend->setLabelColor(Qt::black);
    legend->setBrush(LightYellow);
    legend->setPen(Qt::NoPen);
    legend->setBackgroundVisible(true);
    legend->setMarkerShape(QLegend::MarkerShapeFromSeries);
    legend->setShowToolTips(false);
    legend->setVisible(model_.LegendVisible());
    return chart;
}

void ResponseChart::AddAxes(QChart* chart) {
    axisX_ = new QValueAxis(this);
    axisX_->setObjectName(QStringLiteral("BottomAxis"));
    StyleAxis(axisX_);
    axisY_ = new QValueAxis(this);
    axisY_->setObjectName(QStringLiteral("LeftAxis"));
    StyleAxis(axisY_);
    chart->addAxis(axisX_, Qt::AlignBottom);
    chart->addAxis(axisY_, Qt::AlignLeft);
}

void ResponseChart::AddSeries(QChart* chart) {
    for (int i = 0; i < SeriesCount; ++i) {
        auto* series = new QLineSeries(this);
        series->setObjectName(QStringLiteral("Series%1").arg(i + 1));
        // Named before the chart takes it, so the legend is laid out with the names.
        series->setName(SeriesName(i));
        series->setPen(QPen(SeriesColour(i), 1));
        series->setPointsVisible(false);
        series->setPointLabelsVisible(false);
        chart->addSeries(series);
        series->attachAxis(axisX_);
        series->attachAxis(axisY_);
        series_[i] = series;
    }
    for (int i = SeriesCount; i < PassBandCount; ++i) {
        auto* series = new QLineSeries(this);
        const bool designed = i == SeriesCount;
        series->setObjectName(designed ? QStringLiteral("DesignedSeries")
                                       : QStringLiteral("TunedSeries"));
        series->setPen(designed ? DesignedPen : TunedPen);
        chart->addSeries(series);
        series->attachAxis(axisX_);
        series->attachAxis(axisY_);
        series_[i] = series;
    }

    for (int i = 0; i < QuantitySeriesCount; ++i) {
        auto* series = new QLineSeries(this);
        series->setObjectName(QStringLiteral("QuantitySeries%1").arg(i + 1));
        series->setPen(QPen(QuantityColour(i), 1));
        chart->addSeries(series);
        series->attachAxis(axisX_);
        series->attachAxis(axisY_);
        series->setVisible(false);
        quantitySeries_[i] = series;
    }

    measuredSeries_ = new QLineSeries(this);
    measuredSeries_->setObjectName(QStringLiteral("MeasuredSeries"));
    measuredSeries_->setPen(QPen(MeasuredColor, 2, Qt::DashLine));
    chart->addSeries(measuredSeries_);
    measuredSeries_->attachAxis(axisX_);
    measuredSeries_->attachAxis(axisY_);
    measuredSeries_->setVisible(false);
}

void ResponseChart::TakeChart(QChart* chart) {
    // The view starts with a chart of its own, which it releases rather than deletes.
    QChart* initial = this->chart();
    setChart(chart);
    delete initial;
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
    setFocusPolicy(Qt::NoFocus);
    setRenderHint(QPainter::Antialiasing, false);
    setMouseTracking(true);
    viewport()->setMouseTracking(true);
    readout_ = new QLabel(this);
    readout_->setObjectName(QStringLiteral("chartReadout"));
    readout_->setFont(ArialFont(10, false));
    readout_->setStyleSheet(QStringLiteral("background: rgba(255, 255, 224, 220); padding: 1px;"));
    readout_->setAttribute(Qt::WA_TransparentForMouseEvents);
    readout_->hide();
}

void ResponseChart::ConnectAxes() {
    fitTimer_.setSingleShot(true);
    fitTimer_.setInterval(0);
    connect(&fitTimer_, &QTimer::timeout, this, &ResponseChart::FitAxes);
    // A range set by a dragged rectangle keeps about eight labels, as every other range does.
    connect(axisX_, &QValueAxis::rangeChanged, this,
            [this](qreal low, qreal high) { SetRoundAxisRange(axisX_, low, high, 8, 0.001, 3); });
    connect(axisY_, &QValueAxis::rangeChanged, this, [this](qreal low, qreal high) {
        SetRoundAxisRange(axisY_, low, high, 8, quantity_ ? 0.001 : 0.1, quantity_ ? 3 : 2);
    });
}

void ResponseChart::ConnectModel() {
    connect(&model_, &ChartModel::CurveChanged, this, &ResponseChart::DrawPassBandCurve);
    connect(&model_, &ChartModel::TuningCurveChanged, this,
            [this](TuningCurve which) { DrawPassBandCurve(SeriesCount + int(which)); });
    connect(&model_, &ChartModel::ViewChanged, this, &ResponseChart::DrawView);
    connect(&model_, &ChartModel::MeasuredChanged, this, &ResponseChart::DrawMeasured);
    connect(&model_, &ChartModel::NamesChanged, this, &ResponseChart::DrawNames);
    connect(&model_, &ChartModel::LegendVisibilityChanged, this,
            [this](bool visible) { this->chart()->legend()->setVisible(visible); });
}

void ResponseChart::DrawModel() {
    for (int index = 0; index < PassBandCount; ++index)
        DrawPassBandCurve(index);
    DrawView();
    DrawMeasured();
    DrawNames();
}

const std::vector<CurvePoint>& ResponseChart::PassBandCurve(int index) const {
    return index < SeriesCount ? model_.Curve(index)
                               : model_.Tuning(static_cast<TuningCurve>(index - SeriesCount));
}

void ResponseChart::RetranslateUi() {
    // A quantity view is titled by whoever shows it, in the language it speaks.
    if (quantity_) return;
    axisX_->setTitleText(tr("Расстройка относительно Fo (кГц)"));
    axisY_->setTitleText(tr("Затухание (дБ)"));
    for (int i = 0; i < SeriesCount; ++i)
        series_[i]->setName(SeriesName(i));
    series_[SeriesCount]->setName(tr("Расчёт"));
    series_[SeriesCount + 1]->setName(tr("Подстройка"));
    UpdateMarkers();
}

QString ResponseChart::SeriesName(int position) const {
    if (!model_.CurveName(position).isEmpty()) return model_.CurveName(position);
    return tr("АЧХ%1").arg(position + 1);
}

QLineSeries* ResponseChart::Series(int position) const {
    return position >= 0 && position < SeriesCount ? series_[position] : nullptr;
}

void ResponseChart::DrawPassBandCurve(int index) {
    const std::vector<CurvePoint>& points = PassBandCurve(index);
    QLineSeries* series = series_[index];
    if (points.empty()) {
        series->clear();
        bounds_[index].reset();
        UpdateMarkers();
        // A calculation clears curves and then hands over its curve at once: the axes are
        // fitted when the curve arrives, or when the event loop runs again if none does. Fitting
        // after each clear would lay out the long curves of the other series again every time.
        fitTimer_.start();
        return;
    }
    double bottom = points.front().y;
    double top = bottom;
    for (const CurvePoint& point : points) {
        bottom = std::min(bottom, point.y);
        top = std::max(top, point.y);
    }
    bounds_[index] = QRectF(QPointF(points.front().x, bottom), QPointF(points.back().x, top));
    fitTimer_.stop();
    // A view on show: drawn when the pass band is shown again.
    if (quantity_) return;
    // The axes are set while the series is empty, so that the long curve is laid out once, by
    // the replace, and not again for each axis whose range changes.
    if (series->count() > 0) series->clear();
    FitAxes();
    series->replace(ListOf(points));
    UpdateMarkers();
}

QLineSeries* ResponseChart::TuningSeries(TuningCurve which) const {
    return series_[SeriesCount + int(which)];
}

void ResponseChart::UpdateMarkers() {
    // An empty series costs the chart nothing, but its legend entry would still show.
    for (int index = SeriesCount; index < PassBandCount; ++index) {
        const bool shown = !quantity_ && series_[index]->count() > 0;
        if (series_[index]->isVisible() != shown) series_[index]->setVisible(shown);
    }
    // The overlays keep their series visible (a hidden one would lose its place in the legend's
    // order), so only their entries go while they hold no curve or a view holds them aside.
    bool changed = false;
    for (int position = 0; position < SeriesCount; ++position) {
        const bool shown = model_.LegendEntryShown(position) && series_[position]->isVisible() &&
                           series_[position]->count() > 0;
        for (QLegendMarker* marker : chart()->legend()->markers(series_[position])) {
            const bool shownAgain = shown && !marker->isVisible();
            if (marker->isVisible() != shown) {
                marker->setVisible(shown);
                changed = true;
            }
            // A marker shown again keeps the empty label of its hidden layout until the legend
            // lays its markers out anew; and a label once set no longer follows a renamed series.
            if (shownAgain || (shown && marker->label() != series_[position]->name())) {
                marker->setLabel(series_[position]->name());
                changed = true;
            }
        }
    }
    if (changed) chart()->legend()->layout()->invalidate();
}

bool ResponseChart::LegendVisible() const {
    return chart()->legend()->isVisible();
}

void ResponseChart::FitAxes() {
    bool any = false;
    double left = 0, right = 0, low = 0, high = 0;
    std::span<const std::optional<QRectF>> shown(bounds_);
    if (quantity_) shown = std::span<const std::optional<QRectF>>(&quantityBounds_, 1);
    for (const auto& bounds : shown) {
        if (!bounds) continue;
        // QRectF::united() ignores a rectangle without area, so the extremes are kept by hand.
        left = any ? std::min(left, bounds->left()) : bounds->left();
        right = any ? std::max(right, bounds->right()) : bounds->right();
        low = any ? std::min(low, bounds->top()) : bounds->top();
        high = any ? std::max(high, bounds->bottom()) : bounds->bottom();
        any = true;
    }
    // The measured curve is laid over the view's own span; alone, it sets the span itself.
    const bool own = any;
    // Within the span the view's values are fitted to, where it has one.
    double spanFrom = -HUGE_VAL, spanTo = HUGE_VAL;
    if (quantity_ && quantity_->valueSpanKHz) std::tie(spanFrom, spanTo) = *quantity_->valueSpanKHz;
    for (const QPointF& point : measured_) {
        if (!std::isfinite(point.y())) continue;
        if (own && (point.x() < left || point.x() > right)) continue;
        if (own && (point.x() < spanFrom || point.x() > spanTo)) continue;
        left = any ? std::min(left, point.x()) : point.x();
        right = any ? std::max(right, point.x()) : point.x();
        low = any ? std::min(low, point.y()) : point.y();
        high = any ? std::max(high, point.y()) : point.y();
        any = true;
    }
    if (!any) {
        SetRoundAxisRange(axisX_, 0, 1, 8, 0.001, 3);
        SetRoundAxisRange(axisY_, 0, 1, 8, 0.1, 2);
        return;
    }
    const double pad = (high - low) * 0.03;
    SetRoundAxisRange(axisX_, left, right, 8, 0.001, 3);
    if (quantity_) {
        SetRoundAxisRange(axisY_, low - pad, high + pad, 8, 0.001, 3);
    } else {
        SetRoundAxisRange(axisY_, low - pad, high + pad, 8, 0.1, 2);
    }
}

void ResponseChart::DrawView() {
    if (const std::optional<ChartQuantity>& quantity = model_.Quantity())
        DrawQuantity(*quantity, model_.QuantityCurves());
    else
        DrawPassBand();
}

void ResponseChart::DrawQuantity(const ChartQuantity& quantity,
                                 std::span<const NamedCurve> curves) {
    // The readout of the view before would name its curves over the new ones.
    readout_->hide();
    quantityBounds_.reset();
    // The pass-band curves are taken out, not hidden: a chart lays out the points of hidden
    // series too whenever an axis changes. The model keeps them.
    if (!quantity_) {
        for (int i = 0; i < PassBandCount; ++i) {
            series_[i]->clear();
            series_[i]->setVisible(false);
        }
    }
    quantity_ = quantity;
    quantityScale_ = 1;
    if (!quantity.thousandfoldUnit.isEmpty()) {
        double largest = 0;
        for (const NamedCurve& curve : curves)
            for (const CurvePoint& point : curve.points)
                if (std::isfinite(point.y)) largest = std::max(largest, std::abs(point.y));
        if (largest >= 1000) {
            quantityScale_ = 0.001;
            quantity_->yTitle = quantity.thousandfoldTitle;
            quantity_->yUnit = quantity.thousandfoldUnit;
        }
    }
    const double scale = quantityScale_;
    std::array<QList<QPointF>, QuantitySeriesCount> lists;
    for (int i = 0; i < QuantitySeriesCount; ++i) {
        QLineSeries* series = quantitySeries_[i];
        if (series->count() > 0) series->clear();
        if (i >= int(curves.size())) {
            series->setVisible(false);
            continue;
        }
        series->setName(curves[i].name);
        series->setPen(QPen(curves[i].colour.value_or(QuantityColour(i)), 1));
        QList<QPointF>& list = lists[i];
        list.reserve(qsizetype(curves[i].points.size()));
        for (const CurvePoint& point : curves[i].points) {
            const double y = point.y * scale;
            list.append(QPointF(point.x, y));
            const QRectF dot(QPointF(point.x, y), QSizeF(0, 0));
            if (!quantityBounds_) {
                quantityBounds_ = dot;
            } else {
                quantityBounds_->setLeft(std::min(quantityBounds_->left(), point.x));
                quantityBounds_->setRight(std::max(quantityBounds_->right(), point.x));
                quantityBounds_->setTop(std::min(quantityBounds_->top(), y));
                quantityBounds_->setBottom(std::max(quantityBounds_->bottom(), y));
            }
        }
    }
    if (quantity.valueSpanKHz && quantityBounds_) {
        // The values within the span alone, where it holds any.
        const auto [from, to] = *quantity.valueSpanKHz;
        std::optional<std::pair<double, double>> within;
        for (const QList<QPointF>& list : lists)
            for (const QPointF& point : list) {
                if (point.x() < from || point.x() > to || !std::isfinite(point.y())) continue;
                within = within ? std::pair(std::min(within->first, point.y()),
                                            std::max(within->second, point.y()))
                                : std::pair(point.y(), point.y());
            }
        if (within) {
            quantityBounds_->setTop(within->first);
            quantityBounds_->setBottom(within->second);
        }
    }
    if (quantity.floorsAtDepth && quantityBounds_ && !curves.empty()) {
        std::vector<double> values;
        for (const CurvePoint& point : curves.front().points)
            values.push_back(point.y);
        quantityBounds_->setTop(std::max(quantityBounds_->top(), AttenuationFloor(values)));
    }
    axisX_->setTitleText(quantity_->xTitle);
    axisY_->setTitleText(quantity_->yTitle);
    fitTimer_.stop();
    // Fitted while the series are empty, so the long curves are laid out once, by the replace.
    FitAxes();
    // Shown while empty: the points are then laid out once, by the replace.
    for (int i = 0; i < QuantitySeriesCount && i < int(curves.size()); ++i) {
        quantitySeries_[i]->setVisible(true);
        quantitySeries_[i]->replace(lists[i]);
    }
}

void ResponseChart::DrawPassBand() {
    if (!quantity_) return;
    readout_->hide();
    quantity_.reset();
    quantityScale_ = 1;
    quantityBounds_.reset();
    for (QLineSeries* series : quantitySeries_) {
        series->clear();
        series->setVisible(false);
    }
    RetranslateUi();
    fitTimer_.stop();
    FitAxes();
    for (int i = 0; i < PassBandCount; ++i) {
        if (i < SeriesCount || !PassBandCurve(i).empty()) series_[i]->setVisible(true);
        series_[i]->replace(ListOf(PassBandCurve(i)));
    }
    UpdateMarkers();
}

void ResponseChart::DrawMeasured() {
    const std::vector<CurvePoint>& points = model_.Measured();
    measured_.clear();
    measured_.reserve(qsizetype(points.size()));
    for (const CurvePoint& point : points) {
        // In the unit the view shows its own curves in.
        if (std::isfinite(point.x) && std::isfinite(point.y))
            measured_.append(QPointF(point.x, point.y * (quantity_ ? quantityScale_ : 1)));
    }
    measuredSeries_->setName(model_.MeasuredName());
    if (measuredSeries_->count() > 0) measuredSeries_->clear();
    fitTimer_.stop();
    FitAxes();
    measuredSeries_->setVisible(!measured_.isEmpty());
    measuredSeries_->replace(measured_);
}

void ResponseChart::DrawNames() {
    for (int position = 0; position < SeriesCount; ++position)
        series_[position]->setName(SeriesName(position));
    measuredSeries_->setName(model_.MeasuredName());
    UpdateMarkers();
}

QLineSeries* ResponseChart::QuantitySeries(int position) const {
    return position >= 0 && position < QuantitySeriesCount ? quantitySeries_[position] : nullptr;
}

std::vector<QLineSeries*> ResponseChart::ShownSeries() const {
    std::vector<QLineSeries*> shown;
    for (QLineSeries* series : series_)
        if (series->isVisible() && series->count() > 0) shown.push_back(series);
    for (QLineSeries* series : quantitySeries_)
        if (series->isVisible() && series->count() > 0) shown.push_back(series);
    if (measuredSeries_->isVisible() && measuredSeries_->count() > 0)
        shown.push_back(measuredSeries_);
    return shown;
}

QString ResponseChart::ReadoutAt(QPointF viewPoint) const {
    const QPointF inChart = chart()->mapFromScene(mapToScene(viewPoint.toPoint()));
    if (!chart()->plotArea().contains(inChart)) return QString();
    const double x = chart()->mapToValue(inChart).x();
    const QString unit = quantity_ ? quantity_->yUnit : tr("дБ");
    const QLocale locale = NumberLocale();
    QStringList parts;
    for (QLineSeries* series : ShownSeries()) {
        if (const std::optional<double> y = ValueAt(series->points(), x)) {
            parts.append(tr("%1: %2 %3").arg(series->name(), locale.toString(*y, 'f', 3), unit));
        }
    }
    if (parts.isEmpty()) return QString();
    parts.prepend(quantity_ && !quantity_->xUnit.isEmpty()
                      ? tr("%1 %2").arg(locale.toString(x, 'f', 3), quantity_->xUnit)
                      : tr("%1 кГц").arg(locale.toString(x, 'f', 3)));
    return parts.join(QStringLiteral("   "));
}

void ResponseChart::mouseMoveEvent(QMouseEvent* event) {
    const QString text = ReadoutAt(event->position());
    if (text.isEmpty()) {
        readout_->hide();
    } else {
        readout_->setText(text);
        readout_->adjustSize();
        readout_->move(ReadoutPlace());
        readout_->show();
    }
    QChartView::mouseMoveEvent(event);
}

QPoint ResponseChart::ReadoutPlace() const {
    // The chart fills the view from its corner: its coordinates are the view's.
    const QRect plot = chart()->plotArea().toRect();
    const int titleWidth = QFontMetrics(axisX_->titleFont()).horizontalAdvance(axisX_->titleText());
    const int titleRight = plot.center().x() + titleWidth / 2;
    const int right = plot.right() - readout_->width();
    // Under the plot at its right, beside the axis title: never over the curves.
    if (right >= titleRight + 8)
        return {right, std::min(height() - readout_->height(), plot.bottom() + 22)};
    return {std::max(0, right - 1), plot.top() + 2};
}

void ResponseChart::leaveEvent(QEvent* event) {
    readout_->hide();
    QChartView::leaveEvent(event);
}

void ResponseChart::DrawAsShown(QPainter& painter) {
    readout_->hide();
    render(&painter);
}

void ResponseChart::DrawLaidOut(QPainter& painter, const QRectF& target, const QSizeF& laidOut) {
    readout_->hide();
    QChart* shown = chart();
    const QSizeF size = shown->size();
    shown->resize(laidOut);
    shown->layout()->activate();
    scene()->render(&painter, target, QRectF(shown->pos(), laidOut));
    shown->resize(size);
    shown->layout()->activate();
}

void ResponseChart::ShowWhole() {
    fitTimer_.stop();
    FitAxes();
}

}  // namespace feldan
