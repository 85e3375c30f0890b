// Whole calculations: design run, level, peak and edge searches and the plotted sweep. One
// benchmark per topology, response and level at the window's initial inputs; scripts/bench picks
// the default design and the slowest pairs.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "engine/calculate.h"

namespace {

void BM_Calculate(benchmark::State& state) {
    feldan::DesignFields design;  // the window's initial inputs
    design.filterType = static_cast<int>(state.range(0));
    design.responseType = static_cast<int>(state.range(1));
    design.texts.Level = std::to_string(state.range(2));
    feldan::CalculationResult result;
    for (auto _ : state) {
        result = feldan::Calculate(design, '.');
        benchmark::DoNotOptimize(result.measurements.MeasuredDfHz);
    }
    const feldan::StepCounts steps = result.steps;
    // The analysis at Fo, then one per step of each search and of the sweep.
    state.counters["points"] = 1 + steps.PeakSteps + steps.EdgeSteps + steps.SweepSteps;
    state.counters["warnings"] = result.outcome == feldan::Outcome::Done ? 0 : 1;
}

BENCHMARK(BM_Calculate)
    ->ArgNames({"type", "response", "level"})
    ->ArgsProduct({{1, 2, 3, 4, 5, 6, 7}, {1, 2, 3, 4, 5}, {-3, -60}})
    ->Unit(benchmark::kMillisecond)
    ->MinTime(0.2);

}  // namespace

BENCHMARK_MAIN();
