#include "ui/widgets/zoom_view.h"

#include <QChart>
#include <QMouseEvent>
#include <QValueAxis>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

namespace feldan {

ZoomView::ZoomView(QWidget* parent) : QChartView(parent) {
    setRubberBand(QChartView::RectangleRubberBand);
}

ZoomView::ZoomView(QChart* chart, QWidget* parent) : QChartView(chart, parent) {
    setRubberBand(QChartView::RectangleRubberBand);
}

void ZoomView::KeepRoundTicks(QValueAxis* axis, int count, double smallest, int mostDecimals) {
    axis->setTickType(QValueAxis::TicksDynamic);
    axis->setTickAnchor(0);
    connect(axis, &QValueAxis::rangeChanged, this,
            [axis, count, smallest, mostDecimals](qreal low, qreal high) {
                SetRoundAxisRange(axis, low, high, count, smallest, mostDecimals);
            });
}

void ZoomView::ZoomAround(QPointF viewPoint, double factor) {
    const QList<QAbstractAxis*> horizontal = chart()->axes(Qt::Horizontal);
    auto* axis = horizontal.isEmpty() ? nullptr : qobject_cast<QValueAxis*>(horizontal.front());
    const QPointF inChart = chart()->mapFromScene(mapToScene(viewPoint.toPoint()));
    if (!axis || !chart()->plotArea().contains(inChart) || !(factor > 0)) return;
    const double x = chart()->mapToValue(inChart).x();
    const double low = x - (x - axis->min()) * factor;
    const double high = x + (axis->max() - x) * factor;
    if (high - low < SmallestSpan()) return;
    axis->setRange(low, high);
}

void ZoomView::wheelEvent(QWheelEvent* event) {
    const int steps = event->angleDelta().y();
    if (steps == 0) {
        event->ignore();
        return;
    }
    // One notch of the wheel narrows the span to four fifths, or widens it back.
    ZoomAround(event->position(), std::pow(0.8, steps / 120.0));
    event->accept();
}

void ZoomView::mousePressEvent(QMouseEvent* event) {
    // The right button belongs to the release below; nothing starts on its press.
    if (event->button() == Qt::RightButton) {
        event->accept();
        return;
    }
    QChartView::mousePressEvent(event);
}

void ZoomView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        ShowWhole();
        event->accept();
        return;
    }
    QChartView::mouseReleaseEvent(event);
}

void SetRoundAxisRange(QValueAxis* axis, double low, double high, int count, double smallest,
                       int mostDecimals) {
    if (!(high > low)) {
        low -= 0.5;
        high += 0.5;
    }
    // Ticks at multiples of the step, whatever the axis was set to before.
    if (axis->tickType() != QValueAxis::TicksDynamic) axis->setTickType(QValueAxis::TicksDynamic);
    if (axis->tickAnchor() != 0) axis->setTickAnchor(0);
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

}  // namespace feldan
