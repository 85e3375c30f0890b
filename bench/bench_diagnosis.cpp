// The built filter found from its sweep: the fit of an eight-crystal filter (the classic ladder
// with its two π sections, and the CW ladder with three) to 401 points of S21 and S11 with
// seeded errors and noise at −60 dB, the whole answer (starts, settling, bounds, ends, advice);
// and to S21 alone.
#include <benchmark/benchmark.h>

#include <cmath>
#include <random>

#include "engine/diagnosis.h"
#include "engine/diagnosis_model.h"

namespace {

void BM_Diagnose401(benchmark::State& state) {
    feldan::DesignFields fields;
    fields.filterType = int(state.range(0));
    const feldan::DesignBuild build = feldan::BuildDesign(fields, '.');
    const feldan::BuiltDesign& built = *build.built;
    const feldan::PassBand band = *feldan::BandOf(built.schematic);
    feldan::DiagnosisSweep sweep;
    sweep.portOhm = built.design.synthesis.InputOhm;
    for (int i = 0; i < 401; ++i)
        sweep.hz.push_back(band.CentreHz() + band.WidthHz() * (4.0 * i / 400 - 2));
    feldan::DiagnosisModel model(built, sweep);
    std::mt19937 random(1);
    std::uniform_real_distribution<double> u(-1, 1);
    Eigen::VectorXd truth = Eigen::VectorXd::Zero(model.Parameters());
    for (int k = 0; k < model.Capacitors(); ++k)
        truth[k] = std::log(1 + 0.05 * u(random));
    for (int k = 0; k < model.Crystals(); ++k)
        truth[model.CrystalParameter(k)] = 20 * u(random);
    truth[model.RmParameter()] = std::log(1 / 0.8);
    std::vector<std::complex<double>> s21, s11, s22;
    model.Responses(truth, s21, s11, s22);
    std::normal_distribution<double> noise(0, 1e-3 / std::sqrt(2.0));
    for (std::size_t i = 0; i < s21.size(); ++i) {
        sweep.s21.push_back(s21[i] + std::complex<double>(noise(random), noise(random)));
        if (state.range(1))
            sweep.s11.push_back(s11[i] + std::complex<double>(noise(random), noise(random)));
    }
    int iterations = 0;
    for (auto _ : state) {
        const feldan::Diagnosis d = feldan::DiagnoseFilter(built, sweep);
        iterations = d.iterations;
        benchmark::DoNotOptimize(d.residualDb);
    }
    state.counters["iterations"] = iterations;
}

}  // namespace

// With S11 as a NanoVNA measures it, and with S21 alone (six more starts).
BENCHMARK(BM_Diagnose401)
    ->ArgNames({"type", "s11"})
    ->Args({4, 1})
    ->Args({7, 1})
    ->Args({4, 0})
    ->Args({7, 0})
    ->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
