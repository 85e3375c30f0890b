// Speed of the engine's building blocks.
#include <benchmark/benchmark.h>

#include "engine/calculate.h"
#include "engine/number_text.h"
#include "engine/transient.h"

static void BM_StrToFloat(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(feldan::StrToFloat("8861.736", '.'));
    }
}
BENCHMARK(BM_StrToFloat);

// The step-response view of the default design: the design run, the spectrum out to 80 dB down,
// the transform and the figures, as the window takes them.
static void BM_StepResponseOfDefaultDesign(benchmark::State& state) {
    for (auto _ : state) {
        feldan::DesignedFilter filter =
            feldan::DesignFilter(feldan::DesignFields{}, '.', feldan::CircuitChoice::Schematic);
        const feldan::EnvelopeResponse response =
            feldan::EnvelopeOf(feldan::SpectrumOfFilter(filter));
        benchmark::DoNotOptimize(feldan::StepFigures(response));
    }
}
BENCHMARK(BM_StepResponseOfDefaultDesign)->Unit(benchmark::kMillisecond);

// Расчет of the largest generated ladders at the window's other start values: the twelve-crystal
// plain ladder (FilterType 14) and the twelve-crystal CW ladder (16), Butterworth, -3 dB.
static void BM_CalculateTwelveCrystals(benchmark::State& state) {
    feldan::DesignFields design;
    design.filterType = static_cast<int>(state.range(0));
    for (auto _ : state) {
        benchmark::DoNotOptimize(feldan::Calculate(design, '.').measurements.MeasuredDfHz);
    }
}
BENCHMARK(BM_CalculateTwelveCrystals)->Arg(14)->Arg(16)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
