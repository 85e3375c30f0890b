// One analysis point (solve and output level) of each topology, with the production solver on
// its own, with the production solver taking eight frequencies side by side as a search does,
// and with the plain dense elimination of the test support library. Each topology carries the
// default design's element values (Butterworth), and the points step 1 Hz at a time across and
// around the band, as in a Calculate. Then a two-port sweep of 10 001 points with every quantity
// (S21, S12, S11, S22, input impedance, group delay) per topology.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "engine/calculate.h"
#include "engine/synthesis.h"
#include "tests/support/dense_reference.h"
#include "tests/support/designed_circuit.h"

namespace {

constexpr double FirstHz = 8861736 - 3000;
constexpr double LastHz = 8861736 + 8000;

// The default design of a topology, built and prepared.
std::unique_ptr<feldan::testsupport::DesignedCircuit> Designed(int filterType) {
    auto designed = feldan::testsupport::Designed(filterType, 1);
    return designed->ok ? std::move(designed) : nullptr;
}

void BM_DenseSolve(benchmark::State& state) {
    const auto designer = Designed(static_cast<int>(state.range(0)));
    if (!designer) return state.SkipWithError("design failed");
    auto dense = std::make_unique<feldan::reference::DenseSolver>();
    auto voltages = std::make_unique<feldan::reference::Voltages>();
    double hz = FirstHz;
    for (auto _ : state) {
        const feldan::AnalysisPoint point = feldan::reference::Analyse(
            designer->circuit->netlist, *dense, *voltages, feldan::TwoPi * hz);
        benchmark::DoNotOptimize(point);
        hz = hz < LastHz ? hz + 1 : FirstHz;
    }
}

void BM_SingleSolve(benchmark::State& state) {
    const auto designer = Designed(static_cast<int>(state.range(0)));
    if (!designer) return state.SkipWithError("design failed");
    feldan::CircuitAnalysis& circuit = *designer->circuit;
    double hz = FirstHz;
    for (auto _ : state) {
        const feldan::AnalysisPoint point = circuit.Analyse(feldan::TwoPi * hz);
        benchmark::DoNotOptimize(point);
        hz = hz < LastHz ? hz + 1 : FirstHz;
    }
}

void BM_SweepSolve(benchmark::State& state) {
    const auto designer = Designed(static_cast<int>(state.range(0)));
    if (!designer) return state.SkipWithError("design failed");
    feldan::CircuitAnalysis& circuit = *designer->circuit;
    double hz = FirstHz;
    for (auto _ : state) {
        circuit.AnalyseAhead(hz, 1, feldan::TwoPi);
        const feldan::AnalysisPoint point = circuit.Analyse(feldan::TwoPi * hz);
        benchmark::DoNotOptimize(point);
        hz = hz < LastHz ? hz + 1 : FirstHz;
    }
}

constexpr int TwoPortPoints = 10001;

void BM_TwoPortSweep(benchmark::State& state) {
    const auto designer = Designed(static_cast<int>(state.range(0)));
    if (!designer) return state.SkipWithError("design failed");
    std::vector<double> omegas(TwoPortPoints);
    for (int i = 0; i < TwoPortPoints; ++i)
        omegas[i] = feldan::TwoPi * (8861736 - 15000 + 3.0 * i);
    std::vector<feldan::TwoPortPoint> points(TwoPortPoints);
    for (auto _ : state) {
        designer->circuit->SweepTwoPort(omegas, points);
        benchmark::DoNotOptimize(points.data());
    }
    for (const feldan::TwoPortPoint& p : points) {
        if (!p.ok) return state.SkipWithError("a point failed");
    }
}

BENCHMARK(BM_DenseSolve)->ArgName("type")->DenseRange(1, 7);
BENCHMARK(BM_SingleSolve)->ArgName("type")->DenseRange(1, 7);
BENCHMARK(BM_SweepSolve)->ArgName("type")->DenseRange(1, 7);
BENCHMARK(BM_TwoPortSweep)->ArgName("type")->DenseRange(1, 7)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
