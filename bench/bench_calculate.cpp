// Whole Calculate commands: design run, level, peak and edge searches and the plotted sweep,
// shown to a view that records nothing. One benchmark per topology, response and level at the
// window's initial inputs; scripts/bench picks the default design and the slowest pairs.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "engine/calculate.h"
#include "tests/support/silent_view.h"

namespace {

void BM_Calculate(benchmark::State& state) {
    const int filterType = static_cast<int>(state.range(0));
    const int responseType = static_cast<int>(state.range(1));
    const int levelDb = static_cast<int>(state.range(2));
    auto designer = std::make_unique<feldan::FilterDesigner>('.');
    designer->state.FilterType = filterType;
    designer->state.ResponseType = responseType;
    feldan::InputTexts texts;  // the window's initial inputs
    texts.Level = std::to_string(levelDb);
    feldan::testsupport::SilentView view;
    for (auto _ : state) {
        designer->CalculateClick(texts, view);
        benchmark::DoNotOptimize(designer->state.MeasuredDfHz);
    }
    const feldan::StepCounts steps = designer->LastStepCounts();
    // The analysis at Fo, then one per step of each search and of the sweep.
    state.counters["points"] = 1 + steps.PeakSteps + steps.EdgeSteps + steps.SweepSteps;
    state.counters["warnings"] = view.warnings > 0 ? 1 : 0;
}

BENCHMARK(BM_Calculate)
    ->ArgNames({"type", "response", "level"})
    ->ArgsProduct({{1, 2, 3, 4, 5, 6, 7}, {1, 2, 3, 4, 5}, {-3, -60}})
    ->Unit(benchmark::kMillisecond)
    ->MinTime(0.2);

}  // namespace

BENCHMARK_MAIN();
