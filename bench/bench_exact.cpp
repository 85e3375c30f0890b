// Whole calculations exact to the request: the reachable band measured at its two limits, then
// the iteration on the design bandwidth, its last design a whole Расчет. One benchmark per
// topology, response and level at the window's initial inputs, as bench_calculate.cpp times the
// classic ones; scripts/bench picks the default design and the slowest pairs. Targets: the
// default design within one frame (16 ms), the slowest pair at -60 dB within 100 ms.
#include <benchmark/benchmark.h>

#include <string>

#include "engine/calculate.h"

namespace {

void BM_CalculateExact(benchmark::State& state) {
    feldan::DesignFields design;  // the window's initial inputs
    design.filterType = static_cast<int>(state.range(0));
    design.responseType = static_cast<int>(state.range(1));
    design.texts.Level = std::to_string(state.range(2));
    design.exact = true;
    feldan::CalculationResult result;
    for (auto _ : state) {
        result = feldan::Calculate(design, '.');
        benchmark::DoNotOptimize(result.measurements.MeasuredDfHz);
    }
    // Designs measured, the two limits of the band included.
    state.counters["designs"] = result.exact.iterations;
    state.counters["warnings"] = result.outcome == feldan::Outcome::Done ? 0 : 1;
}

BENCHMARK(BM_CalculateExact)
    ->ArgNames({"type", "response", "level"})
    ->ArgsProduct({{1, 2, 3, 4, 5, 6, 7}, {1, 2, 3, 4, 5}, {-3, -60}})
    ->Unit(benchmark::kMillisecond)
    ->MinTime(0.2);

}  // namespace

BENCHMARK_MAIN();
