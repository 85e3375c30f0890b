// What the tolerances of parts and crystals do to the response of the filter as built: the
// Monte Carlo run.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <vector>

#include "engine/built_design.h"

namespace feldan {

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
    std::vector<double> bandwidthHz, rippleDb, flatnessDb, aminDb;
    Percentiles bandwidth, ripple, flatness, amin;
    double nominalBandwidthHz = 0, nominalRippleDb = 0;
    // The attenuation of every trial at the frequencies of the nominal curve: per point the
    // percentiles over the trials that did not fail.
    std::vector<CurvePoint> nominalCurve;
    std::vector<Percentiles> envelope;
};

// Runs the trials on the schematic, each from its own stream of random numbers (from the seed
// and its number), so the result is the same on one thread or many. `progress` is called with
// the trials done; setting `cancel` stops the run early.
ToleranceResult RunTolerance(const BuiltDesign& built, const ToleranceRequest& request,
                             const std::function<void(int)>& progress = {},
                             const std::atomic<bool>* cancel = nullptr);

}  // namespace feldan
