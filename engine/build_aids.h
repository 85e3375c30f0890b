// What a builder needs between the design and the soldering iron, all on the circuit as built
// (the schematic with InputOhm at both ends): its capacitors rounded to standard values, and
// what the tolerances of parts and crystals do to the response (Monte Carlo).
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "engine/calculate.h"
#include "engine/crystal_set.h"
#include "engine/standard_values.h"

namespace feldan {

// The schematic of a finished design, measured as the Calculate command measures: the nominal
// response of the filter as built.
struct BuiltDesign {
    CalculationResult design;     // the calculation of the design (outcome Done)
    CalculationResult schematic;  // the schematic measured: measurements and curve
    ElementValues values;         // the design's elements: each position's crystal and trim
};

// Calculates the design and measures its schematic. Returns nullopt with `message` set when the
// design does not calculate or the schematic cannot be measured. Given crystals (in position
// order), the design is theirs (CalculateWithCrystals), with their trims when `trim` is set.
std::optional<BuiltDesign> BuildDesign(const DesignFields& design, char separator, Message& message,
                                       std::span<const CrystalModel> crystals = {},
                                       bool trim = false);

// Measures the schematic with values set by the builder (BuiltDesign::values with capacitors or
// trims changed), terminated by `terminationOhm` at both ends, as the Calculate command measures:
// outcome, measurements and curve.
CalculationResult MeasureSchematic(const BuiltDesign& built, const ElementValues& values,
                                   double terminationOhm);

// Measures another circuit of the built design (the schematic with more parts, say) the same
// way: `build` fills the netlist, which is then prepared and measured.
struct Netlist;
CalculationResult MeasureNetlist(const BuiltDesign& built,
                                 const std::function<void(Netlist&)>& build);

// One part of the built filter set by hand: a capacitor of the schematic by the first label of
// its slot ("C1"; pF), the termination ("Rin"; Ohm) or the trim of a crystal position ("Ct1"; pF).
struct TunedPart {
    std::string label;
    double value = 0;
    bool operator==(const TunedPart&) const = default;
};

// One capacitor of the schematic: its labels and value.
struct RoundedCapacitor {
    std::string labels;  // "C1=C5"
    int slot = 0;
    double nominalPF = 0;
    double roundedPF = 0;              // one part, or the sum of the pair
    std::optional<ParallelPair> pair;  // two parts in parallel
};

struct RoundingRequest {
    ESeries series = ESeries::E24;
    // Use two parts in parallel where one alone is more than this many per cent off.
    std::optional<double> parallelPct;
    // Refit the termination resistance to bring the rounded response back.
    bool refitTermination = false;
    bool terminationToE24 = false;  // the refitted termination rounded to E24
};

struct RoundingResult {
    std::vector<RoundedCapacitor> capacitors;
    double nominalTerminationOhm = 0;
    double roundedTerminationOhm = 0;
    CalculationResult rounded;  // the rounded schematic measured (outcome and measurements)
};

// A capacitance in standard parts: the nearest member of the series, or two in parallel where
// one alone is more than parallelPct off (and a pair is nearer).
ParallelPair PartsOfSeries(double pF, const RoundingRequest& request);

// Rounds every capacitor of the schematic, re-simulates it and, when asked, refits the
// termination: the refit minimises the RMS difference in dB between the rounded and the ideal
// response at the frequencies of the ideal curve (the pass band down to the design's level).
RoundingResult RoundDesign(const BuiltDesign& built, const RoundingRequest& request);

enum class Distribution { Uniform, Normal };

struct ToleranceRequest {
    int trials = 500;
    double capTolerancePct = 0;                         // each capacitor within ±this
    Distribution distribution = Distribution::Uniform;  // normal: ±tolerance is 3σ, cut there
    double fsSpreadHz = 0;   // σ of each crystal's series resonance (its Cm moves, Lm stays)
    double rmSpreadPct = 0;  // σ of each crystal's Rm
    std::uint64_t seed = 1;
    double bandwidthTolerancePct = 5;  // yield: band width within ±this of the nominal design's
    double maxRippleDb = 0.5;          // yield: ripple at most this above the nominal design's
    int threads = 0;                   // 0: every core
};

// Minimum, 5 %, median, 95 % and maximum of a set, nearest rank.
struct Percentiles {
    double min = 0, p5 = 0, median = 0, p95 = 0, max = 0;
};
Percentiles PercentilesOf(std::vector<double> values);

struct ToleranceResult {
    int trials = 0;
    int failed = 0;    // trials that ended in a warning: they fail the yield
    double yield = 0;  // share of all trials within both targets
    bool cancelled = false;
    // Of the trials that did not fail.
    std::vector<double> bandwidthHz, rippleDb, aminDb;
    Percentiles bandwidth, ripple, amin;
    double nominalBandwidthHz = 0, nominalRippleDb = 0;
    // The attenuation of every trial at the frequencies of the nominal curve: per point the
    // percentiles over the trials that did not fail.
    std::vector<CurvePoint> nominalCurve;
    std::vector<Percentiles> envelope;
};

// The ripple of a curve: its largest peak less its deepest valley between the outermost peaks,
// 0 with one peak.
double RippleOf(const std::vector<CurvePoint>& curve);

// Runs the trials on the schematic, each from its own stream of random numbers (from the seed
// and its number), so the result is the same on one thread or many. `progress` is called with
// the trials done; setting `cancel` stops the run early.
ToleranceResult RunTolerance(const BuiltDesign& built, const ToleranceRequest& request,
                             const std::function<void(int)>& progress = {},
                             const std::atomic<bool>* cancel = nullptr);

}  // namespace feldan
