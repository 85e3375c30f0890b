// Speed of the response chart with long curves: handing a 30000-point curve to its model, and
// redrawing a chart that holds five of them. A curve of 30000 points is what a band-limit search
// of 30 kHz at 1 Hz steps can plot.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <cmath>
#include <vector>

#include "engine/tuning.h"
#include "ui/widgets/response_chart.h"

namespace {

constexpr int CurvePoints = 30000;

// A band-pass response of about 30 kHz with some ripple, in the chart's units.
std::vector<feldan::CurvePoint> BandCurve(int points, double offsetDb) {
    std::vector<feldan::CurvePoint> curve;
    curve.reserve(points);
    for (int i = 0; i < points; ++i) {
        const double x = i / 1000.0;
        const double u = (x - 15.0) / 15.0;
        curve.push_back({x, offsetDb - 1.0 - 3.0 * std::pow(u, 8) + 0.2 * std::sin(x * 5.0)});
    }
    return curve;
}

void BM_HandCurveToEmptySeries(benchmark::State& state) {
    feldan::ChartModel model;
    feldan::ResponseChart chart(model);
    chart.resize(613, 405);
    const std::vector<feldan::CurvePoint> curve = BandCurve(CurvePoints, 0);
    for (auto _ : state) {
        model.ClearCurve(0);
        model.AddCurve(0, curve);
    }
    state.counters["points"] = CurvePoints;
}
BENCHMARK(BM_HandCurveToEmptySeries)->Unit(benchmark::kMillisecond);

void BM_HandCurveToShownChart(benchmark::State& state) {
    // The window's case: the chart is on the screen and the other four curves are drawn.
    feldan::ChartModel model;
    feldan::ResponseChart chart(model);
    chart.resize(613, 405);
    chart.show();
    for (int position = 1; position < feldan::SeriesCount; ++position) {
        model.AddCurve(position, BandCurve(CurvePoints, -position));
    }
    const std::vector<feldan::CurvePoint> curve = BandCurve(CurvePoints, 0);
    for (auto _ : state) {
        model.ClearCurve(0);
        model.AddCurve(0, curve);
        QApplication::processEvents();
    }
}
BENCHMARK(BM_HandCurveToShownChart)->Unit(benchmark::kMillisecond);

void BM_MergeCurveIntoHeldPoints(benchmark::State& state) {
    feldan::ChartModel model;
    feldan::ResponseChart chart(model);
    const std::vector<feldan::CurvePoint> first = BandCurve(CurvePoints / 2, 0);
    std::vector<feldan::CurvePoint> second = BandCurve(CurvePoints / 2, -1);
    for (auto& point : second)
        point.x += 0.0005;
    for (auto _ : state) {
        state.PauseTiming();
        model.ClearCurve(0);
        model.AddCurve(0, first);
        state.ResumeTiming();
        model.AddCurve(0, second);
    }
}
BENCHMARK(BM_MergeCurveIntoHeldPoints)->Unit(benchmark::kMillisecond);

void BM_RedrawFiveCurves(benchmark::State& state) {
    feldan::ChartModel model;
    feldan::ResponseChart chart(model);
    chart.resize(613, 405);
    chart.show();
    for (int position = 0; position < feldan::SeriesCount; ++position) {
        model.AddCurve(position, BandCurve(CurvePoints, -position));
    }
    QApplication::processEvents();
    QImage image(chart.size(), QImage::Format_RGB32);
    for (auto _ : state) {
        // The whole chart, as a repaint after a zoom or an uncovered window draws it.
        chart.chart()->update();
        QPainter painter(&image);
        chart.render(&painter);
        painter.end();
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["points"] = CurvePoints * feldan::SeriesCount;
}
BENCHMARK(BM_RedrawFiveCurves)->Unit(benchmark::kMillisecond);

// Switching between the pass band and a quantity view of two 10 001-point curves (the input
// impedance of a long sweep), each switch followed by a redraw.
void BM_SwitchViewAndRedraw(benchmark::State& state) {
    feldan::ChartModel model;
    feldan::ResponseChart chart(model);
    chart.resize(613, 405);
    chart.show();
    model.AddCurve(0, BandCurve(CurvePoints, 0));
    const std::vector<feldan::NamedCurve> curves = {
        {QStringLiteral("Re"), BandCurve(10001, 0), std::nullopt},
        {QStringLiteral("Im"), BandCurve(10001, -3), std::nullopt}};
    const feldan::ChartQuantity quantity{QStringLiteral("x"), QStringLiteral("y"),
                                         QStringLiteral("u"), QString()};
    QApplication::processEvents();
    QImage image(chart.size(), QImage::Format_RGB32);
    for (auto _ : state) {
        model.ShowQuantity(quantity, curves);
        QPainter painter(&image);
        chart.render(&painter);
        painter.end();
        model.ShowPassBand();
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["points"] = 2 * 10001;
}
BENCHMARK(BM_SwitchViewAndRedraw)->Unit(benchmark::kMillisecond);

// One step of live tuning on the default design: a capacitor nudged by 1 %, the schematic
// measured as the Calculate command measures it, and the tuned curve put into the shown chart
// over the designed one, with the repaint that follows.
void BM_LiveTuningStep(benchmark::State& state) {
    const auto build = feldan::BuildDesign(feldan::DesignFields{}, '.');
    const std::optional<feldan::BuiltDesign>& built = build.built;
    if (!built) {
        state.SkipWithError("the default design does not build");
        return;
    }
    std::vector<feldan::TunablePart> parts = feldan::TunablePartsOf(*built, nullptr, {});
    feldan::ChartModel model;
    feldan::ResponseChart chart(model);
    chart.resize(613, 405);
    chart.show();
    model.SetTuningCurve(feldan::TuningCurve::Designed, built->schematic.curve);
    QApplication::processEvents();
    int notches = 1;
    std::size_t points = 0;
    for (auto _ : state) {
        parts[2].value =
            feldan::SteppedValue(parts[2].value, feldan::TuningStep::OnePercent, notches);
        notches = -notches;
        const feldan::TunedCircuit circuit = feldan::TunedCircuitOf(*built, parts);
        const feldan::CalculationResult tuned = feldan::MeasureSchematic(
            *built, circuit.values, circuit.terminationOhm, circuit.outputTerminationOhm);
        model.SetTuningCurve(feldan::TuningCurve::Tuned, tuned.curve);
        chart.repaint();
        points = tuned.curve.size();
    }
    state.counters["points"] = double(points);
}
BENCHMARK(BM_LiveTuningStep)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    // The chart needs a GUI application; without a display it draws offscreen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
