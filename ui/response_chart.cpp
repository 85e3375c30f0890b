#include "ui/response_chart.h"

#include <QChart>
#include <QFont>
#include <QGraphicsLayout>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

#include "ui/window_style.h"

namespace feldan {

namespace {

const std::array<QColor, SeriesCount> SeriesColors = {
    QColor(255, 0, 0), QColor(0, 128, 0), QColor(0, 0, 255), QColor(255, 0, 255), QColor(64, 0, 0)};

const QColor LightYellow(255, 255, 128);
const QColor Silver(192, 192, 192);

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

// Labels at round steps inside the data range; about `count` of them, with as many decimals as
// the step needs and no more than `mostDecimals`.
void SetAxisRange(QValueAxis* axis, double low, double high, int count, double smallest,
                  int mostDecimals) {
    if (!(high > low)) {
        low -= 0.5;
        high += 0.5;
    }
    const double interval = NiceTickInterval(high - low, count, smallest);
    const QString format = QStringLiteral("%.%1f").arg(LabelDecimals(interval, 1, mostDecimals));
    // Every change lays out the curves and labels again, so unchanged settings are left alone.
    // A coarser step goes in before a wider range, a finer one after a narrower range: in
    // between, the axis never carries hundreds of labels that are made only to be dropped.
    const bool coarser = interval >= axis->tickInterval();
    if (coarser && axis->tickInterval() != interval) axis->setTickInterval(interval);
    if (axis->min() != low || axis->max() != high) axis->setRange(low, high);
    if (!coarser && axis->tickInterval() != interval) axis->setTickInterval(interval);
    if (axis->labelFormat() != format) axis->setLabelFormat(format);
}

}  // namespace

int LabelDecimals(double interval, int fewest, int most) {
    if (!(interval > 0) || !std::isfinite(interval)) return most;
    // The small allowance keeps 0.1, which is not exact in binary, at one decimal.
    const int needed = int(std::ceil(-std::log10(interval) - 1e-9));
    return std::clamp(needed, fewest, most);
}

double NiceTickInterval(double span, int count, double smallest) {
    if (!(span > 0) || !std::isfinite(span) || count < 1) return smallest;
    const double raw = span / count;
    const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
    const double residual = raw / magnitude;
    double nice = 10;
    if (residual <= 1) {
        nice = 1;
    } else if (residual <= 2) {
        nice = 2;
    } else if (residual <= 5) {
        nice = 5;
    }
    return std::max(nice * magnitude, smallest);
}

ResponseChart::ResponseChart(QWidget* parent) : QChartView(parent) {
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

    QLegend* legend = chart->legend();
    legend->setAlignment(Qt::AlignTop);
    legend->setFont(ArialFont(12, true));
    legend->setLabelColor(Qt::black);
    legend->setBrush(LightYellow);
    legend->setPen(Qt::NoPen);
    legend->setBackgroundVisible(true);
    legend->setMarkerShape(QLegend::MarkerShapeFromSeries);
    legend->setShowToolTips(false);
    legend->setVisible(true);

    axisX_ = new QValueAxis(this);
    axisX_->setObjectName(QStringLiteral("BottomAxis"));
    StyleAxis(axisX_);
    axisY_ = new QValueAxis(this);
    axisY_->setObjectName(QStringLiteral("LeftAxis"));
    StyleAxis(axisY_);
    chart->addAxis(axisX_, Qt::AlignBottom);
    chart->addAxis(axisY_, Qt::AlignLeft);

    for (int i = 0; i < SeriesCount; ++i) {
        auto* series = new QLineSeries(this);
        series->setObjectName(QStringLiteral("Series%1").arg(i + 1));
        // Named before the chart takes it, so the legend is laid out with the names.
        series->setName(SeriesName(i));
        series->setPen(QPen(SeriesColors[i], 1));
        series->setPointsVisible(false);
        series->setPointLabelsVisible(false);
        chart->addSeries(series);
        series->attachAxis(axisX_);
        series->attachAxis(axisY_);
        series_[i] = series;
    }

    // The view starts with a chart of its own, which it releases rather than deletes.
    QChart* initial = this->chart();
    setChart(chart);
    delete initial;
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
    setFocusPolicy(Qt::NoFocus);
    setRenderHint(QPainter::Antialiasing, false);
    setRubberBand(QChartView::RectangleRubberBand);
    fitTimer_.setSingleShot(true);
    fitTimer_.setInterval(0);
    connect(&fitTimer_, &QTimer::timeout, this, &ResponseChart::FitAxes);
    FitAxes();
    RetranslateUi();
}

void ResponseChart::RetranslateUi() {
    axisX_->setTitleText(tr("Расстройка относительно Fo (кГц)"));
    axisY_->setTitleText(tr("Затухание (дБ)"));
    for (int i = 0; i < SeriesCount; ++i)
        series_[i]->setName(SeriesName(i));
}

QString ResponseChart::SeriesName(int position) const {
    return tr("АЧХ%1").arg(position + 1);
}

void ResponseChart::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) RetranslateUi();
    QChartView::changeEvent(event);
}

QLineSeries* ResponseChart::Series(int position) const {
    return position >= 0 && position < SeriesCount ? series_[position] : nullptr;
}

void ResponseChart::ClearSeries(int position) {
    if (position < 0 || position >= SeriesCount) return;
    series_[position]->clear();
    bounds_[position].reset();
    // A calculation clears series and then hands over its curve at once: the axes are fitted
    // when the curve arrives, or when the event loop runs again if none does. Fitting after
    // each clear would lay out the long curves of the other series again every time.
    fitTimer_.start();
}

void ResponseChart::AddCurve(int position, std::span<const CurvePoint> points) {
    if (position < 0 || position >= SeriesCount || points.empty()) return;
    QList<QPointF> incoming;
    incoming.reserve(qsizetype(points.size()));
    for (const CurvePoint& point : points)
        incoming.append(QPointF(point.x, point.y));
    const auto byX = [](const QPointF& a, const QPointF& b) { return a.x() < b.x(); };
    // The engine hands over ascending points; a stable sort keeps them, and mends any other.
    if (!std::is_sorted(incoming.cbegin(), incoming.cend(), byX)) {
        std::stable_sort(incoming.begin(), incoming.end(), byX);
    }
    QLineSeries* series = series_[position];
    QList<QPointF> merged;
    if (series->count() == 0) {
        merged = std::move(incoming);
    } else {
        const QList<QPointF> held = series->points();
        merged.reserve(held.size() + incoming.size());
        std::merge(held.cbegin(), held.cend(), incoming.cbegin(), incoming.cend(),
                   std::back_inserter(merged), byX);
    }
    double bottom = merged.front().y();
    double top = bottom;
    for (const QPointF& point : merged) {
        bottom = std::min(bottom, point.y());
        top = std::max(top, point.y());
    }
    bounds_[position] =
        QRectF(QPointF(merged.front().x(), bottom), QPointF(merged.back().x(), top));
    // The axes are set while the series is empty, so that the long curve is laid out once, by
    // the replace, and not again for each axis whose range changes.
    if (series->count() > 0) series->clear();
    fitTimer_.stop();
    FitAxes();
    series->replace(merged);
}

void ResponseChart::SetLegendVisible(bool visible) {
    chart()->legend()->setVisible(visible);
}

bool ResponseChart::LegendVisible() const {
    return chart()->legend()->isVisible();
}

void ResponseChart::FitAxes() {
    bool any = false;
    double left = 0, right = 0, low = 0, high = 0;
    for (const auto& bounds : bounds_) {
        if (!bounds) continue;
        // QRectF::united() ignores a rectangle without area, so the extremes are kept by hand.
        left = any ? std::min(left, bounds->left()) : bounds->left();
        right = any ? std::max(right, bounds->right()) : bounds->right();
        low = any ? std::min(low, bounds->top()) : bounds->top();
        high = any ? std::max(high, bounds->bottom()) : bounds->bottom();
        any = true;
    }
    if (!any) {
        SetAxisRange(axisX_, 0, 1, 8, 0.001, 3);
        SetAxisRange(axisY_, 0, 1, 8, 0.1, 2);
        return;
    }
    const double pad = (high - low) * 0.03;
    SetAxisRange(axisX_, left, right, 8, 0.001, 3);
    SetAxisRange(axisY_, low - pad, high + pad, 8, 0.1, 2);
}

void ResponseChart::mousePressEvent(QMouseEvent* event) {
    // The right button belongs to the release below; nothing starts on its press.
    if (event->button() == Qt::RightButton) {
        event->accept();
        return;
    }
    QChartView::mousePressEvent(event);
}

void ResponseChart::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        fitTimer_.stop();
        FitAxes();
        event->accept();
        return;
    }
    QChartView::mouseReleaseEvent(event);
}

}  // namespace feldan
