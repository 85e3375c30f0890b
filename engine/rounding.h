// The capacitors of the filter as built rounded to standard values, and the termination refitted
// to bring the rounded response back.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "engine/built_design.h"
#include "engine/standard_values.h"

namespace feldan {

// One capacitor of the schematic: its labels and value.
struct RoundedCapacitor {
    std::vector<std::string> labels;  // {"C1", "C5"}: the parts of one slot
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
    double nominalTerminationOhm = 0;  // the input end's
    double roundedTerminationOhm = 0;
    // The output end's: the input's, or its own for a design whose ends differ. A refit moves
    // both ends by one factor; rounded to E24, each end is rounded on its own.
    double nominalOutputTerminationOhm = 0;
    double roundedOutputTerminationOhm = 0;
    CalculationResult rounded;  // the rounded schematic measured (outcome and measurements)
};

// A capacitance in standard parts: the nearest member of the series, or two in parallel where
// one alone is more than parallelPct off (and a pair is nearer).
ParallelPair PartsOfSeries(double pF, const RoundingRequest& request);

// Rounds every capacitor of the schematic, re-simulates it and, when asked, refits the
// termination: the refit minimises the RMS difference in dB between the rounded and the ideal
// response at the frequencies of the ideal curve (the pass band down to the design's level).
RoundingResult RoundDesign(const BuiltDesign& built, const RoundingRequest& request);

}  // namespace feldan
