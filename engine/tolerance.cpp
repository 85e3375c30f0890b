#include "engine/tolerance.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <numbers>
#include <random>
#include <thread>

#include "circuit/analysis.h"
#include "engine/synthesis.h"

namespace feldan {

namespace {

// A trial's levels at the nominal curve's frequencies. Its own measured curve already holds
// those it shares (both step 1 Hz from Fo); only the others are swept.
void LevelsOfTrial(CircuitAnalysis& circuit, const std::vector<CurvePoint>& trialCurve,
                   const std::vector<long>& nominalOffsets, const std::vector<double>& omegas,
                   std::vector<TwoPortPoint>& work, std::vector<double>& levels) {
    levels.assign(omegas.size(), 0);
    const long first = trialCurve.empty() ? 0 : std::lround(trialCurve.front().x * 1000);
    const long count = static_cast<long>(trialCurve.size());
    std::vector<double> missingOmegas;
    std::vector<std::size_t> missing;
    for (std::size_t i = 0; i < omegas.size(); ++i) {
        const long k = nominalOffsets[i] - first;
        if (k >= 0 && k < count) {
            levels[i] = trialCurve[static_cast<std::size_t>(k)].y;
        } else {
            missing.push_back(i);
            missingOmegas.push_back(omegas[i]);
        }
    }
    std::vector<double> swept;
    LevelsAt(circuit, missingOmegas, work, swept);
    for (std::size_t m = 0; m < missing.size(); ++m)
        levels[missing[m]] = swept[m];
}

// Independent streams for trial after trial: SplitMix64 of the seed and the trial's number.
std::uint64_t StreamSeed(std::uint64_t seed, std::uint64_t trial) {
    std::uint64_t z = seed + 0x9E3779B97F4A7C15ull * (trial + 1);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

// Transforms of our own: the standard distributions differ between libraries, and the results
// must not.
double Uniform01(std::mt19937_64& random) {
    return static_cast<double>(random() >> 11) * 0x1.0p-53;
}

double StandardNormal(std::mt19937_64& random) {
    double u1 = Uniform01(random);
    while (u1 <= 0)
        u1 = Uniform01(random);
    const double u2 = Uniform01(random);
    return std::sqrt(-2 * std::log(u1)) * std::cos(2 * std::numbers::pi * u2);
}

// A relative deviation within ±tolerance: uniform, or normal with ±tolerance as 3σ, cut there.
double Deviation(std::mt19937_64& random, double tolerance, Distribution distribution) {
    if (tolerance == 0) return 0;
    if (distribution == Distribution::Uniform) return tolerance * (2 * Uniform01(random) - 1);
    double n = StandardNormal(random);
    while (std::fabs(n) > 3)
        n = StandardNormal(random);
    return tolerance * n / 3;
}

}  // namespace

Percentiles PercentilesOf(std::vector<double> values) {
    Percentiles p;
    if (values.empty()) return p;
    std::sort(values.begin(), values.end());
    const auto rank = [&](double q) {
        const std::size_t n = values.size();
        const std::size_t r = static_cast<std::size_t>(std::ceil(q * static_cast<double>(n)));
        return values[std::clamp<std::size_t>(r, 1, n) - 1];
    };
    return {values.front(), rank(0.05), rank(0.5), rank(0.95), values.back()};
}

ToleranceResult RunTolerance(const BuiltDesign& built, const ToleranceRequest& request,
                             const std::function<void(int)>& progress,
                             const std::atomic<bool>* cancel) {
    const DesignInput& input = built.design.input;
    const int type = built.design.synthesis.Circuit;
    const ElementValues& nominal = built.values;
    const double inputOhm = built.design.synthesis.InputOhm;
    const int parts = CapacitorPartsOf(type);
    const int crystals = DescriptorOf(type).crystalCount;
    const std::vector<double> omegas = OmegasOfCurve(built.schematic.curve, input.FoKHz * 1000);
    const std::vector<long> nominalOffsets = OffsetsOfCurve(built.schematic.curve);

    struct Trial {
        bool done = false;
        bool failed = false;
        double bandwidthHz = 0, rippleDb = 0, flatnessDb = 0, aminDb = 0;
        std::vector<double> levels;
    };
    std::vector<Trial> trials(static_cast<std::size_t>(std::max(request.trials, 0)));
    std::atomic<int> next{0};
    std::atomic<int> finished{0};
    const auto work = [&] {
        auto circuit = std::make_unique<CircuitAnalysis>();
        std::vector<double> capFactors(static_cast<std::size_t>(parts));
        std::vector<TwoPortPoint> points;
        CalculationResult measured;
        for (int t; (t = next++) < request.trials;) {
            if (cancel && cancel->load()) break;
            std::mt19937_64 random(StreamSeed(request.seed, static_cast<std::uint64_t>(t)));
            ElementValues values = nominal;
            for (double& f : capFactors)
                f = 1 + Deviation(random, request.capTolerancePct / 100, request.distribution);
            for (int p = 1; p <= crystals; ++p) {
                Resonator& r = values.Crystal[p];
                const double fs = 1 / (2 * std::numbers::pi * std::sqrt(r.LmH * r.CmF));
                const double shiftedFs = fs + request.fsSpreadHz * StandardNormal(random);
                r.CmF = 1 / (std::pow(2 * std::numbers::pi * shiftedFs, 2) * r.LmH);
                r.RmOhm *= std::max(1 + request.rmSpreadPct / 100 * StandardNormal(random), 1e-3);
            }
            BuildSchematicCircuit(*circuit, type, values, inputOhm,
                                  inputOhm * OutputOverInput(built.design.synthesis), &capFactors);
            Trial& trial = trials[static_cast<std::size_t>(t)];
            if (MeasureCircuit(*circuit, input, measured)) {
                trial.bandwidthHz = measured.measurements.MeasuredDfHz;
                trial.rippleDb = RippleOf(measured.curve);
                trial.flatnessDb = FlatnessOf(measured.curve);
                trial.aminDb = measured.measurements.AminDb;
                LevelsOfTrial(*circuit, measured.curve, nominalOffsets, omegas, points,
                              trial.levels);
            } else {
                trial.failed = true;
            }
            trial.done = true;
            const int done = ++finished;
            if (progress) progress(done);
        }
    };
    int threads = request.threads > 0 ? request.threads
                                      : static_cast<int>(std::thread::hardware_concurrency());
    threads = std::clamp(threads, 1, 64);
    std::vector<std::thread> pool;
    for (int i = 1; i < threads; ++i)
        pool.emplace_back(work);
    work();
    for (std::thread& thread : pool)
        thread.join();

    ToleranceResult result;
    result.nominalBandwidthHz = built.schematic.measurements.MeasuredDfHz;
    result.nominalRippleDb = RippleOf(built.schematic.curve);
    result.nominalCurve = built.schematic.curve;
    int passed = 0;
    for (const Trial& trial : trials) {
        if (!trial.done) {
            result.cancelled = true;
            continue;
        }
        ++result.trials;
        if (trial.failed) {
            ++result.failed;
            continue;
        }
        result.bandwidthHz.push_back(trial.bandwidthHz);
        result.rippleDb.push_back(trial.rippleDb);
        result.flatnessDb.push_back(trial.flatnessDb);
        result.aminDb.push_back(trial.aminDb);
        const bool bandwidthOk = std::fabs(trial.bandwidthHz - result.nominalBandwidthHz) <=
                                 request.bandwidthTolerancePct / 100 * result.nominalBandwidthHz;
        const bool rippleOk = trial.rippleDb <= result.nominalRippleDb + request.maxRippleDb;
        if (bandwidthOk && rippleOk) ++passed;
    }
    result.yield = result.trials > 0 ? static_cast<double>(passed) / result.trials : 0;
    result.bandwidth = PercentilesOf(result.bandwidthHz);
    result.ripple = PercentilesOf(result.rippleDb);
    result.flatness = PercentilesOf(result.flatnessDb);
    result.amin = PercentilesOf(result.aminDb);
    result.envelope.resize(omegas.size());
    std::vector<double> column;
    for (std::size_t i = 0; i < omegas.size(); ++i) {
        column.clear();
        for (const Trial& trial : trials) {
            if (trial.done && !trial.failed) column.push_back(trial.levels[i]);
        }
        result.envelope[i] = PercentilesOf(column);
    }
    return result;
}

}  // namespace feldan
