#include "engine/build_aids.h"

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

// Builds the schematic's circuit from values, with each capacitor branch scaled by its own
// factor (the parts of one slot are separate parts), and prepares it.
void BuildSchematicCircuit(CircuitAnalysis& circuit, int type, const ElementValues& values,
                           double inputOhm, const std::vector<double>* capFactors = nullptr) {
    BranchRoles roles{};
    BuildSchematicNetlist(type, values, inputOhm, circuit.netlist, &roles);
    if (capFactors) {
        std::size_t k = 0;
        for (int b = 1; b <= circuit.netlist.BranchCount; ++b) {
            if (roles[b].element == Element::Cap)
                circuit.netlist.Branches[b].C *= (*capFactors)[k++];
        }
    }
    PrepareNetlist(circuit.netlist);
    circuit.DropAhead();
}

int CapacitorPartsOf(int type) {
    int parts = 0;
    for (const SchematicItem& item : DescriptorOf(type).schematic) {
        if (item.kind != SchematicItemKind::Crystal) ++parts;
    }
    return parts;
}

// Measures a built circuit as the Calculate command does; false on a warning.
bool MeasureCircuit(CircuitAnalysis& circuit, const DesignInput& input, CalculationResult& out) {
    out.measurements = {};
    out.curve.clear();
    out.steps = {};
    double atFo = 0;
    if (!AnalyseAt(circuit, input.FoKHz * 1000, 0, atFo)) {
        out.outcome = Outcome::Warning;
        out.message = Message{MessageId::NoSolution, ""};
        return false;
    }
    out.measurements.RespAtFoDb = atFo;
    out.measurements.AFoDb = atFo + LevelOffsetDb;
    const MessageId stop = MeasureBuiltCircuit(circuit, input.FoKHz * 1000, input.LevelDb, out);
    out.outcome = stop == MessageId::None ? Outcome::Done : Outcome::Warning;
    out.message = Message{stop, ""};
    return stop == MessageId::None;
}

// The response in the chart's dB (the load level plus the chart's offset) at frequencies.
void LevelsAt(CircuitAnalysis& circuit, const std::vector<double>& omegas,
              std::vector<TwoPortPoint>& work, std::vector<double>& levels) {
    work.resize(omegas.size());
    circuit.SweepTwoPort(omegas, work);
    levels.resize(omegas.size());
    for (std::size_t i = 0; i < omegas.size(); ++i) {
        levels[i] = work[i].ok ? DecibelsOf(work[i].s21) - S21OffsetDb + LevelOffsetDb : -400;
    }
}

std::vector<double> OmegasOfCurve(const std::vector<CurvePoint>& curve, double foHz) {
    std::vector<double> omegas;
    omegas.reserve(curve.size());
    for (const CurvePoint& p : curve)
        omegas.push_back(TwoPi * (foHz + p.x * 1000));
    return omegas;
}

// The offsets from Fo in whole hertz of a measured curve's points (the searches step 1 Hz).
std::vector<long> OffsetsOfCurve(const std::vector<CurvePoint>& curve) {
    std::vector<long> offsets;
    offsets.reserve(curve.size());
    for (const CurvePoint& p : curve)
        offsets.push_back(std::lround(p.x * 1000));
    return offsets;
}

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

std::optional<BuiltDesign> BuildDesign(const DesignFields& fields, char separator, Message& message,
                                       std::span<const CrystalModel> crystals, bool trim) {
    BuiltDesign built;
    built.design = crystals.empty() ? Calculate(fields, separator)
                                    : CalculateWithCrystals(fields, crystals, trim, separator);
    if (built.design.outcome != Outcome::Done) {
        message = built.design.message;
        return std::nullopt;
    }
    const DesignInput& input = built.design.input;
    built.values = ElementValuesOf(input, built.design.synthesis);
    if (!crystals.empty())
        SetCrystalsOfSet(built.values, DesignOfCrystalSet(fields, crystals, trim), crystals);
    built.schematic.input = input;
    built.schematic.synthesis = built.design.synthesis;
    auto circuit = std::make_unique<CircuitAnalysis>();
    BuildSchematicCircuit(*circuit, input.FilterType, built.values,
                          built.design.synthesis.InputOhm);
    if (!MeasureCircuit(*circuit, input, built.schematic)) {
        message = built.schematic.message;
        return std::nullopt;
    }
    return built;
}

ParallelPair PartsOfSeries(double pF, const RoundingRequest& request) {
    const double single = RoundToSeries(pF, request.series);
    if (request.parallelPct && std::fabs(single / pF - 1) * 100 > *request.parallelPct) {
        const ParallelPair pair = NearestParallelPair(pF, request.series);
        if (pair.smaller > 0) return pair;
    }
    return {single, 0};
}

RoundingResult RoundDesign(const BuiltDesign& built, const RoundingRequest& request) {
    const DesignInput& input = built.design.input;
    const int type = input.FilterType;
    ElementValues values = built.values;
    RoundingResult result;
    result.nominalTerminationOhm = built.design.synthesis.InputOhm;
    result.roundedTerminationOhm = result.nominalTerminationOhm;

    for (const SchematicItem& item : DescriptorOf(type).schematic) {
        if (item.kind == SchematicItemKind::Crystal) continue;
        auto entry = std::find_if(result.capacitors.begin(), result.capacitors.end(),
                                  [&](const RoundedCapacitor& c) { return c.slot == item.index; });
        if (entry != result.capacitors.end()) {
            entry->labels += "=" + std::string(item.label);
            continue;
        }
        RoundedCapacitor c;
        c.labels = std::string(item.label);
        c.slot = item.index;
        c.nominalPF = values.CapPF[static_cast<std::size_t>(item.index)];
        const ParallelPair parts = PartsOfSeries(c.nominalPF, request);
        c.roundedPF = parts.Sum();
        if (parts.smaller > 0) c.pair = parts;
        result.capacitors.push_back(c);
    }
    for (const RoundedCapacitor& c : result.capacitors)
        values.CapPF[static_cast<std::size_t>(c.slot)] = c.roundedPF;

    auto circuit = std::make_unique<CircuitAnalysis>();
    if (request.refitTermination) {
        // Golden-section search on ln R between a third and three times the nominal value.
        const std::vector<double> omegas = OmegasOfCurve(built.schematic.curve, input.FoKHz * 1000);
        std::vector<double> ideal, trial;
        std::vector<TwoPortPoint> work;
        {
            auto nominal = std::make_unique<CircuitAnalysis>();
            BuildSchematicCircuit(*nominal, type, built.values, result.nominalTerminationOhm);
            LevelsAt(*nominal, omegas, work, ideal);
        }
        const auto misfit = [&](double ohm) {
            BuildSchematicCircuit(*circuit, type, values, ohm);
            LevelsAt(*circuit, omegas, work, trial);
            double sum = 0;
            for (std::size_t i = 0; i < ideal.size(); ++i)
                sum += std::pow(trial[i] - ideal[i], 2);
            return ideal.empty() ? 0 : std::sqrt(sum / static_cast<double>(ideal.size()));
        };
        const double ratio = (std::sqrt(5.0) - 1) / 2;
        double lo = std::log(result.nominalTerminationOhm / 3),
               hi = std::log(result.nominalTerminationOhm * 3);
        double x1 = hi - ratio * (hi - lo), x2 = lo + ratio * (hi - lo);
        double f1 = misfit(std::exp(x1)), f2 = misfit(std::exp(x2));
        for (int i = 0; i < 40 && hi - lo > 1e-4; ++i) {
            if (f1 < f2) {
                hi = x2, x2 = x1, f2 = f1;
                x1 = hi - ratio * (hi - lo);
                f1 = misfit(std::exp(x1));
            } else {
                lo = x1, x1 = x2, f1 = f2;
                x2 = lo + ratio * (hi - lo);
                f2 = misfit(std::exp(x2));
            }
        }
        result.roundedTerminationOhm = std::exp((lo + hi) / 2);
        if (request.terminationToE24) {
            result.roundedTerminationOhm =
                RoundToSeries(result.roundedTerminationOhm, ESeries::E24);
        }
    }
    result.rounded.input = input;
    result.rounded.synthesis = built.design.synthesis;
    BuildSchematicCircuit(*circuit, type, values, result.roundedTerminationOhm);
    MeasureCircuit(*circuit, input, result.rounded);
    return result;
}

CalculationResult MeasureNetlist(const BuiltDesign& built,
                                 const std::function<void(Netlist&)>& build) {
    CalculationResult result;
    result.input = built.design.input;
    result.synthesis = built.design.synthesis;
    auto circuit = std::make_unique<CircuitAnalysis>();
    build(circuit->netlist);
    PrepareNetlist(circuit->netlist);
    circuit->DropAhead();
    MeasureCircuit(*circuit, result.input, result);
    return result;
}

CalculationResult MeasureSchematic(const BuiltDesign& built, const ElementValues& values,
                                   double terminationOhm) {
    return MeasureNetlist(built, [&](Netlist& netlist) {
        BuildSchematicNetlist(built.design.input.FilterType, values, terminationOhm, netlist);
    });
}

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

double RippleOf(const std::vector<CurvePoint>& curve) {
    std::vector<std::size_t> peaks;
    for (std::size_t i = 1; i + 1 < curve.size(); ++i) {
        if (curve[i].y > curve[i - 1].y && curve[i].y >= curve[i + 1].y) peaks.push_back(i);
    }
    if (peaks.size() < 2) return 0;
    double highest = -1e300, lowest = 1e300;
    for (std::size_t i = peaks.front(); i <= peaks.back(); ++i) {
        lowest = std::min(lowest, curve[i].y);
    }
    for (std::size_t i : peaks)
        highest = std::max(highest, curve[i].y);
    return highest - lowest;
}

ToleranceResult RunTolerance(const BuiltDesign& built, const ToleranceRequest& request,
                             const std::function<void(int)>& progress,
                             const std::atomic<bool>* cancel) {
    const DesignInput& input = built.design.input;
    const int type = input.FilterType;
    const ElementValues& nominal = built.values;
    const double inputOhm = built.design.synthesis.InputOhm;
    const int parts = CapacitorPartsOf(type);
    const int crystals = DescriptorOf(type).crystalCount;
    const std::vector<double> omegas = OmegasOfCurve(built.schematic.curve, input.FoKHz * 1000);
    const std::vector<long> nominalOffsets = OffsetsOfCurve(built.schematic.curve);

    struct Trial {
        bool done = false;
        bool failed = false;
        double bandwidthHz = 0, rippleDb = 0, aminDb = 0;
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
            BuildSchematicCircuit(*circuit, type, values, inputOhm, &capFactors);
            Trial& trial = trials[static_cast<std::size_t>(t)];
            if (MeasureCircuit(*circuit, input, measured)) {
                trial.bandwidthHz = measured.measurements.MeasuredDfHz;
                trial.rippleDb = RippleOf(measured.curve);
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
        result.aminDb.push_back(trial.aminDb);
        const bool bandwidthOk = std::fabs(trial.bandwidthHz - result.nominalBandwidthHz) <=
                                 request.bandwidthTolerancePct / 100 * result.nominalBandwidthHz;
        const bool rippleOk = trial.rippleDb <= result.nominalRippleDb + request.maxRippleDb;
        if (bandwidthOk && rippleOk) ++passed;
    }
    result.yield = result.trials > 0 ? static_cast<double>(passed) / result.trials : 0;
    result.bandwidth = PercentilesOf(result.bandwidthHz);
    result.ripple = PercentilesOf(result.rippleDb);
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
