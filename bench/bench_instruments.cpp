// A crystal measured through the simulated analyser on a pseudo-terminal, which answers at once:
// what the search, zoom, averaging, scan parsing and fit add to the device's own sweep time.
// The simulator's own work (the crystal's response, noise, formatting) is counted in too.
#include <benchmark/benchmark.h>

#include "instruments/crystal_measurement.h"
#include "instruments/serial_ports.h"
#include "instruments/simulated/simulated_analyser.h"

namespace {

const feldan::CrystalModel Crystal = feldan::CrystalFromSeriesResonance(9.999e6, 0.07, 12, 4e-12);

void BM_MeasureCrystal(benchmark::State& state) {
    feldan::simulated::SimulatedAnalyserSettings settings;
    settings.response = feldan::simulated::CrystalInSeries(Crystal);
    settings.noise = 2e-4;
    settings.maxScanPoints = static_cast<int>(state.range(0));
    settings.info = settings.maxScanPoints > 101 ? "NanoVNA-H 4" : "NanoVNA-H";
    feldan::simulated::SimulatedAnalyser device(settings);
    const auto port = feldan::PosixSerialPort::Open(device.Port());
    feldan::NanoVnaShell shell(*port, device.Port());
    feldan::AnalyserIdentity identity = shell.Connect();
    feldan::CrystalMeasurementSettings measurement;
    measurement.nominalHz = 10e6;
    int scans = 0;
    for (auto _ : state) {
        const feldan::CrystalMeasurement result =
            feldan::MeasureCrystal(shell, identity, measurement);
        if (!result.fit) return state.SkipWithError("no fit");
        scans = result.scans;
        benchmark::DoNotOptimize(result.fit->model.lmH);
    }
    state.counters["scans"] = scans;
}

// The fit alone, on the sweep a measurement keeps.
void BM_FitMeasuredSweep(benchmark::State& state) {
    feldan::simulated::SimulatedAnalyserSettings settings;
    settings.response = feldan::simulated::CrystalInSeries(Crystal);
    settings.noise = 2e-4;
    feldan::simulated::SimulatedAnalyser device(settings);
    const auto port = feldan::PosixSerialPort::Open(device.Port());
    feldan::NanoVnaShell shell(*port, device.Port());
    feldan::AnalyserIdentity identity = shell.Connect();
    feldan::CrystalMeasurementSettings measurement;
    measurement.nominalHz = 10e6;
    const feldan::CrystalSweep sweep = feldan::MeasureCrystal(shell, identity, measurement).sweep;
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            feldan::FitCrystal(sweep.frequencyHz, sweep.measured, sweep.kind, sweep.fixtureOhm)
                .model.lmH);
    }
    state.counters["points"] = double(sweep.frequencyHz.size());
}

void BM_ParseScanLine(benchmark::State& state) {
    const std::string line = "9999000 0.012345678 -0.001234567 0.875000001 0.000100000";
    for (auto _ : state)
        benchmark::DoNotOptimize(feldan::ParseScanLine(line));
}

}  // namespace

BENCHMARK(BM_MeasureCrystal)
    ->ArgName("points")
    ->Arg(101)
    ->Arg(401)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_FitMeasuredSweep)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ParseScanLine);
BENCHMARK_MAIN();
