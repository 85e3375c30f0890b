// Speed of the engine's building blocks.
#include <benchmark/benchmark.h>

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
            feldan::EnvelopeOf(feldan::SpectrumOfFilter(filter, -3));
        benchmark::DoNotOptimize(feldan::StepFigures(response));
    }
}
BENCHMARK(BM_StepResponseOfDefaultDesign)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
