#include "ui/crystals/crystal_plot.h"

#include <QChart>
#include <QLineSeries>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

#include "ui/crystals/crystal_rows.h"

namespace feldan {

namespace {

double Db(std::complex<double> value) {
    return 20 * std::log10(std::max(std::abs(value), 1e-12));
}

// A crystal without a sweep: its model in a 50 Ohm series fixture, over a few widths of its
// resonance.
QList<QPointF> ModelAlone(const CrystalModel& model) {
    const double span =
        6 * model.fsHz / model.Q() + 2 * model.fsHz * model.cmF / std::max(model.c0F, 1e-13) / 2;
    const double from = model.fsHz - std::min(span, model.fsHz / 2) / 3;
    const double to = model.fsHz + std::min(span, model.fsHz / 2);
    constexpr int Points = 600;
    QList<QPointF> fitted;
    for (int i = 0; i <= Points; ++i) {
        const double hz = from + (to - from) * i / Points;
        fitted.append(
            {hz / 1000, Db(MeasuredOf(SweepKind::SeriesThrough, 50, model.Impedance(hz)))});
    }
    return fitted;
}

}  // namespace

CrystalPlot::CrystalPlot(QWidget* parent) : Panel(new QChart, parent) {
    QChart* plotChart = chart();
    plotChart->legend()->setAlignment(Qt::AlignTop);
    measuredSeries_ = new QLineSeries(plotChart);
    measuredSeries_->setObjectName(QStringLiteral("measuredSeries"));
    modelSeries_ = new QLineSeries(plotChart);
    modelSeries_->setObjectName(QStringLiteral("modelSeries"));
    // The model is drawn over the measurement, dashed, so that both show where they agree.
    measuredSeries_->setPen(QPen(QColor(90, 140, 230), 3));
    modelSeries_->setPen(QPen(QColor(200, 0, 0), 1.5, Qt::DashLine));
    plotChart->addSeries(measuredSeries_);
    plotChart->addSeries(modelSeries_);
    axisX_ = new QValueAxis(plotChart);
    axisY_ = new QValueAxis(plotChart);
    plotChart->addAxis(axisX_, Qt::AlignBottom);
    plotChart->addAxis(axisY_, Qt::AlignLeft);
    for (QLineSeries* series : {measuredSeries_, modelSeries_}) {
        series->attachAxis(axisX_);
        series->attachAxis(axisY_);
    }
    // About six labels at round steps on each axis, to a tenth of a hertz and of a decibel.
    KeepRoundTicks(axisX_, 6, 1e-4, 4);
    KeepRoundTicks(axisY_, 6, 0.1, 1);
    setObjectName(QStringLiteral("crystalPlot"));
    setRenderHint(QPainter::Antialiasing);
    // Tall enough for the fit's dB to be read: the legend and the axes take a third of it.
    setMinimumHeight(320);
    RetranslateUi();
}

void CrystalPlot::RetranslateUi() {
    measuredSeries_->setName(tr("измерение"));
    modelSeries_->setName(tr("модель"));
    axisX_->setTitleText(tr("Частота, кГц"));
    axisY_->setTitleText(tr("|S|, дБ"));
}

void CrystalPlot::Show(const NamedCrystal* crystal) {
    QList<QPointF> measured, fitted;
    if (crystal && crystal->sweep) {
        const CrystalModel& model = crystal->model;
        const CrystalSweep& sweep = *crystal->sweep;
        for (std::size_t i = 0; i < sweep.frequencyHz.size(); ++i) {
            const double khz = sweep.frequencyHz[i] / 1000;
            measured.append({khz, Db(sweep.measured[i])});
            if (Usable(model))
                fitted.append({khz, Db(MeasuredOf(sweep.kind, sweep.fixtureOhm,
                                                  model.Impedance(sweep.frequencyHz[i])))});
        }
    } else if (crystal && Usable(crystal->model)) {
        fitted = ModelAlone(crystal->model);
    }
    measuredSeries_->replace(measured);
    modelSeries_->replace(fitted);
    FitAxes();
}

void CrystalPlot::FitAxes() {
    double xMin = INFINITY, xMax = -INFINITY, yMin = INFINITY, yMax = -INFINITY;
    for (const QLineSeries* series : {measuredSeries_, modelSeries_}) {
        for (const QPointF& p : series->points()) {
            xMin = std::min(xMin, p.x());
            xMax = std::max(xMax, p.x());
            yMin = std::min(yMin, p.y());
            yMax = std::max(yMax, p.y());
        }
    }
    // Without a curve there is nothing to scale: no axis with made-up numbers.
    const bool drawn = xMin < xMax;
    axisX_->setVisible(drawn);
    axisY_->setVisible(drawn);
    if (!drawn) return;
    axisX_->setRange(xMin, xMax);
    axisY_->setRange(std::floor(yMin / 10) * 10, std::max(std::ceil(yMax / 10), 0.0) * 10);
}

}  // namespace feldan
