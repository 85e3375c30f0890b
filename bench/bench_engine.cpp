// Speed of the engine's building blocks.
#include <benchmark/benchmark.h>

#include "engine/number_text.h"

static void BM_StrToFloat(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(feldan::StrToFloat("8861.736", '.'));
    }
}
BENCHMARK(BM_StrToFloat);

BENCHMARK_MAIN();
