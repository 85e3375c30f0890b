// Measured crystals and build aids: fitting a 1601-point sweep, picking a matched set from a bag
// of 500, picking eight of a bag of 20 by the response on every core, and 1000 tolerance trials
// on both cores.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "engine/crystal.h"
#include "engine/crystal_pick.h"
#include "engine/tolerance.h"

namespace {

void BM_FitCrystal1601(benchmark::State& state) {
    const feldan::CrystalModel known = feldan::CrystalFromSeriesResonance(10e6, 15e-3, 10, 4e-12);
    std::vector<double> hz;
    std::vector<std::complex<double>> s21;
    for (int i = 0; i < 1601; ++i) {
        hz.push_back(9.996e6 + 5.0 * i);
        s21.push_back(
            feldan::MeasuredOf(feldan::SweepKind::SeriesThrough, 50, known.Impedance(hz.back())));
    }
    for (auto _ : state) {
        const feldan::CrystalFit fit =
            feldan::FitCrystal(hz, s21, feldan::SweepKind::SeriesThrough, 50);
        benchmark::DoNotOptimize(fit.model.lmH);
    }
}

void BM_PickBestOf500(benchmark::State& state) {
    std::mt19937_64 random(1);
    std::normal_distribution<double> spread(0, 50);
    std::vector<feldan::CrystalModel> bag;
    for (int i = 0; i < 500; ++i)
        bag.push_back(feldan::CrystalFromSeriesResonance(10e6 + spread(random), 15e-3, 10, 4e-12));
    for (auto _ : state)
        benchmark::DoNotOptimize(feldan::PickBestSet(bag, 8));
}

// Eight of a bag of crystals (fs within ±50 Hz, Lm within ±12 %) for a 500 Hz eight-crystal
// ladder, untrimmed (0) and trimmed (1), on every core: of 20, every one of the 125 970 sets
// pre-scored; of 60, the local search.
void BM_PickByResponse8(benchmark::State& state) {
    std::mt19937_64 random(20240611);
    const auto uniform = [&] { return 2 * (static_cast<double>(random() >> 11) * 0x1.0p-53) - 1; };
    std::vector<feldan::CrystalModel> bag;
    for (int k = 0; k < state.range(0); ++k) {
        bag.push_back(feldan::CrystalFromSeriesResonance(
            9995000 + 50 * uniform(), 15e-3 * (1 + 0.12 * uniform()), 10, 4e-12));
    }
    feldan::PickRequest request;
    request.design.filterType = static_cast<int>(feldan::FilterType::Ladder8);
    request.design.texts.Df = "500";
    request.trim = state.range(1) != 0;
    for (auto _ : state) {
        const feldan::PickResult result = feldan::PickByResponse(bag, request);
        if (!result.byResponse) return state.SkipWithError("nothing picked");
        state.counters["sets"] = static_cast<double>(result.setsSearched);
        state.counters["built"] = result.setsBuilt;
    }
}

// 5 % capacitors, crystals spread by 10 Hz, on every core.
void BM_Tolerance1000(benchmark::State& state) {
    feldan::DesignFields fields;
    fields.filterType = static_cast<int>(state.range(0));
    const auto build = feldan::BuildDesign(fields, '.');
    const std::optional<feldan::BuiltDesign>& built = build.built;
    if (!built) return state.SkipWithError("design failed");
    feldan::ToleranceRequest request;
    request.trials = 1000;
    request.capTolerancePct = 5;
    request.fsSpreadHz = 10;
    for (auto _ : state)
        benchmark::DoNotOptimize(feldan::RunTolerance(*built, request).yield);
}

BENCHMARK(BM_Tolerance1000)
    ->ArgName("type")
    ->Arg(2)
    ->Arg(4)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->UseRealTime();
BENCHMARK(BM_PickByResponse8)
    ->ArgNames({"bag", "trim"})
    ->Args({20, 0})
    ->Args({20, 1})
    ->Args({60, 0})
    ->Args({200, 0})
    ->Unit(benchmark::kSecond)
    ->Iterations(1)
    ->UseRealTime();
BENCHMARK(BM_FitCrystal1601)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PickBestOf500)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
